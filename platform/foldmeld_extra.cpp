// Maps the last-error texts of the file calls back to Windows error codes.
#include "platform/foldmeld_extra.h"

#include <cstring>

#include "platform/files.h"

namespace {

struct ErrorCode {
  const char* text;
  long code;
};

const ErrorCode kCodes[] = {
    {"The system cannot find the file specified.", 2},
    {"The system cannot find the path specified.", 3},
    {"Access is denied.", 5},
    {"Not enough memory resources are available to process this command.", 8},
    {"The system cannot move the file to a different disk drive.", 17},
    {"The media is write protected.", 19},
    {"The process cannot access the file because it is being used by another process.", 32},
    {"The file exists.", 80},
    {"The system cannot open the file.", 110},
    {"There is not enough space on the disk.", 112},
    {"The directory is not empty.", 145},
    {"Cannot create a file when that file already exists.", 183},
    {"The filename or extension is too long.", 206},
};

}  // namespace

long LastErrorCode() {
  const char* text = LastErrorText();
  if (text == nullptr || text[0] == '\0') return 0;
  for (const ErrorCode& entry : kCodes) {
    if (std::strcmp(entry.text, text) == 0) return entry.code;
  }
  return 31;  // a device failure with no closer code
}
