// The configuration keys and the image tests of the thumbnail builder.
#include <gtest/gtest.h>

#include "platform/testing/test_support.h"
#include "programs/minipix/minipix.h"
#include "shared/sitefiles.h"

namespace {

class MinipixSettings : public ::testing::Test {
 protected:
  MinipixSettings() {
    ResetThumbSettings();
    ResetSiteFiles();
  }
  ~MinipixSettings() override {
    ResetThumbSettings();
    ResetSiteFiles();
  }
};

TEST_F(MinipixSettings, KeysSetTheSettings) {
  struct Step {
    const char* key;
    const char* value;
    unsigned width, height, quality, sharpness;
    bool fast, keywords;
  };
  // Each step applies to the settings the earlier steps left.
  const Step steps[] = {
      {"thumbsize", "50,40", 50, 40, 75, 0, true, false},
      {"thumbsize", "70", 70, 40, 75, 0, true, false},
      {"thumbsize", "x,5", 70, 40, 75, 0, true, false},
      {"thumbsize ", "9,9", 70, 40, 75, 0, true, false},  // keys are not trimmed
      {"thumbquality", "90", 70, 40, 90, 0, true, false},
      {"thumbquality", "high", 70, 40, 90, 0, true, false},
      {"thumbsharpness", "55", 70, 40, 90, 55, true, false},
      {"thumbfast", "off", 70, 40, 90, 55, false, false},
      {"thumbfast", "maybe", 70, 40, 90, 55, false, false},  // default no now
      {"thumbfast", "1", 70, 40, 90, 55, true, false},
      {"keywordthumbs", "maybe", 70, 40, 90, 55, true, false},
      {"keywordthumbs", "Yes", 70, 40, 90, 55, true, true},
      {"colour", "red", 70, 40, 90, 55, true, true},
  };
  for (const Step& s : steps) {
    ThumbOptionKey(s.key, s.value);
    EXPECT_EQ(thumbSize[0], s.width) << s.key << "=" << s.value;
    EXPECT_EQ(thumbSize[1], s.height) << s.key << "=" << s.value;
    EXPECT_EQ(thumbQuality, s.quality) << s.key << "=" << s.value;
    EXPECT_EQ(thumbSharpness, s.sharpness) << s.key << "=" << s.value;
    EXPECT_EQ(thumbFast, s.fast) << s.key << "=" << s.value;
    EXPECT_EQ(keywordThumbs, s.keywords) << s.key << "=" << s.value;
  }
}

TEST_F(MinipixSettings, ReservedFilesNeedNoThumbnail) {
  ThumbOptionKey("reservedfile", "mine.jpg");
  ThumbOptionKey("reservedfiles", "logo.jpg");
  ThumbOptionKey("reservedfile2", "Banner.JPG");
  ThumbOptionKey("reservedfil", "other.jpg");
  for (const char* name : {"mine.jpg", "LOGO.jpg", "banner.jpg", "index.jpg", "thumb.jpg", "backgnd.jpg"}) {
    EXPECT_FALSE(NeedsThumb(name)) << name;
  }
  for (const char* name : {"other.jpg", "photo.jpg", "index2.jpg"}) EXPECT_TRUE(NeedsThumb(name)) << name;
}

TEST_F(MinipixSettings, KeywordThumbsAskTheImagePage) {
  TempDrive drive;
  drive.Write("a.htm", "<HTML><HEAD><TITLE>A</TITLE>\n<META NAME=\"keywords\" CONTENT=\"sea, sky\"></HEAD>");
  drive.Write("b.htm", "<HEAD><META NAME=KEYWORDS CONTENT=\"\"></HEAD>");
  drive.Write("c.htm", "<HEAD></HEAD><BODY><META NAME=KEYWORDS CONTENT=\"late\"></BODY>");
  drive.Write("d.htm", "<HEAD><META NAME=KEYWORDS CONTENT=\"x\"><META name=Keywords content=\"\"></HEAD>");
  drive.Write("e.htm", "<head><meta content=\"boat\" name=\"Keywords\"></head>");
  drive.Write("f.htm", "<HEAD><META NAME=DESCRIPTION CONTENT=\"no keys\"></HEAD>");
  drive.Write("g.htm", "<HEAD><META NAME=KEYWORDS CONTENT=\"&#1;\"></HEAD>");
  struct Case {
    const char* image;
    bool needs;
  };
  const Case cases[] = {
      {"a.jpg", true},  {"b.jpg", false}, {"c.jpg", false}, {"d.jpg", false}, {"E.JPG", true},
      {"f.jpg", false}, {"g.jpg", false}, {"none.jpg", false},
  };
  ThumbOptionKey("keywordthumbs", "yes");
  for (const Case& c : cases) EXPECT_EQ(NeedsThumb(c.image), c.needs) << c.image;
  ThumbOptionKey("keywordthumbs", "no");
  for (const Case& c : cases) EXPECT_TRUE(NeedsThumb(c.image)) << c.image;
}

}  // namespace
