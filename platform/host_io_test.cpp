#include "platform/host_io.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <thread>

#include "platform/errors.h"
#include "platform/testing/test_support.h"

namespace {

using weft_host::CopyAll;
using weft_host::CopyPathOut;
using weft_host::HostParent;
using weft_host::ReadAll;
using weft_host::WriteAll;

void OnTick(int) {}

// For the life of the object a signal arrives every half millisecond, with
// a handler that lets blocked reads and writes end early (no SA_RESTART), as
// a server's own signals may.
class Interruptions {
 public:
  Interruptions() {
    struct sigaction action = {};
    action.sa_handler = OnTick;
    sigaction(SIGALRM, &action, &old_);
    itimerval every = {{0, 500}, {0, 500}};
    setitimer(ITIMER_REAL, &every, nullptr);
  }
  ~Interruptions() {
    itimerval off = {};
    setitimer(ITIMER_REAL, &off, nullptr);
    sigaction(SIGALRM, &old_, nullptr);
  }

 private:
  struct sigaction old_ = {};
};

std::string Pattern(size_t size) {
  std::string text(size, '\0');
  for (size_t i = 0; i < size; ++i) text[i] = static_cast<char>('a' + (i * 7 + i / 4093) % 26);
  return text;
}

// Through a pipe, whose reads and writes block and come back interrupted
// or short, every byte arrives once and in order, and a copy takes all.
TEST(HostIO, WholeThroughInterruptedPipes) {
  const std::string text = Pattern(3 * 1024 * 1024 + 17);
  int first[2], second[2];
  ASSERT_EQ(pipe(first), 0);
  ASSERT_EQ(pipe(second), 0);
  Interruptions interruptions;
  bool written = false, copied = false, read = false;
  std::string arrived;
  std::thread writer([&] {
    written = WriteAll(first[1], text);
    close(first[1]);
  });
  std::thread copier([&] {
    copied = CopyAll(first[0], second[1]);
    close(second[1]);
  });
  read = ReadAll(second[0], &arrived);
  writer.join();
  copier.join();
  close(first[0]);
  close(second[0]);
  EXPECT_TRUE(written);
  EXPECT_TRUE(copied);
  EXPECT_TRUE(read);
  EXPECT_EQ(arrived.size(), text.size());
  EXPECT_TRUE(arrived == text);
}

// A file is read whole whether its size at the open is given, wrong (it
// grew or shrank since) or unknown.
TEST(HostIO, ReadAllOfAFile) {
  TempDrive drive;
  for (size_t size : {size_t{0}, size_t{10}, size_t{65536}, size_t{65536 * 2 + 5}}) {
    std::string text = Pattern(size);
    drive.Write("f.bin", text);
    for (off_t hint : {static_cast<off_t>(size), off_t{-1}, off_t{3}, static_cast<off_t>(size + 100)}) {
      int fd = open(drive.Host("f.bin").c_str(), O_RDONLY);
      ASSERT_GE(fd, 0);
      std::string read = "left over";
      EXPECT_TRUE(ReadAll(fd, &read, hint)) << size << " " << hint;
      EXPECT_TRUE(read == text) << size << " " << hint;
      close(fd);
    }
  }
}

// Failures are recorded with their Windows text: a full disk, a descriptor
// that cannot be read or written.
TEST(HostIO, FailuresAreRecorded) {
  int full = open("/dev/full", O_WRONLY);
  ASSERT_GE(full, 0);
  EXPECT_FALSE(WriteAll(full, std::string(100, 'x')));
  EXPECT_STREQ(LastErrorText(), "There is not enough space on the disk.");
  EXPECT_EQ(LastErrorCode(), kErrorDiskFull);
  close(full);

  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  std::string text;
  EXPECT_FALSE(ReadAll(ends[1], &text));
  EXPECT_NE(std::string(LastErrorText()), "");
  EXPECT_FALSE(WriteAll(ends[0], "x", 1));
  EXPECT_NE(std::string(LastErrorText()), "");
  close(ends[0]);
  close(ends[1]);
}

TEST(HostIO, HostParent) {
  struct Case {
    const char* host;
    const char* parent;
  } cases[] = {
      {"/a/b/c.txt", "/a/b"}, {"/a", "/"}, {"/", "/"}, {"a/b", "a"}, {"name", "."}, {"/a/b/", "/a/b"},
  };
  for (const Case& c : cases) EXPECT_EQ(HostParent(c.host), c.parent) << c.host;
}

// A text fits with its terminator, or the call fails with the reason: a
// text over 260 characters is a name too long, whatever the buffer; a
// buffer too small says so.
TEST(HostIO, CopyPathOut) {
  struct Case {
    size_t length;
    size_t size;
    bool buffer;
    size_t result;
    long error;
  } cases[] = {
      {5, 6, true, 5, 0},
      {0, 1, true, 0, 0},
      {260, 261, true, 260, 0},
      {5, 5, true, 0, kErrorInsufficientBuffer},
      {5, 0, true, 0, kErrorInsufficientBuffer},
      {5, 100, false, 0, kErrorInsufficientBuffer},
      {261, 400, true, 0, kErrorFilenameTooLong},
      {261, 10, true, 0, kErrorFilenameTooLong},
  };
  for (const Case& c : cases) {
    std::string text(c.length, 'p');
    char buffer[400];
    memset(buffer, '#', sizeof buffer);
    size_t result = CopyPathOut(text, c.buffer ? buffer : nullptr, c.size);
    std::string label = std::to_string(c.length) + " in " + std::to_string(c.size);
    EXPECT_EQ(result, c.result) << label;
    if (c.error) {
      EXPECT_EQ(LastErrorCode(), c.error) << label;
    } else {
      EXPECT_EQ(std::string(buffer), text) << label;
    }
  }
  CopyPathOut(std::string(5, 'p'), nullptr, 0);
  EXPECT_STREQ(LastErrorText(), "The data area passed to a system call is too small.");
}

}  // namespace
