// localweb as a user runs it: a site on drive C:, the server on a loopback
// port, pages fetched over TCP, then the server stopped by a signal.
#include <gtest/gtest.h>

#include <string>

#include "platform/testing/server_support.h"
#include "platform/testing/test_support.h"
#include "programs/localweb/testing/http_answers.h"

namespace {

class LocalwebServer : public ::testing::Test {
 protected:
  void SetUp() override {
    drive.Write("photos/index.htm", "<p>photos</p>\n");
    drive.Write("a b.gif", std::string("GIF89a\0\1\2", 9));
    drive.Write("empty.txt", "");
    drive.Write("notes.zzq", "odd type");
    drive.Write("www/page.htm", "in www");
    drive.Write("private.txt", "secret");
    drive.Write("cgi/idx.cgi", "not run");
    drive.Write("site.cfg", "Map /site/ /www/\n");
    std::string big;
    for (int i = 0; i < 3000; ++i) big += static_cast<char>('a' + i % 26);
    drive.Write("big.txt", big);
    port = FreeLoopbackPort();
    options.cwd = drive.Host();
    options.env["WEFTREGISTRY"] = drive.Host("registry.txt");
  }

  RunResult RunServer(const std::vector<std::string>& requests, std::vector<std::string>* answers,
                      std::vector<std::string> args = {}) {
    args.push_back("/P:" + std::to_string(port));
    args.push_back("/C:site.cfg");
    ServerProcess server("localweb", args, options);
    for (const std::string& request : requests) answers->push_back(WithoutDate(Fetch(port, request)));
    return server.Stop();
  }

  TempDrive drive;
  int port = 0;
  RunOptions options;
};

TEST_F(LocalwebServer, StaticFilesAndErrors) {
  std::vector<std::string> answers;
  RunResult run = RunServer(
      {
          "GET /photos/ HTTP/1.0\r\n\r\n",
          "get /a%20b.gif HTTP/1.0\r\n\r\n",
          "GET /missing.htm HTTP/1.0\r\n\r\n",
          "GET /empty.txt HTTP/1.0\r\n\r\n",
          "GET /notes.zzq HTTP/1.0\r\n\r\n",
          "GET /photos/index.htm\r\n",
          "GET /missing.htm\r\n",
          "GET /site/page.htm?x=1 HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n",
          "GET /big.txt HTTP/1.0\r\n\r\n",
      },
      &answers, {"/B:1"});
  ASSERT_EQ(answers.size(), 9u);
  EXPECT_EQ(answers[0], Header("200 OK", "text/html", 14) + "<p>photos</p>\n");
  EXPECT_EQ(answers[1], Header("200 OK", "image/gif", 9) + std::string("GIF89a\0\1\2", 9));
  std::string notFound = ErrorPage("Error 404", "Not Found");
  EXPECT_EQ(answers[2], Header("404 Not Found", "text/html", notFound.size()) + notFound);
  std::string empty = ErrorPage("Error 204", "No Content");
  EXPECT_EQ(answers[3], Header("204 No Content", "text/html", empty.size()) + empty);
  EXPECT_EQ(answers[4], Header("200 OK", nullptr, 8) + "odd type");
  EXPECT_EQ(answers[5], "<p>photos</p>\n");
  EXPECT_EQ(answers[6], notFound);
  EXPECT_EQ(answers[7], Header("200 OK", "text/html", 6) + "in www");
  EXPECT_EQ(answers[8], Header("200 OK", "text/plain", 3000) + drive.Read("big.txt"));
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, "Local mode enabled.\nServer terminated by user.\n");
  EXPECT_EQ(run.err, "");
}

TEST_F(LocalwebServer, UnsafeAndUnsupportedRequests) {
  std::vector<std::string> answers;
  std::string longLine = "GET /" + std::string(400, 'a') + " HTTP/1.0\r\n\r\n";
  RunResult run = RunServer(
      {
          "HEAD / HTTP/1.0\r\n\r\n",
          "GET /site/../private.txt HTTP/1.0\r\n\r\n",
          "GET /%2e%2e/private.txt HTTP/1.0\r\n\r\n",
          "GET /c:/private.txt HTTP/1.0\r\n\r\n",
          longLine,
          "GET /cgi/idx.cgi?a=1 HTTP/1.0\r\n\r\n",
      },
      &answers);
  ASSERT_EQ(answers.size(), 6u);
  EXPECT_EQ(answers[0], "");
  std::string forbidden = ErrorPage("Error 403", "Forbidden");
  for (int i = 1; i <= 3; ++i) {
    EXPECT_EQ(answers[i], Header("403 Forbidden", "text/html", forbidden.size()) + forbidden) << i;
  }
  // A request line longer than its buffer is dropped without an answer.
  EXPECT_EQ(answers[4], "");
  // A ".cgi" name whose program does not exist.
  std::string cgi = ErrorPage("Error 400", "Bad Request", "Bad CGI path \"\\cgi\\idx\".");
  EXPECT_EQ(answers[5], Header("400 Bad Request", "text/html", cgi.size()) + cgi);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out,
            "Local mode enabled.\nUnsupported Request:  HEAD / HTTP/1.0\nServer terminated by user.\n");
}

