#include "programs/galleria/template_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Scans a text; records the output and every call the scanner makes.
class RecordingParser : public TemplateParser {
 public:
  explicit RecordingParser(std::string input) : input_(std::move(input)) {}

  int GetChar() override {
    if (at_ >= input_.size()) return -1;
    return static_cast<unsigned char>(input_[at_++]);
  }
  void PutChar(int c) override { out += static_cast<char>(c); }
  bool BeginTag(const char* name) override {
    calls.push_back(std::string("begin ") + name);
    return std::string(name) != rejected;
  }
  int EndTag(const char* name) override {
    calls.push_back(std::string("end ") + name);
    return std::string(name) == lineTag ? 1 : 0;
  }
  void Attribute(const char* tag, const char* name, const char* value) override {
    calls.push_back(std::string("attr ") + tag + " " + name + "=" + value);
  }
  void Directive(const char* name, const char* rest) override {
    calls.push_back(std::string("dir ") + name + "|" + rest);
  }

  std::string out;
  std::vector<std::string> calls;
  std::string rejected = "no";  // BeginTag refuses this name
  std::string lineTag = "if";   // EndTag says this tag stands on its own line

 private:
  std::string input_;
  size_t at_ = 0;
};

struct Scan {
  std::string out;
  std::vector<std::string> calls;
};

Scan Scanned(const std::string& input) {
  RecordingParser parser(input);
  parser.Parse();
  return {parser.out, parser.calls};
}

using Calls = std::vector<std::string>;

TEST(TemplateParser, PlainTextAndHeldBackCharacters) {
  struct Case {
    const char* input;
    const char* out;
  } cases[] = {
      {"", ""},
      {"plain text\n", "plain text\n"},
      {"cost $5 & more", "cost $5 & more"},
      {"$$x", "$$x"},
      {"end$", "end$"},
      {"end&", "end&"},
      {"a&b&&c", "a&b&&c"},
      {"line one &\nline two\n", "line one line two\n"},
      {"a\r\nb\r\n", "a\nb\n"},
      {"x # not a directive\n", "x # not a directive\n"},
  };
  for (const Case& c : cases) {
    Scan s = Scanned(c.input);
    EXPECT_EQ(s.out, c.out) << c.input;
    EXPECT_TRUE(s.calls.empty()) << c.input;
  }
}

TEST(TemplateParser, NulBytesAreDropped) {
  EXPECT_EQ(Scanned(std::string("a\0b", 3)).out, "ab");
}

TEST(TemplateParser, TagWithAttributes) {
  Scan s = Scanned("<${x a='1' b c=2}>");
  EXPECT_EQ(s.out, "<>");
  EXPECT_EQ(s.calls, (Calls{"begin x", "attr x a=1", "attr x b=", "attr x c=2", "end x"}));
}

TEST(TemplateParser, AttributeValueForms) {
  struct Case {
    const char* input;
    Calls calls;
  } cases[] = {
      {"${t v=\"say \\\"hi\\\"\\nbye\"}", {"begin t", "attr t v=say \"hi\"\nbye", "end t"}},
      {"${t v='a \"q\" b'}", {"begin t", "attr t v=a \"q\" b", "end t"}},
      {"${t v = spaced }", {"begin t", "attr t v=spaced", "end t"}},
      {"${t v='q'junk w=1}", {"begin t", "attr t v=q", "attr t w=1", "end t"}},
      {"${t v=}", {"begin t", "attr t v=", "end t"}},
      {"${t\n  a\n  b=2\n}", {"begin t", "attr t a=", "attr t b=2", "end t"}},
      {"${t v='\\x\\\\'}", {"begin t", "attr t v=x\\", "end t"}},
  };
  for (const Case& c : cases) {
    Scan s = Scanned(c.input);
    EXPECT_EQ(s.out, "") << c.input;
    EXPECT_EQ(s.calls, c.calls) << c.input;
  }
}

TEST(TemplateParser, UnterminatedTagsEndAtEndOfInput) {
  EXPECT_EQ(Scanned("${t a=1").calls, (Calls{"begin t", "attr t a=1", "end t"}));
  EXPECT_EQ(Scanned("${t a='open").calls, (Calls{"begin t", "attr t a=open", "end t"}));
  EXPECT_EQ(Scanned("${t a='x\\").calls, (Calls{"begin t", "attr t a=x", "end t"}));
  // Input that ends inside the name is no tag at all.
  Scan s = Scanned("a ${name");
  EXPECT_EQ(s.out, "a ${name");
  EXPECT_TRUE(s.calls.empty());
}

