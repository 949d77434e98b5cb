// Console keys over a POSIX terminal: the terminal is put in non-canonical
// mode without echo for the moment of one test or read, then restored.
#include "platform/console.h"

#include <errno.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>

namespace {

// Switches the terminal on standard input to single-key mode for the life of
// the object.
class KeyMode {
 public:
  explicit KeyMode(bool ctrlCAsKey) {
    active_ = tcgetattr(STDIN_FILENO, &saved_) == 0;
    if (!active_) return;
    termios raw = saved_;
    raw.c_lflag &= ~(ICANON | ECHO);
    if (ctrlCAsKey) raw.c_lflag &= ~ISIG;
    // Enter gives a carriage return, as a Windows console reports it.
    raw.c_iflag &= ~(ICRNL | INLCR);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    tcsetattr(STDIN_FILENO, TCSANOW, &raw);
  }
  ~KeyMode() {
    if (active_) tcsetattr(STDIN_FILENO, TCSANOW, &saved_);
  }
  KeyMode(const KeyMode&) = delete;
  KeyMode& operator=(const KeyMode&) = delete;

 private:
  termios saved_{};
  bool active_ = false;
};

int ReadTerminalKey(bool ctrlCAsKey) {
  KeyMode mode(ctrlCAsKey);
  unsigned char c = 0;
  for (;;) {
    ssize_t n = read(STDIN_FILENO, &c, 1);
    if (n == 1) return c;
    if (n < 0 && errno == EINTR) continue;
    return kKeyEscape;
  }
}

int ReadPipedKey() {
  for (;;) {
    int c = getc(stdin);
    if (c == EOF) return kKeyEscape;
    if (c != '\n') return c;
  }
}

}  // namespace

bool IsConsoleInput() { return isatty(STDIN_FILENO) != 0; }

bool KeyWaiting() {
  if (!IsConsoleInput()) return false;
  KeyMode mode(false);
  pollfd fd{STDIN_FILENO, POLLIN, 0};
  return poll(&fd, 1, 0) > 0 && (fd.revents & POLLIN) != 0;
}

int ReadKey(bool ctrlCAsKey) {
  fflush(stdout);
  if (IsConsoleInput()) return ReadTerminalKey(ctrlCAsKey);
  return ReadPipedKey();
}
