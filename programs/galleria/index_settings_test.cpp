#include "programs/galleria/index_settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/env.h"
#include "platform/testing/test_support.h"
#include "programs/galleria/index_run.h"
#include "shared/config.h"
#include "shared/entry.h"
#include "shared/sitefiles.h"

namespace {

class IndexSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetAll(); }
  void TearDown() override { ResetAll(); }
  static void ResetAll() {
    ResetIndexRun();
    ResetSiteFiles();
    ResetConfigReader();
  }
  // Handles "key=value" lines as the configuration reader passes them on.
  static void Keys(std::initializer_list<std::pair<const char*, const char*>> lines) {
    for (const auto& [key, value] : lines) IndexOptionKey(key, value);
  }
};

const IndexSettings& S = indexSettings;
const ListingSection& S0 = listingSections[0];
const ListingSection& S1 = listingSections[1];

TEST_F(IndexSettingsTest, Defaults) {
  EXPECT_EQ(S.index, IndexMode::Formatted);
  EXPECT_EQ(S.slides, SlidesMode::Simple);
  EXPECT_FALSE(S.slidePages);
  EXPECT_EQ(S.links, LinkMode::Standard);
  EXPECT_EQ(S.backlink, BacklinkMode::Parent);
  EXPECT_TRUE(S.tables && S.thumbnails && S.javascript);
  EXPECT_FALSE(S.combine || S.weblinks || S.shuffle || S.symlinkOrder || S.indexDbGiven);
  EXPECT_EQ(S.heading, HeadingMode::Standard);
  EXPECT_EQ(S.tooltips, TooltipMode::Title);
  EXPECT_EQ(S.pageSize, 0);
  EXPECT_EQ(S.sort, SortMode::Plain);
  EXPECT_STREQ(S.indexDb, "index.db");
  EXPECT_EQ(S.urlMapCount, 0);
  for (const char* text : {S.backlinkText, S.bodyAttributes, S.templatePath, S.cgiUrl,
                           S.startDir, S.workingDir, S.startUrl, S.keyIcons, S.cacheFile}) {
    EXPECT_STREQ(text, "");
  }
  for (const ListingSection* s : {&S0, &S1}) {
    EXPECT_EQ(s->layout, ListingLayout::Table);
    EXPECT_EQ(s->columns, 0);
    EXPECT_EQ(s->columnWidth1, 0);
    EXPECT_EQ(s->columnWidth2, 0);
    EXPECT_EQ(s->iPadding, 8);
    EXPECT_EQ(s->hPadding, 8);
    EXPECT_EQ(s->vPadding, 8);
    EXPECT_STREQ(s->text, "");
    EXPECT_STREQ(s->tableAttributes, "");
  }
  EXPECT_EQ(S0.format, ListingFormat::Auto);
  EXPECT_EQ(S1.format, ListingFormat::List);
}

TEST_F(IndexSettingsTest, ResetRestoresDefaults) {
  Keys({{"format2", "compact"}, {"pagesize", "5"}, {"map", "C:\\a; /a"}});
  ResetIndexSettings();
  EXPECT_EQ(S1.format, ListingFormat::List);
  EXPECT_EQ(S.pageSize, 0);
  EXPECT_EQ(S.urlMapCount, 0);
}

TEST_F(IndexSettingsTest, SectionKeySuffixes) {
  struct Case {
    const char* key;
    bool matches;
    int section;
  } cases[] = {
      {"columns", true, 0},      {"columns0", true, 0},   {"columns1", true, 0},
      {"columns[1]", true, 0},   {"columns2", true, 1},   {"columns[2]", true, 1},
      {"columns9", true, 1},     {"columns[9", true, 1},  {"columns12x", true, 1},
      {"columnsx", false, 0},    {"columns ", false, 0},  {"columns[", false, 0},
      {"columns[x]", false, 0},  {"column", false, 0},    {"xcolumns", false, 0},
  };
  for (const Case& c : cases) {
    int section = -1;
    EXPECT_EQ(IndexOptionSection(c.key, "columns", &section), c.matches) << c.key;
    if (c.matches) {
      EXPECT_EQ(section, c.section) << c.key;
    }
  }
}

