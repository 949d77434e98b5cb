// The walk guard over stat and realpath.
#include "platform/walk_guard.h"

#include <stdlib.h>
#include <sys/stat.h>

#include "platform/drives_host.h"
#include "platform/host_io.h"

using namespace weft_host;

namespace {

// The host path with every link resolved; empty when it cannot be.
std::string RealPathOf(const std::string& host) {
  char* real = realpath(host.empty() ? "/" : host.c_str(), nullptr);
  std::string text = real ? real : "";
  free(real);
  return text;
}

// True when `path` is `folder` or lies below it (both real host paths).
bool IsWithin(const std::string& path, const std::string& folder) {
  if (folder == "/") return true;
  return path.compare(0, folder.size(), folder) == 0 &&
         (path.size() == folder.size() || path[folder.size()] == '/');
}

// Whether a link (its host path) leads out of the tree to a folder that is
// not its own ancestor.
bool LeadsOutward(const std::string& host, const std::string& startReal) {
  std::string target = RealPathOf(host);
  if (target.empty() || startReal.empty()) return false;
  if (IsWithin(target, startReal)) return false;
  std::string where = RealPathOf(HostParent(host));
  return !where.empty() && !IsWithin(where, target);
}

}  // namespace

WalkGuard::WalkGuard(const char* start) {
  std::string host;
  struct stat st;
  if (!HostOfPath(start, &host)) return;
  startReal_ = RealPathOf(host);
  if (stat(host.empty() ? "/" : host.c_str(), &st) == 0) entered_.insert({st.st_dev, st.st_ino});
}

bool WalkGuard::Enter(const char* path, uint32_t attributes) {
  std::string host;
  struct stat st;
  if (!HostOfPath(path, &host) || stat(host.empty() ? "/" : host.c_str(), &st) != 0 ||
      !S_ISDIR(st.st_mode)) {
    return false;
  }
  if ((attributes & kAttrReparsePoint) && !LeadsOutward(host, startReal_)) return false;
  return entered_.insert({st.st_dev, st.st_ino}).second;
}
