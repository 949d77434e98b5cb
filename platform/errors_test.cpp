// The last error as code and text, from calls that fail for different reasons.
#include "platform/errors.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/attributes.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "platform/names.h"
#include "platform/testing/test_support.h"

namespace {

bool ListFolder(const char* pattern) {
  std::vector<NamedEntry> entries;
  return ListNames(pattern, false, &entries);
}

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
      // A folder just listed answers for the names it lacks.
      {"attributes of a missing file in a listed folder",
       [] {
         return ListFolder("C:\\full\\*") &&
                GetAttributes("C:\\full\\gone.txt") == kInvalidAttributes;
       },
       kErrorFileNotFound, "The system cannot find the file specified."},
      {"read a missing file in a listed folder",
       [] { return ListFolder("C:\\full\\*") && !OpenFile("C:\\FULL\\gone.txt", "r"); },
       kErrorFileNotFound, "The system cannot find the file specified."},
      {"attributes of a name below a file",
       [] { return ListFolder("C:\\*") && GetAttributes("C:\\to.txt\\x") == kInvalidAttributes; },
       kErrorPathNotFound, "The system cannot find the path specified."},
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
