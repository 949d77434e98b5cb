// Load on the live server, bounded in count and time, over the loopback
// address only: clients that send their request a byte every few seconds
// hold no connection thread, so everyone else is answered at once.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/testing/server_support.h"
#include "platform/testing/test_support.h"
#include "programs/localweb/testing/http_answers.h"

namespace {

constexpr int kSlowClients = 300;
constexpr int kClients = 4;
constexpr int kRequestsEach = 50;
constexpr int kSlowestAnswerMs = 1000;

int Threads(int pid) {
  int count = 0;
  for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task")) {
    (void)task;
    ++count;
  }
  return count;
}

// True when the server has neither answered nor closed the connection.
bool StillWaiting(int socket) {
  pollfd wait{socket, POLLIN, 0};
  return poll(&wait, 1, 0) == 0;
}

TEST(LocalwebLoad, SlowClientsStarveNoOne) {
  TempDrive drive;
  drive.Write("www/page.htm", "in www");
  int port = FreeLoopbackPort();
  RunOptions options;
  options.cwd = drive.Host();
  options.env["WEFTREGISTRY"] = drive.Host("registry.txt");
  ServerProcess server("localweb", {"/P:" + std::to_string(port)}, options);

  // Each slow client has sent the start of its request; one thread adds a
  // byte to every one of them each second, well inside the idle time.
  std::vector<int> slow;
  const std::string start = "GET /www/page.htm HTTP/1.0\r\nX-Slow: ";
  for (int i = 0; i < kSlowClients; ++i) {
    int socket = ConnectLoopback(port);
    ASSERT_GE(socket, 0) << i;
    ASSERT_EQ(send(socket, start.data(), start.size(), MSG_NOSIGNAL), static_cast<ssize_t>(start.size()));
    slow.push_back(socket);
  }
  std::atomic<bool> done{false};
  std::thread trickle([&] {
    while (!done) {
      for (int socket : slow) send(socket, "a", 1, MSG_NOSIGNAL);
      for (int tenth = 0; tenth < 10 && !done; ++tenth) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
      }
    }
  });

  // Meanwhile the normal requests, a few clients at a time.
  const std::string page = Header("200 OK", "text/html", 6) + "in www";
  std::vector<std::string> wrong[kClients];
  std::vector<long> slowest(kClients, 0);
  std::vector<std::thread> clients;
  for (int c = 0; c < kClients; ++c) {
    clients.emplace_back([&, c] {
      for (int i = 0; i < kRequestsEach; ++i) {
        auto begin = std::chrono::steady_clock::now();
        std::string answer = WithoutDate(Fetch(port, "GET /www/page.htm HTTP/1.0\r\n\r\n"));
        long ms = static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now() - begin).count());
        if (ms > slowest[c]) slowest[c] = ms;
        if (answer != page) wrong[c].push_back(answer);
      }
    });
  }
  for (std::thread& client : clients) client.join();
  done = true;
  trickle.join();

  for (int c = 0; c < kClients; ++c) {
    EXPECT_EQ(wrong[c], std::vector<std::string>{}) << "client " << c;
    EXPECT_LT(slowest[c], kSlowestAnswerMs) << "client " << c;
  }
  int waiting = 0;
  for (int socket : slow) waiting += StillWaiting(socket);
  EXPECT_EQ(waiting, kSlowClients);
  EXPECT_LE(Threads(server.Pid()), 128 + 4);
  for (int socket : slow) close(socket);
  EXPECT_EQ(server.Stop().err, "");
}

}  // namespace
