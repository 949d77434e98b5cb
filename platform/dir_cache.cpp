// A process-wide cache of directory names. A directory that has not changed
// for a while is checked against its status on every use; one that changed
// recently is watched (inotify), since two changes within one tick of the
// file system's clock could leave its times as they were, and the watch's
// reports of created, deleted and renamed entries are applied to the kept
// names, so the process's own writes no longer cost a reading of the folder.
#include "platform/dir_cache.h"

#include <dirent.h>
#include <limits.h>
#include <pthread.h>
#include <sys/inotify.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/ascii_case.h"
#include "platform/listing_host.h"

namespace weft_host {
namespace {

unsigned char UpperByte(char c) { return static_cast<unsigned char>(UpperAscii(c)); }

}  // namespace

// --- DirNames ------------------------------------------------------------------

bool ListedOrder::operator()(const DirName& a, const DirName& b) const {
  return NameListedBefore(a.name, b.name);
}

bool ListedOrder::operator()(const DirName& a, std::string_view upperPrefix) const {
  return CompareNoCase(a.name, upperPrefix) < 0;
}

bool ListedOrder::operator()(std::string_view upperPrefix, const DirName& b) const {
  return CompareNoCase(b.name, upperPrefix) > 0;
}

bool HasUpperPrefix(std::string_view name, std::string_view upperPrefix) {
  return StartsNoCase(name, upperPrefix);
}

uint64_t DirNames::FoldedKey(std::string_view name) {
  uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (char c : name) hash = (hash ^ UpperByte(c)) * 1099511628211ull;
  // The low bits choose the place: mix the high ones into them.
  hash ^= hash >> 32;
  hash *= 0xd6e8feb86659fd93ull;
  hash ^= hash >> 32;
  return hash | (1ull << 63);
}

DirNames::Slot* DirNames::FindSlot(std::string_view name, uint64_t key) {
  if (slots_.empty()) return nullptr;
  size_t mask = slots_.size() - 1;
  for (size_t at = key & mask;; at = (at + 1) & mask) {
    Slot& slot = slots_[at];
    if (slot.key == 0) return nullptr;
    if (slot.key == key && SameNoCase(slot.first->name, name)) return &slot;
  }
}

void DirNames::Grow() {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(old.empty() ? 16 : old.size() * 2, Slot());
  size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.key == 0) continue;
    size_t at = slot.key & mask;
    while (slots_[at].key != 0) at = (at + 1) & mask;
    slots_[at] = slot;
  }
}

void DirNames::PutFirst(const_iterator first) {
  uint64_t key = FoldedKey(first->name);
  if (Slot* slot = FindSlot(first->name, key)) {
    slot->first = first;
    return;
  }
  if ((used_ + 1) * 2 > slots_.size()) Grow();
  size_t mask = slots_.size() - 1;
  size_t at = key & mask;
  while (slots_[at].key != 0) at = (at + 1) & mask;
  slots_[at] = Slot{key, first};
  ++used_;
}

// Frees a place and moves up the places after it that would otherwise be
// cut off from their home place by the gap.
void DirNames::EraseSlot(Slot* slot) {
  size_t mask = slots_.size() - 1;
  size_t gap = static_cast<size_t>(slot - slots_.data());
  for (size_t at = (gap + 1) & mask; slots_[at].key != 0; at = (at + 1) & mask) {
    size_t home = slots_[at].key & mask;
    // The place stays when its home lies cyclically after the gap, up to it.
    bool stays = gap <= at ? gap < home && home <= at : gap < home || home <= at;
    if (stays) continue;
    slots_[gap] = slots_[at];
    gap = at;
  }
  slots_[gap] = Slot();
  --used_;
}

DirNames::DirNames(std::vector<DirName> entries) {
  std::sort(entries.begin(), entries.end(), ListedOrder());
  size_t places = 16;
  while (places < entries.size() * 2) places *= 2;
  slots_.assign(places, Slot());
  const_iterator previous = names_.end();
  for (DirName& entry : entries) {
    auto it = names_.emplace_hint(names_.end(), std::move(entry));
    // Names that fold alike stand side by side, the smallest first: the
    // first of them keeps the index entry.
    if (previous == names_.end() || !SameNoCase(previous->name, it->name)) PutFirst(it);
    previous = it;
  }
}

const DirName* DirNames::FindNoCase(std::string_view name) const {
  Slot* slot = const_cast<DirNames*>(this)->FindSlot(name, FoldedKey(name));
  return slot ? &*slot->first : nullptr;
}

DirNames::const_iterator DirNames::FirstWithPrefix(std::string_view upperPrefix) const {
  return names_.lower_bound(upperPrefix);
}

