// Keyword lists, expressions and operations: an expression is evaluated on a
// list, operations are applied to it, and every list item is read back.
#include <string>

#include "fuzz/fuzz_input.h"
#include "shared/keywords.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  std::string list = input.Text();
  std::string expression = input.Text();
  std::string operations = input.Text();
  std::string word = input.Text();

  const char* cursor = expression.c_str();
  EvalKeywordExpression(list.c_str(), cursor);
  FuzzCheck(cursor >= expression.c_str() && cursor <= expression.c_str() + expression.size(),
            "cursor stays in the expression");
  cursor = expression.c_str();
  EvalKeywordTerm(list.c_str(), cursor);

  String edited(list.c_str());
  ApplyKeywordOps(edited, operations.c_str());
  AddKeyword(edited, word.c_str());
  RemoveKeyword(edited, word.c_str());
  HasKeyword(edited, word.c_str());
  const char* items = edited.Text() ? edited.Text() : "";
  while (!NextKeyword(items).IsNull()) {
  }
  cursor = list.c_str();
  NextToken(cursor, "&|()");
  return 0;
}
