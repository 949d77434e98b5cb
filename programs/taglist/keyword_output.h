// The three forms of the keyword list: plain text, one expanded format
// string per keyword, and an HTML cross-reference with numbered links to
// the local files.
#pragma once

#include <cstdio>
#include <string>

#include "programs/taglist/keyword_index.h"

// Each keyword, its files indented below it, an empty line after each.
void WritePlainList(const KeywordIndex& index, FILE* out);

// For each keyword the format with the environment variables KEYWORD,
// KEYHTML, KEYFORM and COUNT set to that keyword's values.
void WriteFormattedList(const KeywordIndex& index, const std::string& format, FILE* out);

// Each keyword followed by numbered "file:///" links to its files and
// "<BR>". Returns the number of files left out for want of a drive.
long WriteCrossReference(const KeywordIndex& index, FILE* out);
