// The built program run as a user runs it, in a temporary drive C: with the
// site in C:\site and the icons directory C:\icons.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/testing/test_support.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "GALLERIA, Tessarin Index Builder, Version 2.10\n"
    "\n"
    "Builds an HTML index file.\n"
    "The build parameters are read from the standard configuration files.\n"
    "Read the Tessarin documentation for more information.\n"
    "\n"
    "GALLERIA [/D]\n"
    "\n"
    "  /D  Include directories without indexes\n";

constexpr const char* kInvalid = "Error:  Invalid configuration.\n";
constexpr const char* kSequenceDetail = "  \"index=sequence\" must be used with \"slides=window\"\n";
constexpr const char* kSearchableDetail =
    "  \"index=searchable\" must be used with \"slides=window\"\n";
constexpr const char* kCgiSlidesDetail =
    "  The \"slides=window\" configuration option must be used in CGI mode.\n";
constexpr const char* kCgiDbDetail =
    "  The \"indexDB\" configuration option must be used in CGI mode.\n";
constexpr const char* kStaticDbDetail =
    "  The \"indexDB\" configuration option can only be used in CGI mode.\n";
constexpr const char* kNoIndexDb = "Error:  Can't open index database file.\n";

constexpr const char* kOldPage = "<HTML><HEAD><TITLE>Old</TITLE></HEAD><BODY>old</BODY></HTML>\n";

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

class GalleriaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    drive.Write("icons/weft.ini", "");
    drive.Write("site/index.htm", kOldPage);
  }
  // Runs galleria (the built one, or a copy on the drive) in C:\site.
  RunResult Run(const std::vector<std::string>& args, const std::string& program = "galleria",
                std::map<std::string, std::string> env = {}) {
    RunOptions options;
    options.cwd = drive.Host("site");
    options.env = std::move(env);
    options.unset = {"WEFTLOG", "REQUEST_METHOD", "QUERY_STRING", "CONTENT_LENGTH"};
    return RunProgram(program, args, options);
  }
  // A copy of the program in a folder of the drive, where "weftcgi.ini" can
  // lie beside it; returns its host path.
  std::string CopyProgram(const std::string& folder) {
    drive.MakeDir(folder);
    std::string copy = drive.Host(folder + "/galleria");
    fs::copy_file(ProgramPath("galleria"), copy, fs::copy_options::overwrite_existing);
    return copy;
  }
  // The old page is untouched and no temporary file is left.
  void ExpectOldPageKept() {
    EXPECT_EQ(drive.Read("site/index.htm"), kOldPage);
    EXPECT_EQ(drive.Files("site"), std::vector<std::string>{"index.htm"});
  }

  TempDrive drive;
};

TEST_F(GalleriaTest, UnknownOptionPrintsTheUsageAndReadsNoConfiguration) {
  // The configuration would fail its checks: it is never read.
  drive.Write("icons/weft.ini", "index=sequence\n");
  for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
           {"/q"}, {"/f"}, {"-"}, {"/FZ"}, {"/D", "-Q", "/C"}, {"photos", "/?"}}) {
    RunResult r = Run(args);
    EXPECT_EQ(r.exitCode, 0) << args[0];
    EXPECT_EQ(r.out, kUsage) << args[0];
    EXPECT_EQ(r.err, "") << args[0];
  }
  ExpectOldPageKept();
}

TEST_F(GalleriaTest, ConfigurationChecksStopTheRun) {
  struct Case {
    const char* weftIni;
    std::vector<std::string> args;
    const char* detail;
  } const cases[] = {
      {"index=sequence\n", {}, kSequenceDetail},
      {"index=searchable\nslides=frameset\n", {}, kSearchableDetail},
      {"index=searchable\n", {"/R"}, kSearchableDetail},
      {"indexdb=index.db\n", {}, kStaticDbDetail},
      {"indexdb=index.db\njavascript=no\n", {"/O"}, kStaticDbDetail},
      // The options come first: the file's slides=simple wins over /O.
      {"slides=simple\nindex=sequence\n", {"/O"}, kSequenceDetail},
      // Ignored options and plain arguments change nothing.
      {"index=sequence\n", {"/g", "/p", "/s", "/t", "/x", "/y", "photos"}, kSequenceDetail},
  };
  for (const Case& c : cases) {
    drive.Write("icons/weft.ini", c.weftIni);
    RunResult r = Run(c.args);
    EXPECT_EQ(r.exitCode, 3) << c.weftIni;
    EXPECT_EQ(r.out, "") << c.weftIni;
    EXPECT_EQ(r.err, std::string(kInvalid) + c.detail) << c.weftIni;
    ExpectOldPageKept();
  }
}

