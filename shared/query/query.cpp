#include "shared/query/query.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/assert.h"
#include "shared/chars.h"
#include "shared/entry.h"
#include "shared/string.h"

namespace {

// Byte codes; an operand code is followed by its zero-terminated text.
enum Code : unsigned char {
  kEnd = 0, kOperand = 1, kQuotedOperand = 2,
  kEqual = 3, kNotEqual = 4, kLess = 5, kLessEqual = 6, kGreater = 7, kGreaterEqual = 8,
  kContains = 9, kContainsWord = 10, kBeginsWith = 11, kBeginsWithWord = 12, kWildcard = 13,
  kNot = 14, kAnd = 15, kOr = 16, kOpen = 17, kClose = 18,
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsQuote(char c) { return c == '"' || c == '\''; }
bool EndsOperand(char c) { return c && strchr("~=<>!&|(),;", c); }
bool IsOperandCode(unsigned char c) { return c == kOperand || c == kQuotedOperand; }
bool IsComparison(unsigned char c) { return c >= kEqual && c <= kWildcard; }

// --- Compiling -------------------------------------------------------------

// Reads an operator at p; returns its code and moves p past it, or returns
// kEnd without moving when p does not start an operator.
unsigned char ReadOperator(const char*& p) {
  auto next = [&p](char c) { return p[1] == c; };
  const char* start = p;
  unsigned char code = kEnd;
  int length = 1;
  switch (*p) {
    case '<':
      if (next('<')) { code = p[2] == '<' ? kBeginsWithWord : kBeginsWith; length = p[2] == '<' ? 3 : 2; }
      else if (next('=')) { code = kLessEqual; length = 2; }
      else if (next('>')) { code = kNotEqual; length = 2; }
      else code = kLess;
      break;
    case '>':
      if (next('=')) { code = kGreaterEqual; length = 2; }
      else if (next('<')) { code = kNotEqual; length = 2; }
      else if (next('>')) { code = p[2] == '>' ? kContainsWord : kContains; length = p[2] == '>' ? 3 : 2; }
      else code = kGreater;
      break;
    case '=':
      code = next('<') ? kLessEqual : next('>') ? kGreaterEqual : kEqual;
      length = next('<') || next('=') || next('>') ? 2 : 1;
      break;
    case '!':
      code = next('=') ? kNotEqual : kNot;
      length = next('=') ? 2 : 1;
      break;
    case '~':
      code = kWildcard;
      length = next('=') ? 2 : 1;
      break;
    case '&':
    case '|':
      code = *p == '&' ? kAnd : kOr;
      length = next(*p) ? 2 : 1;
      break;
    case ',':
      code = kAnd;
      break;
    default:
      return kEnd;
  }
  p = start + length;
  return code;
}

// Appends the operand at p (its code and text) and moves p past it.
void ReadOperand(const char*& p, std::string& code) {
  code += static_cast<char>(IsQuote(*p) ? kQuotedOperand : kOperand);
  size_t start = code.size();
  size_t keep = start;  // blanks after the last quoted stretch are cut back to here
  while (*p && !EndsOperand(*p)) {
    if (!IsQuote(*p)) {
      if (static_cast<unsigned char>(*p) >= 32) code += *p;
      if (!IsBlank(*p)) keep = code.size();
      ++p;
      continue;
    }
    char quote = *p++;
    while (*p && *p != quote) {
      if (static_cast<unsigned char>(*p) >= 32) code += *p;
      ++p;
    }
    if (*p) ++p;
    keep = code.size();
  }
  while (code.size() > keep && code.back() == ' ') code.pop_back();
  code += '\0';
}

std::string CompileQuery(const char* p) {
  std::string code;
  int depth = 0;
  for (;;) {
    while (IsBlank(*p)) ++p;
    if (!*p || *p == ';') break;
    if (*p == '(') {
      ++depth;
      code += static_cast<char>(kOpen);
      ++p;
    } else if (*p == ')') {
      if (depth == 0) break;
      --depth;
      code += static_cast<char>(kClose);
      ++p;
    } else if (unsigned char op = ReadOperator(p)) {
      code += static_cast<char>(op);
    } else {
      ReadOperand(p, code);
    }
  }
  code += static_cast<char>(kEnd);
  return code;
}

// --- Evaluating ------------------------------------------------------------

bool IsNumberText(const char* text) { return strspn(text, "0123456789.-") == strlen(text); }

bool Ordered(int comparison, unsigned char op) {
  switch (op) {
    case kEqual: return comparison == 0;
    case kNotEqual: return comparison != 0;
    case kLess: return comparison < 0;
    case kLessEqual: return comparison <= 0;
    case kGreater: return comparison > 0;
    default: return comparison >= 0;
  }
}

bool IsWordCharacter(char c) { return IsAlnum(c) || c == '-'; }

bool ContainsWord(const char* value, const char* text) {
  size_t length = strlen(text);
  for (const char* at = FindNoCase(value, text); at; at = *at ? FindNoCase(at + 1, text) : nullptr) {
    bool startsWord = at == value || !IsWordCharacter(at[-1]);
    if (startsWord && !IsWordCharacter(at[length])) return true;
  }
  return false;
}

bool CompareNumbers(const char* value, const char* text, unsigned char op) {
  if (!value || !IsNumberText(value)) return false;
  double a = atof(value), b = atof(text);
  return Ordered(a < b ? -1 : a > b ? 1 : 0, op);
}

bool CompareTexts(const char* value, const char* text, unsigned char op) {
  if (!value) value = "";
  size_t length = strlen(text);
  switch (op) {
    case kContains: return FindNoCase(value, text) != nullptr;
    case kContainsWord: return ContainsWord(value, text);
    case kBeginsWith: return CompareNoCaseN(value, text, length) == 0;
    case kBeginsWithWord:
      return CompareNoCaseN(value, text, length) == 0 && !IsWordCharacter(value[length]);
    case kWildcard: return WildcardMatch(value, text);
    default: return Ordered(CompareNoCase(value, text), op);
  }
}

class Evaluator {
 public:
  Evaluator(const std::string& code, AttributeStore* store)
      : code_(reinterpret_cast<const unsigned char*>(code.c_str())), store_(store) {}

