#include "shared/line_reader.h"

#include <cstdlib>
#include <cstring>

LineReader::LineReader(FILE* stream, size_t readSize) : stream_(stream), readSize_(readSize) {}

LineReader::~LineReader() { free(buffer_); }

// Moves the unread bytes to the front, grows the buffer when they fill it,
// and reads more. False when nothing more can be read.
bool LineReader::Fill() {
  if (atEnd_) return false;
  size_t pending = end_ - start_;
  if (start_ > 0) {
    memmove(buffer_, buffer_ + start_, pending);
    bufferPosition_ += static_cast<int64_t>(start_);
    start_ = 0;
    end_ = pending;
  }
  // One byte more than the data always stays free for the terminator.
  if (capacity_ - end_ < readSize_ / 2 + 1) {
    size_t grown = capacity_ ? capacity_ * 2 : readSize_;
    char* bigger = static_cast<char*>(realloc(buffer_, grown));
    if (!bigger) {
      failed_ = true;
      atEnd_ = true;
      return false;
    }
    buffer_ = bigger;
    capacity_ = grown;
  }
  size_t got = fread(buffer_ + end_, 1, capacity_ - end_ - 1, stream_);
  end_ += got;
  if (got == 0) {
    atEnd_ = true;
    failed_ = ferror(stream_) != 0;
  }
  return got > 0;
}

bool LineReader::Next() {
  size_t scanned = 0;  // bytes of the pending line already searched
  for (;;) {
    size_t pending = end_ - start_;
    char* begin = buffer_ + start_;
    char* feed = pending > scanned
                     ? static_cast<char*>(memchr(begin + scanned, '\n', pending - scanned))
                     : nullptr;
    if (feed) return TakeLine(static_cast<size_t>(feed - begin), true);
    scanned = pending;
    if (!Fill()) {
      if (end_ == start_) return false;
      return TakeLine(end_ - start_, false);  // a last line without line feed
    }
  }
}

bool LineReader::TakeLine(size_t length, bool hasFeed) {
  line_ = buffer_ + start_;
  linePosition_ = bufferPosition_ + static_cast<int64_t>(start_);
  start_ += length + (hasFeed ? 1 : 0);
  if (hasFeed && length > 0 && line_[length - 1] == '\r') --length;
  // Overwrites the line feed, the CR, or the free byte after the data.
  line_[length] = '\0';
  length_ = length;
  ++number_;
  return true;
}

bool LineReader::SeekLine(int64_t position) {
  if (position < 0) return false;
  if (position > 0) {
    if (fseek(stream_, static_cast<long>(position - 1), SEEK_SET) != 0) return false;
    if (getc(stream_) != '\n') return false;
  } else if (fseek(stream_, 0, SEEK_SET) != 0) {
    return false;
  }
  bufferPosition_ = position;
  start_ = end_ = 0;
  atEnd_ = false;
  failed_ = false;
  number_ = 0;
  return true;
}
