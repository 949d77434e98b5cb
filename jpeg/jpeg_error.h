// The error manager of the pipeline's decoder and encoder: the library's
// message goes to standard error and control returns to the caller through
// a jump, so one bad image costs only that image.
#pragma once

#include <csetjmp>
#include <cstdio>
#include <string>

#include <jpeglib.h>

struct JpegErrorManager {
  jpeg_error_mgr pub;
  jmp_buf jump;
  void (*standardEmit)(j_common_ptr, int);
};

// Sets up the manager and returns its jpeg_error_mgr for cinfo.err. A fatal
// error and a premature end of the data (which would leave the rest of the
// image as grey filler) print the library's message and jump to `jump`;
// other warnings are printed as the library prints them.
jpeg_error_mgr* InitJpegErrors(JpegErrorManager* manager);

// Where the pipeline's messages go on the calling thread: standard error, or
// (with `text` set) the end of `text`, for a worker whose image's messages
// are printed later in their turn. Null goes back to standard error.
void CollectJpegMessages(std::string* text);

// Prints one line of the pipeline's (the newline is added) where the calling
// thread's messages go.
void JpegMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));
