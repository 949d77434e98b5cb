// Dropped URI lists and copied files from the Linux desktop, as Windows
// paths and file URLs through the drive map.
#include "platform/dropped_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/testing/test_support.h"

namespace {

using Texts = std::vector<std::string>;

class DroppedFilesTest : public ::testing::Test {
 protected:
  // "<C>" in a text stands for the host folder of drive C:.
  std::string Host(const std::string& text) const {
    std::string out = text;
    for (size_t at; (at = out.find("<C>")) != std::string::npos;) out.replace(at, 3, drive_.Host(""));
    return out;
  }
  TempDrive drive_;
};

TEST_F(DroppedFilesTest, DroppedUriListsBecomeWindowsPathsInOrder) {
  struct Case {
    const char* list;
    Texts paths;
  } cases[] = {
      {"file://<C>/a.htm\r\nfile://<C>/My%20Pics\r\n", {"C:\\a.htm", "C:\\My Pics"}},
      {"file://<C>/b.htm\nfile://<C>/a.htm", {"C:\\b.htm", "C:\\a.htm"}},
      {"file://localhost<C>/100%25.htm\n", {"C:\\100%.htm"}},
      {"file://<C>/caf%C3%A9.htm", {"C:\\caf\xC3\xA9.htm"}},
      // Only two hexadecimal digits make an escape.
      {"file://<C>/%G1%4z%@0.htm", {"C:\\%G1%4z%@0.htm"}},
      {"<C>/plain path.htm\n", {"C:\\plain path.htm"}},
      {"file:///C:/pics/a.htm", {"C:\\pics\\a.htm"}},
      {"file:///d:", {"d:\\"}},
      {"file:///nowhere/a.htm\nhttp://example.com/a.htm\nfile://host<C>/a.htm\n# x\n", {}},
      {"", {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DroppedFilePaths(Host(c.list)), c.paths) << c.list;
  }
}

TEST_F(DroppedFilesTest, CopiedFilesBecomeFileUrlsOtherTextStays) {
  struct Case {
    const char* text;
    Texts items;
  } cases[] = {
      {"file:///C:/pics/a.htm", {"file:///C:/pics/a.htm"}},
      {"http://127.0.0.1/a.htm", {"http://127.0.0.1/a.htm"}},
      {"just words", {"just words"}},
      {"file://<C>/a%20b.htm", {"file:///C:/a b.htm"}},
      {"<C>/dir/100%.htm\n", {"file:///C:/dir/100%25.htm"}},
      {"copy\nfile://<C>/a.htm\nfile://<C>/b", {"file:///C:/a.htm", "file:///C:/b"}},
      {"<C>/a.htm\nnot a path", {"<C>/a.htm\nnot a path"}},
      {"/nowhere/a.htm", {}},
  };
  for (const Case& c : cases) {
    Texts expected;
    for (const std::string& item : c.items) expected.push_back(Host(item));
    EXPECT_EQ(CopiedTexts(Host(c.text)), expected) << c.text;
  }
}

}  // namespace