void DirNames::Add(std::string_view name, unsigned char type) {
  auto [it, inserted] = names_.insert(DirName{std::string(name), type});
  if (!inserted) {
    it->type = type;
    return;
  }
  if (it != names_.begin() && SameNoCase(std::prev(it)->name, it->name)) return;
  // The new name is the first of its kind: it takes the index entry.
  PutFirst(it);
}

void DirNames::Remove(std::string_view name) {
  auto it = names_.find(DirName{std::string(name)});
  if (it == names_.end()) return;
  Slot* slot = FindSlot(it->name, FoldedKey(it->name));
  bool first = slot && slot->first == it;
  auto next = std::next(it);
  bool nextFoldsAlike = next != names_.end() && SameNoCase(next->name, it->name);
  if (first && nextFoldsAlike) {
    slot->first = next;
  } else if (first) {
    EraseSlot(slot);
  }
  names_.erase(it);
}

namespace {

// Directories kept; the least recently used one goes first.
constexpr size_t kCachedDirs = 64;
// A directory modified this recently is kept only under a watch: a change
// within the same tick of the file system's clock would leave its times as
// they were.
constexpr int64_t kSettleNanoseconds = 2'000'000'000;
// How long a watched directory's names still serve after its times showed
// a change that no report explains. The report of a change comes a moment
// after its times, within the system call that made it, and with several
// threads of this process at work in one directory a report can be taken
// up by a lookup whose status was older; only a change the watch cannot
// see at all (one made on another machine sharing the disk) stays
// unexplained, and its directory is then read again.
constexpr int64_t kUnexplainedNanoseconds = 100'000'000;
// What a watch reports: every change of the directory's entries, and its own
// end. IN_MASK_CREATE: a directory seen under two paths is watched once.
constexpr uint32_t kWatchMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR | IN_MASK_CREATE;

// What must stay the same for kept names of an unwatched directory to be the
// directory's names: every change of an entry sets the modification time to
// the current time.
struct DirKey {
  dev_t device = 0;
  ino_t inode = 0;
  struct timespec modified = {};
  struct timespec changed = {};
};

bool SameTime(const struct timespec& a, const struct timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool SameDirectory(const DirKey& a, const DirKey& b) {
  return a.device == b.device && a.inode == b.inode;
}

bool SameKey(const DirKey& a, const DirKey& b) {
  return SameDirectory(a, b) && SameTime(a.modified, b.modified) && SameTime(a.changed, b.changed);
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

int64_t MonotonicNow() {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return Nanoseconds(now);
}

// True when the directory was last modified long enough before now that any
// later change must give it another modification time.
bool IsSettled(const DirKey& key) {
  struct timespec now;
  if (clock_gettime(CLOCK_REALTIME, &now) != 0) return false;
  return Nanoseconds(key.modified) < Nanoseconds(now) - kSettleNanoseconds;
}

// Reads the directory; `key` comes from the open directory itself, so the
// names and the key always belong to the same directory.
std::unique_ptr<DirNames> ReadFresh(const std::string& path, DirKey* key) {
  DIR* dir = opendir(path.c_str());
  if (!dir) return nullptr;
  struct stat st;
  if (fstat(dirfd(dir), &st) != 0) {
    closedir(dir);
    return nullptr;
  }
  *key = KeyOf(st);
  std::vector<DirName> entries;
  while (dirent* entry = readdir(dir)) {
    const char* name = entry->d_name;
    if (strcmp(name, ".") == 0 || strcmp(name, "..") == 0) continue;
    entries.push_back(DirName{name, entry->d_type});
  }
  closedir(dir);
  return std::make_unique<DirNames>(std::move(entries));
}

// WEFTDIRCACHE=off turns the cache off, for debugging a lookup: every call
// then reads its directory, and nothing is kept or watched.
bool SwitchedOff() {
  const char* value = getenv("WEFTDIRCACHE");
  return value && SameNoCase(value, "off");
}

struct CachedDir {
  DirKey key;
  std::unique_ptr<DirNames> names;
  uint64_t lastUse = 0;
  int watch = -1;        // the inotify watch, or -1 for a settled directory
  bool changed = false;  // the watch reported changes since the key was taken
  int64_t unexplainedSince = 0;  // monotonic time a newer status came unreported
};

class DirCache {
 public:
  DirCache() {
    pthread_atfork([] { Instance().mutex_.lock(); }, [] { Instance().mutex_.unlock(); },
                   [] {
                     Instance().mutex_.unlock();
                     Instance().ForgetAllAfterFork();
                   });
  }

  static DirCache& Instance() {
    // Never destroyed: threads may still look up names while the process ends.
    static DirCache* cache = new DirCache;
    return *cache;
  }

  bool Read(const std::string& path, const struct stat& st,
            const std::function<void(const DirNames&)>& use) {
    if (off_) return ReadOutsideTheLock(path, false, use);
    DirKey seen = KeyOf(st);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      ApplyReports();
      auto kept = dirs_.find(path);
      if (kept != dirs_.end()) {
        if (StillValid(kept->second, seen)) return Use(&kept->second, seen, use);
        Forget(kept);
      }
      // A recent directory is watched from before its reading on.
      if (!IsSettled(seen) && Watching()) return ReadAndKeep(path, seen, use);
    }
    return ReadOutsideTheLock(path, true, use);
  }

  // A guess never waits: while another thread holds the cache there is none.
  bool Lacks(const std::string& dir, std::string_view name) {
    std::unique_lock<std::mutex> lock(mutex_, std::try_to_lock);
    if (!lock.owns_lock()) return false;
    auto kept = dirs_.find(dir);
    return kept != dirs_.end() && !kept->second.names->FindNoCase(name);
  }

  DirCacheCounts Counts() {
    std::lock_guard<std::mutex> lock(mutex_);
    DirCacheCounts counts = counts_;
    counts.watching = Watching();
    return counts;
  }

 private:
  using Dirs = std::unordered_map<std::string, CachedDir>;

  // Kept names serve while the directory is the same one and, unwatched,
  // its times are as they were; watched, while every change of its times
  // came with reports of its entries (a change the watch cannot see, made on
  // another machine sharing the disk, shows in the times alone). A status
  // taken before the names were last found current, by a thread that was
  // slower to get here than another, tells nothing new.
  static bool StillValid(CachedDir& dir, const DirKey& now) {
    if (!SameDirectory(dir.key, now)) return false;
    if (SameKey(dir.key, now)) return true;
    if (dir.watch < 0) return false;
    if (dir.changed || NotNewer(now, dir.key)) return true;
    int64_t moment = MonotonicNow();
    if (dir.unexplainedSince == 0) dir.unexplainedSince = moment;
    return moment - dir.unexplainedSince < kUnexplainedNanoseconds;
  }

  // The times of `seen` are none of them later than those of `kept`.
  static bool NotNewer(const DirKey& seen, const DirKey& kept) {
    return Nanoseconds(seen.modified) <= Nanoseconds(kept.modified) &&
           Nanoseconds(seen.changed) <= Nanoseconds(kept.changed);
  }

  bool Use(CachedDir* dir, const DirKey& now, const std::function<void(const DirNames&)>& use) {
    dir->lastUse = ++uses_;
    // The key moves on to a newer status that reports explain; an older
    // status, or one still unexplained, leaves it and the reports as they are.
    if (dir->changed && !NotNewer(now, dir->key)) {
      dir->key = now;
      dir->changed = false;
      dir->unexplainedSince = 0;
    }
    use(*dir->names);
    return true;
  }

  bool ReadAndKeep(const std::string& path, const DirKey& seen,
                   const std::function<void(const DirNames&)>& use) {
    // The watch comes first, so that no change after the reading is missed.
    int watch = AddWatch(path);
    DirKey key;
    std::unique_ptr<DirNames> names = ReadFresh(path, &key);
    ++counts_.reads;
    if (!names) {
      RemoveWatch(watch);
      return false;
    }
    use(*names);
    if (watch >= 0 ? SameDirectory(key, seen) : IsSettled(key)) {
      Keep(path, key, std::move(names), watch);
    } else {
      RemoveWatch(watch);
    }
    return true;
  }

  // Other threads go on while a settled directory is read; its names are
  // kept when `keep` says so.
  bool ReadOutsideTheLock(const std::string& path, bool keep,
                          const std::function<void(const DirNames&)>& use) {
    DirKey key;
    std::unique_ptr<DirNames> names = ReadFresh(path, &key);
    std::lock_guard<std::mutex> lock(mutex_);
    ++counts_.reads;
    if (!names) return false;
    use(*names);
    if (keep && IsSettled(key)) Keep(path, key, std::move(names), -1);
    return true;
  }

  void Keep(const std::string& path, const DirKey& key, std::unique_ptr<DirNames> names,
            int watch) {
    auto kept = dirs_.find(path);
    if (kept != dirs_.end()) Forget(kept);  // kept by another thread meanwhile
    if (dirs_.size() >= kCachedDirs) Evict();
    dirs_[path] = CachedDir{key, std::move(names), ++uses_, watch, false};
    if (watch >= 0) watched_[watch] = path;
  }

  // --- Watches

  bool Watching() {
    if (notify_ == kNotTried) {
      notify_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
      if (notify_ < 0) notify_ = kUnavailable;
    }
    return notify_ >= 0;
  }

  int AddWatch(const std::string& path) {
    if (!Watching()) return -1;
    int watch = inotify_add_watch(notify_, path.c_str(), kWatchMask);
    // A watch number still in use belongs to another path of the same
    // directory: that path keeps it.
    if (watch >= 0 && watched_.count(watch)) return -1;
    return watch;
  }

  void RemoveWatch(int watch) {
    if (watch < 0) return;
    inotify_rm_watch(notify_, watch);
    watched_.erase(watch);
  }

  // Reads every report waiting and applies it to the kept names.
  void ApplyReports() {
    if (notify_ < 0 || watched_.empty()) return;
    alignas(struct inotify_event) char buffer[16384];
    for (;;) {
      ssize_t n = read(notify_, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return;  // EAGAIN: nothing more waits
      for (ssize_t at = 0; at < n;) {
        const auto* event = reinterpret_cast<const struct inotify_event*>(buffer + at);
        Apply(*event);
        at += static_cast<ssize_t>(sizeof *event + event->len);
      }
      // A read gives every report that fits: room left for the longest one
      // means none was waiting, which spares the read that would say so.
      if (sizeof buffer - static_cast<size_t>(n) >= sizeof(struct inotify_event) + NAME_MAX + 1) {
        return;
      }
    }
  }

  void Apply(const struct inotify_event& event) {
    if (event.mask & IN_Q_OVERFLOW) {
      ForgetWatched();  // reports were lost: no watched names can be trusted
      return;
    }
    auto owner = watched_.find(event.wd);
    if (owner == watched_.end()) return;
    auto kept = dirs_.find(owner->second);
    if (kept == dirs_.end() || kept->second.watch != event.wd) {
      watched_.erase(owner);
      return;
    }
    if (event.mask & IN_IGNORED) {
      // The watch is gone already (the directory went, or its file system).
      kept->second.watch = -1;
      watched_.erase(owner);
      dirs_.erase(kept);
      return;
    }
    if (event.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT)) {
      Forget(kept);
      return;
    }
    if (event.len == 0) return;
    std::string_view name(event.name);
    DirNames& names = *kept->second.names;
    if (event.mask & (IN_CREATE | IN_MOVED_TO)) {
      names.Add(name, (event.mask & IN_ISDIR) ? DT_DIR : DT_UNKNOWN);
    } else {
      names.Remove(name);
    }
    kept->second.changed = true;
    ++counts_.learned;
  }

  // --- Forgetting

  void Forget(Dirs::iterator kept) {
    RemoveWatch(kept->second.watch);
    dirs_.erase(kept);
  }

  void ForgetWatched() {
    for (auto it = dirs_.begin(); it != dirs_.end();) {
      auto next = std::next(it);
      if (it->second.watch >= 0) Forget(it);
      it = next;
    }
  }

  void Evict() {
    auto oldest = dirs_.begin();
    for (auto it = dirs_.begin(); it != dirs_.end(); ++it) {
      if (it->second.lastUse < oldest->second.lastUse) oldest = it;
    }
    if (oldest != dirs_.end()) Forget(oldest);
  }

  // A child process shares the parent's watch reports: reading them would
  // take them from the parent. The child starts afresh, its switch too.
  void ForgetAllAfterFork() {
    off_ = SwitchedOff();
    if (notify_ >= 0) close(notify_);
    notify_ = kNotTried;
    dirs_.clear();
    watched_.clear();
  }

  static constexpr int kNotTried = -1;
  static constexpr int kUnavailable = -2;

  bool off_ = SwitchedOff();  // read as the process starts to look up names
  std::mutex mutex_;
  Dirs dirs_;
  std::unordered_map<int, std::string> watched_;  // watch -> path
  int notify_ = kNotTried;
  uint64_t uses_ = 0;
  DirCacheCounts counts_;
};

}  // namespace

bool WithDirNames(const std::string& dir, const struct stat* known,
                  const std::function<void(const DirNames&)>& use) {
  std::string path = dir.empty() ? "/" : dir;
  struct stat st;
  if (!known) {
    if (stat(path.c_str(), &st) != 0) return false;
    known = &st;
  }
  return DirCache::Instance().Read(path, *known, use);
}

bool KeptNamesLack(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos || slash + 1 == path.size()) return false;
  std::string dir = slash == 0 ? std::string("/") : path.substr(0, slash);
  return DirCache::Instance().Lacks(dir, std::string_view(path).substr(slash + 1));
}

DirCacheCounts GetDirCacheCounts() { return DirCache::Instance().Counts(); }

}  // namespace weft_host
