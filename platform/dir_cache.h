// The entry names of host directories, read once and kept while the directory
// is unchanged, for the listings and the case-insensitive lookups of the
// platform layer. Platform sources only.
#pragma once

#include <sys/stat.h>

#include <memory>
#include <string>
#include <vector>

namespace weft_host {

// One entry: its name and its d_type (DT_UNKNOWN where the file system does
// not tell; a symbolic link is DT_LNK whatever it points to).
struct DirName {
  std::string name;
  unsigned char type = 0;
};
using DirNames = std::vector<DirName>;

// The entries of host directory `dir` ("" or "/" is the root) in the order the
// directory gives them, "." and ".." left out; null when it cannot be read.
// A kept copy serves while one status call shows the same device, inode,
// modification and change times, so a change made by this or another process
// is seen by the next call. `known` (optional) is the directory's status just
// taken with symbolic links followed; it spares that call.
std::shared_ptr<const DirNames> ReadDirNames(const std::string& dir,
                                             const struct stat* known = nullptr);

}  // namespace weft_host
