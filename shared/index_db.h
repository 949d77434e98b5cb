// The two tree-wide databases as text lines: the index database record (nine
// TAB-separated fields per catalogued page, image, movie or directory) and
// the keyword database record (a path, a TAB and a keyword list), with the
// visible keyword list that both tree builders catalogue.
#pragma once

#include <cstdio>
#include <string>

#include "shared/string.h"

class LineReader;

constexpr int kIndexFieldCount = 9;

// Field numbers of an index database line, from 0.
enum IndexField {
  kFieldTitle,
  kFieldPath,
  kFieldDescription,
  kFieldKeywords,
  kFieldFileInfo,
  kFieldThumbnails,
  kFieldSortOrder,
  kFieldAlias,
  kFieldKind,
};

// One index database record. Texts may be null (an empty field).
struct IndexRecord {
  const char* title = nullptr;
  const char* path = nullptr;         // full path; a directory's ends in its index page
  const char* description = nullptr;
  const char* keywords = nullptr;     // visible keywords, ", " between them
  const char* fileInfo = nullptr;     // the FILEINFO text as read
  const char* thumbnails = nullptr;   // items "name:width,height" joined by ';'
  int sortOrder = 50;
  int alias = 0;
  int kind = 0;                       // Entry kind, written as four hex digits
};

// Writes the record as "%s\t%s\t%s\t%s\t%s\t%s\t%d\t%d\t%04X\n". A TAB, CR or
// LF inside a text is written as a blank, so the line always keeps its nine
// fields. False when the write fails.
bool WriteIndexRecord(FILE* out, const IndexRecord& record);

// Writes the keyword database line "%s\t%s\n" under the same rule for TAB,
// CR and LF. False when the write fails.
bool WriteKeywordLine(FILE* out, const char* path, const char* keywords);

// Writes text with each TAB, CR and LF as a blank (a null text writes
// nothing). False when the write fails.
bool WriteFieldText(FILE* out, const char* text);

// Splits one index database line (its line feed removed) in place at its
// TABs: the texts point into the line, the numbers are read as decimal
// (sort order, alias) and hexadecimal (kind). True when the line has all
// nine fields (the ninth is the rest of the line) and the ninth begins with
// a hexadecimal digit; on false the record is unchanged. The line is cut up
// either way.
bool ParseIndexLine(char* line, IndexRecord* record);

// The index database `name` opened with `mode` (as for OpenFile) here or in
// one of the four directories above, the nearest first; the relative path it
// was found by into *path (may be null). Null when there is none.
FILE* OpenIndexDatabase(const char* name, const char* mode, std::string* path);

// Reads the next line and splits it into the record as ParseIndexLine does
// (texts point into the line). False at the end, or at a line without the
// nine fields.
bool ReadIndexRecord(LineReader& lines, IndexRecord* record);

// The keywords of a list that do not begin with '_', joined by ", "; the
// empty String when there are none.
String VisibleKeywords(const char* list);