// Each case starts from the defaults; `get` reads the setting the line changes.
struct WordCase {
  const char* key;
  const char* value;
  int (*get)();
  int expected;
};

template <typename T>
int AsInt(T value) { return static_cast<int>(value); }

TEST_F(IndexSettingsTest, WordValues) {
  auto index = [] { return AsInt(S.index); };
  auto slides = [] { return AsInt(S.slides) * 10 + S.slidePages; };
  auto links = [] { return AsInt(S.links); };
  auto backlink = [] { return AsInt(S.backlink); };
  auto heading = [] { return AsInt(S.heading); };
  auto tooltips = [] { return AsInt(S.tooltips); };
  auto sort = [] { return AsInt(S.sort); };
  auto symlink = [] { return AsInt(S.symlinkOrder); };
  auto layout0 = [] { return AsInt(S0.layout) * 10 + AsInt(S0.format); };
  auto layout1 = [] { return AsInt(S1.layout) * 10 + AsInt(S1.format); };
  const int formatted = AsInt(IndexMode::Formatted), searchable = AsInt(IndexMode::Searchable);
  const int simple = AsInt(SlidesMode::Simple) * 10, frameset = AsInt(SlidesMode::Frameset) * 10,
            window = AsInt(SlidesMode::Window) * 10;
  auto L = [](ListingLayout l, ListingFormat f) { return AsInt(l) * 10 + AsInt(f); };
  const WordCase cases[] = {
      {"index", "Sequence", index, AsInt(IndexMode::Sequence)},
      {"index", "searchable", index, searchable},
      {"index", "bogus", index, formatted},
      {"searchable", "yes", index, searchable},
      {"searchable", "maybe", index, formatted},
      {"slides", "html", slides, simple + 0},
      {"slides", "simple", slides, simple + 1},
      {"slides", "FRAMESET", slides, frameset + 1},
      {"slides", "window", slides, window + 1},
      {"slides", "other", slides, simple + 0},
      {"links", "open", links, AsInt(LinkMode::Open)},
      {"links", "closed", links, AsInt(LinkMode::Standard)},
      {"backlink", "none", backlink, AsInt(BacklinkMode::None)},
      {"backlink", "Keywords", backlink, AsInt(BacklinkMode::Keywords)},
      {"backlink", "smart", backlink, AsInt(BacklinkMode::Smart)},
      {"backlink", "close", backlink, AsInt(BacklinkMode::Close)},
      {"backlink", "Back", backlink, AsInt(BacklinkMode::Back)},
      {"backlink", "../index.htm", backlink, AsInt(BacklinkMode::Custom)},
      {"heading", "textual", heading, AsInt(HeadingMode::Text)},
      {"heading", "TEXT", heading, AsInt(HeadingMode::Text)},
      {"heading", "tex", heading, AsInt(HeadingMode::Standard)},
      {"heading", "Title", heading, AsInt(HeadingMode::Title)},
      {"heading", "titles", heading, AsInt(HeadingMode::Standard)},
      {"tooltips", "both", tooltips, AsInt(TooltipMode::Both)},
      {"tooltips", "alt", tooltips, AsInt(TooltipMode::Alt)},
      {"tooltips", "n", tooltips, AsInt(TooltipMode::None)},
      {"tooltips", "xyz", tooltips, AsInt(TooltipMode::Title)},
      {"sort", "numeric", sort, AsInt(SortMode::Natural)},
      {"sort", "string", sort, AsInt(SortMode::Plain)},
      {"sort", "yes", sort, AsInt(SortMode::Plain)},
      {"sort", "1", sort, AsInt(SortMode::Plain)},
      {"sort", "no", sort, AsInt(SortMode::Unsorted)},
      {"sort", "date", sort, AsInt(SortMode::Unsorted)},
      {"symlinkorder", "Default", symlink, 0},
      {"symlinkorder", "default", symlink, 1},
      {"symlinkorder", "natural", symlink, 1},
      {"symlinkorder", "yes", symlink, 0},
      {"layout", "bullet", layout0, L(ListingLayout::Bullet, ListingFormat::Auto)},
      {"layout2", "Simple", layout1, L(ListingLayout::Simple, ListingFormat::List)},
      {"layout", "grid", layout0, L(ListingLayout::Table, ListingFormat::Auto)},
      {"format", "compact", layout0, L(ListingLayout::Table, ListingFormat::Compact)},
      {"format1", "Column", layout0, L(ListingLayout::Table, ListingFormat::Column)},
      {"format2", "compact", layout1, L(ListingLayout::Table, ListingFormat::Compact)},
      {"format2", "auto", layout1, L(ListingLayout::Table, ListingFormat::Auto)},
      {"format", "list", layout0, L(ListingLayout::Table, ListingFormat::List)},
      {"format", "thumbnail", layout0, L(ListingLayout::Thumbnail, ListingFormat::Auto)},
      {"format[2]", "thumbnail", layout1, L(ListingLayout::Thumbnail, ListingFormat::List)},
      {"format", "${title} (${info})", layout0, L(ListingLayout::Table, ListingFormat::Custom)},
  };
  for (const WordCase& c : cases) {
    ResetIndexSettings();
    IndexOptionKey(c.key, c.value);
    EXPECT_EQ(c.get(), c.expected) << c.key << "=" << c.value;
  }
}

