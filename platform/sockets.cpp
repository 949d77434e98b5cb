// BSD sockets behind the server's socket calls.
#include "platform/sockets.h"


#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/sendfile.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/sockets_host.h"

namespace {

int stopPipe[2] = {-1, -1};
thread_local int lastError = 0;

int Remember(int result) {
  if (result < 0) lastError = (errno == EAGAIN || errno == EWOULDBLOCK) ? kSocketWouldBlock : errno;
  return result;
}

// Errors of accept that belong to the one connection that failed (it was
// reset, or its network went away), or to none: the next accept goes on.
bool PassingAcceptError(int error) {
  switch (error) {
    case EINTR: case ECONNABORTED: case EPROTO: case ENETDOWN: case ENOPROTOOPT:
    case EHOSTDOWN: case ENONET: case EHOSTUNREACH: case EOPNOTSUPP: case ENETUNREACH:
      return true;
    default:
      return false;
  }
}

// An accept error in the numbering of sockets.h.
int AcceptError(int error) {
  if (error == EAGAIN || error == EWOULDBLOCK) return kSocketWouldBlock;
  if (error == EMFILE || error == ENFILE) return kSocketTooManyOpen;
  if (error == ENOBUFS || error == ENOMEM) return kSocketNoBuffers;
  return error;
}

}  // namespace

bool SocketsStartup() {
  // Sending a file has no flag against SIGPIPE, as sending data has.
  signal(SIGPIPE, SIG_IGN);
  if (stopPipe[0] >= 0) return true;
  return pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) == 0;
}

void SocketsCleanup() {
  for (int& end : stopPipe) {
    if (end >= 0) close(end);
    end = -1;
  }
}

Socket OpenListeningSocket() {
  // Non-blocking, so that a thread that tries to take a waiting connection
  // never blocks when another took it first.
  int s = Remember(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (s < 0) return kInvalidSocket;
  int on = 1;
  setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  return s;
}

bool BindSocket(Socket s, int port, bool loopbackOnly) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(loopbackOnly ? INADDR_LOOPBACK : INADDR_ANY);
  return Remember(bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address)) == 0;
}

bool ListenSocket(Socket s, int backlog) { return Remember(listen(s, backlog)) == 0; }

Socket AcceptConnection(Socket listener, uint32_t* clientAddress, int* error) {
  for (;;) {
    pollfd waits[2] = {{listener, POLLIN, 0}, {stopPipe[0], POLLIN, 0}};
    int ready = poll(waits, stopPipe[0] >= 0 ? 2 : 1, -1);
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) {
      *error = errno;
      return kInvalidSocket;
    }
    if (stopPipe[0] >= 0 && (waits[1].revents & POLLIN)) {
      *error = kSocketInterrupted;
      return kInvalidSocket;
    }
    sockaddr_in address{};
    socklen_t length = sizeof address;
    int s = accept4(listener, reinterpret_cast<sockaddr*>(&address), &length, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (s >= 0) {
      *clientAddress = ntohl(address.sin_addr.s_addr);
      return s;
    }
    if (errno == EAGAIN || PassingAcceptError(errno)) continue;
    *error = errno;
    return kInvalidSocket;
  }
}

Socket TryAcceptConnection(Socket listener, uint32_t* clientAddress, int* error) {
  for (;;) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    int s = accept4(listener, reinterpret_cast<sockaddr*>(&address), &length, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (s >= 0) {
      *clientAddress = ntohl(address.sin_addr.s_addr);
      return s;
    }
    if (PassingAcceptError(errno)) continue;
    if (error) *error = AcceptError(errno);
    return kInvalidSocket;
  }
}

void StopAccepting() {
  // The pipe stays readable, so every later accept is woken too.
  if (stopPipe[1] < 0) return;
  int saved = errno;
  ssize_t written = write(stopPipe[1], "x", 1);
  (void)written;
  errno = saved;
}

