// dateren as a user runs it: images with known dates in a folder mapped as
// drive C:, the time zone fixed at UTC.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/filetime.h"
#include "platform/testing/test_support.h"
#include "programs/dateren/testing/noon_of.h"

namespace {

using Files = std::vector<std::string>;

const char kHelp[] =
    "Adds the file creation date to the end of a slide image file name in order\n"
    "to make the file name unique (\"basename.ext\" becomes \"basename(yymmdd).ext\").\n"
    "Also renames corresponding .htm or .txt files to match the image file rename.\n"
    "If the base file name has a \"-#\" suffix (# is a digit), it will be removed.\n"
    "Will not rename files that already have dates in the file name.\n\n"
    "Usage:  DATEREN filespec [filespec [filespec]]\n\n"
    " filespec    Image file name (wildcards are allowed).\n";

class DaterenTest : public ::testing::Test {
 protected:
  RunResult Run(const std::vector<std::string>& args) {
    RunOptions options;
    options.env["TZ"] = "UTC";
    return RunProgram(std::string(WEFT_BIN_DIR) + "/dateren", args, options);
  }
  // Writes a file (its name as its content) last written at noon of the day.
  void WriteDated(const std::string& relative, int year, int month, int day) {
    drive.Write(relative, relative);
    FileTime written = NoonOf(year, month, day);
    ASSERT_TRUE(SetFileTimes(drive.Win(relative).c_str(), nullptr, nullptr, &written));
  }
  TempDrive drive;
};

TEST_F(DaterenTest, HelpWithoutFilesOrWithAnOptionFirst) {
  WriteDated("a.jpg", 1999, 7, 4);
  for (std::vector<std::string> args : {std::vector<std::string>{}, {"/?"}, {"-h", "a.jpg"}}) {
    RunResult r = Run(args);
    EXPECT_EQ(0, r.exitCode);
    EXPECT_EQ(kHelp, r.out);
    EXPECT_EQ("", r.err);
  }
  EXPECT_EQ(Files{"a.jpg"}, drive.Files());
}

TEST_F(DaterenTest, ImageAndCompanionsTakeTheDate) {
  WriteDated("pic-2.jpg", 1999, 7, 4);
  drive.Write("pic-2.htm", "slide");
  drive.Write("pic-2.txt", "text");
  drive.Write("pic.htm", "another slide");
  WriteDated("B.PNG", 2003, 1, 2);
  RunResult r = Run({"pic-2.jpg", "B.PNG"});
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ(
      "pic-2.jpg --> pic(990704).jpg\npic-2.htm --> pic(990704).htm\n"
      "pic-2.txt --> pic(990704).txt\nB.PNG --> B(030102).PNG\n",
      r.out);
  EXPECT_EQ("", r.err);
  EXPECT_EQ((Files{"B(030102).PNG", "pic(990704).htm", "pic(990704).jpg", "pic(990704).txt",
                   "pic.htm"}),
            drive.Files());
  EXPECT_EQ("pic-2.jpg", drive.Read("pic(990704).jpg"));
  EXPECT_EQ("slide", drive.Read("pic(990704).htm"));
  EXPECT_EQ("another slide", drive.Read("pic.htm"));
}

TEST_F(DaterenTest, ATakenNameMovesTheDayBack) {
  WriteDated("pic(990704).jpg", 1999, 7, 4);
  WriteDated("pic-2.jpg", 1999, 7, 4);
  drive.Write("pic-2.htm", "slide");
  WriteDated("pic-3.jpg", 1999, 7, 4);
  RunResult r = Run({"pic-2.jpg", "pic-3.jpg"});
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ(
      "pic-2.jpg --> pic(990703).jpg\npic-2.htm --> pic(990703).htm\n"
      "pic-3.jpg --> pic(990702).jpg\n",
      r.out);
  EXPECT_EQ("", r.err);
  EXPECT_EQ("pic(990704).jpg", drive.Read("pic(990704).jpg"));
}

TEST_F(DaterenTest, TheDayNeverGoesBelowTheFirst) {
  WriteDated("a(990702).jpg", 1999, 7, 2);
  WriteDated("a(990701).jpg", 1999, 7, 1);
  WriteDated("a.jpg", 1999, 7, 2);
  RunResult r = Run({"a.jpg"});
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ("", r.out);
  EXPECT_EQ("Can't rename file \"a.jpg\" to \"a(990701).jpg\".\n", r.err);
  EXPECT_EQ((Files{"a(990701).jpg", "a(990702).jpg", "a.jpg"}), drive.Files());
  EXPECT_EQ("a(990701).jpg", drive.Read("a(990701).jpg"));
}

TEST_F(DaterenTest, OtherNamesAreLeftAloneSilently) {
  WriteDated("pic(990704).jpg", 1999, 7, 4);
  WriteDated("dir(1)/a.jpg", 1999, 7, 4);
  drive.Write("notes.txt", "");
  drive.Write("movie.mpg", "");
  drive.Write("noext", "");
  RunResult r = Run({"pic(990704).jpg", "dir(1)\\a.jpg", "notes.txt", "movie.mpg", "noext"});
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ("", r.out);
  EXPECT_EQ("", r.err);
  EXPECT_EQ((Files{"dir(1)/a.jpg", "movie.mpg", "noext", "notes.txt", "pic(990704).jpg"}),
            drive.Files());
}

TEST_F(DaterenTest, WildcardsAndFolders) {
  WriteDated("x.JPG", 2001, 2, 3);
  WriteDated("y.gif", 2001, 2, 4);
  WriteDated("sub/z.jpeg", 2001, 2, 5);
  drive.Write("sub/z.htm", "");
  RunResult r = Run({"*.jpg", "sub\\*", "*.png"});
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ(
      "x.JPG --> x(010203).JPG\nsub\\z.jpeg --> sub\\z(010205).jpeg\n"
      "sub\\z.htm --> sub\\z(010205).htm\n",
      r.out);
  EXPECT_EQ("Can't open file \"*.png\".\n", r.err);
  EXPECT_EQ((Files{"sub/z(010205).htm", "sub/z(010205).jpeg", "x(010203).JPG", "y.gif"}),
            drive.Files());
}

TEST_F(DaterenTest, FilesWithoutAUsableDate) {
  WriteDated("old.jpg", 1979, 12, 31);
  drive.MakeDir("folder.jpg");
  WriteDated("ok.jpg", 1980, 1, 1);
  RunResult r = Run({"gone.jpg", "old.jpg", "folder.jpg", "ok.jpg"});
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ("ok.jpg --> ok(800101).jpg\n", r.out);
  EXPECT_EQ(
      "Can't open file \"gone.jpg\".\nCan't get file time \"old.jpg\".\n"
      "Can't open file \"folder.jpg\".\n",
      r.err);
  EXPECT_TRUE(drive.Exists("old.jpg"));
}

// An image never leaves its slide page or text file behind: a companion that
// cannot take the dated name keeps the image (and the companions moved
// before it) where they are, and so does an image that cannot be renamed.
TEST_F(DaterenTest, AnImageAndItsCompanionsMoveTogetherOrNotAtAll) {
  WriteDated("pic.jpg", 1999, 7, 4);
  drive.Write("pic.htm", "its slide");
  drive.Write("pic.txt", "its text");
  drive.Write("pic(990704).txt", "the text of an image gone");
  RunResult r = Run({"pic.jpg"});
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ("", r.out);
  EXPECT_EQ("Can't rename file \"pic.txt\" to \"pic(990704).txt\".\n", r.err);
  EXPECT_EQ((Files{"pic(990704).txt", "pic.htm", "pic.jpg", "pic.txt"}), drive.Files());
  EXPECT_EQ("its slide", drive.Read("pic.htm"));
  EXPECT_EQ("the text of an image gone", drive.Read("pic(990704).txt"));

  // The dated name is taken by a link to nothing, which no date test sees.
  WriteDated("dock.jpg", 1999, 7, 4);
  drive.Write("dock.htm", "its slide");
  drive.Link("dock(990704).jpg", "nowhere");
  r = Run({"dock.jpg"});
  EXPECT_EQ("", r.out);
  EXPECT_EQ("Can't rename file \"dock.jpg\" to \"dock(990704).jpg\".\n", r.err);
  EXPECT_EQ("its slide", drive.Read("dock.htm"));
  EXPECT_TRUE(drive.Exists("dock.jpg"));
  EXPECT_FALSE(drive.Exists("dock(990704).htm"));
}

// A run stopped after the companions had their dated names: the next run
// gives the image the same name, and they are together again.
TEST_F(DaterenTest, TheNextRunCompletesAnImageWhoseCompanionsWentAhead) {
  WriteDated("pic-2.jpg", 1999, 7, 4);
  drive.Write("pic(990704).htm", "its slide");
  drive.Write("pic(990704).txt", "its text");
  WriteDated("sea.jpg", 2001, 2, 3);
  drive.Write("sea(010203).htm", "its slide");
  drive.Write("sea.txt", "its text");
  RunResult r = Run({"pic-2.jpg", "sea.jpg"});
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ("pic-2.jpg --> pic(990704).jpg\nsea.jpg --> sea(010203).jpg\n"
            "sea.txt --> sea(010203).txt\n",
            r.out);
  EXPECT_EQ("", r.err);
  EXPECT_EQ((Files{"pic(990704).htm", "pic(990704).jpg", "pic(990704).txt", "sea(010203).htm",
                   "sea(010203).jpg", "sea(010203).txt"}),
            drive.Files());
}

TEST_F(DaterenTest, ANameTooLongForADateStays) {
  std::string dir(100, 'd');
  std::string name = std::string(150, 'n') + ".jpg";  // 255 characters with the folder
  WriteDated(dir + "/" + name, 1999, 7, 4);
  std::string path = dir + "\\" + name;
  RunResult r = Run({path});
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ("", r.out);
  EXPECT_EQ("Can't rename file \"" + path + "\" to \"" + dir + "\\" + std::string(150, 'n') +
                "(990704).jpg\".\n",
            r.err);
  EXPECT_EQ(Files{dir + "/" + name}, drive.Files());
}

}  // namespace
