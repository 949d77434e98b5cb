// pagebase as a user runs it: a gallery tree on a temporary drive C:, the
// index database on standard output, progress and messages on standard
// error, an old database on standard input for /M.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/attributes.h"
#include "platform/testing/test_support.h"
#include "shared/testing/exif_jpeg.h"
#include "shared/testing/full_output.h"
#include "shared/testing/long_heads.h"

namespace {

const std::string kProgram = std::string(WEFT_BIN_DIR) + "/pagebase";

const char kHelp[] =
    "PAGEBASE, Make an HTML Index Database, Version 1.14\n\n"
    "This utility builds an index database by scanning the specified directory and\n"
    "all its subdirectories for HTML files and image files.  The resulting database\n"
    "can be used by \"GALLERIA\" in CGI mode.  Output goes to stdout.\n"
    "There are no limits to the total size of the database.\n"
    "The following options are read from the standard configuration files:\n"
    "            DBThumbFile     DBThumbFileList     embed\n"
    "Read the Tessarin documentation for more information.\n\n"
    "PAGEBASE [/M] [/I:file] [/X:file] [/K:keyexp] [/T:file] [drive | path]\n\n"
    " /M         Merges a sorted input file (stdin) with the new file list.\n"
    "            Removes all records from the input file which were from the\n"
    "            drive being scanned (i.e. replaces old records with new ones).\n"
    " /I:file    Includes only directories which contain \"file\".\n"
    " /X:file    Excludes directories which contain \"file\".\n"
    " /K:keyexp  Includes only files which match the keyword expression \"keyexp\".\n"
    " /T:file    Specifies an alternate file name to be used as a thumbnail image.\n"
    "            This option may be used multiple times on the command line.\n"
    "            Each \"/T:file\" option adds a virtual \"DBThumbFile=file\" option\n"
    "            to the end of the local configuration file, in order.\n"
    " drive      The drive to scan (e.g. \"C:\").\n"
    " path       Path to starting directory of tree to scan (default = current).\n\n"
    "If a directory is excluded from scanning by using the /I or /X options,\n"
    "the index file for that directory is still scanned.  All other files and\n"
    "subdirectories in that directory are not scanned.  If the /I and /X files\n"
    "both exist, the /X file takes precidence, and the subdirectory is excluded.\n";

// A page head with a title, keywords and further head tags.
std::string Head(const std::string& title, const std::string& keywords,
                 const std::string& more = "") {
  return "<HTML><HEAD><TITLE>" + title + "</TITLE>\n<META NAME=\"KEYWORDS\" CONTENT=\"" +
         keywords + "\">" + more + "</HEAD><BODY>text</BODY></HTML>\n";
}

// A GIF header of the given pixel size.
std::string Gif(int width, int height) {
  std::string gif = "GIF89a";
  for (int value : {width, height}) {
    gif += static_cast<char>(value & 0xFF);
    gif += static_cast<char>(value >> 8);
  }
  return gif + std::string(3, '\0');
}

// The progress lines of a run that scanned start and wrote `lines` records.
std::string Progress(const std::string& start, const std::string& last) {
  return "Scanning " + start + " ... done.\nBuilding Index... done.\nSorting Index... done.\n" + last;
}

std::string Written(const std::string& start, int lines) {
  return Progress(start, "Writing Index...\n" + std::to_string(lines) + " lines written\n");
}

class PagebaseTest : public ::testing::Test {
 protected:
  RunResult Run(const std::vector<std::string>& args, const std::string& input = "") {
    RunOptions options;
    options.input = input;
    return RunProgram(kProgram, args, options);
  }
  TempDrive drive_;
};

// A small site with every kind of record.
class SiteTest : public PagebaseTest {
 protected:
  SiteTest() {
    drive_.Write("photos/index.htm", Head("Photos", "_top, Albums", "<META NAME=DESCRIPTION CONTENT=\"All\tof it\">"));
    drive_.Write("photos/thumb.jpg", Gif(40, 30));
    drive_.Write("photos/thumb.gif", Gif(20, 10));
    drive_.Write("photos/trip/index.htm", Head("Trip", "Travel", "<META NAME=SORTORDER CONTENT=3>"));
    drive_.Write("photos/trip/beach.jpg", Gif(800, 600));
    drive_.Write("photos/trip/beach.htm", Head("Beach", "Sea, _raw", "<META NAME=FILEINFO CONTENT=\"12K; {12}\">"));
    drive_.Write("photos/trip/thumbs/tn_beach_jpg.jpg", Gif(96, 72));
    drive_.Write("photos/trip/Beach.HTM.bak", "not a page");
    drive_.Write("photos/trip/sand.jpg", Gif(10, 10));  // no page: no keywords
    // A lookup finds the page in another letter case, which the pairing
    // rule does not: the image and the page are two records.
    drive_.Write("photos/trip/rocks.jpg", Gif(10, 10));
    drive_.Write("photos/trip/Rocks.htm", Head("Rocks page", "Stone"));
    drive_.Write("photos/trip/notes.html", Head("Notes", "Text"));
    drive_.Write("photos/trip/hidden.htm", Head("Hidden", "_only, _hidden"));
    drive_.Write("photos/trip/alias.htm", Head("Alias", "Sea", "<META NAME=ALIAS>"));
    drive_.Write("photos/trip/big.htm", Head("Big", "Fwd", "<META NAME=FORWARD CONTENT=\"big.png\">"));
    drive_.Write("photos/trip/doc.htm", Head("Doc", "Fwd", "<META NAME=FORWARD CONTENT=\"doc.pdf\">"));
    drive_.Write("photos/linked/index.htm", Head("Linked", "Trip", "<META NAME=ALIAS>"));
    drive_.Write("photos/secret/index.htm", Head("Secret", "Hush"));
    drive_.Write("photos/secret/hidden.dir", "");
    drive_.Write("photos/secret/inside.htm", Head("Inside", "Hush"));
    drive_.Write("photos/.cache/index.htm", Head("Cache", "Dot"));
  }
};

TEST_F(SiteTest, WritesTheSortedDatabase) {
  RunResult result = Run({"photos"});
  EXPECT_EQ(result.out,
            "Beach\tC:\\photos\\trip\\beach.jpg\t\tSea\t12K; {12}\tthumbs\\tn_beach_jpg.jpg:96,72\t50\t0\t0002\n"
            "Big\tC:\\photos\\trip\\big.htm\t\tFwd\t\t\t50\t0\t0002\n"
            "Doc\tC:\\photos\\trip\\doc.htm\t\tFwd\t\t\t50\t0\t0004\n"
            "Inside\tC:\\photos\\secret\\inside.htm\t\tHush\t\t\t50\t0\t0001\n"
            "Linked\tC:\\photos\\linked\\index.htm\t\tTrip\t\t\t50\t1\t0020\n"
            "Notes\tC:\\photos\\trip\\notes.html\t\tText\t\t\t50\t0\t0001\n"
            "Photos\tC:\\photos\\index.htm\tAll of it\tAlbums\t\tthumb.jpg:40,30;thumb.gif:20,10\t50\t0\t0020\n"
            "Rocks page\tC:\\photos\\trip\\Rocks.htm\t\tStone\t\t\t50\t0\t0001\n"
            "Rocks page\tC:\\photos\\trip\\rocks.jpg\t\tStone\t\t\t50\t0\t0002\n"
            "Trip\tC:\\photos\\trip\\index.htm\t\tTravel\t\t\t3\t0\t0020\n");
  EXPECT_EQ(result.err, Written("C:\\photos", 10));
  EXPECT_EQ(result.exitCode, 0);
}

TEST_F(SiteTest, KeywordExpressionFilter) {
  RunResult result = Run({"/K:sea|hush", "photos"});
  EXPECT_EQ(result.out,
            "Beach\tC:\\photos\\trip\\beach.jpg\t\tSea\t12K; {12}\tthumbs\\tn_beach_jpg.jpg:96,72\t50\t0\t0002\n"
            "Inside\tC:\\photos\\secret\\inside.htm\t\tHush\t\t\t50\t0\t0001\n");
  // Hidden keywords take no part: the expression sees the visible list.
  result = Run({"-k_raw", "photos"});
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, Written("C:\\photos", 0));
}

