#include "shared/utf8.h"

namespace {

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The lead byte's sequence length and payload bits; 0 for no lead byte.
size_t LeadLength(unsigned char c, uint32_t* bits) {
  if (c >= 0xC2 && c <= 0xDF) {
    *bits = c & 0x1F;
    return 2;
  }
  if (c >= 0xE0 && c <= 0xEF) {
    *bits = c & 0x0F;
    return 3;
  }
  if (c >= 0xF0 && c <= 0xF4) {
    *bits = c & 0x07;
    return 4;
  }
  return 0;
}

// The smallest code point that needs a sequence of this length.
uint32_t Smallest(size_t length) { return length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000; }

}  // namespace

size_t Utf8Sequence(const char* text, uint32_t* codePoint) {
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  uint32_t value = 0;
  size_t length = LeadLength(p[0], &value);
  if (length == 0) return 0;
  // A terminator is no continuation byte, so a cut sequence stops here.
  for (size_t i = 1; i < length; ++i) {
    if (!IsContinuation(p[i])) return 0;
    value = (value << 6) | (p[i] & 0x3F);
  }
  if (value < Smallest(length) || value > 0x10FFFF) return 0;
  if (value >= 0xD800 && value <= 0xDFFF) return 0;
  *codePoint = value;
  return length;
}
