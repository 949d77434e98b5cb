// unpost as a user runs it: message files in a folder mapped as drive C:,
// the command line, key answers on standard input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/testing/test_support.h"
#include "shared/testing/full_output.h"

namespace {

using Files = std::vector<std::string>;

// --- Encoders for the fixtures ------------------------------------------------

std::string AllBytes() {
  std::string bytes;
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
  }
  return bytes;
}

std::string Base64(const std::string& data) {
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  size_t column = 0;
  for (size_t i = 0; i < data.size(); i += 3) {
    unsigned v = static_cast<unsigned char>(data[i]) << 16;
    if (i + 1 < data.size()) v |= static_cast<unsigned char>(data[i + 1]) << 8;
    if (i + 2 < data.size()) v |= static_cast<unsigned char>(data[i + 2]);
    out += kAlphabet[v >> 18 & 63];
    out += kAlphabet[v >> 12 & 63];
    out += i + 1 < data.size() ? kAlphabet[v >> 6 & 63] : '=';
    out += i + 2 < data.size() ? kAlphabet[v & 63] : '=';
    if ((column += 4) == 76) out += "\n", column = 0;
  }
  if (column) out += "\n";
  return out;
}

char UuChar(int value) { return value ? static_cast<char>(value + 32) : '`'; }

// The data lines of a uu block (45 bytes a line, then the "`" line).
std::string Uuencode(const std::string& data) {
  std::string out;
  for (size_t at = 0; at < data.size(); at += 45) {
    std::string chunk = data.substr(at, 45);
    out += UuChar(static_cast<int>(chunk.size()));
    for (size_t i = 0; i < chunk.size(); i += 3) {
      int b[3] = {0, 0, 0};
      for (int k = 0; k < 3 && i + k < chunk.size(); ++k) b[k] = static_cast<unsigned char>(chunk[i + k]);
      out += UuChar(b[0] >> 2);
      out += UuChar((b[0] & 3) << 4 | b[1] >> 4);
      out += UuChar((b[1] & 15) << 2 | b[2] >> 6);
      out += UuChar(b[2] & 63);
    }
    out += "\n";
  }
  return out + "`\n";
}

// yEnc data lines of `lineLength` characters (an escape may run one over).
std::string YencLines(const std::string& data, size_t lineLength) {
  std::string out;
  size_t column = 0;
  for (char byte : data) {
    unsigned char c = static_cast<unsigned char>(byte + 42);
    if (c == 0 || c == '\n' || c == '\r' || c == '=') {
      out += '=';
      c = static_cast<unsigned char>(c + 64);
      ++column;
    }
    out += static_cast<char>(c);
    if (++column >= lineLength) out += "\n", column = 0;
  }
  if (column) out += "\n";
  return out;
}

// --- The message fixtures -------------------------------------------------------

const std::string kPhoto = AllBytes();

std::string PhotoMessage(const std::string& name = "PHOTO.JPG") {
  return "From: ann@example.com\n"
         "Subject: photo\n"
         "MIME-Version: 1.0\n"
         "Content-Type: multipart/mixed; boundary=\"XX\"\n"
         "\n"
         "Preamble\n"
         "--XX\n"
         "Content-Type: text/plain\n"
         "\n"
         "Hello\n"
         "--XX\n"
         "Content-Type: image/jpeg; name=\"" + name + "\"\n"
         "Content-Transfer-Encoding: base64\n"
         "\n" + Base64(kPhoto) +
         "\n"
         "--XX--\n"
         "Epilogue\n";
}

const char kPhotoText[] =
    "From: ann@example.com\n"
    "Subject: photo\n"
    "MIME-Version: 1.0\n"
    "Content-Type: multipart/mixed; boundary=\"XX\"\n"
    "\n"
    "Preamble\n"
    "=============================== Part 1 ===============================\n"
    "Content-Type: text/plain\n"
    "\n"
    "Hello\n"
    "=============================== Part 2 ===============================\n"
    "\n"
    "[[ photo.jpg ]]\n"
    "\n"
    "============================== Epilogue ==============================\n"
    "\n"
    "Epilogue\n";

