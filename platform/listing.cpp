// find-first/next listings with Windows wildcard rules and NTFS order.
#include "platform/listing.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/ascii_case.h"
#include "platform/attributes.h"
#include "platform/attributes_host.h"
#include "platform/dir_cache.h"
#include "platform/drives_host.h"
#include "platform/errors.h"
#include "platform/errors_host.h"
#include "platform/listing_host.h"

using namespace weft_host;

struct FindState {
  std::vector<FindData> entries;
  size_t next = 0;
};

namespace {

// Pattern tokens: plain characters as themselves, the wildcards above 255.
enum : int {
  kStar = 256,  // '*': any run of characters
  kOne,         // '?': one character, or none at a '.' or the end of the name
  kDosStar,     // '*' before '.': any run that does not pass the name's last '.'
  kDosDot,      // '.' before a wildcard or at the end: a '.' or the end of the name
};

// Windows turns the pattern's wildcards into these forms before matching.
std::vector<int> PatternTokens(const char* pattern) {
  std::vector<int> tokens;
  for (const char* p = pattern; *p; ++p) {
    if (*p == '?') {
      tokens.push_back(kOne);
    } else if (*p == '*') {
      tokens.push_back(p[1] == '.' ? kDosStar : kStar);
    } else if (*p == '.' && (p[1] == '?' || p[1] == '*' || p[1] == '\0')) {
      tokens.push_back(kDosDot);
    } else {
      tokens.push_back(static_cast<unsigned char>(UpperAscii(*p)));
    }
  }
  return tokens;
}

// Matching by dynamic programming over (token, name position): no pattern can
// make it take more than tokens x name steps.
class Matcher {
 public:
  Matcher(const std::vector<int>& tokens, const char* name)
      : tokens_(tokens), name_(name), length_(strlen(name)),
        memo_((tokens.size() + 1) * (length_ + 1), -1) {
    const char* dot = strrchr(name, '.');
    lastDot_ = dot ? static_cast<size_t>(dot - name) : length_;
  }

  bool Match(size_t t, size_t n) {
    signed char& known = memo_[t * (length_ + 1) + n];
    if (known < 0) known = Step(t, n) ? 1 : 0;
    return known == 1;
  }

 private:
  bool Step(size_t t, size_t n) {
    if (t == tokens_.size()) return n == length_;
    int token = tokens_[t];
    bool more = n < length_;
    switch (token) {
      case kStar:
        return Match(t + 1, n) || (more && Match(t, n + 1));
      case kDosStar: {
        size_t limit = lastDot_ >= n && lastDot_ < length_ ? lastDot_ : length_;
        return Match(t + 1, n) || (n < limit && Match(t, n + 1));
      }
      case kOne:
        if (more && name_[n] != '.') return Match(t + 1, n + 1);
        return Match(SkipOnes(t), n);
      case kDosDot:
        if (more && name_[n] == '.') return Match(t + 1, n + 1);
        return !more && Match(t + 1, n);
      default:
        return more && UpperAscii(name_[n]) == token && Match(t + 1, n + 1);
    }
  }

  size_t SkipOnes(size_t t) const {
    while (t < tokens_.size() && tokens_[t] == kOne) ++t;
    return t;
  }

  const std::vector<int>& tokens_;
  const char* name_;
  size_t length_;
  size_t lastDot_;
  std::vector<signed char> memo_;
};

bool MatchTokens(const std::vector<int>& tokens, const char* name) {
  // "*" matches every name: the common listing needs no matching.
  if (tokens.size() == 1 && tokens[0] == kStar) return true;
  // Plain characters at the start match one for one; most names fail there.
  size_t start = 0;
  for (; start < tokens.size() && tokens[start] < 256; ++start) {
    if (static_cast<unsigned char>(UpperAscii(name[start])) != tokens[start]) return false;
  }
  return Matcher(tokens, name).Match(start, start);
}

// `link`: the entry is a symbolic link; a link to a directory is listed as
// a reparse point.
bool AddEntry(const std::string& host, const std::string& name, std::vector<FindData>* out,
              bool link = false) {
  struct stat st;
  FileTime creation;
  if (!StatWithCreation(host, &st, &creation)) return false;
  out->emplace_back();
  FillFindData(host, st, creation, name, &out->back());
  if (link && S_ISDIR(st.st_mode)) out->back().attributes |= kAttrReparsePoint;
  return true;
}

}  // namespace

