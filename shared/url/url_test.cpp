#include "shared/url/url.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(FileToUrl, Conversions) {
  struct Case { const char* path; const char* url; };
  const Case cases[] = {
      {"c:\\web\\a b.htm", "/web/a%20b.htm"},
      {"c:x.htm", "x.htm"},
      {"a\\b c#1.htm", "a/b%20c%231.htm"},
      {"x~y", "x%7Ey"},
      {"\xE9t\xE9.jpg", "%E9t%E9.jpg"},
      {"d:\\a:b", "/a:b"},
      {"1:\\x", "1:/x"},
      {"\"q\"`'&%<>[]^{|}", "%22q%22%60%27%26%25%3C%3E%5B%5D%5E%7B%7C%7D"},
      {"tab\there\x7F", "tab%09here\x7F"},
      {"!$()*+,-./:;=?@_az09", "!$()*+,-./:;=?@_az09"},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_STREQ(FileToUrlString(c.path).Text(), c.url) << c.path;
    EXPECT_EQ(FileToUrlLength(c.path), strlen(c.url) + 1) << c.path;
  }
  EXPECT_EQ(FileToUrlLength("a b"), 6u);
  EXPECT_TRUE(FileToUrlString(nullptr).IsNull());
}

TEST(FileToUrl, EscapeSetHolds176Bytes) {
  int escaped = 0;
  for (int byte = 0; byte < 256; ++byte) escaped += IsUrlEscaped(static_cast<unsigned char>(byte));
  EXPECT_EQ(escaped, 176);
  EXPECT_FALSE(IsUrlEscaped('\\'));
  EXPECT_FALSE(IsUrlEscaped(127));
}

TEST(FileToUrl, EscapesThatDoNotFitAreSkipped) {
  struct Case { const char* path; size_t size; const char* url; };
  const Case cases[] = {
      {"ab cd", 1, ""},  {"ab cd", 3, "ab"},   {"ab cd", 4, "abc"},
      {"ab cd", 5, "abcd"}, {"ab cd", 6, "ab%20"}, {"ab cd", 7, "ab%20c"},
      {"c:\\ x", 3, "/x"},  {"  ", 3, ""},
  };
  for (const Case& c : cases) {
    char buffer[16];
    memset(buffer, 'z', sizeof buffer);
    EXPECT_EQ(FileToUrl(c.path, buffer, c.size), buffer);
    EXPECT_STREQ(buffer, c.url) << c.path << " in " << c.size;
    EXPECT_EQ(buffer[c.size], 'z');
  }
}

TEST(UrlToFile, Conversions) {
  struct Case { const char* url; std::string path; };
  const Case cases[] = {
      {"/c|/web/x.htm", "c:\\web\\x.htm"},
      {"/D:/web/", "D:\\web\\"},
      {"/c:x", "\\c:x"},
      {"/1:/x", "\\1:\\x"},
      {"/a%2fb", "\\a/b"},
      {"%41%4", std::string("A\x04", 2)},
      {"50%", "50"},
      {"%zz", "zz"},
      {"%4a%4A%e9", "JJ\xE9"},
      {"a+b?x=1&y", "a+b?x=1&y"},
      {"%%41", "A"},
      {"", ""},
  };
  for (const Case& c : cases) {
    String path = UrlToFileString(c.url);
    EXPECT_EQ(std::string(path.Text()), c.path) << c.url;
    EXPECT_EQ(UrlToFileLength(c.url), strlen(c.url) + 1);
  }
  EXPECT_TRUE(UrlToFileString(nullptr).IsNull());
}

// Only '0'-'9' and 'A'-'F' of either case are digits of an escape: the
// letters past 'F', the bytes beside the digit ranges and bytes above 127
// are text, so a '%' before them is dropped and a single digit stands alone.
TEST(UrlToFile, OnlyHexDigitsFormEscapes) {
  struct Case { const char* url; std::string path; };
  const Case cases[] = {
      {"%G1", "G1"},
      {"%g1", "g1"},
      {"%z9", "z9"},
      {"%1G", "\x01G"},
      {"%4g", "\x04g"},
      {"%:0", ":0"},
      {"%@A", "@A"},
      {"%`a", "`a"},
      {"%\xC1" "1", "\xC1" "1"},
      {"%A\xC1", "\x0A\xC1"},
  };
  for (const Case& c : cases) EXPECT_EQ(std::string(UrlToFileString(c.url).Text()), c.path) << c.url;
}

TEST(UrlToFile, StaysWithinItsBuffer) {
  struct Case { const char* url; size_t size; const char* path; };
  const Case cases[] = {
      {"/c:/web", 1, ""},      {"/c:/web", 2, "\\"},    {"/c:/web", 3, "c:"},
      {"/c:/web", 5, "c:\\w"}, {"%41%42%43", 3, "AB"}, {"abc%", 3, "ab"},
  };
  for (const Case& c : cases) {
    char buffer[16];
    memset(buffer, 'z', sizeof buffer);
    EXPECT_EQ(UrlToFile(c.url, buffer, c.size), buffer);
    EXPECT_STREQ(buffer, c.path) << c.url << " in " << c.size;
    EXPECT_EQ(buffer[c.size], 'z');
  }
}

TEST(UrlConversionDeathTest, MissingBufferStopsTheProgram) {
  EXPECT_EXIT(FileToUrl("x", nullptr, 4), testing::ExitedWithCode(3),
              "Assertion failed: pBuffer, file fileurl, line [0-9]+");
  EXPECT_EXIT(UrlToFile("x", nullptr, 4), testing::ExitedWithCode(3),
              "Assertion failed: pBuffer, file urlfile, line [0-9]+");
}
