// foldmeld as a user runs it: small source and destination trees on drive
// C:, key answers on standard input, then the exact output, files, batch
// file and exit code.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/attributes.h"
#include "platform/testing/test_support.h"
#include "shared/testing/full_output.h"

namespace {

using Files = std::vector<std::string>;

const char kUsage[] =
    "FOLDMELD, Version 1.20\n"
    "Usage:  FOLDMELD [/C | /M] [/B] sourcepath destpath\n"
    "/C            Copy files from sourcepath to destpath.\n"
    "/M            Move files from sourcepath to destpath.\n"
    "/B            Make a batch file named \"FOLDMEL1.BAT\" (don't execute).\n"
    "sourcepath    Path to the source directory.\n"
    "destpath      Path to the destination directory.\n";

const std::string kRule = std::string(79, '-') + "\n";

std::string Block(const std::string& from, const std::string& to) {
  return kRule + "From:  " + from + "\n  To:  " + to + "\n";
}

std::string Missing(const std::string& dir) {
  return "\nDirectory \"" + dir + "\" does not exist.\n  Create directory and copy? (Y/N) ";
}

class FoldmeldTest : public ::testing::Test {
 protected:
  RunResult Run(const std::vector<std::string>& args, const std::string& input = "") {
    RunOptions options;
    options.input = input;
    return RunProgram(std::string(WEFT_BIN_DIR) + "/foldmeld", args, options);
  }
  TempDrive drive;
};

TEST_F(FoldmeldTest, UsageWithoutDestinationOrWithAnOptionAfterIt) {
  drive.Write("src/a.jpg", "a");
  for (std::vector<std::string> args : {std::vector<std::string>{}, {"src"}, {"/C", "src"},
                                        {"src", "dst", "/x"}}) {
    RunResult r = Run(args);
    EXPECT_EQ(0, r.exitCode);
    EXPECT_EQ(kUsage, r.out);
    EXPECT_EQ("", r.err);
  }
  EXPECT_EQ(Files{"src/a.jpg"}, drive.Files());
}

TEST_F(FoldmeldTest, CopyIntoNewDestinationAsksForEachNewTopLevel) {
  drive.Write("src/a.jpg", "A");
  drive.Write("src/sub/b.jpg", "BB");
  drive.Write("src/.hid", "h");
  drive.Write("src/.hdir/x.jpg", "x");
  RunResult r = Run({"/c", "src", "dst"}, "yy");
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ(Missing("C:\\dst") + "Yes\n" + Missing("C:\\dst\\sub") + "Yes\n", r.err);
  EXPECT_EQ(Block("C:\\src", "C:\\dst") + "\t  a.jpg\n" + Block("C:\\src\\sub", "C:\\dst\\sub") +
                "\t  b.jpg\n",
            r.out);
  EXPECT_EQ((Files{"a.jpg", "sub/b.jpg"}), drive.Files("dst"));
  EXPECT_EQ("BB", drive.Read("dst/sub/b.jpg"));
  EXPECT_EQ((Files{".hdir/x.jpg", ".hid", "a.jpg", "sub/b.jpg"}), drive.Files("src"));
}

TEST_F(FoldmeldTest, NoToANewDirectoryLeavesItOut) {
  drive.Write("src/a.jpg", "A");
  drive.Write("src/sub/b.jpg", "BB");
  RunResult r = Run({"/C", "src", "dst"}, "yn");
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ(Files{"a.jpg"}, drive.Files("dst"));
  EXPECT_FALSE(drive.Exists("dst/sub"));
  r = Run({"/C", "src", "other"}, "n");
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ("", r.out);
  EXPECT_FALSE(drive.Exists("other"));
}

TEST_F(FoldmeldTest, MoveChosenAtTheQuestionEmptiesTheSourceButKeepsItsTop) {
  drive.Write("src/a.jpg", "A");
  drive.Write("src/sub/b.jpg", "B");
  drive.Write("src/sub/deep/c.jpg", "C");
  drive.Write("dst/keep.txt", "K");
  drive.MakeDir("dst/sub");
  RunResult r = Run({"src", "dst"}, "xm");
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ(
      "Preparing to transfer files\n  from:  C:\\src\n    to:  C:\\dst\n"
      "Copy, Move, or Abort? [C/M/A] Move\n\n",
      r.err);
  EXPECT_EQ(Block("C:\\src", "C:\\dst") + "\t  a.jpg\n" + Block("C:\\src\\sub", "C:\\dst\\sub") +
                "\t  b.jpg\n" + Block("C:\\src\\sub\\deep", "C:\\dst\\sub\\deep") + "\t  c.jpg\n",
            r.out);
  EXPECT_EQ((Files{"a.jpg", "keep.txt", "sub/b.jpg", "sub/deep/c.jpg"}), drive.Files("dst"));
  EXPECT_TRUE(drive.Exists("src"));
  EXPECT_FALSE(drive.Exists("src/sub"));
}

TEST_F(FoldmeldTest, AbortCtrlCAndEndOfInputEndWithCode3) {
  drive.Write("src/a.jpg", "A");
  struct Case {
    std::vector<std::string> args;
    const char* input;
  } cases[] = {{{"src", "dst"}, "a"}, {{"src", "dst"}, "\x03"}, {{"src", "dst"}, ""},
               {{"/C", "src", "dst"}, "\x03"}, {{"/C", "src", "dst"}, ""}};
  for (const Case& c : cases) {
    RunResult r = Run(c.args, c.input);
    EXPECT_EQ(3, r.exitCode) << c.input;
    EXPECT_EQ("", r.out);
    EXPECT_FALSE(drive.Exists("dst"));
  }
}

TEST_F(FoldmeldTest, ReplaceQuestionYesNoAndAppendSuffix) {
  drive.Write("dst/photo.jpg", "old");
  drive.Write("dst/photo-2.jpg", "two");
  drive.Write("dst/x.jpg", "xx");
  drive.Write("dst/y.jpg", "yy");
  drive.Write("src/photo.jpg", "newer");
  drive.Write("src/x.jpg", "x");
  drive.Write("src/y.jpg", "new");
  RunResult r = Run({"/C", "src", "dst"}, "qANY");
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ(
      "\nFile \"C:\\dst\\photo.jpg\" (3 bytes) already exists.\n"
      "  Replace with \"C:\\src\\photo.jpg\" (5 bytes)? (Y/N/A) Append Suffix\n"
      "  New destination file name is \"C:\\dst\\photo-3.jpg\".\n"
      "\nFile \"C:\\dst\\x.jpg\" (2 bytes) already exists.\n"
      "  Replace with \"C:\\src\\x.jpg\" (1 bytes)? (Y/N/A) No\n"
      "\nFile \"C:\\dst\\y.jpg\" (2 bytes) already exists.\n"
      "  Replace with \"C:\\src\\y.jpg\" (3 bytes)? (Y/N/A) Yes\n",
      r.err);
  EXPECT_EQ(Block("C:\\src", "C:\\dst") + "\t  photo.jpg ==> photo-3.jpg\n\t* x.jpg (skipped)\n\t  y.jpg\n",
            r.out);
  EXPECT_EQ((Files{"photo-2.jpg", "photo-3.jpg", "photo.jpg", "x.jpg", "y.jpg"}), drive.Files("dst"));
  EXPECT_EQ("old", drive.Read("dst/photo.jpg"));
  EXPECT_EQ("newer", drive.Read("dst/photo-3.jpg"));
  EXPECT_EQ("xx", drive.Read("dst/x.jpg"));
  EXPECT_EQ("new", drive.Read("dst/y.jpg"));
}

// The files the suite writes per directory: kept at the destination when it
// has them, never transferred at all for the keyword files.
void WriteSiteFiles(const TempDrive& drive) {
  for (const char* name : {"$000123$.htm", "index.htm", "symlinks.txt", "go.BAT"}) {
    drive.Write(std::string("dst/") + name, "dest");
  }
  for (const char* name : {"$000123$.htm", "INDEX.HTM", "symlinks.txt", "go.BAT", "keywords.kdb",
                           "p._md", "frameset.htm"}) {
    drive.Write(std::string("src/") + name, "source");
  }
}

TEST_F(FoldmeldTest, SiteFilesInMoveModeSkippedAndDeleted) {
  WriteSiteFiles(drive);
  RunResult r = Run({"/M", "/C", "src", "dst"});
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ("", r.err);
  EXPECT_EQ(Block("C:\\src", "C:\\dst") +
                "\t* $000123$.htm (skipped)\n\t  frameset.htm\n\t* go.BAT (skipped)\n"
                "\t* INDEX.HTM (skipped)\n\t* keywords.kdb (skipped)\n\t* p._md (skipped)\n"
                "\t* symlinks.txt (skipped)\n",
            r.out);
  EXPECT_EQ(Files{}, drive.Files("src"));
  EXPECT_EQ((Files{"$000123$.htm", "frameset.htm", "go.BAT", "index.htm", "symlinks.txt"}),
            drive.Files("dst"));
  EXPECT_EQ("dest", drive.Read("dst/index.htm"));
  EXPECT_EQ("source", drive.Read("dst/frameset.htm"));
}

TEST_F(FoldmeldTest, SiteFilesInBatchMoveModeGiveDeleteAndRemarkLines) {
  WriteSiteFiles(drive);
  RunResult r = Run({"/b", "/m", "src", "dst"});
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ("", r.err);
  EXPECT_EQ(
      "The batch file \"FOLDMEL1.BAT\" has been created.\n"
      "You must execute the batch file to perform the transfer.\n",
      r.out);
  const std::string exists = " (file already exists at destination)\n";
  const std::string never = " (files of this type are never copied)\n";
  auto skipped = [](const std::string& name, const std::string& reason) {
    return "DEL \"C:\\src\\" + name + "\"\nREM MOVE /-Y \"C:\\src\\" + name + "\" \"C:\\dst\\" + name +
           "\"" + reason;
  };
  EXPECT_EQ(skipped("$000123$.htm", exists) +
                "MOVE /-Y \"C:\\src\\frameset.htm\" \"C:\\dst\\frameset.htm\"\n" +
                skipped("go.BAT", exists) + skipped("INDEX.HTM", exists) +
                skipped("keywords.kdb", never) + skipped("p._md", never) +
                skipped("symlinks.txt", exists),
            drive.Read("FOLDMEL1.BAT"));
  EXPECT_EQ(7u, drive.Files("src").size());
}

TEST_F(FoldmeldTest, IconsAtFirstLevelAndMergeQuestionFromSecondLevel) {
  drive.Write("src/icons/i.gif", "new icon");
  drive.Write("src/b/f.jpg", "f");
  drive.Write("src/b/c/g.jpg", "g");
  drive.Write("dst/icons/old.gif", "old icon");
  drive.MakeDir("dst/b/c");
  RunResult r = Run({"/C", "src", "dst"}, "y");
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ("\nDirectory \"C:\\dst\\b\\c\" already exists.\n  Merge from \"C:\\src\\b\\c\"? (Y/N) Yes\n",
            r.err);
  EXPECT_EQ((Files{"b/c/g.jpg", "b/f.jpg", "icons/old.gif"}), drive.Files("dst"));
}

TEST_F(FoldmeldTest, BatchFileThatCannotBeWrittenIsAnErrorAndGoes) {
  WriteSiteFiles(drive);
  RunResult r = RunProgramWithNoRoomForFiles(std::string(WEFT_BIN_DIR) + "/foldmeld",
                                             {"/b", "/m", "src", "dst"});
  EXPECT_EQ(1, r.exitCode);
  EXPECT_EQ("", r.out);
  EXPECT_EQ("Error writing to file \"FOLDMEL1.BAT\".\n", r.err);
  EXPECT_FALSE(drive.Exists("FOLDMEL1.BAT"));
  EXPECT_EQ(7u, drive.Files("src").size());
}

TEST_F(FoldmeldTest, BatchMoveDeclinedMergeIsARemarkAndIconsStay) {
  drive.Write("src/icons/i.gif", "new icon");
  drive.Write("src/b/f.jpg", "f");
  drive.Write("src/b/c/g.jpg", "g");
  drive.Write("dst/icons/old.gif", "old icon");
  drive.MakeDir("dst/b/c");
  RunResult r = Run({"/M", "/B", "src", "dst"}, "n");
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ(
      "MOVE /-Y \"C:\\src\\b\\f.jpg\" \"C:\\dst\\b\\f.jpg\"\n"
      "REM MD \"C:\\dst\\b\\c\" (user cancelled merge of existing directory)\n"
      "RD \"C:\\src\\b\"\n",
      drive.Read("FOLDMEL1.BAT"));
  EXPECT_EQ((Files{"b/c/g.jpg", "b/f.jpg", "icons/i.gif"}), drive.Files("src"));
}

TEST_F(FoldmeldTest, BatchCopyQuotesNamesAndDoublesPercent) {
  drive.Write("src/100%x%.jpg", "p");
  drive.Write("src/a b/c&d.jpg", "c");
  drive.Write("src/FOLDMEL1.BAT", "old batch");
  RunResult r = Run({"/B", "/C", "src", "dst"}, "yy");
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ(
      "MD \"C:\\dst\"\n"
      "COPY \"C:\\src\\100%%x%%.jpg\" \"C:\\dst\\100%%x%%.jpg\" /-Y\n"
      "MD \"C:\\dst\\a b\"\n"
      "COPY \"C:\\src\\a b\\c&d.jpg\" \"C:\\dst\\a b\\c&d.jpg\" /-Y\n",
      drive.Read("FOLDMEL1.BAT"));
  EXPECT_FALSE(drive.Exists("dst"));
}

// Two source names that differ only in letter case reach one destination
// file: the second asks instead of replacing the first.
TEST_F(FoldmeldTest, NamesDifferingOnlyInCaseDoNotReplaceEachOther) {
  drive.Write("src/A.jpg", "upper");
  drive.Write("src/a.jpg", "lower");
  RunResult r = Run({"/C", "src", "dst"}, "yn");
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ(Missing("C:\\dst") + "Yes\n" +
                "\nFile \"C:\\dst\\a.jpg\" (5 bytes) already exists.\n"
                "  Replace with \"C:\\src\\a.jpg\" (5 bytes)? (Y/N/A) No\n",
            r.err);
  EXPECT_EQ(Files{"A.jpg"}, drive.Files("dst"));
  EXPECT_EQ("upper", drive.Read("dst/A.jpg"));
}

TEST_F(FoldmeldTest, PathsThatCannotBeMergedAreRefused) {
  drive.Write("src/sub/a.jpg", "a");
  struct Case {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{"/C", "src", "src"}, "\nError:  Can't merge \"C:\\src\" into \"C:\\src\": one holds the other.\n"},
      {{"/C", "src", "src\\sub\\new"},
       "\nError:  Can't merge \"C:\\src\" into \"C:\\src\\sub\\new\": one holds the other.\n"},
      {{"/M", "src\\sub", "SRC"},
       "\nError:  Can't merge \"C:\\src\\sub\" into \"C:\\SRC\": one holds the other.\n"},
      {{"/C", "none", "dst"}, "\nError:  Source directory \"C:\\none\" does not exist.\n"},
      {{"/C", "src", "d\"x"}, "\nError:  Invalid path \"d\"x\".\n"},
  };
  for (const Case& c : cases) {
    RunResult r = Run(c.args, "yyyy");
    EXPECT_EQ(1, r.exitCode);
    EXPECT_EQ("", r.out);
    EXPECT_EQ(c.err, r.err);
  }
  EXPECT_EQ(Files{"src/sub/a.jpg"}, drive.Files());
}

