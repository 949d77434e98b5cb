// unpost's decoders: single uuencoded, yEnc and base64 lines, then a whole
// message decoded as the program does it, its attachments written on a
// private drive. Every file written stays on that drive's current folder.
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "programs/unpost/decoders.h"
#include "programs/unpost/unpost.h"

namespace {

void DecodeLine(const std::string& line, uint8_t choices) {
  unsigned char uu[kMaxUuLineBytes];
  UuRules rules;
  rules.lax = choices & 1;
  rules.strict = choices & 2;
  DecodeUuLine(line, rules, uu);
  UuBeginName(line);
  std::vector<unsigned char> yenc(line.size() + 1);
  FuzzCheck(DecodeYencLine(line, yenc.data()) <= line.size(), "yEnc never grows");
  YencTally tally;
  tally.begin = ParseYencBegin(line);
  tally.end = ParseYencEnd(line);
  tally.actualSize = static_cast<long>(line.size());
  YencDataErrors(tally);
  std::string bytes;
  DecodeBase64Line(line, &bytes);
  FuzzCheck(bytes.size() <= line.size(), "base64 never grows");
}

UnpostOptions Options(uint8_t choices) {
  UnpostOptions options;
  options.keepHeaders = choices & 1;
  options.ignoreErrors = choices & 2;
  options.keepBad = choices & 4;
  options.lax = choices & 8;
  options.mimeForm = choices & 16;
  options.strict = choices & 32;
  options.overwrite = true;  // never ask on the console
  return options;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  EnterFuzzDrive();
  FuzzInput input(data, size);
  uint8_t choices = input.Byte();
  DecodeLine(input.Text('\n'), choices);
  WriteFuzzFile("message.txt", input.Rest());
  DecodeFile("message.txt", Options(choices));
  ClearFuzzDrive();
  return 0;
}
