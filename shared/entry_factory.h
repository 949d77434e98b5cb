// Making the Entry of one listed item: a page, an image, another file or a
// directory, filled from the head of the item's page (its own, its index
// page or the same-named page that describes an image).
#pragma once

#include <cstdio>
#include <string>

#include "shared/entry.h"
#include "shared/html_parser.h"
#include "shared/string.h"

// Listing flags, shared with the directory lister (bits of one int).
constexpr int kListPages = 0x001;
constexpr int kListImages = 0x002;           // images and user-extension files
constexpr int kListFiles = 0x004;            // other files
constexpr int kListAllDirs = 0x010;          // directories, also without index page
constexpr int kListIndexedDirs = 0x020;      // directories that have an index page
constexpr int kListAliases = 0x040;          // entries named in "symlinks.txt"
constexpr int kListImagePages = 0x080;       // an image is described by its ".htm" page
constexpr int kListImagePageThumbs = 0x100;  // ...and then gets its thumbnail
constexpr int kListUnsorted = 0x200;
constexpr int kListNaturalSort = 0x400;
constexpr int kListAliasDefaultOrder = 0x800;  // aliases take DefaultSortOrder

// Reads a page head into an Entry: the TITLE and the META names DESCRIPTION
// (or SUBJECT), KEYWORDS, FILEINFO, SORTORDER, FORWARD and ALIAS. Stops at
// BODY, or already at /HEAD when no body holder is given. Every field is
// read whole, however long, so that a page rebuilt from its entry gets back
// what its head held.
class InfoParser : public HTMLStreamParser {
 public:
  // bodyHolder (may be null) receives the BODY tag's attribute text.
  InfoParser(FILE* stream, Entry* entry, String* bodyHolder);

 protected:
  void OnText(int ch) override;
  void OnComment(int ch) override;
  void OnTag(char* tag) override;

 private:
  void OnMeta(char* tag);
  void OnBody(const char* tag);
  void ClearText();

  static constexpr int kTagBufferSize = 4096;  // what a head's tags need; longer ones grow it

  char tagBuffer_[kTagBufferSize];
  Entry* entry_;
  String* bodyHolder_;
  std::string text_;      // the text since the last TITLE, META or /TITLE
  bool inTitle_ = false;  // between TITLE and /TITLE
};

// The entry for one scanned name by the listing flags; null when the flags
// leave it out or the name is never listed.
Entry* MakeEntry(const char* name, bool isDirectory, int flags);
// A page (kind 1) from its head; without a title it takes the fallback, else
// its file name. bodyHolder as for InfoParser.
Entry* MakePageEntry(const char* path, const char* fallbackTitle = nullptr,
                     String* bodyHolder = nullptr);
// The same from the page `path` already open as `stream` (null: no page),
// which stays open, read as far as the head goes.
Entry* MakePageEntryFrom(const char* path, FILE* stream, const char* fallbackTitle,
                         String* bodyHolder);
// An image (kind 2), described by its same-named ".htm" page with readPage,
// and then with its thumbnail and the thumbnail's size with findThumb.
Entry* MakeImageEntry(const char* path, bool readPage, bool findThumb);
// Any other file (kind 4), titled from its file name.
Entry* MakeFileEntry(const char* path);
// A directory: kind 32 from its index page, or kind 16 without one (only
// with `always`; else null), with its folder thumbnail when those are on.
Entry* MakeDirectoryEntry(const char* dir, bool always);
Entry* MakeDirectoryEntryAlways(const char* dir);
// Null when the directory holds "hidden.dir"; else MakeDirectoryEntry.
Entry* MakeDirectoryEntryUnlessHidden(const char* dir, bool always);

// The META FORWARD rule: the entry's href now names the target (beside the
// page, or the target itself when it is an absolute URL), and its kind
// follows the target's name.
void ApplyForward(Entry* entry, const char* target);

// In place: every newline becomes one blank, and the white space after it goes.
char* JoinLines(char* text);
