// tagpick's keyword list: keywords (indented ones under unindented
// headings) with descriptions shown as tips, and operation lines that
// extend a selection, read from a text file in UTF-8 or windows-1252 and
// held in UTF-8.
#pragma once

#include "shared/string.h"

constexpr int kMaxKeywords = 100;
constexpr int kMaxOperations = 100;

class KeywordFile {
 public:
  KeywordFile() = default;
  ~KeywordFile() { Clear(); }
  KeywordFile(const KeywordFile&) = delete;
  KeywordFile& operator=(const KeywordFile&) = delete;

  // Releases every text; no keyword and no operation is left.
  void Clear();
  // Clears, then reads the list file; the keyword count. A file that cannot
  // be opened gives the "Can't open keyword list file." box and 0. A file
  // that is not well-formed UTF-8 is windows-1252, and its texts are
  // converted.
  int Read(const char* fileName);
  // Every keyword without a description takes the description of the last
  // keyword of `other` that equals it (letter case ignored, leading blanks
  // compared as well).
  void MergeDescriptions(const KeywordFile& other);

  int KeywordCount() const { return keywordCount_; }
  int OperationCount() const { return operationCount_; }
  // The keyword as written, leading blanks included.
  const String& Keyword(int index) const { return keywords_[index]; }
  const String& Description(int index) const { return descriptions_[index]; }
  const String& Operation(int index) const { return operations_[index]; }
  // True when some keyword is indented: then the others are headings.
  bool HasIndentedKeywords() const;

 private:
  void AddLine(const char* line);
  void AddKeyword(const char* line);
  void ContinueDescription(const char* line);
  void ConvertFromWindows1252();

  int keywordCount_ = 0;
  int operationCount_ = 0;
  String keywords_[kMaxKeywords];
  String descriptions_[kMaxKeywords];
  String operations_[kMaxOperations];
  bool lastKeywordKept_ = false;  // continuation lines belong to a kept keyword
};
