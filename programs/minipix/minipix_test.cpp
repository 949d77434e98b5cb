// minipix run as a user runs it, in a gallery folder of a temporary drive.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "jpeg/dib.h"
#include "jpeg/read_jpeg.h"
#include "jpeg/write_jpeg.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/filetime.h"
#include "platform/testing/test_support.h"
#include "shared/image_size.h"
#include "shared/testing/exif_jpeg.h"

namespace {

using Files = std::vector<std::string>;

// The built program by its full path, wherever the tests run from.
const std::string kMinipix = std::string(WEFT_BIN_DIR) + "/minipix";

struct Rgb {
  int r, g, b;
};

void ExpectNear(Rgb actual, Rgb expected, const std::string& where) {
  EXPECT_NEAR(actual.r, expected.r, 40) << where;
  EXPECT_NEAR(actual.g, expected.g, 40) << where;
  EXPECT_NEAR(actual.b, expected.b, 40) << where;
}

class Minipix : public ::testing::Test {
 protected:
  Minipix() { drive.MakeDir("gallery/thumbs"); }

  // A width x height JPEG of one colour in the gallery.
  void Image(const std::string& name, int width = 400, int height = 300, uint8_t red = 200) {
    BitmapInfoHeader* dib = NewDIB(width, height);
    uint8_t* p = DIBPixels(dib);
    for (size_t i = 0; i < dib->biSizeImage; i += 3) {
      p[i] = red;
      p[i + 1] = 100;
      p[i + 2] = 50;
    }
    ASSERT_TRUE(WriteThumbDIB(dib, drive.Win("gallery/" + name).c_str(), 95));
    FreeDIB(dib);
  }

  RunResult Run(const std::vector<std::string>& args = {}) {
    RunOptions options;
    options.cwd = drive.Host("gallery");
    return RunProgram(kMinipix, args, options);
  }

  // Width, height and the centre's red value of a thumbnail.
  struct Thumb {
    int width = 0, height = 0, red = -1;
  };
  Thumb ReadThumb(const std::string& name) {
    Thumb thumb;
    BitmapInfoHeader* dib = LoadJpegDIB(drive.Win("gallery/thumbs/" + name).c_str(), 0, 0);
    if (!dib) return thumb;
    thumb.width = dib->biWidth;
    thumb.height = dib->biHeight;
    thumb.red = DIBRow(dib, dib->biHeight / 2)[3 * (dib->biWidth / 2)];
    FreeDIB(dib);
    return thumb;
  }

  FileTime WriteTime(const std::string& name) {
    FileTime time = 0;
    GetFileTimes(drive.Win("gallery/" + name).c_str(), nullptr, nullptr, &time);
    return time;
  }
  void SetWriteTime(const std::string& name, FileTime time) {
    ASSERT_TRUE(SetFileTimes(drive.Win("gallery/" + name).c_str(), nullptr, nullptr, &time));
  }

