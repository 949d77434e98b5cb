#include "programs/galleria/site_url.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/testing/test_support.h"
#include "programs/galleria/index_run.h"
#include "programs/galleria/index_settings.h"

namespace {

class SiteUrl : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetIndexRun();
    drive_.MakeDir("site/sub");
    drive_.MakeDir("photos/a");
    drive_.Chdir("site/sub");
  }
  void TearDown() override { ResetIndexRun(); }

  struct Case {
    const char* path;
    const char* url;
  };
  static void Check(const Case* begin, const Case* end) {
    for (const Case* c = begin; c != end; ++c) {
      String url = PathToUrl(c->path);
      EXPECT_STREQ(url.Text() ? url.Text() : "", c->url) << c->path;
    }
  }

  TempDrive drive_;
};

TEST_F(SiteUrl, NullPathGivesTheEmptyString) { EXPECT_TRUE(PathToUrl(nullptr).IsNull()); }

TEST_F(SiteUrl, RelativeToTheCurrentDirectoryWithoutMapOrStartDirectory) {
  const Case cases[] = {
      {"beach day.jpg", "beach%20day.jpg"},
      {"thumbs\\tn_a#1_jpg.jpg", "thumbs/tn_a%231_jpg.jpg"},
      {"C:\\site\\sub\\index.htm", "index.htm"},
      {"c:\\SITE\\sub\\deeper\\x.htm", "deeper/x.htm"},
      {"C:\\site\\icons\\back.gif", "../icons/back.gif"},
      {"..\\..\\photos\\a\\b.jpg", "../../photos/a/b.jpg"},
      {".", ""},
  };
  Check(std::begin(cases), std::end(cases));
}

TEST_F(SiteUrl, MapEntriesGiveTheirUrlAndTheFirstMatchWins) {
  IndexOptionKey("map", "C:\\photos; /photos/");
  IndexOptionKey("map", "C:\\photos\\a; /never");
  IndexOptionKey("map", "C:\\site\\; http://host/site");
  IndexOptionKey("map", "C:\\root; /");
  const Case cases[] = {
      {"C:\\photos\\a\\b.jpg", "/photos/a/b.jpg"},
      {"c:\\PHOTOS\\a\\b.jpg", "/photos/a/b.jpg"},
      {"C:\\site\\sub\\x y.htm", "http://host/site/sub/x%20y.htm"},
      {"C:\\root\\z.htm", "/z.htm"},
      {"C:\\photosets\\c.jpg", "../../photosets/c.jpg"},  // no map entry: "C:\\photos\\" is no prefix
  };
  Check(std::begin(cases), std::end(cases));
}

// A relative map entry and a relative path are compared in their full forms,
// as the icons directory is kept in full.
TEST_F(SiteUrl, RelativeMapEntriesAndPathsMatchInFullForm) {
  IndexOptionKey("map", "..\\..\\photos; /photos");
  IndexOptionKey("map", "..\\icons; http://cdn/icons/");
  IndexOptionKey("map", "C:\\site\\sub; /sub");
  const Case cases[] = {
      {"C:\\photos\\a\\b.jpg", "/photos/a/b.jpg"},
      {"..\\..\\photos\\a\\b.jpg", "/photos/a/b.jpg"},
      {"C:\\site\\icons\\back.gif", "http://cdn/icons/back.gif"},
      {"..\\icons\\next.gif", "http://cdn/icons/next.gif"},
      {"x y.htm", "/sub/x%20y.htm"},
      {"C:\\site\\other.htm", "../other.htm"},
  };
  Check(std::begin(cases), std::end(cases));
  EXPECT_STREQ(indexSettings.urlMap[0].localPath, "C:\\photos\\");
  EXPECT_STREQ(indexSettings.urlMap[1].localPath, "C:\\site\\icons\\");
}

TEST_F(SiteUrl, StartDirectoryAndStartUrlForPathsOutsideTheMap) {
  IndexOptionKey("map", "C:\\photos; /photos");
  IndexOptionKey("startdir", "C:\\site");
  IndexOptionKey("starturl", "/web/");
  const Case cases[] = {
      {"C:\\site\\sub\\x.htm", "/web/sub/x.htm"},
      {"x.htm", "/web/sub/x.htm"},  // relative to the current directory
      {"C:\\photos\\a\\b.jpg", "/photos/a/b.jpg"},
      {"C:\\other\\o.htm", "/web/../other/o.htm"},
  };
  Check(std::begin(cases), std::end(cases));

  IndexOptionKey("starturl", "");
  const Case rootCases[] = {{"C:\\site\\sub\\x.htm", "/sub/x.htm"}, {"C:\\site", "/"}};
  Check(std::begin(rootCases), std::end(rootCases));
}

}  // namespace
