// Console keys from a pipe and from a pseudo-terminal put in place of
// standard input for the test.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/console.h"

namespace {

// Puts `fd` in place of standard input for the life of the object.
class StdinSwap {
 public:
  explicit StdinSwap(int fd) : saved_(dup(STDIN_FILENO)) { dup2(fd, STDIN_FILENO); }
  ~StdinSwap() {
    dup2(saved_, STDIN_FILENO);
    close(saved_);
    clearerr(stdin);
  }

 private:
  int saved_;
};

TEST(ConsolePipe, KeysAreTheBytesInOrderAndTheEndAnswersEscape) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const std::string input = "y\nN\n\x1bq";
  ASSERT_EQ(write(fds[1], input.data(), input.size()), static_cast<ssize_t>(input.size()));
  close(fds[1]);
  StdinSwap swap(fds[0]);
  close(fds[0]);
  // Piped answers are never "typed ahead": discarding waiting keys keeps them.
  EXPECT_FALSE(KeyWaiting());
  EXPECT_EQ(ReadKey(), 'y');
  EXPECT_EQ(ReadKey(), 'N');
  EXPECT_EQ(ReadKey(), kKeyEscape);
  EXPECT_EQ(ReadKey(true), 'q');
  EXPECT_EQ(ReadKey(), kKeyEscape);
  EXPECT_EQ(ReadKey(), kKeyEscape);
}

class ConsoleTerminal : public ::testing::Test {
 protected:
  void SetUp() override {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
      GTEST_SKIP() << "no pseudo-terminal";
    }
    slave_ = open(ptsname(master_), O_RDWR | O_NOCTTY);
    ASSERT_GE(slave_, 0);
    ASSERT_EQ(tcgetattr(slave_, &before_), 0);
  }
  void TearDown() override {
    if (slave_ >= 0) close(slave_);
    if (master_ >= 0) close(master_);
  }
  void Type(const std::string& keys) {
    ASSERT_EQ(write(master_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
  }
  // Types once a read has put the terminal in key mode (no line editing).
  void TypeWhenWaiting(const std::string& keys) {
    termios now{};
    for (int i = 0; i < 100000; ++i) {
      if (tcgetattr(slave_, &now) == 0 && !(now.c_lflag & ICANON)) break;
      usleep(100);
    }
    Type(keys);
  }
  // What the terminal wrote back since the last call.
  std::string DrainEcho() {
    int flags = fcntl(master_, F_GETFL);
    fcntl(master_, F_SETFL, flags | O_NONBLOCK);
    std::string echoed;
    char buffer[64];
    ssize_t n;
    while ((n = read(master_, buffer, sizeof buffer)) > 0) echoed.append(buffer, n);
    fcntl(master_, F_SETFL, flags);
    return echoed;
  }
  // The terminal's modes are as they were before the test.
  void ExpectRestored() {
    termios after{};
    ASSERT_EQ(tcgetattr(slave_, &after), 0);
    EXPECT_EQ(after.c_lflag, before_.c_lflag);
    EXPECT_EQ(after.c_iflag, before_.c_iflag);
  }
  int master_ = -1;
  int slave_ = -1;
  termios before_{};
};

TEST_F(ConsoleTerminal, ReadsSingleKeysWithoutWaitingForALine) {
  StdinSwap swap(slave_);
  EXPECT_FALSE(KeyWaiting());
  Type("ab");
  EXPECT_TRUE(KeyWaiting());
  EXPECT_EQ(ReadKey(), 'a');
  EXPECT_EQ(ReadKey(), 'b');
  EXPECT_FALSE(KeyWaiting());
  ExpectRestored();
}

TEST_F(ConsoleTerminal, KeysTypedDuringTheReadAreNotEchoedAndEnterIsACarriageReturn) {
  StdinSwap swap(slave_);
  DrainEcho();
  std::thread typist([this] { TypeWhenWaiting("\r"); });
  EXPECT_EQ(ReadKey(), kKeyEnter);
  typist.join();
  std::thread second([this] { TypeWhenWaiting("z"); });
  EXPECT_EQ(ReadKey(), 'z');
  second.join();
  EXPECT_EQ(DrainEcho(), "");
  ExpectRestored();
}

TEST_F(ConsoleTerminal, CtrlCArrivesAsAKeyWhenAsked) {
  StdinSwap swap(slave_);
  std::thread typist([this] { TypeWhenWaiting("\x03"); });
  EXPECT_EQ(ReadKey(true), kKeyCtrlC);
  typist.join();
  ExpectRestored();
}

}  // namespace
