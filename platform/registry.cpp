// The registry over one text file. The file holds one "[ROOT\key\path]" line
// for every key, each followed by its values as "name=data" lines (escaped;
// the default value has an empty name); lines that begin with ';' are
// comments. The parsed file is kept in memory and read again whenever the
// file on disk changes, so several processes see each other's changes.
#include "platform/registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/ascii_case.h"
#include "platform/env.h"
#include "platform/errors.h"
#include "platform/errors_host.h"
#include "platform/file_replace_host.h"
#include "platform/hex_digits.h"
#include "platform/host_io.h"
#include "platform/registry_host.h"

using weft_host::SetErrno;
using weft_host::SetError;

namespace {

const char kClassesRootName[] = "HKEY_CLASSES_ROOT";
const char kLocalMachineName[] = "HKEY_LOCAL_MACHINE";
const char kFileHeader[] =
    "; Tessarin registry: a [key] line for every key, then its values as name=data\n"
    "; (an empty name is the default value; '\\' escapes '\\', '=' and \\xHH bytes).\n";

// Windows lists subkeys by their upper-cased names.
bool ListsBefore(const std::string& a, const std::string& b) { return CompareNoCase(a, b) < 0; }

struct Node {
  std::string name;
  std::vector<std::pair<std::string, std::string>> values;
  std::vector<std::unique_ptr<Node>> children;  // in listing order

  Node* Child(const std::string& childName) const {
    for (const auto& child : children) {
      if (SameNoCase(child->name, childName)) return child.get();
    }
    return nullptr;
  }
  Node* AddChild(const std::string& childName) {
    auto at = std::find_if(children.begin(), children.end(),
                           [&](const auto& child) { return ListsBefore(childName, child->name); });
    auto node = std::make_unique<Node>();
    node->name = childName;
    return children.insert(at, std::move(node))->get();
  }
  std::string* Value(const std::string& valueName) {
    for (auto& value : values) {
      if (SameNoCase(value.first, valueName)) return &value.second;
    }
    return nullptr;
  }
};

struct Hive {
  Node classesRoot, localMachine;
  Node* Root(RegistryRoot root) {
    return root == RegistryRoot::kClassesRoot ? &classesRoot : &localMachine;
  }
};

// --- Key paths ---------------------------------------------------------------

// A name a key can have: not empty, no '\', no control byte (the file keeps
// key names unescaped).
bool IsKeyName(const std::string& name) {
  if (name.empty()) return false;
  for (char c : name) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '\\' || u < 32 || u == 127) return false;
  }
  return true;
}

bool SplitKeyPath(const std::string& path, std::vector<std::string>* names) {
  names->clear();
  if (path.empty()) return true;
  size_t start = 0;
  while (true) {
    size_t end = path.find('\\', start);
    std::string name = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!IsKeyName(name)) return false;
    names->push_back(name);
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}

std::string JoinKeyPath(const std::string& parent, const char* subkey) {
  if (!subkey || !*subkey) return parent;
  return parent.empty() ? std::string(subkey) : parent + "\\" + subkey;
}

// The node of a key path, or null. With `create`, missing keys are made and
// `created` tells whether the last one is new.
Node* Walk(Node* node, const std::vector<std::string>& names, bool create, bool* created) {
  if (created) *created = false;
  for (const std::string& name : names) {
    Node* child = node->Child(name);
    if (!child) {
      if (!create) return nullptr;
      child = node->AddChild(name);
      if (created) *created = true;
    } else if (created) {
      *created = false;
    }
    node = child;
  }
  return node;
}

// --- Seed of a fresh registry ----------------------------------------------

struct MimeType {
  const char* extension;
  const char* type;
};

