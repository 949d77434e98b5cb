// The keyword list file: line kinds, description escapes and continuations,
// headings, the limits, and descriptions merged from a second list.
#include "programs/tagpick/keyword_file.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/env.h"
#include "platform/testing/test_support.h"

namespace {

std::string TextOf(const String& text) { return text.Text() ? text.Text() : ""; }

class KeywordFileTest : public ::testing::Test {
 protected:
  KeywordFileTest() {
    SetEnv("WEFTDIALOGSCRIPT", nullptr);
    SetEnv("WEFTDIALOGLOG", nullptr);
    SetEnv("DISPLAY", nullptr);
  }
  int Read(const std::string& content) {
    drive_.Write("list.txt", content);
    return file_.Read("C:\\list.txt");
  }
  TempDrive drive_;
  KeywordFile file_;
};

TEST_F(KeywordFileTest, LineKinds) {
  EXPECT_EQ(Read("# comment\n"
                 "Places\tWhere it was\textra\n"
                 "  Beach\t\tSand\\nand sea\\\\ \\x\\t.\n"
                 "\t\tWaves too\tignored\n"
                 "\n"
                 "?beach,+sea\tcomment\n"
                 "!ann,+alone\r\n"
                 "\x01 control\n"
                 "\xC3\x9C" "bersee\n"
                 " Mountain\n"
                 "\tHigh\n"
                 "\tand steep\n"),
            4);
  ASSERT_EQ(file_.KeywordCount(), 4);
  EXPECT_EQ(TextOf(file_.Keyword(0)), "Places");
  EXPECT_EQ(TextOf(file_.Description(0)), "Where it was");
  EXPECT_EQ(TextOf(file_.Keyword(1)), "  Beach");
  EXPECT_EQ(TextOf(file_.Description(1)), "Sand\nand sea\\ \\x\t.\nWaves too");
  EXPECT_EQ(TextOf(file_.Keyword(2)), "\xC3\x9C" "bersee");
  EXPECT_EQ(TextOf(file_.Description(2)), "");
  EXPECT_EQ(TextOf(file_.Keyword(3)), " Mountain");
  EXPECT_EQ(TextOf(file_.Description(3)), "High\nand steep");
  ASSERT_EQ(file_.OperationCount(), 2);
  EXPECT_EQ(TextOf(file_.Operation(0)), "?beach,+sea");
  EXPECT_EQ(TextOf(file_.Operation(1)), "!ann,+alone");
  EXPECT_TRUE(file_.HasIndentedKeywords());
}

TEST_F(KeywordFileTest, AContinuationBeforeAnyKeywordAndHeadingsOnlyLists) {
  EXPECT_EQ(Read("\tno keyword yet\nBeach\nSunset\n"), 2);
  EXPECT_EQ(TextOf(file_.Description(0)), "");
  EXPECT_FALSE(file_.HasIndentedKeywords());
}

TEST_F(KeywordFileTest, AtMostAHundredKeywordsAndOperationsLinesCutAt255) {
  std::string content;
  for (int i = 0; i < 105; ++i) content += "k" + std::to_string(i) + "\tdescription\n?x,+y" + std::to_string(i) + "\n";
  content += "\tcontinues the 105th, which is not kept\n";
  content += std::string(300, 'w') + "\n";
  EXPECT_EQ(Read(content), 100);
  EXPECT_EQ(TextOf(file_.Keyword(99)), "k99");
  EXPECT_EQ(TextOf(file_.Description(99)), "description");
  EXPECT_EQ(file_.OperationCount(), 100);
  EXPECT_EQ(TextOf(file_.Operation(99)), "?x,+y99");

  EXPECT_EQ(Read(std::string(300, 'w') + "\tlost\n"), 1);
  EXPECT_EQ(TextOf(file_.Keyword(0)), std::string(255, 'w'));
  EXPECT_EQ(TextOf(file_.Description(0)), "");
}

TEST_F(KeywordFileTest, AMissingFileShowsTheBoxAndGivesNoKeyword) {
  Read("Beach\n");
  testing::internal::CaptureStderr();
  EXPECT_EQ(file_.Read("C:\\missing.txt"), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error\nCan't open keyword list file.\n");
  EXPECT_EQ(file_.KeywordCount(), 0);
  EXPECT_EQ(file_.OperationCount(), 0);
}

TEST_F(KeywordFileTest, MergedDescriptionsFillOnlyEmptyOnes) {
  Read("Beach\tOwn\nsunset\n mountain\nsea\n?a,+b\n");
  KeywordFile other;
  drive_.Write("more.txt", "SUNSET\tFirst\nSunset\tLast\nmountain\tNot indented\nBEACH\tOther\n?c,+d\n");
  ASSERT_EQ(other.Read("C:\\more.txt"), 4);
  file_.MergeDescriptions(other);
  EXPECT_EQ(TextOf(file_.Description(0)), "Own");
  EXPECT_EQ(TextOf(file_.Description(1)), "Last");
  EXPECT_EQ(TextOf(file_.Description(2)), "");
  EXPECT_EQ(TextOf(file_.Description(3)), "");
  EXPECT_EQ(file_.OperationCount(), 1);
}

}  // namespace
