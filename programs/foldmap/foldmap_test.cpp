// foldmap as a user runs it: a small site tree on drive C: whose rebuild
// batch files say where they ran, with file times set so that the signature
// files are the newest.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/filetime.h"
#include "platform/testing/test_support.h"
#include "programs/foldmap/tree_update.h"

namespace {

const FileTime kBuilt = UnixToFileTime(1600000000);
const FileTime kSigned = UnixToFileTime(1600003600);

class Foldmap : public ::testing::Test {
 protected:
  RunResult Run(const std::vector<std::string>& args = {}) {
    RunOptions options;
    options.unset = {"COMSPEC", "_MOD"};
    return RunProgram(std::string(WEFT_BIN_DIR) + "/foldmap", args, options);
  }
  void File(const std::string& relative, const std::string& content, FileTime time = kBuilt) {
    drive_.Write(relative, content);
    ASSERT_TRUE(SetFileTimes(drive_.Win(relative).c_str(), nullptr, nullptr, &time));
  }
  // A rebuild batch file that prints its folder's name and _MOD.
  void Batch(const std::string& folder, const std::string& label) {
    File((folder.empty() ? "" : folder + "/") + "refolio.bat", "@echo " + label + " [%_MOD%]\n");
  }
  // Signs a folder as its signature utility would: the checksum of the
  // entries given (name, size; a folder has size 0).
  void Sign(const std::string& folder, const std::vector<std::pair<std::string, uint32_t>>& entries,
            int distance) {
    uint32_t sum = 0;
    for (const auto& [name, size] : entries) {
      sum += size;
      for (char c : name) sum += static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(c)));
    }
    std::string name = ExpectedSignatureName(sum, distance);
    File((folder.empty() ? "" : folder + "/") + name, "", kSigned);
  }
  uint32_t BatchSize(const std::string& label) { return static_cast<uint32_t>(("@echo " + label + " [%_MOD%]\n").size()); }

  // Root with icons; "a" (batch, one image), "b" (no batch) with "b/c" (batch).
  void MakeTree() {
    drive_.MakeDir("icons");
    Batch("", "root");
    Batch("a", "a");
    File("a/x.jpg", "jpg");
    File("b/c/index.htm", "<p>");
    Batch("b/c", "c");
  }
  void SignTree() {
    Sign("a", {{"refolio.bat", BatchSize("a")}, {"x.jpg", 3}}, 1);
    Sign("b/c", {{"index.htm", 3}, {"refolio.bat", BatchSize("c")}}, 2);
    Sign("", {{"a", 0}, {"b", 0}, {"icons", 0}, {"refolio.bat", BatchSize("root")}}, 0);
  }
  TempDrive drive_;
};

TEST_F(Foldmap, FreshTreeRebuildsSubdirectoriesFirst) {
  MakeTree();
  RunResult result = Run();
  EXPECT_EQ(result.out,
            "FOLDMAP:  Updating \"C:\\a\\\".\n"
            "a []\n"
            "FOLDMAP:  Updating \"C:\\b\\c\\\".\n"
            "c []\n"
            "FOLDMAP:  Updating \"C:\\\".\n"
            "root []\n");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.exitCode, 0);
}

TEST_F(Foldmap, SignedTreeIsUpToDate) {
  MakeTree();
  SignTree();
  RunResult result = Run();
  EXPECT_EQ(result.out, "FOLDMAP:  All directories are up-to-date.\n");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.exitCode, 1);
}

TEST_F(Foldmap, AlwaysRunsEveryBatchWithMod) {
  MakeTree();
  SignTree();
  File("a/x.jpg", "jpg", kSigned + 1);  // touched: only newest changes
  for (const char* option : {"/A", "-a"}) {
    RunResult result = Run({option});
    EXPECT_EQ(result.out,
              "FOLDMAP:  Updating \"C:\\a\\\".\n"
              "a [1]\n"
              "FOLDMAP:  Updating \"C:\\b\\c\\\".\n"
              "c [0]\n"
              "FOLDMAP:  Updating \"C:\\\".\n"
              "root [1]\n");
    EXPECT_EQ(result.exitCode, 0);
  }
}

const char kRebuiltA[] =
    "FOLDMAP:  Updating \"C:\\a\\\".\na []\nFOLDMAP:  Updating \"C:\\\".\nroot []\n";
const char kUpToDate[] = "FOLDMAP:  All directories are up-to-date.\n";

TEST_F(Foldmap, RenamingAFileChangesTheChecksum) {
  MakeTree();
  SignTree();
  ASSERT_TRUE(MoveFile("C:\\a\\x.jpg", "C:\\a\\y.jpg"));
  EXPECT_EQ(Run().out, kRebuiltA);
}

TEST_F(Foldmap, ANewerIndexPageInASubfolderRebuildsTheParent) {
  MakeTree();
  SignTree();
  // c is rebuilt; its parent b has no batch file, so it forces nothing above.
  File("b/c/index.htm", "<p>", kSigned + 10);
  EXPECT_EQ(Run().out, "FOLDMAP:  Updating \"C:\\b\\c\\\".\nc []\n");
  // b's own index page is newer than the root's signature: the root is rebuilt.
  File("b/c/index.htm", "<p>", kBuilt);
  File("b/index.htm", "<p>", kSigned + 10);
  EXPECT_EQ(Run().out, "FOLDMAP:  Updating \"C:\\\".\nroot []\n");
}

