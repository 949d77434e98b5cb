// The last error as code and text, from calls that fail for different reasons.
#include "platform/errors.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

#include "platform/drives.h"
#include "platform/files.h"
#include "platform/testing/test_support.h"

namespace {

TEST(LastError, EachFailureKeepsItsCodeWithItsText) {
  TempDrive drive;
  drive.Write("full/f.txt", "x");
  drive.Write("to.txt", "old");
  std::string host;
  struct Case {
    const char* call;
    std::function<bool()> run;  // true when the call failed
    long code;
    const char* text;
  } cases[] = {
      {"delete a missing file", [] { return !DeleteFile("C:\\missing.txt"); }, kErrorFileNotFound,
       "The system cannot find the file specified."},
      {"remove a folder with a file", [] { return !RemoveDir("C:\\full"); }, kErrorDirNotEmpty,
       "The directory is not empty."},
      {"make a folder that exists", [] { return !CreateDir("C:\\FULL"); }, kErrorAlreadyExists,
       "Cannot create a file when that file already exists."},
      {"move onto a file", [] { return !MoveFile("C:\\full\\f.txt", "C:\\to.txt"); },
       kErrorAlreadyExists, "Cannot create a file when that file already exists."},
      {"delete a folder", [] { return !DeleteFile("C:\\full"); }, kErrorAccessDenied,
       "Access is denied."},
      // A text with details of its own has no closer code.
      {"a drive that is not mapped", [&host] { return !HostPath("Q:\\x", &host); },
       kErrorGenFailure, "The system cannot find the drive specified: Q:"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(c.run()) << c.call;
    EXPECT_EQ(LastErrorCode(), c.code) << c.call;
    EXPECT_STREQ(LastErrorText(), c.text) << c.call;
  }
}

TEST(LastError, EachThreadHasItsOwn) {
  TempDrive drive;
  ASSERT_FALSE(DeleteFile("C:\\missing.txt"));
  long otherCode = -1;
  std::string otherText = "?";
  std::thread other([&] {
    otherCode = LastErrorCode();
    otherText = LastErrorText();
  });
  other.join();
  EXPECT_EQ(otherCode, 0);
  EXPECT_EQ(otherText, "");
  EXPECT_EQ(LastErrorCode(), kErrorFileNotFound);
}

}  // namespace
