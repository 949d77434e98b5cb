// File-to-URL and URL-to-file conversion as bounded triples: the measured
// size holds the whole result, smaller buffers are never overrun, and a path
// turned into a URL and back is the path again.
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "shared/chars.h"
#include "shared/url/url.h"

namespace {

std::string Whole(const String& text) { return text.Text() ? text.Text() : ""; }

// '/c:/' and '/c|/' at the start of a URL name a drive.
bool LooksLikeDrive(const std::string& url) {
  return url.size() >= 4 && url[0] == '/' && IsAlpha(url[1]) && (url[2] == ':' || url[2] == '|') &&
         url[3] == '/';
}

void CheckRoundTrip(const std::string& path) {
  std::string expected = path;
  if (expected.size() >= 2 && IsAlpha(expected[0]) && expected[1] == ':') expected.erase(0, 2);
  for (char& c : expected) {
    if (c == '/') c = '\\';
  }
  std::string url = Whole(FileToUrlString(path.c_str()));
  if (LooksLikeDrive(url)) return;
  FuzzCheck(Whole(UrlToFileString(url.c_str())) == expected, "path to URL and back");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  BoundedCase input = ReadBoundedCase(data, size);
  const char* p = input.text.c_str();
  CheckExactBoundedWriter(p, FileToUrl, FileToUrlLength(p), FileToUrlString(p), input.smaller);
  CheckBoundedWriter(p, UrlToFile, UrlToFileLength(p), UrlToFileString(p), input.smaller);
  CheckRoundTrip(input.text);
  return 0;
}
