// Connections to the live server on a loopback port: which requests a local
// server answers, what it sends, and how it stays available when clients are
// slow, silent or many.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/testing/server_support.h"
#include "platform/testing/test_support.h"
#include "programs/localweb/testing/http_answers.h"

namespace {

class LocalwebConnections : public ::testing::Test {
 protected:
  void SetUp() override {
    drive.Write("www/page.htm", "in www");
    port = FreeLoopbackPort();
    options.cwd = drive.Host();
    options.env["WEFTREGISTRY"] = drive.Host("registry.txt");
  }

  void StartServer(std::vector<std::string> args = {}) {
    args.push_back("/P:" + std::to_string(port));
    server = std::make_unique<ServerProcess>("localweb", args, options);
  }

  std::string Get(const std::string& request) { return WithoutDate(Fetch(port, request)); }

  TempDrive drive;
  int port = 0;
  RunOptions options;
  std::unique_ptr<ServerProcess> server;
};

const std::string kPage = Header("200 OK", "text/html", 6) + "in www";

// Seconds until the server closes the connection, reading and dropping what
// it sends; -1 when it is still open after `limit` seconds.
int SecondsUntilClosed(int socket, int limit, std::string* received) {
  for (int tenths = 0; tenths < limit * 10; ++tenths) {
    pollfd wait{socket, POLLIN, 0};
    if (poll(&wait, 1, 100) <= 0) continue;
    char buffer[1024];
    ssize_t got = recv(socket, buffer, sizeof buffer, 0);
    if (got <= 0) return tenths / 10;
    received->append(buffer, static_cast<size_t>(got));
  }
  return -1;
}

// In local mode a request whose Host names another machine (a web page's
// own name pointed at this one) is refused; global mode serves any name.
TEST_F(LocalwebConnections, HostHeaderInLocalMode) {
  StartServer();
  std::string forbidden = ErrorAnswer("403 Forbidden", "Error 403", "Forbidden");
  struct Case {
    std::string headers;
    bool served;
  } cases[] = {
      {"Host: localhost:" + std::to_string(port) + "\r\n", true},
      {"Host: 127.0.0.1\r\n", true},
      {"host: LOCALHOST\r\nAccept: */*\r\n", true},
      {"User-Agent: old\r\n", true},
      {"", true},
      {"Host: attacker.example:" + std::to_string(port) + "\r\n", false},
      {"Host: 127.0.0.1.attacker.example\r\n", false},
      {"Host: localhost\r\nHost: attacker.example\r\n", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Get("GET /www/page.htm HTTP/1.1\r\n" + c.headers + "\r\n"), c.served ? kPage : forbidden)
        << c.headers;
  }
  server->Stop();
  StartServer({"/G"});
  EXPECT_EQ(Get("GET /www/page.htm HTTP/1.1\r\nHost: attacker.example\r\n\r\n"), kPage);
}

// Only regular files are sent, whole, in the size they have, whatever the
// buffer size; a FIFO or a device is never opened for reading.
TEST_F(LocalwebConnections, SendsRegularFilesOnly) {
  std::string big(3 << 20, '\0');
  std::mt19937 random(7);
  for (char& c : big) c = static_cast<char>(random());
  drive.Write("big.jpg", big);
  ASSERT_EQ(mkfifo(drive.Host("pipe.htm").c_str(), 0644), 0);
  std::filesystem::create_symlink("/dev/zero", drive.Host("zero.htm"));
  std::filesystem::create_symlink(drive.Host("www/page.htm"), drive.Host("link.htm"));
  StartServer({"/B:1"});
  std::string answer = Fetch(port, "GET /big.jpg HTTP/1.0\r\n\r\n");
  std::string header = Header("200 OK", "image/jpeg", big.size());
  size_t split = answer.find("\r\n\r\n") + 4;
  EXPECT_EQ(WithoutDate(answer.substr(0, split)), header);
  EXPECT_TRUE(answer.substr(split) == big) << "the body differs from the file";
  std::string notFound = ErrorAnswer("404 Not Found", "Error 404", "Not Found");
  EXPECT_EQ(Get("GET /pipe.htm HTTP/1.0\r\n\r\n"), notFound);
  EXPECT_EQ(Get("GET /zero.htm HTTP/1.0\r\n\r\n"), notFound);
  EXPECT_EQ(Get("GET /www/ HTTP/1.0\r\n\r\n"), notFound);
  EXPECT_EQ(Get("GET /link.htm HTTP/1.0\r\n\r\n"), kPage);
  EXPECT_EQ(server->Stop().err, "");
}

// Files go out in pieces as large as the connection takes, whatever the
// buffer size an old configuration gives: files a byte short of a kilobyte,
// of whole kilobytes and a byte over arrive whole with each.
TEST_F(LocalwebConnections, FilesArriveWholeWhateverTheBufferSize) {
  std::mt19937 random(11);
  const size_t sizes[] = {1, 1023, 1024, 1025, 3 * 1024, 3 * 1024 + 1, 200 * 1024 + 7};
  for (size_t size : sizes) {
    std::string body(size, '\0');
    for (char& c : body) c = static_cast<char>(random());
    drive.Write("f" + std::to_string(size) + ".jpg", body);
  }
  for (const char* option : {"/B:1", "/B:3", "/B:64"}) {
    StartServer({option});
    for (size_t size : sizes) {
      std::string answer = Fetch(port, "GET /f" + std::to_string(size) + ".jpg HTTP/1.0\r\n\r\n");
      size_t split = answer.find("\r\n\r\n") + 4;
      EXPECT_EQ(WithoutDate(answer.substr(0, split)), Header("200 OK", "image/jpeg", size)) << option;
      EXPECT_TRUE(answer.substr(split) == drive.Read("f" + std::to_string(size) + ".jpg"))
          << option << ": the body of " << size << " bytes differs from the file";
    }
    EXPECT_EQ(server->Stop().err, "") << option;
  }
}

// A client that sends nothing, or sends its request a byte at a time, holds
// its connection only for the idle or the total time of a request.
TEST_F(LocalwebConnections, SilentAndTricklingClientsAreDropped) {
  StartServer();
  int silent = ConnectLoopback(port);
  ASSERT_GE(silent, 0);
  send(silent, "GET /www/page.htm HTTP/1.0\r\n", 28, MSG_NOSIGNAL);
  int trickling = ConnectLoopback(port);
  ASSERT_GE(trickling, 0);
  std::string silentAnswer;
  int silentSeconds = -1;
  std::thread silentWatch([&] { silentSeconds = SecondsUntilClosed(silent, 120, &silentAnswer); });
  // A byte every second would take two minutes to finish the request.
  std::string request = "GET /www/page.htm HTTP/1.0\r\nX-Slow: " + std::string(100, 'a') + "\r\n\r\n";
  size_t sent = 0;
  std::string trickleAnswer;
  for (; sent < request.size(); ++sent) {
    if (send(trickling, &request[sent], 1, MSG_NOSIGNAL) != 1) break;
    if (SecondsUntilClosed(trickling, 1, &trickleAnswer) >= 0) break;
  }
  silentWatch.join();
  EXPECT_LT(sent, request.size());
  EXPECT_EQ(trickleAnswer, "");
  EXPECT_GE(silentSeconds, 0);
  EXPECT_EQ(silentAnswer, "");
  close(silent);
  close(trickling);
  // Meanwhile and afterwards the server answers as before.
  EXPECT_EQ(Get("GET /www/page.htm HTTP/1.0\r\n\r\n"), kPage);
  EXPECT_EQ(server->Stop().err, "");
}

// Many clients at once: the server holds a bounded number of connections
// and serves a bounded number at a time, refusing none.
TEST_F(LocalwebConnections, ManyClientsWaitInsteadOfBeingRefused) {
  StartServer();
  std::vector<int> idle;
  for (int i = 0; i < 150; ++i) {
    int s = ConnectLoopback(port);
    ASSERT_GE(s, 0);
    idle.push_back(s);
  }
  // Every connection was taken; a request behind them is answered, and the
  // idle ones hold no connection thread meanwhile.
  std::string answer = Get("GET /www/page.htm HTTP/1.0\r\n\r\n");
  EXPECT_EQ(answer, kPage);
  int threads = 0;
  for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(server->Pid()) + "/task")) {
    (void)task;
    ++threads;
  }
  EXPECT_LE(threads, 128 + 4);
  for (int s : idle) close(s);
  EXPECT_EQ(server->Stop().err, "");
}

