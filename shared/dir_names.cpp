#include "shared/dir_names.h"

#include <algorithm>
#include <utility>

#include "platform/attributes.h"
#include "platform/names.h"
#include "shared/string.h"

namespace {

const char* const kIndexPageNames[] = {"index.htm", "index.html", "welcome.htm", "Welcome.html"};

}  // namespace

bool ListedName::IsDirectory() const { return (attributes & kAttrDirectory) != 0; }

bool ListedName::IsSkipped(const std::string& dir) const {
  if (name.empty() || name[0] == '.') return true;
  if (hidden_ < 0) hidden_ = HasHiddenAttribute(JoinDirName(dir, name).c_str()) ? 1 : 0;
  return hidden_ == 1;
}

std::vector<ListedName> ListDirectory(const std::string& dir) {
  std::vector<ListedName> names;
  std::vector<NamedEntry> entries;
  // Only the kind of each entry is needed at once: the quick listing spares
  // reading every entry's times and attribute record.
  if (!ListNames(JoinDirName(dir, "*").c_str(), false, &entries)) return names;
  names.resize(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    const NamedEntry& entry = entries[i];
    names[i].attributes = (entry.directory ? kAttrDirectory : 0) |
                          (entry.directory && entry.link ? kAttrReparsePoint : 0);
    names[i].name = std::move(entries[i].name);
  }
  return names;
}

const ListedName* FindListed(const std::vector<ListedName>& names, const char* wanted) {
  // The listing order puts the names that differ only in letter case side by
  // side, so one search finds where they start.
  auto before = [](const ListedName& listed, const char* name) {
    return CompareUpperCased(listed.name.c_str(), name) < 0;
  };
  auto first = std::lower_bound(names.begin(), names.end(), wanted, before);
  const ListedName* caseless = nullptr;
  for (auto it = first; it != names.end() && CompareUpperCased(it->name.c_str(), wanted) == 0; ++it) {
    if (it->name == wanted) return &*it;
    if (!caseless) caseless = &*it;
  }
  return caseless;
}

const ListedName* FindIndexPageName(const std::vector<ListedName>& names) {
  for (const char* candidate : kIndexPageNames) {
    const ListedName* found = FindListed(names, candidate);
    if (found) return found;
  }
  return nullptr;
}

std::string JoinDirName(const std::string& dir, const std::string& name) {
  if (!dir.empty() && dir.back() == '\\') return dir + name;
  return dir + "\\" + name;
}
