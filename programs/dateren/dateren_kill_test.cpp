// dateren killed (kill -9) before each of its renames: no picture is ever
// cut off from its slide page and text file. A kill leaves each picture with
// its companions under the old names, or the companions gone ahead to the
// dated names with the picture still to follow; the next run completes it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/filetime.h"
#include "platform/testing/kill_points.h"
#include "platform/testing/test_support.h"
#include "programs/dateren/testing/noon_of.h"

namespace {

// One file of a picture's group, by its name before and after a whole run.
struct Name {
  std::string before, after;
};
// A picture first, then its companions.
using Group = std::vector<Name>;

const std::vector<Group> kGroups = {
    {{"a.jpg", "a(990704).jpg"}, {"a.htm", "a(990704).htm"}, {"a.txt", "a(990704).txt"}},
    {{"b-2.gif", "b(990704).gif"}, {"b-2.htm", "b(990704).htm"}},
    {{"b-3.gif", "b(990703).gif"}, {"b-3.txt", "b(990703).txt"}},
    {{"c.png", "c(030102).png"}},
};

class DaterenKilled : public ::testing::Test {
 protected:
  void SetUp() override {
    options_.cwd = drive_.Host("pics");
    options_.env["TZ"] = "UTC";
    options_.unset = {"WEFTLOG"};
  }

  // The pictures with their dates and companions, written afresh.
  void WritePictures() {
    for (const Group& group : kGroups) {
      for (const Name& name : group) drive_.Write("pics/" + name.before, "content of " + name.before);
    }
    SetDate("a.jpg", 1999, 7, 4);
    SetDate("b-2.gif", 1999, 7, 4);
    SetDate("b-3.gif", 1999, 7, 4);
    SetDate("c.png", 2003, 1, 2);
  }
  void SetDate(const std::string& name, int year, int month, int day) {
    FileTime written = NoonOf(year, month, day);
    ASSERT_TRUE(SetFileTimes(drive_.Win("pics/" + name).c_str(), nullptr, nullptr, &written));
  }
  void Clear() {
    for (const std::string& name : drive_.Files("pics")) {
      ASSERT_TRUE(DeleteFile(drive_.Win("pics/" + name).c_str())) << name;
    }
  }

  // Where each file of the group is ('old', 'new' or a fault), and whether
  // the group is one a next run completes.
  std::string GroupFault(const FileStates& files, const Group& group) {
    std::vector<bool> moved;
    for (const Name& name : group) {
      bool atOld = files.count(name.before) && files.at(name.before) == "content of " + name.before;
      bool atNew = files.count(name.after) && files.at(name.after) == "content of " + name.before;
      if (atOld == atNew) return name.before + " is lost or doubled";
      moved.push_back(atNew);
    }
    for (size_t i = 1; i < moved.size(); ++i) {
      if (moved[0] && !moved[i]) return group[0].after + " went ahead of " + group[i].before;
    }
    return "";
  }

  TempDrive drive_;
  RunOptions options_;
  const std::vector<std::string> args_ = {"*.jpg", "b-2.gif", "b-3.gif", "*.png"};
};

TEST_F(DaterenKilled, NoPictureIsCutOffFromItsCompanions) {
  WritePictures();
  KillPointRun whole = RunProgramKilledAt("dateren", args_, options_, 1 << 30);
  ASSERT_TRUE(whole.traced);
  FileStates after = ReadFiles(drive_, "pics");
  for (const Group& group : kGroups) {
    for (const Name& name : group) ASSERT_EQ(after.count(name.after), 1u) << name.after;
  }
  ASSERT_GE(whole.changes, 8);
  for (int killAt = 0; killAt < whole.changes; ++killAt) {
    Clear();
    WritePictures();
    KillPointRun killed = RunProgramKilledAt("dateren", args_, options_, killAt);
    ASSERT_TRUE(killed.killed) << killAt;
    FileStates files = ReadFiles(drive_, "pics");
    for (const Group& group : kGroups) {
      EXPECT_EQ(GroupFault(files, group), "") << "killed at rename " << killAt;
    }
    RunResult next = RunProgram("dateren", args_, options_);
    EXPECT_EQ(next.exitCode, 0);
    EXPECT_EQ(ReadFiles(drive_, "pics"), after) << "the run after a kill at rename " << killAt;
  }
}

}  // namespace
