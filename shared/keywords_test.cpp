#include "shared/keywords.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Items(const char* list) {
  std::vector<std::string> items;
  const char* cursor = list;
  for (;;) {
    String item = NextKeyword(cursor);
    if (item.Length() == 0) break;
    items.push_back(item.Text());
  }
  return items;
}

std::string Text(const String& s) { return s.IsNull() ? std::string("<null>") : std::string(s.Text()); }

bool Eval(const char* list, const char* expression, std::string* rest = nullptr) {
  const char* cursor = expression;
  bool value = EvalKeywordExpression(list, cursor);
  if (rest) *rest = cursor;
  return value;
}

}  // namespace

TEST(KeywordList, NextKeywordTrimsAndSkipsEmptyItems) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Items("sea ,, sky ,sun"), (V{"sea", "sky", "sun"}));
  EXPECT_EQ(Items("  a\t,b\n"), (V{"a", "b"}));
  EXPECT_EQ(Items(", ,a, ,"), (V{"a"}));
  EXPECT_EQ(Items("two words , x"), (V{"two words", "x"}));
  EXPECT_EQ(Items(""), V{});
  EXPECT_EQ(Items(" , , "), V{});
}

TEST(KeywordList, NextKeywordLeavesCursorAtEnd) {
  const char* list = "a, b";
  const char* cursor = list;
  EXPECT_STREQ(NextKeyword(cursor).Text(), "a");
  EXPECT_EQ(cursor, list + 3);
  EXPECT_STREQ(NextKeyword(cursor).Text(), "b");
  EXPECT_EQ(*cursor, '\0');
  EXPECT_TRUE(NextKeyword(cursor).IsNull());
  EXPECT_EQ(*cursor, '\0');
  const char* blanks = " , ";
  cursor = blanks;
  EXPECT_TRUE(NextKeyword(cursor).IsNull());
}

TEST(KeywordList, HasKeywordIgnoresCaseOfWholeItems) {
  EXPECT_TRUE(HasKeyword("birds, sea", "Birds"));
  EXPECT_TRUE(HasKeyword("birds, sea", "SEA"));
  EXPECT_FALSE(HasKeyword("birds, sea", "bird"));
  EXPECT_FALSE(HasKeyword("birds, sea", "se"));
  EXPECT_TRUE(HasKeyword("a, two words", "Two Words"));
  EXPECT_FALSE(HasKeyword("", "a"));
  EXPECT_FALSE(HasKeyword("a,,b", ""));
}

TEST(KeywordList, AddKeyword) {
  struct Case {
    const char* list;  // null: the null String
    const char* word;
    bool added;
    const char* after;
  } cases[] = {
      {"birds, sea", "BIRDS", false, "birds, sea"},
      {"", "x", true, "x"},
      {nullptr, "x", true, "x"},
      {"a", "x", true, "a, x"},
      {"a, b", "c", true, "a, b, c"},
      {"a", "", false, "a"},
      {"", "", false, ""},
  };
  for (const Case& c : cases) {
    String list(c.list);
    EXPECT_EQ(AddKeyword(list, c.word), c.added) << c.word;
    EXPECT_EQ(Text(list), c.after) << c.word;
  }
}

TEST(KeywordList, RemoveKeyword) {
  struct Case {
    const char* list;
    const char* word;
    bool removed;
    const char* after;
  } cases[] = {
      {"sea, sky, sun", "sky", true, "sea, sun"},
      {"sea, sky, sun", "SUN", true, "sea, sky"},
      {"sea, sky, sun", "sea", true, "sky, sun"},
      {"sea", "sea", true, ""},
      {" sea ", "sea", true, ""},
      {"sea ,, sky ,sun", "sky", true, "sea ,sun"},
      {"sea ,, sky ,sun", "sun", true, "sea ,, sky"},
      // The removal runs up to the next item itself, past empty items.
      {"sea ,, sky ,sun", "sea", true, "sky ,sun"},
      {"a, ,b", "a", true, "b"},
      {"a, , ,b, c", "b", true, "a, c"},
      {"a, b, ", "b", true, "a"},
      {"a, b, a", "a", true, "b, a"},
      {"sea, sky", "sk", false, "sea, sky"},
      {"", "a", false, ""},
  };
  for (const Case& c : cases) {
    String list(c.list);
    EXPECT_EQ(RemoveKeyword(list, c.word), c.removed) << c.list << " - " << c.word;
    EXPECT_EQ(Text(list), c.after) << c.list << " - " << c.word;
  }
  String none;
  EXPECT_FALSE(RemoveKeyword(none, "a"));
  EXPECT_TRUE(none.IsNull());
}

