// The URL galleria's CGI pages link back to when the configuration names
// none: the name the program was started by, with ".cgi" when it has no
// extension, so that a web server runs it instead of sending its file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/testing/test_support.h"

namespace {

namespace fs = std::filesystem;

TEST(CgiUrlProgramTest, DefaultIsTheProgramsNameAsACgiProgram) {
  struct Case {
    const char* file;
    const char* url;
  } cases[] = {
      {"galleria", "galleria.cgi"},
      {"search.cgi", "search.cgi"},
      {"GALLERIA.EXE", "GALLERIA.EXE"},
  };
  for (const Case& c : cases) {
    TempDrive drive;
    drive.MakeDir("cgi-bin");
    std::string program = drive.Host(std::string("cgi-bin/") + c.file);
    fs::copy_file(ProgramPath("galleria"), program);
    drive.Write("cgi-bin/weftcgi.ini", "slides=window\nindexdb=index.db\nworkingdir=C:\\site\n");
    for (const char* name : {"slides.htm", "search.htm", "controls.htm", "index.js"}) {
      drive.Write(std::string("site/icons/") + name, "");
    }
    drive.Write("site/index.db",
                "A\tC:\\site\\a.htm\t\t\t\t\t50\t0\t0001\n"
                "B\tC:\\site\\b.htm\t\t\t\t\t50\t0\t0001\n");
    RunOptions options;
    options.cwd = drive.Host("cgi-bin");
    options.env = {{"REQUEST_METHOD", "GET"}, {"QUERY_STRING", "count=1"}};
    options.unset = {"WEFTLOG", "CONTENT_LENGTH"};
    RunResult run = RunProgram(program, {}, options);
    EXPECT_EQ(run.exitCode, 0) << c.file << run.err;
    std::string link = std::string("<A HREF=\"") + c.url + "?";
    EXPECT_NE(run.out.find(link), std::string::npos) << c.file << "\n" << run.out;
  }
}

}  // namespace
