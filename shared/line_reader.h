// Reads a text stream line by line, whole lines of any length, through one
// buffer that grows to the longest line (no allocation per line), and goes
// back to a line by the byte position at which it begins.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Bytes asked for by one read: each read is a system call, and databases run
// to many megabytes.
constexpr size_t kLineReadSize = 256 * 1024;

class LineReader {
 public:
  // The stream stays the caller's; for SeekLine it is opened in binary mode
  // ("rb"). readSize: the bytes of one read; a reader that often goes back
  // to single lines reads less at a time.
  explicit LineReader(FILE* stream, size_t readSize = kLineReadSize);
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
  // Number of the line read last, from 1, counted from the start of the
  // stream or from the last SeekLine.
  long Number() const { return number_; }
  // Byte position in the stream of the line read last.
  int64_t Position() const { return linePosition_; }
  // True when a read error (not the end of the input) ended the lines.
  bool Failed() const { return failed_; }

  // Goes back to the start of the stream.
  bool Rewind() { return SeekLine(0); }
  // Goes to the line that begins at `position`: false when the position is
  // negative or not the start of a line (the byte before it must be a line
  // feed), so a stale position never yields part of a line.
  bool SeekLine(int64_t position);

 private:
  bool Fill();
  bool TakeLine(size_t length, bool hasFeed);

  FILE* stream_;
  size_t readSize_;
  char* buffer_ = nullptr;
  size_t capacity_ = 0;
  int64_t bufferPosition_ = 0;  // stream position of buffer_[0]
  size_t start_ = 0;            // first byte not yet handed out
  size_t end_ = 0;              // end of the bytes read
  bool atEnd_ = false;
  bool failed_ = false;
  char* line_ = nullptr;
  size_t length_ = 0;
  long number_ = 0;
  int64_t linePosition_ = 0;
};
