// The link fixer's page scanner: hands every A and AREA link to the fixer
// and, with an output, copies the page byte for byte with the repaired
// HREF and TITLE attributes in place.
#pragma once

#include <cstdio>

#include "programs/hrefmend/link_fixer.h"
#include "shared/html_parser.h"

class Parser : public HTMLStreamParser {
 public:
  // Without an output (null) the links are collected; with one they are fixed.
  Parser(FILE* source, FILE* output, LinkFixer* fixer);

  // True when a write to the output failed; the scan stopped there (and
  // only a failed write stops it).
  bool WriteFailed() const { return Stopped(); }

 protected:
  void OnText(int ch) override;     // copied to the output
  void OnComment(int ch) override;  // copied like text
  void OnTag(char* tag) override;

 private:
  void HandleLink(char* tag);
  void Write(const char* text);

  FILE* output_;
  LinkFixer* fixer_;
};
