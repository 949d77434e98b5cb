// Conversions between plain text and HTML: decoding the entities found in
// page heads, encoding text for attribute values and page bodies, and
// turning web addresses inside a description into links.
#pragma once

#include <cstddef>

#include "shared/string.h"

// Decodes "&#NNN;", "&#xHH;" (only printable results are kept) and "&quot;",
// "&lt;", "&gt;", "&amp;"; every other character is copied. Writes at most
// size - 1 bytes and terminates (size 0 writes nothing). Returns the buffer.
char* HtmlDecode(const char* text, char* buffer, size_t size);
// Size the decoded text needs, terminator included (decoding never lengthens).
size_t HtmlDecodedLength(const char* text);
String HtmlDecodeString(const char* text);  // null gives the empty String

// HtmlDecode for text that is written back as HTML later (page heads that
// are edited or rebuilt): a numeric reference whose full value is beyond 126
// ("&#233;", "&#xFB;", "&#321;") is kept exactly as written, like the named
// ones other than the four. Together with HtmlEncode, which passes such
// references on, a value comes back as it was.
char* HtmlDecodeKeeping(const char* text, char* buffer, size_t size);
String HtmlDecodeKeepingString(const char* text);  // null gives the empty String

// Replaces newline by "<BR>", '"' by "&quot;", '&' by "&amp;", '<' by "&lt;"
// and '>' by "&gt;". An entity reference that the decoders leave as written
// (a named one with its ';' other than "&quot;", "&lt;", "&gt;" and "&amp;",
// or a numeric one whose value is beyond 126) is passed on as it
// stands, so that "Caf&eacute;" stays an e with an accent instead of becoming
// the text "&eacute;". Writes at most size - 1 bytes (a replacement that does
// not fit is cut) and terminates. Returns the buffer.
char* HtmlEncode(const char* text, char* buffer, size_t size);
// Size the encoded text needs, terminator included.
size_t HtmlEncodedLength(const char* text);
String HtmlEncodeString(const char* text);  // null gives the empty String

// HtmlEncode for the text that a generated page carries (names, titles,
// descriptions, keywords): each valid UTF-8 sequence of a letter beyond
// ASCII is also written as a decimal numeric reference ("Caf\xC3\xA9"
// becomes "Caf&#233;"), so that it reads right whatever charset a browser
// guesses for the page; bytes that form no such sequence (a windows-1252
// text) are written as HtmlEncode writes them. Plain ASCII text comes out
// as HtmlEncode's.
char* HtmlEncodePage(const char* text, char* buffer, size_t size);
size_t HtmlEncodedPageLength(const char* text);
String HtmlEncodePageString(const char* text);  // null gives the empty String

// Only the valid UTF-8 sequences written as numeric references, every other
// byte copied: for a name that a page carries as it stands.
char* Utf8References(const char* text, char* buffer, size_t size);
size_t Utf8ReferencesLength(const char* text);
String Utf8ReferencesString(const char* text);  // null gives the empty String

// Copies the text with each web address ("http:/", "https:/", "ftp:/",
// "www.") wrapped in a link. Returns the size the whole result needs,
// terminator included. The output stops at the first piece that does not fit
// and is always terminated when size > 0; a null buffer with size 0 measures.
size_t LinkUrls(const char* text, char* buffer, size_t size);
String LinkUrlsString(const char* text);  // null gives the empty String
