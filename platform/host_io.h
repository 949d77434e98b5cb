// Host descriptors read and written whole, host paths cut at their folder,
// and texts copied out into a caller's buffer, for the platform sources:
// every call goes on after an interrupted system call and records why it
// failed (errors.h). Platform sources only.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>

namespace weft_host {

// Reads `fd` from where it stands to its end into `text`. `size`, when
// known, is the file's size at its open: a read that comes back short just
// there is the end, which spares the call that would only say so (a file
// that grew or shrank is read on to its end all the same).
bool ReadAll(int fd, std::string* text, off_t size = -1);
// Reads the host file whole (never blocking on a FIFO's open).
bool ReadWholeHostFile(const std::string& host, std::string* text);
// Writes every byte; a write that takes none fails as a full disk does.
bool WriteAll(int fd, const char* data, size_t size);
bool WriteAll(int fd, const std::string& text);
// Copies what `in` holds, from where it stands to its end, onto `out`.
bool CopyAll(int in, int out);

// The folder of a host path: the text before its last '/' ("/" for a name
// in the root, "." for a name without a folder).
std::string HostParent(const std::string& host);

// Copies a text that a call returns (a full path, a found file) into the
// caller's `buffer` of `size` and returns its length. 0 for one over 260
// characters (a name too long) or one that does not fit with its terminator
// (a buffer too small).
size_t CopyPathOut(const std::string& text, char* buffer, size_t size);

}  // namespace weft_host