std::string UuMessage(const std::string& name, const std::string& lines) {
  return "Subject: uu\n\nBefore\nbegin 644 " + name + "\n" + lines + "end\nAfter\n";
}

std::string YencMessage(const std::string& begin, const std::string& lines, const std::string& end) {
  return "Subject: yenc\n\nBefore\n" + begin + "\n" + lines + end + "\nAfter\n";
}

const std::string kYencData = "yEnc test data, 33 bytes long...";  // 32 bytes

class UnpostTest : public ::testing::Test {
 protected:
  RunResult Run(const std::vector<std::string>& args, const std::string& input = "") {
    RunOptions options;
    options.input = input;
    return RunProgram(std::string(WEFT_BIN_DIR) + "/unpost", args, options);
  }
  void ExpectRun(const RunResult& result, int exitCode, const std::string& out,
                 const std::string& err = "") {
    EXPECT_EQ(result.exitCode, exitCode);
    EXPECT_EQ(result.out, out);
    EXPECT_EQ(result.err, err);
  }
  TempDrive drive;
};

// --- Command line ----------------------------------------------------------------

const char kUsage[] =
    "UNPOST, Mail Message Decoder, Version 1.10\n"
    "Decodes MIME mail messages and saves all named binary attachments as files.\n"
    "This utility decodes three types of encoded binary attachments:  MIME base64,\n"
    "uuencoded data in text messages, and yEncoded data in text messages.\n"
    "For each message decoded, a text file is saved with the content of the mail\n"
    "message minus the decoded data.  The text file will have the same base file\n"
    "name as the first attachment, but with a \".txt\" extension.\n"
    "This program does not handle attachments that span multiple mail messages.\n"
    "\n"
    "UNPOST [/A] [/D] [/G] [/I | /K] [/L] [/M] [/N:name] [/S] [/V] [/Y]\n"
    "       filename [filename [filename [...]]]\n"
    "\n"
    "  /A        Preserve MIME headers of attachments in text output file.\n"
    "  /D        Delete the source file if the exit status is 0 (see below).\n"
    "  /G        Enable debug messages.\n"
    "  /I        Ignore decode errors.  If a corrupt attachment is encountered, it\n"
    "            is saved and the encoded data is removed from the text output file.\n"
    "  /K        Keep bad attachments.  If a corrupt attachment is encountered, it\n"
    "            is saved and the encoded data is kept in the text output file.\n"
    "  /L        Lax filter.  Allow uuencoded/yEncoded lines that are too long.\n"
    "  /M        Preserve MIME format in text output file (enables /A implicitly).\n"
    "  /N:name   Default file name for unnamed embedded MIME binaries.  A two digit\n"
    "            number is appended to the base name if the file already exists.\n"
    "  /S        Strict filter.  Valid uuencoded lines must be a multiple of 4.\n"
    "  /V        Verbose mode.  Displays any discarded lines of encoded data.\n"
    "  /Y        Overwrite existing files without prompting.\n"
    "  filename  Name of an MIME formatted mail message file (may have wildcards).\n"
    "\n"
    "Switches may be combined, for example:  UNPOST /D /I /L ==> UNPOST /DIL.\n"
    "\n"
    "Exit status:\n"
    "  0   There was at least one attachment, and no errors occurred.\n"
    "  1   There were no attachments -- nothing was written.\n"
    "  2   One or more attachments could not be decoded or written.\n"
    "  3   Error accessing source or destination message file.\n";

TEST_F(UnpostTest, UsageWithoutArgumentsOrWithAHelpLetter) {
  drive.Write("m.msg", PhotoMessage());
  ExpectRun(Run({}), 0, kUsage);
  ExpectRun(Run({"m.msg", "/h"}), 0, kUsage);
  ExpectRun(Run({"/?", "/x", "m.msg"}), 0, kUsage);
  EXPECT_EQ(drive.Files(), Files{"m.msg"});
}

TEST_F(UnpostTest, InvalidSwitchEndsTheRunBeforeAnyFile) {
  drive.Write("m.msg", PhotoMessage());
  ExpectRun(Run({"m.msg", "/dx"}), 1, "", "Invalid switch - /x\n");
  ExpectRun(Run({"/?X"}), 1, "", "Invalid switch - /X\n");
  ExpectRun(Run({"\"open"}), 1, "", "Unmatched \"\n");
  EXPECT_EQ(drive.Files(), Files{"m.msg"});
}

