// The standard handles of this process pointed elsewhere for one command and
// put back after it, as the command interpreter redirects a command:
// standard input from a file, standard output and error output to a file
// (created anew or appended to) or onto each other. A started program
// inherits the handles as they stand.
//
// Files open by the layer's rules (files.h), so a redirection never blocks:
// a directory, a FIFO or a device is refused, except "NUL" (also "NUL:"),
// the null device. What is written through a redirected standard stream
// (stdout, stderr) is watched, so that a write that did not reach its file
// (a full disk) is known when the handles go back.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

class StdRedirection {
 public:
  enum class Mode { kRead, kWrite, kAppend };

  StdRedirection();
  ~StdRedirection();
  StdRedirection(const StdRedirection&) = delete;
  StdRedirection& operator=(const StdRedirection&) = delete;

  // Makes standard handle `handle` (0 input, 1 output, 2 error output) the
  // file `path`, opened for `mode`. False with the last error set.
  bool ToFile(int handle, const std::string& path, Mode mode);
  // Makes `handle` a copy of `other` as it stands ("2>&1"). False when that
  // handle is not open.
  bool ToHandle(int handle, int other);
  // Puts the handles back, after what went through them is written out.
  // False, with the last error set, when a write through a redirected
  // output handle failed. Called again, it does nothing.
  bool Restore();

 private:
  struct Watched;  // a standard stream whose writes are watched
  bool Redirect(int handle, int fd);
  void Watch(int handle);

  std::vector<std::pair<int, int>> saved_;     // each handle and its copy from before
  std::unique_ptr<Watched> watched_[2];        // standard output and error output
};
