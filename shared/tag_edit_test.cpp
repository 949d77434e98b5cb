#include "shared/tag_edit.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A tag in a heap block of exactly `capacity` bytes, so that any write past
// the capacity is caught by the address sanitizer.
struct Tag {
  explicit Tag(const char* text, int capacity = 0)
      : bytes(capacity ? capacity : strlen(text) + 64) {
    memcpy(bytes.data(), text, strlen(text) + 1);
  }
  char* Text() { return bytes.data(); }
  int Capacity() const { return static_cast<int>(bytes.size()); }
  std::vector<char> bytes;
};

// Every attribute of a tag as 'NAME=[value]', blank-separated.
std::string Attributes(const char* text, int valueSize = 256) {
  Tag tag(text);
  TagParser parser(tag.Text(), tag.Capacity());
  char name[kAttributeNameSize];
  std::vector<char> value(257, '\0');
  memset(value.data(), 'z', 8);  // shows when nothing was written
  std::string result;
  while (parser.NextAttribute(name, value.data(), valueSize)) {
    if (!result.empty()) result += " ";
    result += std::string(name) + "=[" + value.data() + "]";
  }
  return result;
}

TEST(TagParser, ReadsAttributes) {
  struct {
    const char* tag;
    const char* attributes;
  } cases[] = {
      {"<A HREF = 'x y' TARGET=_top>", "HREF=[x y] TARGET=[_top]"},
      {"<TD NOWRAP>", "NOWRAP=[]"},
      {"<P>", ""},
      {"<BR/>", ""},
      {"<IMG SRC=\"a b.jpg\" ALT='' BORDER=0>", "SRC=[a b.jpg] ALT=[] BORDER=[0]"},
      {"<A\tB\n=\r\"c\"\fD>", "B=[c] D=[]"},
      {"<A HREF=>", "HREF=[]"},
      {"<A HREF=", "HREF=[]"},
      {"<A HREF=\"x", "HREF=[x]"},            // the quote never closes
      {"<A HREF=a\"b'c>", "HREF=[a\"b'c]"},   // quotes inside a bare value
      {"<A T='a\"b'X=1>", "T=[a\"b] X=[1]"},  // no blank needed after a quote
      {"<A B C>", "B=[] C=[]"},
      {"<A B=x/>", "B=[x/]"},
      {"<A =x B=y>", ""},                     // no name: the walk ends
      {"<A B=\xE9x C=d>", "B=[]"},            // bytes above 127 are no graphic
      {"<A 123456789012345678901234567890123456=1>", "12345678901234567890123456789012=[1]"},
  };
  for (const auto& c : cases) EXPECT_EQ(Attributes(c.tag), c.attributes) << c.tag;
}

TEST(TagParser, ValueCopiesAreCut) {
  EXPECT_EQ(Attributes("<A B=abcdef C='xyz'>", 4), "B=[abc] C=[xyz]");
  EXPECT_EQ(Attributes("<A B=abcdef>", 1), "B=[]");
  EXPECT_EQ(Attributes("<A B=abcdef>", 0), "B=[zzzzzzzz]");  // nothing written
  Tag tag("<A B=1 C=2>");
  TagParser parser(tag.Text(), tag.Capacity());
  char name[kAttributeNameSize];
  EXPECT_TRUE(parser.NextAttribute(name, nullptr, 10));
  EXPECT_TRUE(parser.NextAttribute(name, nullptr, 10));
  EXPECT_STREQ(name, "C");
  EXPECT_FALSE(parser.NextAttribute(name, nullptr, 10));
}

TEST(TagParser, TagName) {
  struct {
    const char* tag;
    int size;
    const char* name;
  } cases[] = {
      {"<A HREF=x>", 16, "A"},     {"</TITLE>", 16, "/TITLE"}, {"<TITLE>", 3, "TI"},
      {"<IMG\tSRC=x>", 16, "IMG"}, {"<>", 16, ""},             {"<META", 16, "META"},
      {"<P\xE9>", 16, "P"},        {"<!DOCTYPE html>", 16, "!DOCTYPE"},
  };
  for (const auto& c : cases) {
    Tag tag(c.tag);
    TagParser parser(tag.Text(), tag.Capacity());
    char buffer[16];
    EXPECT_EQ(parser.TagName(buffer, c.size), buffer);
    EXPECT_STREQ(buffer, c.name) << c.tag;
  }
}

