#include "programs/galleria/index_lines.h"

#include <cstring>

namespace {

// Large reads while scanning; a return to one line reads little more than it.
constexpr size_t kChunkSize = 64 * 1024;

}  // namespace

IndexLines::IndexLines(FILE* stream) : stream_(stream) {}

// Moves the unread bytes to the front, grows the buffer when they fill it,
// and reads more. False when nothing more can be read.
bool IndexLines::Fill() {
  if (atEnd_) return false;
  size_t pending = end_ - start_;
  if (start_ > 0) {
    memmove(buffer_.data(), buffer_.data() + start_, pending);
    bufferPosition_ += static_cast<int64_t>(start_);
    start_ = 0;
    end_ = pending;
  }
  // One byte more than the data always stays free for the terminator.
  if (buffer_.size() - end_ < kChunkSize + 1) buffer_.resize(end_ + kChunkSize + 1);
  size_t got = fread(buffer_.data() + end_, 1, kChunkSize, stream_);
  end_ += got;
  if (got == 0) atEnd_ = true;
  return got > 0;
}

bool IndexLines::Next() {
  size_t scanned = 0;  // bytes of the pending line already searched
  for (;;) {
    char* begin = buffer_.data() + start_;
    size_t pending = end_ - start_;
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

bool IndexLines::TakeLine(size_t length, bool hasFeed) {
  char* line = buffer_.data() + start_;
  lineStart_ = start_;
  linePosition_ = bufferPosition_ + static_cast<int64_t>(start_);
  start_ += length + (hasFeed ? 1 : 0);
  if (hasFeed && length > 0 && line[length - 1] == '\r') --length;
  // Overwrites the line feed, the CR, or the free byte after the data.
  line[length] = '\0';
  return true;
}

bool IndexLines::SeekLine(int64_t position) {
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
  return true;
}
