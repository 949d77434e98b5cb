// pagebase's run: the options and configuration read, the tree scanned into
// records, sorted, and written as a new index database or merged into the
// old one from standard input.
#pragma once

// Runs pagebase for its arguments; returns the exit code (the highest
// severity reported). Memory running out ends it with std::bad_alloc.
int RunPagebase(int argc, char** argv);

// Ends an unfinished progress line and reports that memory ran out; returns
// the exit code.
int ReportOutOfMemory();
