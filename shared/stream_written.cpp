#include "shared/stream_written.h"

bool StreamWritten(FILE* stream) { return fflush(stream) == 0 && !ferror(stream); }
