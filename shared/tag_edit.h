// Reading and changing the attributes of one HTML tag in place ('<NAME ...>'
// as HTMLParser hands it over), never growing it past its buffer's capacity.
#pragma once

#include <initializer_list>

// Size of the name buffer that NextAttribute needs: names are cut to 32.
constexpr int kAttributeNameSize = 33;

class TagParser {
 public:
  // `text` is the zero-terminated tag; `capacity` the bytes available at
  // `text`, terminator included. The caller owns the text.
  TagParser(char* text, int capacity);

  // The name after '<' up to the first non-graphic character or '>', at most
  // size - 1 characters, terminated. Returns `buffer`.
  char* TagName(char* buffer, int size) const;

  // Reads the next attribute: its name (cut to 32) into `nameBuffer` (at
  // least kAttributeNameSize bytes), its value without quotes into
  // `valueBuffer` (may be null) of `valueSize` bytes. False at the end.
  bool NextAttribute(char* nameBuffer, char* valueBuffer, int valueSize);

  // The quote a value needs: '"' for an empty value or one with characters
  // other than letters and digits, '\'' when it holds '"', 0 for letters and
  // digits only.
  static char QuoteFor(const char* value);

  // From the start, the first attribute named `name` (letter case ignored);
  // its value goes into `valueBuffer`. False when there is none.
  bool FindAttribute(const char* name, char* valueBuffer, int valueSize);

  // Sets the value of `name` (null: a bare attribute), appending the
  // attribute when missing. False, the tag unchanged, when it would not fit.
  bool SetAttribute(const char* name, const char* value);

  // Removes the first attribute named `name`, with the blanks before it and
  // its value. False when there is none.
  bool RemoveAttribute(const char* name);

  // Changes the value of the attribute read last (null: leaves it bare).
  // False, the tag unchanged, when it would not fit.
  bool ReplaceValue(const char* value);

  // Adds ' name' or ' name=value' (quoted as QuoteFor says) at the end of the
  // tag, before its '>'. False, the tag unchanged, when it would not fit.
  bool AppendAttribute(const char* name, const char* value);

 private:
  void Rewind();
  char* Splice(char* from, char* to, std::initializer_list<const char*> pieces);

  char* text_;
  int capacity_;
  char* cursor_;
  char* nameStart_ = nullptr;
  char* nameEnd_ = nullptr;
  char* valueStart_ = nullptr;
  char* valueEnd_ = nullptr;
};
