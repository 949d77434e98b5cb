#include "shared/dir_names.h"

#include "platform/files.h"
#include "shared/string.h"

namespace {

const char* const kIndexPageNames[] = {"index.htm", "index.html", "welcome.htm", "Welcome.html"};

bool IsDotEntry(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

}  // namespace

bool ListedName::IsDirectory() const { return (attributes & kAttrDirectory) != 0; }

bool ListedName::IsSkipped() const { return (attributes & kAttrHidden) || name[0] == '.'; }

std::vector<ListedName> ListDirectory(const std::string& dir) {
  std::vector<ListedName> names;
  std::string pattern = JoinDirName(dir, "*");
  FindData data;
  FindState* state = FindFirst(pattern.c_str(), &data);
  if (!state) return names;
  do {
    if (!IsDotEntry(data.name)) names.push_back({data.name, data.attributes});
  } while (FindNext(state, &data));
  FindClose(state);
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