TEST_F(SiteTest, ExcludeAndIncludeFiles) {
  drive_.Write("photos/trip/skip.txt", "");
  RunResult result = Run({"/X:skip.txt", "photos"});
  // The directory record of trip stays; nothing below it is scanned.
  EXPECT_EQ(result.out,
            "Inside\tC:\\photos\\secret\\inside.htm\t\tHush\t\t\t50\t0\t0001\n"
            "Linked\tC:\\photos\\linked\\index.htm\t\tTrip\t\t\t50\t1\t0020\n"
            "Photos\tC:\\photos\\index.htm\tAll of it\tAlbums\t\tthumb.jpg:40,30;thumb.gif:20,10\t50\t0\t0020\n"
            "Trip\tC:\\photos\\trip\\index.htm\t\tTravel\t\t\t3\t0\t0020\n");
  drive_.Write("photos/scan.me", "");
  drive_.Write("photos/trip/scan.me", "");
  result = Run({"/I:scan.me", "/Xskip.txt", "photos"});
  EXPECT_EQ(result.out,
            "Linked\tC:\\photos\\linked\\index.htm\t\tTrip\t\t\t50\t1\t0020\n"
            "Photos\tC:\\photos\\index.htm\tAll of it\tAlbums\t\tthumb.jpg:40,30;thumb.gif:20,10\t50\t0\t0020\n"
            "Trip\tC:\\photos\\trip\\index.htm\t\tTravel\t\t\t3\t0\t0020\n");
}