namespace weft_host {

bool IsLinkEntry(const std::string& host, unsigned char type) {
  if (type != DT_UNKNOWN) return type == DT_LNK;
  struct stat st;
  return lstat(host.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// Splits a pattern into its folder text and its last component.
void SplitPattern(const char* pattern, std::string* folder, std::string* last) {
  const char* cut = nullptr;
  for (const char* p = pattern; *p; ++p) {
    if (*p == '\\' || *p == '/' || (*p == ':' && p == pattern + 1)) cut = p;
  }
  if (!cut) {
    folder->assign(1, '.');
    *last = pattern;
    return;
  }
  *folder = std::string(pattern, cut + 1);
  *last = cut + 1;
}

NamePattern::NamePattern(const char* pattern) : tokens_(PatternTokens(pattern)) {
  for (int token : tokens_) {
    if (token > 255) break;
    prefix_ += static_cast<char>(token);
  }
}

bool NamePattern::Matches(const char* name) const { return MatchTokens(tokens_, name); }

std::vector<const DirName*> MatchingNames(const DirNames& names, const NamePattern& pattern) {
  std::vector<const DirName*> matched;
  const std::string& prefix = pattern.Prefix();
  // The listing order keeps the names that begin with the prefix together.
  for (auto it = names.FirstWithPrefix(prefix); it != names.end() && HasUpperPrefix(it->name, prefix);
       ++it) {
    if (IsWindowsName(it->name) && pattern.Matches(it->name.c_str())) matched.push_back(&*it);
  }
  return matched;
}

bool NameListedBefore(std::string_view a, std::string_view b) {
  int order = CompareNoCase(a, b);
  return order != 0 ? order < 0 : a < b;
}

}  // namespace weft_host

bool NameMatchesWildcard(const char* name, const char* pattern) {
  if (!name || !pattern) return false;
  return MatchTokens(PatternTokens(pattern), name);
}

FindState* FindFirst(const char* pattern, FindData* data) {
  if (!pattern || !*pattern) {
    SetError(kErrorFileNotFound);
    return nullptr;
  }
  std::string folderText, last;
  SplitPattern(pattern, &folderText, &last);
  WinPath folder;
  std::string host;
  bool found = false;
  struct stat st;
  if (!ResolvePath(folderText.c_str(), &folder) || !HostOf(folder, &host, &found, &st)) {
    return nullptr;
  }
  NamePattern wanted(last.c_str());
  std::vector<DirName> matched;
  bool listed = found && WithDirNames(host, S_ISLNK(st.st_mode) ? nullptr : &st,
                                      [&](const DirNames& names) {
                                        for (const DirName* entry : MatchingNames(names, wanted)) {
                                          matched.push_back(*entry);
                                        }
                                      });
  if (!listed) {
    SetError(kErrorPathNotFound);
    return nullptr;
  }
  auto state = new FindState;
  std::string prefix = host == "/" ? "" : host;
  state->entries.reserve(matched.size() + 2);
  // The names come in listing order already.
  for (const DirName& entry : matched) {
    std::string path = prefix + "/" + entry.name;
    AddEntry(path, entry.name, &state->entries, IsLinkEntry(path, entry.type));
  }
  if (!folder.parts.empty()) {
    std::vector<FindData> dots;
    if (wanted.Matches(".")) AddEntry(host, ".", &dots);
    if (wanted.Matches("..")) AddEntry(prefix + "/..", "..", &dots);
    state->entries.insert(state->entries.begin(), dots.begin(), dots.end());
  }
  if (!FindNext(state, data)) {
    delete state;
    SetError(kErrorFileNotFound);
    return nullptr;
  }
  return state;
}

bool FindNext(FindState* state, FindData* data) {
  if (!state || state->next >= state->entries.size()) {
    SetError("There are no more files.");
    return false;
  }
  *data = state->entries[state->next++];
  return true;
}

void FindClose(FindState* state) { delete state; }