// Where the system allows a user few open files (ulimit -n), connections
// past them end those read longest, never the server, and each request
// still gets the files it needs.
TEST_F(LocalwebConnections, FewOpenFilesEndTheOldestConnectionsNotTheServer) {
  std::vector<std::string> args = {"--nofile=64:64", ProgramPath("localweb"), "/P:" + std::to_string(port)};
  server = std::make_unique<ServerProcess>("/usr/bin/prlimit", args, options);
  std::vector<int> idle;
  for (int i = 0; i < 100; ++i) {
    int s = ConnectLoopback(port);
    ASSERT_GE(s, 0);
    idle.push_back(s);
  }
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Get("GET /www/page.htm HTTP/1.0\r\n\r\n"), kPage) << i;
  // The server ended the connections it had no room for (they read as
  // ended, with nothing sent).
  int ended = 0;
  for (int s : idle) {
    pollfd wait{s, POLLIN, 0};
    char byte;
    ended += poll(&wait, 1, 0) == 1 && recv(s, &byte, 1, 0) == 0;
    close(s);
  }
  EXPECT_GE(ended, 50);
  RunResult run = server->Stop();
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, "Local mode enabled.\nServer terminated by user.\n");
}

// Start-up refuses values the server cannot honour, with a message.
TEST_F(LocalwebConnections, StartUpRefusesOutOfRangeValues) {
  drive.Write("big.cfg", "BufferSize 999999999\n");
  struct Case {
    std::vector<std::string> args;
    const char* err;
  } cases[] = {
      {{"/P:70000"}, "Error:  The port number must be from 1 to 65535.\n"},
      {{"/P:4294967376"}, "Error:  The port number must be from 1 to 65535.\n"},
      {{"/B:99999999999"}, "Error:  The buffer size must be at most 65536 Kbytes.\n"},
      {{"/C:big.cfg", "/P:" + std::to_string(port)}, "Error:  The buffer size must be at most 65536 Kbytes.\n"},
  };
  for (const Case& c : cases) {
    RunResult run = RunProgram("localweb", c.args, options);
    EXPECT_EQ(run.exitCode, 1) << c.args[0];
    EXPECT_EQ(run.out, "") << c.args[0];
    EXPECT_EQ(run.err, c.err) << c.args[0];
  }
}

}  // namespace