TEST_F(SiteTest, ThumbnailNamesAndExtensionsFromConfigurationAndOptions) {
  drive_.Write("icons/weft.ini", "DBThumbFile=cover.gif\nembed=mov\n");
  drive_.Write("photos/cover.gif", Gif(5, 6));
  drive_.Write("photos/extra.png", Gif(7, 8));
  drive_.Write("photos/trip/film.mov", "movie");
  drive_.Write("photos/trip/film.htm", Head("Film", "Movie"));
  drive_.Write("photos/trip/clip.avi", "movie");
  drive_.Write("photos/trip/clip.htm", Head("Clip", "Movie"));
  drive_.Chdir("photos");
  RunResult result = Run({"/K:movie|albums", "/T:extra.png", "/Eavi"});
  EXPECT_EQ(result.out,
            "Clip\tC:\\photos\\trip\\clip.avi\t\tMovie\t\t\t50\t0\t0002\n"
            "Film\tC:\\photos\\trip\\film.mov\t\tMovie\t\t\t50\t0\t0002\n"
            "Photos\tC:\\photos\\index.htm\tAll of it\tAlbums\t\t"
            "extra.png:7,8;cover.gif:5,6;thumb.jpg:40,30;thumb.gif:20,10\t50\t0\t0020\n");
  EXPECT_EQ(result.exitCode, 0);
}

// Pictures from phones carry an EXIF orientation: the records give their
// sizes as shown, and keep names and titles beyond ASCII as their bytes.
TEST_F(PagebaseTest, OrientedPicturesAreRecordedAtTheirShownSize) {
  drive_.Write("album/index.htm", Head("Album", "Trip"));
  drive_.Write("album/thumb.jpg", WithOrientation(JpegFrameOf(640, 480), 6));
  drive_.Write("album/Caf\xC3\xA9.jpg", WithOrientation(JpegFrameOf(4000, 3000), 8, false));
  drive_.Write("album/Caf\xC3\xA9.htm", Head("\xC3\x85sa", "Fika"));
  drive_.Write("album/thumbs/tn_Caf\xC3\xA9_jpg.jpg", WithOrientation(JpegFrameOf(100, 75), 5));
  RunResult result = Run({"album"});
  EXPECT_EQ(result.out,
            "Album\tC:\\album\\index.htm\t\tTrip\t\tthumb.jpg:480,640\t50\t0\t0020\n"
            "\xC3\x85sa\tC:\\album\\Caf\xC3\xA9.jpg\t\tFika\t\tthumbs\\tn_Caf\xC3\xA9_jpg.jpg:75,100"
            "\t50\t0\t0002\n");
  EXPECT_EQ(result.err, Written("C:\\album", 2));
  EXPECT_EQ(result.exitCode, 0);
}

