// unpost's MIME splitter over any message text: the heading and body of
// every entity, at every depth, lie inside the message, and nesting stops
// at the depth limit.
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "programs/unpost/message.h"

namespace {

struct Bounds {
  const char* begin;
  const char* end;
  bool Holds(const char* p) const { return p && p >= begin && p <= end; }
};

void Walk(const Message& message, const Bounds& text, int depth) {
  FuzzCheck(depth <= kMaxPartDepth + 1, "parts nested no deeper than the limit");
  FuzzCheck(text.Holds(message.heading) && text.Holds(message.body), "entity inside the message");
  FuzzCheck(message.epilogue == nullptr || text.Holds(message.epilogue), "epilogue inside");
  FuzzCheck(!message.type.empty() && !message.transferEncoding.empty(), "type and encoding set");
  FuzzCheck(message.fileName.find_first_of("\\/") == std::string::npos, "file name has no path");
  for (const auto& part : message.parts) Walk(*part, text, depth + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  std::string text = input.Rest();
  std::vector<char> buffer(text.begin(), text.end());
  buffer.push_back('\0');
  Message message(buffer.data());
  message.Split();
  Walk(message, Bounds{buffer.data(), buffer.data() + buffer.size() - 1}, 0);
  return 0;
}