TEST(TagParser, QuoteFor) {
  struct {
    const char* value;
    char quote;
  } cases[] = {
      {"", '"'},      {"abc123", 0},   {"a.b", '"'},    {"x y", '"'},
      {"a\"b", '\''}, {"it's", '"'},   {"a'\"", '\''},  {"\xE9", '"'},
  };
  for (const auto& c : cases) EXPECT_EQ(TagParser::QuoteFor(c.value), c.quote) << c.value;
}

TEST(TagParser, FindAttributeIgnoresCaseAndStartsOver) {
  Tag tag("<meta NAME=Keywords content=\"a, b\">");
  TagParser parser(tag.Text(), tag.Capacity());
  char value[32];
  EXPECT_TRUE(parser.FindAttribute("CONTENT", value, sizeof value));
  EXPECT_STREQ(value, "a, b");
  EXPECT_TRUE(parser.FindAttribute("name", value, sizeof value));
  EXPECT_STREQ(value, "Keywords");
  EXPECT_FALSE(parser.FindAttribute("NAM", value, sizeof value));
  EXPECT_FALSE(parser.FindAttribute("HTTP-EQUIV", value, sizeof value));
}

TEST(TagParser, LongNamesCompareInTheirCutForm) {
  Tag tag("<A 123456789012345678901234567890123456=1>");
  TagParser parser(tag.Text(), tag.Capacity());
  char value[8];
  EXPECT_TRUE(parser.FindAttribute("12345678901234567890123456789012", value, sizeof value));
  EXPECT_TRUE(parser.FindAttribute("123456789012345678901234567890123456", value, sizeof value));
  EXPECT_STREQ(value, "1");
}

enum class Op { Set, Remove };

struct EditCase {
  const char* tag;
  Op op;
  const char* name;
  const char* value;
  bool result;
  const char* after;
  int capacity = 0;  // 0: ample room
};

