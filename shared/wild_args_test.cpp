// Wildcard arguments against a small folder tree on a temporary drive.
#include "shared/wild_args.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/testing/test_support.h"

namespace {

using Names = std::vector<std::string>;

TEST(WildArgs, ArgumentsStandForTheFilesTheyMatch) {
  TempDrive drive;
  drive.Write("b.htm", "");
  drive.Write("A.HTM", "");
  drive.Write(".hidden.htm", "");
  drive.Write("c.txt", "");
  drive.MakeDir("d.htm");
  drive.Write("sub/x.htm", "");
  drive.Write("sub/y.jpg", "");
  struct Case {
    const char* argument;
    Names names;
  } cases[] = {
      {"*.htm", {".hidden.htm", "A.HTM", "b.htm"}},  // listing order; no directory
      {"?.HTM", {"A.HTM", "b.htm"}},                  // letter case ignored
      {"sub\\*.htm", {"sub\\x.htm"}},                 // the directory part stays as written
      {"SUB/*", {"SUB/x.htm", "SUB/y.jpg"}},
      {"C:\\sub\\*.jpg", {"C:\\sub\\y.jpg"}},
      {"*.gif", {"*.gif"}},                           // no match: as written
      {"nothing\\*.htm", {"nothing\\*.htm"}},
      {"s*\\x.htm", {"s*\\x.htm"}},                   // a wildcard only in the directory part
      {"c.txt", {"c.txt"}},
      {"/?", {"/?"}},
      {"", {""}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.names, ExpandWildArgument(c.argument)) << c.argument;
}

TEST(WildArgs, VectorKeepsTheProgramNameAndTheOrderOfTheArguments) {
  TempDrive drive;
  drive.Write("p2.htm", "");
  drive.Write("p1.htm", "");
  char program[] = "postpage", first[] = "z.htm", pattern[] = "p*.htm", last[] = "*.none";
  char* argv[] = {program, first, pattern, last, nullptr};
  WildArgs args(4, argv);
  ASSERT_EQ(5, args.Count());
  Names got;
  for (int i = 0; i < args.Count(); ++i) got.push_back(args.Vector()[i]);
  EXPECT_EQ((Names{"postpage", "z.htm", "p1.htm", "p2.htm", "*.none"}), got);
  EXPECT_EQ(nullptr, args.Vector()[5]);
}

}  // namespace
