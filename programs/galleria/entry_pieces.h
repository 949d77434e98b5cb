// The small HTML pieces that index layouts, templates and entry formats are
// made of: entry links, image tags, key icons from "keyicons.txt", short
// titles, information texts, the page's own FILEINFO summary, and the parent
// and ancestor directories that back links point to.
#pragma once

#include <memory>

#include "shared/query/query.h"
#include "shared/string.h"

class Entry;

// One line of the key icon file; the list keeps the file's order.
struct KeywordIcon {
  String name;  // the icon image's full path, or a text beginning with ':'
  String url;   // PathToUrl of the name
  int width = 0;
  int height = 0;  // the image's pixel size; 0 and 0 when unreadable
  std::unique_ptr<Query> query;
  String text;  // the tooltip, HTML-escaped
  KeywordIcon* next = nullptr;
};

// "<IMG SRC=...>" with WIDTH and HEIGHT when not 0 and the attributes when
// not empty; no source gives the empty text.
String ImgTag(const char* source, unsigned width, unsigned height, const char* attributes);
// The entry's thumbnail with its size; empty when it has none.
String EntryThumbTag(const Entry* entry, const char* attributes);
// The URL with the pixel size of the local file (none when unreadable).
String SizedImgTag(const char* url, const char* localFile, const char* attributes);
// The URL with the pixel size of the file that the URL names.
String UrlImgTag(const char* url, const char* attributes);
// The image at a local path, its source made by PathToUrl.
String IconTag(const char* path, const char* attributes);
// The "nothumb" icon of the icons directory, made on the first call (with
// that call's attributes) and kept for the run; empty when there is no such
// icon.
String NoThumbIcon(const char* attributes);

// The opening link tag of an entry by its kind and the slide and link modes;
// with an inner text, the tag, the text and "</A>".
String EntryLink(const Entry* entry, const char* inner = nullptr);
// The title cut at its first '(' when the rest holds " of " ("Rome (3 of 12)"
// gives "Rome"), blanks before the cut removed.
String ShortTitle(const char* title);
// The escaped description, the FILEINFO text up to "; " in brackets (small:
// in SMALL) and the key icons; letters beyond ASCII as references.
String InfoText(Entry* entry, bool small);
// InfoText for a script string: the description keeps its letters beyond
// ASCII as they are, for ScriptText to escape, so that a search finds them.
String ScriptInfoText(Entry* entry);

// Reads the key icon file named by the keyicons setting into the run's list
// (once per run; a missing file, incomplete lines and missing icons are
// skipped).
void ReadKeywordIcons();
// The first key icon, or null.
const KeywordIcon* KeywordIcons();
// The image tags of the key icons whose queries match the entry, each with a
// blank before it when leading is true or another tag came before.
String KeywordIconTags(Entry* entry, bool leading);

// The FILEINFO text that an index page stores about its entries.
String SlideCounts(Entry* const* entries, int count);
// The size text of a byte total: ", 500 bytes", ", 4.9KB", ", 20KB", ...
String SizeText(double bytes);

// The parent directory's entry first, then, when list (a ',' separated list
// of directory names) is given, the ancestors it names; each a new Entry the
// caller deletes. Returns the number filled (0 at a drive root).
int ParentEntries(Entry** entries, int room, const char* list);
// The nearest directory of that name among the seven levels above the
// current directory, as a new Entry; null when there is none.
Entry* FindAncestorEntry(const char* name);

// White space removed at both ends, in place; returns the first kept character.
char* TrimSpacesInPlace(char* text);
