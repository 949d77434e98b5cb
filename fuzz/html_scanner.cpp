// The HTML scanner over any bytes, with tag buffers of every size, fixed or
// growing: every input character comes back through exactly one hook, in
// order, so the hooks' output put together is the input again.
#include <cstring>
#include <string>

#include "fuzz/fuzz_input.h"
#include "shared/html_parser.h"

namespace {

class Echo : public HTMLParser {
 public:
  Echo(const std::string& input, int size) : HTMLParser(size), input_(input) {}
  std::string echo;

 protected:
  int NextChar() override {
    if (next_ == input_.size()) return -1;
    return static_cast<unsigned char>(input_[next_++]);
  }
  void OnText(int ch) override { echo += static_cast<char>(ch); }
  void OnComment(int ch) override { echo += static_cast<char>(ch); }
  void OnTag(char* tag) override {
    FuzzCheck(strlen(tag) < static_cast<size_t>(BufferSize()), "tag within its buffer");
    echo += tag;
  }

 private:
  const std::string& input_;
  size_t next_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  int bufferSize = 10 + input.Byte();
  int growth = input.Byte();  // odd: the buffer may grow to bufferSize + growth * 8
  std::string html = input.Rest();
  Echo scanner(html, bufferSize);
  if (growth & 1) scanner.GrowTagsUpTo(bufferSize + growth * 8);
  scanner.Scan();
  // A NUL byte inside a tag ends the tag's text, so only NUL-free input
  // comes back whole.
  if (html.find('\0') == std::string::npos) FuzzCheck(scanner.echo == html, "input echoed whole");
  return 0;
}
