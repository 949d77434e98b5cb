#include "pagehead/edit_string.h"

#include <gtest/gtest.h>

namespace {

TEST(EditString, Operators) {
  struct Case {
    const char* current;
    const char* edit;
    const char* fileName;
    const char* result;
  } cases[] = {
      {"Sunset", "-*", "a.jpg", ""},
      {"Sunset *x here", "-*x", "a.jpg", "Sunset  here"},  // only "-*" alone clears
      {"Sunset", "+ (second try)", "a.jpg", "Sunset (second try)"},
      {"Sunset", "> more", "a.jpg", "Sunset more"},
      {"Sunset", "<Photo: ", "a.jpg", "Photo: Sunset"},
      {"Sunset", "Dawn", "a.jpg", "Dawn"},
      {"Sunset", "", "a.jpg", ""},
      {"Cat and cat", "?cat=dog", "a.jpg", "dog and dog"},
      {"Cat and cat", "?cat=", "a.jpg", " and "},
      {"Cat and cat", "?x", "a.jpg", "Cat and cat"},
      {"Cat and cat", "?=x", "a.jpg", "Cat and cat"},  // nothing to look for
      {"Cat and cat", "-", "a.jpg", "Cat and cat"},
      {"Cat and cat", "-cat", "a.jpg", "Cat and "},
      {"Cat and cat", "-dog", "a.jpg", "Cat and cat"},
      {nullptr, "+x", "a.jpg", "x"},
      {"", "?a=b", "a.jpg", ""},
      {nullptr, "?a=b", "a.jpg", ""},
      // The file name macro, in any letter case, in every operand.
      {"", "%FILENAME%", "C:\\PICS\\IMG_0001.JPG", "img_0001.jpg"},
      {"", "%filename%", "C:\\pics\\Beach.jpg", "Beach.jpg"},
      {"x", "+ (%FileName%)", "pics/sub:dune.htm", "x (dune.htm)"},
      {"a.htm title", "-%FILENAME% ", "C:\\a.htm", "title"},
      {"see a.htm", "?%filename%=[%FILENAME%]", "a.htm", "see [a.htm]"},
      {"", "%FILENAME%", "C:\\dir\\", ""},
  };
  for (const Case& c : cases) {
    String result = EditString(c.current, c.edit, c.fileName);
    ASSERT_FALSE(result.IsNull()) << c.edit;
    EXPECT_STREQ(c.result, result) << c.edit << " on " << (c.current ? c.current : "(null)");
  }
}

TEST(EditString, ReplaceAll) {
  struct Case {
    const char* text;
    const char* from;
    const char* to;
    const char* result;
  } cases[] = {
      {"aaaa", "aa", "b", "bb"},        // occurrences do not overlap
      {"abc", "B", "bb", "abbc"},       // the replacement may hold the old text
      {"xAx", "a", "aaa", "xaaax"},
      {"none", "z", "y", "none"},
      {"", "z", "y", ""},
      {"abc", "", "y", "abc"},
      {"ab", "ab", "", ""},
  };
  for (const Case& c : cases) EXPECT_STREQ(c.result, ReplaceAll(c.text, c.from, c.to)) << c.text;
}

TEST(EditString, DeleteStringComparesCaseExactly) {
  EXPECT_STREQ("Cat and ", DeleteString("Cat and cat", "cat"));
  EXPECT_STREQ("and cat", DeleteString("Cat and cat", "Cat "));
  EXPECT_STREQ("abc", DeleteString("abc", ""));
}

TEST(EditStringDeathTest, MissingTextsAreProgrammingErrors) {
  EXPECT_DEATH(EditString("x", nullptr, "a"), "Assertion failed: pEditString");
  EXPECT_DEATH(EditString("x", "y", nullptr), "Assertion failed: pFileName");
  EXPECT_DEATH(ReplaceAll(nullptr, "a", "b"), "Assertion failed: sString");
  EXPECT_DEATH(DeleteString("a", nullptr), "Assertion failed: pDelete");
}

}  // namespace
