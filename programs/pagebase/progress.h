// The index builder's progress lines on standard error, and the break
// that a message needs when it comes in the middle of one.
#pragma once

// Writes progress text to standard error.
void Progress(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Ends an unfinished progress line, so that a message starts on a line of
// its own.
void EndProgressLine();
