// The entry names of host directories, read once and kept while they are
// known to be the directory's names, for the listings and the
// case-insensitive lookups of the platform layer. Platform sources only.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace weft_host {

// One entry: its name and its d_type (DT_UNKNOWN where the file system does
// not tell or the entry was learned from a change; a symbolic link is DT_LNK
// whatever it points to).
struct DirName {
  std::string name;
  mutable unsigned char type = 0;  // not part of the order
};

// Listing order: bytes compared after ASCII upper-casing, exact bytes
// breaking ties, so names that differ only in case stand side by side.
struct ListedOrder {
  using is_transparent = void;
  bool operator()(const DirName& a, const DirName& b) const;
  // Against an upper-cased prefix: the names that come before every name
  // beginning with it.
  bool operator()(const DirName& a, std::string_view upperPrefix) const;
  bool operator()(std::string_view upperPrefix, const DirName& b) const;
};

// The names of one directory in listing order, with a case-folded hash index
// for lookups by name.
class DirNames {
 public:
  using Set = std::set<DirName, ListedOrder>;
  using const_iterator = Set::const_iterator;

  DirNames() = default;
  // The names of a directory read whole, in any order: sorted once, not
  // placed one by one.
  explicit DirNames(std::vector<DirName> entries);
  DirNames(const DirNames&) = delete;
  DirNames& operator=(const DirNames&) = delete;

  const_iterator begin() const { return names_.begin(); }
  const_iterator end() const { return names_.end(); }
  size_t size() const { return names_.size(); }

  // The entry that `name` names without regard to ASCII letter case: the
  // smallest in bytes when several differ only in case; null when none.
  const DirName* FindNoCase(std::string_view name) const;
  // The first entry whose name, upper-cased, is not before `upperPrefix`:
  // the names that begin with the prefix without regard to case follow it.
  const_iterator FirstWithPrefix(std::string_view upperPrefix) const;

  // A name the directory gained (its type updated when it is there already)
  // or lost.
  void Add(std::string_view name, unsigned char type);
  void Remove(std::string_view name);

 private:
  // A place of the fold index: the folded name's hash with its top bit set
  // (0 marks a free place) and the first of the names that fold to it.
  struct Slot {
    uint64_t key = 0;
    const_iterator first;
  };

  static uint64_t FoldedKey(std::string_view name);
  // The place of the folded name, or null when it has none.
  Slot* FindSlot(std::string_view name, uint64_t key);
  // Makes `first` the first name of its fold, in its place or a new one.
  void PutFirst(const_iterator first);
  void EraseSlot(Slot* slot);
  void Grow();

  Set names_;
  // Each case-folded name to the first of the names that fold to it: an open
  // table (linear probing, a power of two places, at most half of them used)
  // that a lookup reads in a place or two, where a node map chases pointers
  // through four cache misses for every name of a large folder.
  std::vector<Slot> slots_;
  size_t used_ = 0;
};

// True when `name`, upper-cased, begins with `upperPrefix`.
bool HasUpperPrefix(std::string_view name, std::string_view upperPrefix);

// Calls `use` with the entries of host directory `dir` ("" or "/" is the
// root), "." and ".." left out; false when the directory cannot be read. The
// names are kept between calls while the directory is known to be unchanged:
// its status (device, inode, modification and change times) is the same and
// it was last changed long enough ago that a later change must show in those
// times; or, for a directory changed recently, a watch on it reports each
// change, made by this process or any other, and the kept names learn it (a
// change of its times that no report explains, as one made on another
// machine sharing the disk, has it read again within a tenth of a second).
// `known` (optional) is the directory's status just taken with symbolic
// links followed; it spares that call. `use` runs while the cache is locked:
// it takes what it needs and calls nothing of the layer. With the variable
// WEFTDIRCACHE=off in the environment as the process starts, for debugging a
// lookup, nothing is kept: every call reads the directory.
bool WithDirNames(const std::string& dir, const struct stat* known,
                  const std::function<void(const DirNames&)>& use);

// True when the names kept of the directory that holds host path `path`
// have no entry that matches its last component without regard to letter
// case. The kept names are not checked against the disk here, so this is
// only a guess: a lookup that trusts it asks the directory's checked names
// next (WithDirNames) instead of the path, which spares the call that would
// fail on a name the directory does not hold. False when the directory's
// names are not kept, or another thread is using the cache (a guess never
// waits for one).
bool KeptNamesLack(const std::string& path);

// What the cache has done since the process started, for tests.
struct DirCacheCounts {
  uint64_t reads = 0;     // directories read from the disk
  uint64_t learned = 0;   // changes applied to kept names
  bool watching = false;  // recently changed directories can be watched
};
DirCacheCounts GetDirCacheCounts();

}  // namespace weft_host
