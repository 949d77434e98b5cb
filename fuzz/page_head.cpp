// The page-head reader and writer over fuzzed pages: the head is read, the
// fields the input chooses are set, the page is written back and read again;
// every value stays within its field's limit.
#include <cstring>
#include <string>

#include "fuzz/fuzz_input.h"
#include "pagehead/html_file.h"

namespace {

void CheckLimits(const HTMLFile& page) {
  for (int field = 0; field < kHeadFieldCount; ++field) {
    HeadField f = static_cast<HeadField>(field);
    size_t length = strnlen(page.Info().Text(f), static_cast<size_t>(HTMLFileInfo::Limit(f)) + 1);
    FuzzCheck(length <= static_cast<size_t>(HTMLFileInfo::Limit(f)), "field within its limit");
  }
}

using Setter = bool (HTMLFile::*)(const char*);
constexpr Setter kSetters[] = {&HTMLFile::SetTitle,     &HTMLFile::SetDescription,
                               &HTMLFile::SetKeywords,  &HTMLFile::SetSortOrder,
                               &HTMLFile::SetForward,   &HTMLFile::SetBody};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  EnterFuzzDrive();
  FuzzInput input(data, size);
  uint8_t fields = input.Byte();
  std::string values[kHeadFieldCount];
  for (std::string& value : values) value = input.Text();
  WriteFuzzFile("page.htm", input.Rest());

  HTMLFile page;
  if (page.Read("page.htm")) {
    CheckLimits(page);
    for (int field = 0; field < kHeadFieldCount; ++field) {
      if (fields & (1 << field)) (page.*kSetters[field])(values[field].c_str());
    }
    CheckLimits(page);
    page.Write("page.htm");
    HTMLFile again;
    if (again.Read("page.htm")) CheckLimits(again);
  }
  ClearFuzzDrive();
  return 0;
}