const MimeType kMimeTypes[] = {
    {".htm", "text/html"},         {".html", "text/html"},
    {".txt", "text/plain"},        {".css", "text/css"},
    {".js", "application/x-javascript"}, {".xml", "text/xml"},
    {".gif", "image/gif"},         {".jpg", "image/jpeg"},
    {".jpeg", "image/jpeg"},       {".jpe", "image/jpeg"},
    {".png", "image/png"},         {".bmp", "image/bmp"},
    {".ico", "image/x-icon"},      {".tif", "image/tiff"},
    {".tiff", "image/tiff"},       {".mpg", "video/mpeg"},
    {".mpeg", "video/mpeg"},       {".avi", "video/x-msvideo"},
    {".mov", "video/quicktime"},   {".qt", "video/quicktime"},
    {".mp4", "video/mp4"},         {".asf", "video/x-ms-asf"},
    {".wmv", "video/x-ms-wmv"},    {".mp3", "audio/mpeg"},
    {".wav", "audio/wav"},         {".mid", "audio/mid"},
    {".au", "audio/basic"},        {".zip", "application/zip"},
    {".pdf", "application/pdf"},   {".doc", "application/msword"},
    {".rtf", "application/rtf"},   {".swf", "application/x-shockwave-flash"},
};

void SetValue(Node* node, const std::string& name, const std::string& data) {
  if (std::string* value = node->Value(name)) {
    *value = data;
  } else {
    node->values.emplace_back(name, data);
  }
}

void Seed(Hive* hive) {
  Node* database = Walk(&hive->classesRoot, {"MIME", "Database", "Content Type"}, true, nullptr);
  for (const MimeType& mime : kMimeTypes) {
    SetValue(Walk(&hive->classesRoot, {mime.extension}, true, nullptr), "Content Type", mime.type);
    Node* type = Walk(database, {mime.type}, true, nullptr);
    if (!type->Value("Extension")) SetValue(type, "Extension", mime.extension);
  }
  Node* version = Walk(&hive->localMachine, {"SOFTWARE", "Microsoft", "Windows", "CurrentVersion"},
                       true, nullptr);
  SetValue(version, "ProgramFilesDir", "C:\\Program Files");
}

// --- File text -----------------------------------------------------------------

void WriteKey(const Node& node, const std::string& path, bool isRoot, std::string* out) {
  if (!isRoot || !node.values.empty()) {
    *out += "[" + path + "]\n";
    for (const auto& [name, data] : node.values) {
      *out += EscapeRegistryText(name, true) + "=" + EscapeRegistryText(data, false) + "\n";
    }
  }
  for (const auto& child : node.children) WriteKey(*child, path + "\\" + child->name, false, out);
}

std::string HiveText(const Hive& hive) {
  std::string out = kFileHeader;
  WriteKey(hive.classesRoot, kClassesRootName, true, &out);
  WriteKey(hive.localMachine, kLocalMachineName, true, &out);
  return out;
}

// The node a "[...]" line names (created), or null when the line is not one.
Node* KeyOfLine(Hive* hive, const std::string& line) {
  if (line.size() < 2 || line.back() != ']') return nullptr;
  std::string path = line.substr(1, line.size() - 2);
  size_t separator = path.find('\\');
  std::string rootName = path.substr(0, separator);
  Node* root = nullptr;
  if (SameNoCase(rootName, kClassesRootName)) root = &hive->classesRoot;
  if (SameNoCase(rootName, kLocalMachineName)) root = &hive->localMachine;
  std::vector<std::string> names;
  if (!root || !SplitKeyPath(separator == std::string::npos ? "" : path.substr(separator + 1), &names)) {
    return nullptr;
  }
  if (separator != std::string::npos && names.empty()) return nullptr;
  return Walk(root, names, true, nullptr);
}

// Splits "name=data" at the first '=' that no '\' escapes.
bool ParseValueLine(const std::string& line, std::string* name, std::string* data) {
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '\\') {
      ++i;
    } else if (line[i] == '=') {
      return UnescapeRegistryText(line.substr(0, i), name) &&
             UnescapeRegistryText(line.substr(i + 1), data);
    }
  }
  return false;
}

