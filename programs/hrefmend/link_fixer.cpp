#include "programs/hrefmend/link_fixer.h"

#include <cstring>

#include "platform/drives.h"
#include "shared/chars.h"
#include "shared/line_reader.h"
#include "shared/paths.h"
#include "shared/relative_path.h"
#include "shared/sitefiles.h"
#include "shared/url/url.h"

namespace {

// Path components are compared up to this many characters.
constexpr size_t kComponentLength = 63;

bool IsPathSeparator(char c) { return c == '\\' || c == '/' || c == ':'; }

// Where the path component that ends at `end` begins.
size_t ComponentStart(const std::string& path, size_t end) {
  while (end > 0 && !IsPathSeparator(path[end - 1])) --end;
  return end;
}

// Two components equal in their first kComponentLength characters, letter
// case ignored, read where they stand in their paths.
bool SameComponent(const std::string& a, size_t beginA, size_t endA, const std::string& b,
                   size_t beginB, size_t endB) {
  size_t lengthA = endA - beginA;
  size_t lengthB = endB - beginB;
  for (size_t i = 0; i < kComponentLength; ++i) {
    char x = i < lengthA ? ToLower(a[beginA + i]) : '\0';
    char y = i < lengthB ? ToLower(b[beginB + i]) : '\0';
    if (x != y) return false;
    if (!x) return true;
  }
  return true;
}

// The link without its fragment or query, which goes into `suffix`.
std::string CutLink(const char* href, std::string* suffix = nullptr) {
  size_t cut = strcspn(href, "#?");
  if (suffix) *suffix = href + cut;
  return std::string(href, cut);
}

// The link target as a file path.
std::string LinkPath(const char* href, std::string* suffix = nullptr) {
  String path = UrlToFileString(CutLink(href, suffix).c_str());
  return path.IsNull() ? std::string() : std::string(path.Text());
}

// The drive letter of a path ("C:..."), or 0 when it names none.
char DriveLetter(const char* path) {
  return IsAlpha(path[0]) && path[1] == ':' ? ToUpper(path[0]) : 0;
}

// A database path that a relative link can reach: on the current drive (or
// without a drive) and short enough to be a path.
bool IsReachable(const std::string& dbPath, char currentDrive) {
  if (dbPath.empty() || dbPath.size() >= static_cast<size_t>(kMaxPath)) return false;
  char drive = DriveLetter(dbPath.c_str());
  return !drive || !currentDrive || drive == currentDrive;
}

char CurrentDrive() {
  char current[kMaxPath + 1];
  if (!GetCurrentDir(current, sizeof current)) return 0;
  return DriveLetter(current);
}

// Offers a candidate with its score: a unique best one is held, a tie at the
// best drops it.
void OfferCandidate(int score, int* best, std::optional<DbMatch>* held, const std::string& dbPath,
                    const std::string& dbTitle) {
  if (score < *best) return;
  held->reset();
  if (score == *best) return;
  *best = score;
  *held = DbMatch{dbPath, dbTitle};
}

void WritePair(FILE* out, const std::string& from, const std::string& to) {
  if (from.size() + to.size() + 8 >= 80) {
    fprintf(out, "   %s -->\n      %s\n", from.c_str(), to.c_str());
  } else {
    fprintf(out, "   %s --> %s\n", from.c_str(), to.c_str());
  }
}

// Writes the empty line that separates a section from what came before.
void StartSection(FILE* out, bool* written) {
  if (*written) fputc('\n', out);
  *written = true;
}

// A report section: its heading, then what `write` says of each link;
// nothing when `count` is not above 0.
template <typename Write>
void WriteSection(FILE* out, bool* written, long count, const char* heading,
                  const std::vector<LocalLink>& links, Write write) {
  if (count <= 0) return;
  StartSection(out, written);
  fputs(heading, out);
  for (const LocalLink& link : links) write(link);
}

// The reasons an unfixed link with more than one match stays as it is.
void WriteAmbiguous(FILE* out, const LocalLink& link) {
  if (link.targetExists || link.newLink) return;
  if (link.titleScore > 0 && !link.titleMatch) {
    fprintf(out, "   %s (multiple title matches)\n", link.path.c_str());
  }
  if (link.pathLevel > 0 && !link.pathMatch) {
    fprintf(out, "   %s (multiple path matches, level %d)\n", link.path.c_str(), link.pathLevel);
  }
}

}  // namespace

