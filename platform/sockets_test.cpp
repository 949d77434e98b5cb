// The server's sockets: stop wakes accept, no SIGPIPE, close-on-exec,
// waits and transfers over a loopback connection.
#include "platform/sockets.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

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

}  // namespace
