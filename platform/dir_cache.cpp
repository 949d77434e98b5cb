// A small per-thread cache of directory names, checked against the
// directory's status on every use.
#include "platform/dir_cache.h"

#include <dirent.h>
#include <time.h>

#include <cstdint>
#include <cstring>
#include <unordered_map>

namespace weft_host {
namespace {

// Directories kept; the least recently used one goes first.
constexpr size_t kCachedDirs = 64;
// A directory modified this recently is read every time: a change within the
// same tick of the file system's clock would leave its times as they were.
constexpr int64_t kSettleNanoseconds = 2'000'000'000;

// What must stay the same for the kept names to be the directory's names:
// every change of an entry sets the modification time to the current time.
struct DirKey {
  dev_t device = 0;
  ino_t inode = 0;
  struct timespec modified = {};
  struct timespec changed = {};
};

bool SameTime(const struct timespec& a, const struct timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool SameKey(const DirKey& a, const DirKey& b) {
  return a.device == b.device && a.inode == b.inode && SameTime(a.modified, b.modified) &&
         SameTime(a.changed, b.changed);
}

DirKey KeyOf(const struct stat& st) {
  DirKey key;
  key.device = st.st_dev;
  key.inode = st.st_ino;
  key.modified = st.st_mtim;
  key.changed = st.st_ctim;
  return key;
}

int64_t Nanoseconds(const struct timespec& time) {
  return static_cast<int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

// True when the directory was last modified long enough before now that any
// later change must give it another modification time.
bool IsSettled(const DirKey& key) {
  struct timespec now;
  if (clock_gettime(CLOCK_REALTIME, &now) != 0) return false;
  return Nanoseconds(key.modified) < Nanoseconds(now) - kSettleNanoseconds;
}

struct CachedDir {
  DirKey key;
  std::shared_ptr<const DirNames> names;
  uint64_t lastUse = 0;
};

struct DirCache {
  std::unordered_map<std::string, CachedDir> dirs;
  uint64_t uses = 0;

  void Evict() {
    auto oldest = dirs.begin();
    for (auto it = dirs.begin(); it != dirs.end(); ++it) {
      if (it->second.lastUse < oldest->second.lastUse) oldest = it;
    }
    if (oldest != dirs.end()) dirs.erase(oldest);
  }
};

// Reads the directory; `key` comes from the open directory itself, so the
// names and the key always belong to the same directory.
std::shared_ptr<const DirNames> ReadFresh(const std::string& path, DirKey* key) {
  DIR* dir = opendir(path.c_str());
  if (!dir) return nullptr;
  struct stat st;
  if (fstat(dirfd(dir), &st) != 0) {
    closedir(dir);
    return nullptr;
  }
  *key = KeyOf(st);
  auto names = std::make_shared<DirNames>();
  while (dirent* entry = readdir(dir)) {
    const char* name = entry->d_name;
    if (strcmp(name, ".") == 0 || strcmp(name, "..") == 0) continue;
    names->push_back({name, entry->d_type});
  }
  closedir(dir);
  return names;
}

}  // namespace

std::shared_ptr<const DirNames> ReadDirNames(const std::string& dir, const struct stat* known) {
  thread_local DirCache cache;
  std::string path = dir.empty() ? "/" : dir;
  struct stat st;
  if (!known) {
    if (stat(path.c_str(), &st) != 0) return nullptr;
    known = &st;
  }
  auto kept = cache.dirs.find(path);
  if (kept != cache.dirs.end()) {
    if (SameKey(kept->second.key, KeyOf(*known))) {
      kept->second.lastUse = ++cache.uses;
      return kept->second.names;
    }
    cache.dirs.erase(kept);
  }
  DirKey key;
  std::shared_ptr<const DirNames> names = ReadFresh(path, &key);
  if (!names || !IsSettled(key)) return names;
  if (cache.dirs.size() >= kCachedDirs) cache.Evict();
  cache.dirs[path] = CachedDir{key, names, ++cache.uses};
  return names;
}

}  // namespace weft_host
