#include "shared/file_section.h"

#include <cstring>

#include "platform/assert.h"
#include "platform/files.h"

namespace {

// Reads until the whole of `marker` has been matched, handing each character
// read to `each`. A mismatch restarts the match with the next character (the
// mismatching one is not tried as a new start). False when the stream ends.
template <typename Each>
bool ReadThrough(FILE* stream, const char* marker, Each each) {
  size_t length = strlen(marker);
  size_t matched = 0;
  while (matched < length) {
    int ch = getc(stream);
    if (ch == EOF) return false;
    each(ch);
    matched = ch == static_cast<unsigned char>(marker[matched]) ? matched + 1 : 0;
  }
  return true;
}

// ReadThrough for a search that needs none of the characters before the
// marker: the stream is read a block at a time (an old index page of many
// thousand entries has no heading marker to find), and after a match it is
// set back to just past the marker.
bool SkipThrough(FILE* stream, const char* marker) {
  size_t length = strlen(marker);
  if (length == 0) return true;
  size_t matched = 0;
  char block[65536];
  for (;;) {
    size_t n = fread(block, 1, sizeof block, stream);
    if (n == 0) return false;
    for (size_t i = 0; i < n; ++i) {
      matched = static_cast<unsigned char>(block[i]) == static_cast<unsigned char>(marker[matched])
                    ? matched + 1
                    : 0;
      if (matched < length) continue;
      long past = static_cast<long>(n - i - 1);
      return past == 0 || fseek(stream, -past, SEEK_CUR) == 0;
    }
  }
}

}  // namespace

FileSection::FileSection(FILE* stream) : stream_(stream), ownsStream_(false) {}

FileSection::FileSection(const char* fileName)
    : stream_(OpenFile(fileName, "r")), ownsStream_(true) {}

FileSection::~FileSection() {
  if (ownsStream_ && stream_) fclose(stream_);
}

bool FileSection::FindSection(const char* start, bool reuse) {
  WEFT_ASSERT(start);
  if (!stream_) return false;
  if (!lastMarker_.IsNull() && strcmp(lastMarker_, start) == 0) {
    if (!reuse) return true;
    if (fseek(stream_, position_, SEEK_SET) == 0) return true;
  }
  lastMarker_ = String();
  if (fseek(stream_, 0, SEEK_SET) != 0) return false;
  if (!SkipThrough(stream_, start)) return false;
  position_ = ftell(stream_);
  lastMarker_ = start;
  return true;
}

void FileSection::Write(FILE* output, const char* text) {
  if (fputs(text, output) == EOF) error_ = true;
}

void FileSection::Write(FILE* output, int ch) {
  if (putc(ch, output) == EOF) error_ = true;
}

bool FileSection::CopySection(FILE* output, const char* startMarker, const char* endMarker,
                              const char* trailer) {
  if (!FindSection(startMarker, true)) return false;
  Write(output, startMarker);
  ReadThrough(stream_, endMarker ? endMarker : "", [&](int ch) { Write(output, ch); });
  if (trailer) Write(output, trailer);
  return true;
}

bool CopySectionFrom(bool* errorFlag, FILE* input, FILE* output, const char* startMarker,
                     const char* endMarker, const char* trailer) {
  FileSection section(input);
  bool found = section.CopySection(output, startMarker, endMarker, trailer);
  if (section.Error() && errorFlag) *errorFlag = true;
  return found;
}
