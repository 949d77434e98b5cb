// The runtime's assertion: a failed condition prints
// "Assertion failed: <expr>, file <source>, line <n>" and ends the program
// with exit code 3.
#pragma once

[[noreturn]] void AssertionFailed(const char* expression, const char* file, int line);

#define WEFT_ASSERT(expr) ((expr) ? (void)0 : AssertionFailed(#expr, __FILE__, __LINE__))
