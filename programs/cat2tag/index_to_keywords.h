// Turns index database lines into keyword database lines, naming each
// record by the page that describes it.
#pragma once

#include <cstdio>
#include <string>

// The keyword database line of one index database line (its line feed
// removed; the line is changed in place): the path of field 2, a page
// extension put on it where it has none, a TAB and the keywords of field 4,
// without line feed. False when the line has fewer than four fields or an
// empty field 4.
bool KeywordLineOf(char* line, std::string* output);

// Results of ConvertDatabase.
enum ConvertResult {
  kConvertDone = 0,
  kConvertWriteError = 2,
  kConvertReadError = 3,
};

// Converts every line of in and writes the results to out.
ConvertResult ConvertDatabase(FILE* in, FILE* out);