TEST_F(UnpostTest, OnlySwitchesProcessNothing) { ExpectRun(Run({"/Y", "/N:x.bin"}), 0, ""); }

TEST_F(UnpostTest, MissingFileEndsTheRun) {
  drive.Write("b.msg", PhotoMessage());
  ExpectRun(Run({"none.msg", "b.msg"}), 3, "", "File not found - none.msg\n");
  ExpectRun(Run({"*.eml"}), 3, "", "File not found - *.eml\n");
  EXPECT_EQ(drive.Files(), Files{"b.msg"});
}

// --- base64 ---------------------------------------------------------------------

TEST_F(UnpostTest, SavesABase64PartAndTheText) {
  drive.Write("m.msg", PhotoMessage());
  ExpectRun(Run({"m.msg"}), 0, "m.msg ==> photo.txt, photo.jpg [base64]\n");
  EXPECT_EQ(drive.Files(), (Files{"m.msg", "photo.jpg", "photo.txt"}));
  EXPECT_EQ(drive.Read("photo.jpg"), kPhoto);
  EXPECT_EQ(drive.Read("photo.txt"), kPhotoText);
}

TEST_F(UnpostTest, CarriageReturnsAreRemoved) {
  std::string message = PhotoMessage("Photo.JPG");
  std::string crlf;
  for (char c : message) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  drive.Write("m.msg", crlf);
  ExpectRun(Run({"m.msg"}), 0, "m.msg ==> Photo.txt, Photo.JPG [base64]\n");
  EXPECT_EQ(drive.Read("Photo.JPG"), kPhoto);
}

TEST_F(UnpostTest, HeadersAndMimeFormInTheText) {
  drive.Write("m.msg", PhotoMessage());
  ExpectRun(Run({"/A", "m.msg"}), 0, "m.msg ==> photo.txt, photo.jpg [base64]\n");
  std::string headers = std::string(kPhotoText);
  headers.replace(headers.find("\n[[ photo.jpg"), 1,
                  "Content-Type: image/jpeg; name=\"PHOTO.JPG\"\nContent-Transfer-Encoding: base64\n\n");
  EXPECT_EQ(drive.Read("photo.txt"), headers);

  ExpectRun(Run({"/MY", "m.msg"}), 0, "m.msg ==> photo.txt, photo.jpg [base64]\n");
  // The MIME form is the message with the encoded data replaced.
  std::string mimeForm = PhotoMessage();
  mimeForm.replace(mimeForm.find(Base64(kPhoto)), Base64(kPhoto).size(), "[[ photo.jpg ]]\n");
  EXPECT_EQ(drive.Read("photo.txt"), mimeForm);
}

TEST_F(UnpostTest, DebugLinesForEachPart) {
  drive.Write("m.msg", "Content-Type: application/octet-stream; name=a.bin\n"
                       "Content-Transfer-Encoding: base64\n\nQUJD\n");
  ExpectRun(Run({"/g", "m.msg"}), 0,
            "***** Content Type:               application/octet-stream\n"
            "***** Boundary String:            (none)\n"
            "***** Content Transfer Encoding:  base64\n"
            "***** File Name:                  a.bin\n"
            "m.msg ==> a.txt, a.bin [base64]\n");
  EXPECT_EQ(drive.Read("a.bin"), "ABC");
  EXPECT_EQ(drive.Read("a.txt"), "\n[[ a.bin ]]\n\n");
}

const char kUnnamed[] =
    "Content-Type: application/octet-stream\n"
    "Content-Transfer-Encoding: base64\n"
    "\n"
    "QUJD\n";

