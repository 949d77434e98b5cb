// The configuration reader over fuzzed files: "weft.ini" in the icons
// directory, the file its "configfile" line names and a named section of a
// further file; every key reaches the handler lower-cased and without '='.
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "platform/files.h"
#include "shared/config.h"
#include "shared/testing/config_state.h"

namespace {

void CheckKey(const char* key, const char* value) {
  FuzzCheck(*key != '\0' && *value != '\0', "key and value are not empty");
  FuzzCheck(strchr(key, '=') == nullptr, "key holds no '='");
  for (const char* p = key; *p; ++p) FuzzCheck(!(*p >= 'A' && *p <= 'Z'), "key lower-cased");
  ParseBool(value, true);
  ParseBool(value, false);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  EnterFuzzDrive();
  static bool made = CreateDir("icons");
  (void)made;
  FuzzInput input(data, size);
  std::string section = input.Text();
  std::string line = input.Text();
  WriteFuzzFile("icons\\weft.ini", input.Text());
  WriteFuzzFile("chain.ini", input.Text());
  WriteFuzzFile("sections.ini", input.Rest());

  ResetConfigReader();
  SetConfigKeyHandler(CheckKey);
  std::vector<char> copy(line.begin(), line.end());
  copy.push_back('\0');
  ConfigLine(copy.data());
  ReadConfig();
  FuzzCheck(strlen(ConfigFileName()) <= 127, "chained name within its buffer");
  ReadConfigFile("sections.ini", section.c_str());
  ReadConfigFile("sections.ini");
  return 0;
}
