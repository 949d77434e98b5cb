// find-first/next listings with Windows wildcard rules and NTFS order.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/host.h"

using namespace weft_host;

struct FindState {
  std::vector<FindData> entries;
  size_t next = 0;
};

namespace {

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

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
  return Matcher(tokens, name).Match(0, 0);
}

// Names compared byte by byte after ASCII upper-casing; exact bytes break ties.
bool ListedBefore(const FindData& a, const FindData& b) {
  for (size_t i = 0;; ++i) {
    unsigned char x = static_cast<unsigned char>(UpperAscii(a.name[i]));
    unsigned char y = static_cast<unsigned char>(UpperAscii(b.name[i]));
    if (x != y) return x < y;
    if (!x) break;
  }
  return strcmp(a.name, b.name) < 0;
}

bool AddEntry(const std::string& host, const std::string& name, std::vector<FindData>* out) {
  struct stat st;
  if (stat(host.c_str(), &st) != 0) return false;
  FindData data;
  FillFindData(host, st, name, &data);
  out->push_back(data);
  return true;
}

// Splits a pattern into its folder text and its last component.
void SplitPattern(const char* pattern, std::string* folder, std::string* last) {
  const char* cut = nullptr;
  for (const char* p = pattern; *p; ++p) {
    if (*p == '\\' || *p == '/' || (*p == ':' && p == pattern + 1)) cut = p;
  }
  if (!cut) {
    *folder = ".";
    *last = pattern;
    return;
  }
  *folder = std::string(pattern, cut + 1);
  *last = cut + 1;
}

}  // namespace

bool NameMatchesWildcard(const char* name, const char* pattern) {
  if (!name || !pattern) return false;
  return MatchTokens(PatternTokens(pattern), name);
}

FindState* FindFirst(const char* pattern, FindData* data) {
  if (!pattern || !*pattern) {
    SetError("The system cannot find the file specified.");
    return nullptr;
  }
  std::string folderText, last;
  SplitPattern(pattern, &folderText, &last);
  WinPath folder;
  std::string host;
  bool found = false;
  if (!ResolvePath(folderText.c_str(), &folder) || !HostOf(folder, &host, &found)) return nullptr;
  DIR* dir = found ? opendir(host.c_str()) : nullptr;
  if (!dir) {
    SetError("The system cannot find the path specified.");
    return nullptr;
  }
  std::vector<int> tokens = PatternTokens(last.c_str());
  auto state = new FindState;
  std::string prefix = host == "/" ? "" : host;
  while (dirent* e = readdir(dir)) {
    std::string name = e->d_name;
    if (name == "." || name == ".." || !IsWindowsName(name)) continue;
    if (!MatchTokens(tokens, name.c_str())) continue;
    AddEntry(prefix + "/" + name, name, &state->entries);
  }
  closedir(dir);
  std::sort(state->entries.begin(), state->entries.end(), ListedBefore);
  if (!folder.parts.empty()) {
    std::vector<FindData> dots;
    if (MatchTokens(tokens, ".")) AddEntry(host, ".", &dots);
    if (MatchTokens(tokens, "..")) AddEntry(prefix + "/..", "..", &dots);
    state->entries.insert(state->entries.begin(), dots.begin(), dots.end());
  }
  if (!FindNext(state, data)) {
    delete state;
    SetError("The system cannot find the file specified.");
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