// A CGI program that does not exist is answered with 400 and its path as
// the URL and the rules make it, drive and all only where a rule wrote one.
TEST_F(LocalwebServer, BadCGIPathNamesTheMappedPath) {
  drive.Write("site.cfg", "Pass /cgi-bin/ C:/scripts/\n");
  std::vector<std::string> answers;
  RunServer({"GET /cgi/nothere.exe HTTP/1.0\r\n\r\n", "GET /cgi-bin/nothere.cgi?x=1 HTTP/1.0\r\n\r\n",
             "GET /cgi/nothere.exe\r\n"},
            &answers);
  const std::string page =
      "<HTML>\r\n<HEAD>\r\n<TITLE>Error</TITLE>\r\n</HEAD>\r\n<BODY>\r\n<H1>Error 400</H1>\r\n"
      "Bad Request\r\n<P>\r\nBad CGI path \"\\cgi\\nothere.exe\".</BODY>\r\n</HTML>\r\n";
  ASSERT_EQ(answers.size(), 3u);
  EXPECT_EQ(answers[0],
            "HTTP/1.0 400 Bad Request\r\nServer: SERVER/1.0\r\nDate: *\r\nContent-Type: text/html\r\n"
            "Content-Length: 143\r\n\r\n" + page);
  EXPECT_EQ(answers[1],
            "HTTP/1.0 400 Bad Request\r\nServer: SERVER/1.0\r\nDate: *\r\nContent-Type: text/html\r\n"
            "Content-Length: 145\r\n\r\n<HTML>\r\n<HEAD>\r\n<TITLE>Error</TITLE>\r\n</HEAD>\r\n<BODY>\r\n"
            "<H1>Error 400</H1>\r\nBad Request\r\n<P>\r\nBad CGI path \"C:\\scripts\\nothere\".</BODY>\r\n"
            "</HTML>\r\n");
  EXPECT_EQ(answers[2], page);
}

TEST_F(LocalwebServer, DebugMessagesAndInterrupt) {
  std::vector<std::string> answers;
  ServerProcess server("localweb", {"/D", "/G", "-p" + std::to_string(port)}, options);
  answers.push_back(WithoutDate(Fetch(port, "GET /www/page.htm\r\n")));
  RunResult run = server.Stop(2);
  EXPECT_EQ(answers[0], "in www");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out,
            "Starting up Windows Sockets...\nOpening listening socket...\nBinding local address...\n"
            "Entering listening state...\nWaiting for new connection...\n"
            "Connection establised.  Starting new thread...\nWaiting for new connection...\n"
            "Server terminated by user.\nClosing listening socket...\nCleaning up Windows Sockets...\n");
}

TEST_F(LocalwebServer, RunsCGIScriptsWithTheirQuery) {
  drive.Write("cgi/echo.bat",
              "@echo off\r\necho Content-type: text/plain\r\necho.\r\n"
              "echo %REQUEST_METHOD% \"%QUERY_STRING%\"\r\n"
              "if exist here.txt echo in script folder\r\n");
  drive.Write("cgi/here.txt", "");
  drive.Write("cgi/fail.bat", "@echo off\r\necho Content-type: text/plain\r\nexit /b 3\r\n");
  drive.Write("my cgi/x.bat", "@echo off\r\necho ran> ran.txt\r\n");
  drive.MakeDir("tmp");
  options.env["TEMP"] = drive.Win("tmp");
  options.env["QUERY_STRING"] = "from the server";
  std::vector<std::string> answers;
  RunResult run = RunServer(
      {
          "GET /cgi/echo.cgi?page=2 HTTP/1.0\r\n\r\n",
          "GET /cgi/ECHO.BAT?a=1&b=|x>out.txt%25%PATH%&c=%QUERY_STRING% HTTP/1.0\r\n\r\n",
          "GET /cgi/echo.bat HTTP/1.0\r\n\r\n",
          "GET /cgi/echo.cgi?x=1\r\n",
          "GET /cgi/fail.bat HTTP/1.0\r\n\r\n",
          "GET /my%20cgi/x.bat HTTP/1.0\r\n\r\n",
      },
      &answers);
  ASSERT_EQ(answers.size(), 6u);
  const std::string head = "Content-type: text/plain\n\n";
  EXPECT_EQ(answers[0], CGIAnswer(head, "GET \"page=2\"\nin script folder\n"));
  // The query reaches the script as it came, still encoded, and nothing in it
  // is read as a command, a redirection or a variable of the server.
  EXPECT_EQ(answers[1],
            CGIAnswer(head, "GET \"a=1&b=|x>out.txt%25%PATH%&c=%QUERY_STRING%\"\nin script folder\n"));
  EXPECT_EQ(answers[2], CGIAnswer(head, "GET \"\"\nin script folder\n"));
  EXPECT_EQ(answers[3], head + "GET \"x=1\"\nin script folder\n");
  std::string failed = ErrorPage("Error 500", "Internal Server Error", "Can't execute CGI script.");
  EXPECT_EQ(answers[4], Header("500 Internal Server Error", "text/html", failed.size()) + failed);
  std::string illegal = ErrorPage("Error 400", "Bad Request",
                                  "CGI path \"\\my cgi\\x.bat\" contains illegal characters.");
  EXPECT_EQ(answers[5], Header("400 Bad Request", "text/html", illegal.size()) + illegal);
  EXPECT_FALSE(drive.Exists("my cgi/ran.txt"));
  EXPECT_FALSE(drive.Exists("cgi/out.txt"));
  EXPECT_FALSE(drive.Exists("out.txt"));
  // Every response file is gone again.
  EXPECT_EQ(drive.Files("tmp"), std::vector<std::string>{});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err, "");
}

