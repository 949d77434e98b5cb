// Conversion between file paths and the URL text of the site's links:
// FileToUrl makes an HREF or SRC of a relative or drive path, UrlToFile
// turns a URL path back into a file path. Each comes as a bounded writer (the
// size counts the zero byte; the result is always terminated), the size the
// result needs, and a String form.
#pragma once

#include <cstddef>

#include "shared/string.h"

// '\' becomes '/', a leading drive ('c:') is dropped, control bytes, the
// blank, '"', '`', # % & ' < > [ ] ^ { | } ~ and the bytes 128-255 become
// "%XX"; an escape that no longer fits is skipped. A missing buffer is a
// programming error (assertion).
char* FileToUrl(const char* path, char* buffer, size_t size);
size_t FileToUrlLength(const char* path);
String FileToUrlString(const char* path);  // null path: the empty String

// '/' becomes '\', "%XX" (or "%X") is decoded to its byte, a '%' without a
// hexadecimal digit is dropped, and a leading '/c:/' or '/c|/' becomes
// 'c:\'. Nothing else is decoded ('+' and a query part stay). A missing
// buffer is a programming error (assertion).
char* UrlToFile(const char* url, char* buffer, size_t size);
size_t UrlToFileLength(const char* url);  // the URL's length + 1
String UrlToFileString(const char* url);  // null URL: the empty String

// True for the bytes FileToUrl writes as "%XX".
bool IsUrlEscaped(unsigned char byte);
