#include "programs/galleria/index_run.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "platform/files.h"
#include "programs/galleria/entry_pieces.h"
#include "programs/galleria/index_page_output.h"
#include "programs/galleria/index_settings.h"
#include "programs/galleria/testing/page_fixture.h"
#include "shared/entry.h"
#include "shared/string.h"

namespace {

using namespace page_fixture;

class IndexRunTest : public PageTest {};

// Whatever a run did, the reset leaves what a fresh run starts with, so that
// one test never sees what another left behind.
TEST_F(IndexRunTest, ResetPutsBackAllThatARunKeeps) {
  Icon("nothumb.gif", 5, 4);
  Icon("star.gif", 4, 4);
  drive.Write("site/icons/keyicons.txt", "star.gif\tbeach\tSea\n");
  for (const char* line : {"pagesize=5", "format2=compact", "defaultorder=10", "keyicons=keyicons.txt"}) {
    std::string key(line, strchr(line, '='));
    IndexOptionKey(key.c_str(), strchr(line, '=') + 1);
  }
  ReadKeywordIcons();
  ASSERT_NE(KeywordIcons(), nullptr);
  ASSERT_NE(Text(NoThumbIcon("BORDER=0")), "");
  std::string banner = VersionBanner();
  cgiMode = OutputError = OutputAbandoned = true;
  pagingState.first = 3;
  pagingState.pageSize = 2;
  pagingState.total = 9;
  pagingState.cgiBaseUrl = "galleria.cgi?query=x";
  indexRun.request = std::make_unique<CGIArgs>("config=a");

  ResetIndexRun();

  EXPECT_EQ(indexSettings.pageSize, 0);
  EXPECT_STREQ(indexSettings.keyIcons, "");
  EXPECT_EQ(listingSections[1].format, ListingFormat::List);
  EXPECT_EQ(DefaultSortOrder, 50);
  EXPECT_FALSE(cgiMode);
  EXPECT_FALSE(OutputError);
  EXPECT_FALSE(OutputAbandoned);
  EXPECT_EQ(pagingState.first, 0);
  EXPECT_EQ(pagingState.pageSize, 0);
  EXPECT_EQ(pagingState.total, 0);
  EXPECT_TRUE(pagingState.cgiBaseUrl.IsNull());
  EXPECT_EQ(indexRun.request, nullptr);
  EXPECT_EQ(KeywordIcons(), nullptr);
  EXPECT_EQ(indexRun.oldPage, nullptr);
  ASSERT_TRUE(DeleteFile(drive.Win("site\\icons\\nothumb.gif").c_str()));
  EXPECT_EQ(Text(NoThumbIcon("BORDER=0")), "");  // looked for again
  EXPECT_EQ(VersionBanner(), banner);
}

}  // namespace
