// Start-up expansion of wildcard arguments, as the Windows runtime does it
// for programs that ask for it: an argument with '*' or '?' stands for the
// names of the files it matches.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// True when the argument is a pattern: '*' or '?' after its directory part
// (everything up to the last '\', '/' or ':'). The text "/?" never is.
bool IsWildPattern(const char* argument);

// The entries a pattern matches (Windows wildcards, letter case ignored) as
// the directory part followed by the name, in listing order; entries with any
// of the attributes in `skip` are left out.
std::vector<std::string> MatchingFiles(const char* pattern, uint32_t skip);

// The names that one argument stands for. Without a pattern, the argument
// itself. Otherwise each matching file (directories left out) as the
// directory part followed by its name, in listing order; the argument itself
// when nothing matches, so that the program reports it as a file it cannot
// open.
std::vector<std::string> ExpandWildArgument(const char* argument);

// An argument vector with every argument after the program's name expanded
// as above, in order. The vector ends with a null pointer, as argv does.
class WildArgs {
 public:
  WildArgs(int argc, char** argv);
  WildArgs(const WildArgs&) = delete;
  WildArgs& operator=(const WildArgs&) = delete;

  int Count() const { return static_cast<int>(texts_.size()); }
  char** Vector() { return pointers_.data(); }

 private:
  std::vector<std::string> texts_;
  std::vector<char*> pointers_;
};
