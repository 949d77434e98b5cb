#include "shared/banner.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Banner(const ProgramVersionBlock* block, const char* file, std::string* name) {
  testing::internal::CaptureStdout();
  *name = PrintBanner(ProgramVersionInfo(block), file);
  return testing::internal::GetCapturedStdout();
}

}  // namespace

TEST(Banner, WritesTheVersionValuesThatArePresent) {
  struct Case { ProgramVersionBlock block; const char* banner; };
  const Case cases[] = {
      {{"GALLERIA", "Tessarin Index Builder", "2.10", nullptr},
       "GALLERIA, Tessarin Index Builder, Version 2.10\n"},
      {{"VIEWREEL", "Slides", "1.0", "Copyright \xA9 1998 Dunmarrow"},
       "VIEWREEL, Slides, Version 1.0\nCopyright (c) 1998 Dunmarrow\n"},
      {{"ONLY", nullptr, nullptr, nullptr}, "ONLY\n"},
      {{nullptr, "Desc", nullptr, "\xA9\xA9"}, ", Desc\n(c)(c)\n"},
      {{nullptr, nullptr, nullptr, nullptr}, "\n"},
      {{"", "", "", ""}, ", , Version \n\n"},
  };
  for (const Case& c : cases) {
    std::string name;
    EXPECT_EQ(Banner(&c.block, "C:\\TOOLS\\galleria.exe", &name), c.banner);
    EXPECT_EQ(name, "GALLERIA");
  }
  std::string name;
  EXPECT_EQ(Banner(nullptr, "x.exe", &name), "\n");
  EXPECT_EQ(name, "X");
}

TEST(Banner, ProgramName) {
  struct Case { const char* file; const char* name; };
  const Case cases[] = {
      {"C:\\TOOLS\\galleria.exe", "GALLERIA"},
      {"/work/build/bin/viewreel", "VIEWREEL"},
      {"pagebase", "PAGEBASE"},
      {"c:tag.query.exe", "TAG.QUERY"},
      {"C:\\bin\\a-very-long-program-name.exe", "A-VERY-LONG-PROGRAM"},
      {"C:\\bin\\", ""},
      {"", ""},
      {nullptr, ""},
  };
  for (const Case& c : cases) {
    char buffer[kProgramNameSize];
    EXPECT_STREQ(ProgramNameOf(c.file, buffer), c.name) << (c.file ? c.file : "null");
  }
}

TEST(Banner, QueryValueAndString) {
  const ProgramVersionBlock block = {"RANKPAGE", "Sort orders", "3.2", nullptr};
  ProgramVersionInfo info(&block);
  size_t length = 99;
  EXPECT_STREQ(info.QueryValue("\\StringFileInfo\\040904E4\\FileVersion", &length), "3.2");
  EXPECT_EQ(length, 3u);
  EXPECT_STREQ(info.QueryValue("\\stringfileinfo\\040904e4\\internalname", &length), "RANKPAGE");
  EXPECT_EQ(info.QueryValue("\\StringFileInfo\\040904E4\\LegalCopyright", &length), nullptr);
  EXPECT_EQ(info.QueryValue("\\StringFileInfo\\04070000\\FileVersion", &length), nullptr);

  char buffer[8];
  memset(buffer, 'z', sizeof buffer);
  EXPECT_EQ(info.QueryString("\\StringFileInfo\\040904E4\\FileDescription", buffer, 5), 4u);
  EXPECT_STREQ(buffer, "Sort");
  EXPECT_EQ(buffer[5], 'z');
  strcpy(buffer, "keep");
  EXPECT_EQ(info.QueryString("\\StringFileInfo\\040904E4\\LegalCopyright", buffer, 8), 0u);
  EXPECT_STREQ(buffer, "keep");
  EXPECT_EQ(ProgramVersionInfo(nullptr).QueryString(
                "\\StringFileInfo\\040904E4\\FileVersion", buffer, 8), 0u);
}

TEST(Banner, ProgramWithoutVersionBlockPrintsOnlyANewline) {
  // This test program defines no version block.
  testing::internal::CaptureStdout();
  std::string name = PrintBanner();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "\n");
  EXPECT_EQ(name, "WEFTSHARED_TESTS");
}
