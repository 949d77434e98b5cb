#include "shared/keywords.h"

#include <cstring>
#include <string_view>
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

// The next item at the cursor, which it moves on, as NextKeyword reads it:
// empty when the list is exhausted. The item stays in the list's text.
std::string_view NextItem(const char*& cursor) {
  for (;;) {
    cursor = SkipSpace(cursor);
    const char* start = cursor;
    // Items are short: a plain loop finds the comma or the end sooner than
    // a library search that is set up for each one.
    const char* end = cursor;
    while (*end && *end != ',') ++end;
    size_t length = TrimmedLength(start, end);
    if (!*end) {
      cursor = end;
      return std::string_view(start, length);
    }
    cursor = SkipSpace(end + 1);
    if (length) return std::string_view(start, length);
  }
}

// The item equals the word, letter case ignored.
bool SameKeyword(std::string_view item, std::string_view word) {
  return item.size() == word.size() && CompareNoCaseN(item.data(), word.data(), item.size()) == 0;
}

// Finds the first item equal to word; false when there is none.
bool FindKeyword(const char* list, std::string_view word, ItemPlace* place) {
  const char* cursor = list;
  for (;;) {
    const char* begin = cursor;
    std::string_view item = NextItem(cursor);
    if (item.empty()) return false;
    if (SameKeyword(item, word)) {
      place->begin = begin;
      place->next = cursor;
      return true;
    }
  }
}

bool HasMoreKeywords(const char* cursor) { return !NextItem(cursor).empty(); }

// Where the next item begins: past the white space and the commas of empty
// items that stand before it.
const char* NextItemStart(const char* cursor) {
  for (cursor = SkipSpace(cursor); *cursor == ','; cursor = SkipSpace(cursor + 1)) {
  }
  return cursor;
}

bool HasVisibleKeyword(const char* list) {
  const char* cursor = list;
  for (std::string_view item = NextItem(cursor); !item.empty(); item = NextItem(cursor)) {
    if (item[0] != '_') return true;
  }
  return false;
}

// [begin, end) without the white space at both ends.
std::string_view TrimmedView(const char* begin, const char* end) {
  begin = SkipSpace(begin);
  if (begin > end) begin = end;
  return std::string_view(begin, TrimmedLength(begin, end));
}

bool IsListed(const char* list, std::string_view word) {
  ItemPlace place;
  return !word.empty() && FindKeyword(list, word, &place);
}

// '"' word '"': the closing quote is skipped when present.
bool EvalQuotedTerm(const char* list, const char*& cursor) {
  const char* start = cursor + 1;
  const char* end = strchr(start, '"');
  if (!end) end = start + strlen(start);
  cursor = *end ? end + 1 : end;
  return IsListed(list, TrimmedView(start, end));
}

// A word up to the next ')', '&' or '|', the cursor left on that character.
bool EvalWordTerm(const char* list, const char*& cursor) {
  const char* start = cursor;
  cursor += strcspn(cursor, ")&|");
  return IsListed(list, TrimmedView(start, cursor));
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
      return EvalWordTerm(list, cursor);
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

// The open groups of an expression: a few in place, more on the heap, so
// that deep nesting cannot exhaust the program's stack and the usual
// expression allocates nothing.
class GroupStack {
 public:
  GroupStack() { Push(Group{}); }
  size_t size() const { return count_; }
  Group& back() { return count_ <= kInPlace ? inPlace_[count_ - 1] : more_[count_ - kInPlace - 1]; }
  void push_back(const Group& group) { Push(group); }
  void pop_back() {
    if (count_ > kInPlace) more_.pop_back();
    --count_;
  }

 private:
  static constexpr size_t kInPlace = 16;

  void Push(const Group& group) {
    if (count_ < kInPlace) {
      inPlace_[count_] = group;
    } else {
      more_.push_back(group);
    }
    ++count_;
  }

  Group inPlace_[kInPlace];
  std::vector<Group> more_;
  size_t count_ = 0;
};

// Evaluates one term (oneTerm) or a whole expression. Groups are kept on a
// stack of their own, so that deep nesting cannot exhaust the program's stack.
bool Evaluate(const char* list, const char*& cursor, bool oneTerm) {
  GroupStack groups;
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
  std::string_view item = NextItem(cursor);
  return item.empty() ? String() : MakeString(item.data(), item.size());  // null: exhausted
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
  const char* text = Chars(list);
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
    const char* current = Chars(list);
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