TEST_F(PagebaseTest, EmptyDatabase) {
  drive_.Write("index.htm", Head("Home", "_hidden"));
  drive_.Write("p.htm", "<TITLE>No keywords</TITLE>");
  RunResult result = Run({});
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, Written("C:\\", 0));
  EXPECT_EQ(result.exitCode, 0);
}

TEST_F(PagebaseTest, DriveRootAndOrderByTitleNameAndPath) {
  drive_.Write("b/index.htm", Head("Album", "x"));
  drive_.Write("a/index.htm", Head("album", "x"));
  drive_.Write("a/Zoo.htm", Head("beach", "x"));
  drive_.Write("a/sea.htm", Head("Beach", "x"));
  drive_.Write("c/sea.htm", Head("BEACH", "x"));
  drive_.Write("c/A.htm", Head("Beach\tday", "x"));
  drive_.Write("d/1.htm", Head("", "x"));  // titled by its file name
  RunResult result = Run({"C:"});
  EXPECT_EQ(result.out,
            "1.htm\tC:\\d\\1.htm\t\tx\t\t\t50\t0\t0001\n"
            "album\tC:\\a\\index.htm\t\tx\t\t\t50\t0\t0020\n"
            "Album\tC:\\b\\index.htm\t\tx\t\t\t50\t0\t0020\n"
            "Beach\tC:\\a\\sea.htm\t\tx\t\t\t50\t0\t0001\n"
            "BEACH\tC:\\c\\sea.htm\t\tx\t\t\t50\t0\t0001\n"
            "beach\tC:\\a\\Zoo.htm\t\tx\t\t\t50\t0\t0001\n"
            "Beach day\tC:\\c\\A.htm\t\tx\t\t\t50\t0\t0001\n");
  EXPECT_EQ(result.err, Written("C:\\", 7));
}

TEST_F(PagebaseTest, PagesBesideImages) {
  drive_.Write("photo.jpg", Gif(1, 1));
  drive_.Write("photo.htm", Head("Photo", "p"));
  drive_.Write("Other.jpg", Gif(1, 1));
  drive_.Write("Other.htm", Head("Other", "o"));
  drive_.Write("other.x.htm", Head("Other x", "o"));
  drive_.Write("lone.htm", Head("Lone", "l"));
  RunResult result = Run({});
  // other.x.htm is no image's page: its name up to the extension is
  // "other.x", and the image node "Other.jpg" differs in letter case.
  EXPECT_EQ(result.out,
            "Lone\tC:\\lone.htm\t\tl\t\t\t50\t0\t0001\n"
            "Other\tC:\\Other.jpg\t\to\t\t\t50\t0\t0002\n"
            "Other x\tC:\\other.x.htm\t\to\t\t\t50\t0\t0001\n"
            "Photo\tC:\\photo.jpg\t\tp\t\t\t50\t0\t0002\n");
}

