// envdirs killed (kill -9) at every moment where it changes a file, with the
// boot file on another device than its folder (C:\AUTOEXEC.BAT a link to
// it): the new version crosses the devices as a copy beside the real file.
// Each kill leaves the boot file old or new, and the next run leaves exactly
// what a whole run leaves: no copy or temporary file of the killed run stays
// on either device.
#include <dirent.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <string>

#include "platform/testing/kill_points.h"
#include "platform/testing/test_support.h"

namespace {

using Folder = std::map<std::string, std::string>;  // name -> content

// Every entry of a host folder, dot files too, with its content.
Folder ReadFolder(const std::string& host) {
  Folder entries;
  DIR* dir = opendir(host.c_str());
  if (!dir) return entries;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat st;
    std::string path = host + "/" + name;
    if (lstat(path.c_str(), &st) != 0) continue;
    entries[name] = S_ISREG(st.st_mode) ? ReadHostFile(path) : S_ISLNK(st.st_mode) ? "(link)" : "(folder)";
  }
  closedir(dir);
  return entries;
}

class EnvdirsKilled : public ::testing::Test {
 protected:
  void SetUp() override {
    char folder[] = "/dev/shm/weftboot.XXXXXX";
    if (!mkdtemp(folder)) GTEST_SKIP() << "no second device";
    other_ = folder;
    struct stat a, b;
    if (stat(drive_.Host().c_str(), &a) != 0 || stat(other_.c_str(), &b) != 0 || a.st_dev == b.st_dev) {
      GTEST_SKIP() << "no second device";
    }
    drive_.MakeDir("TOOLS");
    options_.cwd = drive_.Host();
    options_.unset = {"WEFTLOG"};
  }
  void TearDown() override {
    if (other_.empty()) return;
    for (const auto& [name, content] : ReadFolder(other_)) unlink((other_ + "/" + name).c_str());
    rmdir(other_.c_str());
  }

  // The boot file on the other device, its link and nothing else.
  void SetUpBootFile() {
    for (const auto& [name, content] : ReadFolder(other_)) unlink((other_ + "/" + name).c_str());
    for (const auto& [name, content] : ReadFolder(drive_.Host())) {
      if (content != "(folder)") unlink(drive_.Host(name).c_str());
    }
    FILE* file = fopen((other_ + "/autoexec.bat").c_str(), "w");
    ASSERT_NE(file, nullptr);
    fputs("@ECHO OFF\r\nPATH C:\\DOS;C:\\WINDOWS\r\n", file);
    fclose(file);
    drive_.Link("AUTOEXEC.BAT", other_ + "/autoexec.bat");
  }

  TempDrive drive_;
  std::string other_;
  RunOptions options_;
};

TEST_F(EnvdirsKilled, NoCopyOfAKilledRunStays) {
  SetUpBootFile();
  const Folder before = ReadFolder(other_);
  const std::vector<std::string> args = {"C:\\TOOLS"};
  KillPointRun whole = RunProgramKilledAt("envdirs", args, options_, 1 << 30);
  ASSERT_TRUE(whole.traced);
  const Folder after = ReadFolder(other_);
  const Folder drive = ReadFolder(drive_.Host());
  ASSERT_EQ(after.size(), 1u);
  ASSERT_NE(after, before);
  ASSERT_EQ(drive.count("AUTOEXEC.OLD"), 1u);
  ASSERT_GE(whole.changes, 5);
  for (int killAt = 0; killAt < whole.changes; ++killAt) {
    SetUpBootFile();
    ASSERT_TRUE(RunProgramKilledAt("envdirs", args, options_, killAt).killed);
    std::string boot = ReadHostFile(other_ + "/autoexec.bat");
    EXPECT_TRUE(boot == before.at("autoexec.bat") || boot == after.at("autoexec.bat"))
        << "killed at change " << killAt << ": " << boot;
    RunProgram("envdirs", args, options_);
    EXPECT_EQ(ReadFolder(other_), after) << "the run after a kill at change " << killAt;
    EXPECT_EQ(ReadFolder(drive_.Host()), drive) << "the run after a kill at change " << killAt;
  }
}

}  // namespace
