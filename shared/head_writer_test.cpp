#include "shared/head_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "platform/testing/test_support.h"
#include "shared/entry.h"

namespace {

// Runs a head write into a fresh file and returns what it wrote.
template <typename Write>
std::string Written(Write write, bool* result = nullptr) {
  TempDrive drive;
  FILE* out = OpenFile("head.htm", "w");
  EXPECT_NE(out, nullptr);
  if (!out) return "";
  bool ok = write(out);
  if (result) *result = ok;
  fclose(out);
  return drive.Read("head.htm");
}

class HeadWriter : public ::testing::Test {
 protected:
  void SetUp() override { DefaultSortOrder = 50; }
  void TearDown() override { DefaultSortOrder = 50; }
};

TEST_F(HeadWriter, EmptyHead) {
  bool ok = false;
  std::string text = Written(
      [](FILE* out) {
        return WriteHead(out, true, nullptr, "", nullptr, "", 50, nullptr, "");
      },
      &ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(text, "<HEAD>\n</HEAD>\n\n");
}

TEST_F(HeadWriter, EveryLineInItsFixedOrder) {
  std::string text = Written([](FILE* out) {
    return WriteHead(out, true, "Tom & Jerry", "Tessarin Index Builder, v2.10 by Dunmarrow",
                     "Say \"cheese\"\n<now>", "cats, mice & <dogs>", 10,
                     "2 slides in 1 set, 3.9KB; {2000, 0, 0, 2, 0, 2, 1}", "1");
  });
  EXPECT_EQ(text,
            "<HEAD>\n"
            "<TITLE>Tom &amp; Jerry</TITLE>\n"
            "<META NAME=\"GENERATOR\" CONTENT=\"Tessarin Index Builder, v2.10 by Dunmarrow\">\n"
            "<META NAME=\"DESCRIPTION\" CONTENT=\"Say &quot;cheese&quot;<BR>&lt;now&gt;\">\n"
            "<META NAME=\"FILEINFO\" CONTENT=\"2 slides in 1 set, 3.9KB; {2000, 0, 0, 2, 0, 2, 1}\">\n"
            "<META NAME=\"SORTORDER\" CONTENT=\"10\">\n"
            "<META NAME=\"KEYWORDS\" CONTENT=\"cats, mice &amp; &lt;dogs&gt;\">\n"
            "<META NAME=\"ALIAS\" CONTENT=\"1\">\n"
            "</HEAD>\n\n");
}

TEST_F(HeadWriter, GeneratorFileInfoAndAliasAreWrittenUnchanged) {
  std::string text = Written([](FILE* out) {
    return WriteHead(out, false, nullptr, "a&b", nullptr, nullptr, 50, "<x>", "y&z");
  });
  EXPECT_EQ(text,
            "<HEAD>\n"
            "<META NAME=\"GENERATOR\" CONTENT=\"a&b\">\n"
            "<META NAME=\"FILEINFO\" CONTENT=\"<x>\">\n"
            "<META NAME=\"ALIAS\" CONTENT=\"y&z\">\n");
}

TEST_F(HeadWriter, SortOrderLineFollowsTheDefault) {
  Entry entry;
  entry.SetTitle("Rome");
  entry.sortOrder = 50;
  auto write = [&entry](FILE* out) { return WriteEntryHead(out, false, &entry, nullptr, nullptr, nullptr); };
  EXPECT_EQ(Written(write), "<HEAD>\n<TITLE>Rome</TITLE>\n");
  DefaultSortOrder = 10;
  EXPECT_EQ(Written(write), "<HEAD>\n<TITLE>Rome</TITLE>\n<META NAME=\"SORTORDER\" CONTENT=\"50\">\n");
  entry.sortOrder = -3;
  EXPECT_EQ(Written(write), "<HEAD>\n<TITLE>Rome</TITLE>\n<META NAME=\"SORTORDER\" CONTENT=\"-3\">\n");
}

TEST_F(HeadWriter, EntryHead) {
  Entry entry;
  entry.SetTitle("Birds");
  entry.SetDescription("Gulls & terns");
  entry.SetKeywords("birds, sea");
  entry.SetFileInfo("ignored: the caller passes the page's own");
  std::string text = Written([&entry](FILE* out) {
    return WriteEntryHead(out, true, &entry, "gen", "5 slides", nullptr);
  });
  EXPECT_EQ(text,
            "<HEAD>\n"
            "<TITLE>Birds</TITLE>\n"
            "<META NAME=\"GENERATOR\" CONTENT=\"gen\">\n"
            "<META NAME=\"DESCRIPTION\" CONTENT=\"Gulls &amp; terns\">\n"
            "<META NAME=\"FILEINFO\" CONTENT=\"5 slides\">\n"
            "<META NAME=\"KEYWORDS\" CONTENT=\"birds, sea\">\n"
            "</HEAD>\n\n");
}

TEST_F(HeadWriter, FailedWriteIsReported) {
  TempDrive drive;
  drive.Write("page.htm", "old");
  FILE* in = OpenFile("page.htm", "r");
  ASSERT_NE(in, nullptr);
  EXPECT_FALSE(WriteHead(in, true, "T", nullptr, nullptr, nullptr, 50, nullptr, nullptr));
  fclose(in);
  EXPECT_EQ(drive.Read("page.htm"), "old");
}

TEST_F(HeadWriter, NullEntryIsAProgrammingError) {
  EXPECT_EXIT(WriteEntryHead(stdout, true, nullptr, nullptr, nullptr, nullptr),
              ::testing::ExitedWithCode(3), "Assertion failed: pEntry");
}

}  // namespace
