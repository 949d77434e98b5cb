#include "shared/keywords.h"

#include <cstring>
#include <vector>

#include "platform/assert.h"
#include "shared/chars.h"

// A missing argument is a programming error, reported by the argument's name.
#define REQUIRE(value, name) ((value) ? (void)0 : AssertionFailed(name, __FILE__, __LINE__))

namespace {

const char* SkipSpace(const char* p) {
  while (IsSpace(*p)) ++p;
  return p;
}

// Length of [begin, end) without its trailing white space.
size_t TrimmedLength(const char* begin, const char* end) {
  while (end > begin && IsSpace(end[-1])) --end;
  return static_cast<size_t>(end - begin);
}

String MakeString(const char* begin, size_t length) {
  String result(length + 1);
  memcpy(result.Text(), begin, length);
  return result;
}

String Trimmed(const char* begin, const char* end) {
  begin = SkipSpace(begin);
  if (begin > end) begin = end;
  return MakeString(begin, TrimmedLength(begin, end));
}

bool IsEmpty(const char* text) { return !text || !*text; }

// Where one item's search began and where the next search begins.
struct ItemPlace {
  const char* begin = nullptr;
  const char* next = nullptr;
};

// Finds the first item equal to word; false when there is none.
bool FindKeyword(const char* list, const char* word, ItemPlace* place) {
  const char* cursor = list;
  for (;;) {
    const char* begin = cursor;
    String item = NextKeyword(cursor);
    if (IsEmpty(item)) return false;
    if (CompareNoCase(item, word) == 0) {
      place->begin = begin;
      place->next = cursor;
      return true;
    }
  }
}

bool HasMoreKeywords(const char* cursor) { return !IsEmpty(NextKeyword(cursor)); }

// Where the next item begins: past the white space and the commas of empty
// items that stand before it.
const char* NextItemStart(const char* cursor) {
  for (cursor = SkipSpace(cursor); *cursor == ','; cursor = SkipSpace(cursor + 1)) {
  }
  return cursor;
}

bool HasVisibleKeyword(const char* list) {
  const char* cursor = list;
  for (String item = NextKeyword(cursor); !IsEmpty(item); item = NextKeyword(cursor)) {
    if (item.Text()[0] != '_') return true;
  }
  return false;
}

bool IsListed(const char* list, const String& word) { return !IsEmpty(word) && HasKeyword(list, word); }

// '"' word '"': the closing quote is skipped when present.
bool EvalQuotedTerm(const char* list, const char*& cursor) {
  const char* start = cursor + 1;
  const char* end = strchr(start, '"');
  if (!end) end = start + strlen(start);
  cursor = *end ? end + 1 : end;
  return IsListed(list, Trimmed(start, end));
}

// A term without '!' or '(': a quoted word, '#', '*' or a plain word.
bool EvalSimpleTerm(const char* list, const char*& cursor) {
  switch (*cursor) {
    case '"':
      return EvalQuotedTerm(list, cursor);
    case '#':
      ++cursor;
      return HasVisibleKeyword(list);
    case '*':
      ++cursor;
      return *list != '\0';
    default:
      return IsListed(list, NextToken(cursor, ")&|"));
  }
}

// An open group of an expression: its value so far, the operator before the
// next term ('\0' before the first) and whether a '!' stands before it.
struct Group {
  bool value = false;
  char op = '\0';
  bool negate = false;
};

void Combine(Group& group, bool term) {
  if (group.op == '\0') group.value = term;
  else if (group.op == '&') group.value = group.value && term;
  else group.value = group.value || term;
}

bool ReadNegations(const char*& cursor) {
  bool negate = false;
  for (; *cursor == '!'; ++cursor) negate = !negate;
  return negate;
}

// Evaluates one term (oneTerm) or a whole expression. Groups are kept on a
// stack of their own, so that deep nesting cannot exhaust the program's stack.
bool Evaluate(const char* list, const char*& cursor, bool oneTerm) {
  std::vector<Group> groups(1);
  for (;;) {
    bool negate = ReadNegations(cursor);
    if (*cursor == '(') {
      ++cursor;
      groups.push_back(Group{false, '\0', negate});
      continue;
    }
    Combine(groups.back(), EvalSimpleTerm(list, cursor) != negate);
    for (;;) {
      bool outermost = groups.size() == 1;
      if (outermost && oneTerm) return groups.back().value;
      if (*cursor == '&' || *cursor == '|') {
        groups.back().op = *cursor++;
        break;
      }
      if (outermost) return groups.back().value;
      if (*cursor == ')') ++cursor;
      Group done = groups.back();
      groups.pop_back();
      Combine(groups.back(), done.value != done.negate);
    }
  }
}

String TextAfterFirst(const String& item) { return Trimmed(item.Text() + 1, item.Text() + item.Length()); }

}  // namespace

