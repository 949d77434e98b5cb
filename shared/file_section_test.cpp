#include "shared/file_section.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/files.h"
#include "platform/testing/test_support.h"

namespace {

const char kPage[] =
    "<HTML>\n"
    "<!-- BEGIN HEADING -->\n<H1>Old</H1>\n<!-- END HEADING -->\n"
    "<P>rest</P>\n"
    "<!-- BEGIN TEXT -->\nno end marker follows\n";

// Everything written to a scratch output, read back.
class Output {
 public:
  Output() : file_(tmpfile()) {}
  ~Output() { fclose(file_); }
  FILE* File() const { return file_; }
  std::string Text() const {
    std::string text;
    rewind(file_);
    for (int ch; (ch = getc(file_)) != EOF;) text += static_cast<char>(ch);
    return text;
  }

 private:
  FILE* file_;
};

struct CopyCase {
  const char* start;
  const char* end;
  const char* trailer;
  bool found;
  const char* copied;
};

TEST(FileSection, CopiesMarkedSections) {
  const CopyCase cases[] = {
      {"<!-- BEGIN HEADING -->", "<!-- END HEADING -->", "\n", true,
       "<!-- BEGIN HEADING -->\n<H1>Old</H1>\n<!-- END HEADING -->\n"},
      {"<!-- BEGIN HEADING -->", "<!-- END HEADING -->", nullptr, true,
       "<!-- BEGIN HEADING -->\n<H1>Old</H1>\n<!-- END HEADING -->"},
      // Without its end marker a section runs to the end of the page.
      {"<!-- BEGIN TEXT -->", "<!-- END TEXT -->", "\n", true,
       "<!-- BEGIN TEXT -->\nno end marker follows\n\n"},
      {"<!-- BEGIN HEADING -->", "", "|", true, "<!-- BEGIN HEADING -->|"},
      {"<P>", "</P>", nullptr, true, "<P>rest</P>"},
      // Markers match byte for byte, letter case included.
      {"<!-- begin heading -->", "<!-- END HEADING -->", "\n", false, ""},
      {"<!-- BEGIN NAV -->", "<!-- END NAV -->", "\n", false, ""},
  };
  TempDrive drive;
  drive.Write("index.htm", kPage);
  for (const CopyCase& c : cases) {
    FileSection section("index.htm");
    Output output;
    EXPECT_EQ(section.CopySection(output.File(), c.start, c.end, c.trailer), c.found) << c.start;
    EXPECT_EQ(output.Text(), c.copied) << c.start;
    EXPECT_FALSE(section.Error());
  }
}

// A mismatch restarts the match with the next character, so a marker that
// begins inside a partial match of itself is missed.
TEST(FileSection, SimpleMarkerMatch) {
  struct {
    const char* text;
    const char* marker;
    bool found;
  } cases[] = {
      {"xaabx", "aab", true}, {"aaab", "aab", false}, {"aaabaab", "aab", true},
      {"ab", "aab", false},   {"", "a", false},       {"x", "", true},
  };
  TempDrive drive;
  for (const auto& c : cases) {
    drive.Write("page.htm", c.text);
    FileSection section("page.htm");
    EXPECT_EQ(section.FindSection(c.marker, false), c.found) << c.text << " " << c.marker;
  }
  // The end marker follows the same rule: the copy runs on to the next "aab".
  drive.Write("page.htm", "[aaab aab] tail");
  FileSection section("page.htm");
  Output output;
  EXPECT_TRUE(section.CopySection(output.File(), "[", "aab", nullptr));
  EXPECT_EQ(output.Text(), "[aaab aab");
}

// A marker far into a long page, at and around the edges of the blocks a
// search reads, and the copy that goes on just past it; CR LF pages too.
TEST(FileSection, FindsAMarkerFarIntoALongPage) {
  TempDrive drive;
  for (size_t filler : {size_t{0}, size_t{65535 - 3}, size_t{65536 - 22}, size_t{65536}, size_t{200001}}) {
    for (const char* lineEnd : {"\n", "\r\n"}) {
      std::string page = std::string(filler, 'x') + "<!-- BEGIN HEADING -->" + lineEnd + "<H1>Far</H1>" +
                         lineEnd + "<!-- END HEADING -->" + lineEnd + "tail";
      drive.Write("index.htm", page);
      FileSection section("index.htm");
      Output output;
      std::string label = std::to_string(filler) + (lineEnd[0] == '\r' ? " CR LF" : " LF");
      EXPECT_TRUE(section.CopySection(output.File(), "<!-- BEGIN HEADING -->", "<!-- END HEADING -->",
                                      nullptr))
          << label;
      EXPECT_EQ(output.Text(), "<!-- BEGIN HEADING -->\n<H1>Far</H1>\n<!-- END HEADING -->") << label;
      EXPECT_FALSE(section.FindSection("<!-- BEGIN NAV -->", false)) << label;
    }
  }
}

TEST(FileSection, MissingFileFindsNothing) {
  TempDrive drive;
  FileSection section("index.htm");
  Output output;
  EXPECT_FALSE(section.FindSection("<P>", false));
  EXPECT_FALSE(section.CopySection(output.File(), "<P>", "</P>", "\n"));
  EXPECT_EQ(output.Text(), "");
}

TEST(FileSection, TextModeDropsCarriageReturns) {
  TempDrive drive;
  drive.Write("index.htm", "a\r\n<!--B-->\r\nx\r\n<!--E-->\r\n");
  FileSection section(drive.Win("index.htm").c_str());
  Output output;
  EXPECT_TRUE(section.CopySection(output.File(), "<!--B-->", "<!--E-->", nullptr));
  EXPECT_EQ(output.Text(), "<!--B-->\nx\n<!--E-->");
}

// The marker found last is remembered: asked again without reuse it answers
// at once and leaves the stream alone; with reuse it seeks back.
TEST(FileSection, RemembersTheLastMarker) {
  TempDrive drive;
  drive.Write("index.htm", kPage);
  FILE* stream = OpenFile("index.htm", "r");
  ASSERT_NE(stream, nullptr);
  {
    FileSection section(stream);
    ASSERT_TRUE(section.FindSection("<P>", false));
    long after = ftell(stream);
    EXPECT_EQ(getc(stream), 'r');
    EXPECT_TRUE(section.FindSection("<P>", false));
    EXPECT_EQ(ftell(stream), after + 1);
    EXPECT_TRUE(section.FindSection("<P>", true));
    EXPECT_EQ(ftell(stream), after);
    // A new marker rewinds, also to one before the last.
    EXPECT_TRUE(section.FindSection("<HTML>", false));
    EXPECT_EQ(ftell(stream), 6);
    EXPECT_FALSE(section.FindSection("<NONE>", false));
    EXPECT_FALSE(section.FindSection("<NONE>", false));
    // The same section copies twice.
    Output first, second;
    EXPECT_TRUE(section.CopySection(first.File(), "<P>", "</P>", nullptr));
    EXPECT_TRUE(section.CopySection(second.File(), "<P>", "</P>", nullptr));
    EXPECT_EQ(first.Text(), "<P>rest</P>");
    EXPECT_EQ(second.Text(), "<P>rest</P>");
  }
  // The section did not own the stream: it is still open.
  EXPECT_EQ(fseek(stream, 0, SEEK_SET), 0);
  EXPECT_EQ(getc(stream), '<');
  fclose(stream);
}

TEST(FileSection, WriteFailuresAreCollected) {
  TempDrive drive;
  drive.Write("index.htm", kPage);
  drive.Write("readonly.htm", "");
  FILE* input = OpenFile("index.htm", "r");
  FILE* unwritable = OpenFile("readonly.htm", "r");
  ASSERT_NE(input, nullptr);
  ASSERT_NE(unwritable, nullptr);
  FileSection section(input);
  EXPECT_TRUE(section.CopySection(unwritable, "<P>", "</P>", "\n"));
  EXPECT_TRUE(section.Error());

  bool flag = false;
  Output output;
  EXPECT_TRUE(CopySectionFrom(&flag, input, output.File(), "<P>", "</P>", "\n"));
  EXPECT_FALSE(flag);
  EXPECT_EQ(output.Text(), "<P>rest</P>\n");
  EXPECT_TRUE(CopySectionFrom(&flag, input, unwritable, "<P>", "</P>", "\n"));
  EXPECT_TRUE(flag);
  EXPECT_FALSE(CopySectionFrom(&flag, input, output.File(), "<NONE>", "</P>", "\n"));
  EXPECT_TRUE(flag);  // a flag once set stays set
  fclose(unwritable);
  fclose(input);
}

TEST(FileSectionDeathTest, NullMarker) {
  FileSection section(static_cast<FILE*>(nullptr));
  EXPECT_EXIT(section.FindSection(nullptr, false), testing::ExitedWithCode(3),
              "Assertion failed: start, file");
}

}  // namespace