TEST_F(UnpostTest, UnnamedBase64NeedsADefaultName) {
  drive.Write("m.msg", kUnnamed);
  ExpectRun(Run({"m.msg"}), 1, "m.msg ==! no binary attachments were saved\n");
  EXPECT_EQ(drive.Files(), Files{"m.msg"});

  ExpectRun(Run({"/N:part.bin", "m.msg"}), 0, "m.msg ==> part.txt, part.bin [base64]\n");
  EXPECT_EQ(drive.Read("part.bin"), "ABC");
  ExpectRun(Run({"/Y", "/Npart.bin", "m.msg"}), 0, "m.msg ==> part02.txt, part02.bin [base64]\n");
  EXPECT_EQ(drive.Read("part02.bin"), "ABC");
}

TEST_F(UnpostTest, DamagedBase64) {
  drive.Write("m.msg", "Content-Type: application/octet-stream; name=a.bin\n"
                       "Content-Transfer-Encoding: base64\n\nQUJDQUJD\nQU!D\nQUJD\n");
  ExpectRun(Run({"m.msg"}), 2, "m.msg ==! decode error or disk write error\n");
  EXPECT_EQ(drive.Files(), Files{"m.msg"});
  ExpectRun(Run({"/K", "m.msg"}), 2,
            "m.msg ==! decode error or disk write error\n"
            "m.msg ==> a.bin [base64]\n");
  EXPECT_EQ(drive.Read("a.bin"), "ABCABCA@\x03");
  ExpectRun(Run({"/IY", "m.msg"}), 0, "m.msg ==> a.txt, a.bin [base64]\n");
}

// --- uuencode -------------------------------------------------------------------

TEST_F(UnpostTest, SavesAUuencodedBlock) {
  drive.Write("m.msg", UuMessage("Data.Bin", Uuencode(kPhoto)));
  ExpectRun(Run({"m.msg"}), 0, "m.msg ==> Data.txt, Data.Bin [uu]\n");
  EXPECT_EQ(drive.Read("Data.Bin"), kPhoto);
  EXPECT_EQ(drive.Read("Data.txt"), "Subject: uu\n\nBefore\nbegin 644 Data.Bin\n[[ Data.Bin ]]\nAfter\n");
}

TEST_F(UnpostTest, UuBlockWhoseFirstLineIsNotUuIsText) {
  std::string message = UuMessage("a.bin", "this is not uu\n");
  drive.Write("m.msg", message);
  ExpectRun(Run({"m.msg"}), 1, "m.msg ==! no binary attachments were saved\n");
  EXPECT_EQ(drive.Files(), Files{"m.msg"});
}

TEST_F(UnpostTest, DamagedUuBlock) {
  std::string lines = Uuencode(kPhoto);
  lines.insert(lines.find('\n') + 1, "M@@@\n");
  drive.Write("m.msg", UuMessage("a.bin", lines));
  ExpectRun(Run({"/V", "m.msg"}), 2, "Discarded:  M@@@\nm.msg ==! decode error or disk write error\n");
  EXPECT_EQ(drive.Files(), Files{"m.msg"});
  ExpectRun(Run({"/I", "m.msg"}), 0, "m.msg ==> a.txt, a.bin [uu]\n");
  EXPECT_EQ(drive.Read("a.bin"), kPhoto);
}

// The first post of a file split over two: its uu block runs to the end of
// the message without its "end" line. The file is only part of the
// attachment: damaged, and handled by the switches as damage is.
TEST_F(UnpostTest, UuBlockWithoutItsEndLineIsDamaged) {
  std::string lines = Uuencode(kPhoto);
  const std::string firstPart = lines.substr(0, lines.size() / 2 / 62 * 62);
  const std::string post = "Subject: photo (1/2)\n\nbegin 644 a.bin\n" + firstPart;
  const std::string decoded = kPhoto.substr(0, firstPart.size() / 62 * 45);
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    const char* out;
    Files files;
  };
  const Case cases[] = {
      {{"m.msg"}, 2, "m.msg ==! decode error or disk write error\n", Files{"m.msg"}},
      {{"/V", "m.msg"}, 2, "m.msg ==! decode error or disk write error\n", Files{"m.msg"}},
      {{"/K", "m.msg"}, 2, "m.msg ==! decode error or disk write error\nm.msg ==> a.bin [uu]\n",
       Files{"a.bin", "m.msg"}},
      {{"/I", "m.msg"}, 0, "m.msg ==> a.txt, a.bin [uu]\n", Files{"a.bin", "a.txt", "m.msg"}},
  };
  for (const Case& c : cases) {
    for (const std::string& name : drive.Files()) ASSERT_TRUE(DeleteFile(drive.Win(name).c_str()));
    drive.Write("m.msg", post);
    ExpectRun(Run(c.args), c.exitCode, c.out);
    EXPECT_EQ(drive.Files(), c.files) << c.args[0];
    if (drive.Exists("a.bin")) EXPECT_EQ(drive.Read("a.bin"), decoded) << c.args[0];
  }
  // Inside a MIME part the block ends with the part.
  drive.Write("m.msg",
              "MIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=\"XX\"\n\n--XX\n"
              "Content-Type: text/plain\n\nbegin 644 b.bin\n" + firstPart + "--XX--\n");
  ExpectRun(Run({"m.msg"}), 2, "m.msg ==! decode error or disk write error\n");
  EXPECT_FALSE(drive.Exists("b.bin"));
}