bool ParseHive(const std::string& text, const std::string& file, Hive* hive) {
  Node* key = nullptr;
  size_t start = 0;
  for (int number = 1; start < text.size(); ++number) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';') continue;
    bool ok;
    if (line[0] == '[') {
      key = KeyOfLine(hive, line);
      ok = key != nullptr;
    } else {
      std::string name, data;
      ok = key && ParseValueLine(line, &name, &data);
      if (ok) SetValue(key, name, data);
    }
    if (!ok) {
      SetError("The registry file " + file + " is damaged at line " + std::to_string(number) + ".");
      return false;
    }
  }
  return true;
}

// --- The file on disk ---------------------------------------------------------

// What identifies one version of the file.
struct Stamp {
  bool exists = false;
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  struct timespec modified = {};

  bool operator==(const Stamp& other) const {
    if (exists != other.exists) return false;
    return !exists || (device == other.device && inode == other.inode && size == other.size &&
                       modified.tv_sec == other.modified.tv_sec &&
                       modified.tv_nsec == other.modified.tv_nsec);
  }
};

bool StampOf(const std::string& file, Stamp* stamp) {
  *stamp = Stamp();
  struct stat st;
  if (stat(file.c_str(), &st) != 0) {
    if (errno == ENOENT) return true;
    SetErrno(errno);
    return false;
  }
  stamp->exists = true;
  stamp->device = st.st_dev;
  stamp->inode = st.st_ino;
  stamp->size = st.st_size;
  stamp->modified = st.st_mtim;
  return true;
}

// Writes the text beside the file and puts it in the file's place in one
// step (the writers hold the folder's lock, so the name beside is theirs).
bool ReplaceHostFile(const std::string& file, const std::string& text) {
  std::string temp = file + ".new";
  struct stat st;
  mode_t mode = stat(file.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
  int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
  if (fd < 0) {
    SetErrno(errno);
    return false;
  }
  bool ok = weft_host::WriteAll(fd, text) && fsync(fd) == 0;
  int error = errno;
  if (close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  // The one replace step: a registry file that is a link stays one.
  if (ok && weft_host::PutInPlace(temp, file)) return true;
  unlink(temp.c_str());
  if (!ok) SetErrno(error);
  return false;
}

void MakeFolders(const std::string& folder) {
  for (size_t i = 1; i <= folder.size(); ++i) {
    if (i == folder.size() || folder[i] == '/') mkdir(folder.substr(0, i).c_str(), 0755);
  }
}

// Holds the folder of the registry file locked against other writing
// processes, so that no change of theirs is lost between read and rename.
class WriterLock {
 public:
  explicit WriterLock(const std::string& folder) {
    fd_ = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ >= 0) {
      while (flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
      }
    }
  }
  ~WriterLock() {
    if (fd_ >= 0) close(fd_);
  }
  WriterLock(const WriterLock&) = delete;
  WriterLock& operator=(const WriterLock&) = delete;

 private:
  int fd_ = -1;
};

// --- The process's view of the registry ---------------------------------------

struct Cache {
  std::mutex mutex;
  std::string file;
  Stamp stamp;
  bool loaded = false;
  Hive hive;
};

Cache& TheCache() {
  static Cache cache;
  return cache;
}

// Brings the cache up to the file on disk. Called with the mutex held.
bool Refresh(Cache* cache) {
  std::string file = RegistryFilePath();
  if (file.empty()) {
    SetError("The registry file has no name: set WEFTREGISTRY, XDG_CONFIG_HOME or HOME.");
    return false;
  }
  Stamp stamp;
  if (!StampOf(file, &stamp)) return false;
  if (cache->loaded && cache->file == file && cache->stamp == stamp) return true;
  Hive hive;
  if (stamp.exists) {
    std::string text;
    if (!weft_host::ReadWholeHostFile(file, &text) || !ParseHive(text, file, &hive)) return false;
  } else {
    Seed(&hive);
  }
  cache->hive = std::move(hive);
  cache->file = file;
  cache->stamp = stamp;
  cache->loaded = true;
  return true;
}

// Writes the cache's hive to its file. On failure the cache is dropped, so
// that the next call reads the file as it is.
bool Commit(Cache* cache) {
  bool ok = ReplaceHostFile(cache->file, HiveText(cache->hive)) && StampOf(cache->file, &cache->stamp);
  if (!ok) cache->loaded = false;
  return ok;
}

// The node of an open key, or null with the error set.
Node* NodeOf(Cache* cache, const RegistryKey& key) {
  std::vector<std::string> names;
  if (!key.open || !SplitKeyPath(key.path, &names)) {
    SetError("The handle is invalid.");
    return nullptr;
  }
  Node* node = Walk(cache->hive.Root(key.root), names, false, nullptr);
  if (!node) SetError("Illegal operation attempted on a registry key that has been marked for deletion.");
  return node;
}

// The key's node when its subkeys (or, with `values`, its values) reach to
// `index`; null, with the error set, when the key or that item is missing.
Node* NodeListing(Cache* cache, const RegistryKey& key, size_t index, bool values) {
  Node* node = NodeOf(cache, key);
  if (!node) return nullptr;
  if (index < (values ? node->values.size() : node->children.size())) return node;
  SetError("No more data is available.");
  return nullptr;
}

bool ValidSubkey(const RegistryKey& parent, const char* subkey, std::vector<std::string>* names) {
  if (!SplitKeyPath(subkey ? subkey : "", names)) {
    SetError("The parameter is incorrect.");
    return false;
  }
  std::vector<std::string> above;
  if (!parent.open || !SplitKeyPath(parent.path, &above)) {
    SetError("The handle is invalid.");
    return false;
  }
  return true;
}

// Runs `read` on the fresh registry under the lock.
template <typename Read>
bool Reading(Read read) {
  Cache& cache = TheCache();
  std::lock_guard<std::mutex> guard(cache.mutex);
  return Refresh(&cache) && read(&cache);
}

// Runs `change` on the fresh registry and writes the file when it succeeded.
template <typename Change>
bool Changing(Change change) {
  Cache& cache = TheCache();
  std::lock_guard<std::mutex> guard(cache.mutex);
  std::string file = RegistryFilePath();
  if (!file.empty() && !GetEnv("WEFTREGISTRY")) MakeFolders(weft_host::HostParent(file));
  WriterLock lock(weft_host::HostParent(file));
  if (!Refresh(&cache)) return false;
  bool changed = false;
  if (!change(&cache, &changed)) return false;
  return !changed || Commit(&cache);
}

std::string ValueName(const char* name) { return name ? name : ""; }

}  // namespace

