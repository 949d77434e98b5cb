// Edit strings: how a page's present text value (its title or description)
// is changed: replaced, cleared, extended at either end, cut, or searched
// and replaced, with "%FILENAME%" standing for the named file's name.
#pragma once

#include "shared/string.h"

// The new value: "-*" clears; '+' or '>' appends the rest; '-' deletes the
// rest's first occurrence; '<' prepends the rest; '?old=new' replaces every
// old (letter case ignored) by new; any other text replaces the value. A null
// `current` counts as empty. The result is never a null String.
String EditString(const char* current, const char* pEditString, const char* pFileName);

// `pString` with every "%FILENAME%" (letter case ignored) replaced by the
// base name of `pFileName`, lower-cased when it holds no lower-case letter.
String ExpandFileName(const char* pString, const char* pFileName);

// `pString` without the first occurrence of `pDelete` (exact letter case);
// unchanged when there is none or `pDelete` is empty.
String DeleteString(const char* pString, const char* pDelete);

// `sString` with every occurrence of `pString1` (letter case ignored, left to
// right, not overlapping) replaced by `pString2`; the search never looks into
// inserted text. An empty `pString1` leaves the text unchanged.
String ReplaceAll(const char* sString, const char* pString1, const char* pString2);
