// The platform sources' side of listing.h: listing patterns, the listing
// order and link entries. Platform sources only.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace weft_host {

// Splits a listing pattern into its folder text (with its separator, or "."
// when there is none) and its last component.
void SplitPattern(const char* pattern, std::string* folder, std::string* last);

// A listing pattern (Windows wildcards), prepared once for matching many names.
class NamePattern {
 public:
  explicit NamePattern(const char* pattern);
  bool Matches(const char* name) const;
  // The upper-cased text that every matching name begins with, letter case
  // ignored ("" for a pattern that begins with a wildcard).
  const std::string& Prefix() const { return prefix_; }

 private:
  std::vector<int> tokens_;
  std::string prefix_;
};

class DirNames;
struct DirName;
// The entries of `names` that `pattern` matches and Windows could hold, in
// listing order.
std::vector<const DirName*> MatchingNames(const DirNames& names, const NamePattern& pattern);

// Listing order: names compared byte by byte after ASCII upper-casing, exact
// bytes breaking ties.
bool NameListedBefore(std::string_view a, std::string_view b);

// Whether a directory entry (its host path and d_type) is a symbolic link;
// the link itself is looked at only where the type is unknown.
bool IsLinkEntry(const std::string& host, unsigned char type);

}  // namespace weft_host
