// Form encoding of a value for a query argument.
#include <cstdio>

#include "platform/assert.h"
#include "shared/cgi/cgi.h"
#include "shared/chars.h"

namespace {

bool IsKept(char c) { return c == ' ' || IsAlnum(c); }

}  // namespace

char* FormEncode(const char* text, char* buffer, size_t size) {
  if (!buffer) AssertionFailed("pBuffer", __FILE__, __LINE__);
  if (size == 0) return buffer;
  size_t written = 0;
  for (const char* p = text ? text : ""; *p && written < size - 1; ++p) {
    if (IsKept(*p)) {
      buffer[written++] = *p == ' ' ? '+' : *p;
    } else if (written + 3 <= size - 1) {
      snprintf(buffer + written, 4, "%%%02X", static_cast<unsigned char>(*p));
      written += 3;
    }
  }
  buffer[written] = '\0';
  return buffer;
}

size_t FormEncodedLength(const char* text) {
  size_t length = 1;
  for (const char* p = text ? text : ""; *p; ++p) length += IsKept(*p) ? 1 : 3;
  return length;
}

String FormEncodeString(const char* text) {
  return FilledString(
      text, [text] { return FormEncodedLength(text); },
      [text](char* buffer, size_t size) { FormEncode(text, buffer, size); });
}
