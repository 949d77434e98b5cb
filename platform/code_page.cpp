#include "platform/code_page.h"

#include "platform/code_page_host.h"

namespace {

// The letters of windows-1252 from 0x80 to 0x9F as code points; 0 where the
// code page assigns none.
const unsigned short kHighLetters[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// The code point of a well-formed sequence of `length` bytes.
unsigned DecodeLetter(const std::string& text, size_t index, size_t length) {
  static const unsigned char kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  unsigned code = static_cast<unsigned char>(text[index]) & kLeadMask[length];
  for (size_t i = 1; i < length; ++i) code = code << 6 | (static_cast<unsigned char>(text[index + i]) & 0x3F);
  return code;
}

// The windows-1252 byte of a code point; -1 when it has none.
int Windows1252Byte(unsigned code) {
  if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<int>(code);
  if (code < 0xA0) return kHighLetters[code - 0x80] ? -1 : static_cast<int>(code);
  for (int i = 0; i < 32; ++i) {
    if (kHighLetters[i] == code) return 0x80 + i;
  }
  return -1;
}

}  // namespace

void Utf8Check::Add(unsigned char byte) {
  if (bad_) return;
  if (pending_ > 0) {
    if (byte < low_ || byte > high_) {
      bad_ = true;
      return;
    }
    --pending_;
    low_ = 0x80;
    high_ = 0xBF;
    return;
  }
  if (byte < 0x80) return;
  low_ = 0x80;
  high_ = 0xBF;
  if (byte >= 0xC2 && byte <= 0xDF) pending_ = 1;
  else if (byte >= 0xE0 && byte <= 0xEF) pending_ = 2;
  else if (byte >= 0xF0 && byte <= 0xF4) pending_ = 3;
  else bad_ = true;
  // The first continuation byte rules out overlong forms, surrogates and
  // code points beyond U+10FFFF.
  if (byte == 0xE0) low_ = 0xA0;
  if (byte == 0xED) high_ = 0x9F;
  if (byte == 0xF0) low_ = 0x90;
  if (byte == 0xF4) high_ = 0x8F;
}

bool IsUtf8(const std::string& text) {
  Utf8Check check;
  for (char ch : text) check.Add(static_cast<unsigned char>(ch));
  return check.Valid();
}

size_t Utf8LetterLength(const std::string& text, size_t index) {
  Utf8Check check;
  for (size_t i = index; i < text.size() && i < index + 4; ++i) {
    check.Add(static_cast<unsigned char>(text[i]));
    if (check.Valid()) return i - index + 1;
  }
  return 1;
}

size_t WholeLettersWithin(const std::string& text, size_t size) {
  size_t end = 0;
  while (end < text.size()) {
    size_t next = end + Utf8LetterLength(text, end);
    if (next > size) break;
    end = next;
  }
  return end;
}

void AppendUtf8(std::string* out, unsigned code) {
  if (code < 0x80) {
    *out += static_cast<char>(code);
  } else if (code < 0x800) {
    *out += static_cast<char>(0xC0 | code >> 6);
    *out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    *out += static_cast<char>(0xE0 | code >> 12);
    *out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    *out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | code >> 18);
    *out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
    *out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    *out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

std::string Windows1252ToUtf8(const std::string& text) {
  std::string out;
  for (char ch : text) {
    unsigned code = static_cast<unsigned char>(ch);
    if (code >= 0x80 && code < 0xA0 && kHighLetters[code - 0x80]) code = kHighLetters[code - 0x80];
    AppendUtf8(&out, code);
  }
  return out;
}

bool Utf8ToWindows1252(const std::string& text, std::string* out, std::string* missing) {
  std::string converted;
  for (size_t i = 0; i < text.size();) {
    size_t length = Utf8LetterLength(text, i);
    int byte = length == 1 ? static_cast<unsigned char>(text[i])
                           : Windows1252Byte(DecodeLetter(text, i, length));
    if (byte < 0) {
      if (missing) *missing = text.substr(i, length);
      return false;
    }
    converted += static_cast<char>(byte);
    i += length;
  }
  *out = converted;
  return true;
}

std::string ToUtf8(const std::string& text, CodePage page) {
  return page == CodePage::kWindows1252 ? Windows1252ToUtf8(text) : text;
}

bool FromUtf8(const std::string& text, CodePage page, std::string* out, std::string* missing) {
  if (page == CodePage::kWindows1252) return Utf8ToWindows1252(text, out, missing);
  *out = text;
  return true;
}

size_t LengthIn(const std::string& text, CodePage page) {
  if (page == CodePage::kUtf8) return text.size();
  size_t letters = 0;
  for (size_t i = 0; i < text.size(); i += Utf8LetterLength(text, i)) ++letters;
  return letters;
}
