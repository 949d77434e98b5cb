#include "shared/url/url.h"

#include <cstring>

#include "platform/assert.h"
#include "platform/hex_digits.h"
#include "shared/chars.h"

bool IsUrlEscaped(unsigned char byte) {
  if (byte < 32 || byte >= 128) return true;
  return strchr(" \"`#%&'<>[]^{|}~", byte) != nullptr;
}

namespace {

// A leading drive ('c:') never reaches the URL.
const char* SkipDrive(const char* path) {
  return IsAlpha(path[0]) && path[1] == ':' ? path + 2 : path;
}

// The URL text of one path byte: 1 or 3 characters.
size_t UrlPiece(unsigned char byte, char (&piece)[3]) {
  static const char kHex[] = "0123456789ABCDEF";
  if (byte == '\\') byte = '/';
  if (!IsUrlEscaped(byte)) {
    piece[0] = static_cast<char>(byte);
    return 1;
  }
  piece[0] = '%';
  piece[1] = kHex[byte >> 4];
  piece[2] = kHex[byte & 15];
  return 3;
}

}  // namespace

char* FileToUrl(const char* path, char* buffer, size_t size) {
  if (!buffer) AssertionFailed("pBuffer", "fileurl", __LINE__);
  if (size == 0) return buffer;  // no room even for the terminating zero
  size_t written = 0;
  const char* p = path ? SkipDrive(path) : "";  // the URL leaves the drive letter out
  for (; *p && written < size - 1; ++p) {
    char piece[3];
    size_t n = UrlPiece(static_cast<unsigned char>(*p), piece);
    // An escape that does not fit whole is left out; shorter bytes may still.
    if (written + n > size - 1) continue;
    memcpy(buffer + written, piece, n);
    written += n;
  }
  buffer[written] = 0;
  return buffer;
}

size_t FileToUrlLength(const char* path) {
  size_t length = 1;
  for (const char* p = path ? SkipDrive(path) : ""; *p; ++p) {
    char piece[3];
    length += UrlPiece(static_cast<unsigned char>(*p), piece);
  }
  return length;
}

String FileToUrlString(const char* path) {
  return FilledString(path, [&] { return FileToUrlLength(path); },
                      [&](char* buffer, size_t size) { FileToUrl(path, buffer, size); });
}

namespace {

// '/c:/' or '/c|/': the drive letter of a URL in drive form, else 0.
char UrlDrive(const char* url) {
  bool driveForm = url[0] == '/' && IsAlpha(url[1]) && (url[2] == ':' || url[2] == '|') &&
                   url[3] == '/';
  return driveForm ? url[1] : 0;
}

// Decodes one character or escape at `url` into `byte`; returns the number
// of URL characters used, and false in `keep` when the '%' is dropped.
size_t DecodeOne(const char* url, char* byte, bool* keep) {
  *keep = true;
  if (*url != '%') {
    *byte = *url == '/' ? '\\' : *url;
    return 1;
  }
  int high = HexValue(url[1]);
  if (high < 0) {
    *keep = false;
    return 1;
  }
  int low = HexValue(url[2]);
  if (low < 0) {
    *byte = static_cast<char>(high);
    return 2;
  }
  *byte = static_cast<char>(high * 16 + low);
  return 3;
}

}  // namespace

char* UrlToFile(const char* url, char* buffer, size_t size) {
  if (!buffer) AssertionFailed("pBuffer", "urlfile", __LINE__);
  if (size == 0) return buffer;
  size_t written = 0;
  const char* p = url ? url : "";
  if (char drive = UrlDrive(p)) {
    if (size > 2) {
      buffer[written++] = drive;
      buffer[written++] = ':';
    }
    p += 3;
  }
  while (*p && written < size - 1) {
    char byte;
    bool keep;
    p += DecodeOne(p, &byte, &keep);
    if (keep) buffer[written++] = byte;
  }
  buffer[written] = 0;
  return buffer;
}

size_t UrlToFileLength(const char* url) { return (url ? strlen(url) : 0) + 1; }

String UrlToFileString(const char* url) {
  return FilledString(url, [&] { return UrlToFileLength(url); },
                      [&](char* buffer, size_t size) { UrlToFile(url, buffer, size); });
}