TEST_F(IndexSettingsTest, FormatFormatAndBacklinkTexts) {
  Keys({{"format", "${title} (${info})"}, {"backlink", "../index.htm"}});
  EXPECT_STREQ(S0.text, "${title} (${info})");
  EXPECT_STREQ(S1.text, "");
  EXPECT_STREQ(S.backlinkText, "../index.htm");
  // A word value afterwards keeps the text but ends the custom modes.
  Keys({{"format", "list"}, {"backlink", "none"}});
  EXPECT_EQ(S0.format, ListingFormat::List);
  EXPECT_EQ(S.backlink, BacklinkMode::None);
}

TEST_F(IndexSettingsTest, SwitchesFollowTheirCurrentValue) {
  bool IndexSettings::* switches[] = {&IndexSettings::tables,  &IndexSettings::thumbnails,
                                      &IndexSettings::javascript, &IndexSettings::combine,
                                      &IndexSettings::weblinks, &IndexSettings::shuffle};
  const char* keys[] = {"tables", "thumbnails", "javascript", "combine", "weblinks", "shuffle"};
  for (int i = 0; i < 6; ++i) {
    bool& value = indexSettings.*switches[i];
    value = true;
    IndexOptionKey(keys[i], "maybe");
    EXPECT_TRUE(value) << keys[i] << " on: an unclear word keeps it on";
    IndexOptionKey(keys[i], "Off");
    EXPECT_FALSE(value) << keys[i];
    IndexOptionKey(keys[i], "maybe");
    EXPECT_FALSE(value) << keys[i] << " off: an unclear word keeps it off";
    IndexOptionKey(keys[i], "01");
    EXPECT_FALSE(value) << keys[i];
    IndexOptionKey(keys[i], "ON");
    EXPECT_TRUE(value) << keys[i];
    IndexOptionKey(keys[i], "0");
    EXPECT_FALSE(value) << keys[i];
  }
}

