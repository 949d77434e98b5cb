// Reads a text stream line by line, whole lines of any length, through one
// buffer that grows to the longest line (no allocation per line).
#pragma once

#include <cstddef>
#include <cstdio>

class LineReader {
 public:
  explicit LineReader(FILE* stream);
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // Reads the next line: false at the end of the input or on a read error.
  // A last line without line feed counts. The line feed goes, and a CR just
  // before it, as a text-mode read on Windows drops it.
  bool Next();
  // The line read last, zero-terminated (it may hold zero bytes of its own:
  // Length() counts them). The caller may change it in place; it stays valid
  // until the next call.
  char* Text() const { return line_; }
  size_t Length() const { return length_; }
  // Number of the line read last, from 1.
  long Number() const { return number_; }
  // True when a read error (not the end of the input) ended the lines.
  bool Failed() const { return failed_; }

 private:
  bool Fill();
  bool TakeLine(size_t length, bool hasFeed);

  FILE* stream_;
  char* buffer_ = nullptr;
  size_t capacity_ = 0;
  size_t start_ = 0;  // first byte not yet handed out
  size_t end_ = 0;    // end of the bytes read
  bool atEnd_ = false;
  bool failed_ = false;
  char* line_ = nullptr;
  size_t length_ = 0;
  long number_ = 0;
};
