#include "shared/htmltext.h"

#include <cstring>

#include "shared/chars.h"

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
  if (IsDigit(c)) return c - '0';
  if (base == 16 && IsXDigit(c)) return ToLower(c) - 'a' + 10;
  return -1;
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

// What encoding writes for the text at `p`: a replacement, or the text itself
// (a reference kept as written, or one plain character). *length is set to
// the number of characters of `p` it stands for. The writer and the length
// function both use it, so they cannot disagree.
const char* EncodedPiece(const char* p, size_t* length) {
  *length = KeptReferenceLength(p);
  if (*length) return p;
  *length = 1;
  const char* form = EncodedForm(*p);
  return form ? form : p;
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
  if (size == 0) return buffer;
  size_t written = 0;
  for (const char* p = text ? text : ""; *p && written + 1 < size;) {
    size_t length = 1;
    const char* form = EncodedPiece(p, &length);
    size_t count = form == p ? length : strlen(form);
    for (size_t i = 0; i < count && written + 1 < size; ++i) buffer[written++] = form[i];
    p += length;
  }
  buffer[written] = '\0';
  return buffer;
}

size_t HtmlEncodedLength(const char* text) {
  size_t length = 1;
  for (const char* p = text ? text : ""; *p;) {
    size_t taken = 1;
    const char* form = EncodedPiece(p, &taken);
    length += form == p ? taken : strlen(form);
    p += taken;
  }
  return length;
}

String HtmlEncodeString(const char* text) {
  return FilledString(
      text, [&] { return HtmlEncodedLength(text); },
      [&](char* buffer, size_t size) { HtmlEncode(text, buffer, size); });
}

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
