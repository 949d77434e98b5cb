#include "programs/galleria/index_main.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/testing/test_support.h"
#include "programs/galleria/index_page_output.h"
#include "programs/galleria/index_run.h"
#include "programs/galleria/index_settings.h"
#include "shared/config.h"
#include "shared/entry_factory.h"
#include "shared/report.h"
#include "shared/sitefiles.h"

namespace {

using ::testing::internal::CaptureStderr;
using ::testing::internal::GetCapturedStderr;

class IndexMainTest : public ::testing::Test {
 protected:
  // The checks report their errors; the user's log (WEFTLOG) is no place
  // for them.
  void SetUp() override {
    userVariables_.Set("WEFTLOG", nullptr);
    Reset();
  }
  void TearDown() override { Reset(); }
  static void Reset() {
    ResetIndexRun();
    ResetSiteFiles();
    ResetConfigReader();
    ResetReportForTests();
  }
  // Scans the options as given on a command line after the program name.
  static bool Scan(std::vector<std::string> args, int* flags) {
    args.insert(args.begin(), "galleria");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    *flags = 0;
    return ScanIndexOptions(static_cast<int>(argv.size()), argv.data(), flags);
  }
  ScopedEnvironment userVariables_;
};

const IndexSettings& S = indexSettings;
const ListingSection& S0 = listingSections[0];

TEST_F(IndexMainTest, OptionsSetTheirSettings) {
  struct Case {
    std::vector<std::string> args;
    int flags;
    std::function<bool()> check;
  } const cases[] = {
      {{"/C"}, 0, [] { return S.combine; }},
      {{"/d"}, kListAllDirs, [] { return true; }},
      {{"-I", "/D"}, kListImages | kListAllDirs, [] { return true; }},
      {{"/Emov", "/E.avi"}, 0, [] { return IsUserExt(".mov") && IsUserExt("avi"); }},
      {{"/F2"}, 0, [] { return S0.format == ListingFormat::Column && S0.columns == 2; }},
      {{"/FC", "/fa"}, 0, [] { return S0.format == ListingFormat::Auto; }},
      {{"/fc"}, 0, [] { return S0.format == ListingFormat::Compact; }},
      {{"/FD"}, 0, [] { return !S.tables; }},
      {{"/FS"}, 0, [] { return S0.format == ListingFormat::List && !S.thumbnails; }},
      {{"/FS", "/FT"}, 0, [] { return S0.format == ListingFormat::List && S.thumbnails; }},
      {{"/J"}, 0, [] { return S.backlink == BacklinkMode::Smart; }},
      {{"/K"}, 0, [] { return S.backlink == BacklinkMode::Keywords; }},
      {{"/L"}, 0, [] { return !S.tables; }},
      {{"/O"}, 0,
       [] {
         return S.slides == SlidesMode::Window && S.slidePages && S.links == LinkMode::Open &&
                S.backlink == BacklinkMode::Close;
       }},
      {{"/r"}, 0, [] { return S.slides == SlidesMode::Frameset && S.slidePages; }},
      {{"/W200"}, 0, [] { return S0.columnWidth1 == 200; }},
      {{"/Wabc"}, 0, [] { return S0.columnWidth1 == 0; }},
      {{"/g", "/p", "/s", "/t", "/x", "/y", "photos", "D"}, 0,
       [] { return S.slides == SlidesMode::Simple && S.tables && !S.combine; }},
  };
  for (const Case& c : cases) {
    Reset();
    int flags;
    EXPECT_TRUE(Scan(c.args, &flags)) << c.args[0];
    EXPECT_EQ(flags, c.flags) << c.args[0];
    EXPECT_TRUE(c.check()) << c.args[0];
  }
}

TEST_F(IndexMainTest, UnknownOptionStopsTheScan) {
  for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
           {"/f"}, {"-"}, {"/"}, {"/Q"}, {"/FX"}, {"/Z", "/C"}}) {
    Reset();
    int flags;
    EXPECT_FALSE(Scan(args, &flags)) << args[0];
    EXPECT_FALSE(S.combine) << args[0];  // nothing after the unknown option is applied
  }
  int flags;
  EXPECT_FALSE(Scan({"/C", "/D", "/Q", "/I"}, &flags));
  EXPECT_TRUE(S.combine);
  EXPECT_EQ(flags, kListAllDirs);
}

TEST_F(IndexMainTest, ConfigurationRead) {
  // The files are read after the options: a key that sets the same value wins.
  TempDrive drive;
  drive.Write("icons/weft.ini", "columnwidth=150\nslides=simple\n");
  SetConfigKeyHandler(IndexOptionKey);
  int flags;
  ASSERT_TRUE(Scan({"/W200", "/O"}, &flags));
  ReadConfig();
  EXPECT_EQ(S0.columnWidth1, 150);
  EXPECT_EQ(S.slides, SlidesMode::Simple);
  EXPECT_EQ(S.links, LinkMode::Open);  // no key changed it
}

