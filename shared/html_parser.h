// The suite's one HTML reader: a scanner that hands its input back, character
// by character and tag by tag, through virtual hooks. It builds no tree; a
// subclass supplies the input and decides what to keep or rewrite.
#pragma once

#include <cstddef>
#include <cstdio>

class HTMLParser {
 public:
  // Allocates and owns a tag buffer of `size` bytes (at least 10).
  explicit HTMLParser(int size);
  // Uses a tag buffer that the caller owns and keeps alive (at least 10 bytes).
  HTMLParser(char* buffer, int size);
  virtual ~HTMLParser();
  HTMLParser(const HTMLParser&) = delete;
  HTMLParser& operator=(const HTMLParser&) = delete;

  // Reads the whole input, calling the hooks below; once per input.
  void Scan();

  // Number of tags so far that did not fit the tag buffer (passed on as text).
  int OverflowCount() const { return overflowCount_; }

  // Lets a tag longer than the tag buffer grow it (on the heap) up to
  // `maxSize` bytes, for readers that must keep a long attribute value
  // whole; only a tag longer still goes on as text.
  void GrowTagsUpTo(int maxSize) { maxSize_ = maxSize; }

 protected:
  // Next input character as 0-255; negative at the end of the input or when
  // the subclass wants the scan to stop.
  virtual int NextChar() = 0;
  // One character of ordinary text.
  virtual void OnText(int ch) = 0;
  // One character of a comment, "<!--" and "-->" included.
  virtual void OnComment(int ch) = 0;
  // One whole tag from '<' to '>' (or cut off by the end of the input),
  // zero-terminated in the tag buffer; it may be changed in place within
  // BufferSize() bytes.
  virtual void OnTag(char* tag) = 0;
  // One character of a SCRIPT body; by default passed to OnComment.
  virtual void OnScript(int ch);
  // One character of a STYLE body; by default passed to OnComment.
  virtual void OnStyle(int ch);

  // The tag buffer and its size as they are now: a growing buffer moves.
  char* TagBuffer() const { return tagBuffer_; }
  int BufferSize() const { return bufferSize_; }

 private:
  bool Grow(int used);
  bool ReadTag();
  bool ReadComment();
  bool ReadBody(const char* closing, bool script);
  void PassBody(bool script, int ch);

  char* tagBuffer_;
  int bufferSize_;
  bool ownsBuffer_;
  int maxSize_ = 0;  // the size a tag buffer may grow to; 0: it never grows
  int overflowCount_ = 0;
};

// An HTMLParser whose input is a stdio stream, read ahead in blocks: after
// Scan the stream's position may lie past the point where the scan stopped.
// A subclass ends the scan early with Stop().
class HTMLStreamParser : public HTMLParser {
 public:
  HTMLStreamParser(FILE* stream, int size) : HTMLParser(size), stream_(stream) {}
  HTMLStreamParser(FILE* stream, char* buffer, int size)
      : HTMLParser(buffer, size), stream_(stream) {}

 protected:
  int NextChar() override;
  void Stop() { stopped_ = true; }
  bool Stopped() const { return stopped_; }

 private:
  FILE* stream_;
  char block_[512];
  size_t filled_ = 0;
  size_t next_ = 0;
  bool stopped_ = false;
};
