// Whether a program's output reached its stream: buffered writes show a
// full disk or a closed file only when they are flushed.
#pragma once

#include <cstdio>

// Flushes the stream; true when that and every write before it succeeded.
bool StreamWritten(FILE* stream);
