// CGI programs run by the live server on a loopback port, as a user's
// browser would ask for them: where the output goes, its exact length, which
// programs may run, what a request can and cannot make a batch file do, and
// slow, hanging and flooding programs.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "platform/testing/server_support.h"
#include "platform/testing/test_support.h"
#include "programs/localweb/testing/http_answers.h"

namespace {

// The site in C:\site with its CGI folder, a program outside it in
// C:\outside, and the server started in C:\site.
class LocalwebCGI : public ::testing::Test {
 protected:
  void SetUp() override {
    drive.Write("site/index.htm", "<p>home</p>\n");
    drive.Write("site/page.htm", "<p>page</p>\n");
    drive.MakeDir("site/cgi");
    drive.MakeDir("scripts");
    port = FreeLoopbackPort();
    options.cwd = drive.Host("site");
    options.env["WEFTREGISTRY"] = drive.Host("registry.txt");
  }

  void WriteProgram(const std::string& relative, const std::string& text) {
    drive.Write(relative, text);
    chmod(drive.Host(relative).c_str(), 0755);
  }

  void StartServer(const std::string& config = "") {
    drive.Write("site/localweb.cfg", config);
    server = std::make_unique<ServerProcess>(
        "localweb", std::vector<std::string>{"/P:" + std::to_string(port), "/C:localweb.cfg"},
        options);
  }

  std::string Get(const std::string& url) {
    return WithoutDate(Fetch(port, "GET " + url + " HTTP/1.0\r\n\r\n"));
  }

  // Files whose names begin with "CGI" and end in ".tmp" anywhere on the drive.
  std::vector<std::string> ResponseFiles() {
    std::vector<std::string> found;
    for (const std::string& file : drive.Files()) {
      std::string name = file.substr(file.rfind('/') + 1);
      if (name.rfind("CGI", 0) == 0 && name.size() > 4 && name.substr(name.size() - 4) == ".tmp") {
        found.push_back(file);
      }
    }
    return found;
  }

