// The postpage run: each slide file named on the command line whose text block
// is a newsgroup message gets its message formatted in place.
#pragma once

// Exit codes of a run.
constexpr int kPostOk = 0;         // every file was processed
constexpr int kPostFileError = 1;  // a file could not be opened or read
constexpr int kPostAborted = 2;    // the run stopped: a file could not be written

void PrintPostpageHelp();
// Formats the files `files[0..count)` in order; returns the exit code.
int FormatSlideFiles(int count, char** files);
