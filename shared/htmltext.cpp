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

// Decodes the entity at `text` (which starts with '&'): sets *out to the
// character to write (or -1 for none) and returns the text after the entity.
// A '&' that starts no known entity is returned as itself.
const char* DecodeEntity(const char* text, int* out) {
  if (text[1] == '#') {
    int base = (text[2] == 'x' || text[2] == 'X') ? 16 : 10;
    const char* p = text + (base == 16 ? 3 : 2);
    const char* digits = p;
    // Only the low byte is written, so the value is kept modulo 256.
    unsigned value = 0;
    for (int d; (d = DigitValue(*p, base)) >= 0; ++p) value = (value * base + d) & 0xFF;
    *out = -1;
    // Without digits only the "&#" is dropped: an 'x' after it is plain text.
    if (p == digits) return text + 2;
    if (*p == ';') ++p;
    if (IsPrint(static_cast<int>(value))) *out = static_cast<int>(value);
    return p;
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
  if (size == 0) return buffer;
  size_t written = 0;
  const char* p = text ? text : "";
  while (*p && written + 1 < size) {
    if (*p != '&') {
      buffer[written++] = *p++;
      continue;
    }
    int c;
    p = DecodeEntity(p, &c);
    if (c >= 0) buffer[written++] = static_cast<char>(c);
  }
  buffer[written] = '\0';
  return buffer;
}

size_t HtmlDecodedLength(const char* text) { return (text ? strlen(text) : 0) + 1; }

String HtmlDecodeString(const char* text) {
  return FilledString(
      text, [&] { return HtmlDecodedLength(text); },
      [&](char* buffer, size_t size) { HtmlDecode(text, buffer, size); });
}

char* HtmlEncode(const char* text, char* buffer, size_t size) {
  if (size == 0) return buffer;
  size_t written = 0;
  for (const char* p = text ? text : ""; *p && written + 1 < size; ++p) {
    const char* form = EncodedForm(*p);
    if (!form) {
      buffer[written++] = *p;
      continue;
    }
    for (; *form && written + 1 < size; ++form) buffer[written++] = *form;
  }
  buffer[written] = '\0';
  return buffer;
}

size_t HtmlEncodedLength(const char* text) {
  size_t length = 1;
  for (const char* p = text ? text : ""; *p; ++p) {
    const char* form = EncodedForm(*p);
    length += form ? strlen(form) : 1;
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