TEST_F(UnpostTest, StrictAndLaxUuLines) {
  // Lines that drop the padding of their last group.
  drive.Write("m.msg", UuMessage("a.bin", "#0V%T\n!00\n`\n"));
  ExpectRun(Run({"m.msg"}), 0, "m.msg ==> a.txt, a.bin [uu]\n");
  EXPECT_EQ(drive.Read("a.bin"), "CatA");
  ExpectRun(Run({"/SKY", "m.msg"}), 2,
            "m.msg ==! decode error or disk write error\nm.msg ==> a.bin [uu]\n");
  EXPECT_EQ(drive.Read("a.bin"), "Cat");
  // A line with a surplus group.
  drive.Write("m.msg", UuMessage("b.bin", "#0V%T!!!!\n`\n"));
  ExpectRun(Run({"m.msg"}), 1, "m.msg ==! no binary attachments were saved\n");
  ExpectRun(Run({"/L", "m.msg"}), 0, "m.msg ==> b.txt, b.bin [uu]\n");
  EXPECT_EQ(drive.Read("b.bin"), "Cat");
}

// --- yEnc -----------------------------------------------------------------------

TEST_F(UnpostTest, SavesAYencBlock) {
  std::string data = kPhoto;
  drive.Write("m.msg", YencMessage("=ybegin line=64 size=512 name=Photo.bin", YencLines(data, 64),
                                   "=yend size=512 crc32=1c613576"));
  RunResult result = Run({"m.msg"});
  ExpectRun(result, 0, "m.msg ==> Photo.txt, Photo.bin [yEnc]\n");
  EXPECT_EQ(drive.Read("Photo.bin"), data);
  EXPECT_EQ(drive.Read("Photo.txt"),
            "Subject: yenc\n\nBefore\n=ybegin line=64 size=512 name=Photo.bin\n[[ Photo.bin ]]\nAfter\n");
}

TEST_F(UnpostTest, YencDataErrors) {
  // Two short lines.
  drive.Write("m.msg", YencMessage("=ybegin line=8 size=32 name=y.bin",
                                   YencLines(kYencData.substr(0, 4), 8) + YencLines(kYencData.substr(4), 8),
                                   "=yend size=32"));
  ExpectRun(Run({"m.msg"}), 2,
            "Error:  Data error(s) in attachment \"y.bin\":\n"
            "         1.  There were 2 short lines (< 8 characters).\n"
            "m.msg ==! decode error or disk write error\n");
  EXPECT_EQ(drive.Files(), Files{"m.msg"});

  // Sizes that disagree: kept with /I (status 0) and with /K (status 2).
  drive.Write("m.msg", YencMessage("=ybegin line=8 size=30 name=y.bin", YencLines(kYencData, 8), "=yend size=31"));
  const std::string sizeErrors =
      "Error:  Data error(s) in attachment \"y.bin\":\n"
      "         1.  \"=yend\" size (31) doesn't match \"=ybegin\" size (30).\n"
      "         2.  Actual size (32) doesn't match specified size (30).\n";
  ExpectRun(Run({"/I", "m.msg"}), 0, sizeErrors + "m.msg ==> y.txt, y.bin [yEnc]\n");
  EXPECT_EQ(drive.Read("y.bin"), kYencData);
  EXPECT_EQ(drive.Read("y.txt"), "Subject: yenc\n\nBefore\n=ybegin line=8 size=30 name=y.bin\n[[ y.bin ]]\nAfter\n");
  ExpectRun(Run({"/KY", "m.msg"}), 2,
            sizeErrors + "m.msg ==! decode error or disk write error\nm.msg ==> y.bin [yEnc]\n");
  EXPECT_EQ(drive.Read("y.bin"), kYencData);
}

