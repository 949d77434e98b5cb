// The last-error text of the platform calls, one per thread.
#include <cerrno>
#include <cstring>
#include <string>

#include "platform/files.h"
#include "platform/host.h"

namespace {

thread_local std::string lastError;

// Windows' wording for the failures programs see most; strerror otherwise.
const char* WindowsText(int error) {
  switch (error) {
    case ENOENT: return "The system cannot find the file specified.";
    case ENOTDIR: return "The system cannot find the path specified.";
    case EACCES:
    case EPERM:
    case EISDIR: return "Access is denied.";
    case EEXIST: return "Cannot create a file when that file already exists.";
    case ENOTEMPTY: return "The directory is not empty.";
    case ENOSPC: return "There is not enough space on the disk.";
    case ENAMETOOLONG: return "The filename or extension is too long.";
    case EMFILE:
    case ENFILE: return "The system cannot open the file.";
    case EROFS: return "The media is write protected.";
    case EXDEV: return "The system cannot move the file to a different disk drive.";
    case EBUSY: return "The process cannot access the file because it is being used by another process.";
    case ENOMEM: return "Not enough memory resources are available to process this command.";
    default: return nullptr;
  }
}

}  // namespace

namespace weft_host {

void SetError(const std::string& text) { lastError = text; }

void SetErrno(int error) {
  const char* text = WindowsText(error);
  lastError = text ? text : strerror(error);
}

}  // namespace weft_host

const char* LastErrorText() { return lastError.c_str(); }
