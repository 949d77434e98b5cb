// The PATH line rules of envdirs, one line at a time.
#include "programs/envdirs/boot_path.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(FindPathAssignment, PathLines) {
  struct Case {
    const char* line;
    const char* value;  // null: not a PATH line
  } cases[] = {
      {"@SET PATH=C:\\DOS\n", "C:\\DOS\n"},
      {"path c:\\dos", "c:\\dos"},
      {"  \t@ set\tPath = =C:\\DOS", "C:\\DOS"},
      {"PATH\tC:\\DOS;%PATH%", "C:\\DOS;%PATH%"},
      {"PATH=", ""},
      {"SETPATH=x", nullptr},
      {"PATH;", nullptr},
      {"PATHS=x", nullptr},
      {"SET PATHEXT=.COM", nullptr},
      {"SET X=1", nullptr},
      {"REM PATH C:\\DOS", nullptr},
      {"PATH", nullptr},
  };
  for (const Case& c : cases) {
    const char* value = FindPathAssignment(c.line);
    if (!c.value) {
      EXPECT_EQ(nullptr, value) << c.line;
    } else {
      ASSERT_NE(nullptr, value) << c.line;
      EXPECT_STREQ(c.value, value) << c.line;
    }
  }
}

TEST(FindPathElement, WholeElementsInEitherForm) {
  struct Case {
    const char* value;
    int position;  // -1: none
  } cases[] = {
      {"C:\\TOOLS", 0},
      {"C:\\DOS;c:\\tools;C:\\BIN\n", 7},
      {"C:\\DOS; C:\\Tools\n", 8},
      {"\"C:\\PROGRA~1\\TOOLS\";%PATH%", 1},
      {"C:\\DOS;C:\\TOOLS\\;C:\\TOOLS \n", -1},
      {"C:\\TOOLSX;XC:\\TOOLS", -1},
      {"", -1},
  };
  for (const Case& c : cases) {
    const char* found = FindPathElement(c.value, "C:\\TOOLS", "C:\\PROGRA~1\\TOOLS");
    EXPECT_EQ(c.position, found ? static_cast<int>(found - c.value) : -1) << c.value;
  }
}

TEST(RemoveFromPathLine, Elements) {
  struct Case {
    const char* line;
    const char* result;  // null: the line is dropped
    bool removed;
  } cases[] = {
      {"PATH C:\\TOOLS\n", nullptr, true},
      {"PATH \"C:\\TOOLS;%PATH%\"\n", nullptr, true},
      {"PATH C:\\TOOLS;%path%\n", nullptr, true},
      {"SET PATH=C:\\TOOLS;\n", nullptr, true},
      {"PATH C:\\DOS;C:\\TOOLS;C:\\BIN\n", "PATH C:\\DOS;C:\\BIN\n", true},
      {"PATH C:\\DOS;C:\\TOOLS\n", "PATH C:\\DOS\n", true},
      {"PATH C:\\DOS;C:\\TOOLS", "PATH C:\\DOS", true},
      {"PATH C:\\TOOLS;C:\\DOS\n", "PATH C:\\DOS\n", true},
      {"PATH C:\\DOS; \tc:\\tools ;C:\\BIN\n", "PATH C:\\DOS; \tc:\\tools ;C:\\BIN\n", false},
      {"PATH C:\\DOS; \tc:\\tools;C:\\BIN\n", "PATH C:\\DOS;C:\\BIN\n", true},
      {"PATH \"C:\\TOOLS\";C:\\DOS\n", "PATH C:\\DOS\n", true},
      {"PATH C:\\DOS;\"C:\\TOOLS\"\n", "PATH C:\\DOS\n", true},
      {"PATH C:\\TOOLS;C:\\DOS;C:\\PROGRA~1\\TOOLS;C:\\TOOLS\n", "PATH C:\\DOS\n", true},
      {"SET PATH=C:\\TOOLS;\"%PATH%\"\n", nullptr, true},
      {"PATH C:\\DOS\n", "PATH C:\\DOS\n", false},
      {"ECHO C:\\TOOLS\n", "ECHO C:\\TOOLS\n", false},
  };
  BootDirectory directory;
  strcpy(directory.longPath, "C:\\TOOLS");
  strcpy(directory.shortPath, "C:\\PROGRA~1\\TOOLS");
  for (const Case& c : cases) {
    std::string line = c.line;
    bool drop = false;
    bool removed = RemoveFromPathLine(&line, directory, &drop);
    EXPECT_EQ(c.removed, removed) << c.line;
    EXPECT_EQ(c.result == nullptr, drop) << c.line;
    if (c.result) {
      EXPECT_EQ(c.result, line) << c.line;
    }
  }
}

}  // namespace
