// The platform sources' side of files.h: a host file copied into place whole.
// Platform sources only.
#pragma once

#include <sys/stat.h>

#include <string>

namespace weft_host {

// Copies the contents and times of host file `from` into a new file beside
// `to` and flushes it, then renames it over `to` in one step (without
// `replace` an existing `to` is never touched): `to` is always either the old
// file or the whole new one. The copy takes `old`'s owner and mode when given,
// else `from`'s mode.
bool CopyIntoPlace(const std::string& from, const std::string& to, bool replace,
                   const struct stat* old = nullptr);
// The file that CopyIntoPlace writes beside `to` before it takes that name:
// one hidden name for each target, claimed like the other temporary files,
// so that the copy a killed run left there is found again, and removed, by
// the next copy to the same place.
std::string CopyFileFor(const std::string& to);

// Opens a file by the rules of OpenFile (files.h), as a descriptor of its
// own (close-on-exec; "b" and "t" in `mode` make no difference): never a
// directory, a FIFO or a device. -1 with the error set.
int OpenFileDescriptor(const char* path, const char* mode);

}  // namespace weft_host