  TempDrive drive;
};

const char kHelp[] =
    "Tessarin Thumbnail Builder, v1.03 by Dunmarrow\n\n"
    "Builds a thumbnail image file for each image file in the current directory.\n"
    "This version only supports JPEG image files.\n\n"
    "MINIPIX\n\n"
    "The following options are read from the standard configuration files:\n\n"
    "  reservedFile=filename    Don't generate thumbnails for filename.\n"
    "  thumbSize=width,height   The maximum thumbnail dimensions (default 100,100).\n"
    "  thumbQuality=value       The JPEG output quality (default 75).\n"
    "  thumbFast=yes|no         Enable fast read mode (default yes).\n"
    "  thumbSharpness=value     Specify thumbnail image sharpness (1 to 100).\n"
    "  keywordThumbs=yes|no     Build thumbnails only for images with keywords.\n"
    "\nRead the Tessarin documentation for more information.\n\n";

TEST_F(Minipix, AnyArgumentPrintsTheHelpAndChangesNothing) {
  Image("a.jpg");
  for (const char* arg : {"/?", "x", "-h"}) {
    RunResult r = Run({arg});
    EXPECT_EQ(r.exitCode, 0) << arg;
    EXPECT_EQ(r.out, kHelp) << arg;
    EXPECT_EQ(r.err, "") << arg;
  }
  EXPECT_EQ(drive.Files("gallery"), (Files{"a.jpg"}));
}

TEST_F(Minipix, MissingThumbsFolderIsAnError) {
  drive.MakeDir("empty");
  for (const char* folder : {"empty", "gallery"}) {
    if (std::string(folder) == "gallery") {
      Image("a.jpg");
      RemoveDir(drive.Win("gallery/thumbs").c_str());
    }
    RunOptions options;
    options.cwd = drive.Host(folder);
    RunResult r = RunProgram(kMinipix, {}, options);
    EXPECT_EQ(r.exitCode, 1) << folder;
    EXPECT_EQ(r.out, "") << folder;
    EXPECT_EQ(r.err, "Error:  Thumbnail directory \"thumbs\" does not exist.\n") << folder;
  }
  EXPECT_EQ(drive.Files("gallery"), (Files{"a.jpg"}));
  EXPECT_EQ(drive.Files("empty"), Files{});
}

TEST_F(Minipix, BuildsThumbnailsNamedAfterTheirImages) {
  Image("a.jpg", 400, 300, 200);
  Image("a.b.jpg", 300, 400, 20);
  Image("my_pic.JPG", 400, 400, 120);
  Image("small.jpg", 80, 60, 60);
  Image("index.jpg");  // special names get no thumbnail
  Image("thumb.jpg");
  Image("backgnd.jpg");
  drive.Write("gallery/notes.txt", "not an image");
  RunResult r = Run();
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "Creating thumbnail \"thumbs\\tn_a.b_jpg.jpg\"...\n"
            "Creating thumbnail \"thumbs\\tn_a_jpg.jpg\"...\n"
            "Creating thumbnail \"thumbs\\tn_my_pic_JPG.jpg\"...\n"
            "Creating thumbnail \"thumbs\\tn_small_jpg.jpg\"...\n");
  EXPECT_EQ(drive.Files("gallery/thumbs"),
            (Files{"tn_a.b_jpg.jpg", "tn_a_jpg.jpg", "tn_my_pic_JPG.jpg", "tn_small_jpg.jpg"}));
  struct Expected {
    const char* thumb;
    int width, height, red;
  };
  for (Expected e : {Expected{"tn_a_jpg.jpg", 100, 75, 200}, Expected{"tn_a.b_jpg.jpg", 75, 100, 20},
                     Expected{"tn_my_pic_JPG.jpg", 100, 100, 120}, Expected{"tn_small_jpg.jpg", 80, 60, 60}}) {
    Thumb t = ReadThumb(e.thumb);
    EXPECT_EQ(t.width, e.width) << e.thumb;
    EXPECT_EQ(t.height, e.height) << e.thumb;
    EXPECT_NEAR(t.red, e.red, 4) << e.thumb;
  }
  // A second run finds everything up to date (a.b.jpg maps back through the sweep).
  r = Run();
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
}

