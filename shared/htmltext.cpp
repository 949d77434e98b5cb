#include "shared/htmltext.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/hex_digits.h"
#include "shared/chars.h"
#include "shared/utf8.h"

namespace {

// --- Decoding ----------------------------------------------------------------

struct NamedEntity {
  const char* name;
  char value;
};

// The only named entities that page heads carry; lower case only.
constexpr NamedEntity kNamedEntities[] = {
    {"&quot;", '"'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}};

int DigitValue(char c, int base) {
  if (base == 16) return HexValue(c);
  return IsDigit(c) ? c - '0' : -1;
}

// A numeric reference at `text` ("&#65;", "&#x41", ...): where its digits
// end (';' not included), its full value (held at 0x110000 once past it) and
// its low byte. False when no digit follows "&#" or "&#x".
struct NumericReference {
  const char* end = nullptr;
  unsigned value = 0;
  unsigned lowByte = 0;
};

// A reference beyond the C locale's characters (above 126, judged by its full
// value, not its low byte): the keeping decoder leaves it as written.
bool IsBeyondAscii(unsigned value) { return value > 126; }

bool ReadNumeric(const char* text, NumericReference* out) {
  if (text[0] != '&' || text[1] != '#') return false;
  int base = (text[2] == 'x' || text[2] == 'X') ? 16 : 10;
  const char* p = text + (base == 16 ? 3 : 2);
  const char* digits = p;
  for (int d; (d = DigitValue(*p, base)) >= 0; ++p) {
    out->lowByte = (out->lowByte * base + d) & 0xFF;
    out->value = out->value > 0x10FFFF ? 0x110000 : out->value * base + d;
  }
  out->end = p;
  return p != digits;
}

// Decodes the entity at `text` (which starts with '&'): sets *out to the
// character to write (or -1 for none) and returns the text after the entity.
// A '&' that starts no known entity is returned as itself. `keep` keeps a
// numeric reference beyond 126 exactly as written.
const char* DecodeEntity(const char* text, bool keep, int* out) {
  if (text[1] == '#') {
    NumericReference number;
    *out = -1;
    // Without digits only the "&#" is dropped: an 'x' after it is plain text.
    if (!ReadNumeric(text, &number)) {
      if (!keep) return text + 2;
      *out = '&';
      return text + 1;
    }
    if (keep && IsBeyondAscii(number.value)) {
      *out = '&';
      return text + 1;
    }
    if (IsPrint(static_cast<int>(number.lowByte))) *out = static_cast<int>(number.lowByte);
    return *number.end == ';' ? number.end + 1 : number.end;
  }
  for (const NamedEntity& entity : kNamedEntities) {
    size_t length = strlen(entity.name);
    if (strncmp(text, entity.name, length) == 0) {
      *out = static_cast<unsigned char>(entity.value);
      return text + length;
    }
  }
  *out = '&';
  return text + 1;
}

char* Decode(const char* text, char* buffer, size_t size, bool keep) {
  if (size == 0) return buffer;
  size_t written = 0;
  const char* p = text ? text : "";
  while (*p && written + 1 < size) {
    if (*p != '&') {
      buffer[written++] = *p++;
      continue;
    }
    int c;
    p = DecodeEntity(p, keep, &c);
    if (c >= 0) buffer[written++] = static_cast<char>(c);
  }
  buffer[written] = '\0';
  return buffer;
}

// The length of an entity reference at `text` that the decoders leave in
// the text as it stands, so that encoding passes it on unchanged instead of
// escaping its '&': a named reference with its ';' other than the four that
// are decoded, or a numeric one whose value is beyond 126. 0 when
// `text` starts no such reference.
size_t KeptReferenceLength(const char* text) {
  if (text[0] != '&') return 0;
  NumericReference number;
  if (ReadNumeric(text, &number)) {
    if (!IsBeyondAscii(number.value)) return 0;
    return static_cast<size_t>(number.end - text) + (*number.end == ';' ? 1 : 0);
  }
  if (!IsAlpha(text[1])) return 0;
  size_t length = 2;
  while (IsAlnum(text[length])) ++length;
  if (text[length] != ';') return 0;
  ++length;
  for (const NamedEntity& entity : kNamedEntities) {
    if (strlen(entity.name) == length && strncmp(text, entity.name, length) == 0) return 0;
  }
  return length;
}

// --- Encoding ----------------------------------------------------------------

// The replacement of one character, or null when it is copied. The writer and
// the length function both read this, so they cannot disagree.
const char* EncodedForm(char c) {
  switch (c) {
    case '\n': return "<BR>";
    case '"': return "&quot;";
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    default: return nullptr;
  }
}

// The encodings of the writers below.
enum class Encoding {
  kHtml,            // HtmlEncode: the special characters replaced
  kHtmlReferences,  // HtmlEncodePage: and letters beyond ASCII as references
  kReferences,      // Utf8References: only the letters beyond ASCII
};

// What an encoding writes for the text at one place: `text` (its own
// characters, a replacement or a reference in `scratch`), `length` bytes of
// it, standing for `consumed` bytes of the input. The writer and the length
// function both take their pieces from NextPiece, so they cannot disagree.
struct Piece {
  const char* text = nullptr;
  size_t length = 0;
  size_t consumed = 0;
  char scratch[16] = {};  // "&#1114111;" at most
};

// A valid UTF-8 sequence at `p` as a decimal numeric reference; false when
// none starts there.
bool ReferencePiece(const char* p, Piece* piece) {
  uint32_t codePoint = 0;
  size_t length = Utf8Sequence(p, &codePoint);
  if (length == 0) return false;
  int written = snprintf(piece->scratch, sizeof piece->scratch, "&#%u;", codePoint);
  piece->text = piece->scratch;
  piece->length = static_cast<size_t>(written);
  piece->consumed = length;
  return true;
}

void NextPiece(const char* p, Encoding encoding, Piece* piece) {
  if (encoding != Encoding::kReferences) {
    size_t kept = KeptReferenceLength(p);
    if (kept) {
      *piece = Piece{p, kept, kept};
      return;
    }
  }
  if (encoding != Encoding::kHtml && ReferencePiece(p, piece)) return;
  const char* form = encoding == Encoding::kReferences ? nullptr : EncodedForm(*p);
  if (form) {
    piece->text = form;
    piece->length = strlen(form);
  } else {
    piece->text = p;
    piece->length = 1;
  }
  piece->consumed = 1;
}

// Writes the encoded text, at most size - 1 bytes (a piece that does not
// fit is cut), and terminates. Returns the buffer.
char* EncodeInto(const char* text, char* buffer, size_t size, Encoding encoding) {
  if (size == 0) return buffer;
  size_t written = 0;
  for (const char* p = text ? text : ""; *p && written + 1 < size;) {
    Piece piece;
    NextPiece(p, encoding, &piece);
    for (size_t i = 0; i < piece.length && written + 1 < size; ++i) buffer[written++] = piece.text[i];
    p += piece.consumed;
  }
  buffer[written] = '\0';
  return buffer;
}

size_t EncodedLength(const char* text, Encoding encoding) {
  size_t length = 1;
  for (const char* p = text ? text : ""; *p;) {
    Piece piece;
    NextPiece(p, encoding, &piece);
    length += piece.length;
    p += piece.consumed;
  }
  return length;
}

String EncodedString(const char* text, Encoding encoding) {
  return FilledString(
      text, [&] { return EncodedLength(text, encoding); },
      [&](char* buffer, size_t size) { EncodeInto(text, buffer, size, encoding); });
}

// --- Linking -----------------------------------------------------------------

bool IsAddressChar(char c) {
  return IsAlnum(c) || (c != 0 && strchr("#$%&*+/=@\\^_|~`", c) != nullptr);
}

constexpr const char* kUrlPrefixes[] = {"http:/", "https:/", "ftp:/", "www."};
constexpr const char* kWwwPrefix = "www.";

// Entities that an encoded text may carry right after an address.
constexpr const char* kTrailingEntities[] = {"&quot;", "&lt;", "&gt;"};

// Length of the URL prefix at text[at], or 0 when no address starts there.
size_t UrlPrefixAt(const char* text, size_t at) {
  if (at > 0 && IsAddressChar(text[at - 1])) return 0;
  for (const char* prefix : kUrlPrefixes) {
    size_t length = strlen(prefix);
    if (CompareNoCaseN(text + at, prefix, length) == 0 && IsAddressChar(text[at + length]))
      return length;
  }
  return 0;
}

bool EndsWith(const char* text, size_t length, const char* tail) {
  size_t tailLength = strlen(tail);
  return length >= tailLength && memcmp(text + length - tailLength, tail, tailLength) == 0;
}

// Shortens an address from its end: entities of the surrounding text and
// characters that cannot end an address (a final '.', ',', ')', ...) go.
size_t TrimAddress(const char* address, size_t length) {
  for (;;) {
    bool dropped = false;
    for (const char* entity : kTrailingEntities) {
      if (EndsWith(address, length, entity)) {
        length -= strlen(entity);
        dropped = true;
        break;
      }
    }
    if (dropped) continue;
    if (length == 0 || IsAddressChar(address[length - 1])) return length;
    --length;
  }
}

// Length of the address at text[at] (0 when none starts there).
size_t AddressAt(const char* text, size_t at) {
  size_t prefix = UrlPrefixAt(text, at);
  if (prefix == 0) return 0;
  size_t length = 0;
  while (IsGraph(text[at + length])) ++length;
  length = TrimAddress(text + at, length);
  // Trimming can leave no more than the prefix ("www.&lt;"): not an address.
  return length > prefix ? length : 0;
}

// Output of LinkUrls: counts every piece, writes the pieces that fit until
// the first one that does not, and keeps the buffer terminated.
class LinkOutput {
 public:
  LinkOutput(char* buffer, size_t size) : buffer_(buffer), size_(buffer ? size : 0) {
    if (size_ > 0) buffer_[0] = '\0';
  }

