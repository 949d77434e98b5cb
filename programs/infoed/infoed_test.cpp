// infoed as a user runs it, on pages in a folder mapped as drive C:.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/testing/test_support.h"
#include "programs/infoed/infoed.h"

namespace {

const char kHelp[] =
    "INFOED, HTML File Information Editor, Version 1.16.\n\n"
    "INFOED [/C] filename [/T:title | /D:description | /S:sortorder | /F:forwardURL |\n"
    "                     /K:keywordlist | /M:ops | /B:body]\n\n"
    "  filename           The name of the file to be modified.  If the file is not\n"
    "                     an HTML file, the corresponding HTML file will be changed.\n"
    "  /C                 Create file if it doesn't exist.\n"
    "  /T:title           Set title to \"title\".\n"
    "  /D:description     Set description to \"description\".\n"
    "  /S:sortorder       Set sort order to \"sortorder\".\n"
    "  /F:forwardURL      Set forward URL to \"forwardURL\".\n"
    "  /K:keywordlist     Set keyword list to \"keywordlist\" (comma seperated list).\n"
    "  /M:ops             Modify keyword list using \"ops\" (comma seperated list).\n"
    "  /B:body            Set body tag parameters to \"body\".  Use single quotes\n"
    "                     (') where double quotes (\") are needed in \"body\" text.\n\n"
    "Special operators may be used as in INFOEDW.EXE with the following\n"
    "restrictions (imposed by the command line interpreter, COMMAND.COM):\n"
    "1.  Text containing <, >, or | must appear in quotes.\n"
    "    Example:  INFOED index.htm /D:\"> appended text\"\n"
    "2.  Each occurence of % must be doubled (%%).\n"
    "    Example:  INFOED index.htm /T:%%FILENAME%%\n\n"
    "If no options are given, mode will be interactive.\n";

const char kPage[] =
    "<HTML>\n<HEAD>\n<!-- made by hand -->\n<TITLE>Old &amp; gold</TITLE>\n"
    "<META NAME=\"DESCRIPTION\" CONTENT=\"Sea view\">\n"
    "<META NAME=\"KEYWORDS\" CONTENT=\"sunset, sea\">\n"
    "<META NAME=\"SORTORDER\" CONTENT=\"12\">\n"
    "<SCRIPT>if (a<b) document.write(\"<TITLE>\");</SCRIPT>\n"
    "</HEAD>\n<BODY BGCOLOR=white>\n<P>Text</P>\n</BODY>\n</HTML>\n";

// kPage with one piece replaced.
std::string Changed(const std::string& from, const std::string& to) {
  std::string page = kPage;
  page.replace(page.find(from), from.size(), to);
  return page;
}

class InfoedTest : public ::testing::Test {
 protected:
  RunResult Run(const std::vector<std::string>& args, const std::string& input = "") {
    RunOptions options;
    options.input = input;
    return RunProgram(std::string(WEFT_BIN_DIR) + "/infoed", args, options);
  }
  std::string Stamp(const std::string& relative) {
    struct stat st;
    if (stat(drive.Host(relative).c_str(), &st) != 0) return "missing";
    return std::to_string(st.st_ino) + ":" + std::to_string(st.st_mtim.tv_sec) + ":" +
           std::to_string(st.st_mtim.tv_nsec);
  }
  // Runs a command that must change page.htm, with its one report line.
  void ExpectChange(const std::vector<std::string>& args, const std::string& report,
                    const std::string& page) {
    drive.Write("page.htm", kPage);
    RunResult r = Run(args);
    EXPECT_EQ(0, r.exitCode) << args.back();
    EXPECT_EQ(report, r.out) << args.back();
    EXPECT_EQ("", r.err) << args.back();
    EXPECT_EQ(page, drive.Read("page.htm")) << args.back();
  }
  // Runs a command that must change nothing.
  void ExpectNoChange(const std::vector<std::string>& args) {
    drive.Write("page.htm", kPage);
    std::string before = Stamp("page.htm");
    RunResult r = Run(args);
    EXPECT_EQ(0, r.exitCode) << args.back();
    EXPECT_EQ("No changes were made.\n", r.out) << args.back();
    EXPECT_EQ("", r.err) << args.back();
    EXPECT_EQ(before, Stamp("page.htm")) << args.back();
    EXPECT_EQ(kPage, drive.Read("page.htm"));
  }
  TempDrive drive;
};

TEST(InfoedCommandLine, JoinArguments) {
  char a0[] = "infoed", a1[] = "p.htm", a2[] = "/D:+", a3[] = "more", a4[] = "text";
  char* argv[] = {a0, a1, a2, a3, a4};
  EXPECT_STREQ("+ more text", JoinArguments("+", 5, argv, 3));
  EXPECT_STREQ("more text", JoinArguments("", 5, argv, 3));
  EXPECT_STREQ("", JoinArguments("", 5, argv, 5));
  std::string longText(1500, 'x');
  EXPECT_EQ(1510u, JoinArguments(longText.c_str(), 5, argv, 3).Length());
}

// A value too long for its field, typed or given, is refused with the
// field's limit; the page stays as it was.
TEST_F(InfoedTest, ValuesTooLongAreRefused) {
  struct Case {
    std::vector<std::string> args;
    std::string input;
    const char* error;
  } cases[] = {
      {{"page.htm", "/K:" + std::string(1100, 'k')}, "",
       "Error:  The keywords are too long for file \"page.htm\" (at most 1023 characters).\n"},
      {{"page.htm", "/K:" + std::string(990, 'k'), "a&b,", "c&d,", "e&f,", "g&h,", "i&j"}, "",
       "Error:  The keywords are too long for file \"page.htm\" (at most 1023 characters in HTML).\n"},
      {{"page.htm", "/T:" + std::string(200, 't'), std::string(100, 'u')}, "",
       "Error:  The title is too long for file \"page.htm\" (at most 255 characters).\n"},
      {{"page.htm"}, "\n" + std::string(600, 'd') + "\n\n\n",
       "Error:  The description is too long for file \"page.htm\" (at most 511 characters).\n"},
  };
  for (const Case& c : cases) {
    drive.Write("page.htm", kPage);
    RunResult r = Run(c.args, c.input);
    EXPECT_EQ(1, r.exitCode) << c.error;
    EXPECT_NE(std::string::npos, r.err.find(c.error)) << r.err;
    EXPECT_EQ(kPage, drive.Read("page.htm")) << c.error;
    EXPECT_EQ(std::vector<std::string>{"page.htm"}, drive.Files());
  }
}

TEST_F(InfoedTest, Help) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, {"/?"}, {"/X", "page.htm"}, {"/C"}, {"-c"}}) {
    RunResult r = Run(args);
    EXPECT_EQ(0, r.exitCode);
    EXPECT_EQ(kHelp, r.out);
    EXPECT_EQ("", r.err);
  }
}

