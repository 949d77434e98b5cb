// Edit strings: any edit applied to any present value, with "%FILENAME%"
// standing for any file name; the result is never a null String.
#include <string>

#include "fuzz/fuzz_input.h"
#include "pagehead/edit_string.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  std::string current = input.Text();
  std::string edit = input.Text();
  std::string fileName = input.Text();
  std::string other = input.Text();
  String result = EditString(current.c_str(), edit.c_str(), fileName.c_str());
  FuzzCheck(!result.IsNull(), "an edit gives a text");
  ExpandFileName(edit.c_str(), fileName.c_str());
  DeleteString(current.c_str(), other.c_str());
  ReplaceAll(current.c_str(), other.c_str(), edit.c_str());
  return 0;
}
