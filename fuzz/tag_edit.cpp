// Tag attribute editing on a tag held in a block of exactly its capacity:
// reading every attribute, then finding, setting, replacing, appending and
// removing attributes named by the input, never past the capacity.
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "shared/tag_edit.h"

namespace {

void CheckTerminated(const std::vector<char>& block) {
  FuzzCheck(memchr(block.data(), '\0', block.size()) != nullptr, "tag terminated within capacity");
}

void ReadAll(char* text, int capacity, int valueSize) {
  TagParser parser(text, capacity);
  char name[kAttributeNameSize];
  std::vector<char> value(static_cast<size_t>(valueSize) + 1);
  char tagName[40];
  parser.TagName(tagName, sizeof tagName);
  while (parser.NextAttribute(name, value.data(), valueSize)) {
    FuzzCheck(strlen(name) < kAttributeNameSize, "name cut to its buffer");
    FuzzCheck(valueSize == 0 || strlen(value.data()) < static_cast<size_t>(valueSize), "value cut");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  int slack = input.Byte() % 64;
  int valueSize = input.Byte() % 300;
  std::string tag = input.Text();
  std::string name = input.Text();
  std::string value = input.Text();
  std::string other = input.Text();
  std::vector<char> block(tag.size() + 1 + static_cast<size_t>(slack));
  memcpy(block.data(), tag.c_str(), tag.size() + 1);
  int capacity = static_cast<int>(block.size());

  ReadAll(block.data(), capacity, valueSize);
  std::vector<char> found(static_cast<size_t>(valueSize) + 1);
  TagParser(block.data(), capacity).FindAttribute(name.c_str(), found.data(), valueSize);
  TagParser(block.data(), capacity).SetAttribute(name.c_str(), value.empty() ? nullptr : value.c_str());
  CheckTerminated(block);
  TagParser(block.data(), capacity).AppendAttribute(other.c_str(), value.c_str());
  CheckTerminated(block);
  {
    TagParser parser(block.data(), capacity);
    char attribute[kAttributeNameSize];
    if (parser.NextAttribute(attribute, nullptr, 0)) parser.ReplaceValue(other.c_str());
  }
  CheckTerminated(block);
  TagParser(block.data(), capacity).RemoveAttribute(other.c_str());
  CheckTerminated(block);
  ReadAll(block.data(), capacity, valueSize);
  return 0;
}