TEST_F(InfoedTest, EachOptionChangesItsField) {
  ExpectChange({"page.htm", "/T:New  title"}, "page.htm:  Title = \"New  title\".\n",
               Changed("Old &amp; gold", "New title"));
  ExpectChange({"page.htm", "/t", "Joined", "&", "more"}, "page.htm:  Title = \"Joined & more\".\n",
               Changed("Old &amp; gold", "Joined &amp; more"));
  ExpectChange({"page.htm", "/T:<Photo: "}, "page.htm:  Title = \"Photo: Old & gold\".\n",
               Changed("Old &amp; gold", "Photo: Old &amp; gold"));
  ExpectChange({"page.htm", "/D:+", "more", "text"},
               "page.htm:  Description = \"Sea view more text\".\n",
               Changed("Sea view", "Sea view more text"));
  ExpectChange({"page.htm", "-D?sea=Lake"}, "page.htm:  Description = \"Lake view\".\n",
               Changed("Sea view", "Lake view"));
  ExpectChange({"page.htm", "/S:7", "ignored"}, "page.htm:  Sort Order = \"7\".\n",
               Changed("\"12\"", "\"7\""));
  // /S takes its own argument only: here the empty value removes the element.
  ExpectChange({"page.htm", "/S", "12"}, "page.htm:  Sort Order = \"\".\n",
               Changed("<META NAME=\"SORTORDER\" CONTENT=\"12\">\n", ""));
  ExpectChange({"page.htm", "/F:../next.htm"}, "page.htm:  Forward URL = \"../next.htm\".\n",
               Changed("<SCRIPT>", "<META NAME=\"FORWARD\" CONTENT=\"../next.htm\">\n<SCRIPT>"));
  ExpectChange({"page.htm", "/K:dunes,", "sky"}, "page.htm:  Keywords = \"dunes, sky\".\n",
               Changed("sunset, sea", "dunes, sky"));
  ExpectChange({"page.htm", "/M:+dunes,-sea"}, "page.htm:  Keywords = \"sunset, dunes\".\n",
               Changed("sunset, sea", "sunset, dunes"));
  ExpectChange({"page.htm", "/B:bgcolor='black'", "text=red"},
               "page.htm:  Body = \"bgcolor=\"black\" text=red\".\n",
               Changed("<BODY BGCOLOR=white>", "<BODY bgcolor=\"black\" text=red>"));
}

