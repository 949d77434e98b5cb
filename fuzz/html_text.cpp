// The HTML text helpers (entity decoding, encoding for heads and for
// generated pages, UTF-8 references, address linking) as
// bounded triples: into a buffer of the measured size each gives its whole
// result, the String form agrees, and a buffer of any smaller size is never
// overrun and always terminated.
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "shared/htmltext.h"

namespace {

void CheckLinks(const char* text, size_t smaller) {
  size_t needed = LinkUrls(text, nullptr, 0);
  std::vector<char> exact(needed);
  FuzzCheck(LinkUrls(text, exact.data(), exact.size()) == needed, "measure agrees");
  FuzzCheck(strlen(exact.data()) + 1 == needed, "whole result fits its measured size");
  String whole = LinkUrlsString(text);
  FuzzCheck(strcmp(exact.data(), whole.Text() ? whole.Text() : "") == 0, "String form agrees");
  if (smaller >= needed) return;
  std::vector<char> cut(smaller + 1);
  cut[smaller] = 'G';
  LinkUrls(text, cut.data(), smaller);
  FuzzCheck(cut[smaller] == 'G', "linking stays within its size");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  BoundedCase input = ReadBoundedCase(data, size);
  const char* p = input.text.c_str();
  size_t decoded = HtmlDecodedLength(p);
  FuzzCheck(decoded <= input.text.size() + 1, "decoding never lengthens");
  // The decoded length is an upper bound, the encoded one exact.
  CheckBoundedWriter(p, HtmlDecode, decoded, HtmlDecodeString(p), input.smaller);
  String html = HtmlEncodeString(p);
  CheckExactBoundedWriter(p, HtmlEncode, HtmlEncodedLength(p), html, input.smaller);
  String page = HtmlEncodePageString(p);
  CheckExactBoundedWriter(p, HtmlEncodePage, HtmlEncodedPageLength(p), page, input.smaller);
  FuzzCheck(HtmlEncodedPageLength(p) >= HtmlEncodedLength(p), "references never shorten");
  CheckExactBoundedWriter(p, Utf8References, Utf8ReferencesLength(p), Utf8ReferencesString(p),
                          input.smaller);
  CheckLinks(p, input.smaller);
  CheckLinks(html.Text() ? html.Text() : "", input.smaller);
  CheckLinks(page.Text() ? page.Text() : "", input.smaller);
  return 0;
}
