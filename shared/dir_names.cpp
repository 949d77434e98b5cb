#include "shared/dir_names.h"

#include <utility>

#include "platform/files.h"
#include "platform/names_extra.h"
#include "shared/string.h"

namespace {

const char* const kIndexPageNames[] = {"index.htm", "index.html", "welcome.htm", "Welcome.html"};

}  // namespace

bool ListedName::IsDirectory() const { return (attributes & kAttrDirectory) != 0; }

bool ListedName::IsSkipped() const { return (attributes & kAttrHidden) || name[0] == '.'; }

std::vector<ListedName> ListDirectory(const std::string& dir) {
  std::vector<ListedName> names;
  std::vector<NamedEntry> entries;
  // Only the kind and the hidden flag of each entry are needed here: the
  // quick listing spares reading every entry's times.
  if (!ListNames(JoinDirName(dir, "*").c_str(), true, &entries)) return names;
  names.reserve(entries.size());
  for (NamedEntry& entry : entries) {
    uint32_t attributes = (entry.directory ? kAttrDirectory : 0) | (entry.hidden ? kAttrHidden : 0);
    names.push_back({std::move(entry.name), attributes});
  }
  return names;
}

const ListedName* FindListed(const std::vector<ListedName>& names, const char* wanted) {
  const ListedName* caseless = nullptr;
  for (const ListedName& listed : names) {
    if (listed.name == wanted) return &listed;
    if (!caseless && CompareNoCase(listed.name.c_str(), wanted) == 0) caseless = &listed;
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
