// CGI input: the form-encoded query of a request (QUERY_STRING for GET,
// standard input for POST) decoded once into name/value pairs; and form
// encoding of a value for a query argument of a generated link.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "shared/string.h"

// The raw request text: a copy of QUERY_STRING when REQUEST_METHOD is "GET"
// (letter case ignored); otherwise up to CONTENT_LENGTH bytes (32767 when it
// is not set), at most 8191, read from `input` until it ends.
std::string ReadCGIRequest(FILE* input);

class CGIArgs {
 public:
  // Reads the request from the environment and standard input.
  CGIArgs();
  // Decodes a raw request text as ReadCGIRequest gives it.
  explicit CGIArgs(const std::string& raw);
  ~CGIArgs();
  CGIArgs(const CGIArgs&) = delete;
  CGIArgs& operator=(const CGIArgs&) = delete;

  // Value of the first pair with that name (letter case ignored); an empty
  // text for a pair without value; null when there is no such pair.
  const char* Find(const char* name) const;
  // As Find, but an empty text when there is no such pair.
  const char* Get(const char* name) const;
  // All non-empty values of pairs with that name, joined by ',', into
  // buffer; a value is taken only when it fits with its ',' and with room
  // left for the text `reserve` (values that do not fit are skipped).
  char* GetAll(const char* name, char* buffer, size_t size, const char* reserve) const;
  // Writes a plain-text page listing the pairs to standard output.
  void Dump() const;

  int Count() const { return static_cast<int>(pairs_.size()); }

 private:
  struct Pair {
    const char* name;
    const char* value;  // null when the pair has no '=' value
  };
  void Decode(const std::string& raw);
  void Split();

  std::vector<char> text_;  // the decoded input; the pairs point into it
  std::vector<Pair> pairs_;
};

// Form encoding: a blank becomes '+', letters and digits stay, any other byte
// becomes "%XX". Writes into buffer of size (terminated; an escape that does
// not fit is skipped) and returns the buffer (null is a programming error).
char* FormEncode(const char* text, char* buffer, size_t size);
// The size FormEncode needs, terminator included.
size_t FormEncodedLength(const char* text);
String FormEncodeString(const char* text);
