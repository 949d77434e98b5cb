// The platform sources' side of errors.h: recording why a call failed.
// Platform sources only.
#pragma once

#include <string>

namespace weft_host {

// Records the failure of a call (errors.h): a Windows code with its text; a
// text of its own (one with details such as a path), whose code is
// kErrorGenFailure; or an errno value as the Windows code it stands for.
void SetError(long code);
void SetError(const std::string& text);
void SetErrno(int error);

}  // namespace weft_host
