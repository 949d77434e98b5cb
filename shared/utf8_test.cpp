#include "shared/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Utf8Sequence, ValidSequencesAndTheirCodePoints) {
  const struct {
    const char* text;
    size_t length;
    uint32_t codePoint;
  } cases[] = {
      {"\xC3\xA9", 2, 0xE9},              // e acute
      {"\xC2\x80", 2, 0x80},              // the smallest two-byte form
      {"\xDF\xBF", 2, 0x7FF},
      {"\xE0\xA0\x80", 3, 0x800},
      {"\xE2\x82\xAC", 3, 0x20AC},        // euro sign
      {"\xED\x9F\xBF", 3, 0xD7FF},        // just below the surrogates
      {"\xEE\x80\x80", 3, 0xE000},
      {"\xEF\xBF\xBF", 3, 0xFFFF},
      {"\xF0\x90\x80\x80", 4, 0x10000},
      {"\xF0\x9F\x98\x80x", 4, 0x1F600},  // an emoji, text after it
      {"\xF4\x8F\xBF\xBF", 4, 0x10FFFF},
  };
  for (const auto& c : cases) {
    uint32_t codePoint = 0;
    EXPECT_EQ(Utf8Sequence(c.text, &codePoint), c.length) << c.text;
    EXPECT_EQ(codePoint, c.codePoint) << c.text;
  }
}

TEST(Utf8Sequence, NoSequenceStartsThere) {
  const char* cases[] = {
      "",
      "e",
      "\x7F",
      "\xE9t",               // windows-1252 e acute before a letter
      "\xE9",                // ... at the end
      "\x80\x80",            // a continuation byte first
      "\xC0\x80",            // overlong forms
      "\xC1\xBF",
      "\xE0\x9F\xBF",
      "\xF0\x8F\xBF\xBF",
      "\xED\xA0\x80",        // a surrogate
      "\xED\xBF\xBF",
      "\xF4\x90\x80\x80",    // past U+10FFFF
      "\xF5\x80\x80\x80",
      "\xFF",
      "\xC3",                // cut short by the end
      "\xE2\x82",
      "\xF0\x9F\x98",
      "\xC3" "A",            // cut short by an ASCII byte
      "\xE2\x82\xC3\xA9",    // by the start of another sequence
  };
  for (const char* text : cases) {
    uint32_t codePoint = 12345;
    EXPECT_EQ(Utf8Sequence(text, &codePoint), 0u) << std::string(text);
    EXPECT_EQ(codePoint, 12345u) << std::string(text);
  }
}

}  // namespace