TEST_F(PagebaseTest, OverlongPathsAreSkippedWithAWarning) {
  std::string deep = std::string(120, 'a') + "/" + std::string(120, 'b');
  drive_.Write(deep + "/fits.htm", Head("Fits", "x"));
  drive_.Write(deep + "/" + std::string(20, 'c') + ".htm", Head("Long", "x"));
  drive_.Write(deep + "/" + std::string(20, 'd') + "/index.htm", Head("Deep", "x"));
  for (int i = 0; i < 40; ++i) deep += "/dd";
  drive_.Write(deep + "/index.htm", Head("Deeper", "x"));
  std::string dir = "C:\\" + std::string(120, 'a') + "\\" + std::string(120, 'b') + "\\";
  RunResult result = Run({});
  EXPECT_EQ(result.out, "Fits\t" + dir + "fits.htm\t\tx\t\t\t50\t0\t0001\n");
  EXPECT_EQ(result.err,
            "Scanning C:\\ ... \n"
            "Warning:  Path longer than 259 characters skipped:\n            " + dir + "dd\\dd\\dd\\dd\\dd\n"
            "Warning:  Path longer than 259 characters skipped:\n            " + dir + std::string(20, 'd') + "\n"
            "Warning:  Path longer than 259 characters skipped:\n            " + dir + std::string(20, 'c') + ".htm\n"
            "done.\nBuilding Index... done.\nSorting Index... done.\nWriting Index...\n1 lines written\n");
  EXPECT_EQ(result.exitCode, 1);
}

// Folders are read side by side; their warnings and records still come in
// the order of the walk.
TEST_F(PagebaseTest, WarningsOfManyFoldersComeInWalkOrder) {
  std::string base = std::string(200, 'x');
  std::string expectedErr = "Scanning C:\\ ... \n";
  std::string expectedOut;
  for (char folder = 'a'; folder <= 'l'; ++folder) {
    std::string dir = base + "/" + folder;
    drive_.Write(dir + "/" + std::string(60, 'n') + ".htm", Head("Long", "x"));
    drive_.Write(dir + "/ok.htm", Head(std::string("Ok ") + folder, "x"));
    std::string winDir = "C:\\" + base + "\\" + folder + "\\";
    expectedErr += "Warning:  Path longer than 259 characters skipped:\n            " + winDir +
                   std::string(60, 'n') + ".htm\n";
    expectedOut += std::string("Ok ") + folder + "\t" + winDir + "ok.htm\t\tx\t\t\t50\t0\t0001\n";
  }
  RunResult result = Run({});
  EXPECT_EQ(result.out, expectedOut);
  EXPECT_EQ(result.err, expectedErr +
                            "done.\nBuilding Index... done.\nSorting Index... done.\nWriting Index...\n"
                            "12 lines written\n");
  EXPECT_EQ(result.exitCode, 1);
}

TEST_F(PagebaseTest, CommandLineErrorsAndHelp) {
  RunResult result = Run({"a", "b"});
  EXPECT_EQ(result.err, "Error:  Starting directory was specified twice on command line.\n");
  EXPECT_EQ(result.exitCode, 3);
  result = Run({"Q:\\photos"});
  EXPECT_EQ(result.err, "Error:  Illegal path specified on command line.\n");
  EXPECT_EQ(result.exitCode, 3);
  for (const char* option : {"/?", "-z", "/"}) {
    result = Run({"/M", option});
    EXPECT_EQ(result.out, kHelp) << option;
    EXPECT_EQ(result.err, "") << option;
    EXPECT_EQ(result.exitCode, 0) << option;
  }
}

TEST_F(SiteTest, KeywordExpressionWithTextLeftOverIsAnError) {
  struct Case {
    const char* option;
    const char* shown;
  } cases[] = {
      {"/K:sea)", "sea)"},
      {"-k\"sea\" | hush", "\"sea\" | hush"},
      {"/K#x", "#x"},
  };
  for (const Case& c : cases) {
    RunResult result = Run({c.option, "photos"});
    EXPECT_EQ(result.out, "") << c.option;
    EXPECT_EQ(result.err, std::string("Error:  expression syntax error.\n            ") + c.shown + "\n")
        << c.option;
    EXPECT_EQ(result.exitCode, 3) << c.option;
  }
  // A missing ')' at the end is accepted.
  RunResult result = Run({"/K:(sea|hush", "photos"});
  EXPECT_EQ(result.err, Written("C:\\photos", 2));
  EXPECT_EQ(result.exitCode, 0);
}