TEST_F(IndexMainTest, WithoutJavascriptNothingNeedsAScript) {
  struct Case {
    BacklinkMode before, after;
  } const cases[] = {
      {BacklinkMode::Smart, BacklinkMode::Parent},   {BacklinkMode::Close, BacklinkMode::Parent},
      {BacklinkMode::Back, BacklinkMode::Parent},    {BacklinkMode::None, BacklinkMode::None},
      {BacklinkMode::Keywords, BacklinkMode::Keywords}, {BacklinkMode::Custom, BacklinkMode::Custom},
  };
  for (const Case& c : cases) {
    Reset();
    indexSettings.backlink = c.before;
    indexSettings.slides = SlidesMode::Window;
    indexSettings.slidePages = true;
    indexSettings.links = LinkMode::Open;
    indexSettings.index = IndexMode::Sequence;
    ApplyNoJavascript();
    EXPECT_EQ(S.backlink, c.after);
    EXPECT_EQ(S.slides, SlidesMode::Simple);
    EXPECT_TRUE(S.slidePages);  // the slide pages stay as they are
    EXPECT_EQ(S.links, LinkMode::Standard);
    EXPECT_EQ(S.index, IndexMode::Formatted);
  }
}

TEST_F(IndexMainTest, SettingsChecksInOrder) {
  struct Case {
    IndexMode index;
    SlidesMode slides;
    bool cgi;
    bool dbGiven;
    const char* detail;  // null: the settings fit
  } const cases[] = {
      {IndexMode::Formatted, SlidesMode::Simple, false, false, nullptr},
      {IndexMode::Sequence, SlidesMode::Window, false, false, nullptr},
      {IndexMode::Searchable, SlidesMode::Window, false, false, nullptr},
      {IndexMode::Formatted, SlidesMode::Window, true, true, nullptr},
      {IndexMode::Sequence, SlidesMode::Frameset, true, false,
       "  \"index=sequence\" must be used with \"slides=window\"\n"},
      {IndexMode::Searchable, SlidesMode::Simple, false, true,
       "  \"index=searchable\" must be used with \"slides=window\"\n"},
      {IndexMode::Formatted, SlidesMode::Frameset, true, false,
       "  The \"slides=window\" configuration option must be used in CGI mode.\n"},
      {IndexMode::Formatted, SlidesMode::Window, true, false,
       "  The \"indexDB\" configuration option must be used in CGI mode.\n"},
      {IndexMode::Formatted, SlidesMode::Simple, false, true,
       "  The \"indexDB\" configuration option can only be used in CGI mode.\n"},
  };
  for (const Case& c : cases) {
    Reset();
    indexSettings.index = c.index;
    indexSettings.slides = c.slides;
    indexSettings.indexDbGiven = c.dbGiven;
    cgiMode = c.cgi;
    CaptureStderr();
    bool fit = CheckIndexSettings();
    std::string err = GetCapturedStderr();
    if (!c.detail) {
      EXPECT_TRUE(fit);
      EXPECT_EQ(err, "");
      continue;
    }
    EXPECT_FALSE(fit) << c.detail;
    EXPECT_EQ(err, std::string("Error:  Invalid configuration.\n") + c.detail);
    EXPECT_EQ(MaxSeverity, 3);
  }
}

TEST_F(IndexMainTest, ListingFlagsFromTheSettings) {
  struct Case {
    std::function<void()> set;
    const char* file;  // made in the current directory first ("x/": a directory)
    int optionFlags;
    int expected;
  } const cases[] = {
      {[] {}, nullptr, 0, 0x061},
      {[] {}, nullptr, 0x012, 0x073},
      {[] { indexSettings.slidePages = true; }, nullptr, 0, 0x0E3},
      {[] { indexSettings.index = IndexMode::Searchable; }, nullptr, 0, 0x0E3},
      {[] { indexSettings.index = IndexMode::Sequence; }, nullptr, 0x010, 0x0C2},
      {[] {}, "thumbs/", 0, 0x161},
      {[] {}, "symlinks.txt", 0, 0x161},
      {[] {}, "thumbs", 0, 0x061},  // a file, not the directory
      {[] { indexSettings.sort = SortMode::Unsorted; }, nullptr, 0, 0x261},
      {[] { indexSettings.sort = SortMode::Natural; }, nullptr, 0, 0x461},
      {[] { indexSettings.symlinkOrder = true; }, nullptr, 0, 0x861},
  };
  for (const Case& c : cases) {
    Reset();
    TempDrive drive;
    std::string file = c.file ? c.file : "";
    if (!file.empty() && file.back() == '/') drive.MakeDir(file);
    else if (!file.empty()) drive.Write(file, "");
    c.set();
    EXPECT_EQ(IndexListingFlags(c.optionFlags), c.expected) << std::hex << c.expected;
  }
}

}  // namespace
