// The last error of the platform calls, kept per thread as Windows keeps it:
// a Windows error code (a number) and the message text that goes with it.
#pragma once

// Windows error codes that the platform calls report.
constexpr long kErrorFileNotFound = 2;
constexpr long kErrorPathNotFound = 3;
constexpr long kErrorAccessDenied = 5;  // also a directory given where a file is wanted
constexpr long kErrorNotEnoughMemory = 8;
constexpr long kErrorNotSameDevice = 17;  // a move to another drive
constexpr long kErrorWriteProtect = 19;
constexpr long kErrorGenFailure = 31;  // a failure with no closer code
constexpr long kErrorSharingViolation = 32;
constexpr long kErrorFileExists = 80;  // a copy may not replace its target; no free temporary name
constexpr long kErrorOpenFailed = 110;
constexpr long kErrorDiskFull = 112;
constexpr long kErrorDirNotEmpty = 145;
constexpr long kErrorInsufficientBuffer = 122;  // a caller's buffer too small for the result
constexpr long kErrorAlreadyExists = 183;  // a create or move onto a name in use
constexpr long kErrorFilenameTooLong = 206;

// Text of the last failure of a platform call (for messages); empty when none.
const char* LastErrorText();
// Its code: 0 when no failure is recorded; kErrorGenFailure for one that
// has no closer code.
long LastErrorCode();
