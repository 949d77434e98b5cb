// foldsig as a rebuild batch file runs it: in a folder of a site tree on
// drive C:, and then foldmap over the same tree.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/testing/test_support.h"
#include "programs/foldsig/folder_signer.h"
#include "shared/folder_signature.h"

namespace {

using Entries = std::vector<std::pair<std::string, uint32_t>>;

uint32_t Checksum(const Entries& entries) {
  uint32_t sum = 0;
  for (const auto& [name, size] : entries) {
    sum += size;
    for (char c : name) sum += static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(c)));
  }
  return sum;
}

class Foldsig : public ::testing::Test {
 protected:
  RunResult Run(const std::string& program, const std::string& folder, const std::vector<std::string>& args = {}) {
    RunOptions options;
    options.cwd = drive_.Host(folder);
    options.unset = {"COMSPEC", "PATH"};
    return RunProgram(std::string(WEFT_BIN_DIR) + "/" + program, args, options);
  }
  TempDrive drive_;
};

TEST_F(Foldsig, WritesTheSignatureAndRemovesOlderOnes) {
  drive_.MakeDir("icons");
  drive_.Write("site/a/x.jpg", "jpeg");
  drive_.Write("site/a/index.htm", "<p>");
  drive_.Write("site/a/00000000._M5", "");       // an older signature
  drive_.Write("site/a/0000ABCD._MD", "");       // and another
  drive_.Write("site/a/12345678._M1", "data");  // not zero-length: an ordinary file
  drive_.Write("site/a/.hidden", "h");
  drive_.MakeDir("site/a/thumbs");
  RunResult result = Run("foldsig", "site/a");
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.exitCode, 0);
  std::string name = ExpectedSignatureName(
      Checksum({{"12345678._M1", 4}, {"index.htm", 3}, {"thumbs", 0}, {"x.jpg", 4}}), 2);
  EXPECT_EQ(drive_.Files("site/a"),
            (std::vector<std::string>{".hidden", name, "12345678._M1", "index.htm", "x.jpg"}));
  EXPECT_EQ(drive_.Read("site/a/" + name), "");
}

TEST_F(Foldsig, IconsDistanceHasNoLimit) {
  drive_.MakeDir("icons");
  std::string deep = "a/b/c/d/e/f/g/h/i/j/k";
  drive_.MakeDir(deep);
  drive_.MakeDir("other/icons");
  EXPECT_EQ(IconsDistanceOf(drive_.Win(deep)), 11);
  EXPECT_EQ(IconsDistanceOf(drive_.Win("")), 0);
  EXPECT_EQ(IconsDistanceOf(drive_.Win("other")), 0);
  EXPECT_EQ(IconsDistanceOf(drive_.Win("icons")), 1);
  TempDrive bare;
  bare.MakeDir("x/y");
  EXPECT_EQ(IconsDistanceOf(bare.Win("x/y")), -1);
}

// Folders signed by their batch files are up to date for foldmap, however
// deep they lie below the icons folder, and with no icons folder at all.
TEST_F(Foldsig, FoldmapAgreesAfterTheRebuild) {
  for (bool icons : {true, false}) {
    TempDrive drive;
    if (icons) drive.MakeDir("icons");
    std::string folder;
    for (const char* name : {"", "a", "b", "c", "d", "e", "f", "g", "h", "i"}) {
      folder += std::string(name) + (*name ? "/" : "");
      drive.Write(folder + "refolio.bat", "@foldsig\n");
      drive.Write(folder + "page.htm", folder);
    }
    RunOptions options;
    options.unset = {"COMSPEC", "PATH", "_MOD"};
    std::string foldmap = std::string(WEFT_BIN_DIR) + "/foldmap";
    RunResult first = RunProgram(foldmap, {}, options);
    EXPECT_EQ(first.err, "");
    EXPECT_EQ(first.exitCode, 0);
    RunResult second = RunProgram(foldmap, {}, options);
    EXPECT_EQ(second.out, "FOLDMAP:  All directories are up-to-date.\n");
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_EQ(drive.Files("a/b/c/d/e/f/g/h/i").front().substr(8), icons ? "._M9" : "._MD");
  }
}

TEST_F(Foldsig, FailuresAndHelp) {
  drive_.Write("a/00000000._M1", "");
  chmod(drive_.Host("a/00000000._M1").c_str(), 0444);
  RunResult result = Run("foldsig", "a");
  EXPECT_EQ(result.err, "FOLDSIG Error:  Can't delete \"00000000._M1\".\n");
  EXPECT_EQ(result.exitCode, 2);
  RunOptions options;
  options.cwd = "/";
  options.env = {{"WEFTDRIVES", "C=" + drive_.Host("a")}};
  result = RunProgram(std::string(WEFT_BIN_DIR) + "/foldsig", {}, options);
  EXPECT_EQ(result.err, "FOLDSIG Error:  Can't determine the current working directory.\n");
  EXPECT_EQ(result.exitCode, 2);
  for (const char* arg : {"/?", "x"}) {
    result = Run("foldsig", "", {arg});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out.substr(0, 49), "FOLDSIG, Tessarin Folder Signature, Version 1.00\n");
  }
}

}  // namespace