String NextKeyword(const char*& cursor) {
  for (;;) {
    cursor = SkipSpace(cursor);
    const char* comma = strchr(cursor, ',');
    if (!comma) {
      const char* start = cursor;
      cursor += strlen(cursor);
      size_t length = TrimmedLength(start, cursor);
      return length ? MakeString(start, length) : String();  // null: exhausted
    }
    const char* start = cursor;
    cursor = SkipSpace(comma + 1);
    size_t length = TrimmedLength(start, comma);
    if (length) return MakeString(start, length);
  }
}

bool HasKeyword(const char* list, const char* word) {
  REQUIRE(list, "pKeywordList");
  REQUIRE(word, "pWord");
  ItemPlace place;
  return FindKeyword(list, word, &place);
}

bool AddKeyword(String& list, const char* word) {
  REQUIRE(word, "pWord");
  if (!*word) return false;
  const char* text = list.IsNull() ? "" : list.Text();
  if (HasKeyword(text, word)) return false;
  list = *text ? Concat6(text, ", ", word) : String(word);
  return true;
}

bool RemoveKeyword(String& list, const char* word) {
  REQUIRE(word, "pWord");
  if (list.IsNull()) return false;
  const char* text = list.Text();
  ItemPlace place;
  if (!FindKeyword(text, word, &place)) return false;
  size_t keep = static_cast<size_t>(place.begin - text);
  const char* rest = NextItemStart(place.next);
  if (!HasMoreKeywords(place.next)) {
    // The last item: its separator before it goes as well.
    while (keep > 0 && (text[keep - 1] == ',' || IsSpace(text[keep - 1]))) --keep;
    rest = "";
  }
  // A new block, so that other holders of the old one keep their text.
  list = Concat(MakeString(text, keep), rest);
  return true;
}

String NextToken(const char*& cursor, const char* stopCharacters) {
  const char* start = cursor;
  cursor += strcspn(cursor, stopCharacters);
  return Trimmed(start, cursor);
}

bool EvalKeywordTerm(const char* list, const char*& cursor) {
  REQUIRE(list, "pKeywordList");
  REQUIRE(cursor, "pExpression");
  return Evaluate(list, cursor, true);
}

bool EvalKeywordExpression(const char* list, const char*& cursor) {
  REQUIRE(list, "pKeywordList");
  REQUIRE(cursor, "pExpression");
  return Evaluate(list, cursor, false);
}

bool KeywordExpressionParses(const char* expression) {
  REQUIRE(expression, "pExpression");
  const char* cursor = expression;
  EvalKeywordExpression("", cursor);
  return *cursor == '\0';
}

String BadKeywordOperation(const char* operations) {
  REQUIRE(operations, "pOperations");
  const char* cursor = operations;
  for (String item = NextKeyword(cursor); !IsEmpty(item); item = NextKeyword(cursor)) {
    char op = item.Text()[0];
    if ((op == '!' || op == '?') && !KeywordExpressionParses(item.Text() + 1)) return item;
  }
  return String();
}

bool ApplyKeywordOps(String& list, const char* operations) {
  REQUIRE(operations, "pOperations");
  const char* cursor = operations;
  String pending;
  bool changed = false;
  for (String item = NextKeyword(cursor); !IsEmpty(item); item = NextKeyword(cursor)) {
    const char* current = list.IsNull() ? "" : list.Text();
    const char* expression = item.Text() + 1;
    switch (item.Text()[0]) {
      case '+':
        changed |= AddKeyword(list, TextAfterFirst(item));
        break;
      case '-':
        if (strcmp(item, "-*") == 0) {
          changed |= *current != '\0';
          list = "";
        } else {
          changed |= RemoveKeyword(list, TextAfterFirst(item));
        }
        break;
      case '!':
        if (EvalKeywordExpression(current, expression)) return changed;
        break;
      case '?':
        if (!EvalKeywordExpression(current, expression)) return changed;
        pending = TextAfterFirst(item);
        break;
      case '=':
        if (!pending.IsNull()) {
          bool removed = RemoveKeyword(list, pending);
          bool added = AddKeyword(list, TextAfterFirst(item));
          changed |= removed || added;
        }
        break;
      default:
        changed |= AddKeyword(list, item);
        break;
    }
  }
  return changed;
}
