// Reads the lines of the index database together with the byte position at
// which each begins, and goes back to a line by its position: the result
// cache stores those positions.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

class IndexLines {
 public:
  // The stream is opened in binary mode ("rb") and stays the caller's.
  explicit IndexLines(FILE* stream);
  IndexLines(const IndexLines&) = delete;
  IndexLines& operator=(const IndexLines&) = delete;

  // Reads the next whole line, of any length: false at the end of the
  // input or on a read error. The line feed goes, and a CR just before it,
  // as a text-mode read drops it; a last line without line feed counts.
  bool Next();
  // The line read last, zero-terminated; the caller may change it in place
  // until the next call.
  char* Text() { return buffer_.data() + lineStart_; }
  // Byte position in the file of the line read last.
  int64_t Position() const { return linePosition_; }

  // Goes back to the start of the file.
  bool Rewind() { return SeekLine(0); }
  // Goes to the line that begins at `position`: false when the position is
  // negative or not the start of a line (the byte before it must be a line
  // feed), so a stale position never yields part of a line.
  bool SeekLine(int64_t position);

 private:
  bool Fill();
  bool TakeLine(size_t length, bool hasFeed);

  FILE* stream_;
  std::vector<char> buffer_;
  int64_t bufferPosition_ = 0;  // file position of buffer_[0]
  size_t start_ = 0;            // first byte not yet handed out
  size_t end_ = 0;              // end of the bytes read
  bool atEnd_ = false;
  size_t lineStart_ = 0;
  int64_t linePosition_ = 0;
};
