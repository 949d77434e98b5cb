#include "shared/string.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "shared/chars.h"

namespace {

int32_t& CountOf(char* block) { return *reinterpret_cast<int32_t*>(block); }

}  // namespace

void String::AllocateZeroed(size_t n) {
  Allocate(n);
  memset(Text(), 0, n);
}

String::String(const char* text) {
  if (!text) return;
  size_t n = strlen(text) + 1;
  Allocate(n);
  memcpy(Text(), text, n);
}

String::String(const String& other) : block_(other.block_) {
  if (block_) ++CountOf(block_);
}

String& String::operator=(const char* text) {
  if (block_ && text == Text()) return *this;
  // Build the new block before letting the old one go: the text may lie
  // inside the old block.
  String fresh(text);
  Release();
  block_ = fresh.block_;
  fresh.block_ = nullptr;
  return *this;
}

String& String::operator=(const String& other) {
  if (block_ == other.block_) return *this;
  if (other.block_) ++CountOf(other.block_);
  Release();
  block_ = other.block_;
  return *this;
}

String& String::operator=(String&& other) noexcept {
  if (this != &other) {
    Release();
    block_ = other.block_;
    other.block_ = nullptr;
  }
  return *this;
}

void String::Allocate(size_t n) {
  Release();
  block_ = static_cast<char*>(malloc(sizeof(int32_t) + n));
  if (!block_) abort();
  CountOf(block_) = 1;
}

void String::Release() {
  if (!block_) return;
  if (--CountOf(block_) <= 0) free(block_);
  block_ = nullptr;
}

size_t String::Length() const { return block_ ? strlen(Text()) : 0; }

int32_t String::Count() const { return block_ ? CountOf(block_) : 0; }

const char* Chars(const String& text) { return text.IsNull() ? "" : text.Text(); }

String Concat(const char* a, const char* b) { return Concat6(a, b); }

String Concat6(const char* a, const char* b, const char* c, const char* d, const char* e,
               const char* f) {
  const char* parts[6] = {a, b, c, d, e, f};
  size_t lengths[6] = {};
  size_t total = 0;
  bool any = false;
  for (int i = 0; i < 6; ++i) {
    if (!parts[i]) continue;
    any = true;
    lengths[i] = strlen(parts[i]);
    total += lengths[i];
  }
  if (!any) return String();
  String result;
  result.Allocate(total + 1);
  char* out = result.Text();
  for (int i = 0; i < 6; ++i) {
    if (!parts[i]) continue;
    memcpy(out, parts[i], lengths[i]);
    out += lengths[i];
  }
  *out = 0;
  return result;
}

const char* FindNoCase(const char* text, const char* pattern) {
  if (!text || !pattern) return nullptr;
  size_t n = strlen(pattern);
  for (const char* p = text;; ++p) {
    if (CompareNoCaseN(p, pattern, n) == 0) return p;
    if (!*p) return nullptr;
  }
}

char* FindNoCase(char* text, const char* pattern) {
  return const_cast<char*>(FindNoCase(const_cast<const char*>(text), pattern));
}

char* CopyBounded(char* buffer, const char* text, size_t size) {
  if (size == 0) return buffer;
  size_t n = strlen(text);
  if (n >= size) n = size - 1;
  memmove(buffer, text, n);
  buffer[n] = 0;
  return buffer;
}

bool CopyIfFits(char* buffer, const char* text, size_t size) {
  size_t length = strlen(text);
  if (length >= size) return false;
  memcpy(buffer, text, length + 1);
  return true;
}

