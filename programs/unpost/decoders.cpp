#include "programs/unpost/decoders.h"

#include <climits>
#include <cstdio>

#include "platform/hex_digits.h"
#include "programs/unpost/file_names.h"

namespace {

constexpr size_t kMaxUuNameLength = 64;

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsWhite(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

std::string SavedName(std::string_view name) {
  return FixFileNameCase(CleanFileName(std::string(name)));
}

// A decimal number after `key` when a digit follows it there; -1 otherwise.
long NumberAfter(std::string_view text, std::string_view key) {
  size_t at = text.find(key);
  if (at == std::string_view::npos) return -1;
  long value = -1;
  for (size_t i = at + key.size(); i < text.size() && IsDigit(text[i]); ++i) {
    int digit = text[i] - '0';
    if (value < 0) value = 0;
    value = value > (LONG_MAX - digit) / 10 ? LONG_MAX : value * 10 + digit;
  }
  return value;
}

bool HexAfter(std::string_view text, std::string_view key, uint32_t* value) {
  size_t at = text.find(key);
  if (at == std::string_view::npos) return false;
  size_t i = at + key.size();
  if (i >= text.size() || HexValue(text[i]) < 0) return false;
  *value = 0;
  for (int digits = 0; i < text.size() && HexValue(text[i]) >= 0 && digits < 8; ++i, ++digits) {
    *value = *value << 4 | static_cast<uint32_t>(HexValue(text[i]));
  }
  return true;
}

constexpr int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (IsDigit(c)) return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

template <typename... Args>
std::string Format(const char* format, Args... args) {
  char buffer[160];
  snprintf(buffer, sizeof buffer, format, args...);
  return buffer;
}

}  // namespace

std::string_view TrimEnd(std::string_view text) {
  while (!text.empty() && IsWhite(text.back())) text.remove_suffix(1);
  return text;
}

int DecodeUuLine(std::string_view line, const UuRules& rules, unsigned char* out) {
  if (line.empty()) return -1;
  size_t dataChars = line.size() - 1;
  if (!rules.lax && dataChars > 60) return -1;
  for (char c : line) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u < 32 || u > 96) return -1;
  }
  int length = (line[0] - 32) & 63;
  if (length >= 46) return -1;
  if (rules.strict && dataChars % 4 != 0) return -1;
  if (dataChars * 6 < static_cast<size_t>(length) * 8) return -1;
  if (!rules.lax && (line.size() + 2) / 4 > static_cast<size_t>(length + 2) / 3) return -1;
  int produced = 0;
  for (size_t i = 1; produced < length; i += 4) {
    int v[4];
    for (int k = 0; k < 4; ++k) v[k] = i + k < line.size() ? (line[i + k] - 32) & 63 : 0;
    const int bytes[3] = {v[0] << 2 | v[1] >> 4, (v[1] & 15) << 4 | v[2] >> 2, (v[2] & 3) << 6 | v[3]};
    for (int k = 0; k < 3 && produced < length; ++k) out[produced++] = static_cast<unsigned char>(bytes[k]);
  }
  return length;
}

std::string UuBeginName(std::string_view line) {
  if (line.substr(0, 6) != "begin ") return "";
  size_t i = 6;
  while (i < line.size() && IsWhite(line[i])) ++i;
  if (i < line.size() && IsDigit(line[i])) {
    while (i < line.size() && !IsWhite(line[i])) ++i;
    while (i < line.size() && IsWhite(line[i])) ++i;
  }
  std::string_view name = TrimEnd(line.substr(i));
  if (name.size() > kMaxUuNameLength) return "";
  return SavedName(name);
}

size_t DecodeYencLine(std::string_view line, unsigned char* out) {
  size_t count = 0;
  for (size_t i = 0; i < line.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(line[i]);
    if (c == '=') {
      if (i + 1 >= line.size()) break;
      c = static_cast<unsigned char>(line[++i] - 64);
    }
    out[count++] = static_cast<unsigned char>(c - 42);
  }
  return count;
}

YencBegin ParseYencBegin(std::string_view line) {
  YencBegin begin;
  size_t nameAt = line.find(" name=");
  if (nameAt == std::string_view::npos) return begin;
  // The name runs to the line end; the other keys stand before it.
  std::string_view keys = line.substr(0, nameAt);
  if (keys.find(" part=") != std::string_view::npos) return begin;
  begin.lineLength = NumberAfter(keys, " line=");
  begin.size = NumberAfter(keys, " size=");
  begin.name = SavedName(TrimEnd(line.substr(nameAt + 6)));
  begin.handled = !begin.name.empty();
  return begin;
}

YencEnd ParseYencEnd(std::string_view line) {
  YencEnd end;
  end.size = NumberAfter(line, " size=");
  end.hasCrc = HexAfter(line, " crc32=", &end.crc);
  return end;
}

std::vector<std::string> YencDataErrors(const YencTally& tally) {
  std::vector<std::string> items;
  const long beginSize = tally.begin.size;
  const long endSize = tally.end.size;
  if (beginSize < 0) items.push_back("\"=ybegin\" size is not specified.");
  if (tally.begin.lineLength < 0) items.push_back("\"=ybegin\" line length is not specified.");
  if (endSize < 0) {
    items.push_back("\"=yend\" size is not specified.");
  } else if (endSize != beginSize) {
    items.push_back(Format("\"=yend\" size (%ld) doesn't match \"=ybegin\" size (%ld).", endSize, beginSize));
  }
  if (beginSize >= 0 && tally.actualSize != beginSize && tally.actualSize != endSize) {
    items.push_back(Format("Actual size (%ld) doesn't match specified size (%ld).", tally.actualSize, beginSize));
  }
  if (tally.shortLines > 1) {
    items.push_back(Format("There were %d short lines (< %ld characters).", tally.shortLines,
                           tally.begin.lineLength));
  }
  if (tally.longLines == 1) {
    items.push_back(Format("There was 1 long line (> %ld characters).", tally.begin.lineLength + 1));
  } else if (tally.longLines > 1) {
    items.push_back(Format("There were %d long lines (> %ld characters).", tally.longLines,
                           tally.begin.lineLength + 1));
  }
  if (tally.end.hasCrc && tally.actualCrc != tally.end.crc) {
    items.push_back(Format("Actual CRC (%08lx) doesn't match \"=yend\" crc32 (%08lx).",
                           static_cast<unsigned long>(tally.actualCrc),
                           static_cast<unsigned long>(tally.end.crc)));
  }
  for (size_t i = 0; i < items.size(); ++i) {
    items[i] = Format("         %d.  ", static_cast<int>(i + 1)) + items[i] + "\n";
  }
  return items;
}