  void Put(const char* piece, size_t length) {
    needed_ += length;
    if (stopped_) return;
    if (written_ + length + 1 > size_) {
      stopped_ = true;
      return;
    }
    memcpy(buffer_ + written_, piece, length);
    written_ += length;
    buffer_[written_] = '\0';
  }
  void Put(const char* piece) { Put(piece, strlen(piece)); }

  size_t Needed() const { return needed_ + 1; }

 private:
  char* buffer_;
  size_t size_;
  size_t written_ = 0;
  size_t needed_ = 0;
  bool stopped_ = false;
};

void PutLink(LinkOutput* out, const char* address, size_t length) {
  bool www = CompareNoCaseN(address, kWwwPrefix, strlen(kWwwPrefix)) == 0;
  out->Put("<A HREF=\"");
  if (www) out->Put("http://");
  out->Put(address, length);
  if (www && !memchr(address, '/', length)) out->Put("/");
  out->Put("\">");
  out->Put(address, length);
  out->Put("</A>");
}

}  // namespace

char* HtmlDecode(const char* text, char* buffer, size_t size) {
  return Decode(text, buffer, size, false);
}

char* HtmlDecodeKeeping(const char* text, char* buffer, size_t size) {
  return Decode(text, buffer, size, true);
}

size_t HtmlDecodedLength(const char* text) { return (text ? strlen(text) : 0) + 1; }

