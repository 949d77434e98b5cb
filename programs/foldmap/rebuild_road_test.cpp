// The rebuild road as a user walks it: galstart writes each folder's
// "refolio.bat" with "galleria & foldsig" as the command, and foldmap,
// started with a Linux PATH, rebuilds what changed through the command
// interpreter, subfolders first.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/testing/test_support.h"

namespace {

const char kPage[] = "<HTML><HEAD><TITLE>%s</TITLE></HEAD><BODY></BODY></HTML>\n";

std::string Page(const std::string& title) {
  std::string page = kPage;
  return page.replace(page.find("%s"), 2, title);
}

class RebuildRoad : public ::testing::Test {
 protected:
  RunResult Run(const std::string& program, const std::vector<std::string>& args = {}) {
    RunOptions options;
    options.env = {{"PATH", "/usr/local/bin:/usr/bin:/bin:" + std::string(WEFT_BIN_DIR)}};
    options.unset = {"COMSPEC", "_MOD", "WEFTLOG"};
    return RunProgram(std::string(WEFT_BIN_DIR) + "/" + program, args, options);
  }
  std::string Updating(const std::string& folder) {
    return "FOLDMAP:  Updating \"" + drive_.Win(folder) + (folder.empty() ? "" : "\\") + "\".\n";
  }
  TempDrive drive_;
};

TEST_F(RebuildRoad, OnlyWhatChangedIsRebuilt) {
  drive_.MakeDir("icons");
  drive_.Write("home.htm", Page("Home"));
  drive_.Write("trips/trips.htm", Page("Trips"));
  drive_.Write("trips/sea/waves.htm", Page("Waves"));
  drive_.Write("trips/hills/peak.htm", Page("Peak"));
  for (const char* folder : {"", "trips", "trips/sea", "trips/hills"}) {
    std::string placeholder = std::string(folder) + (*folder ? "/" : "") + "New Text Document.txt";
    drive_.Write(placeholder, "");
    RunResult galstart = Run("galstart", {"/galleria & foldsig", drive_.Win(placeholder)});
    ASSERT_EQ(galstart.exitCode, 0) << galstart.err;
    EXPECT_FALSE(drive_.Exists(placeholder));
  }
  EXPECT_EQ(drive_.Read("trips/sea/refolio.bat"), "@galleria & foldsig\n");

  RunResult first = Run("foldmap");
  EXPECT_EQ(first.out, Updating("trips\\hills") + Updating("trips\\sea") + Updating("trips") + Updating(""));
  EXPECT_EQ(first.err, "");
  EXPECT_EQ(first.exitCode, 0);
  for (const char* folder : {"", "trips/", "trips/sea/", "trips/hills/"}) {
    EXPECT_NE(drive_.Read(std::string(folder) + "index.htm"), "") << folder;
  }
  EXPECT_NE(drive_.Read("index.htm").find("trips/index.htm"), std::string::npos);

  RunResult second = Run("foldmap");
  EXPECT_EQ(second.out, "FOLDMAP:  All directories are up-to-date.\n");
  EXPECT_EQ(second.exitCode, 1);

  // A new page: its folder and the folders above it, not the one beside it.
  drive_.Write("trips/sea/shells.htm", Page("Shells"));
  RunResult third = Run("foldmap");
  EXPECT_EQ(third.out, Updating("trips\\sea") + Updating("trips") + Updating(""));
  EXPECT_EQ(third.exitCode, 0);
  EXPECT_NE(drive_.Read("trips/sea/index.htm").find("Shells"), std::string::npos);

  EXPECT_EQ(Run("foldmap").exitCode, 1);
}

}  // namespace