TEST_F(InfoedTest, OptionsThatChangeNothing) {
  ExpectNoChange({"page.htm", "/M:+Sunset"});
  ExpectNoChange({"page.htm", "/B:BGCOLOR=white"});
  // The body text repeated: the second run changes nothing.
  drive.Write("page.htm", kPage);
  EXPECT_EQ(0, Run({"page.htm", "/B:bgcolor='white'"}).exitCode);
  std::string written = drive.Read("page.htm");
  EXPECT_EQ(Changed("<BODY BGCOLOR=white>", "<BODY bgcolor=\"white\">"), written);
  std::string before = Stamp("page.htm");
  RunResult r = Run({"page.htm", "/B:bgcolor='white'"});
  EXPECT_EQ("No changes were made.\n", r.out);
  EXPECT_EQ(before, Stamp("page.htm"));

  // Body text beyond the 511 characters a page keeps is refused, never cut:
  // the page stays as it was.
  std::string longBody = "/B:onLoad='" + std::string(600, 'x') + "'";
  r = Run({"page.htm", longBody});
  EXPECT_EQ(1, r.exitCode);
  EXPECT_EQ("", r.out);
  EXPECT_EQ("Error:  The BODY attributes are too long for file \"page.htm\" (at most 511 characters).\n",
            r.err);
  EXPECT_EQ(before, Stamp("page.htm"));
}

TEST_F(InfoedTest, ImagePagesAndTheFileNameMacro) {
  drive.Write("photo.htm", "<HEAD>\n</HEAD>\n<BODY>\n</BODY>\n");
  RunResult r = Run({"photo.jpg", "/T:%FILENAME%"});
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ("photo.htm:  Title = \"photo.htm\".\n", r.out);
  EXPECT_EQ("<HEAD>\n<TITLE>photo.htm</TITLE>\n</HEAD>\n<BODY>\n</BODY>\n", drive.Read("photo.htm"));

  drive.Write("sub/IMG_7.HTM", "<HEAD>\n</HEAD>\n<BODY>\n</BODY>\n");
  r = Run({"C:/sub/IMG_7.JPG", "/D:Shot %FILENAME%"});
  EXPECT_EQ("C:/sub/IMG_7.HTM:  Description = \"Shot img_7.htm\".\n", r.out);
  EXPECT_EQ("<HEAD>\n<META NAME=\"DESCRIPTION\" CONTENT=\"Shot img_7.htm\">\n</HEAD>\n<BODY>\n</BODY>\n",
            drive.Read("sub/IMG_7.HTM"));

  // Only the base name's extension is replaced.
  drive.Write("my.pics/notes.htm", "<HEAD>\n</HEAD>\n<BODY>\n</BODY>\n");
  r = Run({"my.pics\\notes", "/S:3"});
  EXPECT_EQ("my.pics\\notes.htm:  Sort Order = \"3\".\n", r.out);
  EXPECT_FALSE(drive.Exists("my.htm"));
}

