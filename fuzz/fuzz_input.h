// What the fuzzers share: one fuzzer input split into the pieces a parser
// needs (bytes for choices and sizes, texts cut at a separator), a private
// temporary drive for the parsers that read or write files, and the checks
// of a bounded text conversion.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "shared/string.h"

class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool Empty() const { return used_ == size_; }
  // The next byte; 0 once the input is used up.
  uint8_t Byte();
  // The bytes up to the next `separator` (which is consumed) or the end.
  std::string Text(char separator = '\0');
  // Everything not yet taken.
  std::string Rest();

 private:
  const uint8_t* data_;
  size_t size_;
  size_t used_ = 0;
};

// Maps a fresh temporary folder as drive C: and makes it the current
// directory, once per process; the folder goes when the process ends.
void EnterFuzzDrive();

// Writes `content` as the file `name` (relative to the current directory).
void WriteFuzzFile(const char* name, const std::string& content);

// Deletes every file of the current directory, so that no run sees the
// files of the one before.
void ClearFuzzDrive();

// Stops the fuzzer with a message when an invariant of the parser fails.
void FuzzCheck(bool condition, const char* what);

// The input of a bounded conversion check: a buffer size (the first byte),
// smaller than most results, and the text (up to a zero byte).
struct BoundedCase {
  size_t smaller = 0;
  std::string text;
};
BoundedCase ReadBoundedCase(const uint8_t* data, size_t size);

// A bounded text conversion: the result for `text` into `buffer` of `size`
// bytes (the size counts the terminator); returns the buffer.
using BoundedWriter = char* (*)(const char* text, char* buffer, size_t size);

// Checks a bounded conversion against its String form `whole`: into the
// `needed` bytes its length function asks for it writes the whole result,
// and into `smaller` bytes it writes nothing past them and terminates.
void CheckBoundedWriter(const char* text, BoundedWriter write, size_t needed,
                        const String& whole, size_t smaller);
// The same for a conversion whose length function is exact: `needed` is the
// String form's length and its terminator.
void CheckExactBoundedWriter(const char* text, BoundedWriter write, size_t needed,
                             const String& whole, size_t smaller);
