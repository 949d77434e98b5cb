// The errors of a program whose input could not be read or whose result
// could not be written: the filter programs (standard input to standard
// output) and the others that write their result to standard output.
#pragma once

// Reports standard input that could not be read; returns the exit code 2.
int InputReadFailed();
// Reports output that could not be written; returns `status`, the exit code
// (2 for the filter programs).
int OutputWriteFailed(int status = 2);