// A photograph stored as 400 x 300 pixels of four coloured quarters (red
// top left, green top right, blue bottom left, white bottom right), tagged
// with each EXIF orientation, gets a thumbnail that shows it upright: its
// corners are the corners a viewer shows, its size fits the box as shown,
// and it carries no orientation of its own.
TEST_F(Minipix, OrientedPhotographsGetUprightThumbnails) {
  const Rgb kRed{230, 20, 20}, kGreen{20, 210, 30}, kBlue{20, 30, 220}, kWhite{250, 250, 250};
  struct Shown {
    int orientation;
    Rgb topLeft, topRight, bottomLeft, bottomRight;
  } const shown[] = {
      {1, kRed, kGreen, kBlue, kWhite},  {2, kGreen, kRed, kWhite, kBlue},
      {3, kWhite, kBlue, kGreen, kRed},  {4, kBlue, kWhite, kRed, kGreen},
      {5, kRed, kBlue, kGreen, kWhite},  {6, kBlue, kRed, kWhite, kGreen},
      {7, kWhite, kGreen, kBlue, kRed},  {8, kGreen, kWhite, kRed, kBlue},
  };
  BitmapInfoHeader* frame = NewDIB(400, 300);
  for (int y = 0; y < 300; ++y) {
    for (int x = 0; x < 400; ++x) {
      bool top = y >= 150;  // rows are stored bottom-up
      Rgb c = top ? (x < 200 ? kRed : kGreen) : (x < 200 ? kBlue : kWhite);
      uint8_t* p = DIBRow(frame, y) + 3 * x;
      p[0] = static_cast<uint8_t>(c.r), p[1] = static_cast<uint8_t>(c.g), p[2] = static_cast<uint8_t>(c.b);
    }
  }
  ASSERT_TRUE(WriteThumbDIB(frame, drive.Win("gallery/plain.jpg").c_str(), 95));
  FreeDIB(frame);
  const std::string plain = drive.Read("gallery/plain.jpg");
  for (const Shown& s : shown) {
    drive.Write("gallery/o" + std::to_string(s.orientation) + ".jpg",
                WithOrientation(plain, s.orientation, s.orientation % 2 == 0));
  }
  drive.Write("icons/weft.ini", "thumbSize=120,90\n");
  RunResult r = Run();
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, "");
  for (const Shown& s : shown) {
    std::string name = "tn_o" + std::to_string(s.orientation) + "_jpg.jpg";
    std::string path = drive.Win("gallery/thumbs/" + name);
    uint32_t width = 0, height = 0;
    int orientation = 0;
    ASSERT_TRUE(JpegStoredSize(path.c_str(), &width, &height, &orientation)) << name;
    EXPECT_EQ(orientation, 1) << name;
    EXPECT_EQ(width, s.orientation >= 5 ? 67u : 120u) << name;
    EXPECT_EQ(height, 90u) << name;
    BitmapInfoHeader* thumb = LoadJpegDIB(path.c_str(), 0, 0);
    ASSERT_NE(thumb, nullptr) << name;
    auto corner = [thumb](bool left, bool top) {
      int x = left ? 2 : thumb->biWidth - 3, y = top ? thumb->biHeight - 3 : 2;
      const uint8_t* p = DIBRow(thumb, y) + 3 * x;
      return Rgb{p[0], p[1], p[2]};
    };
    ExpectNear(corner(true, true), s.topLeft, name + " top left");
    ExpectNear(corner(false, true), s.topRight, name + " top right");
    ExpectNear(corner(true, false), s.bottomLeft, name + " bottom left");
    ExpectNear(corner(false, false), s.bottomRight, name + " bottom right");
    FreeDIB(thumb);
  }
  // Shown as stored, the tagged photograph's thumbnail is the untagged one's.
  EXPECT_EQ(drive.Read("gallery/thumbs/tn_o1_jpg.jpg"), drive.Read("gallery/thumbs/tn_plain_jpg.jpg"));
}

TEST_F(Minipix, RefreshesOnlyStaleThumbnails) {
  Image("same.jpg");
  Image("newer.jpg");
  Image("gifold.jpg");
  Image("gifnew.jpg");
  drive.Write("gallery/thumbs/tn_same_jpg.jpg", "kept as it is");
  drive.Write("gallery/thumbs/tn_newer_jpg.jpg", "stale");
  drive.Write("gallery/thumbs/tn_gifold_jpg.gif", "stale gif");
  drive.Write("gallery/thumbs/tn_gifnew_jpg.gif", "fresh gif");
  FileTime base = WriteTime("same.jpg");
  SetWriteTime("thumbs/tn_same_jpg.jpg", base);  // equal times count as up to date
  SetWriteTime("thumbs/tn_newer_jpg.jpg", base - 10'000'000);
  SetWriteTime("thumbs/tn_gifold_jpg.gif", base - 10'000'000);
  SetWriteTime("thumbs/tn_gifnew_jpg.gif", base + 10'000'000);
  SetWriteTime("newer.jpg", base);
  SetWriteTime("gifold.jpg", base);
  SetWriteTime("gifnew.jpg", base);
  RunResult r = Run();
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "Creating thumbnail \"thumbs\\tn_gifold_jpg.jpg\"...\n"
            "Creating thumbnail \"thumbs\\tn_newer_jpg.jpg\"...\n");
  EXPECT_EQ(drive.Files("gallery/thumbs"),
            (Files{"tn_gifnew_jpg.gif", "tn_gifold_jpg.jpg", "tn_newer_jpg.jpg", "tn_same_jpg.jpg"}));
  EXPECT_EQ(drive.Read("gallery/thumbs/tn_same_jpg.jpg"), "kept as it is");
  EXPECT_EQ(ReadThumb("tn_newer_jpg.jpg").width, 100);

  // Touching the image rebuilds its thumbnail on the next run.
  SetWriteTime("same.jpg", FileTimeNow() + 10'000'000);
  r = Run();
  EXPECT_EQ(r.out, "Creating thumbnail \"thumbs\\tn_same_jpg.jpg\"...\n");
  EXPECT_EQ(ReadThumb("tn_same_jpg.jpg").width, 100);
}