TEST_F(PagebaseTest, FullDiskIsAnError) {
  drive_.Write("index.htm", Head("Home", "x"));
  for (const std::vector<std::string>& args : {std::vector<std::string>{"C:"}, {"/M", "C:"}}) {
    RunResult result = RunProgramToFullDisk(kProgram, args);
    std::string last = args.size() == 1 ? "Writing Index...\n" : "Merging Index...\n";
    EXPECT_EQ(result.err, Progress("C:\\", last) + "\nError writing to output file.\n");
    EXPECT_EQ(result.exitCode, 2);
  }
}

// --- Merge -------------------------------------------------------------------

std::string Record(const std::string& title, const std::string& path) {
  return title + "\t" + path + "\t\tx\t\t\t50\t0\t0001\n";
}

class MergeTest : public PagebaseTest {
 protected:
  MergeTest() {
    drive_.Write("photos/b.htm", Head("B", "x"));
    drive_.Write("photos/d.htm", Head("D", "x"));
  }
  std::string Merged(int deleted, int added) {
    return Progress("C:\\photos", "Merging Index...\n" + std::to_string(deleted) + " lines deleted, " +
                                      std::to_string(added) + " lines added\n");
  }
};

TEST_F(MergeTest, ReplacesOnlyTheScannedTree) {
  std::string old = Record("A", "C:\\photos2\\a.htm") + Record("B", "D:\\photos\\old.htm") +
                    Record("C", "c:\\PHOTOS\\sub\\c.htm") + Record("C", "C:\\other\\c.htm") +
                    Record("E", "C:\\photos") + Record("F", "E:\\f.htm");
  RunResult result = Run({"/M", "photos"}, old);
  // The same folder on another drive is another tree: D:\photos stays.
  EXPECT_EQ(result.out, Record("A", "C:\\photos2\\a.htm") + Record("B", "C:\\photos\\b.htm") +
                            Record("B", "D:\\photos\\old.htm") + Record("C", "C:\\other\\c.htm") +
                            Record("D", "C:\\photos\\d.htm") + Record("F", "E:\\f.htm"));
  EXPECT_EQ(result.err, Merged(2, 2));
  EXPECT_EQ(result.exitCode, 0);
}

TEST_F(MergeTest, OldLineFirstOnEqualTitleAndName) {
  // Every old line that ties with a new record on title and name goes
  // before it, whatever the paths; a greater name goes after it.
  std::string old = Record("B", "A:\\x\\b.htm") + Record("b", "E:\\x\\B.htm") + Record("b", "E:\\y\\c.htm") +
                    Record("d", "A:\\d.htm");
  RunResult result = Run({"/M", "photos"}, old);
  EXPECT_EQ(result.out, Record("B", "A:\\x\\b.htm") + Record("b", "E:\\x\\B.htm") +
                            Record("B", "C:\\photos\\b.htm") + Record("b", "E:\\y\\c.htm") +
                            Record("d", "A:\\d.htm") + Record("D", "C:\\photos\\d.htm"));
  EXPECT_EQ(result.err, Merged(0, 2));
  EXPECT_EQ(result.exitCode, 0);
}

TEST_F(MergeTest, DamagedLinesAreSkippedAndTheMergeGoesOn) {
  std::string old = Record("A", "C:\\a.htm") + "\n" + "no tabs at all\n" + "A\tonly one tab\n" +
                    "  \t \r\n" + Record("C", "C:\\c.htm") + Record("E", "C:\\e.htm");
  RunResult result = Run({"/M", "photos"}, old);
  EXPECT_EQ(result.out, Record("A", "C:\\a.htm") + Record("B", "C:\\photos\\b.htm") +
                            Record("C", "C:\\c.htm") + Record("D", "C:\\photos\\d.htm") +
                            Record("E", "C:\\e.htm"));
  EXPECT_EQ(result.err,
            Progress("C:\\photos", "Merging Index...\n") +
                "Warning:  Line 2 of the input database is blank; it was skipped.\n"
                "Warning:  Line 3 of the input database is damaged (fewer than three fields); it was skipped.\n"
                "Warning:  Line 4 of the input database is damaged (fewer than three fields); it was skipped.\n"
                "Warning:  Line 5 of the input database is blank; it was skipped.\n"
                "0 lines deleted, 2 lines added\n");
  EXPECT_EQ(result.exitCode, 1);
}