TEST_F(InfoedTest, CreateMode) {
  RunResult r = Run({"/C", "new.htm", "/T:New"});
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ("new.htm:  Title = \"New\".\n", r.out);
  EXPECT_EQ("<HEAD>\n<TITLE>New</TITLE>\n</HEAD>\n<BODY>\n</BODY>\n", drive.Read("new.htm"));

  r = Run({"other.htm", "/T:New"});
  EXPECT_EQ(1, r.exitCode);
  EXPECT_EQ("", r.out);
  EXPECT_EQ("Error:  Can't open file \"other.htm\".\n", r.err);

  // A page that exists but cannot be read is not replaced by a skeleton.
  drive.MakeDir("dir.htm");
  r = Run({"-c", "dir.htm", "/T:New"});
  EXPECT_EQ(1, r.exitCode);
  EXPECT_EQ("Error:  Can't open file \"dir.htm\".\n", r.err);
  EXPECT_EQ((std::vector<std::string>{"new.htm"}), drive.Files());
}

TEST_F(InfoedTest, BadOptionsTouchNothing) {
  struct Case {
    std::vector<std::string> args;
    const char* err;
  } cases[] = {
      {{"page.htm", "x"}, "Error:  command-line option \"x\" is invalid.\n"},
      {{"page.htm", "/Q:x"}, "Error:  command-line option \"/Q:x\" is invalid.\n"},
      {{"page.htm", "/"}, "Error:  command-line option \"/\" is invalid.\n"},
      {{"page.htm", "/C"}, "Error:  command-line option \"/C\" must appear before the file name.\n"},
      {{"/C", "new.htm", "/X"}, "Error:  command-line option \"/X\" is invalid.\n"},
      // A condition with text left over would stop or pass the operations silently.
      {{"page.htm", "/M:?sea),=shore"}, "Error:  expression syntax error.\n            ?sea)\n"},
      {{"page.htm", "-m", "+a,", "!\"_x\"", "y"},
       "Error:  expression syntax error.\n            !\"_x\" y\n"},
      {{"/C", "new.htm", "/M:!#x"}, "Error:  expression syntax error.\n            !#x\n"},
  };
  drive.Write("page.htm", kPage);
  std::string before = Stamp("page.htm");
  for (const Case& c : cases) {
    RunResult r = Run(c.args);
    EXPECT_EQ(1, r.exitCode) << c.err;
    EXPECT_EQ("", r.out);
    EXPECT_EQ(c.err, r.err);
  }
  EXPECT_EQ(before, Stamp("page.htm"));
  EXPECT_EQ(std::vector<std::string>{"page.htm"}, drive.Files());
}

TEST_F(InfoedTest, FailedWritesReportNoChange) {
  drive.Write("bare.htm", "<P>No head\n");
  RunResult r = Run({"bare.htm", "/D:New"});
  EXPECT_EQ(1, r.exitCode);
  EXPECT_EQ("", r.out);
  EXPECT_EQ("Error:  Bad header format in file \"bare.htm\".\n", r.err);
  EXPECT_EQ("<P>No head\n", drive.Read("bare.htm"));

  drive.Write("page.htm", kPage);
  chmod(drive.Host("page.htm").c_str(), 0444);
  r = Run({"page.htm", "/T:New"});
  EXPECT_EQ(1, r.exitCode);
  EXPECT_EQ("", r.out);
  EXPECT_EQ("Error:  Can't replace file \"page.htm\".\n", r.err);
  EXPECT_EQ(kPage, drive.Read("page.htm"));
  EXPECT_EQ((std::vector<std::string>{"bare.htm", "page.htm"}), drive.Files());
  chmod(drive.Host("page.htm").c_str(), 0644);
}