  TempDrive drive;
  int port = 0;
  RunOptions options;
  std::unique_ptr<ServerProcess> server;
};

const char kTextHead[] = "Content-type: text/plain\n\n";
// A program that notes each run in the file MARKS names.
const std::string kMarkingProgram =
    "#!/bin/sh\necho ran >>\"$MARKS\"\nprintf 'Content-type: text/plain\\n\\nran\\n'\n";

// With neither TEMP nor TMP set (as on most Linux machines), the output goes
// to the host's temporary folder and is answered; nothing is left behind.
TEST_F(LocalwebCGI, RunsWithoutTempVariables) {
  drive.Write("site/cgi/hello.bat", "@echo off\r\necho Content-type: text/plain\r\necho.\r\necho hello\r\n");
  WriteProgram("site/cgi/direct", "#!/bin/sh\nprintf 'Content-type: text/plain\\n\\ndirect\\n'\n");
  options.unset = {"TEMP", "TMP"};
  StartServer();
  EXPECT_EQ(Get("/site/cgi/hello.bat"), CGIAnswer(kTextHead, "hello\n"));
  EXPECT_EQ(Get("/site/cgi/direct.cgi?a=1"), CGIAnswer(kTextHead, "direct\n"));
  RunResult run = server->Stop();
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(ResponseFiles(), std::vector<std::string>{});
}

// The length counts the body after the program's header lines, whatever
// line ends they use; output without a blank line, or none, is no answer.
TEST_F(LocalwebCGI, ContentLengthCountsTheBodyOnly) {
  WriteProgram("site/cgi/crlf",
               "#!/bin/sh\nprintf 'Content-type: text/html\\r\\nX-Note: a b\\r\\n\\r\\n<p>\\0body</p>\\r\\n'\n");
  WriteProgram("site/cgi/nohead", "#!/bin/sh\nprintf 'just text\\n'\n");
  WriteProgram("site/cgi/silent", "#!/bin/sh\nexit 0\n");
  drive.MakeDir("tmp");
  options.env["TEMP"] = drive.Win("tmp");
  StartServer();
  EXPECT_EQ(Get("/site/cgi/crlf.cgi"), CGIAnswer("Content-type: text/html\r\nX-Note: a b\r\n\r\n",
                                            std::string("<p>\0body</p>\r\n", 14)));
  EXPECT_EQ(Get("/site/cgi/nohead.cgi"), ErrorAnswer("500 Internal Server Error", "Error 500",
                                                "Internal Server Error",
                                                "CGI script output has no header."));
  EXPECT_EQ(Get("/site/cgi/silent.cgi"), ErrorAnswer("204 No Content", "Error 204", "No Content"));
  EXPECT_EQ(server->Stop().err, "");
  EXPECT_EQ(drive.Files("tmp"), std::vector<std::string>{});
}

// A program's long output arrives whole after its own header lines, also
// with the smallest buffer size.
TEST_F(LocalwebCGI, LongOutputArrivesWholeWhateverTheBufferSize) {
  WriteProgram("site/cgi/long", "#!/bin/sh\nprintf 'Content-type: text/plain\\n\\n'\n"
                                "i=0; while [ $i -lt 500 ]; do printf 'line %04d\\n' $i; i=$((i+1)); done\n");
  std::string body;
  char line[16];
  for (int i = 0; i < 500; ++i) body += (snprintf(line, sizeof line, "line %04d\n", i), line);
  StartServer("BufferSize 1\n");
  EXPECT_EQ(Get("/site/cgi/long.cgi"), CGIAnswer("Content-type: text/plain\n\n", body));
  EXPECT_EQ(server->Stop().err, "");
}

// Only programs in the folder the server was started in, or in a Pass
// rule's target folder, run; nothing else on the drive ever does.
TEST_F(LocalwebCGI, RunsOnlyProgramsInsideTheSite) {
  WriteProgram("outside/tool", kMarkingProgram);
  WriteProgram("outside/tool.exe", kMarkingProgram);
  WriteProgram("outside/tool.bat", kMarkingProgram);
  WriteProgram("site/cgi/tool", kMarkingProgram);
  WriteProgram("scripts/idx", kMarkingProgram);
  WriteProgram("site2/tool", kMarkingProgram);
  options.env["MARKS"] = drive.Host("marks.txt");
  StartServer("Pass /cgi-bin/ C:/scripts/\nMap /other/ /outside/\n");
  std::string forbidden = ErrorAnswer("403 Forbidden", "Error 403", "Forbidden");
  for (const char* url : {"/outside/tool.cgi", "/outside/tool.exe", "/outside/tool.bat",
                          "/other/tool.cgi", "/site2/tool.cgi", "/site/../outside/tool.cgi",
                          "/c:/outside/tool.cgi", "/%2e%2e/outside/tool.cgi"}) {
    EXPECT_EQ(Get(url), forbidden) << url;
  }
  EXPECT_EQ(drive.Read("marks.txt"), "");
  EXPECT_EQ(Get("/site/cgi/tool.cgi"), CGIAnswer(kTextHead, "ran\n"));
  EXPECT_EQ(Get("/cgi-bin/idx.cgi?x=1"), CGIAnswer(kTextHead, "ran\n"));
  EXPECT_EQ(drive.Read("marks.txt"), "ran\nran\n");
  EXPECT_EQ(Get("/site/cgi/missing.cgi"), ErrorAnswer("400 Bad Request", "Error 400", "Bad Request",
                                                 "Bad CGI path \"\\site\\cgi\\missing\"."));
  EXPECT_EQ(server->Stop().err, "");
}

// A ".cgi" request runs the program of that name without extension only
// where the name has none itself: files copied from a camera card or a FAT
// disk are often all executable, and any web page can ask for them. Names
// that begin with '.' (".git", ".env") are never served or run.
TEST_F(LocalwebCGI, OnlyProgramsRunAndDotNamesArePrivate) {
  WriteProgram("site/notes.txt", kMarkingProgram);
  WriteProgram("site/cgi/photo.jpg", kMarkingProgram);
  WriteProgram("site/cgi/.tool", kMarkingProgram);
  WriteProgram("site/.cgi/tool", kMarkingProgram);
  drive.Write("site/.git/config", "[core]\n");
  drive.Write("site/.hidden/page.htm", "<p>hidden</p>\n");
  drive.Write("site/.env", "SECRET=1\n");
  options.env["MARKS"] = drive.Host("marks.txt");
  StartServer();
  std::string notFound = ErrorAnswer("404 Not Found", "Error 404", "Not Found");
  for (const char* url : {"/site/notes.txt.cgi", "/site/notes.txt.cgi?x=1", "/site/cgi/photo.jpg.cgi",
                          "/site/cgi/.tool.cgi", "/site/.cgi/tool.cgi", "/site/.git/config",
                          "/site/.hidden/page.htm", "/site/.env", "/site/%2Egit/config",
                          "/site/.hidden/"}) {
    EXPECT_EQ(Get(url), notFound) << url;
  }
  EXPECT_EQ(drive.Read("marks.txt"), "");
  // The files themselves are what they are: a text is sent as a text.
  EXPECT_EQ(Get("/site/notes.txt"), Header("200 OK", "text/plain", kMarkingProgram.size()) + kMarkingProgram);
  EXPECT_EQ(server->Stop().err, "");
}

// Text from the request shown on an error page is HTML-escaped, and shown
// on the console without its control bytes.
TEST_F(LocalwebCGI, RequestTextIsEscapedOnPagesAndConsole) {
  drive.Write("site/a&b c.bat", "@echo off\r\necho never\r\n");
  StartServer();
  EXPECT_EQ(Get("/site/%3Cscript%3Ealert(document.domain)%3C%2Fscript%3E.cgi"),
            ErrorAnswer("400 Bad Request", "Error 400", "Bad Request",
                        "Bad CGI path \"\\site\\&lt;script&gt;alert(document.domain)&lt;/script&gt;\"."));
  EXPECT_EQ(Get("/site/a%26b%20c.bat"),
            ErrorAnswer("400 Bad Request", "Error 400", "Bad Request",
                        "CGI path \"\\site\\a&amp;b c.bat\" contains illegal characters."));
  EXPECT_EQ(Fetch(port, "POST /\x1b]0;owned\x07\x1b[2J HTTP/1.0\r\n\r\n"), "");
  RunResult run = server->Stop();
  EXPECT_EQ(run.out,
            "Local mode enabled.\nUnsupported Request:  POST /\\x1B]0;owned\\x07\\x1B[2J HTTP/1.0\n"
            "Server terminated by user.\n");
}

// A batch CGI gets the query only in its environment: nothing in it is read
// as a redirection, a pipe or a command separator.
TEST_F(LocalwebCGI, BatchFilesGetTheQueryAsData) {
  drive.Write("site/cgi/echo.bat",
              "@echo off\r\necho Content-type: text/plain\r\necho.\r\necho %QUERY_STRING%\r\n");
  StartServer();
  const std::string query = "x>C:\\site\\index.htm&echo>C:\\site\\page.htm|more";
  EXPECT_EQ(Get("/site/cgi/echo.bat?" + query), CGIAnswer(kTextHead, query + "\n"));
  EXPECT_EQ(drive.Read("site/index.htm"), "<p>home</p>\n");
  EXPECT_EQ(drive.Read("site/page.htm"), "<p>page</p>\n");
  EXPECT_EQ(server->Stop().err, "");
}

// While a CGI program is slow, other requests are answered at once. (The
// slow program also ends once the test folder is gone, so that no run of
// the tests leaves it waiting.)
TEST_F(LocalwebCGI, SlowProgramsHoldNoOtherRequest) {
  WriteProgram("site/cgi/slow",
               "#!/bin/sh\nwhile [ ! -e \"$GO\" ] && [ -d \"${GO%/*}\" ]; do /bin/sleep 0.05; done\n"
               "printf 'Content-type: text/plain\\n\\nslow\\n'\n");
  drive.Write("site/cgi/quick.bat", "@echo off\r\necho Content-type: text/plain\r\necho.\r\necho quick\r\n");
  options.env["GO"] = drive.Host("go");
  StartServer();
  std::string slow;
  std::thread slowClient([&] { slow = Get("/site/cgi/slow.cgi"); });
  // The slow program cannot end before "go" exists, so these answers came
  // while it was running.
  EXPECT_EQ(Get("/site/page.htm"), Header("200 OK", "text/html", 12) + "<p>page</p>\n");
  EXPECT_EQ(Get("/site/cgi/quick.bat"), CGIAnswer(kTextHead, "quick\n"));
  drive.Write("go", "");
  slowClient.join();
  EXPECT_EQ(slow, CGIAnswer(kTextHead, "slow\n"));
  EXPECT_EQ(server->Stop().err, "");
}

// A program past the time limit is ended with what it started, and one whose
// output passes the output limit is ended too; both are answered with 500,
// and their response files are gone.
TEST_F(LocalwebCGI, HangingAndFloodingProgramsAreEnded) {
  WriteProgram("site/cgi/hang", "#!/bin/sh\n/bin/sleep 1000 &\necho $! >\"$PIDFILE\"\nwait\n");
  WriteProgram("site/cgi/flood",
               "#!/bin/sh\nprintf 'Content-type: text/plain\\n\\n'\nexec /usr/bin/head -c 100000000 /dev/zero\n");
  drive.MakeDir("tmp");
  options.env["TEMP"] = drive.Win("tmp");
  options.env["PIDFILE"] = drive.Host("pid.txt");
  StartServer("CGITimeLimit 1\n");
  std::string hang;
  std::thread hangClient([&] { hang = Get("/site/cgi/hang.cgi"); });
  EXPECT_EQ(Get("/site/cgi/flood.cgi"), ErrorAnswer("500 Internal Server Error", "Error 500",
                                                    "Internal Server Error",
                                                    "CGI script output is too large."));
  hangClient.join();
  EXPECT_EQ(hang, ErrorAnswer("500 Internal Server Error", "Error 500", "Internal Server Error",
                              "CGI script did not finish in time."));
  int pid = atoi(drive.Read("pid.txt").c_str());
  ASSERT_GT(pid, 0);
  EXPECT_TRUE(ProcessEnded(pid));
  EXPECT_EQ(server->Stop().err, "");
  EXPECT_EQ(drive.Files("tmp"), std::vector<std::string>{});
}

// The output of CGI programs goes to TEMP also when TEMP names a host
// folder, as a Linux shell sets it, on the drive or off it; its file is
// named after the server and is gone after the answer.
TEST_F(LocalwebCGI, TempAsAHostFolderHoldsTheOutput) {
  // The program lists the folder while its own output is being written there.
  WriteProgram("site/cgi/list", "#!/bin/sh\nprintf 'Content-type: text/plain\\n\\n'\nls \"$LIST\"\n");
  char offTemplate[] = "/tmp/weft_temp_XXXXXX";
  ASSERT_NE(mkdtemp(offTemplate), nullptr);
  const std::string off = offTemplate;
  drive.MakeDir("var/tmp");
  for (const std::string& folder : {drive.Host("var/tmp"), off}) {
    options.env["TEMP"] = folder;
    options.env["LIST"] = folder;
    StartServer();
    std::string answer = Get("/site/cgi/list.cgi");
    const std::string name = "CGI" + std::to_string(server->Pid()) + "-";
    EXPECT_EQ(server->Stop().err, "") << folder;
    size_t body = answer.find(name);
    ASSERT_NE(body, std::string::npos) << folder << ": " << answer;
    EXPECT_EQ(answer, CGIAnswer(kTextHead, answer.substr(body))) << folder;
    EXPECT_TRUE(std::regex_match(answer.substr(body), std::regex(name + "[0-9A-F]{4}\\.tmp\n"))) << answer;
    EXPECT_TRUE(std::filesystem::is_empty(folder)) << folder;
  }
  std::filesystem::remove_all(off);
}

// The response files carry their server's process number: a server started
// after one was killed removes what that one left, and leaves the files of
// a server that still runs and every file that is not a response file.
TEST_F(LocalwebCGI, NextStartRemovesTheFilesOfAKilledServer) {
  WriteProgram("site/cgi/slow",
               "#!/bin/sh\nwhile [ ! -e \"$GO\" ] && [ -d \"${GO%/*}\" ]; do /bin/sleep 0.05; done\n"
               "printf 'Content-type: text/plain\\n\\nslow\\n'\n");
  options.env["GO"] = drive.Host("go");
  drive.MakeDir("tmp");
  options.env["TEMP"] = drive.Win("tmp");
  drive.Write("site/localweb.cfg", "");
  auto start = [&](int serverPort) {
    std::vector<std::string> args = {"/P:" + std::to_string(serverPort), "/C:localweb.cfg"};
    return std::make_unique<ServerProcess>("localweb", args, options);
  };
  // Waits until the folder holds `count` files; gives them.
  auto filesOnceThere = [&](size_t count) {
    std::vector<std::string> files;
    for (int i = 0; i < 1000 && (files = drive.Files("tmp")).size() < count; ++i) usleep(10000);
    return files;
  };
  // Two servers, each with a program in flight; the second starts while
  // the first one's file is there, and leaves it.
  auto killed = start(port);
  std::string killedAnswer;
  std::thread killedClient([&] { killedAnswer = Get("/site/cgi/slow.cgi"); });
  std::vector<std::string> first = filesOnceThere(1);
  int runningPort = FreeLoopbackPort();
  auto running = start(runningPort);
  std::string runningAnswer;
  std::thread runningClient(
      [&] { runningAnswer = WithoutDate(Fetch(runningPort, "GET /site/cgi/slow.cgi HTTP/1.0\r\n\r\n")); });
  std::vector<std::string> both = filesOnceThere(2);
  EXPECT_EQ(both.size(), 2u);
  const std::string killedFile = first.empty() ? "" : first[0];
  EXPECT_EQ(killedFile.rfind("CGI" + std::to_string(killed->Pid()) + "-", 0), 0u) << killedFile;
  // The first is killed; its file stays behind.
  killed->Stop(SIGKILL);
  killedClient.join();
  EXPECT_EQ(killedAnswer, "");
  const std::string others[] = {"CGI00AF.tmp", "CGI" + std::to_string(getpid()) + "-00AF.tmp",
                                "CGI1-00AF.tmp.bak", "notes.tmp"};
  for (const std::string& name : others) drive.Write("tmp/" + name, "kept");
  EXPECT_EQ(drive.Files("tmp").size(), 6u);

  // The next start removes the killed server's file only.
  int nextPort = FreeLoopbackPort();
  auto next = start(nextPort);
  EXPECT_EQ(WithoutDate(Fetch(nextPort, "GET /site/index.htm HTTP/1.0\r\n\r\n")),
            Header("200 OK", "text/html", 12) + "<p>home</p>\n");
  std::vector<std::string> now = drive.Files("tmp");
  EXPECT_EQ(std::count(now.begin(), now.end(), killedFile), 0) << killedFile;
  EXPECT_EQ(now.size(), 5u);
  for (const std::string& name : others) EXPECT_EQ(drive.Read("tmp/" + name), "kept") << name;
  // The running server's program finishes and is answered as ever.
  drive.Write("go", "");
  runningClient.join();
  EXPECT_EQ(runningAnswer, CGIAnswer(kTextHead, "slow\n"));
  EXPECT_EQ(running->Stop().err, "");
  EXPECT_EQ(next->Stop().err, "");
}

// A server stopped while a CGI program runs ends that program.
TEST_F(LocalwebCGI, StoppingTheServerEndsRunningPrograms) {
  WriteProgram("site/cgi/hang", "#!/bin/sh\n/bin/sleep 1000 &\necho $! >\"$PIDFILE\"\nwait\n");
  options.env["PIDFILE"] = drive.Host("pid.txt");
  StartServer();
  std::thread hangClient([&] { Get("/site/cgi/hang.cgi"); });
  for (int i = 0; i < 1000 && drive.Read("pid.txt").empty(); ++i) usleep(10000);
  int pid = atoi(drive.Read("pid.txt").c_str());
  ASSERT_GT(pid, 0);
  RunResult run = server->Stop();
  hangClient.join();
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRUE(ProcessEnded(pid));
}

}  // namespace