// Records hold page heads whole, however long, so a merge keeps every old
// line whole, and the scanned tree's long heads go in whole too.
TEST_F(MergeTest, LongRecordsAreKeptWhole) {
  const std::string keywords = KeywordListOf(1023);
  const std::string description = DescriptionOf(511);
  drive_.Write("photos/long.htm",
               Head("Long", keywords, "<META NAME=\"DESCRIPTION\" CONTENT=\"" + description + "\">"));
  const std::string other = "A\tE:\\a.htm\t" + std::string(5000, 'd') + "\t" + KeywordListOf(3000) +
                            "\t\t\t50\t0\t0001\n";
  RunResult result = Run({"/M", "photos"}, other);
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out.substr(0, other.size()), other);
  std::string decoded = "Boats & nets at dawn" + description.substr(24);
  EXPECT_NE(result.out.find("Long\tC:\\photos\\long.htm\t" + decoded + "\t" + keywords + "\t"),
            std::string::npos)
      << result.out.substr(0, 300);
  EXPECT_EQ(result.err, Merged(0, 3));
}

TEST_F(MergeTest, RestOfAnOldLineIsKeptAsItIs) {
  std::string old = "A\tC:\\a.htm\tany\trest\twith\ttabs\r\n";
  RunResult result = Run({"/M", "photos"}, old);
  EXPECT_EQ(result.out, "A\tC:\\a.htm\tany\trest\twith\ttabs\n" + Record("B", "C:\\photos\\b.htm") +
                            Record("D", "C:\\photos\\d.htm"));
}

TEST_F(MergeTest, ScanningADriveRootReplacesTheWholeDrive) {
  drive_.Write("photos/index.htm", Head("Z", "x"));
  RunResult result = Run({"/M", "C:"}, Record("A", "C:\\a.htm") + Record("B", "D:\\b.htm"));
  EXPECT_EQ(result.out, Record("B", "D:\\b.htm") + Record("B", "C:\\photos\\b.htm") +
                            Record("D", "C:\\photos\\d.htm") +
                            "Z\tC:\\photos\\index.htm\t\tx\t\t\t50\t0\t0020\n");
  EXPECT_EQ(result.err, Progress("C:\\", "Merging Index...\n1 lines deleted, 3 lines added\n"));
}

// Two drives on two folders, as a user with photos on a second disk has
// them: a merge of one drive's tree keeps the other drive's records.
TEST_F(PagebaseTest, MergeKeepsTheRecordsOfTheOtherDrive) {
  drive_.Write("c/photos/a.htm", Head("Alps", "x"));
  drive_.Write("d/photos/a.htm", Head("Avon", "x"));
  drive_.Write("d/photos/b.htm", Head("Bath", "x"));
  RunOptions options;
  options.cwd = drive_.Host("c");
  options.env["WEFTDRIVES"] = "C=" + drive_.Host("c") + ";D=" + drive_.Host("d");
  RunResult d = RunProgram(kProgram, {"D:\\photos"}, options);
  ASSERT_EQ(d.out, Record("Avon", "D:\\photos\\a.htm") + Record("Bath", "D:\\photos\\b.htm"));
  options.input = d.out;
  RunResult both = RunProgram(kProgram, {"/M", "C:\\photos"}, options);
  EXPECT_EQ(both.out, Record("Alps", "C:\\photos\\a.htm") + d.out);
  EXPECT_EQ(both.err, Progress("C:\\photos", "Merging Index...\n0 lines deleted, 1 lines added\n"));
  EXPECT_EQ(both.exitCode, 0);
  // The D: tree changed: its new scan replaces its own records only.
  drive_.Write("d/photos/b.htm", Head("Bristol", "x"));
  options.input = both.out;
  RunResult again = RunProgram(kProgram, {"/M", "D:"}, options);
  EXPECT_EQ(again.out, Record("Alps", "C:\\photos\\a.htm") + Record("Avon", "D:\\photos\\a.htm") +
                           Record("Bristol", "D:\\photos\\b.htm"));
  EXPECT_EQ(again.err, Progress("D:\\", "Merging Index...\n2 lines deleted, 2 lines added\n"));
  EXPECT_EQ(again.exitCode, 0);
}

