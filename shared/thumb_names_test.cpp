#include "shared/thumb_names.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/testing/test_support.h"
#include "shared/paths.h"
#include "shared/sitefiles.h"

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

// The thumbnail builder writes with these names and the listings find with
// them: beside images of similar names, the thumbnail written for each image
// is the one its listing finds, and that name leads back to the image.
TEST(ThumbNames, WhatTheBuilderWritesTheListingsFind) {
  TempDrive drive;
  const char* const images[] = {"beach.jpg", "beach_2.jpg", "my_pic.JPG", "a.b.jpg",
                                "Sea.Shore.png", "x.y.z.gif",  "noext"};
  for (const char* image : images) {
    char name[261];
    drive.Write(image, "image");
    drive.Write(std::string(kThumbsFolder) + "/" + MakeThumbName(image, ".jpg", name, sizeof name), "thumb");
  }
  for (const char* image : images) {
    char written[261];
    char found[kSitePathSize] = "";
    char back[261];
    ThumbPath(image, ".jpg", written, sizeof written);
    EXPECT_NE(FindThumbnail(found, image), nullptr) << image;
    EXPECT_STREQ(found, written) << image;
    EXPECT_STREQ(ThumbToImageName(BaseName(written), back, sizeof back), image) << image;
    // With one dot, the search pattern itself takes the written name.
    const char* dot = strchr(image, '.');
    if (dot && dot == strrchr(image, '.')) {
      EXPECT_EQ(std::string(BaseName(written)).rfind(ThumbSearchPrefix(image), 0), 0u) << image;
    }
  }
}

TEST(ThumbSearchPrefix, EveryDotOfTheNameBeforeItsExtensionIsAnUnderscore) {
  struct Case {
    const char* image;
    const char* prefix;
  } const cases[] = {
      {"beach.jpg", "tn_beach_"}, {"a.b.jpg", "tn_a_b_"}, {"my_pic.JPG", "tn_my_pic_"},
      {"noext", "tn_noext_"},     {".jpg", "tn__"},
  };
  for (const Case& c : cases) EXPECT_EQ(ThumbSearchPrefix(c.image), c.prefix) << c.image;
}

}  // namespace
