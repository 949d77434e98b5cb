// Start-up expansion of wildcard arguments, as the Windows runtime does it
// for programs that ask for it: an argument with '*' or '?' stands for the
// names of the files it matches.
#pragma once

#include <string>
#include <vector>

// The names that one argument stands for. Without '*' or '?' after its
// directory part (everything up to the last '\', '/' or ':'), and for the
// text "/?", the argument itself. Otherwise each matching file (Windows
// wildcards, letter case ignored; directories left out) as the directory part
// followed by its name, in listing order; the argument itself when nothing
// matches, so that the program reports it as a file it cannot open.
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