// A site on the host's root folder "/" would give every local account and
// every page that reaches this machine the whole disk: as the drive map a
// new user has (WEFTDRIVES unset), as another drive, or as a rule's target.
TEST_F(LocalwebServer, RefusesToServeTheHostRoot) {
  const std::string serveAll =
      " is the host's root folder \"/\": localweb would serve every file of this machine.\n";
  const std::string site = drive.Host("photos");
  const std::string mapItInstead =
      "        Map a drive to the site's folder and start localweb in that folder, for example:\n"
      "            WEFTDRIVES=\"";
  auto ruleError = [](const std::string& rule) {
    return "Error:  The rule \"" + rule +
           "\" leads to the host's root folder \"/\": localweb would serve every file of this machine.\n"
           "        Let the rule lead to a folder of the site instead.\n";
  };
  drive.Write("photos/all.cfg", "Map /all/ D:/\n");
  drive.Write("photos/drive.cfg", "Pass /cgi-bin/ d:\n");
  drive.Write("photos/etc.cfg", "Map /etc/ D:/etc/..\\tmp/../\n");
  struct Case {
    const char* label;
    const char* drives;  // null: WEFTDRIVES unset; "@": the test's drive as C:, "/" as D:
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {"the default map", nullptr, {},
       "Error:  Drive C:" + serveAll + mapItInstead + "C=/;P=" + site + "\" localweb\n"},
      {"another drive", "C=/;P=/mnt", {},
       "Error:  Drive C:" + serveAll + mapItInstead + "C=/;P=/mnt;D=" + site + "\" localweb\n"},
      {"a rule to a root", "@", {"/C:all.cfg"}, ruleError("Map \\all\\ D:\\")},
      {"a rule to a drive", "@", {"/C:drive.cfg"}, ruleError("Pass \\cgi-bin\\ d:")},
      {"a rule climbing to a root", "@", {"/C:etc.cfg"}, ruleError("Map \\etc\\ D:\\etc\\..\\tmp\\..\\")},
  };
  for (const Case& c : cases) {
    RunOptions run = options;
    run.cwd = site;
    run.timeoutSeconds = 20;
    if (!c.drives) run.unset.push_back("WEFTDRIVES");
    else if (std::string(c.drives) == "@") run.env["WEFTDRIVES"] = "C=" + drive.Host() + ";D=/";
    else run.env["WEFTDRIVES"] = c.drives;
    std::vector<std::string> args = c.args;
    args.push_back("/P:" + std::to_string(port));
    RunResult result = RunProgram("localweb", args, run);
    EXPECT_EQ(result.exitCode, 1) << c.label;
    EXPECT_EQ(result.out, "") << c.label;
    EXPECT_EQ(result.err, c.err) << c.label;
  }
}

TEST_F(LocalwebServer, PortInUseAndUsage) {
  ServerProcess first("localweb", {"/P:" + std::to_string(port)}, options);
  EXPECT_EQ(Fetch(port, "GET /www/page.htm\r\n"), "in www");
  RunResult second = RunProgram("localweb", {"/P:" + std::to_string(port)}, options);
  EXPECT_EQ(second.exitCode, 1);
  EXPECT_EQ(second.out, "Local mode enabled.\n");
  EXPECT_EQ(second.err, "Error:  Can't bind local address.\n        Port " + std::to_string(port) +
                            ": Address already in use.\n");
  EXPECT_EQ(first.Stop().exitCode, 0);

  RunResult usage = RunProgram("localweb", {"/?", "/P:1"}, options);
  EXPECT_EQ(usage.exitCode, 0);
  const std::string start =
      "LOCALWEB, Simple CGI Web Server, Version 1.05\n\nLOCALWEB [/B:size] [/C:file] [/D] [/G] "
      "[/P:port]\n\n  /B:size  Sets";
  EXPECT_EQ(usage.out.substr(0, start.size()), start);
  EXPECT_NE(usage.out.find("\n  QUERY_STRING=data\n\n"), std::string::npos);
}

}  // namespace