TEST(TagParser, Edits) {
  const EditCase cases[] = {
      {"<IMG SRC='a.jpg'>", Op::Set, "WIDTH", "100", true, "<IMG SRC='a.jpg' WIDTH=100>"},
      {"<TD NOWRAP>", Op::Set, "NOWRAP", "1", true, "<TD NOWRAP=1>"},
      {"<TD NOWRAP ALIGN=left>", Op::Set, "nowrap", "1", true, "<TD NOWRAP=1 ALIGN=left>"},
      {"<IMG SRC=x>", Op::Set, "ALT", "", true, "<IMG SRC=x ALT=\"\">"},
      {"<A HREF='a.htm'>", Op::Set, "HREF", "b.htm", true, "<A HREF=\"b.htm\">"},
      {"<A HREF='a.htm'>", Op::Set, "HREF", "index", true, "<A HREF='index'>"},
      {"<A HREF=a.htm>", Op::Set, "HREF", "index", true, "<A HREF=index>"},
      {"<A HREF=\"a\">", Op::Set, "HREF", "say \"hi\"", true, "<A HREF='say \"hi\"'>"},
      {"<A HREF = 'x' >", Op::Set, "HREF", "y", true, "<A HREF = 'y' >"},
      {"<A HREF=>", Op::Set, "HREF", "y", true, "<A HREF=y>"},
      {"<A HREF=\"open", Op::Set, "HREF", "y z", true, "<A HREF=\"y z\""},
      {"<meta name=x content=\"old\">", Op::Set, "CONTENT", "new text", true,
       "<meta name=x content=\"new text\">"},
      {"<TD WIDTH=3>", Op::Set, "WIDTH", nullptr, true, "<TD WIDTH>"},
      {"<TD WIDTH = '3' X>", Op::Set, "WIDTH", nullptr, true, "<TD WIDTH X>"},
      {"<TD NOWRAP>", Op::Set, "NOWRAP", nullptr, true, "<TD NOWRAP>"},
      {"<TD WIDTH=3>", Op::Set, "NOWRAP", nullptr, true, "<TD WIDTH=3 NOWRAP>"},
      {"<IMG SRC=x", Op::Set, "W", "1", true, "<IMG SRC=x W=1"},
      {"<P>", Op::Set, "T", "a'b\"c", true, "<P T='a'b\"c'>"},  // no escaping exists
      {"<A TITLE=\"t\" HREF=x>", Op::Remove, "TITLE", nullptr, true, "<A HREF=x>"},
      {"<A TITLE=\"t\" HREF=x>", Op::Remove, "href", nullptr, true, "<A TITLE=\"t\">"},
      {"<A TITLE=\"t\" HREF=x>", Op::Remove, "ALT", nullptr, false, "<A TITLE=\"t\" HREF=x>"},
      {"<TD NOWRAP  WIDTH=3>", Op::Remove, "WIDTH", nullptr, true, "<TD NOWRAP>"},
      {"<TD NOWRAP  WIDTH=3>", Op::Remove, "NOWRAP", nullptr, true, "<TD  WIDTH=3>"},
      {"<A X=1 X=2>", Op::Remove, "X", nullptr, true, "<A X=2>"},
      // A tag at its capacity (7 characters in 8 bytes) takes no growth.
      {"<A B=1>", Op::Set, "B", "2", true, "<A B=2>", 8},
      {"<A B=1>", Op::Set, "B", "22", false, "<A B=1>", 8},
      {"<A B=1>", Op::Set, "B", "", false, "<A B=1>", 8},
      {"<A B=1>", Op::Set, "C", nullptr, false, "<A B=1>", 8},
      {"<A B=1>", Op::Set, "B", nullptr, true, "<A B>", 8},
      {"<A B=1>", Op::Remove, "B", nullptr, true, "<A>", 8},
      {"<A B=1>", Op::Set, "B", "22", true, "<A B=22>", 9},
      {"<A B>", Op::Set, "B", "1", false, "<A B>", 7},
      {"<A B>", Op::Set, "B", "1", true, "<A B=1>", 8},
      {"<A>", Op::Set, "B", "x y", false, "<A>", 11},
      {"<A>", Op::Set, "B", "x y", true, "<A B=\"x y\">", 12},
  };
  for (const EditCase& c : cases) {
    Tag tag(c.tag, c.capacity);
    TagParser parser(tag.Text(), tag.Capacity());
    bool result = c.op == Op::Set ? parser.SetAttribute(c.name, c.value) : parser.RemoveAttribute(c.name);
    EXPECT_EQ(result, c.result) << c.tag << " " << c.name;
    EXPECT_STREQ(tag.Text(), c.after) << c.tag << " " << c.name;
  }
}

// An edit during a walk leaves the walk on the next attribute, and edits on
// the same parser build on each other.
TEST(TagParser, WalkGoesOnAfterAnEdit) {
  Tag tag("<A HREF=a TARGET=b NOWRAP ID=c>");
  TagParser parser(tag.Text(), tag.Capacity());
  char name[kAttributeNameSize];
  char value[32];
  ASSERT_TRUE(parser.NextAttribute(name, value, sizeof value));
  EXPECT_TRUE(parser.ReplaceValue("a longer value"));
  ASSERT_TRUE(parser.NextAttribute(name, value, sizeof value));
  EXPECT_STREQ(name, "TARGET");
  EXPECT_STREQ(value, "b");
  ASSERT_TRUE(parser.NextAttribute(name, value, sizeof value));
  EXPECT_TRUE(parser.ReplaceValue("on"));
  ASSERT_TRUE(parser.NextAttribute(name, value, sizeof value));
  EXPECT_STREQ(name, "ID");
  EXPECT_TRUE(parser.ReplaceValue(nullptr));
  EXPECT_FALSE(parser.NextAttribute(name, value, sizeof value));
  EXPECT_TRUE(parser.AppendAttribute("X", "1"));
  EXPECT_TRUE(parser.ReplaceValue("2"));
  EXPECT_TRUE(parser.RemoveAttribute("target"));
  EXPECT_STREQ(tag.Text(), "<A HREF=\"a longer value\" NOWRAP=on ID X=2>");
}

TEST(TagParser, ReplaceValueNeedsAnAttributeRead) {
  Tag tag("<A B=1>");
  TagParser parser(tag.Text(), tag.Capacity());
  EXPECT_FALSE(parser.ReplaceValue("2"));
  EXPECT_STREQ(tag.Text(), "<A B=1>");
}

}  // namespace