TEST_F(FoldmeldTest, FailuresEndWithCode1) {
  drive.Write("src/x.jpg", "new");
  drive.Write("dst/x.jpg", "old");
  ASSERT_TRUE(SetAttributes(drive.Win("dst/x.jpg").c_str(), kAttrReadOnly));
  RunResult r = Run({"/C", "src", "dst"}, "y");
  EXPECT_EQ(1, r.exitCode);
  EXPECT_EQ(Block("C:\\src", "C:\\dst") + "\t  x.jpg\n", r.out);
  EXPECT_NE(std::string::npos,
            r.err.find("\nError:  Unable to copy \"C:\\src\\x.jpg\" to \"C:\\dst\\x.jpg\".\n"
                       "Program aborted.  [Error Code = 5]\n"));
  EXPECT_EQ("old", drive.Read("dst/x.jpg"));

  drive.Write("file.txt", "f");
  r = Run({"/C", "src", "file.txt\\d"}, "y");
  EXPECT_EQ(1, r.exitCode);
  EXPECT_EQ(Missing("C:\\file.txt\\d") + "Yes\n\nError:  Can't create directory \"C:\\file.txt\\d\".\n",
            r.err);

  drive.MakeDir("FOLDMEL1.BAT");
  r = Run({"/B", "/C", "src", "dst"});
  EXPECT_EQ(1, r.exitCode);
  EXPECT_EQ("Can't create file \"FOLDMEL1.BAT\".\n", r.err);
}

}  // namespace

