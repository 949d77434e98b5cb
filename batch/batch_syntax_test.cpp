#include "batch/batch_syntax.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace weft_batch {
namespace {

std::string Describe(const Node& node);

std::string DescribeRedirect(const Redirect& r) {
  switch (r.kind) {
    case Redirect::Kind::kRead: return " <" + r.target;
    case Redirect::Kind::kWrite: return " " + std::to_string(r.handle) + ">" + r.target;
    case Redirect::Kind::kAppend: return " " + std::to_string(r.handle) + ">>" + r.target;
    case Redirect::Kind::kDuplicate:
      return " " + std::to_string(r.handle) + ">&" + std::to_string(r.duplicateOf);
  }
  return "";
}

// "[text redirections]", "(a & b)", "(a && b)", "(a || b)",
// "if[not] exist X {body}", "if errorlevel N {body}", "if L==R {body}".
std::string Describe(const Node& node) {
  switch (node.kind) {
    case Node::Kind::kCommand: {
      std::string out = "[" + node.text;
      for (const Redirect& r : node.redirects) out += DescribeRedirect(r);
      return out + "]";
    }
    case Node::Kind::kIf: {
      std::string out = node.negate ? "ifnot " : "if ";
      if (node.test == Node::Test::kExist) out += "exist " + node.left;
      if (node.test == Node::Test::kErrorLevel) out += "errorlevel " + node.left;
      if (node.test == Node::Test::kCompare) out += node.left + "==" + node.right;
      return out + " {" + Describe(*node.first) + "}";
    }
    case Node::Kind::kThen: return "(" + Describe(*node.first) + " & " + Describe(*node.second) + ")";
    case Node::Kind::kAnd: return "(" + Describe(*node.first) + " && " + Describe(*node.second) + ")";
    case Node::Kind::kOr: return "(" + Describe(*node.first) + " || " + Describe(*node.second) + ")";
  }
  return "?";
}

struct ParseCase {
  const char* line;
  const char* tree;  // Describe() of the result, or the error message
};

TEST(BatchSyntax, OperatorsRedirectionsQuotesAndIf) {
  const ParseCase cases[] = {
      {"echo a", "[echo a]"},
      {"  @@ echo  a  ", "[echo  a]"},
      {"echo a & echo b", "([echo a] & [echo b])"},
      {"a && b || c", "(([a] && [b]) || [c])"},
      {"a & b && c", "([a] & ([b] && [c]))"},
      {"a && b & c", "(([a] && [b]) & [c])"},
      {"a &", "[a]"},
      {"a & @b", "([a] & [b])"},
      // Quotes protect every operator; the quotes stay in the text.
      {"echo \"a & b | c > d\" > \"o u t.txt\"", "[echo \"a & b | c > d\" 1>\"o u t.txt\"]"},
      {"prog >out 2>&1", "[prog 1>out 2>&1]"},
      {"prog 2>>err.txt <in.txt arg", "[prog arg 2>>err.txt <in.txt]"},
      {"prog 1>o 2> e", "[prog 1>o 2>e]"},
      {"echo a2>x", "[echo a2 1>x]"},  // a digit inside a word is no handle
      {">empty.txt", "[ 1>empty.txt]"},
      {"echo ^<b^> ^& ^| ^^", "[echo <b> & | ^]"},
      {"echo \"^&\"", "[echo \"^&\"]"},
      // %-references are not looked into: their values come later, as data.
      {"echo %Q% > %F%", "[echo %Q% 1>%F%]"},
      {"rem a & b > c | d", "[rem a & b > c | d]"},
      {"REM", "[REM]"},
      {"if exist x echo a & echo b", "if exist x {([echo a] & [echo b])}"},
      {"if not exist \"a b\" md \"a b\"", "ifnot exist \"a b\" {[md \"a b\"]}"},
      {"IF ERRORLEVEL 2 goto end", "if errorlevel 2 {[goto end]}"},
      {"if \"%A%\"==\"b c\" echo y", "if \"%A%\"==\"b c\" {[echo y]}"},
      {"if a == b echo y > o", "if a==b {[echo y 1>o]}"},
      {"if not %X%==1 exit /b 1", "ifnot %X%==1 {[exit /b 1]}"},
      {"echo a && if exist b echo c || echo d", "([echo a] && if exist b {([echo c] || [echo d])})"},
  };
  for (const ParseCase& c : cases) {
    std::string error;
    std::unique_ptr<Node> node = ParseLine(c.line, &error);
    ASSERT_TRUE(node) << c.line << ": " << error;
    EXPECT_EQ(error, "") << c.line;
    EXPECT_EQ(Describe(*node), c.tree) << c.line;
  }
}

TEST(BatchSyntax, ErrorsAndEmptyLines) {
  const ParseCase cases[] = {
      {"a | b", "'|' (a pipe) is not supported; redirect to a file instead."},
      {"& a", "& was unexpected at this time."},
      {"|| a", "|| was unexpected at this time."},
      {"a && ", "The syntax of the command is incorrect."},
      {"a && & b", "& was unexpected at this time."},
      {"echo >", "The syntax of the command is incorrect."},
      {"echo a 2>", "The syntax of the command is incorrect."},
      {"if x", "The syntax of the command is incorrect."},
      {"if exist", "The syntax of the command is incorrect."},
      {"if exist x", "The syntax of the command is incorrect."},
      {"if a== echo", "The syntax of the command is incorrect."},
      {"if a==b & echo", "The syntax of the command is incorrect."},
      {"", ""},
      {"   ", ""},
      {" @ ", ""},
  };
  for (const ParseCase& c : cases) {
    std::string error;
    EXPECT_EQ(ParseLine(c.line, &error), nullptr) << c.line;
    EXPECT_EQ(error, c.tree) << c.line;
  }
}

TEST(BatchSyntax, RawWordsKeepTheirQuotes) {
  std::vector<std::string> words;
  for (const RawWord& w : SplitRawWords("  copy \"a b\"  x\"y z\" /-Y  ")) words.push_back(w.text);
  EXPECT_EQ(words, (std::vector<std::string>{"copy", "\"a b\"", "x\"y z\"", "/-Y"}));
  EXPECT_EQ(SplitRawWords("a  b")[1].start, 3u);
}

}  // namespace
}  // namespace weft_batch