void InstallStopSignals(void (*handler)(int)) {
  struct sigaction action{};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

bool SetNonBlocking(Socket s) {
  int flags = fcntl(s, F_GETFL);
  if (flags >= 0 && (flags & O_NONBLOCK)) return true;
  return flags >= 0 && Remember(fcntl(s, F_SETFL, flags | O_NONBLOCK)) == 0;
}

int WaitSocket(Socket s, bool readable, bool writable, int milliseconds) {
  pollfd wait{s, static_cast<short>((readable ? POLLIN : 0) | (writable ? POLLOUT : 0)), 0};
  int ready = Remember(poll(&wait, 1, milliseconds));
  if (ready <= 0) return ready;
  int bits = 0;
  if (wait.revents & (POLLIN | POLLHUP | POLLERR)) bits |= readable ? kSocketReadable : 0;
  if (wait.revents & (POLLOUT | POLLERR)) bits |= writable ? kSocketWritable : 0;
  return bits;
}

int ReceiveSocket(Socket s, char* buffer, size_t size) {
  return static_cast<int>(Remember(static_cast<int>(recv(s, buffer, size, 0))));
}

int SendSocket(Socket s, const char* data, size_t length, bool more) {
  int flags = MSG_NOSIGNAL | (more ? MSG_MORE : 0);
  return static_cast<int>(Remember(static_cast<int>(send(s, data, length, flags))));
}

long long TransmitFile(Socket s, FileHandle file, uint64_t offset, size_t count) {
  off_t at = static_cast<off_t>(offset);
  ssize_t sent = sendfile(s, file, &at, count);
  if (sent < 0) Remember(-1);
  return sent;
}

int LastSocketError() { return lastError; }

const char* SocketErrorText(int error) {
  return strerror(error == kSocketWouldBlock ? EWOULDBLOCK : error);
}

bool CloseSocket(Socket s) {
  // Unread input at close would reset the connection and could lose the
  // answer, so the sending side ends first and what arrived is dropped.
  shutdown(s, SHUT_WR);
  char drop[1024];
  while (recv(s, drop, sizeof drop, MSG_DONTWAIT) > 0) {
  }
  return Remember(close(s)) == 0;
}

int RaiseOpenFileLimit(int wanted) {
  rlimit limit{};
  if (wanted <= 0 || getrlimit(RLIMIT_NOFILE, &limit) != 0) return 0;
  rlim_t goal = static_cast<rlim_t>(wanted);
  if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max < goal) goal = limit.rlim_max;
  if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < goal) {
    rlimit raised = {goal, limit.rlim_max};
    if (setrlimit(RLIMIT_NOFILE, &raised) == 0) limit.rlim_cur = goal;
  }
  bool enough = limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur >= static_cast<rlim_t>(wanted);
  return enough ? wanted : static_cast<int>(limit.rlim_cur);
}

SocketSet::SocketSet() : poller_(epoll_create1(EPOLL_CLOEXEC)) {
  if (poller_ >= 0 && stopPipe[0] >= 0) Watch(stopPipe[0]);
}

SocketSet::~SocketSet() {
  if (poller_ >= 0) close(poller_);
}

bool SocketSet::Watch(Socket s, bool once) {
  epoll_event event{};
  event.events = EPOLLIN | (once ? static_cast<uint32_t>(EPOLLONESHOT) : 0u);
  event.data.fd = s;
  return poller_ >= 0 && Remember(epoll_ctl(poller_, EPOLL_CTL_ADD, s, &event)) == 0;
}

bool SocketSet::Rewatch(Socket s) {
  epoll_event event{};
  event.events = EPOLLIN | EPOLLONESHOT;
  event.data.fd = s;
  return poller_ >= 0 && Remember(epoll_ctl(poller_, EPOLL_CTL_MOD, s, &event)) == 0;
}

void SocketSet::Unwatch(Socket s) {
  if (poller_ >= 0) epoll_ctl(poller_, EPOLL_CTL_DEL, s, nullptr);
}

bool SocketSet::Wait(int milliseconds, std::vector<Socket>* ready) {
  ready->clear();
  epoll_event events[256];
  int count = poller_ >= 0 ? epoll_wait(poller_, events, 256, milliseconds) : -1;
  for (int i = 0; i < count; ++i) {
    if (events[i].data.fd == stopPipe[0]) return false;
    ready->push_back(events[i].data.fd);
  }
  // A wait interrupted by a signal reports nothing; the caller looks again.
  return !(count < 0 && errno != EINTR);
}
