// The server's sockets: stop wakes accept, no SIGPIPE, close-on-exec,
// waits and transfers over a loopback connection.
#include "platform/sockets.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>
#include <vector>

#include "platform/sockets_host.h"

namespace {

int LocalPort(Socket s) {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
  return ntohs(address.sin_port);
}

int ConnectTo(int port) {
  int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  EXPECT_EQ(connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  return s;
}

struct Listener {
  Listener() {
    EXPECT_TRUE(SocketsStartup());
    socket = OpenListeningSocket();
    EXPECT_NE(socket, kInvalidSocket);
    EXPECT_TRUE(BindSocket(socket, 0, true));
    EXPECT_TRUE(ListenSocket(socket, 5));
  }
  ~Listener() {
    CloseSocket(socket);
    SocketsCleanup();
  }
  Socket socket = kInvalidSocket;
};

TEST(Sockets, AcceptGivesClientAddressAndCloseOnExec) {
  Listener listener;
  EXPECT_TRUE(fcntl(listener.socket, F_GETFD) & FD_CLOEXEC);
  int client = ConnectTo(LocalPort(listener.socket));
  uint32_t address = 0;
  int error = 0;
  Socket connection = AcceptConnection(listener.socket, &address, &error);
  ASSERT_NE(connection, kInvalidSocket);
  EXPECT_EQ(address, 0x7F000001u);
  EXPECT_TRUE(fcntl(connection, F_GETFD) & FD_CLOEXEC);

  EXPECT_TRUE(SetNonBlocking(connection));
  char buffer[16];
  EXPECT_EQ(ReceiveSocket(connection, buffer, sizeof buffer), -1);
  EXPECT_EQ(LastSocketError(), kSocketWouldBlock);
  EXPECT_EQ(WaitSocket(connection, true, false, 0), 0);
  ASSERT_EQ(write(client, "hi", 2), 2);
  EXPECT_EQ(WaitSocket(connection, true, false, 5000), kSocketReadable);
  EXPECT_EQ(ReceiveSocket(connection, buffer, sizeof buffer), 2);
  EXPECT_EQ(WaitSocket(connection, false, true, 5000), kSocketWritable);

  // Sending to a closed peer fails with an error instead of SIGPIPE.
  close(client);
  int result = 0;
  for (int i = 0; i < 100 && result >= 0; ++i) result = SendSocket(connection, "xxxxxxxx", 8);
  EXPECT_EQ(result, -1);
  EXPECT_TRUE(CloseSocket(connection));
}

TEST(Sockets, StopWakesBlockedAccept) {
  Listener listener;
  uint32_t address = 0;
  int error = 0;
  Socket result = 0;
  std::thread waiter([&] { result = AcceptConnection(listener.socket, &address, &error); });
  StopAccepting();
  waiter.join();
  EXPECT_EQ(result, kInvalidSocket);
  EXPECT_EQ(error, kSocketInterrupted);
  // The stop holds for every later accept.
  error = 0;
  EXPECT_EQ(AcceptConnection(listener.socket, &address, &error), kInvalidSocket);
  EXPECT_EQ(error, kSocketInterrupted);
}

TEST(Sockets, BindFailsOnPortInUse) {
  Listener first;
  Socket second = OpenListeningSocket();
  EXPECT_FALSE(BindSocket(second, LocalPort(first.socket), true));
  EXPECT_STREQ(SocketErrorText(LastSocketError()), "Address already in use");
  CloseSocket(second);
}

// Taking a connection that waits already never blocks; accepted sockets are
// non-blocking.
TEST(Sockets, TryAcceptTakesOnlyWaitingConnections) {
  Listener listener;
  uint32_t address = 0;
  EXPECT_EQ(TryAcceptConnection(listener.socket, &address), kInvalidSocket);
  int client = ConnectTo(LocalPort(listener.socket));
  Socket connection = kInvalidSocket;
  for (int i = 0; i < 100 && connection == kInvalidSocket; ++i) {
    connection = TryAcceptConnection(listener.socket, &address);
    if (connection == kInvalidSocket) usleep(10000);
  }
  ASSERT_NE(connection, kInvalidSocket);
  EXPECT_EQ(address, 0x7F000001u);
  EXPECT_TRUE(fcntl(connection, F_GETFL) & O_NONBLOCK);
  EXPECT_TRUE(fcntl(connection, F_GETFD) & FD_CLOEXEC);
  char byte;
  EXPECT_EQ(ReceiveSocket(connection, &byte, 1), -1);
  EXPECT_EQ(LastSocketError(), kSocketWouldBlock);
  EXPECT_EQ(TryAcceptConnection(listener.socket, &address), kInvalidSocket);
  CloseSocket(connection);
  close(client);
}

// Accepting when no file descriptor is left fails with its own code, and the
// connection waits for the next try.
TEST(Sockets, TryAcceptTellsWhyItTookNone) {
  Listener listener;
  uint32_t address = 0;
  int error = 0;
  EXPECT_EQ(TryAcceptConnection(listener.socket, &address, &error), kInvalidSocket);
  EXPECT_EQ(error, kSocketWouldBlock);
  int client = ConnectTo(LocalPort(listener.socket));
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
  int lowest = dup(0);
  close(lowest);
  rlimit none = {static_cast<rlim_t>(lowest), saved.rlim_max};
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &none), 0);
  Socket connection = TryAcceptConnection(listener.socket, &address, &error);
  setrlimit(RLIMIT_NOFILE, &saved);
  EXPECT_EQ(connection, kInvalidSocket);
  EXPECT_EQ(error, kSocketTooManyOpen);
  for (int i = 0; i < 100 && connection == kInvalidSocket; ++i) {
    connection = TryAcceptConnection(listener.socket, &address, &error);
    if (connection == kInvalidSocket) usleep(10000);
  }
  EXPECT_NE(connection, kInvalidSocket);
  CloseSocket(connection);
  close(client);
}

