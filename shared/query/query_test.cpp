#include "shared/query/query.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "shared/entry.h"
#include "shared/string.h"

namespace {

// A store of named texts; names are compared without regard to case, and an
// attribute that is present with a null value is written as "<null>".
class FakeStore : public AttributeStore {
 public:
  FakeStore(std::initializer_list<std::pair<const std::string, std::string>> values) {
    for (const auto& [name, value] : values) values_[Upper(name)] = value;
  }
  bool HasAttribute(const char* name) override {
    ++calls;
    return values_.count(Upper(name)) > 0;
  }
  const char* GetAttribute(const char* name) override {
    ++calls;
    auto it = values_.find(Upper(name));
    if (it == values_.end() || it->second == "<null>") return nullptr;
    return it->second.c_str();
  }
  int calls = 0;

 private:
  static std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return text;
  }
  std::map<std::string, std::string> values_;
};

bool Match(const char* expression, FakeStore store) { return Query(expression).Matches(&store); }

std::string Code(const char* expression) { return Query(expression).Code(); }
std::string Bytes(const char* bytes, size_t size) { return std::string(bytes, size - 1); }
#define BYTES(literal) Bytes(literal, sizeof literal)

}  // namespace

TEST(QueryCompile, Operators) {
  struct Case {
    const char* expression;
    int code;
  } cases[] = {
      {"a = b", 3},   {"a == b", 3},  {"a != b", 4},  {"a <> b", 4},  {"a >< b", 4},
      {"a < b", 5},   {"a <= b", 6},  {"a =< b", 6},  {"a > b", 7},   {"a >= b", 8},
      {"a => b", 8},  {"a >> b", 9},  {"a >>> b", 10}, {"a << b", 11}, {"a <<< b", 12},
      {"a ~ b", 13},  {"a ~= b", 13}, {"a & b", 15},  {"a && b", 15}, {"a , b", 15},
      {"a | b", 16},  {"a || b", 16},
  };
  for (const Case& c : cases) {
    std::string expected = BYTES("\1a\0?\1b\0\0");
    expected[3] = static_cast<char>(c.code);
    EXPECT_EQ(Code(c.expression), expected) << c.expression;
  }
}

TEST(QueryCompile, OperandsAndGroups) {
  struct Case {
    const char* expression;
    std::string code;
  } cases[] = {
      {"", BYTES("\0")},
      {"   ", BYTES("\0")},
      {"TITLE", BYTES("\1TITLE\0\0")},
      {"!ALIAS", BYTES("\16\1ALIAS\0\0")},
      {"!(a)", BYTES("\16\21\1a\0\22\0")},
      {"two words  = x", BYTES("\1two words\0\3\1x\0\0")},
      {"t = 'a b '", BYTES("\1t\0\3\2a b \0\0")},
      {"t = \"it's\"", BYTES("\1t\0\3\2it's\0\0")},
      {"t = 'a' 'b' ", BYTES("\1t\0\3\2a b\0\0")},
      {"NAME = O'Brien", BYTES("\1NAME\0\3\1OBrien\0\0")},
      {"t = 'a=(b)'", BYTES("\1t\0\3\2a=(b)\0\0")},
      {"t = a\tb\x01", BYTES("\1t\0\3\1ab\0\0")},
      {"a = 1 ; b", BYTES("\1a\0\3\1\x31\0\0")},
      {"a) | b", BYTES("\1a\0\0")},
      {"(a)) | b", BYTES("\21\1a\0\22\0")},
      {"((a", BYTES("\21\21\1a\0\0")},
      {"t = caf\xe9", BYTES("\1t\0\3\1caf\xe9\0\0")},
  };
  for (const Case& c : cases) EXPECT_EQ(Code(c.expression), c.code) << c.expression;
}

TEST(QueryCompile, OneCharacterOperandsFit) {
  // Each one-character operand takes three bytes of code.
  EXPECT_EQ(Code("a&b&c&d"), BYTES("\1a\0\17\1b\0\17\1c\0\17\1d\0\0"));
  std::string many;
  for (int i = 0; i < 500; ++i) many += "a,";
  many += "a";
  Query query(many.c_str());
  EXPECT_EQ(query.Code().size(), 501u * 3 + 500 + 1);
  FakeStore store{{"a", ""}};
  EXPECT_TRUE(query.Matches(&store));
}