TEST_F(IndexSettingsTest, NumberKeys) {
  Keys({{"columns", " 3"}, {"columns2", "-2x"}, {"columnwidth", "150"}, {"columnwidth2", "40"},
        {"columnwidth1[2]", "70"}, {"ipadding", "x"}, {"hpadding2", "+4"}, {"vpadding[1]", "1"}});
  EXPECT_EQ(S0.columns, 3);
  EXPECT_EQ(S1.columns, -2);
  EXPECT_EQ(S0.columnWidth1, 150);
  EXPECT_EQ(S0.columnWidth2, 40);
  EXPECT_EQ(S1.columnWidth1, 70);
  EXPECT_EQ(S0.iPadding, 0);
  EXPECT_EQ(S1.hPadding, 4);
  EXPECT_EQ(S0.hPadding, 8);
  EXPECT_EQ(S0.vPadding, 1);

  // columnwidth has no section form.
  IndexOptionKey("columnwidth2x", "9");
  IndexOptionKey("columnwidth[2]", "9");
  EXPECT_EQ(S1.columnWidth1, 70);
  EXPECT_EQ(S1.columnWidth2, 0);

  Keys({{"defaultorder", "10"}});
  EXPECT_EQ(DefaultSortOrder, 10);
}

TEST_F(IndexSettingsTest, PageSizeIsNeverNegative) {
  struct Case {
    const char* value;
    int pageSize;
  } cases[] = {{"20", 20}, {"  7 entries", 7}, {"-5", 0}, {"lots", 0}, {"99999999999", 2147483647}};
  for (const Case& c : cases) {
    IndexOptionKey("pagesize", c.value);
    EXPECT_EQ(S.pageSize, c.pageSize) << c.value;
  }
}

TEST_F(IndexSettingsTest, AttributeKeysAndTheirAliases) {
  Keys({{"tableattr", "BORDER=1"}, {"rowattributes2", "VALIGN=TOP"}, {"tr", "ALIGN=LEFT"},
        {"td[2]", "NOWRAP"}, {"cellattr", "WIDTH=9"}, {"indexbody", "BGCOLOR=WHITE"}});
  EXPECT_STREQ(S0.tableAttributes, "BORDER=1");
  EXPECT_STREQ(S1.rowAttributes, "VALIGN=TOP");
  EXPECT_STREQ(S0.rowAttributes, "ALIGN=LEFT");
  EXPECT_STREQ(S1.cellAttributes, "NOWRAP");
  EXPECT_STREQ(S0.cellAttributes, "WIDTH=9");
  EXPECT_STREQ(S.bodyAttributes, "BGCOLOR=WHITE");
  // "tr" and "td" are section keys, not prefixes.
  Keys({{"trx", "X"}, {"tdz", "Z"}});
  EXPECT_STREQ(S0.rowAttributes, "ALIGN=LEFT");
  EXPECT_STREQ(S0.cellAttributes, "WIDTH=9");
}

TEST_F(IndexSettingsTest, TextsAreCutAtTheirLimits) {
  std::string longText(400, 'x');
  const char* v = longText.c_str();
  Keys({{"backlink", v}, {"format", v}, {"body", v}, {"tableattributes", v}, {"indexdb", v},
        {"cgiurl", v}, {"starturl", v}});
  EXPECT_EQ(strlen(S.backlinkText), 127u);
  EXPECT_EQ(strlen(S0.text), 255u);
  EXPECT_EQ(strlen(S.bodyAttributes), 127u);
  EXPECT_EQ(strlen(S0.tableAttributes), 127u);
  EXPECT_EQ(strlen(S.indexDb), 127u);
  EXPECT_TRUE(S.indexDbGiven);
  EXPECT_EQ(strlen(S.cgiUrl), 259u);
  EXPECT_EQ(strlen(S.startUrl), 259u);
}

TEST_F(IndexSettingsTest, StartUrlLosesEveryTrailingSlash) {
  IndexOptionKey("starturl", "/photos//");
  EXPECT_STREQ(S.startUrl, "/photos");
  IndexOptionKey("starturl", "///");
  EXPECT_STREQ(S.startUrl, "");
}

