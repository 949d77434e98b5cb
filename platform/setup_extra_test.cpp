#include "platform/setup_extra.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/files.h"
#include "platform/testing/test_support.h"

namespace {

// Sets variables for one test and puts the old values back after.
class SetupCalls : public ::testing::Test {
 protected:
  void Set(const char* name, const char* value) {
    const char* old = getenv(name);
    saved_.push_back({name, old ? old : "", old != nullptr});
    if (value) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  void TearDown() override {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->had) {
        setenv(it->name.c_str(), it->value.c_str(), 1);
      } else {
        unsetenv(it->name.c_str());
      }
    }
  }
  std::string Search(const char* name) {
    char buffer[kMaxPath + 1];
    return SearchProgramPath(name, buffer, sizeof buffer) ? buffer : "(none)";
  }
  struct Saved {
    std::string name, value;
    bool had;
  };
  std::vector<Saved> saved_;
  TempDrive drive;
};

TEST_F(SetupCalls, SearchPathOrder) {
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

TEST_F(SetupCalls, DrivesInLetterOrder) {
  drive.MakeDir("d");
  Set("WEFTDRIVES", ("E=" + drive.Host("gone") + ";C=" + drive.Host() + ";D=" + drive.Host("d")).c_str());
  EXPECT_EQ("CDE", GetLogicalDriveLetters());
  EXPECT_EQ(kDriveFixed, GetDriveKind('c'));
  EXPECT_EQ(kDriveFixed, GetDriveKind('D'));
  EXPECT_EQ(kDriveNoRootDir, GetDriveKind('E'));
  EXPECT_EQ(kDriveNoRootDir, GetDriveKind('F'));
}

TEST_F(SetupCalls, ShortPathIsTheStoredFullPath) {
  drive.MakeDir("Program Files/Tools");
  drive.Chdir("Program Files");
  struct Case {
    const char* path;
    const char* shortPath;
  } cases[] = {
      {"C:\\PROGRAM FILES\\tools", "C:\\Program Files\\Tools"},
      {"tools\\", "C:\\Program Files\\Tools"},
      {"..", "C:\\"},
      {"C:\\Program Files\\Missing", "(none)"},
  };
  for (const Case& c : cases) {
    char buffer[kMaxPath + 1];
    EXPECT_EQ(c.shortPath, GetShortPath(c.path, buffer, sizeof buffer) ? std::string(buffer) : "(none)")
        << c.path;
  }
  char small[8];
  EXPECT_EQ(0u, GetShortPath("C:\\Program Files", small, sizeof small));
}

TEST_F(SetupCalls, LinksAreReparsePoints) {
  drive.MakeDir("real");
  ASSERT_EQ(0, symlink(drive.Host("real").c_str(), drive.Host("link").c_str()));
  EXPECT_TRUE(IsReparsePoint("C:\\LINK"));
  EXPECT_FALSE(IsReparsePoint("C:\\real"));
  EXPECT_FALSE(IsReparsePoint("C:\\none"));
}

}  // namespace