namespace {

// Moving over a file the user agreed to replace takes its place in one step;
// a declined one leaves both files where they were.
TEST_F(FoldmeldTest, MoveReplacesOnlyWhereAgreed) {
  drive.Write("src/sub/x.jpg", "new x");
  drive.Write("src/sub/y.jpg", "new y");
  drive.Write("dst/sub/x.jpg", "old");
  drive.Write("dst/sub/y.jpg", "old");
  RunResult r = Run({"/M", "src", "dst"}, "yn");
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ(Block("C:\\src\\sub", "C:\\dst\\sub") + "\t  x.jpg\n\t* y.jpg (skipped)\n", r.out);
  EXPECT_EQ("new x", drive.Read("dst/sub/x.jpg"));
  EXPECT_EQ("old", drive.Read("dst/sub/y.jpg"));
  EXPECT_EQ(Files{"sub/y.jpg"}, drive.Files("src"));
}

}  // namespace

namespace {

// A move never crosses a symbolic link to a directory: a loop back into
// the source and a link out of it stay links, noted as skipped, and the
// folder outside keeps its files.
TEST_F(FoldmeldTest, MovesNeverCrossDirectoryLinks) {
  drive.Write("src/a.jpg", "A");
  drive.Write("src/sub/b.jpg", "B");
  drive.Write("outside/o.jpg", "O");
  drive.Link("src/sub/loop", "..");
  drive.Link("src/out", "../outside");
  RunResult r = Run({"/M", "src", "dst"}, "yy");
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ(Block("C:\\src", "C:\\dst") + "\t  a.jpg\n\t* out (skipped)\n" +
                Block("C:\\src\\sub", "C:\\dst\\sub") + "\t  b.jpg\n\t* loop (skipped)\n",
            r.out);
  EXPECT_EQ((Files{"a.jpg", "sub/b.jpg"}), drive.Files("dst"));
  EXPECT_EQ((Files{"out", "sub/loop"}), drive.Files("src"));
  EXPECT_EQ((Files{"o.jpg"}), drive.Files("outside"));

  // The batch file notes them too.
  drive.Write("src/c.jpg", "C");
  r = Run({"/B", "/M", "src", "dst2"}, "yy");
  EXPECT_EQ(0, r.exitCode);
  std::string batch = drive.Read("FOLDMEL1.BAT");
  EXPECT_NE(std::string::npos,
            batch.find("REM MD \"C:\\dst2\\out\" (symbolic link to a directory not followed)\n"))
      << batch;
  EXPECT_EQ(std::string::npos, batch.find("outside")) << batch;
  EXPECT_EQ(std::string::npos, batch.find("o.jpg")) << batch;
}

}  // namespace