TEST(TemplateParser, LongNamesAndValuesAreCut) {
  std::string name30(30, 'n');
  EXPECT_EQ(Scanned("${" + name30 + "}").calls, (Calls{"begin " + name30, "end " + name30}));

  std::string name31(31, 'n');
  Scan s = Scanned("${" + name31 + "x a=1}!");
  EXPECT_EQ(s.out, "${" + name31 + "x a=1}!");
  EXPECT_TRUE(s.calls.empty());

  std::string value(300, 'v');
  std::string attr(40, 'a');
  s = Scanned("${t " + attr + "=" + value + "}");
  EXPECT_EQ(s.calls, (Calls{"begin t", "attr t " + attr.substr(0, 31) + "=" + value.substr(0, 255),
                            "end t"}));
}

TEST(TemplateParser, RefusedTagIsWrittenAsText) {
  Scan s = Scanned("[${no a=1}]");
  EXPECT_EQ(s.out, "[${no a=1}]");
  EXPECT_EQ(s.calls, (Calls{"begin no"}));
  EXPECT_EQ(Scanned("[${no}]").out, "[${no}]");
}

TEST(TemplateParser, LineEndBehindTagDroppedOnlyWhenEndTagSaysSo) {
  EXPECT_EQ(Scanned("a\n${if}\nb\n").out, "a\nb\n");
  EXPECT_EQ(Scanned("a\n${x}\nb\n").out, "a\n\nb\n");
  EXPECT_EQ(Scanned("a\n${if} \nb\n").out, "a\n \nb\n");
}

TEST(TemplateParser, Comments) {
  struct Case {
    const char* input;
    const char* out;
  } cases[] = {
      {"a${-- note --}\nb", "ab"},
      {"a${-- x } y - } z --}b", "ab"},
      {"a${--}b--}c", "ac"},
      {"a${--note--}b--}c", "ac"},
      {"a${-- never closed", "a"},
      {"a${------------------------------------long}b --}c", "ac"},
  };
  for (const Case& c : cases) {
    Scan s = Scanned(c.input);
    EXPECT_EQ(s.out, c.out) << c.input;
    EXPECT_TRUE(s.calls.empty()) << c.input;
  }
}

TEST(TemplateParser, Directives) {
  struct Case {
    const char* input;
    const char* out;
    Calls calls;
  } cases[] = {
      {"#if x\nbody\n#endif\n", "body\n", {"dir if|x", "dir endif|"}},
      {"#include  \tname.txt  \n", "", {"dir include|name.txt  "}},
      {"# just a remark\ntext", "text", {}},
      {"#\ntext", "text", {}},
      {"text\n#log here", "text\n", {"dir log|here"}},
      {"#a\r\n#b\r\nc", "c", {"dir a|", "dir b|"}},
      {"one &\n#joined\n", "one ", {"dir joined|"}},
      {"${if}\n#after\n", "", {"begin if", "end if", "dir after|"}},
      {"${x}\n#after\n", "\n", {"begin x", "end x", "dir after|"}},
      {"${x}#no\n", "#no\n", {"begin x", "end x"}},
  };
  for (const Case& c : cases) {
    Scan s = Scanned(c.input);
    EXPECT_EQ(s.out, c.out) << c.input;
    EXPECT_EQ(s.calls, c.calls) << c.input;
  }
}

TEST(TemplateParser, LongDirectivePartsAreCut) {
  std::string name(40, 'd');
  std::string rest(300, 'r');
  Scan s = Scanned("#" + name + " " + rest + "\nafter");
  EXPECT_EQ(s.out, "after");
  EXPECT_EQ(s.calls, (Calls{"dir " + name.substr(0, 31) + "|" + rest.substr(0, 255)}));
}

TEST(TemplateParser, PutStringIgnoresNull) {
  RecordingParser parser("");
  parser.PutString(nullptr);
  parser.PutString("ok");
  EXPECT_EQ(parser.out, "ok");
}

}  // namespace
