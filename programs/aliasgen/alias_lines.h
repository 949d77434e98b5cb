// The alias list generator's work: keyword database lines in, the alias list
// lines of the current directory out (pages and directories elsewhere in the
// tree, slide pages replaced by a movie of the same name).
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// The movie extension list holds at most this many extensions.
constexpr size_t kMaxMovieExts = 50;

struct AliasOptions {
  bool indexOnly = false;  // /I: directories (index pages) only
  bool slidesOnly = false;  // /S: slide pages only
  std::vector<std::string> movieExts;  // each "." and an extension, in order
};

// Appends "." and ext to the movie extensions, unless the list is full.
void AddMovieExt(AliasOptions* options, const std::string& ext);

// Reads the command line; false when it asks for the help text.
bool ParseAliasArgs(int argc, char** argv, AliasOptions* options);

// Reads the configuration files: "embed" and the keys beginning with "movie"
// add movie extensions (a leading '.' of the value skipped).
void ReadAliasConfig(AliasOptions* options);

// The alias list line for one database path, or false when the path gives
// none (left out by /I or /S, or not outside the current directory).
bool AliasLine(const char* path, const AliasOptions& options, std::string* line);

// Results of WriteAliasList.
enum AliasListResult {
  kAliasListDone = 0,
  kAliasListReadError = 1,
  kAliasListWriteError = 2,
};

// Writes the alias list line of every database line of in to out.
AliasListResult WriteAliasList(FILE* in, FILE* out, const AliasOptions& options);