bool IsRelativeLink(const char* link) {
  if (link[0] == '/') return false;
  const char* p = link;
  while (IsAlpha(*p)) ++p;
  return !(p > link && *p == ':');
}

int TitleScore(const std::string& linkTitle, const std::string& dbTitle) {
  if (linkTitle.empty() || dbTitle.empty()) return 0;
  if (linkTitle == dbTitle) return 2;
  return CompareNoCase(linkTitle.c_str(), dbTitle.c_str()) == 0 ? 1 : 0;
}

int PathLevel(const std::string& a, const std::string& b) {
  // The components from the last one back, where they stand: a path of n
  // separators has n + 1 components, empty ones included.
  size_t endA = a.size();
  size_t endB = b.size();
  int level = 0;
  for (;;) {
    size_t beginA = ComponentStart(a, endA);
    size_t beginB = ComponentStart(b, endB);
    if (!SameComponent(a, beginA, endA, b, beginB, endB)) break;
    ++level;
    if (beginA == 0 || beginB == 0) break;
    endA = beginA - 1;
    endB = beginB - 1;
  }
  return level;
}

SlidePage::SlidePage(const std::string& dbPath) {
  if (IsPageName(dbPath.c_str())) return;
  String page = ChangeExtensionString(dbPath.c_str(), ".htm");
  if (!page.IsNull()) path_ = page.Text();
}

bool SlidePage::Exists() {
  if (exists_ < 0) exists_ = FileExists(path_.c_str()) ? 1 : 0;
  return exists_ == 1;
}

void LinkFixer::CollectLink(const char* href, const char* title) {
  if (!IsRelativeLink(href)) return;
  std::string path = LinkPath(href);
  // A link to this page itself ("#top") is never changed, so it needs no record.
  if (path.empty()) return;
  bool exists = FileExists(path.c_str());
  if (!exists) {
    ++tallies.brokenLinks;
  } else if (!*title) {
    return;
  }
  if (LocalLink* link = links.Find(path)) {
    ++link->count;
    return;
  }
  LocalLink* link = links.Add(path, title, exists);
  link->isPage = IsPageName(path.c_str());
  if (exists) link->fullPath = GetFullPathString(path.c_str());
}

void LinkFixer::MatchIndexRecord(LocalLink* link, const std::string& dbPath,
                                 const std::string& dbTitle, SlidePage* slidePage) {
  bool asSlide = link->isPage && slidePage->IsSlide();
  const std::string& path = asSlide ? slidePage->Path() : dbPath;
  int score = TitleScore(link->title, dbTitle);
  int level = PathLevel(path, link->path);
  bool counts = (score > 0 && score >= link->titleScore) || (level > 0 && level >= link->pathLevel);
  // A page link is never repaired to the bare image, nor to a slide page
  // that is not there.
  if (asSlide && counts && !slidePage->Exists()) return;
  OfferCandidate(score, &link->titleScore, &link->titleMatch, path, dbTitle);
  OfferCandidate(level, &link->pathLevel, &link->pathMatch, path, dbTitle);
}

void LinkFixer::MatchOwnRecord(LocalLink* link, const std::string& dbPath,
                               const std::string& dbTitle, const SlidePage& slidePage) {
  if (link->ownTitle || link->fullPath.empty()) return;
  bool own = CompareNoCase(link->fullPath.c_str(), dbPath.c_str()) == 0 ||
             (link->isPage && slidePage.IsSlide() &&
              CompareNoCase(link->fullPath.c_str(), slidePage.Path().c_str()) == 0);
  if (own) link->ownTitle = dbTitle;
}