// --- Public calls -----------------------------------------------------------------

std::string RegistryFilePath() {
  if (const char* file = GetEnv("WEFTREGISTRY"); file && *file) return file;
  if (const char* config = GetEnv("XDG_CONFIG_HOME"); config && *config) {
    return std::string(config) + "/tessarin/registry.txt";
  }
  if (const char* home = GetEnv("HOME"); home && *home) return std::string(home) + "/.config/tessarin/registry.txt";
  return std::string();
}

RegistryKey RegistryRootKey(RegistryRoot root) {
  RegistryKey key;
  key.root = root;
  key.open = true;
  return key;
}

bool OpenRegistryKey(const RegistryKey& parent, const char* subkey, RegistryKey* key) {
  std::vector<std::string> names;
  if (!ValidSubkey(parent, subkey, &names)) return false;
  return Reading([&](Cache* cache) {
    Node* node = NodeOf(cache, parent);
    if (!node) return false;
    if (!Walk(node, names, false, nullptr)) {
      SetError(kErrorFileNotFound);
      return false;
    }
    key->root = parent.root;
    key->path = JoinKeyPath(parent.path, subkey);
    key->open = true;
    return true;
  });
}

bool CreateRegistryKey(const RegistryKey& parent, const char* subkey, RegistryKey* key, bool* created) {
  std::vector<std::string> names;
  if (!ValidSubkey(parent, subkey, &names)) return false;
  bool isNew = false;
  bool ok = Changing([&](Cache* cache, bool* changed) {
    Node* node = NodeOf(cache, parent);
    if (!node) return false;
    Walk(node, names, true, &isNew);
    *changed = isNew;
    return true;
  });
  if (!ok) return false;
  if (created) *created = isNew;
  key->root = parent.root;
  key->path = JoinKeyPath(parent.path, subkey);
  key->open = true;
  return true;
}