TEST_F(Minipix, DeletesOrphansAndKeepsOtherFiles) {
  Image("kept.jpg");
  Image("reserved.jpg");
  Image("index.jpg");
  drive.Write("icons/weft.ini", "reservedFile=reserved.jpg\n");
  Files keep = {"notes.jpg", "tn_gone_jpg.gif", "tn_kept_jpg.jpg", "tn_kept_jpg.jpg.bak"};
  for (const std::string& name : keep) drive.Write("gallery/thumbs/" + name, "x");
  SetWriteTime("thumbs/tn_kept_jpg.jpg", FileTimeNow() + 10'000'000);
  for (const char* name : {"tn_old_jpg.jpg", "tn_reserved_jpg.jpg", "tn_index_jpg.jpg", "tn_Old_JPG.JPG"}) {
    drive.Write(std::string("gallery/thumbs/") + name, "x");
  }
  RunResult r = Run();
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "Deleting orphan thumbnail \"thumbs\\tn_index_jpg.jpg\".\n"
            "Deleting orphan thumbnail \"thumbs\\tn_Old_JPG.JPG\".\n"
            "Deleting orphan thumbnail \"thumbs\\tn_old_jpg.jpg\".\n"
            "Deleting orphan thumbnail \"thumbs\\tn_reserved_jpg.jpg\".\n");
  EXPECT_EQ(drive.Files("gallery/thumbs"), keep);
}

TEST_F(Minipix, KeywordThumbsFollowTheImagePages) {
  drive.Write("icons/weft.ini", "keywordThumbs=yes\nthumbSize=50,40\n");
  Image("tagged.jpg");
  Image("plain.jpg");
  Image("nopage.jpg");
  drive.Write("gallery/tagged.htm", "<HEAD><META NAME=\"KEYWORDS\" CONTENT=\"harbour\"></HEAD>");
  drive.Write("gallery/plain.htm", "<HEAD><TITLE>Plain</TITLE></HEAD>");
  drive.Write("gallery/thumbs/tn_plain_jpg.jpg", "x");
  RunResult r = Run();
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "Deleting orphan thumbnail \"thumbs\\tn_plain_jpg.jpg\".\n"
            "Creating thumbnail \"thumbs\\tn_tagged_jpg.jpg\"...\n");
  EXPECT_EQ(drive.Files("gallery/thumbs"), Files{"tn_tagged_jpg.jpg"});
  Thumb t = ReadThumb("tn_tagged_jpg.jpg");
  EXPECT_EQ(t.width, 50);  // 400 x 300 into 50 x 40
  EXPECT_EQ(t.height, 37);
}

TEST_F(Minipix, ConfigurationSetsSizeQualityAndSlowMode) {
  drive.Write("icons/weft.ini", "thumbSize=160,90\nthumbQuality=20\nthumbFast=no\nthumbSharpness=100\n");
  Image("wide.jpg", 640, 480);
  RunResult r = Run();
  EXPECT_EQ(r.exitCode, 0);
  Thumb t = ReadThumb("tn_wide_jpg.jpg");
  EXPECT_EQ(t.width, 120);
  EXPECT_EQ(t.height, 90);
  EXPECT_NEAR(t.red, 200, 8);
}

TEST_F(Minipix, DamagedImagesCostOnlyThemselves) {
  Image("a_good.jpg");
  Image("z_good.jpg");
  Image("whole.jpg", 640, 480);
  std::string whole = drive.Read("gallery/whole.jpg");
  drive.Write("gallery/cut.jpg", whole.substr(0, whole.size() / 2));
  drive.Write("gallery/gif.jpg", "GIF89a, not a JPEG");
  drive.Write("gallery/empty.jpg", "");
  RunResult r = Run();
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out,
            "Creating thumbnail \"thumbs\\tn_a_good_jpg.jpg\"...\n"
            "Creating thumbnail \"thumbs\\tn_cut_jpg.jpg\"...\n"
            "Creating thumbnail \"thumbs\\tn_empty_jpg.jpg\"...\n"
            "Creating thumbnail \"thumbs\\tn_gif_jpg.jpg\"...\n"
            "Creating thumbnail \"thumbs\\tn_whole_jpg.jpg\"...\n"
            "Creating thumbnail \"thumbs\\tn_z_good_jpg.jpg\"...\n");
  EXPECT_EQ(r.err,
            "Premature end of JPEG file\n"
            "Error:  Can't read image file \"cut.jpg\".\n"
            "Empty input file\n"
            "Error:  Can't read image file \"empty.jpg\".\n"
            "Not a JPEG file: starts with 0x47 0x49\n"
            "Error:  Can't read image file \"gif.jpg\".\n");
  // Nothing half-written is left, not even a temporary file.
  EXPECT_EQ(drive.Files("gallery/thumbs"),
            (Files{"tn_a_good_jpg.jpg", "tn_whole_jpg.jpg", "tn_z_good_jpg.jpg"}));
  EXPECT_EQ(ReadThumb("tn_z_good_jpg.jpg").width, 100);
}

