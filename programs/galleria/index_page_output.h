// The output of the index page being built: a temporary file "index.new" that
// replaces the old page only once it is complete (standard output in CGI
// mode), the writes that set the run's write-error flag, and the generator
// text of every page head.
#pragma once

#include <cstdio>

class Entry;

// Makes the entry of the current directory (*pageEntry, always set; the
// caller deletes it) and opens the output: standard output behind its
// "Content-type" line in CGI mode, else a fresh "index.new". Null (with the
// messages reported) when "index.new" cannot be created.
FILE* OpenIndexOutput(Entry** pageEntry);

// Finishes the output and puts it in place under name (null: "index.htm").
// 0 done (always in CGI mode); 1 nothing replaced ("index.new" removed);
// 2 the old page is gone and the new one stays as "index.new".
int CommitIndexOutput(FILE* stream, const char* name = nullptr);

// printf to the page; a failed write sets OutputError. The C library's result.
int WriteHTML(FILE* stream, const char* format, ...) __attribute__((format(printf, 2, 3)));

// "<description>, v<version> by Dunmarrow" from the program's version block;
// made on the first call and kept.
const char* VersionBanner();