namespace {

// CRC-32 (the reflected polynomial 0xEDB88320) eight bytes at a time: table
// k gives the effect of a byte followed by k zero bytes.
struct CrcTables {
  uint32_t table[8][256];

  constexpr CrcTables() : table() {
    for (uint32_t byte = 0; byte < 256; ++byte) {
      uint32_t crc = byte;
      for (int bit = 0; bit < 8; ++bit) crc = crc >> 1 ^ (0xEDB88320u & (0u - (crc & 1)));
      table[0][byte] = crc;
    }
    for (uint32_t byte = 0; byte < 256; ++byte) {
      for (int k = 1; k < 8; ++k) {
        uint32_t previous = table[k - 1][byte];
        table[k][byte] = previous >> 8 ^ table[0][previous & 0xFF];
      }
    }
  }
};

constexpr CrcTables kCrc;

uint32_t Little32(const unsigned char* p) {
  return p[0] | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

uint32_t Crc32(uint32_t crc, const unsigned char* data, size_t size) {
  const auto& t = kCrc.table;
  crc = ~crc;
  for (; size >= 8; data += 8, size -= 8) {
    uint32_t low = crc ^ Little32(data);
    uint32_t high = Little32(data + 4);
    crc = t[7][low & 0xFF] ^ t[6][low >> 8 & 0xFF] ^ t[5][low >> 16 & 0xFF] ^ t[4][low >> 24] ^
          t[3][high & 0xFF] ^ t[2][high >> 8 & 0xFF] ^ t[1][high >> 16 & 0xFF] ^ t[0][high >> 24];
  }
  for (; size > 0; ++data, --size) crc = crc >> 8 ^ t[0][(crc ^ *data) & 0xFF];
  return ~crc;
}

bool IsBase64Char(char c) { return Base64Value(c) >= 0; }

namespace {

// The base64 alphabet by byte: the value 0 to 63, or one of these codes.
constexpr unsigned char kPadCode = 64;    // '='
constexpr unsigned char kOtherCode = 65;  // any other byte below 128
constexpr unsigned char kHighCode = 66;   // a byte of 128 or more

struct Base64Codes {
  unsigned char code[256];

  constexpr Base64Codes() : code() {
    for (int c = 0; c < 256; ++c) {
      int value = Base64Value(static_cast<char>(c));
      code[c] = c >= 128 ? kHighCode : value >= 0 ? static_cast<unsigned char>(value)
                                    : c == '=' ? kPadCode : kOtherCode;
    }
  }
};

constexpr Base64Codes kBase64;

// A group with a byte outside the alphabet: up to its pad, or the whole
// group when it holds a byte of no use (then the line is bad). `out` is where
// the group's bytes go in `bytes`, which ends there afterwards.
Base64Line FinishGroup(const unsigned char (&codes)[4], std::string* bytes, size_t out) {
  int v[4];
  int padAt = -1;
  bool outside = false;
  for (int k = 0; k < 4; ++k) {
    if (codes[k] == kHighCode) {
      bytes->resize(out);
      return Base64Line::kBad;
    }
    v[k] = codes[k] < 64 ? codes[k] : 0;
    if (codes[k] < 64) continue;
    if (codes[k] == kPadCode && k >= 2) {
      if (padAt < 0) padAt = k;
    } else {
      outside = true;
    }
  }
  const char decoded[3] = {static_cast<char>(v[0] << 2 | v[1] >> 4),
                           static_cast<char>((v[1] & 15) << 4 | v[2] >> 2),
                           static_cast<char>((v[2] & 3) << 6 | v[3])};
  size_t kept = outside ? 3 : static_cast<size_t>(padAt - 1);
  bytes->resize(out);
  bytes->append(decoded, kept);
  return outside ? Base64Line::kBad : Base64Line::kEnd;
}

}  // namespace

Base64Line DecodeBase64Line(std::string_view line, std::string* bytes) {
  if (line.size() % 4 != 0) return Base64Line::kBad;
  size_t out = bytes->size();
  bytes->resize(out + line.size() / 4 * 3);
  const auto* in = reinterpret_cast<const unsigned char*>(line.data());
  for (size_t g = 0; g < line.size(); g += 4, out += 3) {
    const unsigned char codes[4] = {kBase64.code[in[g]], kBase64.code[in[g + 1]],
                                    kBase64.code[in[g + 2]], kBase64.code[in[g + 3]]};
    if ((codes[0] | codes[1] | codes[2] | codes[3]) >= 64) return FinishGroup(codes, bytes, out);
    char* group = bytes->data() + out;
    group[0] = static_cast<char>(codes[0] << 2 | codes[1] >> 4);
    group[1] = static_cast<char>((codes[1] & 15) << 4 | codes[2] >> 2);
    group[2] = static_cast<char>((codes[2] & 3) << 6 | codes[3]);
  }
  return Base64Line::kMore;
}
