// The page that carries the head information of a named file: an image or
// other file is described by the ".htm" page of the same base name, which
// the editors create with an empty skeleton when it does not exist yet.
#pragma once

#include <cstddef>

#include "shared/string.h"

// The text of a page the editors create.
inline constexpr const char kPageSkeleton[] = "<HEAD>\n</HEAD>\n<BODY>\n</BODY>\n";

// False when the last path component (after the last '\', '/' or ':') holds
// a lower-case letter 'a' to 'z'; true otherwise, also for an empty one.
bool IsUpperCaseName(const char* path);

// The page of `path`: unchanged when the base name's extension is ".htm" or
// ".html" (letter case ignored); else that extension (only the base name's,
// so a dot in a folder name never counts) is replaced by, or a name without
// one gets, ".HTM" when IsUpperCaseName holds and ".htm" otherwise.
// Written into `buffer` of `size` (always terminated when size > 0); the
// length function gives the size the whole result needs, terminator included.
char* PageName(const char* path, char* buffer, size_t size);
size_t PageNameLength(const char* path);
String PageNameString(const char* path);

// Creates `page` with kPageSkeleton when nothing of that name exists. A page
// that exists is left alone, even when it cannot be read. False only when a
// missing page could not be created; `created` (when given) tells whether
// this call made the page, so that an editor can take it away again.
bool CreateMissingPage(const char* page, bool* created = nullptr);
