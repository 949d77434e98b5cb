// localweb's request reader: configuration lines (Map and Pass rules among
// them), then a request line split into its URL and version, the URL mapped
// to a path through the rules, and the answer header and error page for it.
// A URL that the mapping lets through never climbs out of the site nor
// names a private file.
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "programs/localweb/request.h"
#include "programs/localweb/server.h"
#include "programs/localweb/server_settings.h"

namespace {

// Without rules, the mapped path holds no drive, no part made of dots alone
// ('..', '...'), which would climb out of the site, and no private name
// beginning with '.' (".git").
void CheckInSite(const String& path, const ServerSettings& settings) {
  if (path.IsNull() || settings.ruleCount > 0) return;
  std::string text = path.Text();
  FuzzCheck(text.find(':') == std::string::npos, "no drive in a mapped path");
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != '\\' && text[i] != '/') continue;
    std::string part = text.substr(start, i - start);
    bool dots = part.size() >= 2 && part.find_first_not_of('.') == std::string::npos;
    FuzzCheck(!dots, "no part of dots alone in a mapped path");
    FuzzCheck(part.size() < 2 || part[0] != '.', "no name beginning with '.' in a mapped path");
    start = i + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  ServerSettings settings;
  std::string line = input.Text('\n');
  while (!input.Empty()) {
    ApplyConfigLine(line.c_str(), &settings);
    line = input.Text('\n');
  }
  FuzzCheck(settings.ruleCount <= kMaxRules, "at most the rule table");
  std::vector<char> request(line.begin(), line.end());
  request.push_back('\0');
  char* url = nullptr;
  bool headers = false;
  if (!ParseRequestLine(request.data(), &url, &headers)) return 0;
  FuzzCheck(url >= request.data() && url < request.data() + request.size(), "URL in the line");
  String path = MapUrlToPath(url, settings);
  CheckInSite(path, settings);
  char header[512];
  size_t length = FormatResponseHeader(header, sizeof header, headers, 200, StatusText(200),
                                       static_cast<unsigned long>(strlen(url)), "text/html");
  FuzzCheck(length < sizeof header, "header within its buffer");
  FormatErrorPage(headers, 404, url);
  return 0;
}
