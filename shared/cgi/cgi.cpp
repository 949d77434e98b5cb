#include "shared/cgi/cgi.h"

#include <cstdlib>
#include <cstring>

#include "platform/env.h"
#include "platform/hex_digits.h"
#include "shared/chars.h"

namespace {

constexpr size_t kMaxPostBytes = 8191;      // the input buffer holds 8192 bytes
constexpr long kDefaultContentLength = 32767;

size_t ContentLength() {
  const char* text = GetEnv("CONTENT_LENGTH");
  long length = text ? strtol(text, nullptr, 10) : kDefaultContentLength;
  if (length <= 0) return 0;
  return static_cast<size_t>(length) < kMaxPostBytes ? static_cast<size_t>(length) : kMaxPostBytes;
}

}  // namespace

std::string ReadCGIRequest(FILE* input) {
  const char* method = GetEnv("REQUEST_METHOD");
  if (method && CompareNoCase(method, "GET") == 0) {
    const char* query = GetEnv("QUERY_STRING");
    return query ? query : "";
  }
  std::string raw;
  size_t length = ContentLength();
  while (raw.size() < length) {
    int c = fgetc(input);
    if (c == EOF) break;
    raw += static_cast<char>(c);
  }
  return raw;
}

CGIArgs::CGIArgs() : CGIArgs(ReadCGIRequest(stdin)) {}

CGIArgs::CGIArgs(const std::string& raw) {
  Decode(raw);
  Split();
}

CGIArgs::~CGIArgs() = default;

// One pass: each raw position is looked at once, so a decoded byte is never
// taken for an escape or a separator again. A '%' without two hexadecimal
// digits after it stays as it is.
void CGIArgs::Decode(const std::string& raw) {
  text_.clear();
  text_.reserve(raw.size() + 1);
  for (size_t i = 0; i < raw.size(); ++i) {
    char c = raw[i];
    int high = c == '%' && i + 2 < raw.size() ? HexValue(raw[i + 1]) : -1;
    int low = high >= 0 ? HexValue(raw[i + 2]) : -1;
    if (low >= 0) {
      text_.push_back(static_cast<char>(high * 16 + low));
      i += 2;
    } else if (c == '+') {
      text_.push_back(' ');
    } else if (c == '&') {
      text_.push_back('\n');
    } else if (!IsCntrl(c)) {
      text_.push_back(c);
    }
  }
  text_.push_back('\0');
}

// Cuts the text at its newlines into pairs. Pieces are found by position, so
// a decoded zero byte ends only its own name or value.
void CGIArgs::Split() {
  pairs_.clear();
  char* text = text_.data();
  char* end = text + text_.size() - 1;
  for (char* piece = text; piece < end;) {
    char* pieceEnd = static_cast<char*>(memchr(piece, '\n', static_cast<size_t>(end - piece)));
    if (!pieceEnd) pieceEnd = end;
    *pieceEnd = '\0';
    char* name = piece;
    while (name < pieceEnd && *name == '=') ++name;
    if (pieceEnd > piece) {
      char* equals = static_cast<char*>(memchr(name, '=', static_cast<size_t>(pieceEnd - name)));
      const char* value = nullptr;
      if (equals) {
        *equals = '\0';
        if (equals + 1 < pieceEnd) value = equals + 1;
      }
      pairs_.push_back(Pair{name, value});
    }
    piece = pieceEnd + 1;
  }
}

const char* CGIArgs::Find(const char* name) const {
  if (!name) return nullptr;
  for (const Pair& pair : pairs_) {
    if (CompareNoCase(pair.name, name) == 0) return pair.value ? pair.value : "";
  }
  return nullptr;
}

const char* CGIArgs::Get(const char* name) const {
  const char* value = Find(name);
  return value ? value : "";
}

char* CGIArgs::GetAll(const char* name, char* buffer, size_t size, const char* reserve) const {
  if (!buffer || size == 0) return buffer;
  buffer[0] = '\0';
  if (!name) return buffer;
  size_t length = 0;
  size_t reserved = reserve ? strlen(reserve) : 0;
  for (const Pair& pair : pairs_) {
    if (!pair.value || !*pair.value || CompareNoCase(pair.name, name) != 0) continue;
    size_t separator = length ? 1 : 0;
    size_t valueLength = strlen(pair.value);
    if (length + separator + reserved + valueLength >= size) continue;
    if (separator) buffer[length++] = ',';
    memcpy(buffer + length, pair.value, valueLength + 1);
    length += valueLength;
  }
  return buffer;
}

void CGIArgs::Dump() const {
  printf("Content-type: text/plain\n\n");
  printf("Number of arguments:  %d\n\n", Count());
  for (const Pair& pair : pairs_) printf("%20s = %s\n", pair.name, pair.value ? pair.value : "");
}
