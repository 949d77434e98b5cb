#include "shared/html_parser.h"

#include <cstring>

#include "platform/assert.h"
#include "shared/chars.h"
#include "shared/string.h"

namespace {

// A closing "</SCRIPT>" must fit the tag buffer with its terminator.
constexpr int kMinBufferSize = 10;

// Script and style bodies end only at these exact texts (any letter case).
constexpr char kScriptEnd[] = "</SCRIPT>";
constexpr char kStyleEnd[] = "</STYLE>";
constexpr int kMaxClosing = sizeof(kScriptEnd) - 1;

// True when `tag` begins with `name` (letter case ignored) and the character
// after it does not continue the name.
bool StartsTag(const char* tag, const char* name) {
  size_t length = strlen(name);
  return CompareNoCaseN(tag, name, length) == 0 && !IsAlnum(tag[length]);
}

}  // namespace

HTMLParser::HTMLParser(int size)
    : tagBuffer_(nullptr), bufferSize_(size), ownsBuffer_(true) {
  WEFT_ASSERT(size >= kMinBufferSize);
  tagBuffer_ = new char[size];
  tagBuffer_[0] = '\0';
}

HTMLParser::HTMLParser(char* buffer, int size)
    : tagBuffer_(buffer), bufferSize_(size), ownsBuffer_(false) {
  WEFT_ASSERT(buffer != nullptr && size >= kMinBufferSize);
}

HTMLParser::~HTMLParser() {
  if (ownsBuffer_) delete[] tagBuffer_;
}

void HTMLParser::OnScript(int ch) { OnComment(ch & 0xFF); }

void HTMLParser::OnStyle(int ch) { OnComment(ch & 0xFF); }

void HTMLParser::Scan() {
  for (;;) {
    int ch = NextChar();
    if (ch < 0) return;
    if (ch != '<') {
      OnText(ch);
    } else if (ReadTag()) {
      return;
    }
  }
}

// A larger tag buffer with the `used` bytes of the old one, when growing is
// allowed and the buffer has not reached its largest size.
bool HTMLParser::Grow(int used) {
  if (bufferSize_ >= maxSize_) return false;
  int size = bufferSize_ > maxSize_ / 2 ? maxSize_ : bufferSize_ * 2;
  char* buffer = new char[size];
  memcpy(buffer, tagBuffer_, static_cast<size_t>(used));
  if (ownsBuffer_) delete[] tagBuffer_;
  tagBuffer_ = buffer;
  bufferSize_ = size;
  ownsBuffer_ = true;
  return true;
}

// Reads one tag after its '<'. Returns true when the input has ended.
bool HTMLParser::ReadTag() {
  tagBuffer_[0] = '<';
  int count = 1;
  int quote = 0;
  bool ended = false;
  for (;;) {
    int ch = NextChar();
    if (ch < 0) {
      ended = true;
      break;
    }
    tagBuffer_[count++] = static_cast<char>(ch);
    if (count == 4 && memcmp(tagBuffer_, "<!--", 4) == 0) return ReadComment();
    // A tag that leaves no room for its terminator is too long: it goes on
    // as text, and reading resumes as text with the next character.
    if (count == bufferSize_ && !Grow(count)) {
      ++overflowCount_;
      for (int i = 0; i < count; ++i) OnText(static_cast<unsigned char>(tagBuffer_[i]));
      return false;
    }
    if (quote) {
      if (ch == quote) quote = 0;
    } else if (ch == '"' || ch == '\'') {
      quote = ch;
    } else if (ch == '>') {
      break;
    }
  }
  tagBuffer_[count] = '\0';
  OnTag(tagBuffer_);
  if (ended) return true;
  if (StartsTag(tagBuffer_, "<SCRIPT")) return ReadBody(kScriptEnd, true);
  if (StartsTag(tagBuffer_, "<STYLE")) return ReadBody(kStyleEnd, false);
  return false;
}

// Hands a comment, "<!--" already in the buffer, to OnComment through its
// closing "-->". Returns true when the input has ended.
bool HTMLParser::ReadComment() {
  for (int i = 0; i < 4; ++i) OnComment(static_cast<unsigned char>(tagBuffer_[i]));
  int dashes = 0;
  for (;;) {
    int ch = NextChar();
    if (ch < 0) return true;
    OnComment(ch);
    if (ch == '-') {
      if (dashes < 2) ++dashes;
    } else if (ch == '>' && dashes == 2) {
      return false;
    } else {
      dashes = 0;
    }
  }
}

void HTMLParser::PassBody(bool script, int ch) {
  if (script) {
    OnScript(ch);
  } else {
    OnStyle(ch);
  }
}

// Reads a SCRIPT or STYLE body up to `closing`, which goes to OnTag. The body
// is held back by the closing text's length so that the closing tag itself
// never reaches the body hooks. Returns true when the input has ended.
bool HTMLParser::ReadBody(const char* closing, bool script) {
  const int length = static_cast<int>(strlen(closing));
  unsigned char held[kMaxClosing];
  int first = 0;  // ring position of the oldest held character
  int count = 0;
  int matched = 0;
  while (matched < length) {
    int ch = NextChar();
    if (ch < 0) {
      for (int i = 0; i < count; ++i) PassBody(script, held[(first + i) % length]);
      return true;
    }
    if (count == length) {
      PassBody(script, held[first]);
      first = (first + 1) % length;
      --count;
    }
    held[(first + count) % length] = static_cast<unsigned char>(ch);
    ++count;
    if (ch == '<') {
      matched = 1;
    } else if (ToUpper(ch) == closing[matched]) {
      ++matched;
    } else {
      matched = 0;
    }
  }
  for (int i = 0; i < length; ++i) tagBuffer_[i] = static_cast<char>(held[(first + i) % length]);
  tagBuffer_[length] = '\0';
  OnTag(tagBuffer_);
  return false;
}

int HTMLStreamParser::NextChar() {
  if (stopped_) return -1;
  if (next_ == filled_) {
    filled_ = fread(block_, 1, sizeof block_, stream_);
    next_ = 0;
    if (filled_ == 0) return -1;
  }
  return static_cast<unsigned char>(block_[next_++]);
}