TEST_F(GalleriaTest, FittingSettingsPassTheChecks) {
  struct Case {
    const char* weftIni;
    std::vector<std::string> args;
  } const cases[] = {
      {"index=sequence\n", {"/O"}},
      {"index=searchable\nslides=window\n", {}},
      // Without JavaScript the index is formatted before the checks.
      {"javascript=no\nindex=sequence\n", {}},
      {"", {"/D", "/I", "/C", "/W200", "/F2", "/J", "/Emov"}},
  };
  for (const Case& c : cases) {
    drive.Write("icons/weft.ini", c.weftIni);
    RunResult r = Run(c.args);
    EXPECT_EQ(r.out, "") << c.weftIni;
    EXPECT_EQ(r.err.find("Invalid configuration"), std::string::npos) << c.weftIni << r.err;
    EXPECT_FALSE(drive.Exists("site/index.new")) << c.weftIni;
  }
}

TEST_F(GalleriaTest, CgiModeByTheFileBesideTheProgram) {
  std::string program = CopyProgram("cgi-bin");
  // In CGI mode "weft.ini" is not read, even with the keys CGI mode needs.
  drive.Write("icons/weft.ini", "slides=window\nindexdb=index.db\n");
  struct Case {
    const char* weftcgiIni;
    const char* query;
    const char* detail;
  } const cases[] = {
      {"", nullptr, kCgiSlidesDetail},
      {"slides=window\n", nullptr, kCgiDbDetail},
      {"slides=window\n[gallery]\nindexdb=index.db\n", nullptr, kCgiDbDetail},
      {"slides=window\n[gallery]\nindexdb=index.db\n", "config=other", kCgiDbDetail},
      {"slides=window\nindexdb=index.db\n[gallery]\nslides=simple\n", "config=gallery",
       kCgiSlidesDetail},
      {"index=sequence\nslides=window\n", nullptr, kCgiDbDetail},
  };
  for (const Case& c : cases) {
    drive.Write("cgi-bin/weftcgi.ini", c.weftcgiIni);
    std::map<std::string, std::string> env;
    if (c.query) env = {{"REQUEST_METHOD", "GET"}, {"QUERY_STRING", c.query}};
    RunResult r = Run({}, program, env);
    EXPECT_EQ(r.exitCode, 3) << c.weftcgiIni;
    EXPECT_EQ(r.out, "") << c.weftcgiIni;
    EXPECT_EQ(r.err, std::string(kInvalid) + c.detail) << c.weftcgiIni;
    ExpectOldPageKept();
  }
}

TEST_F(GalleriaTest, CgiModeReadsTheRequestedSectionAndNeedsTheIndexDatabase) {
  std::string program = CopyProgram("cgi-bin");
  drive.Write("cgi-bin/weftcgi.ini",
              "slides=window\n[gallery]\nindexdb=photos.db\nworkingdir=C:\\site\n");
  std::map<std::string, std::string> env = {{"REQUEST_METHOD", "GET"},
                                            {"QUERY_STRING", "config=gallery&query=beach"}};
  RunResult r = Run({}, program, env);
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_EQ(r.err.find("Invalid configuration"), std::string::npos) << r.err;
  EXPECT_TRUE(EndsWith(r.err, kNoIndexDb)) << r.err;
  ExpectOldPageKept();
}

TEST_F(GalleriaTest, CgiFileIsLookedForBesideTheLinkThenBesideTheRealFile) {
  std::string program = CopyProgram("cgi-bin");
  drive.Write("cgi-bin/weftcgi.ini", "");
  drive.MakeDir("links");
  std::string link = drive.Host("links/galleria");
  fs::create_symlink(program, link);
  // Started through a link in a folder without one: the real file's.
  RunResult r = Run({}, link);
  EXPECT_EQ(r.err, std::string(kInvalid) + kCgiSlidesDetail);

  // A "weftcgi.ini" beside the link but not beside the program: CGI mode
  // from the link's, by every name the link is started by.
  std::string plain = CopyProgram("plain");
  drive.Write("plain-links/weftcgi.ini", "slides=window\n");
  fs::create_symlink(plain, drive.Host("plain-links/galleria"));
  drive.Write("icons/weft.ini", "index=sequence\n");
  for (const std::string& started :
       {drive.Host("plain-links/galleria"), std::string("../plain-links/galleria")}) {
    r = Run({}, started);
    EXPECT_EQ(r.err, std::string(kInvalid) + kCgiDbDetail) << started;
    ExpectOldPageKept();
  }
  // Started by a batch line, which names it as a Windows path.
  for (const char* line : {"C:\\plain-links\\galleria", "..\\PLAIN-LINKS\\galleria"}) {
    r = Run({"/C", line}, "weftcmd");
    EXPECT_EQ(r.err, std::string(kInvalid) + kCgiDbDetail) << line;
    ExpectOldPageKept();
  }
  // Started by its bare name, found on the PATH: no folder names the link
  // (the current one is not taken for it), the real file has no
  // "weftcgi.ini" beside it, so this is a static build.
  drive.Write("site/weftcgi.ini", "");
  r = Run({"/C", "galleria"}, "weftcmd", {{"PATH", drive.Host("plain-links")}});
  EXPECT_EQ(r.err, std::string(kInvalid) + kSequenceDetail);
}

}  // namespace