TEST(KeywordList, EditingLeavesOtherHoldersAlone) {
  String list("a, b");
  String copy = list;
  EXPECT_TRUE(RemoveKeyword(list, "a"));
  EXPECT_STREQ(list.Text(), "b");
  EXPECT_STREQ(copy.Text(), "a, b");
  EXPECT_TRUE(AddKeyword(list, "c"));
  EXPECT_STREQ(copy.Text(), "a, b");
}

TEST(KeywordList, NextTokenTrimsAndStopsOnStopCharacter) {
  const char* text = "  two words  & rest";
  const char* cursor = text;
  EXPECT_STREQ(NextToken(cursor, "&|").Text(), "two words");
  EXPECT_EQ(*cursor, '&');
  ++cursor;
  EXPECT_STREQ(NextToken(cursor, "&|").Text(), "rest");
  EXPECT_EQ(*cursor, '\0');
  const char* blank = "   ";
  cursor = blank;
  String empty = NextToken(cursor, ",");
  ASSERT_FALSE(empty.IsNull());
  EXPECT_STREQ(empty.Text(), "");
  EXPECT_EQ(*cursor, '\0');
}

TEST(KeywordExpression, Values) {
  struct Case {
    const char* list;
    const char* expression;
    bool value;
  } cases[] = {
      {"a", "a", true},
      {"a", "A", true},
      {"a", "b", false},
      {"a", "", false},
      {"a", "!a", false},
      {"a", "!b", true},
      {"a", "!!a", true},
      // Equal precedence, from the left: (a | b) & c.
      {"a", "a|b&c", false},
      {"a", "a|(b&c)", true},
      {"c", "a&b|c", true},
      {"a, c", "a & c", true},
      {"a, b", "a & !b", false},
      // Blanks are not skipped at a term's start: this reads the word "!b".
      {"c", "c & !b", false},
      {"c, !b", "c & !b", true},
      {"two words", "\"two words\"", true},
      {"two, words", "\"two words\"", false},
      {"x", "\" x \"", true},
      {"x", "\"x", true},
      {"x", "\"\"", false},
      {"_x, _y", "#", false},
      {"_x, Y", "#", true},
      {"", "#", false},
      {"_x", "*", true},
      {"", "*", false},
      {"a", "(a", true},
      {"a", "(b|a)&!(c)", true},
      {"a", "a|", true},
      {"a", "!(a|b)|!(c)", true},
      {"a", "!(!a)", true},
      {"a", "! a", false},
      {"b", "(a|(b&!c))&b", true},
      {"", "a|b", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Eval(c.list, c.expression), c.value) << "[" << c.list << "] " << c.expression;
  }
}

TEST(KeywordExpression, CursorStopsWhereTheExpressionEnds) {
  struct Case {
    const char* expression;
    const char* rest;
  } cases[] = {
      {"a|b", ""},
      {"(a|b) c", " c"},
      {"a) b", ") b"},
      {"\"a\" & b", " & b"},  // a blank after a quoted word ends it
      {"# | a", " | a"},
      {"*&a", ""},
  };
  for (const Case& c : cases) {
    std::string rest;
    Eval("a", c.expression, &rest);
    EXPECT_EQ(rest, c.rest) << c.expression;
  }
}