TEST_F(UnpostTest, YencCrcMismatchIsDamage) {
  std::string lines = YencLines(kYencData, 64);
  lines[3] = static_cast<char>(lines[3] + 1);  // one byte changed, the size intact
  drive.Write("m.msg", YencMessage("=ybegin line=64 size=32 name=y.bin", lines, "=yend size=32 crc32=23b7df0b"));
  RunResult result = Run({"m.msg"});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_NE(result.out.find("doesn't match \"=yend\" crc32 (23b7df0b)."), std::string::npos) << result.out;
  EXPECT_EQ(drive.Files(), Files{"m.msg"});
}

TEST_F(UnpostTest, YencLongLines) {
  std::string lines = YencLines(kYencData.substr(0, 8), 8) + YencLines(kYencData.substr(8), 24);
  drive.Write("m.msg", YencMessage("=ybegin line=8 size=32 name=y.bin", lines, "=yend size=32"));
  ExpectRun(Run({"/V", "m.msg"}), 2,
            "Discarded:  " + lines.substr(9, 24) + "\n"
            "Error:  Data error(s) in attachment \"y.bin\":\n"
            "         1.  There was 1 long line (> 9 characters).\n"
            "m.msg ==! decode error or disk write error\n");
  // Lax: long lines are allowed and written.
  ExpectRun(Run({"/L", "m.msg"}), 0, "m.msg ==> y.txt, y.bin [yEnc]\n");
  EXPECT_EQ(drive.Read("y.bin"), kYencData);
  // A line length at the top of the number range makes no line long.
  drive.Write("m.msg", YencMessage("=ybegin line=9223372036854775807 size=32 name=z.bin", lines, "=yend size=32"));
  ExpectRun(Run({"/I", "m.msg"}), 0,
            "Error:  Data error(s) in attachment \"z.bin\":\n"
            "         1.  There were 2 short lines (< 9223372036854775807 characters).\n"
            "m.msg ==> z.txt, z.bin [yEnc]\n");
}

TEST_F(UnpostTest, MultiPartYencIsText) {
  drive.Write("m.msg", YencMessage("=ybegin part=1 line=64 size=32 name=y.bin", YencLines(kYencData, 64), "=yend"));
  ExpectRun(Run({"m.msg"}), 1, "m.msg ==! no binary attachments were saved\n");
}

// --- Several files, questions and the source ------------------------------------

TEST_F(UnpostTest, ExitStatusIsTheHighestOfAllFiles) {
  drive.Write("a.msg", PhotoMessage("a.jpg"));
  drive.Write("b.msg", "Subject: plain\n\ntext\n");
  drive.Write("c.msg", PhotoMessage("c.jpg"));
  ExpectRun(Run({"*.msg"}), 1,
            "a.msg ==> a.txt, a.jpg [base64]\n"
            "b.msg ==! no binary attachments were saved\n"
            "c.msg ==> c.txt, c.jpg [base64]\n");
}

TEST_F(UnpostTest, QuotedNameWithBlanks) {
  drive.Write("my mail.eml", PhotoMessage());
  ExpectRun(Run({"my mail.eml"}), 0, "my mail.eml ==> photo.txt, photo.jpg [base64]\n");
}

