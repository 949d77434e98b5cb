// The names of one directory as the tree walks of the database builders
// read them: one listing per directory, kept while the walk is below it,
// with the lookups that would otherwise read the directory again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct ListedName {
  std::string name;
  uint32_t attributes = 0;  // kAttrDirectory and kAttrReparsePoint of the entry

  bool IsDirectory() const;
  // A name that begins with '.', or an entry of directory `dir` that is
  // hidden: never catalogued. The hidden flag is read on the first question,
  // so a walk reads it only for the entries it would take.
  bool IsSkipped(const std::string& dir) const;

 private:
  mutable signed char hidden_ = -1;  // not read yet
};

// Every entry of the directory (hidden ones too) but "." and "..", in
// listing order; empty when it cannot be listed.
std::vector<ListedName> ListDirectory(const std::string& dir);

// The listed name that a lookup of `wanted` would find: the exact name
// first, then one that differs only in letter case. Null when there is none.
// `names` in listing order, as ListDirectory gives them.
const ListedName* FindListed(const std::vector<ListedName>& names, const char* wanted);

// The directory's index page: the first of "index.htm", "index.html",
// "welcome.htm", "Welcome.html" that is listed. Null when there is none.
const ListedName* FindIndexPageName(const std::vector<ListedName>& names);

// dir and name joined with '\' (none added after a dir that ends in '\').
std::string JoinDirName(const std::string& dir, const std::string& name);
