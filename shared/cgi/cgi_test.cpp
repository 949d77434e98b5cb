#include "shared/cgi/cgi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/env.h"

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

// Name and value of each pair, the value as Find gives it ("<null>" when
// Find finds nothing for the name).
Pairs PairsOf(const CGIArgs& args, std::initializer_list<const char*> names) {
  Pairs pairs;
  for (const char* name : names) {
    const char* value = args.Find(name);
    pairs.emplace_back(name, value ? value : "<null>");
  }
  return pairs;
}

// Sets the CGI variables for one test and removes them afterwards.
class CGIEnvironment {
 public:
  CGIEnvironment(const char* method, const char* query, const char* length) {
    SetEnv("REQUEST_METHOD", method);
    SetEnv("QUERY_STRING", query);
    SetEnv("CONTENT_LENGTH", length);
  }
  ~CGIEnvironment() {
    for (const char* name : {"REQUEST_METHOD", "QUERY_STRING", "CONTENT_LENGTH"}) SetEnv(name, nullptr);
  }
};

// A stream holding `body`, positioned at its start.
FILE* Input(const std::string& body) {
  FILE* file = tmpfile();
  fwrite(body.data(), 1, body.size(), file);
  rewind(file);
  return file;
}

std::string Request(const std::string& body) {
  FILE* input = Input(body);
  std::string raw = ReadCGIRequest(input);
  fclose(input);
  return raw;
}

}  // namespace

// An escape needs two hexadecimal digits ('0'-'9', 'A'-'F' of either
// case); with anything else after the '%' the text stays as it came.
TEST(CGIArgs, OnlyHexDigitsFormEscapes) {
  struct Case {
    const char* raw;
    const char* value;
  } const cases[] = {
      {"q=%G1", "%G1"},   {"q=%g1", "%g1"},   {"q=%1G", "%1G"},   {"q=%4z", "%4z"},
      {"q=%:0", "%:0"},   {"q=%@A", "%@A"},   {"q=%`a", "%`a"},   {"q=%0/", "%0/"},
      {"q=%\xC1" "1", "%\xC1" "1"},           {"q=%4\xC1", "%4\xC1"},
      {"q=%G1%41", "%G1A"},
  };
  for (const Case& c : cases) {
    CGIArgs args(c.raw);
    ASSERT_EQ(args.Count(), 1) << c.raw;
    EXPECT_STREQ(args.Find("q"), c.value) << c.raw;
  }
}

TEST(CGIArgs, DecodesPairs) {
  CGIArgs args("a=1&b=x+y&c=%41%42&d");
  EXPECT_EQ(args.Count(), 4);
  EXPECT_EQ(PairsOf(args, {"a", "b", "c", "d", "e"}),
            (Pairs{{"a", "1"}, {"b", "x y"}, {"c", "AB"}, {"d", ""}, {"e", "<null>"}}));
  EXPECT_STREQ(args.Get("d"), "");
  EXPECT_STREQ(args.Get("e"), "");
  EXPECT_STREQ(args.Find("A"), "1");
}

TEST(CGIArgs, DecodingCases) {
  struct Case {
    const char* raw;
    int count;
    const char* name;
    const char* value;  // as Find gives it; null for none
  } cases[] = {
      {"a=1&&b=2", 2, "b", "2"},
      {"q=a%26b", 1, "q", "a&b"},  // a decoded '&' stays in the value
      {"q=x=y", 1, "q", "x=y"},
      {"==q=1", 1, "q", "1"},
      {"q=", 1, "q", ""},
      {"q=1&q=2", 2, "q", "1"},
      {"a=1%0Ab=2", 2, "b", "2"},  // a decoded newline separates pairs
      {"q=%2541", 1, "q", "%41"},  // a decoded byte is not decoded again
      {"q=%4", 1, "q", "%4"},      // an incomplete escape stays as written
      {"q=%zz1", 1, "q", "%zz1"},
      {"q=50%", 1, "q", "50%"},
      {"q=%%41", 1, "q", "%A"},
      {"q=%2B+%2b", 1, "q", "+ +"},
      {"q=a\tb\x7f\r\nc", 1, "q", "abc"},  // control characters are removed
      {"q=%e9t%C3%A9", 1, "q", "\xe9t\xc3\xa9"},
      {"", 0, "q", nullptr},
      {"&&&", 0, "q", nullptr},
  };
  for (const Case& c : cases) {
    CGIArgs args(c.raw);
    EXPECT_EQ(args.Count(), c.count) << c.raw;
    const char* value = args.Find(c.name);
    if (c.value) {
      EXPECT_STREQ(value, c.value) << c.raw;
    } else {
      EXPECT_EQ(value, nullptr) << c.raw;
    }
  }
}