void LinkFixer::MatchIndexDb(FILE* db) {
  char drive = CurrentDrive();
  LineReader reader(db);
  while (reader.Next()) {
    const char* line = reader.Text();
    const char* tab = strchr(line, '\t');
    if (!tab) continue;
    std::string title(line, tab);
    std::string path(tab + 1, strcspn(tab + 1, "\t\n"));
    if (!IsReachable(path, drive)) continue;
    SlidePage slidePage(path);
    for (LocalLink& link : links.Links()) {
      if (link.targetExists) {
        MatchOwnRecord(&link, path, title, slidePage);
      } else {
        MatchIndexRecord(&link, path, title, &slidePage);
      }
    }
  }
  for (LocalLink& link : links.Links()) Resolve(&link);
}

void LinkFixer::Resolve(LocalLink* link) {
  if (link->targetExists) {
    // A link that works keeps its target; only a title that its own record
    // holds differently is brought up to date.
    if (link->ownTitle && *link->ownTitle != link->title) link->newTitle = link->ownTitle;
    return;
  }
  const DbMatch* match = nullptr;
  if (link->titleScore > 0 && link->titleMatch) {
    match = &*link->titleMatch;
  } else if (link->pathLevel > 0 && link->pathMatch) {
    match = &*link->pathMatch;
  }
  char relative[kMaxPath + 1];
  if (match && !RelativeFilePath(".", match->path.c_str(), relative, sizeof relative)) {
    match = nullptr;
  }
  // The repaired HREF must fit where the link was read.
  if (match && (!*relative || FileToUrlLength(relative) > kMaxHrefLength + 1)) match = nullptr;
  if (match) {
    link->newLink = relative;
    if (match->title != link->title) link->newTitle = match->title;
    tallies.fixedLinks += link->count;
  } else if (link->titleScore == 0 && link->pathLevel == 0) {
    tallies.missingLinks += link->count;
  } else {
    tallies.ambiguousLinks += link->count;
  }
}

LinkRepair LinkFixer::FixLink(const char* href) const {
  LinkRepair repair;
  if (!IsRelativeLink(href)) return repair;
  std::string suffix;
  std::string path = LinkPath(href, &suffix);
  if (path.empty()) return repair;
  const LocalLink* link = links.Find(path);
  if (!link) return repair;
  if (link->newLink) repair.href = std::string(FileToUrlString(link->newLink->c_str()).Text()) + suffix;
  repair.title = link->newTitle;
  return repair;
}

void LinkFixer::TitleWritten(const char* href, const char* oldTitle) {
  ++tallies.titlesFixed;
  LocalLink* link = links.Find(LinkPath(href));
  if (link && !link->replacedTitle) link->replacedTitle = oldTitle;
}

void LinkFixer::ReportLinks(FILE* out, bool pageChanged) const {
  bool written = false;
  const std::vector<LocalLink>& all = links.Links();
  WriteSection(out, &written, tallies.fixedLinks, "The following links were fixed:\n", all,
               [&](const LocalLink& link) {
                 if (link.newLink) WritePair(out, link.path, *link.newLink);
               });
  WriteSection(out, &written, tallies.titlesFixed, "The following titles were fixed:\n", all,
               [&](const LocalLink& link) {
                 if (link.replacedTitle) WritePair(out, *link.replacedTitle, *link.newTitle);
               });
  WriteSection(out, &written, tallies.missingLinks,
               "The following links could not be fixed because no match could be found for them\n"
               "in the index database:\n",
               all, [&](const LocalLink& link) {
                 if (!link.targetExists && link.titleScore == 0 && link.pathLevel == 0) {
                   fprintf(out, "   %s\n", link.path.c_str());
                 }
               });
  WriteSection(out, &written, tallies.ambiguousLinks,
               "The following links could not be fixed because the index database contains more\n"
               "than one match for these links:\n",
               all, [&](const LocalLink& link) { WriteAmbiguous(out, link); });
  if (!pageChanged) {
    StartSection(out, &written);
    fputs("No changes were made to the file.\n", out);
  }
}
