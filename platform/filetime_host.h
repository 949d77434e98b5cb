// The platform sources' side of filetime.h: host times as Windows file
// times. Platform sources only.
#pragma once

#include <time.h>

#include "platform/filetime.h"

namespace weft_host {

// Host times as Windows file times.
FileTime ToFileTime(const struct timespec& time);

}  // namespace weft_host
