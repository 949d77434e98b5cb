// The platform sources' side of file_replace.h: temporary files known by
// their lock, and the replace step over host paths. Platform sources only.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <string>

namespace weft_host {

// Temporary files of a rewrite are known by their lock: the program writing
// one holds an flock on it until the file is in place or gone, so that the
// leftover of a killed run can be told from a file still being written.
//
// Removes a file of a temporary name that no running program holds (a link
// of that name goes too, never what it names). False when another program
// is writing it or it is no file.
bool RemoveLeftover(const std::string& host);
// Creates the temporary file `host` anew with `mode`, never over an existing
// one, and locks it; returns its descriptor, and in `lock` the descriptor
// that holds the lock (close it to release). -1 on failure.
int CreateLockedTemp(const std::string& host, int* lock, mode_t mode = 0666);
// True when `fd` is the file whose status is `st`: another program may take
// a temporary name over between its create and its lock, and its file must
// never be put in place for ours.
bool StillOurs(int fd, const struct stat& st);
// Gives the open file `fd` the owner and mode of `old`, never wider: the
// permissions of a group that cannot be carried over are dropped.
void CarryOwnerAndMode(int fd, const struct stat& old);
// The replace step of file_replace.h over host paths: puts the finished file
// `source` in the place of `target` (symbolic links followed, hard links
// kept, mode and owner carried over). The first form takes their lstat
// results (`found`: whether `target` exists).
bool PutInPlace(const std::string& source, const struct stat& st, const std::string& target,
                bool found, const struct stat& targetSt);
bool PutInPlace(const std::string& source, const std::string& target);

}  // namespace weft_host
