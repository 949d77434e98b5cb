// Texts written into the pages' script blocks as double-quoted strings: each
// stays one string whatever it holds, and none can end the script block.
#pragma once

#include "shared/string.h"

// The text with a backslash before each of the given characters.
String QuoteEscape(const char* text, const char* characters);

// The text for a double-quoted script string: a backslash before every '"'
// and '\', every "</" written "<\/", which the script reads as "</" but
// the browser never takes for the end of the script block, and every UTF-8
// letter beyond ASCII as its \u escape ("Caf\u00E9"; a surrogate pair past
// U+FFFF), so that the string holds the letter, for showing and searching,
// whatever charset the page is read in. Bytes of no valid sequence stay as
// they are. Null gives the empty String.
String ScriptText(const char* text);

// The text with every "</" written "<\/" and nothing else changed: for HTML
// that a script writes out, which must not end the script block either.
String EndTagsEscaped(const char* text);
