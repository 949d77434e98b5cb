// The runtime's assertion failure: message on standard error, exit code 3.
#include "platform/assert.h"

#include <unistd.h>

#include <cstdio>

void AssertionFailed(const char* expression, const char* file, int line) {
  fprintf(stderr, "Assertion failed: %s, file %s, line %d\n", expression, file, line);
  fflush(nullptr);
  _exit(3);
}
