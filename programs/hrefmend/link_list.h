// The links of one page that the link fixer looks at: one record per
// distinct target, with the index database candidates found for it and the
// repair chosen from them.
#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

// One index database line that a link may be repaired to.
struct DbMatch {
  std::string path;
  std::string title;
};

struct LocalLink {
  std::string path;           // the target as a file path; the key, compared exactly
  bool targetExists = false;  // false: a broken link; true: a titled link that works
  bool isPage = false;        // the target is a page, so it may be a slide page
  std::string fullPath;       // a working target's full path, to find its own record
  std::string title;          // TITLE of the first link to this target ("" when none)
  int count = 1;              // links in the page to this target
  std::optional<DbMatch> pathMatch;  // the unique deepest path match
  int pathLevel = 0;
  std::optional<DbMatch> titleMatch;  // the unique best title match
  int titleScore = 0;
  std::optional<std::string> ownTitle;  // a working target's title in the database
  std::optional<std::string> newLink;   // the repaired target, a relative file path
  std::optional<std::string> newTitle;  // the title to write, when it differs
  std::optional<std::string> replacedTitle;  // the TITLE of the first link that got it
};

// The records in first-seen order.
class LinkList {
 public:
  // The record whose path equals `path` exactly, or null.
  LocalLink* Find(const std::string& path);
  const LocalLink* Find(const std::string& path) const;
  // Appends a new record and returns it.
  LocalLink* Add(const std::string& path, const std::string& title, bool targetExists);

  bool Empty() const { return links_.empty(); }
  std::vector<LocalLink>& Links() { return links_; }
  const std::vector<LocalLink>& Links() const { return links_; }

 private:
  std::vector<LocalLink> links_;
  std::unordered_map<std::string, size_t> byPath_;
};