// The head of a progressive JPEG that declares width x height pixels, then a
// few bytes of scan data. Decoding it would need the whole image's
// coefficients in memory (gigabytes for the sizes below).
std::string ProgressiveHeader(unsigned width, unsigned height) {
  std::string jpeg = "\xFF\xD8";
  // SOF2: 8-bit samples, the size, three components (Y 2x2, Cb and Cr 1x1).
  jpeg += std::string("\xFF\xC2\x00\x11\x08", 5);
  jpeg += static_cast<char>(height >> 8);
  jpeg += static_cast<char>(height & 255);
  jpeg += static_cast<char>(width >> 8);
  jpeg += static_cast<char>(width & 255);
  jpeg += std::string("\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01", 10);
  // SOS of the first DC scan over all three components.
  jpeg += std::string("\xFF\xDA\x00\x0C\x03\x01\x00\x02\x00\x03\x00\x00\x00\x00", 14);
  jpeg += std::string(480, '\x55');
  jpeg += "\xFF\xD9";
  return jpeg;
}

TEST_F(Minipix, ImagesDeclaringMoreThan100MegapixelsAreRefusedUnread) {
  drive.Write("gallery/huge.jpg", ProgressiveHeader(25800, 37888));
  drive.Write("gallery/wide.jpg", ProgressiveHeader(65000, 1540));
  Image("small.jpg");
  RunResult r = Run();
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out,
            "Creating thumbnail \"thumbs\\tn_huge_jpg.jpg\"...\n"
            "Creating thumbnail \"thumbs\\tn_small_jpg.jpg\"...\n"
            "Creating thumbnail \"thumbs\\tn_wide_jpg.jpg\"...\n");
  EXPECT_EQ(r.err,
            "Image of 25800 x 37888 pixels is over the limit of 100000000 pixels\n"
            "Error:  Can't read image file \"huge.jpg\".\n"
            "Image of 65000 x 1540 pixels is over the limit of 100000000 pixels\n"
            "Error:  Can't read image file \"wide.jpg\".\n");
  EXPECT_EQ(drive.Files("gallery/thumbs"), Files{"tn_small_jpg.jpg"});
}

// A folder that mixes good images of many sizes, damaged ones, one too big
// to read, a thumbnail that cannot be replaced, a stale and an orphan
// thumbnail: what its run prints and leaves must not depend on how many
// workers share the images.
class MinipixWorkers : public Minipix {
 protected:
  void Fill(const std::string& folder) {
    drive.MakeDir(folder + "/thumbs");
    for (int i = 0; i < 24; ++i) {
      int width = 90 + 37 * (i % 9), height = 70 + 53 * (i % 5);
      Picture(folder + "/p" + std::to_string(i) + ".jpg", width, height, static_cast<uint8_t>(i * 10));
    }
    Picture(folder + "/wide.jpg", 1600, 1200, 7);
    std::string whole = drive.Read(folder + "/wide.jpg");
    drive.Write(folder + "/cut.jpg", whole.substr(0, whole.size() / 3));
    drive.Write(folder + "/gif.jpg", "GIF89a, not a JPEG");
    drive.Write(folder + "/empty.jpg", "");
    drive.Write(folder + "/huge.jpg", ProgressiveHeader(25800, 37888));
    Picture(folder + "/locked.jpg", 200, 200, 1);
    drive.MakeDir(folder + "/thumbs/tn_locked_jpg.jpg");
    drive.Write(folder + "/thumbs/tn_p3_jpg.jpg", "stale");
    FileTime old = UnixToFileTime(1000000000);
    ASSERT_TRUE(SetFileTimes(drive.Win(folder + "/thumbs/tn_p3_jpg.jpg").c_str(), nullptr, nullptr, &old));
    drive.Write(folder + "/thumbs/tn_gone_jpg.jpg", "orphan");
    // Three images whose thumbnails are one file (names differ only in case):
    // the first in listing order makes it, the others find it up to date.
    Picture(folder + "/dup.jpg", 300, 200, 41);
    Picture(folder + "/Dup.jpg", 200, 300, 42);
    Picture(folder + "/DUP.jpg", 250, 250, 43);
  }

