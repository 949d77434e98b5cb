// CGI input and form encoding: a request read from standard input (POST,
// with the input's own CONTENT_LENGTH) and decoded into pairs; any value
// form-encoded into a query comes back unchanged.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "platform/env.h"
#include "shared/cgi/cgi.h"

namespace {

std::string ReadPosted(const std::string& contentLength, const std::string& body) {
  SetEnv("REQUEST_METHOD", "POST");
  SetEnv("CONTENT_LENGTH", contentLength.c_str());
  FILE* input = tmpfile();
  FuzzCheck(input != nullptr, "temporary file");
  fwrite(body.data(), 1, body.size(), input);
  rewind(input);
  std::string raw = ReadCGIRequest(input);
  fclose(input);
  FuzzCheck(raw.size() <= 8191 && raw.size() <= body.size(), "request within its limits");
  return raw;
}

void CheckRoundTrip(const std::string& value) {
  if (value.empty() || value.find_first_of(std::string("\n\0", 2)) != std::string::npos) return;
  String encoded = FormEncodeString(value.c_str());
  FuzzCheck(encoded.Length() + 1 == FormEncodedLength(value.c_str()), "encoded length");
  CGIArgs args(std::string("other=1&value=") + encoded.Text() + "&last");
  FuzzCheck(value == args.Get("value"), "form-encoded value decodes to itself");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  size_t bufferSize = input.Byte();
  std::string name = input.Text();
  std::string reserve = input.Text();
  std::string contentLength = input.Text();
  std::string body = input.Rest();

  CGIArgs args(ReadPosted(contentLength, body));
  args.Find(name.c_str());
  args.Get(name.c_str());
  std::vector<char> all(bufferSize + 1, 'G');
  args.GetAll(name.c_str(), all.data(), bufferSize, reserve.c_str());
  FuzzCheck(all[bufferSize] == 'G', "GetAll stays within its buffer");
  if (bufferSize > 0) FuzzCheck(strlen(all.data()) < bufferSize, "GetAll terminated");
  for (int i = 0; i < args.Count() && i < 4; ++i) args.Get(name.c_str());

  std::vector<char> encoded(bufferSize + 1, 'G');
  FormEncode(name.c_str(), encoded.data(), bufferSize);
  FuzzCheck(encoded[bufferSize] == 'G', "FormEncode stays within its buffer");
  CheckRoundTrip(name);
  CheckRoundTrip(body);
  return 0;
}
