#include "shared/entry.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

std::string Get(Entry& entry, const char* name) {
  const char* value = entry.GetAttribute(name);
  return value ? value : "<null>";
}

const char* const kAllNames[] = {"TITLE", "DESCRIPTION", "DESC", "TITLEDESC", "TDESC", "HREF",
                                 "THUMBNAIL", "THUMB", "THUMBWIDTH", "THUMBHEIGHT", "COUNT",
                                 "SETS", "SIZE", "*", "#", "beach"};

}  // namespace

TEST(Entry, NewEntryHasDefaultsAndNoAttributes) {
  Entry entry;
  EXPECT_EQ(entry.kind, 4);
  EXPECT_EQ(entry.sortOrder, 50);
  EXPECT_EQ(entry.slideIndex, -1);
  EXPECT_EQ(entry.thumbWidth, 0);
  EXPECT_EQ(entry.thumbHeight, 0);
  EXPECT_EQ(entry.alias, 0);
  EXPECT_EQ(entry.href, nullptr);
  EXPECT_EQ(entry.thumbnail, nullptr);
  EXPECT_EQ(entry.title, nullptr);
  EXPECT_EQ(entry.description, nullptr);
  EXPECT_EQ(entry.fileInfo, nullptr);
  EXPECT_EQ(entry.keywords, nullptr);
  for (const char* name : kAllNames) EXPECT_FALSE(entry.HasAttribute(name)) << name;
}

TEST(Entry, TakesTheCurrentDefaultSortOrder) {
  int saved = DefaultSortOrder;
  DefaultSortOrder = 10;
  Entry entry;
  DefaultSortOrder = saved;
  EXPECT_EQ(entry.sortOrder, 10);
}

// Every program reads "defaultorder" alike: as atoi reads an int, and a
// number beyond int clamped, so it orders as the same SORTORDER text does.
TEST(Entry, DefaultSortOrderKeyIsReadAsANumber) {
  struct Case {
    const char* value;
    int order;
  } const cases[] = {
      {"10", 10},          {" \t+7", 7},   {"-3", -3},           {"12abc", 12},
      {"abc", 0},          {"", 0},        {"2147483647", 2147483647},
      {"2147483648", 2147483647},          {"-2147483649", -2147483647 - 1},
      {"99999999999999999999", 2147483647},
  };
  for (const Case& c : cases) {
    SetDefaultSortOrder(c.value);
    EXPECT_EQ(DefaultSortOrder, c.order) << c.value;
    Entry entry;
    EXPECT_EQ(entry.sortOrder, c.order) << c.value;
  }
  DefaultSortOrder = kInitialSortOrder;
}

TEST(Entry, SettersCopyAndClear) {
  Entry entry;
  char text[] = "Beach";
  entry.SetTitle(text);
  text[0] = 'X';
  EXPECT_STREQ(entry.title, "Beach");
  entry.SetTitle(entry.title);  // its own text
  EXPECT_STREQ(entry.title, "Beach");
  entry.SetTitle(nullptr);
  EXPECT_EQ(entry.title, nullptr);
  entry.SetHref("a.htm");
  entry.SetThumbnail("thumbs/tn_a_jpg.jpg");
  entry.SetDescription("d");
  entry.SetFileInfo("f");
  entry.SetKeywords("k");
  Entry copy(entry);
  entry.SetHref("b.htm");
  EXPECT_STREQ(copy.href, "a.htm");
  EXPECT_STREQ(copy.keywords, "k");
  copy = entry;
  EXPECT_STREQ(copy.href, "b.htm");
  EXPECT_NE(copy.href, entry.href);
}