TEST_F(Foldmap, SignatureNamesAreComparedExactly) {
  MakeTree();
  SignTree();
  for (const std::string& f : drive_.Files("a")) {
    if (f.size() != 12 || f[9] != '_') continue;
    std::string lower = f;
    for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    ASSERT_NE(lower, f);
    ASSERT_EQ(rename(drive_.Host("a/" + f).c_str(), drive_.Host("a/" + lower).c_str()), 0);
  }
  EXPECT_EQ(Run().out, kRebuiltA);
}

TEST_F(Foldmap, ASignatureFileWithContentIsAnOrdinaryFile) {
  MakeTree();
  SignTree();
  Sign("a", {{"refolio.bat", BatchSize("a")}, {"x.jpg", 3}, {"00000000._M1", 1}}, 1);
  File("a/00000000._M1", "x", kBuilt);
  EXPECT_EQ(Run().out, kUpToDate);
}

TEST_F(Foldmap, HiddenFoldersAndFoldersWithoutBatchFiles) {
  MakeTree();
  SignTree();
  Batch(".hidden", "hidden");
  File("b/new.txt", "x");  // b has no batch file, so it forces no one
  RunResult result = Run();
  EXPECT_EQ(result.out, kUpToDate);
  EXPECT_EQ(result.exitCode, 1);
}

TEST_F(Foldmap, WithoutIconsTheSignatureEndsInD) {
  Batch("", "root");
  Sign("", {{"refolio.bat", BatchSize("root")}}, -1);
  EXPECT_EQ(Run().out, kUpToDate);
  EXPECT_EQ(ExpectedSignatureName(0xA1B2, 1), "0000A1B2._M1");
  EXPECT_EQ(ExpectedSignatureName(0xA1B2, 12), "0000A1B2._M2");
  EXPECT_EQ(ExpectedSignatureName(0xFFFFFFFFu, -1), "FFFFFFFF._MD");
}

TEST_F(Foldmap, AnotherIconsDirectoryResetsTheDistance) {
  MakeTree();
  drive_.MakeDir("a/icons");
  Sign("a", {{"icons", 0}, {"refolio.bat", BatchSize("a")}, {"x.jpg", 3}}, 0);
  Sign("b/c", {{"index.htm", 3}, {"refolio.bat", BatchSize("c")}}, 2);
  Sign("", {{"a", 0}, {"b", 0}, {"icons", 0}, {"refolio.bat", BatchSize("root")}}, 0);
  RunResult result = Run();
  EXPECT_EQ(result.out, kUpToDate);
  EXPECT_EQ(result.err,
            "FOLDMAP Warning:  Another icons directory was found at\n"
            "   \"C:\\a\\icons\".\n");
}

TEST_F(Foldmap, AnyOtherArgumentShowsHelp) {
  for (const char* arg : {"/?", "/AB", "x"}) {
    RunResult result = Run({arg});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out.substr(0, 23), "FOLDMAP, Version 1.04\n\n");
    EXPECT_NE(result.out.find("Usage:  FOLDMAP [/A]\n\n /A   Always executes"), std::string::npos);
    std::string last = "directories needed to be updated, of 2 if an unrecoverable error occurred.\n";
    ASSERT_GT(result.out.size(), last.size());
    EXPECT_EQ(result.out.substr(result.out.size() - last.size()), last);
    EXPECT_EQ(result.err, "");
  }
}

// A rebuild that fails is reported with its exit code and makes the run's
// exit code 2; the walk goes on, and each batch file runs in its own folder.
TEST_F(Foldmap, AFailingRebuildIsReportedAndTheWalkGoesOn) {
  drive_.Write("a/refolio.bat", "@unknown-program\n");
  drive_.Write("b/refolio.bat", "@echo off\ncd\nexit 3\n");
  drive_.Write("refolio.bat", "@cd\n");
  RunResult result = Run();
  EXPECT_EQ(result.out,
            "FOLDMAP:  Updating \"C:\\a\\\".\n"
            "FOLDMAP:  Updating \"C:\\b\\\".\n"
            "C:\\b\n"
            "FOLDMAP:  Updating \"C:\\\".\n"
            "C:\\\n");
  EXPECT_EQ(result.err,
            "'unknown-program' is not recognized as an internal or external command,\n"
            "operable program or batch file.\n"
            "FOLDMAP Error:  \"C:\\a\\refolio.bat\" failed with exit code 9009.\n"
            "FOLDMAP Error:  \"C:\\b\\refolio.bat\" failed with exit code 3.\n");
  EXPECT_EQ(result.exitCode, 2);
}

TEST_F(Foldmap, AnInterpreterThatCannotStart) {
  drive_.Write("refolio.bat", "@echo never\n");
  RunOptions options;
  options.env = {{"COMSPEC", "C:\\nowhere\\shell.exe"}};
  RunResult result = RunProgram(std::string(WEFT_BIN_DIR) + "/foldmap", {}, options);
  EXPECT_EQ(result.out, "FOLDMAP:  Updating \"C:\\\".\n");
  EXPECT_EQ(result.err, "FOLDMAP Error:  Unable to start the command processor.\n");
  EXPECT_EQ(result.exitCode, 2);
}

}  // namespace