  // A picture with detail, so that every thumbnail tells its source apart,
  // under exactly the name given (the encoder would reuse a name that
  // differs only in case).
  void Picture(const std::string& path, int width, int height, uint8_t seed) {
    BitmapInfoHeader* dib = NewDIB(width, height);
    uint8_t* p = DIBPixels(dib);
    for (size_t i = 0; i < dib->biSizeImage; ++i) p[i] = static_cast<uint8_t>((i * 7 + seed) ^ (i >> 9));
    ASSERT_TRUE(WriteThumbDIB(dib, drive.Win("made.tmp").c_str(), 90));
    FreeDIB(dib);
    drive.Write(path, drive.Read("made.tmp"));
    ASSERT_TRUE(DeleteFile(drive.Win("made.tmp").c_str()));
  }

  RunResult RunIn(const std::string& folder, const char* workers) {
    RunOptions options;
    options.cwd = drive.Host(folder);
    if (workers) options.env["NUMBER_OF_PROCESSORS"] = workers;
    return RunProgram(kMinipix, {}, options);
  }

  std::map<std::string, std::string> Thumbs(const std::string& folder) {
    std::map<std::string, std::string> thumbs;
    for (const std::string& name : drive.Files(folder + "/thumbs")) {
      thumbs[name] = drive.Read(folder + "/thumbs/" + name);
    }
    return thumbs;
  }
};

TEST_F(MinipixWorkers, SeveralWorkersPrintAndWriteWhatOnePrintsAndWrites) {
  Fill("one");
  RunResult one = RunIn("one", "1");
  ASSERT_EQ(one.exitCode, 1);
  ASSERT_NE(one.err.find("Premature end of JPEG file\nError:  Can't read image file \"cut.jpg\".\n"),
            std::string::npos);
  ASSERT_NE(one.err.find("over the limit"), std::string::npos);
  ASSERT_NE(one.err.find("Warning:  Can't delete old thumbnail \"thumbs\\tn_locked_jpg.jpg\".\n"),
            std::string::npos);
  std::map<std::string, std::string> thumbs = Thumbs("one");
  ASSERT_EQ(thumbs.size(), 26u);  // the 24 pictures, wide.jpg and one for the three dups
  ASSERT_NE(one.out.find("Creating thumbnail \"thumbs\\tn_p3_jpg.jpg\"...\n"), std::string::npos);
  // Unset, the variable leaves one worker to each processor the program may use.
  for (const char* workers : {"2", "5", "16", static_cast<const char*>(nullptr)}) {
    std::string folder = std::string("w") + (workers ? workers : "default");
    Fill(folder);
    RunResult several = RunIn(folder, workers);
    EXPECT_EQ(several.exitCode, one.exitCode) << folder;
    EXPECT_EQ(several.out, one.out) << folder;
    EXPECT_EQ(several.err, one.err) << folder;
    EXPECT_EQ(Thumbs(folder), thumbs) << folder;
  }
}

TEST_F(Minipix, WarnsWhereAThumbnailCannotBeMade) {
  // A name whose thumbnail name would have to be cut (247 characters and
  // more) is skipped; a long one that fits is done.
  std::string longName = std::string(243, 'n') + ".jpg";
  std::string fits = std::string(200, 'f') + ".jpg";
  Image(longName);
  Image(fits);
  // An old thumbnail that cannot be deleted keeps its image from being rebuilt.
  Image("locked.jpg");
  drive.MakeDir("gallery/thumbs/tn_locked_jpg.jpg");
  RunResult r = Run();
  EXPECT_EQ(r.exitCode, 0);
  std::string fitsThumb = "tn_" + std::string(200, 'f') + "_jpg.jpg";
  EXPECT_EQ(r.out, "Creating thumbnail \"thumbs\\" + fitsThumb + "\"...\n");
  EXPECT_EQ(r.err,
            "Warning:  Can't delete old thumbnail \"thumbs\\tn_locked_jpg.jpg\".\n"
            "Warning:  Can't create a thumbnail for \"" + longName + "\": its name is too long.\n");
  EXPECT_EQ(drive.Files("gallery/thumbs"), Files{fitsThumb});
  EXPECT_EQ(ReadThumb(fitsThumb).width, 100);
}

}  // namespace