TEST(CGIArgs, DecodedZeroEndsOnlyItsOwnValue) {
  CGIArgs args("a=x%00y&b=2&c%00d=3");
  EXPECT_EQ(args.Count(), 3);
  EXPECT_STREQ(args.Find("a"), "x");
  EXPECT_STREQ(args.Find("b"), "2");
  EXPECT_STREQ(args.Find("c"), "3");
}

TEST(CGIArgs, GetAllJoinsValuesThatFit) {
  CGIArgs args("k=sea&x=1&K=longer&k=&k=sun");
  char buffer[64];
  EXPECT_STREQ(args.GetAll("k", buffer, sizeof buffer, ""), "sea,longer,sun");
  EXPECT_EQ(args.GetAll("k", buffer, sizeof buffer, ""), buffer);
  EXPECT_STREQ(args.GetAll("none", buffer, sizeof buffer, ""), "");
  // "sea,longer" does not fit in 8 bytes and is skipped; "sea,sun" just fits.
  EXPECT_STREQ(args.GetAll("k", buffer, 8, ""), "sea,sun");
  // In 7 bytes ",sun" no longer fits: the ',' counts.
  EXPECT_STREQ(args.GetAll("k", buffer, 7, ""), "sea");
  // Room kept free for a text the caller adds afterwards.
  EXPECT_STREQ(args.GetAll("k", buffer, 9, "xx"), "sea");
  EXPECT_STREQ(args.GetAll("k", buffer, 10, "xx"), "sea,sun");
  EXPECT_STREQ(args.GetAll("k", buffer, 3, ""), "");
  buffer[0] = 'z';
  EXPECT_STREQ(args.GetAll("k", buffer, 1, ""), "");
}

TEST(CGIRequest, GetReadsTheQueryString) {
  CGIEnvironment env("get", "a=1&b=2", "3");
  EXPECT_EQ(Request("ignored=1"), "a=1&b=2");
  CGIArgs args;
  EXPECT_EQ(args.Count(), 2);
  EXPECT_STREQ(args.Find("b"), "2");
}

TEST(CGIRequest, GetWithoutQueryStringIsEmpty) {
  CGIEnvironment env("GET", nullptr, nullptr);
  EXPECT_EQ(Request("a=1"), "");
}

TEST(CGIRequest, PostReadsContentLengthBytes) {
  {
    CGIEnvironment env("POST", "q=ignored", "5");
    std::string raw = Request("a=1&b=2");
    EXPECT_EQ(raw, "a=1&b");
    CGIArgs args(raw);
    EXPECT_EQ(PairsOf(args, {"a", "b", "q"}), (Pairs{{"a", "1"}, {"b", ""}, {"q", "<null>"}}));
  }
  {
    CGIEnvironment env("POST", nullptr, "100");
    EXPECT_EQ(Request("a=1"), "a=1");  // the input ends first
  }
  {
    CGIEnvironment env("POST", nullptr, "0");
    EXPECT_EQ(Request("a=1"), "");
  }
  {
    CGIEnvironment env("POST", nullptr, "-4");
    EXPECT_EQ(Request("a=1"), "");
  }
}