void CloseRegistryKey(RegistryKey* key) {
  key->path.clear();
  key->open = false;
}

bool DeleteRegistryKey(const RegistryKey& parent, const char* subkey) {
  std::vector<std::string> names;
  if (!ValidSubkey(parent, subkey, &names)) return false;
  if (names.empty()) {
    SetError(kErrorAccessDenied);
    return false;
  }
  return Changing([&](Cache* cache, bool* changed) {
    Node* node = NodeOf(cache, parent);
    std::vector<std::string> above(names.begin(), names.end() - 1);
    Node* owner = node ? Walk(node, above, false, nullptr) : nullptr;
    Node* target = owner ? owner->Child(names.back()) : nullptr;
    if (!target) {
      if (node) SetError(kErrorFileNotFound);
      return false;
    }
    auto& children = owner->children;
    children.erase(std::find_if(children.begin(), children.end(),
                                [&](const auto& child) { return child.get() == target; }));
    *changed = true;
    return true;
  });
}

bool QueryRegistryValue(const RegistryKey& key, const char* name, std::string* data) {
  return Reading([&](Cache* cache) {
    Node* node = NodeOf(cache, key);
    std::string* value = node ? node->Value(ValueName(name)) : nullptr;
    if (!value) {
      if (node) SetError(kErrorFileNotFound);
      return false;
    }
    *data = *value;
    return true;
  });
}

bool SetRegistryValue(const RegistryKey& key, const char* name, const std::string& data) {
  return Changing([&](Cache* cache, bool* changed) {
    Node* node = NodeOf(cache, key);
    if (!node) return false;
    std::string* value = node->Value(ValueName(name));
    *changed = !value || *value != data;
    SetValue(node, ValueName(name), data);
    return true;
  });
}

bool DeleteRegistryValue(const RegistryKey& key, const char* name) {
  return Changing([&](Cache* cache, bool* changed) {
    Node* node = NodeOf(cache, key);
    if (!node) return false;
    auto& values = node->values;
    auto at = std::find_if(values.begin(), values.end(),
                           [&](const auto& value) { return SameNoCase(value.first, ValueName(name)); });
    if (at == values.end()) {
      SetError(kErrorFileNotFound);
      return false;
    }
    values.erase(at);
    *changed = true;
    return true;
  });
}

bool EnumRegistrySubkey(const RegistryKey& key, size_t index, std::string* name) {
  return Reading([&](Cache* cache) {
    Node* node = NodeListing(cache, key, index, false);
    if (node) *name = node->children[index]->name;
    return node != nullptr;
  });
}

bool EnumRegistryValue(const RegistryKey& key, size_t index, std::string* name, std::string* data) {
  return Reading([&](Cache* cache) {
    Node* node = NodeListing(cache, key, index, true);
    if (!node) return false;
    *name = node->values[index].first;
    *data = node->values[index].second;
    return true;
  });
}

std::string EscapeRegistryText(const std::string& text, bool lineStart) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 32 || c == 127) {
      char hex[5];
      snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
      continue;
    }
    bool leading = lineStart && i == 0 && (c == '[' || c == ';');
    if (c == '\\' || c == '=' || leading) out += '\\';
    out += static_cast<char>(c);
  }
  return out;
}

bool UnescapeRegistryText(const std::string& text, std::string* out) {
  out->clear();
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '\\') {
      *out += c;
      continue;
    }
    if (i + 1 >= text.size()) return false;
    char next = text[++i];
    if (next == '\\' || next == '=' || next == '[' || next == ';') {
      *out += next;
    } else if (next == 'x' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
               HexValue(text[i + 2]) >= 0) {
      *out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      return false;
    }
  }
  return true;
}