TEST(QueryMatch, PresenceAndLogic) {
  FakeStore store{{"TITLE", "Beach"}, {"A", ""}, {"ALIAS", "1"}};
  struct Case {
    const char* expression;
    bool value;
  } cases[] = {
      {"TITLE", true},
      {"title", true},
      {"B", false},
      {"", false},
      {"!B", true},
      {"!!TITLE", true},
      {"!ALIAS & (A | B)", false},
      {"!B & (A | B)", true},
      {"!(ALIAS & B)", true},
      {"A | B & C", false},  // equal precedence, from the left
      {"A | (B & C)", true},
      {"B & C | A", true},
      {"a = 1 ; b", false},
      {"A ; B", true},
      {"A) & B", true},
      {"(A", true},
      {"()", false},
      {"& A", false},
      {"TITLE = = Beach", false},
      {"TITLE =", false},
      {"(((A)))", true},
  };
  for (const Case& c : cases) EXPECT_EQ(Match(c.expression, store), c.value) << c.expression;
}

TEST(QueryMatch, EveryTermIsAsked) {
  FakeStore store{{"A", ""}};
  Query query("A | B | C & D");
  EXPECT_FALSE(query.Matches(&store));
  EXPECT_EQ(store.calls, 4);
}

TEST(QueryMatch, Comparisons) {
  struct Case {
    const char* expression;
    const char* value;  // of the attribute V; "<null>" for none
    bool result;
  } cases[] = {
      {"V < 10", "9", true},
      {"V < 10", "10.5", false},
      {"V < 10", "abc", false},
      {"V < 10", "<null>", false},
      {"V < '10'", "9", false},  // texts: '9' sorts after '10'
      {"V > '10'", "9", true},
      {"V = 5", "5.0", true},
      {"V != 5", "5.0", false},
      {"V >= -1.5", "-1.5", true},
      {"V <= 3", "-", true},  // both read as 0
      {"V = ", "", false},  // no comparison text
      {"V = x", "X", true},
      {"V != x", "y", true},
      {"V = x", "<null>", false},
      {"V = ''", "<null>", true},
      {"V < b", "A", true},
      {"V >= B", "b", true},
      {"V >> ea", "the SEA", true},
      {"V >> z", "sea", false},
      {"V >>> 'sea'", "sea, sand", true},
      {"V >>> 'sea'", "the sea", true},
      {"V >>> 'sea'", "red-sea", false},
      {"V >>> 'sea'", "seaside", false},
      {"V >>> 'sea'", "seaside, sea", true},
      {"V >>> sea", "SEA", true},
      {"V >>> 'sea'", "<null>", false},
      {"V << 'img'", "IMG_0001", true},
      {"V << 'img'", "image", false},
      {"V <<< 'img'", "IMG_0001", true},
      {"V <<< 'img'", "image", false},
      {"V <<< 'img'", "img-2", false},
      {"V <<< 'img'", "img", true},
      {"V ~ 'IMG*'", "img_7.jpg", true},
      {"V ~= '*.jpg'", "a.png", false},
      {"V ~ '*'", "<null>", true},
      {"V = 10", "10", true},
      {"V = '10'", "10.0", false},
      {"V = 1.0.0", "1", true},  // read as numbers as far as they go
  };
  for (const Case& c : cases) {
    FakeStore store{{"V", c.value}};
    EXPECT_EQ(Match(c.expression, store), c.result) << c.expression << " on " << c.value;
  }
}

TEST(QueryMatch, QuotedNameIsAnAttributeName) {
  FakeStore store{{"two words", "x"}};
  EXPECT_TRUE(Match("'two words' = x", store));
  EXPECT_TRUE(Match("two words", store));
}

TEST(QueryMatch, DeepNestingIsEvaluated) {
  std::string expression(100000, '(');
  expression += "A";
  std::string negated(100001, '!');
  negated += "A";
  FakeStore store{{"A", ""}};
  EXPECT_TRUE(Query(expression.c_str()).Matches(&store));
  EXPECT_FALSE(Query(negated.c_str()).Matches(&store));
}

TEST(QueryMatch, OnEntries) {
  Entry entry;
  entry.SetTitle("IMG_0001");
  entry.SetKeywords("beach, Sea");
  entry.SetFileInfo("3 files; {100, 640, 480, 3, 3, 12, 0}");
  entry.thumbWidth = 120;
  struct Case {
    const char* expression;
    bool value;
  } cases[] = {
      {"TITLE <<< 'img'", true},
      {"beach & sea", true},
      {"beach & !sand", true},
      {"COUNT > 10", true},
      {"SIZE = 300", true},
      {"THUMBWIDTH = 120", true},
      {"THUMBWIDTH", false},
      {"#", true},
      {"KEYWORDS >>> 'beach'", false},  // KEYWORDS is a keyword test, no text
      {"SORTORDER < 100", false},
  };
  for (const Case& c : cases) EXPECT_EQ(Query(c.expression).Matches(&entry), c.value) << c.expression;
}

TEST(QueryDeathTest, MissingArgumentsAreReportedByName) {
  EXPECT_EXIT(Query(nullptr), testing::ExitedWithCode(3), "pExpression");
  Query query("a");
  EXPECT_EXIT(query.Matches(nullptr), testing::ExitedWithCode(3), "pAttributeStore");
}