TEST(Sockets, RaisesTheOpenFileLimitAsFarAsAllowed) {
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
  ASSERT_GE(saved.rlim_max, 512u);
  rlimit low = {256, saved.rlim_max};
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
  EXPECT_EQ(RaiseOpenFileLimit(128), 128);
  EXPECT_EQ(RaiseOpenFileLimit(512), 512);
  rlimit now{};
  getrlimit(RLIMIT_NOFILE, &now);
  EXPECT_EQ(now.rlim_cur, 512u);
  // Past the hard limit it stops there.
  rlimit capped = {256, 300};
  pid_t child = fork();
  if (child == 0) _exit(setrlimit(RLIMIT_NOFILE, &capped) == 0 && RaiseOpenFileLimit(4096) == 300 ? 0 : 1);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  setrlimit(RLIMIT_NOFILE, &saved);
}

// One thread watches many connections: those with input or whose peer went
// are given, the others not; a stop ends the wait.
TEST(Sockets, SocketSetGivesTheConnectionsWithInput) {
  Listener listener;
  int port = LocalPort(listener.socket);
  int clients[3];
  Socket connections[3];
  SocketSet set;
  for (int i = 0; i < 3; ++i) {
    clients[i] = ConnectTo(port);
    uint32_t address = 0;
    int error = 0;
    connections[i] = AcceptConnection(listener.socket, &address, &error);
    ASSERT_NE(connections[i], kInvalidSocket);
    EXPECT_TRUE(set.Watch(connections[i]));
  }
  std::vector<Socket> ready;
  EXPECT_TRUE(set.Wait(0, &ready));
  EXPECT_EQ(ready, std::vector<Socket>{});
  ASSERT_EQ(write(clients[1], "x", 1), 1);
  EXPECT_TRUE(set.Wait(5000, &ready));
  EXPECT_EQ(ready, std::vector<Socket>{connections[1]});
  set.Unwatch(connections[1]);
  close(clients[2]);
  EXPECT_TRUE(set.Wait(5000, &ready));
  EXPECT_EQ(ready, std::vector<Socket>{connections[2]});
  set.Unwatch(connections[2]);
  // A socket watched once is given by one wait, until it is watched again.
  set.Unwatch(connections[0]);
  EXPECT_TRUE(set.Watch(connections[0], true));
  ASSERT_EQ(write(clients[0], "y", 1), 1);
  EXPECT_TRUE(set.Wait(5000, &ready));
  EXPECT_EQ(ready, std::vector<Socket>{connections[0]});
  EXPECT_TRUE(set.Wait(100, &ready));
  EXPECT_EQ(ready, std::vector<Socket>{});
  EXPECT_TRUE(set.Rewatch(connections[0]));
  EXPECT_TRUE(set.Wait(5000, &ready));
  EXPECT_EQ(ready, std::vector<Socket>{connections[0]});
  std::thread stopper([] {
    usleep(50000);
    StopAccepting();
  });
  EXPECT_FALSE(set.Wait(10000, &ready));
  stopper.join();
  for (int i = 0; i < 3; ++i) {
    CloseSocket(connections[i]);
    if (i != 2) close(clients[i]);
  }
}

}  // namespace