TEST_F(UnpostTest, TextOutputQuestion) {
  drive.Write("m.msg", PhotoMessage());
  drive.Write("photo.txt", "old");
  const std::string question = "File \"photo.txt\" already exists -- overwrite? (Y/N) ";
  ExpectRun(Run({"m.msg"}, "n"), 2, question + "No\n");
  EXPECT_EQ(drive.Files(), (Files{"m.msg", "photo.jpg", "photo.txt"}));
  EXPECT_EQ(drive.Read("photo.txt"), "old");
  // The attachment is asked for first; the end of the answers is No.
  ExpectRun(Run({"m.msg"}, "Y"), 2,
            "File \"photo.jpg\" already exists -- overwrite? (Y/N) Yes\n" + question + "No\n");
  ExpectRun(Run({"m.msg"}, "y\ny\n"), 0,
            "File \"photo.jpg\" already exists -- overwrite? (Y/N) Yes\n" + question +
                "Yes\nm.msg ==> photo.txt, photo.jpg [base64]\n");
  EXPECT_EQ(drive.Read("photo.txt"), kPhotoText);
}

TEST_F(UnpostTest, RefusedAttachmentStaysAsText) {
  drive.Write("m.msg", UuMessage("a.bin", Uuencode("abc")));
  drive.Write("a.bin", "old");
  ExpectRun(Run({"m.msg"}, "x"), 1,
            "File \"a.bin\" already exists -- overwrite? (Y/N) No\n"
            "m.msg ==! no binary attachments were saved\n");
  EXPECT_EQ(drive.Read("a.bin"), "old");
}

TEST_F(UnpostTest, DeleteSource) {
  drive.Write("m.msg", PhotoMessage());
  drive.Write("n.msg", "Subject: plain\n\ntext\n");
  ExpectRun(Run({"/D", "n.msg", "m.msg"}), 1,
            "n.msg ==! no binary attachments were saved\n"
            "m.msg (deleted) ==> photo.txt, photo.jpg [base64]\n");
  EXPECT_EQ(drive.Files(), (Files{"n.msg", "photo.jpg", "photo.txt"}));
}

TEST_F(UnpostTest, SourceThatBecameTheTextOutputIsNotDeleted) {
  drive.Write("photo.txt", PhotoMessage());
  ExpectRun(Run({"/DY", "photo.txt"}), 0, "photo.txt ==> photo.txt, photo.jpg [base64]\n");
  EXPECT_EQ(drive.Read("photo.txt"), kPhotoText);
}

TEST_F(UnpostTest, FilesThatCannotBeWritten) {
  drive.Write("m.msg", PhotoMessage());
  // An attachment that cannot be created stays as text and counts as not written.
  drive.MakeDir("photo.jpg");
  ExpectRun(Run({"/Y", "m.msg"}), 2,
            "Error:  Can't create attachment file \"photo.jpg\".\n"
            "m.msg ==! decode error or disk write error\n");
  ASSERT_TRUE(RemoveDir("photo.jpg"));
  // The text output's name taken by a folder.
  drive.MakeDir("photo.txt");
  ExpectRun(Run({"/Y", "m.msg"}), 3, "",
            "Error:  Can't rename file \"$unpost$.$$$\" to \"photo.txt\".\n");
  EXPECT_EQ(drive.Files(), (Files{"m.msg", "photo.jpg"}));
  // No temporary output: the run ends before the message is read.
  drive.MakeDir("$unpost$.$$$");
  ExpectRun(Run({"m.msg"}), 3, "", "Error:  Can't create file \"$unpost$.$$$\".\n");
}

TEST_F(UnpostTest, ResultLinesThatCannotBeWrittenAreAnError) {
  drive.Write("m.msg", PhotoMessage());
  RunResult result = RunProgramToFullDisk(std::string(WEFT_BIN_DIR) + "/unpost", {"m.msg"});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.err, "Error:  Can't write to output file.\n");
  // What was saved stays saved.
  EXPECT_EQ(drive.Files(), (Files{"m.msg", "photo.jpg", "photo.txt"}));
  EXPECT_EQ(drive.Read("photo.jpg"), kPhoto);
}

// --- Names from the message -------------------------------------------------------

