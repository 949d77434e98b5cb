// The suite's text value: one pointer to a shared, reference-counted heap
// block (a 32-bit count, then the zero-terminated characters). A null pointer
// is the empty String. Copies share the block; there is no copy-on-write.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>

class String {
 public:
  String() = default;
  // n == 0: the empty (null) String; otherwise a block of n zero characters
  // (n counts the terminator).
  template <typename N, typename = std::enable_if_t<std::is_integral_v<N>>>
  explicit String(N n) {
    if (n > 0) AllocateZeroed(static_cast<size_t>(n));
  }
  String(const char* text);  // null: empty; else a copy (also of "")
  String(const String& other);
  String(String&& other) noexcept : block_(other.block_) { other.block_ = nullptr; }
  ~String() { Release(); }

  String& operator=(const char* text);
  String& operator=(const String& other);
  String& operator=(String&& other) noexcept;

  // New block with room for n characters; count 1; characters not cleared.
  void Allocate(size_t n);
  // Drops this holder's share; frees the block with the last one.
  void Release();

  // The characters, or null for the empty String.
  char* Text() const { return block_ ? block_ + sizeof(int32_t) : nullptr; }
  operator char*() const { return Text(); }
  // Length of the text (0 for either empty form).
  size_t Length() const;
  bool IsNull() const { return block_ == nullptr; }
  // The reference count (0 for the empty String); for tests and checks.
  int32_t Count() const;

 private:
  void AllocateZeroed(size_t n);
  char* block_ = nullptr;
};

// The characters of a String, "" for the empty one (never null, as "%s"
// needs).
const char* Chars(const String& text);

// Text a followed by text b; either may be null.
String Concat(const char* a, const char* b);
// Up to six texts joined, null ones skipped; all null gives the empty String.
String Concat6(const char* a, const char* b = nullptr, const char* c = nullptr,
               const char* d = nullptr, const char* e = nullptr, const char* f = nullptr);

// First place of `pattern` in `text` ignoring letter case; null when none.
const char* FindNoCase(const char* text, const char* pattern);
char* FindNoCase(char* text, const char* pattern);
// Copies at most size - 1 characters and terminates; size 0 writes nothing.
char* CopyBounded(char* buffer, const char* text, size_t size);
// Copies text whole when it fits size bytes with its terminator; false,
// writing nothing, when it does not.
bool CopyIfFits(char* buffer, const char* text, size_t size);
// The C library's atoi without its overflow: leading white space, a sign and
// digits; anything else (and a null text) gives 0; values beyond int are
// clamped.
int ParseNumber(const char* text);
// A copy of text in a new[] block, which the caller delete[]s.
char* CopyText(const char* text);
// Letter case of a whole text, by the character classes of shared/chars.h.
bool HasLowerCase(const char* text);
void UpperCase(char* text);  // in place
void LowerCase(char* text);  // in place
// Whole-text wildcard match ignoring letter case ('?' one, '*' any run); each
// segment after a '*' is taken at its first place, without retrying later ones.
bool WildcardMatch(const char* text, const char* pattern);
// -1, 0 or 1: letter case ignored, runs of digits compared by value.
int CompareNatural(const char* a, const char* b);
// Case-insensitive comparison of whole texts and of the first n characters
// (ASCII letters only), as stricmp/strnicmp.
int CompareNoCase(const char* a, const char* b);
int CompareNoCaseN(const char* a, const char* b, size_t n);
// The same comparison after upper-casing instead: the characters between the
// two ranges of letters ('_', '[' ...) then sort after the letters.
int CompareUpperCased(const char* a, const char* b);
// The first n characters of text (fewer when it ends before), lower-cased:
// texts that CompareNoCase finds equal get equal keys, for hash tables.
std::string NoCaseKey(const char* text, size_t n = static_cast<size_t>(-1));

// Fills a String by a bounded conversion: `measure()` gives the size needed
// (terminator included); `write(buffer, size)` writes into it.
template <typename Measure, typename Write>
String FilledString(const char* input, Measure measure, Write write) {
  if (!input) return String();
  size_t size = measure();
  String result(size);
  if (size) write(result.Text(), size);
  return result;
}
