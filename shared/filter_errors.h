// The errors of a filter program (standard input to standard output) whose
// input could not be read or whose output could not be written.
#pragma once

// Reports standard input that could not be read; returns the exit code 2.
int InputReadFailed();
// Reports output that could not be written; returns the exit code 2.
int OutputWriteFailed();