TEST_F(UnpostTest, NamesNeverLeaveTheCurrentFolder) {
  drive.MakeDir("mail");
  drive.Write("mail/m.msg",
              "Content-Type: multipart/mixed; boundary=b\n\n"
              "--b\nContent-Type: image/gif; name=\"..\\..\\Evil.GIF\"\nContent-Transfer-Encoding: base64\n\nQUJD\n"
              "--b\nContent-Type: image/gif; name=\"..\"\nContent-Transfer-Encoding: base64\n\nQUJD\n"
              "--b\n\nbegin 644 ../up.bin\n" + Uuencode("abc") + "end\n"
              "=ybegin line=64 size=3 name=C:/x/../../y.bin\n" + YencLines("xyz", 64) + "=yend size=3\n"
              "--b--\n");
  drive.Chdir("mail");
  ExpectRun(Run({"m.msg"}), 0, "m.msg ==> Evil.txt, Evil.GIF [base64], up.bin [uu], y.bin [yEnc]\n");
  drive.Chdir("");
  EXPECT_EQ(drive.Files(), (Files{"mail/Evil.GIF", "mail/Evil.txt", "mail/m.msg", "mail/up.bin", "mail/y.bin"}));
  // The part named ".." names no file: it stays in the text.
  EXPECT_NE(drive.Read("mail/Evil.txt").find("name=\"..\"\nContent-Transfer-Encoding: base64\n\nQUJD\n"),
            std::string::npos);
}

// Mail programs write non-ASCII and long attachment names in the extended
// form of RFC 2231; Python's email library is one of them, so the message is
// made by it.
TEST_F(UnpostTest, NamesInTheExtendedFormOfPythonsEmailLibrary) {
  const char kScript[] =
      "from email.message import EmailMessage\n"
      "m = EmailMessage()\n"
      "m['From'] = 'ann@example.com'\n"
      "m['Subject'] = 'Photos'\n"
      "m.set_content('Two photos.\\n')\n"
      "m.add_attachment(bytes(range(256)), maintype='image', subtype='jpeg',\n"
      "                 filename='Gr\\u00fc\\u00dfe vom Strand.jpg')\n"
      "m.add_attachment(b'second' * 50, maintype='image', subtype='jpeg',\n"
      "                 filename='A rather long name for a photo of the harbour at dusk, taken from the pier.jpg')\n"
      "open('mail.eml', 'wb').write(m.as_bytes())\n";
  RunResult python = RunProgram("/usr/bin/python3", {"-c", kScript});
  ASSERT_EQ(python.exitCode, 0) << python.err;
  const std::string greetings = "Gr\xC3\xBC\xC3\x9F" "e vom Strand";
  const std::string longName = "A rather long name for a photo of the harbour at dusk, taken from the pier.jpg";
  ASSERT_NE(drive.Read("mail.eml").find("filename*=utf-8''Gr%C3%BC%C3%9Fe%20vom%20Strand.jpg"), std::string::npos);
  ASSERT_NE(drive.Read("mail.eml").find("filename*1*="), std::string::npos);

  ExpectRun(Run({"mail.eml"}), 0,
            "mail.eml ==> " + greetings + ".txt, " + greetings + ".jpg [base64], " + longName + " [base64]\n");
  EXPECT_EQ(drive.Files(), (Files{longName, greetings + ".jpg", greetings + ".txt", "mail.eml"}));
  std::string allBytes;
  for (int i = 0; i < 256; ++i) allBytes += static_cast<char>(i);
  EXPECT_EQ(drive.Read(greetings + ".jpg"), allBytes);
  EXPECT_EQ(drive.Read(longName).size(), 300u);
}

TEST_F(UnpostTest, SameNamesInOneMessageKeepEveryFile) {
  drive.Write("m.msg", "Content-Type: multipart/mixed; boundary=b\n\n"
                       "--b\nContent-Type: text/plain; name=notes.txt\nContent-Transfer-Encoding: base64\n\nQUJD\n"
                       "--b\nContent-Type: text/plain; name=NOTES.TXT\nContent-Transfer-Encoding: base64\n\nREVG\n"
                       "--b--\n");
  ExpectRun(Run({"/Y", "m.msg"}), 0,
            "m.msg ==> notes03.txt, notes.txt [base64], notes02.txt [base64]\n");
  EXPECT_EQ(drive.Read("notes.txt"), "ABC");
  EXPECT_EQ(drive.Read("notes02.txt"), "DEF");
  EXPECT_NE(drive.Read("notes03.txt").find("[[ notes02.txt ]]"), std::string::npos);
}

}  // namespace