TEST_F(IndexSettingsTest, UrlMapEntriesGrowInOrder) {
  Keys({{"map", "C:\\photos; /photos/"}, {"map", "D:\\web\\;   http://host/a//"},
        {"map", "no separator"}, {"map", "C:\\x;/x"}});
  ASSERT_EQ(S.urlMapCount, 2);
  EXPECT_STREQ(S.urlMap[0].localPath, "C:\\photos\\");
  EXPECT_STREQ(S.urlMap[0].url, "/photos");
  EXPECT_EQ(S.urlMap[0].localLength, 10);
  EXPECT_STREQ(S.urlMap[1].localPath, "D:\\web\\");
  EXPECT_STREQ(S.urlMap[1].url, "http://host/a/");
  EXPECT_EQ(S.urlMap[1].localLength, 7);

  for (int i = 0; i < 12; ++i) {
    std::string line = "C:\\d" + std::to_string(i) + "; /u" + std::to_string(i);
    IndexOptionKey("map", line.c_str());
  }
  ASSERT_EQ(S.urlMapCount, 10);
  EXPECT_STREQ(S.urlMap[9].localPath, "C:\\d7\\");

  // A local path that fills the whole field still ends in '\'.
  ResetIndexSettings();
  std::string longPath(300, 'p');
  IndexOptionKey("map", (longPath + "; /u").c_str());
  ASSERT_EQ(S.urlMapCount, 1);
  EXPECT_EQ(strlen(S.urlMap[0].localPath), 259u);
  EXPECT_EQ(S.urlMap[0].localPath[258], '\\');
  EXPECT_EQ(S.urlMap[0].localLength, 259);
}

TEST_F(IndexSettingsTest, ListKeysOfTheSiteFiles) {
  Keys({{"embed", ".avi"}, {"movie", "mpg"}, {"movies2", "mov"}, {"reservedfile", "notes.txt"},
        {"reservedfile7", "frameset.htm"}});
  EXPECT_TRUE(IsUserExt(".avi"));
  EXPECT_TRUE(IsUserExt("MPG"));
  EXPECT_TRUE(IsUserExt("mov"));
  EXPECT_TRUE(IsSpecialName("dir\\Notes.txt"));
  EXPECT_TRUE(IsSpecialName("frameset.htm"));

  IndexOptionKey("thumbfilelist", "folder.jpg; cover.gif");
  const char* const* names = FolderThumbNames();
  ASSERT_NE(names[0], nullptr);
  EXPECT_STREQ(names[0], "folder.jpg");
  ASSERT_NE(names[1], nullptr);
  EXPECT_STREQ(names[1], "cover.gif");
  EXPECT_EQ(names[2], nullptr);
  IndexOptionKey("thumbfile", "front.png");
  names = FolderThumbNames();
  EXPECT_STREQ(names[0], "front.png");
  EXPECT_STREQ(names[1], "folder.jpg");
}

TEST_F(IndexSettingsTest, KeysAreComparedExactly) {
  Keys({{"columns ", "3"}, {"Columns", "4"}, {"pagesizes", "5"}, {"; note", "x"}, {"index ", "sequence"}});
  EXPECT_EQ(S0.columns, 0);
  EXPECT_EQ(S.pageSize, 0);
  EXPECT_EQ(S.index, IndexMode::Formatted);
  IndexOptionKey(nullptr, "x");
  IndexOptionKey("index", nullptr);
  EXPECT_EQ(S.index, IndexMode::Formatted);
}

TEST_F(IndexSettingsTest, DirectoriesExpandEnvironmentVariables) {
  TempDrive drive;
  SetEnv("PHOTOROOT", "C:\\photos");
  Keys({{"startdir", "%PHOTOROOT%\\2004"}, {"workingdir", "%NOSUCHVAR%\\x"}});
  EXPECT_STREQ(S.startDir, "C:\\photos\\2004");
  EXPECT_STREQ(S.workingDir, "%NOSUCHVAR%\\x");

  struct Case {
    const char* value;
    std::string cacheFile;
  } cases[] = {
      {"%PHOTOROOT%", "C:\\photos\\cache.db"},
      {"C:\\cache\\", "C:\\cache\\cache.db"},
      {"", "cache.db"},
      {"%EMPTYVAR%", "cache.db"},
  };
  SetEnv("EMPTYVAR", "");
  for (const Case& c : cases) {
    IndexOptionKey("cachedir", c.value);
    EXPECT_EQ(S.cacheFile, c.cacheFile) << c.value;
  }
  std::string longDir(250, 'c');
  IndexOptionKey("cachedir", longDir.c_str());
  EXPECT_EQ(S.cacheFile, longDir);
  std::string shorter(249, 'c');
  IndexOptionKey("cachedir", shorter.c_str());
  EXPECT_EQ(S.cacheFile, shorter + "\\cache.db");
  SetEnv("PHOTOROOT", nullptr);
  SetEnv("EMPTYVAR", nullptr);
}

