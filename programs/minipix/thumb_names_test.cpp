#include "programs/minipix/thumb_names.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/testing/test_support.h"

namespace {

TEST(MakeThumbName, TurnsTheLastDotIntoAnUnderscore) {
  struct Case {
    const char* image;
    const char* ext;
    size_t size;
    const char* expected;
  };
  const Case cases[] = {
      {"sunset.jpg", ".jpg", 261, "tn_sunset_jpg.jpg"},
      {"my_pic.JPG", ".jpg", 261, "tn_my_pic_JPG.jpg"},
      {"a.b.jpg", ".jpg", 261, "tn_a.b_jpg.jpg"},
      {"noext", ".jpg", 261, "tn_noext.jpg"},
      {"a.jpg", ".gif", 261, "tn_a_jpg.gif"},
      // Only size - length(ext) - 4 characters of the name are taken.
      {"abcdef.jpg", ".jpg", 12, "tn_abcd.jpg"},
      {"ab.cdef.jpg", ".jpg", 14, "tn_ab_cde.jpg"},
      {"abc.jpg", ".jpg", 8, "tn_.jpg"},
  };
  for (const Case& c : cases) {
    char buffer[300];
    EXPECT_STREQ(MakeThumbName(c.image, c.ext, buffer, c.size), c.expected) << c.image << " " << c.size;
  }
}

TEST(ThumbPath, PutsTheNameIntoThumbsBesideTheImage) {
  struct Case {
    const char* image;
    const char* expected;
  };
  const Case cases[] = {
      {"pic.jpg", "thumbs\\tn_pic_jpg.jpg"},
      {"C:\\dir\\pic.jpg", "C:\\dir\\thumbs\\tn_pic_jpg.jpg"},
      {"dir/a.b.jpg", "dir/thumbs\\tn_a.b_jpg.jpg"},
      {"c:pic.jpg", "c:thumbs\\tn_pic_jpg.jpg"},
  };
  for (const Case& c : cases) {
    char buffer[261];
    EXPECT_STREQ(ThumbPath(c.image, ".jpg", buffer, sizeof buffer), c.expected);
    EXPECT_EQ(ThumbPathLength(c.image, ".jpg"), strlen(c.expected));
  }
}

TEST(ThumbPath, LongNamesAreCutBeforeTheExtension) {
  std::string image(251, 'x');
  image += ".jpg";
  char buffer[261];
  std::string path = ThumbPath(image.c_str(), ".jpg", buffer, sizeof buffer);
  EXPECT_EQ(path, "thumbs\\tn_" + std::string(246, 'x') + ".jpg");
  EXPECT_EQ(ThumbPathLength(image.c_str(), ".jpg"), 269u);
}

TEST(ThumbPath, WithoutExtensionFindsJpgThenGif) {
  TempDrive drive;
  drive.Write("thumbs/tn_both_jpg.jpg", "j");
  drive.Write("thumbs/tn_both_jpg.gif", "g");
  drive.Write("thumbs/tn_gif_jpg.gif", "g");
  struct Case {
    const char* image;
    const char* expected;  // null: none
  };
  const Case cases[] = {
      {"both.jpg", "thumbs\\tn_both_jpg.jpg"},
      {"gif.jpg", "thumbs\\tn_gif_jpg.gif"},
      {"none.jpg", nullptr},
  };
  for (const Case& c : cases) {
    char buffer[261] = "junk";
    const char* found = ThumbPath(c.image, nullptr, buffer, sizeof buffer);
    if (c.expected) {
      EXPECT_STREQ(found, c.expected);
    } else {
      EXPECT_EQ(found, nullptr);
      EXPECT_STREQ(buffer, "");
    }
  }
}

TEST(ThumbToImageName, ReversesTheNamingRule) {
  struct Case {
    const char* thumb;
    size_t size;
    const char* expected;  // null: no thumbnail name
  };
  const Case cases[] = {
      {"tn_a.b_jpg.jpg", 261, "a.b.jpg"},
      {"tn_my_pic_jpg.jpg", 261, "my_pic.jpg"},
      {"tn_sunset_JPG.jpg", 261, "sunset.JPG"},
      {"tn_x_jpg.GIF", 261, "x.jpg"},
      {"tn_abc.jpg", 261, "abc"},
      {"TN_x_jpg.jpg", 261, nullptr},
      {"tn_x_jpg.png", 261, nullptr},
      {"notes.jpg", 261, nullptr},
      {"tn_noext", 261, nullptr},
      {"tn_abcdef_jpg.jpg", 5, "abcd"},     // the '_' lies beyond the cut
      {"tn_abcdef_jpg.jpg", 8, "abcdef."},
  };
  for (const Case& c : cases) {
    char buffer[261] = "junk";
    const char* image = ThumbToImageName(c.thumb, buffer, c.size);
    if (c.expected) {
      EXPECT_STREQ(image, c.expected) << c.thumb;
    } else {
      EXPECT_EQ(image, nullptr) << c.thumb;
      EXPECT_STREQ(buffer, "") << c.thumb;
    }
  }
}

}  // namespace
