// The keyword filter over either database: keeps the lines whose keyword
// list (field 2 of a keyword database line, field 4 of an index database
// line) matches a keyword expression.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

// The keyword list of a line of `length` bytes, cut at a line feed: field 4
// when the line has four or more TAB-separated fields, field 2 when it has
// two or three. False for a line without TAB. The first form tells where it
// lies in the line ([begin, end)), the second copies it into field.
bool FindKeywordField(const char* line, size_t length, size_t* begin, size_t* end);
bool KeywordField(const char* line, size_t length, std::string* field);

// Results of FilterDatabase.
enum FilterResult {
  kFilterDone = 0,
  kFilterSyntaxError = 1,  // the expression has text left over
  kFilterWriteError = 2,
  kFilterReadError = 3,
};

// Copies the matching lines of in to out, each followed by a line feed. An
// expression with text left over is refused before anything is read.
FilterResult FilterDatabase(const char* expression, FILE* in, FILE* out);

// The expression used without arguments: the current directory's own name
// (empty at a drive root).
std::string DefaultExpression();
