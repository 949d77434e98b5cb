// tagquery's run: the keyword expression taken from the arguments (or the
// current directory's name), and the database on standard input filtered by
// it to standard output.
#pragma once

// Runs tagquery for its arguments; returns the exit code.
int RunTagquery(int argc, char** argv);
