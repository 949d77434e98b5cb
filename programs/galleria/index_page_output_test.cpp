#include "programs/galleria/index_page_output.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/attributes.h"
#include "platform/files.h"
#include "platform/testing/test_support.h"
#include "programs/galleria/index_run.h"
#include "shared/entry.h"
#include "shared/report.h"
#include "shared/sitefiles.h"

namespace {

using ::testing::internal::CaptureStderr;
using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStderr;
using ::testing::internal::GetCapturedStdout;

constexpr const char* kOldPage =
    "<HTML><HEAD><TITLE>Old &amp; gold</TITLE>\n"
    "<META NAME=\"KEYWORDS\" CONTENT=\"sea\">\n</HEAD><BODY>old</BODY></HTML>\n";

class IndexOutputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Reset();
    drive.MakeDir("site");
    drive.Chdir("site");
  }
  void TearDown() override {
    delete pageEntry;
    Reset();
  }
  static void Reset() {
    ResetIndexRun();
    ResetReportForTests();
    ResetSiteFiles();
  }
  // Opens the output and writes one line to it.
  FILE* OpenAndWrite(const char* text) {
    FILE* out = OpenIndexOutput(&pageEntry);
    if (out) WriteHTML(out, "%s", text);
    return out;
  }

  TempDrive drive;
  Entry* pageEntry = nullptr;
};

TEST_F(IndexOutputTest, CompletePageReplacesTheOldOne) {
  drive.Write("site/index.htm", kOldPage);
  FILE* out = OpenAndWrite("new page\n");
  ASSERT_NE(out, nullptr);
  ASSERT_NE(pageEntry, nullptr);
  EXPECT_STREQ(pageEntry->title, "Old & gold");  // the page entry comes from the old page
  EXPECT_STREQ(pageEntry->keywords, "sea");
  EXPECT_TRUE(drive.Exists("site/index.new"));
  EXPECT_EQ(drive.Read("site/index.htm"), kOldPage);  // untouched while writing

  CaptureStderr();
  EXPECT_EQ(CommitIndexOutput(out), 0);
  EXPECT_EQ(GetCapturedStderr(), "");
  EXPECT_EQ(drive.Read("site/index.htm"), "new page\n");
  EXPECT_FALSE(drive.Exists("site/index.new"));
  EXPECT_EQ(MaxSeverity, 0);
}

TEST_F(IndexOutputTest, MissingOldPageIsNoError) {
  FILE* out = OpenAndWrite("page 2\n");
  ASSERT_NE(out, nullptr);
  ASSERT_NE(pageEntry, nullptr);  // the page entry exists without a page
  EXPECT_EQ(CommitIndexOutput(out, "index2.htm"), 0);
  EXPECT_EQ(drive.Read("site/index2.htm"), "page 2\n");
  EXPECT_EQ(drive.Files("site"), std::vector<std::string>{"index2.htm"});
}

TEST_F(IndexOutputTest, WriteErrorKeepsTheOldPage) {
  drive.Write("site/index.htm", kOldPage);
  FILE* out = OpenAndWrite("half a page");
  ASSERT_NE(out, nullptr);
  OutputError = true;
  CaptureStderr();
  EXPECT_EQ(CommitIndexOutput(out), 1);
  EXPECT_EQ(GetCapturedStderr(),
            "Error:  Can't write to the new index file (\"index.new\").\n"
            "        Program aborted -- no changes were made.\n");
  EXPECT_EQ(drive.Read("site/index.htm"), kOldPage);
  EXPECT_FALSE(drive.Exists("site/index.new"));
  EXPECT_EQ(MaxSeverity, 3);
}

TEST_F(IndexOutputTest, WriteHTMLFailureSetsOutputError) {
  drive.Write("site/ro.txt", "x");
  FILE* readOnly = OpenFile("ro.txt", "r");
  ASSERT_NE(readOnly, nullptr);
  EXPECT_LT(WriteHTML(readOnly, "<P>%d\n", 1), 0);
  EXPECT_TRUE(OutputError);
  fclose(readOnly);
}

TEST_F(IndexOutputTest, ReadOnlyOldPageIsNotReplaced) {
  drive.Write("site/index.htm", kOldPage);
  ASSERT_TRUE(SetAttributes("index.htm", kAttrReadOnly));
  FILE* out = OpenAndWrite("new page\n");
  ASSERT_NE(out, nullptr);
  CaptureStderr();
  EXPECT_EQ(CommitIndexOutput(out), 1);
  EXPECT_EQ(GetCapturedStderr(),
            "Error:  Can't delete the old index file (\"index.htm\").\n"
            "        Program aborted -- no changes were made.\n");
  EXPECT_EQ(drive.Read("site/index.htm"), kOldPage);
  EXPECT_FALSE(drive.Exists("site/index.new"));
}

TEST_F(IndexOutputTest, FailedRenameLeavesTheNewPageAsIndexNew) {
  FILE* out = OpenAndWrite("new page\n");
  ASSERT_NE(out, nullptr);
  CaptureStderr();
  EXPECT_EQ(CommitIndexOutput(out, "nowhere\\index.htm"), 2);
  EXPECT_EQ(GetCapturedStderr(),
            "Error:  Can't rename the new index file to \"nowhere\\index.htm\".\n"
            "        The new index file is named \"index.new\".\n");
  EXPECT_EQ(drive.Read("site/index.new"), "new page\n");
  EXPECT_EQ(MaxSeverity, 3);
}

TEST_F(IndexOutputTest, UncreatableIndexNewIsReported) {
  drive.MakeDir("site/index.new");
  CaptureStderr();
  EXPECT_EQ(OpenIndexOutput(&pageEntry), nullptr);
  EXPECT_EQ(GetCapturedStderr(),
            "Error:  Can't create the new index file (\"index.new\").\n"
            "        Program aborted -- no changes were made.\n");
  EXPECT_NE(pageEntry, nullptr);
  EXPECT_EQ(MaxSeverity, 3);
}

TEST_F(IndexOutputTest, CgiModeWritesToStandardOutput) {
  drive.Write("site/index.htm", kOldPage);
  cgiMode = true;
  CaptureStdout();
  FILE* out = OpenAndWrite("<HTML>\n");
  EXPECT_EQ(out, stdout);
  EXPECT_EQ(CommitIndexOutput(out), 0);
  EXPECT_EQ(GetCapturedStdout(), "Content-type:  text/html\n\n<HTML>\n");
  EXPECT_EQ(drive.Read("site/index.htm"), kOldPage);
  EXPECT_FALSE(drive.Exists("site/index.new"));
}

TEST_F(IndexOutputTest, VersionBannerIsMadeOnceFromTheVersionBlock) {
  // The test program carries no version block: both values are empty.
  const char* banner = VersionBanner();
  EXPECT_STREQ(banner, ", v by Dunmarrow");
  EXPECT_EQ(VersionBanner(), banner);
}

}  // namespace
