// Reads the keyword list of a page's head: the CONTENT of its META KEYWORDS
// tag, lines joined and entities decoded; a page marked as an alias has none.
#pragma once

#include <cstddef>
#include <cstdio>

#include "shared/html_parser.h"

class KeywordParser : public HTMLStreamParser {
 public:
  // Writes the list into output (size bytes, terminator included).
  KeywordParser(FILE* stream, char* output, size_t size);

 protected:
  void OnText(int ch) override;
  void OnComment(int ch) override;
  void OnTag(char* tag) override;

 private:
  void OnMeta(char* tag, const char* metaName);

  char* output_;
  size_t size_;
};

// Bytes of the keyword buffer of a page: 255 characters and the terminator.
constexpr size_t kPageKeywordsSize = 256;

// Fills buffer with the page's keyword list (empty when none or when the
// page cannot be read); true when it is not empty.
bool ReadPageKeywords(const char* path, char* buffer, size_t size);