TEST_F(IndexSettingsTest, TemplateIsFoundInTheIconsDirectoryAndKeptFull) {
  TempDrive drive;
  drive.Write("icons/page.tpl", "icons template");
  drive.Write("icons/both.tpl", "icons template");
  drive.Write("site/both.tpl", "local template");
  drive.Write("site/sub/mine.tpl", "template");
  drive.Chdir("site");
  struct Case {
    const char* value;
    std::string templatePath;
  } cases[] = {
      {"page.tpl", "C:\\icons\\page.tpl"},     // only in the icons directory
      {"both.tpl", "C:\\site\\both.tpl"},      // the current directory's wins
      {"sub\\mine.tpl", "C:\\site\\sub\\mine.tpl"},
      {"sub/none.tpl", "C:\\site\\sub\\none.tpl"},  // kept although missing
      {"missing.tpl", "C:\\site\\missing.tpl"},
      {"C:..\\icons\\page.tpl", "C:\\icons\\page.tpl"},
  };
  for (const Case& c : cases) {
    IndexOptionKey("template", c.value);
    EXPECT_EQ(S.templatePath, c.templatePath) << c.value;
  }
  IndexOptionKey("template", "");
  EXPECT_STREQ(S.templatePath, "");
}

TEST_F(IndexSettingsTest, KeyIconFile) {
  TempDrive drive;
  drive.Write("icons/keys.txt", "star\tbirds\n");
  drive.Write("site/lists/mine.txt", "x\n");
  drive.Chdir("site");
  IndexOptionKey("keyicons", "keys.txt");
  EXPECT_STREQ(S.keyIcons, "C:\\icons\\keys.txt");
  IndexOptionKey("keyicons", "lists\\missing.txt");  // must exist: no change
  EXPECT_STREQ(S.keyIcons, "C:\\icons\\keys.txt");
  IndexOptionKey("keyiconsfile", "lists/mine.txt");
  EXPECT_STREQ(S.keyIcons, "C:\\site\\lists\\mine.txt");
  IndexOptionKey("keyicons", "nothere.txt");  // a bare name not found clears it
  EXPECT_STREQ(S.keyIcons, "");
}

TEST_F(IndexSettingsTest, OptionsThenConfigurationFile) {
  TempDrive drive;
  drive.Write("icons/weft.ini",
              "columnwidth=150\n"
              "Columns = 3\n"
              "map=C:\\b; /b\n"
              "embed=avi\n"
              "FORMAT2=compact\n"
              "[cgi]\n"
              "pagesize=9\n");
  drive.MakeDir("site");
  drive.Chdir("site");
  // Options come first; the file then wins for single values, and lists grow.
  listingSections[0].columnWidth1 = 200;
  IndexOptionKey("map", "C:\\a; /a");
  AddUserExt("mpg");
  SetConfigKeyHandler(IndexOptionKey);
  ASSERT_TRUE(ReadConfig());
  EXPECT_EQ(S0.columnWidth1, 150);
  EXPECT_EQ(S0.columns, 0);
  EXPECT_EQ(S1.format, ListingFormat::Compact);
  ASSERT_EQ(S.urlMapCount, 2);
  EXPECT_STREQ(S.urlMap[1].localPath, "C:\\b\\");
  EXPECT_TRUE(IsUserExt("avi") && IsUserExt("mpg"));
  EXPECT_EQ(S.pageSize, 0);
}

}  // namespace
