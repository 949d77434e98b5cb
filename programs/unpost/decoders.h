// Decoding of the three attachment encodings line by line (uuencode, yEnc,
// base64), the yEnc header lines and the checks that tell damaged data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The text without trailing white space (line ends included).
std::string_view TrimEnd(std::string_view text);

// --- uuencode ------------------------------------------------------------------

constexpr int kMaxUuLineBytes = 45;

struct UuRules {
  bool lax = false;     // more than 60 characters and surplus groups allowed
  bool strict = false;  // the characters after the length are a multiple of 4
};

// The bytes of one uu line (without its line end) into `out` (room for
// kMaxUuLineBytes); -1 when the line is not valid uu.
int DecodeUuLine(std::string_view line, const UuRules& rules, unsigned char* out);

// The file name of a "begin " line, or "" when the line starts no uu block.
std::string UuBeginName(std::string_view line);

// --- yEnc ----------------------------------------------------------------------

// Decodes one yEnc line (without its line end) into `out` (room for
// line.size() bytes); returns the count.
size_t DecodeYencLine(std::string_view line, unsigned char* out);

struct YencBegin {
  bool handled = false;  // false for a part of a multi-part block or without a name
  long lineLength = -1;  // -1 when not given
  long size = -1;
  std::string name;      // cleaned
};
YencBegin ParseYencBegin(std::string_view line);

struct YencEnd {
  long size = -1;
  bool hasCrc = false;
  uint32_t crc = 0;
};
YencEnd ParseYencEnd(std::string_view line);

// What a yEnc block held, against what its header lines said.
struct YencTally {
  YencBegin begin;
  YencEnd end;
  long actualSize = 0;
  uint32_t actualCrc = 0;
  int shortLines = 0;
  int longLines = 0;
};
// The numbered list of data errors (empty when the data are sound).
std::vector<std::string> YencDataErrors(const YencTally& tally);

uint32_t Crc32(uint32_t crc, const unsigned char* data, size_t size);

// --- base64 --------------------------------------------------------------------

bool IsBase64Char(char c);

enum class Base64Line { kMore, kEnd, kBad };
// Appends the bytes of one line (trailing white space removed) to `bytes`.
// kEnd after padding; kBad for a length that is not a multiple of 4 or a
// character outside the alphabet (that group is still decoded, unless the
// character has its high bit set).
Base64Line DecodeBase64Line(std::string_view line, std::string* bytes);
