// printf onto the end of a std::string, for texts put together piece by piece.
#pragma once

#include <string>

// Appends the printf output of format and its arguments to *text.
void AppendFormat(std::string* text, const char* format, ...) __attribute__((format(printf, 2, 3)));