String HtmlDecodeString(const char* text) {
  return FilledString(
      text, [&] { return HtmlDecodedLength(text); },
      [&](char* buffer, size_t size) { HtmlDecode(text, buffer, size); });
}

String HtmlDecodeKeepingString(const char* text) {
  return FilledString(
      text, [&] { return HtmlDecodedLength(text); },
      [&](char* buffer, size_t size) { HtmlDecodeKeeping(text, buffer, size); });
}

char* HtmlEncode(const char* text, char* buffer, size_t size) {
  return EncodeInto(text, buffer, size, Encoding::kHtml);
}

size_t HtmlEncodedLength(const char* text) { return EncodedLength(text, Encoding::kHtml); }

String HtmlEncodeString(const char* text) { return EncodedString(text, Encoding::kHtml); }

char* HtmlEncodePage(const char* text, char* buffer, size_t size) {
  return EncodeInto(text, buffer, size, Encoding::kHtmlReferences);
}

size_t HtmlEncodedPageLength(const char* text) {
  return EncodedLength(text, Encoding::kHtmlReferences);
}

String HtmlEncodePageString(const char* text) {
  return EncodedString(text, Encoding::kHtmlReferences);
}

char* Utf8References(const char* text, char* buffer, size_t size) {
  return EncodeInto(text, buffer, size, Encoding::kReferences);
}

size_t Utf8ReferencesLength(const char* text) { return EncodedLength(text, Encoding::kReferences); }

String Utf8ReferencesString(const char* text) { return EncodedString(text, Encoding::kReferences); }

size_t LinkUrls(const char* text, char* buffer, size_t size) {
  LinkOutput out(buffer, size);
  if (!text) return out.Needed();
  size_t copied = 0;  // start of the text not yet put out
  for (size_t at = 0; text[at];) {
    size_t length = AddressAt(text, at);
    if (length == 0) {
      ++at;
      continue;
    }
    out.Put(text + copied, at - copied);
    PutLink(&out, text + at, length);
    at += length;
    copied = at;
  }
  out.Put(text + copied);
  return out.Needed();
}

String LinkUrlsString(const char* text) {
  return FilledString(
      text, [&] { return LinkUrls(text, nullptr, 0); },
      [&](char* buffer, size_t size) { LinkUrls(text, buffer, size); });
}
