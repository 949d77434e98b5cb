#include "programs/unpost/file_names.h"

#include <gtest/gtest.h>

#include "platform/testing/test_support.h"

namespace {

TEST(FileNames, Clean) {
  struct Case {
    const char* name;
    const char* clean;
  } cases[] = {
      {"photo.jpg", "photo.jpg"},
      {"\"quoted name.jpg\"", "quoted name.jpg"},
      {"C:\\windows\\..\\system32\\evil.dll", "evil.dll"},
      {"../../../etc/passwd", "passwd"},
      {"dir/", ""},
      {"a:b*c?d<e>f|g.bin", "a_b_c_d_e_f_g.bin"},
      {"tab\there\x01.txt", "tab_here_.txt"},
      {"   spaced.txt \t ", "spaced.txt"},
      {"dir\\ \tname.jpg", "name.jpg"},
      {"..", ""},
      {"...", ""},
      {"x\\..", ""},
      {"..hidden", "..hidden"},
  };
  for (const auto& c : cases) EXPECT_EQ(CleanFileName(c.name), c.clean) << c.name;
}

TEST(FileNames, FixCase) {
  struct Case {
    const char* name;
    const char* fixed;
  } cases[] = {
      {"PHOTO.JPG", "photo.jpg"},
      {"photo.JPG", "photo.jpg"},
      {"Photo.JPG", "Photo.JPG"},
      {"README", "readme"},
      {"ReadMe", "ReadMe"},
      {"a.b.C", "a.b.c"},
      {"a.B.c", "a.B.c"},
      {"IMG_01.Jpg", "IMG_01.Jpg"},
      {"IMG_01.jpg", "IMG_01.jpg"},
      {"IMG_01.JPG", "img_01.jpg"},
  };
  for (const auto& c : cases) EXPECT_EQ(FixFileNameCase(c.name), c.fixed) << c.name;
}

TEST(FileNames, TextName) {
  EXPECT_EQ(TextFileName("photo.jpg"), "photo.txt");
  EXPECT_EQ(TextFileName("a.tar.gz"), "a.tar.txt");
  EXPECT_EQ(TextFileName("noext"), "noext.txt");
}

TEST(FileNames, MakeUnique) {
  TempDrive drive;
  EXPECT_EQ(MakeUniqueFileName("part.bin"), "part.bin");
  drive.Write("part.bin", "");
  EXPECT_EQ(MakeUniqueFileName("part.bin"), "part02.bin");
  drive.Write("part02.bin", "");
  EXPECT_EQ(MakeUniqueFileName("part.bin"), "part03.bin");
  drive.Write("file1.bin", "");
  EXPECT_EQ(MakeUniqueFileName("file1.bin"), "file1-02.bin");
  drive.Write("noext", "");
  EXPECT_EQ(MakeUniqueFileName("noext"), "noext02");
  drive.Write("x", "");
  for (int i = 2; i <= 99; ++i) drive.Write("x" + std::string(i < 10 ? "0" : "") + std::to_string(i), "");
  EXPECT_EQ(MakeUniqueFileName("x"), "x99");  // the last number, then the question
}

}  // namespace