TEST(Entry, TextAttributesByName) {
  Entry entry;
  entry.SetTitle("Sunset");
  entry.SetDescription("Over the sea");
  entry.SetHref("sunset.htm");
  entry.SetThumbnail("thumbs/tn_sunset_jpg.jpg");
  struct Case {
    const char* name;
    const char* value;
  } cases[] = {
      {"TITLE", "Sunset"},
      {"title", "Sunset"},
      {"Description", "Over the sea"},
      {"desc", "Over the sea"},
      {"TITLEDESC", "Sunset; Over the sea"},
      {"tdesc", "Sunset; Over the sea"},
      {"HREF", "sunset.htm"},
      {"THUMBNAIL", "thumbs/tn_sunset_jpg.jpg"},
      {"thumb", "thumbs/tn_sunset_jpg.jpg"},
      {"sunset", "<null>"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(entry.HasAttribute(c.name), std::string(c.value) != "<null>") << c.name;
    EXPECT_EQ(Get(entry, c.name), c.value) << c.name;
  }
}

TEST(Entry, TitleDesc) {
  Entry entry;
  entry.SetTitle("A");
  EXPECT_EQ(Get(entry, "TITLEDESC"), "A");
  entry.SetDescription("");
  EXPECT_EQ(Get(entry, "TITLEDESC"), "A");
  entry.SetTitle(nullptr);
  entry.SetDescription("B");
  EXPECT_TRUE(entry.HasAttribute("TITLEDESC"));
  EXPECT_EQ(Get(entry, "TITLEDESC"), "; B");
  std::string longTitle(2000, 't');
  entry.SetTitle(longTitle.c_str());
  EXPECT_EQ(Get(entry, "TITLEDESC"), std::string(1023, 't'));
}

TEST(Entry, EmptyTextsAreAbsent) {
  Entry entry;
  entry.SetTitle("");
  entry.SetKeywords("");
  entry.SetThumbnail("");
  entry.thumbWidth = 5;
  EXPECT_FALSE(entry.HasAttribute("TITLE"));
  EXPECT_FALSE(entry.HasAttribute("TITLEDESC"));
  EXPECT_FALSE(entry.HasAttribute("THUMB"));
  EXPECT_FALSE(entry.HasAttribute("THUMBWIDTH"));
  EXPECT_FALSE(entry.HasAttribute("*"));
}

TEST(Entry, ThumbnailSize) {
  Entry entry;
  entry.thumbWidth = 120;
  EXPECT_FALSE(entry.HasAttribute("THUMBWIDTH"));
  EXPECT_EQ(Get(entry, "THUMBWIDTH"), "120");
  EXPECT_EQ(Get(entry, "THUMBHEIGHT"), "0");
  entry.SetThumbnail("t.jpg");
  EXPECT_TRUE(entry.HasAttribute("ThumbWidth"));
  EXPECT_FALSE(entry.HasAttribute("THUMBHEIGHT"));
  entry.thumbHeight = 90;
  EXPECT_TRUE(entry.HasAttribute("THUMBHEIGHT"));
  EXPECT_EQ(Get(entry, "thumbheight"), "90");
}

TEST(Entry, FileInformationNumbers) {
  Entry entry;
  entry.SetFileInfo("36 KB; {100, 640, 480, 3, 3, 12, 0}");
  EXPECT_TRUE(entry.HasAttribute("COUNT"));
  EXPECT_EQ(Get(entry, "COUNT"), "12");
  EXPECT_TRUE(entry.HasAttribute("SIZE"));
  EXPECT_EQ(Get(entry, "SIZE"), "300");
  EXPECT_FALSE(entry.HasAttribute("SETS"));
  EXPECT_EQ(Get(entry, "SETS"), "0");

  entry.SetFileInfo("2 sets; {0, 0, 0, 0, 0, 4, 2}");
  EXPECT_TRUE(entry.HasAttribute("sets"));
  EXPECT_EQ(Get(entry, "SETS"), "2");
  EXPECT_FALSE(entry.HasAttribute("SIZE"));
  EXPECT_EQ(Get(entry, "SIZE"), "0");

  entry.SetFileInfo("12 KB");
  EXPECT_FALSE(entry.HasAttribute("COUNT"));
  EXPECT_EQ(Get(entry, "COUNT"), "<null>");
  EXPECT_EQ(Get(entry, "SETS"), "<null>");
  EXPECT_EQ(Get(entry, "SIZE"), "<null>");
}

TEST(Entry, KeywordAttributes) {
  Entry entry;
  entry.SetKeywords("_hidden, Birds");
  EXPECT_TRUE(entry.HasAttribute("#"));
  EXPECT_TRUE(entry.HasAttribute("*"));
  EXPECT_TRUE(entry.HasAttribute("birds"));
  EXPECT_TRUE(entry.HasAttribute("_HIDDEN"));
  EXPECT_FALSE(entry.HasAttribute("bird"));
  EXPECT_EQ(Get(entry, "birds"), "<null>");
  EXPECT_EQ(Get(entry, "*"), "<null>");
  entry.SetKeywords("_a, _b");
  EXPECT_FALSE(entry.HasAttribute("#"));
  EXPECT_TRUE(entry.HasAttribute("*"));
  // Names outside the attribute table are keywords, SORTORDER and KEYWORDS too.
  entry.SetKeywords("sortorder");
  EXPECT_TRUE(entry.HasAttribute("SORTORDER"));
  EXPECT_FALSE(entry.HasAttribute("KEYWORDS"));
  EXPECT_EQ(Get(entry, "SORTORDER"), "<null>");
}

TEST(Entry, AttributeNamesThatHoldATableNameAreKeywords) {
  Entry entry;
  entry.SetTitle("t");
  entry.SetKeywords("title x, #x");
  EXPECT_TRUE(entry.HasAttribute("title x"));
  EXPECT_TRUE(entry.HasAttribute("#x"));
  EXPECT_FALSE(entry.HasAttribute("TITLES"));
}

TEST(Entry, WorksThroughTheStoreInterface) {
  Entry entry;
  entry.SetTitle("Beach");
  AttributeStore* store = &entry;
  EXPECT_TRUE(store->HasAttribute("TITLE"));
  EXPECT_STREQ(store->GetAttribute("TITLE"), "Beach");
}

// Numbers come in a buffer of the reading thread's own: workers that read
// their entries side by side each get their own entry's values.
TEST(Entry, WorkerThreadsReadTheirOwnNumbers) {
  constexpr int kWorkers = 6;
  std::vector<Entry> entries(kWorkers);
  for (int i = 0; i < kWorkers; ++i) {
    entries[i].thumbWidth = 1000 + i;
    entries[i].SetTitle(("title " + std::to_string(i)).c_str());
    entries[i].SetDescription("d");
  }
  std::vector<int> wrong(kWorkers, 0);
  std::vector<std::thread> workers;
  for (int i = 0; i < kWorkers; ++i) {
    workers.emplace_back([&entries, &wrong, i] {
      std::string width = std::to_string(1000 + i);
      std::string titleDesc = "title " + std::to_string(i) + "; d";
      for (int round = 0; round < 20000; ++round) {
        if (Get(entries[i], "THUMBWIDTH") != width) ++wrong[i];
        if (Get(entries[i], "TITLEDESC") != titleDesc) ++wrong[i];
      }
    });
  }
  for (std::thread& worker : workers) worker.join();
  EXPECT_EQ(wrong, std::vector<int>(kWorkers, 0));
}
