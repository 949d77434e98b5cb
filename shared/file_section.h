// Copying hand-written marked sections ("<!-- BEGIN X -->" ... "<!-- END X -->")
// from an existing page into a new one, and asking whether a section exists.
#pragma once

#include <cstdio>

#include "shared/string.h"

class FileSection {
 public:
  // Over an open stream, which stays the caller's.
  explicit FileSection(FILE* stream);
  // Opens `fileName` for reading as text; when it cannot be opened every
  // search fails.
  explicit FileSection(const char* fileName);
  ~FileSection();
  FileSection(const FileSection&) = delete;
  FileSection& operator=(const FileSection&) = delete;

  // Positions the stream just after the next occurrence of `start` (not
  // null). Asking again for the marker found last answers true at once, or
  // with `reuse` seeks back to just after it.
  bool FindSection(const char* start, bool reuse);

  // Writes the start marker, the text after it through the end marker (or to
  // the end of the stream) and the trailer (may be null) to `output`. False,
  // nothing written, when the start marker is not found. Write failures set
  // Error() and do not stop the copy.
  bool CopySection(FILE* output, const char* startMarker, const char* endMarker,
                   const char* trailer);

  // True when any write to an output failed.
  bool Error() const { return error_; }

 private:
  void Write(FILE* output, const char* text);
  void Write(FILE* output, int ch);

  FILE* stream_;
  bool ownsStream_;
  String lastMarker_;
  long position_ = 0;
  bool error_ = false;
};

// CopySection through a temporary FileSection over the open `input`; a write
// failure sets *errorFlag (which is otherwise left as it is).
bool CopySectionFrom(bool* errorFlag, FILE* input, FILE* output, const char* startMarker,
                     const char* endMarker, const char* trailer);
