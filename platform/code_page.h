// The two encodings of text the dialog programs meet: UTF-8, in which the
// desktop and Linux file names speak, and windows-1252, the Windows code page
// of pages and lists written before UTF-8. Telling them apart and turning
// one into the other, letter for letter.
#pragma once

#include <cstddef>
#include <string>

enum class CodePage { kUtf8, kWindows1252 };

// Checks bytes fed one after the other for well-formed UTF-8 (ASCII is):
// no stray or missing continuation byte, no overlong form, no surrogate,
// nothing beyond U+10FFFF.
class Utf8Check {
 public:
  void Add(unsigned char byte);
  // True when every byte so far was well-formed and no letter is left open.
  bool Valid() const { return !bad_ && pending_ == 0; }

 private:
  bool bad_ = false;
  int pending_ = 0;          // continuation bytes still to come
  unsigned char low_ = 0x80;  // the range the next continuation byte must lie in
  unsigned char high_ = 0xBF;
};

// The bytes of the letter that starts at `index`: a well-formed UTF-8
// sequence, else the single byte.
size_t Utf8LetterLength(const std::string& text, size_t index);
// The longest start of `text` that is at most `size` bytes and ends after a
// whole letter.
size_t WholeLettersWithin(const std::string& text, size_t size);

// The UTF-8 form of a code point.
void AppendUtf8(std::string* out, unsigned code);

// windows-1252 text in UTF-8. Every byte has a form: the five that the code
// page leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control
// characters of the same numbers, as Windows converts them, so that the way
// back (FromUtf8) gives the same bytes.
std::string Windows1252ToUtf8(const std::string& text);

// Text of the code page in UTF-8, and back (false as above).
std::string ToUtf8(const std::string& text, CodePage page);
bool FromUtf8(const std::string& text, CodePage page, std::string* out, std::string* missing = nullptr);
// The bytes UTF-8 text takes in the code page (a letter without a form there
// counts as one byte).
size_t LengthIn(const std::string& text, CodePage page);