TEST(CGIRequest, PostWithoutLengthOrMethodReadsAtMost8191Bytes) {
  std::string body(10000, 'x');
  {
    CGIEnvironment env(nullptr, "a=1", nullptr);  // no method: read as POST
    EXPECT_EQ(Request(body).size(), 8191u);
  }
  {
    CGIEnvironment env("PUT", nullptr, "9000");
    EXPECT_EQ(Request(body).size(), 8191u);
  }
}

TEST(CGIRequest, RawZeroBytesAreRemoved) {
  CGIEnvironment env("POST", nullptr, "9");
  std::string body("a=1\0&b=2", 8);
  std::string raw = Request(body);
  EXPECT_EQ(raw.size(), 8u);
  CGIArgs args(raw);
  EXPECT_EQ(args.Count(), 2);
  EXPECT_STREQ(args.Find("a"), "1");
  EXPECT_STREQ(args.Find("b"), "2");
}

TEST(CGIArgs, Dump) {
  CGIArgs args("name=Ann+Lee&flag");
  testing::internal::CaptureStdout();
  args.Dump();
  fflush(stdout);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Content-type: text/plain\n\n"
            "Number of arguments:  2\n\n"
            "                name = Ann Lee\n"
            "                flag = \n");
}

TEST(FormEncode, EncodesAndMeasures) {
  struct Case {
    const char* text;
    const char* encoded;
  } cases[] = {
      {"a b/\xe9", "a+b%2F%E9"},
      {"", ""},
      {"AZaz09", "AZaz09"},
      {"a&b=c+d%", "a%26b%3Dc%2Bd%25"},
      {"_-.~", "%5F%2D%2E%7E"},
      {"\t\x7f\xff", "%09%7F%FF"},
  };
  for (const Case& c : cases) {
    char buffer[64];
    EXPECT_STREQ(FormEncode(c.text, buffer, sizeof buffer), c.encoded) << c.text;
    EXPECT_EQ(FormEncodedLength(c.text), strlen(c.encoded) + 1) << c.text;
    String s = FormEncodeString(c.text);
    ASSERT_FALSE(s.IsNull());
    EXPECT_STREQ(s.Text(), c.encoded);
  }
  EXPECT_EQ(FormEncodedLength("a b/\xe9"), 10u);
  EXPECT_TRUE(FormEncodeString(nullptr).IsNull());
}

TEST(FormEncode, BoundedBufferSkipsEscapesThatDoNotFit) {
  struct Case {
    size_t size;
    const char* encoded;
  } cases[] = {
      {1, ""}, {2, "a"}, {3, "ab"}, {4, "ab"}, {5, "a%2F"}, {6, "a%2Fb"}, {7, "a%2Fb"},
  };
  for (const Case& c : cases) {
    char buffer[16];
    memset(buffer, '#', sizeof buffer);
    FormEncode("a/b/", buffer, c.size);
    EXPECT_STREQ(buffer, c.encoded) << c.size;
    EXPECT_EQ(buffer[c.size], '#') << c.size;  // nothing written past the buffer
  }
  char buffer[4] = "xyz";
  FormEncode("ab/cd", buffer, 4);
  EXPECT_STREQ(buffer, "abc");  // the escape is skipped, later bytes still tried
}

TEST(FormEncode, RoundTripsThroughDecoding) {
  const char* values[] = {"a b/c", "x=y&z", "50% + 7", "caf\xe9 \xff", "line\nbreak"};
  for (const char* value : values) {
    String encoded = FormEncodeString(value);
    std::string raw = std::string("v=") + encoded.Text() + "&w=1";
    CGIArgs args(raw);
    EXPECT_STREQ(args.Find("v"), strchr(value, '\n') ? "line" : value) << value;
    EXPECT_STREQ(args.Find("w"), "1") << value;
  }
}

TEST(FormEncodeDeathTest, MissingBufferIsReported) {
  EXPECT_EXIT(FormEncode("a", nullptr, 4), testing::ExitedWithCode(3), "pBuffer");
}