// Entries with the hidden attribute are left out, whatever kind they are;
// the start folder given in another letter case finds their records all the same.
TEST_F(PagebaseTest, EntriesWithTheHiddenAttributeAreLeftOut) {
  drive_.Write("photos/index.htm", Head("Photos", "Albums"));
  drive_.Write("photos/shown.htm", Head("Shown", "Sea"));
  drive_.Write("photos/secret.htm", Head("Secret", "Sea"));
  drive_.Write("photos/pic.jpg", Gif(10, 10));
  drive_.Write("photos/pic.htm", Head("Pic", "Sea"));  // its image hidden: a page of its own
  drive_.Write("photos/shot.jpg", Gif(10, 10));
  drive_.Write("photos/shot.htm", Head("Shot", "Sea"));
  drive_.Write("photos/away/index.htm", Head("Away", "Sea"));
  drive_.Write("photos/away/inside.htm", Head("Inside", "Sea"));
  for (const char* path : {"C:\\photos\\secret.htm", "C:\\photos\\pic.jpg", "C:\\photos\\away"}) {
    if (!SetAttributes(path, kAttrHidden)) GTEST_SKIP() << "no attribute records here";
  }
  RunResult result = Run({"C:\\PHOTOS"});
  EXPECT_EQ(result.out,
            "Photos\tC:\\PHOTOS\\index.htm\t\tAlbums\t\t\t50\t0\t0020\n"
            "Pic\tC:\\PHOTOS\\pic.htm\t\tSea\t\t\t50\t0\t0001\n"
            "Shot\tC:\\PHOTOS\\shot.jpg\t\tSea\t\t\t50\t0\t0002\n"
            "Shown\tC:\\PHOTOS\\shown.htm\t\tSea\t\t\t50\t0\t0001\n");
  EXPECT_EQ(result.err, Written("C:\\PHOTOS", 4));
  EXPECT_EQ(result.exitCode, 0);
}

}  // namespace

namespace {

// Symbolic links to directories: a loop back to an ancestor, one to
// itself, one to a directory inside the tree, two leading out of it and one
// from there back in. Each real directory is scanned once: the tree by its
// own paths, the outside folder through the first link that leads there.
TEST_F(PagebaseTest, LinkedDirectoriesAreScannedOnce) {
  drive_.Write("site/index.htm", Head("Site", "Top"));
  drive_.Write("site/a/index.htm", Head("A", "Alpha"));
  drive_.Write("site/a/p.htm", Head("P", "Page"));
  drive_.Write("outside/index.htm", Head("Out", "Far"));
  drive_.Write("outside/x.htm", Head("X", "Far"));
  drive_.Link("site/a/loop", "..");
  drive_.Link("site/a/self", ".");
  drive_.Link("site/b", "a");
  drive_.Link("site/out", "../outside");
  drive_.Link("site/zout", "../outside");
  drive_.Link("outside/back", "../site");
  RunResult result = Run({"site"});
  EXPECT_EQ(result.out,
            "A\tC:\\site\\a\\index.htm\t\tAlpha\t\t\t50\t0\t0020\n"
            "Out\tC:\\site\\out\\index.htm\t\tFar\t\t\t50\t0\t0020\n"
            "P\tC:\\site\\a\\p.htm\t\tPage\t\t\t50\t0\t0001\n"
            "Site\tC:\\site\\index.htm\t\tTop\t\t\t50\t0\t0020\n"
            "X\tC:\\site\\out\\x.htm\t\tFar\t\t\t50\t0\t0001\n");
  EXPECT_EQ(result.err, Written("C:\\site", 5));
  EXPECT_EQ(result.exitCode, 0);
}

}  // namespace
