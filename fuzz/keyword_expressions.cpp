// Keyword lists, expressions and operations: an expression is evaluated on a
// list, operations are applied to it, a word added is then found in it, and
// every list item is read back.
#include <string>

#include "fuzz/fuzz_input.h"
#include "shared/chars.h"
#include "shared/keywords.h"

namespace {

// A word that a list can hold as one item: not empty, no ',' and no white
// space at either end.
bool IsPlainWord(const std::string& word) {
  if (word.empty() || word.find(',') != std::string::npos) return false;
  return !IsSpace(word.front()) && !IsSpace(word.back());
}

}  // namespace

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
  if (IsPlainWord(word)) FuzzCheck(HasKeyword(edited, word.c_str()), "an added word is listed");
  RemoveKeyword(edited, word.c_str());
  HasKeyword(edited, word.c_str());
  const char* items = edited.Text() ? edited.Text() : "";
  while (!NextKeyword(items).IsNull()) {
  }
  cursor = list.c_str();
  NextToken(cursor, "&|()");
  return 0;
}