TEST_F(InfoedTest, Interactive) {
  drive.Write("page.htm", kPage);
  RunResult r = Run({"page.htm"}, "A   new title\r\n\n7\n");  // ends before the last answer
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ(
      "Title:        Old & gold\n"
      "Description:  Sea view\n"
      "Sort Order:   12\n"
      "Forward URL:  \n\n"
      "Press Enter for no change.\n"
      "New Title:  New Description:  New Sort Order:  New Forward URL:  \n"
      "Title:        A new title\n"
      "Description:  Sea view\n"
      "Sort Order:   7\n"
      "Forward URL:  \n\n"
      "Changes have been saved.\n",
      r.out);
  EXPECT_EQ("", r.err);
  std::string expected = Changed("Old &amp; gold", "A new title");
  expected.replace(expected.find("\"12\""), 4, "\"7\"");
  EXPECT_EQ(expected, drive.Read("page.htm"));

  // Enter on every prompt changes nothing; typed text is taken as it is,
  // without edit strings.
  drive.Write("page.htm", kPage);
  std::string before = Stamp("page.htm");
  r = Run({"page.htm"}, "\n\n\n\n");
  EXPECT_EQ(0, r.exitCode);
  EXPECT_NE(std::string::npos, r.out.find("\nNo changes were made.\n"));
  EXPECT_EQ(before, Stamp("page.htm"));
  r = Run({"page.htm"}, "-*\n");
  EXPECT_NE(std::string::npos, r.out.find("\nTitle:        -*\n"));
}

}  // namespace

namespace {

// Pages as they come on a Linux site: through a symbolic link, with a
// second name (hard link), with entities the editor does not decode, with
// CR LF line ends, and a UTF-16 page it cannot edit.
TEST_F(InfoedTest, PagesAreEditedWhereTheyAreAndAsTheyAre) {
  drive.Write("real/page.htm", kPage);
  drive.Link("site/page.htm", "../real/page.htm");
  ASSERT_EQ(0, Run({"C:\\site\\page.htm", "/T:Linked"}).exitCode);
  EXPECT_EQ(Changed("Old &amp; gold", "Linked"), drive.Read("real/page.htm"));
  EXPECT_EQ(std::vector<std::string>{"page.htm"}, drive.Files("site"));
  struct stat st;
  ASSERT_EQ(0, lstat(drive.Host("site/page.htm").c_str(), &st));
  EXPECT_TRUE(S_ISLNK(st.st_mode));

  drive.Write("page.htm", kPage);
  ASSERT_EQ(0, link(drive.Host("page.htm").c_str(), drive.Host("other.htm").c_str()));
  ASSERT_EQ(0, Run({"page.htm", "/D:Both names"}).exitCode);
  EXPECT_EQ(Changed("Sea view", "Both names"), drive.Read("other.htm"));
  EXPECT_EQ(Stamp("page.htm").substr(0, Stamp("page.htm").find(':')),
            Stamp("other.htm").substr(0, Stamp("other.htm").find(':')));

  const std::string accents =
      "<HTML>\r\n<HEAD>\r\n<TITLE>Caf&eacute; &copy;</TITLE>\r\n"
      "<META NAME=\"DESCRIPTION\" CONTENT=\"Cr&#232;me&nbsp;br&#xFB;l&#233;e\">\r\n"
      "</HEAD>\r\n<BODY>\r\n</BODY>\r\n</HTML>\r\n";
  drive.Write("accents.htm", accents);
  RunResult r = Run({"accents.htm", "/T:+ (2)"});
  EXPECT_EQ(0, r.exitCode) << r.err;
  std::string expected = accents;
  expected.replace(expected.find("&copy;"), 6, "&copy; (2)");
  EXPECT_EQ(expected, drive.Read("accents.htm"));
  r = Run({"accents.htm", "/K:sea"});
  EXPECT_EQ(0, r.exitCode) << r.err;
  expected.replace(expected.find("</HEAD>"), 0, "<META NAME=\"KEYWORDS\" CONTENT=\"sea\">\r\n");
  EXPECT_EQ(expected, drive.Read("accents.htm"));

  std::string utf16 = "\xFF\xFE";
  for (char c : std::string("<HTML><HEAD><TITLE>T</TITLE></HEAD></HTML>")) utf16 += std::string{c, '\0'};
  drive.Write("wide.htm", utf16);
  r = Run({"wide.htm", "/T:New"});
  EXPECT_EQ(1, r.exitCode);
  EXPECT_EQ("Error:  Can't edit file \"wide.htm\" (it holds NUL bytes).\n", r.err);
  EXPECT_EQ(utf16, drive.Read("wide.htm"));
}

}  // namespace
