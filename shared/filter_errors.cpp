#include "shared/filter_errors.h"

#include <cstdio>

int InputReadFailed() {
  fputs("Error:  Can't read from input file.\n", stderr);
  return 2;
}

int OutputWriteFailed(int status) {
  fputs("Error:  Can't write to output file.\n", stderr);
  return status;
}
