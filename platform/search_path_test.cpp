#include "platform/search_path.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/drives.h"
#include "platform/testing/test_support.h"

namespace {

class SearchPathTest : public ::testing::Test {
 protected:
  void Set(const char* name, const char* value) { environment_.Set(name, value); }
  std::string Search(const char* name) {
    char buffer[kMaxPath + 1];
    return SearchProgramPath(name, buffer, sizeof buffer) ? buffer : "(none)";
  }
  TempDrive drive;

 private:
  ScopedEnvironment environment_;  // put back before the drive goes
};

TEST_F(SearchPathTest, SearchPathOrder) {
  drive.Write("work/tool.exe", "w");
  drive.Write("WINDOWS/SYSTEM32/tool.exe", "s");
  drive.Write("WINDOWS/notepad.exe", "n");
  drive.Write("win2/notepad.exe", "n2");
  drive.Write("bin/edit.exe", "e");
  drive.Write("bin2/edit.exe", "e2");
  drive.MakeDir("bin/folder.exe");
  drive.Chdir("work");
  Set("SystemRoot", nullptr);
  Set("windir", nullptr);
  Set("PATH", "C:\\nothere;;C:\\BIN;C:\\bin2");
  struct Case {
    const char* name;
    const char* found;
  } cases[] = {
      {"tool.exe", "C:\\work\\tool.exe"},
      {"NOTEPAD.EXE", "C:\\WINDOWS\\NOTEPAD.EXE"},
      {"edit.exe", "C:\\BIN\\edit.exe"},
      {"folder.exe", "(none)"},
      {"missing.exe", "(none)"},
      {"", "(none)"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.found, Search(c.name)) << c.name;
  Set("SystemRoot", "C:\\win2");
  EXPECT_EQ("C:\\win2\\notepad.exe", Search("notepad.exe"));
}

}  // namespace
