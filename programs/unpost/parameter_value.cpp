#include "programs/unpost/parameter_value.h"

#include <cstring>

#include "platform/ascii_case.h"
#include "platform/code_page.h"
#include "platform/hex_digits.h"
#include "programs/unpost/decoders.h"
#include "programs/unpost/file_names.h"
#include "programs/unpost/header_scan.h"

namespace {

// Piece numbers above this are ignored, so that a hostile header cannot make
// the value grow without bound.
constexpr int kMaxPieceNumber = 99;

// The %XX escapes turned into their bytes; a '%' without two hex digits
// stays as written.
std::string PercentDecode(const std::string& text) {
  std::string bytes;
  for (size_t i = 0; i < text.size(); ++i) {
    int high = text[i] == '%' && i + 2 < text.size() ? HexValue(text[i + 1]) : -1;
    int low = high >= 0 ? HexValue(text[i + 2]) : -1;
    if (low < 0) {
      bytes += text[i];
      continue;
    }
    bytes += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return bytes;
}

// Splits "charset'language'text": the charset goes to `charset`, the text is
// returned. Without the two quotes the whole value is the text.
std::string SplitCharset(const std::string& value, std::string* charset) {
  size_t first = value.find('\'');
  size_t second = first == std::string::npos ? first : value.find('\'', first + 1);
  if (second == std::string::npos) return value;
  *charset = value.substr(0, first);
  return value.substr(second + 1);
}

bool IsLatin1(const std::string& charset) {
  for (const char* name : {"iso-8859-1", "iso8859-1", "iso_8859-1", "latin1", "latin-1", "l1"}) {
    if (SameNoCase(charset, name)) return true;
  }
  return false;
}

bool IsWindows1252(const std::string& charset) {
  return SameNoCase(charset, "windows-1252") || SameNoCase(charset, "cp1252");
}

// Bytes in the given charset as the host writes file names: UTF-8. A byte
// that windows-1252 leaves undefined stays the code point of its number.
std::string ToHostText(const std::string& bytes, const std::string& charset) {
  if (IsWindows1252(charset)) return Windows1252ToUtf8(bytes);
  if (!IsLatin1(charset)) return bytes;
  std::string out;
  for (char c : bytes) AppendUtf8(&out, static_cast<unsigned char>(c));
  return out;
}

// Cut to the length of a header token, never inside a UTF-8 sequence.
std::string CutToTokenLength(std::string text) {
  if (text.size() <= kMaxHeaderToken) return text;
  size_t end = kMaxHeaderToken;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  text.resize(end);
  return text;
}

// The piece number of "name*N" or "name*N*" behind the "name*" prefix, or
// -1 when the rest is not of that form.
int PieceNumber(const char* rest, bool* encoded) {
  int number = 0;
  const char* p = rest;
  for (; *p >= '0' && *p <= '9'; ++p) {
    number = number * 10 + (*p - '0');
    if (number > kMaxPieceNumber) return -1;
  }
  if (p == rest) return -1;
  *encoded = *p == '*';
  if (*encoded) ++p;
  return *p == '\0' ? number : -1;
}

}  // namespace

bool ParameterValue::Take(const std::string& parameter, const std::string& value) {
  size_t length = name_.size();
  if (!StartsNoCase(parameter, name_)) return false;
  const char* rest = parameter.c_str() + length;
  if (*rest == '\0') {
    if (plain_.empty()) plain_ = clean_(value);
    return true;
  }
  if (*rest++ != '*') return false;
  if (*rest == '\0') {
    if (!hasExtended_) extended_ = value;
    hasExtended_ = true;
    return true;
  }
  bool encoded = false;
  int number = PieceNumber(rest, &encoded);
  if (number < 0) return false;
  pieces_.emplace(number, Piece{value, encoded});
  return true;
}

// The pieces 0, 1, 2 ... up to the first missing one, decoded; the charset
// named at the start of piece 0 holds for them all.
std::string ParameterValue::Joined() const {
  std::string charset;
  std::string text;
  for (int number = 0; pieces_.count(number); ++number) {
    const Piece& piece = pieces_.at(number);
    if (!piece.encoded) {
      text += piece.text;
    } else {
      text += PercentDecode(number == 0 ? SplitCharset(piece.text, &charset) : piece.text);
    }
  }
  return ToHostText(text, charset);
}

std::string ParameterValue::Value() const {
  if (hasExtended_) {
    std::string charset;
    std::string text = PercentDecode(SplitCharset(extended_, &charset));
    std::string value = clean_(CutToTokenLength(ToHostText(text, charset)));
    if (!value.empty()) return value;
  }
  if (pieces_.count(0)) {
    std::string value = clean_(CutToTokenLength(Joined()));
    if (!value.empty()) return value;
  }
  return plain_;
}
