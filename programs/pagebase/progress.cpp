#include "programs/pagebase/progress.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

bool lineOpen = false;

}  // namespace

void Progress(const char* format, ...) {
  va_list args;
  va_start(args, format);
  vfprintf(stderr, format, args);
  va_end(args);
  size_t length = strlen(format);
  lineOpen = length > 0 && format[length - 1] != '\n';
}

void EndProgressLine() {
  if (lineOpen) fputc('\n', stderr);
  lineOpen = false;
}