int ParseNumber(const char* text) {
  if (!text) return 0;
  while (IsSpace(*text)) ++text;
  bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  long long value = 0;
  for (; IsDigit(*text); ++text) {
    value = value * 10 + (*text - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) return static_cast<int>(-value);
  return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

bool HasLowerCase(const char* text) {
  for (; *text; ++text) {
    if (IsLower(*text)) return true;
  }
  return false;
}

void UpperCase(char* text) {
  for (; *text; ++text) *text = ToUpper(*text);
}

void LowerCase(char* text) {
  for (; *text; ++text) *text = ToLower(*text);
}

char* CopyText(const char* text) {
  size_t length = strlen(text);
  char* copy = new char[length + 1];
  memcpy(copy, text, length + 1);
  return copy;
}

namespace {

bool CharMatches(char t, char p) { return t && (p == '?' || ToUpper(t) == ToUpper(p)); }

// Does the segment (up to the next '*' or the end) match at text?
bool SegmentAt(const char* text, const char* seg, size_t len) {
  for (size_t i = 0; i < len; ++i) {
    if (!CharMatches(text[i], seg[i])) return false;
  }
  return true;
}

}  // namespace

bool WildcardMatch(const char* text, const char* pattern) {
  while (*pattern && *pattern != '*') {
    if (!*text || !CharMatches(*text, *pattern)) return false;
    ++text;
    ++pattern;
  }
  while (*pattern == '*') {
    while (*pattern == '*') ++pattern;
    if (!*pattern) return true;
    size_t len = strcspn(pattern, "*");
    for (;; ++text) {
      if (strlen(text) < len) return false;
      if (SegmentAt(text, pattern, len)) break;
    }
    text += len;
    pattern += len;
  }
  return !*pattern && !*text;
}

namespace {

// Compares two runs of digits by value without converting them: leading
// zeros skipped, the longer run is greater, else digit by digit.
int CompareDigitRuns(const char*& a, const char*& b) {
  while (*a == '0' && IsDigit(a[1])) ++a;
  while (*b == '0' && IsDigit(b[1])) ++b;
  const char* ea = a;
  const char* eb = b;
  while (IsDigit(*ea)) ++ea;
  while (IsDigit(*eb)) ++eb;
  int result = 0;
  if (ea - a != eb - b) {
    result = ea - a < eb - b ? -1 : 1;
  } else {
    for (const char *x = a, *y = b; x < ea; ++x, ++y) {
      if (*x != *y) {
        result = *x < *y ? -1 : 1;
        break;
      }
    }
  }
  a = ea;
  b = eb;
  return result;
}

}  // namespace

int CompareNatural(const char* a, const char* b) {
  for (;;) {
    if (!*a && !*b) return 0;
    if (IsDigit(*a) && IsDigit(*b)) {
      int r = CompareDigitRuns(a, b);
      if (r) return r;
      continue;
    }
    unsigned char ca = static_cast<unsigned char>(ToUpper(*a));
    unsigned char cb = static_cast<unsigned char>(ToUpper(*b));
    if (ca != cb) return ca < cb ? -1 : 1;
    ++a;
    ++b;
  }
}

namespace {

// Compares whole texts byte by byte, each byte first folded by Fold.
template <char (*Fold)(int)>
int CompareFolded(const char* a, const char* b) {
  for (;; ++a, ++b) {
    unsigned char ca = static_cast<unsigned char>(Fold(*a));
    unsigned char cb = static_cast<unsigned char>(Fold(*b));
    if (ca != cb) return ca < cb ? -1 : 1;
    if (!ca) return 0;
  }
}

}  // namespace

int CompareNoCase(const char* a, const char* b) { return CompareFolded<ToLower>(a, b); }
int CompareUpperCased(const char* a, const char* b) { return CompareFolded<ToUpper>(a, b); }

std::string NoCaseKey(const char* text, size_t n) {
  std::string key;
  for (size_t i = 0; i < n && text && text[i]; ++i) key += ToLower(text[i]);
  return key;
}

int CompareNoCaseN(const char* a, const char* b, size_t n) {
  for (size_t i = 0; i < n; ++i, ++a, ++b) {
    unsigned char ca = static_cast<unsigned char>(ToLower(*a));
    unsigned char cb = static_cast<unsigned char>(ToLower(*b));
    if (ca != cb) return ca < cb ? -1 : 1;
    if (!ca) return 0;
  }
  return 0;
}