TEST(KeywordExpression, ParsesWhenNothingIsLeftOver) {
  struct Case {
    const char* expression;
    bool parses;
  } cases[] = {
      {"", true},          {"a", true},      {"(a|b", true},  // a missing ')' at the end is accepted
      {"a & !b", true},    {"two words", true}, {"\"a b\"|#", true},
      {"a)", false},       {"(a|b) c", false}, {"\"a\" & b", false},
      {"#x", false},       {"*a", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(KeywordExpressionParses(c.expression), c.parses) << c.expression;
  }
  EXPECT_TRUE(BadKeywordOperation("+a, -b, ?c&d, =e, !(f|g), h)").IsNull());
  EXPECT_STREQ(BadKeywordOperation("+a, ?b), =c, !d)").Text(), "?b)");
  EXPECT_STREQ(BadKeywordOperation("!#x").Text(), "!#x");
}

TEST(KeywordExpression, TermReadsOneTerm) {
  struct Case {
    const char* expression;
    bool value;
    const char* rest;
  } cases[] = {
      {"a|b", true, "|b"},
      {"!(b|a)&c", false, "&c"},
      {"\"a\"b", true, "b"},
      {"#|x", true, "|x"},
      {"x y)z", false, ")z"},
  };
  for (const Case& c : cases) {
    const char* cursor = c.expression;
    EXPECT_EQ(EvalKeywordTerm("a", cursor), c.value) << c.expression;
    EXPECT_STREQ(cursor, c.rest) << c.expression;
  }
}

TEST(KeywordExpression, EveryTermIsEvaluated) {
  // The term after a decided '|' is still read: the cursor passes all of it.
  const char* expression = "a|(b&c)|d";
  const char* cursor = expression;
  EXPECT_TRUE(EvalKeywordTerm("a", cursor));
  EXPECT_EQ(*cursor, '|');
  cursor = expression;
  EXPECT_TRUE(EvalKeywordExpression("a", cursor));
  EXPECT_EQ(*cursor, '\0');
}

TEST(KeywordOperations, Apply) {
  struct Case {
    const char* list;
    const char* operations;
    bool changed;
    const char* after;
  } cases[] = {
      {"a", "?z,=y,+w", false, "a"},
      {"a", "-a,-*", true, ""},
      {"", "-*", false, ""},
      {"a", "-*,+b", true, "b"},
      {"a, old, b", "?old,=new", true, "a, b, new"},
      {"a", "?old,=new", false, "a"},
      {"a", "=new", false, "a"},
      {"a, _locked", "!_locked,+seen", false, "a, _locked"},
      {"a", "!_locked,+seen", true, "a, seen"},
      {"a", "+ b ,- a", true, "b"},
      {"a", "b, c", true, "a, b, c"},
      {"a", "A", false, "a"},
      {"a", "+,-,+ ", false, "a"},
      {"a", "-b", false, "a"},
      {"a, old", "? old ,= new", true, "a, new"},
      // The pending text is the whole expression, which names no keyword.
      {"a, b", "?a&b,=c", true, "a, b, c"},
      {"a", "+b,!b,+c", true, "a, b"},
      {"", "", false, ""},
  };
  for (const Case& c : cases) {
    String list(c.list);
    EXPECT_EQ(ApplyKeywordOps(list, c.operations), c.changed) << c.list << " / " << c.operations;
    EXPECT_EQ(Text(list), c.after) << c.list << " / " << c.operations;
  }
  String none;
  EXPECT_TRUE(ApplyKeywordOps(none, "+x"));
  EXPECT_STREQ(none.Text(), "x");
}

TEST(KeywordDeathTest, MissingArgumentsAreReportedByName) {
  String list("a");
  EXPECT_EXIT(HasKeyword(nullptr, "a"), testing::ExitedWithCode(3), "pKeywordList");
  EXPECT_EXIT(HasKeyword("a", nullptr), testing::ExitedWithCode(3), "pWord");
  EXPECT_EXIT(AddKeyword(list, nullptr), testing::ExitedWithCode(3), "pWord");
  EXPECT_EXIT(ApplyKeywordOps(list, nullptr), testing::ExitedWithCode(3), "pOperations");
  const char* none = nullptr;
  EXPECT_EXIT(EvalKeywordExpression("a", none), testing::ExitedWithCode(3), "pExpression");
}

TEST(KeywordExpression, DeepNestingIsEvaluated) {
  std::string groups(100000, '(');
  groups += "a";
  std::string negations(100001, '!');
  negations += "a";
  EXPECT_TRUE(Eval("a", groups.c_str()));
  EXPECT_FALSE(Eval("a", negations.c_str()));
}
