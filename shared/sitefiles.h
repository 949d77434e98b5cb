// The site's vocabulary of file names: pages, images and user extensions,
// index pages and names never listed, folder thumbnails and image
// thumbnails, the shared icons directory, titles made from file names and
// the number tail of a FILEINFO text. Names compare without regard to case.
// Worker threads may make every call here but the setters (Set..., Add...,
// ResetSiteFiles), which belong to start-up, before any worker runs.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "platform/names.h"
#include "shared/string.h"

// Bytes of the path buffers that the lookups below fill (259 characters and
// the terminator). A path that would be longer counts as not found.
constexpr size_t kSitePathSize = 260;

// --- Name tests --------------------------------------------------------------

// The extension of the base name is ".htm" or ".html".
bool IsPageName(const char* name);
// ext is ".gif", ".jpg", ".jpeg" or ".png".
bool IsImageExt(const char* ext);
// ext (one leading '.' skipped) is one of the user extensions.
bool IsUserExt(const char* ext);
// The same tests on the extension of the path's base name.
bool IsImageFile(const char* path);
bool IsUserFile(const char* path);
bool IsImageOrUserFile(const char* path);

// Results of AddUserExt.
enum AddUserExtResult {
  kUserExtPresent = 0,   // already in the list
  kUserExtAdded = 1,     // added
  kUserExtRefused = -1,  // empty, or no room left in the list's 128 bytes
};
// Adds ext (one leading '.' skipped) to the user extensions, which are then
// listed and classified like images.
int AddUserExt(const char* ext);

// The base name is an index page name ("index.htm", "index.html",
// "welcome.htm", "Welcome.html").
bool IsIndexName(const char* path);
// The base name is never listed: a numbered index name such as "index7.htm"
// (only while numbered index names are on), an index page name, or one of the
// special names (folder and background images, names added at run time).
bool IsSpecialName(const char* path);
// Appends a special name; false when the table already holds 20.
bool AddSpecialName(const char* name);

// The file "hidden.dir" exists in dir.
bool IsHiddenDir(const char* dir);
// The first index page name that exists in dir, as dir + "\" + name, goes into
// buffer (kSitePathSize bytes): true. Otherwise buffer holds dir: false.
bool FindIndexPage(char* buffer, const char* dir);
// The first folder thumbnail name that exists in dir (the name alone when dir
// is "."), into buffer (kSitePathSize bytes): true. Otherwise as above.
bool FindFolderThumb(char* buffer, const char* dir);

// Folder thumbnail names (at most 10; "thumb.jpg", "thumb.gif" at start).
// Replaces them by the items of a ',' or ';' separated list (leading blanks
// skipped, at most 9; an empty item ends the list).
void SetFolderThumbNames(const char* list);
// Puts a copy of name first; the tenth name drops off.
void AddFolderThumbName(const char* name);
// The folder thumbnail names, ended by a null entry.
const char* const* FolderThumbNames();

// Numbered index names ("index", digits, an extension) are special: off at start.
void SetNumberedIndexes(bool on);
// Directory entries look for their folder thumbnail: on at start.
void SetFolderThumbs(bool on);
bool FolderThumbsOn();

// --- Icons directory ---------------------------------------------------------

// Levels up from the current directory to the directory "icons" (0 for
// "icons" here, at most 7), or -1 when there is none. Searched once per
// process; the full path found is kept, and copied into buffer
// (kSitePathSize bytes) when one is given.
int FindIconsDir(char* buffer = nullptr);
// The icons directory + "\" + name into buffer (kSitePathSize bytes); null when
// there is no icons directory. With noTest that path as it is; otherwise a
// name without '.' is looked up with the image extensions (FindImageFile) and
// a name with one must exist.
char* IconsPath(const char* name, char* buffer, bool noTest);
String IconsPathString(const char* name, bool noTest);  // empty when none

// Replaces the extension of the base name by ".gif", ".jpg", ".jpeg", ".png"
// in turn (after copying path into buffer when path is given); the first that
// exists is left in buffer (kSitePathSize bytes). Null when none exists (the
// buffer then holds the path as it was).
char* FindImageFile(char* buffer, const char* path);

// The thumbnail of an image in the "thumbs" directory beside it (as the
// thumbnail builder names it: "tn_beach_jpg.jpg" for "beach.jpg"), into buffer
// (kSitePathSize bytes); null when there is none.
char* FindThumbnail(char* buffer, const char* imagePath);

// While one lives on a thread, FindThumbnail answers for the images of
// `folder` ("" for the current directory; its images named folder + "\" +
// name) from one listing of its "thumbs" directory, taken when it was made,
// instead of asking that directory again for every image: for the scan of
// one folder that looks up the thumbnail of each of its images and changes
// no thumbnail meanwhile.
class ThumbnailsListedOnce {
 public:
  explicit ThumbnailsListedOnce(const std::string& folder);
  ~ThumbnailsListedOnce();
  ThumbnailsListedOnce(const ThumbnailsListedOnce&) = delete;
  ThumbnailsListedOnce& operator=(const ThumbnailsListedOnce&) = delete;

  // The listing for `thumbsDir`, or null when this thread has none for it.
  static const ThumbnailsListedOnce* For(const std::string& thumbsDir);
  // The listed names that begin with `prefix` without regard to case and
  // match the pattern prefix + "*.*", in listing order.
  std::vector<NamedEntry> Candidates(const std::string& prefix) const;

 private:
  std::string thumbsDir_;
  bool listed_ = false;
  std::vector<NamedEntry> entries_;                   // in listing order
  std::vector<std::pair<std::string, size_t>> byUpperName_;  // upper-cased name, index
  const ThumbnailsListedOnce* previous_ = nullptr;
};

// The readable name of a directory: the last component of its full path (the
// volume label or "[root]" for a root), an all-capitals name shown with only
// its first letter in capitals. False when the full path cannot be formed
// (the base name of dir is used then).
bool DirDisplayName(const char* dir, char* buffer, size_t size);

// A title from a file name: the base name without bracketed groups such as
// " (2)", its extension lower-cased (the whole name when it has no lower-case
// letter). Writes at most size - 1 characters; returns the buffer.
char* TitleFromFileName(const char* path, char* buffer, size_t size);
String TitleFromFileNameString(const char* path);  // null gives the empty String
// The same title, HTML-encoded.
char* TitleFromFileNameHtml(const char* path, char* buffer, size_t size);
String TitleFromFileNameHtmlString(const char* path);

// --- File information --------------------------------------------------------

// The numbers of a FILEINFO text's tail "; {size, width, height, sized count,
// dimensioned count, count, set count}", with the values fields keep when the
// tail does not give them.
struct FileInfo {
  int averageSize = 0;
  int averageWidth = 0;
  int averageHeight = 0;
  int sizedCount = 1;        // 0 when averageSize is 0
  int dimensionedCount = 1;  // 0 when averageWidth or averageHeight is 0
  int count = 1;
  int setCount = 0;
};
// False when text is null or holds no "; {"; else fills info and true.
bool ParseFileInfo(const char* text, FileInfo* info);

// Returns every table, switch and the icons directory search to the start
// state; for tests that need several set-ups in one process.
void ResetSiteFiles();
