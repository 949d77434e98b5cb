#include "platform/walk_guard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/listing.h"
#include "platform/names.h"
#include "platform/testing/test_support.h"

namespace {

// The attributes a listing of the entry's folder gives it.
uint32_t ListedAttributes(const std::string& path) {
  std::string folder = path.substr(0, path.rfind('\\'));
  std::string name = path.substr(path.rfind('\\') + 1);
  FindData data;
  FindState* state = FindFirst((folder + "\\*").c_str(), &data);
  uint32_t attributes = kInvalidAttributes;
  for (bool more = state != nullptr; more; more = FindNext(state, &data)) {
    if (name == data.name) attributes = data.attributes;
  }
  FindClose(state);
  return attributes;
}

class WalkGuardTest : public ::testing::Test {
 protected:
  WalkGuardTest() {
    drive.MakeDir("site/a/deep");
    drive.MakeDir("outside/more");
    drive.Link("site/a/loop", "..");           // back to an ancestor
    drive.Link("site/a/self", ".");            // to itself
    drive.Link("site/b", "a");                 // to a directory inside the tree
    drive.Link("site/out", "../outside");      // out of the tree
    drive.Link("site/zout", "../outside");     // out again, to the same place
    drive.Link("outside/back", "../site");     // from outside back into the tree
    drive.Link("outside/up", "..");            // to an ancestor outside the tree
    drive.Link("site/more", "../outside/more");
    drive.Link("site/gone", "../missing");     // leads nowhere
    drive.Write("site/file.htm", "x");
    drive.Link("site/page.htm", "file.htm");   // a link to a file is no directory link
  }
  TempDrive drive;
};

TEST_F(WalkGuardTest, ListingsMarkDirectoryLinks) {
  EXPECT_EQ(ListedAttributes("C:\\site\\a"), kAttrDirectory);
  for (const char* link : {"C:\\site\\b", "C:\\site\\out", "C:\\site\\a\\loop"}) {
    EXPECT_TRUE(IsDirectoryLink(ListedAttributes(link))) << link;
  }
  EXPECT_FALSE(IsDirectoryLink(ListedAttributes("C:\\site\\page.htm")));
  EXPECT_FALSE(ListedAttributes("C:\\site\\page.htm") & kAttrReparsePoint);
  std::vector<NamedEntry> entries;
  ASSERT_TRUE(ListNames("C:\\site\\*", false, &entries));
  std::vector<std::string> links;
  for (const NamedEntry& entry : entries) {
    if (entry.link && entry.directory) links.push_back(entry.name);
  }
  EXPECT_EQ(links, (std::vector<std::string>{"b", "more", "out", "zout"}));
}

// The decisions of one walk, in the order a depth-first walk meets them.
TEST_F(WalkGuardTest, EachRealDirectoryIsEnteredOnce) {
  WalkGuard guard("C:\\site");
  struct Step {
    const char* path;
    bool enter;
  } steps[] = {
      {"C:\\site\\a", true},
      {"C:\\site\\a\\deep", true},
      {"C:\\site\\a\\loop", false},   // its own ancestor
      {"C:\\site\\a\\self", false},   // itself
      {"C:\\site\\b", false},         // inside the tree: reached as site\a
      {"C:\\site\\gone", false},
      {"C:\\site\\more", true},       // out of the tree, first time
      {"C:\\site\\out", true},        // out of the tree, first time
      {"C:\\site\\out\\back", false}, // back into the tree
      {"C:\\site\\out\\more", false}, // entered already, through site\more
      {"C:\\site\\out\\up", false},   // an ancestor of where it stands
      {"C:\\site\\zout", false},      // the same place once more
      {"C:\\site\\a", false},         // a real directory twice (a bind mount, say)
  };
  for (const Step& step : steps) {
    EXPECT_EQ(guard.Enter(step.path, ListedAttributes(step.path)), step.enter) << step.path;
  }
}

}  // namespace
