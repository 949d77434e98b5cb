// The link fixer's three steps over one page: collect its relative links
// whose target is missing (and its titled links), match them against the
// index database by title and by path, and give each link its repair; then
// the report of what was fixed and what could not be.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "programs/hrefmend/link_list.h"

// Longest HREF that is looked at; a longer one is left alone.
constexpr int kMaxHrefLength = 260;
// TITLE attributes are read up to this many characters.
constexpr int kMaxTitleLength = 127;

// False for a link that begins with '/' or with letters followed by ':' (a
// scheme or a drive); those are never checked.
bool IsRelativeLink(const char* link);

// 2 when the titles are equal, 1 when they differ only in letter case, 0
// otherwise or when either is empty (an untitled link matches nothing by
// title).
int TitleScore(const std::string& linkTitle, const std::string& dbTitle);

// The number of trailing path components ('\', '/' or ':' between them) that
// the two paths share, compared from the file name backwards without regard
// to letter case, each component up to 63 characters.
int PathLevel(const std::string& a, const std::string& b);

struct LinkTallies {
  long brokenLinks = 0;     // links to missing files
  long fixedLinks = 0;      // broken links that got a repair
  long missingLinks = 0;    // broken links without any candidate
  long ambiguousLinks = 0;  // broken links whose candidates tie
  long titlesFixed = 0;     // TITLE attributes written
};

// What pass 3 writes into one link.
struct LinkRepair {
  std::optional<std::string> href;
  std::optional<std::string> title;
};

// The slide page that the index database files under an image's (or
// movie's) path: the page of the same name with ".htm" beside it. Its
// existence is looked up once, when first asked.
class SlidePage {
 public:
  explicit SlidePage(const std::string& dbPath);
  bool IsSlide() const { return !path_.empty(); }  // false for a page record
  const std::string& Path() const { return path_; }
  bool Exists();

 private:
  std::string path_;
  int exists_ = -1;  // not looked up yet
};

class LinkFixer {
 public:
  // Pass 1, for each A or AREA link of the page.
  void CollectLink(const char* href, const char* title);

  // Pass 2 over an open index database: every usable line is offered to
  // every record, then each record is resolved.
  void MatchIndexDb(FILE* db);
  // Offers one database line to one broken link. To a link that names a
  // page, an image record stands for its slide page, and only when that
  // page exists.
  void MatchIndexRecord(LocalLink* link, const std::string& dbPath, const std::string& dbTitle,
                        SlidePage* slidePage);
  // Offers one database line to a working link: only the record of its
  // own target gives it a title.
  void MatchOwnRecord(LocalLink* link, const std::string& dbPath, const std::string& dbTitle,
                      const SlidePage& slidePage);

  // Pass 3: the repair of one link; empty when the link stays as it is.
  LinkRepair FixLink(const char* href) const;
  // A repaired HREF that did not fit its tag: that link stays broken.
  void HrefNotWritten() { --tallies.fixedLinks; }
  // The link's TITLE, oldTitle before, was replaced by its record's new one.
  void TitleWritten(const char* href, const char* oldTitle);

  // The report; pageChanged tells whether the page was rewritten.
  void ReportLinks(FILE* out, bool pageChanged) const;

  LinkList links;
  LinkTallies tallies;

 private:
  void Resolve(LocalLink* link);
};
