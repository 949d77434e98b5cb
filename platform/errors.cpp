// The last error of the platform calls, one per thread: the code and its
// text, both set together by the call that failed.
#include "platform/errors.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/errors_host.h"

namespace {

struct LastError {
  long code = 0;
  std::string text;
};

thread_local LastError lastError;

struct ErrorText {
  long code;
  const char* text;
};

// Windows' wording of the codes the platform calls report.
const ErrorText kTexts[] = {
    {kErrorFileNotFound, "The system cannot find the file specified."},
    {kErrorPathNotFound, "The system cannot find the path specified."},
    {kErrorAccessDenied, "Access is denied."},
    {kErrorNotEnoughMemory, "Not enough memory resources are available to process this command."},
    {kErrorNotSameDevice, "The system cannot move the file to a different disk drive."},
    {kErrorWriteProtect, "The media is write protected."},
    {kErrorSharingViolation,
     "The process cannot access the file because it is being used by another process."},
    {kErrorFileExists, "The file exists."},
    {kErrorOpenFailed, "The system cannot open the file."},
    {kErrorDiskFull, "There is not enough space on the disk."},
    {kErrorDirNotEmpty, "The directory is not empty."},
    {kErrorInsufficientBuffer, "The data area passed to a system call is too small."},
    {kErrorAlreadyExists, "Cannot create a file when that file already exists."},
    {kErrorFilenameTooLong, "The filename or extension is too long."},
};

const char* TextOf(long code) {
  for (const ErrorText& entry : kTexts) {
    if (entry.code == code) return entry.text;
  }
  return "";
}

// The Windows code for the failures programs see most; 0 for the others.
long WindowsCode(int error) {
  switch (error) {
    case ENOENT: return kErrorFileNotFound;
    case ENOTDIR: return kErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR: return kErrorAccessDenied;
    case EEXIST: return kErrorAlreadyExists;
    case ENOTEMPTY: return kErrorDirNotEmpty;
    case ENOSPC: return kErrorDiskFull;
    case ENAMETOOLONG: return kErrorFilenameTooLong;
    case EMFILE:
    case ENFILE: return kErrorOpenFailed;
    case EROFS: return kErrorWriteProtect;
    case EXDEV: return kErrorNotSameDevice;
    case EBUSY: return kErrorSharingViolation;
    case ENOMEM: return kErrorNotEnoughMemory;
    default: return 0;
  }
}

}  // namespace

namespace weft_host {

void SetError(long code) {
  lastError.code = code;
  lastError.text = TextOf(code);
}

void SetError(const std::string& text) {
  lastError.code = text.empty() ? 0 : kErrorGenFailure;
  lastError.text = text;
}

void SetErrno(int error) {
  long code = WindowsCode(error);
  if (code != 0) {
    SetError(code);
  } else {
    SetError(strerror(error));
  }
}

}  // namespace weft_host

const char* LastErrorText() { return lastError.text.c_str(); }

long LastErrorCode() { return lastError.code; }