  // Terms joined by and/or, of equal precedence, from the left; every term is
  // evaluated. Groups are kept on a stack of their own, so that deep nesting
  // in a request cannot exhaust the program's stack.
  bool EvalOr() {
    std::vector<Group> groups(1);
    for (;;) {
      bool negate = ReadNegations();
      if (code_[pos_] == kOpen) {
        ++pos_;
        groups.push_back(Group{false, kEnd, negate});
        continue;
      }
      Combine(groups.back(), EvalTerm() != negate);
      for (;;) {
        unsigned char c = code_[pos_];
        if (c == kAnd || c == kOr) {
          groups.back().op = c;
          ++pos_;
          break;
        }
        if (groups.size() == 1) return groups.back().value;
        if (c == kClose) ++pos_;
        Group done = groups.back();
        groups.pop_back();
        Combine(groups.back(), done.value != done.negate);
      }
    }
  }

 private:
  struct Group {
    bool value;
    unsigned char op;  // kEnd before the first term, else kAnd or kOr
    bool negate;       // the group stands after an odd number of '!'
  };

  static void Combine(Group& group, bool term) {
    if (group.op == kEnd) group.value = term;
    else if (group.op == kAnd) group.value = group.value && term;
    else group.value = group.value || term;
  }

  bool ReadNegations() {
    bool negate = false;
    while (code_[pos_] == kNot) {
      negate = !negate;
      ++pos_;
    }
    return negate;
  }

  const char* ReadText() {
    const char* text = reinterpret_cast<const char*>(code_ + pos_);
    pos_ += strlen(text) + 1;
    return text;
  }

  bool EvalTerm() {
    if (!IsOperandCode(code_[pos_])) return false;
    ++pos_;
    const char* name = ReadText();
    unsigned char op = code_[pos_];
    if (!IsComparison(op)) return store_->HasAttribute(name);
    ++pos_;
    unsigned char operand = code_[pos_];
    if (!IsOperandCode(operand)) return false;
    ++pos_;
    const char* text = ReadText();
    const char* value = store_->GetAttribute(name);
    if (operand == kOperand && op <= kGreaterEqual && IsNumberText(text)) {
      return CompareNumbers(value, text, op);
    }
    return CompareTexts(value, text, op);
  }

  const unsigned char* code_;
  size_t pos_ = 0;
  AttributeStore* store_;
};

}  // namespace

Query::Query(const char* expression) {
  if (!expression) AssertionFailed("pExpression", __FILE__, __LINE__);
  code_ = CompileQuery(expression);
}

Query::~Query() = default;

bool Query::Matches(AttributeStore* store) const {
  if (!store) AssertionFailed("pAttributeStore", __FILE__, __LINE__);
  if (code_[0] == kEnd) return false;
  return Evaluator(code_, store).EvalOr();
}
