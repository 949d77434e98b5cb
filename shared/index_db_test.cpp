#include "shared/index_db.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// What a writer put into a temporary stream.
template <typename Write>
std::string Written(Write write) {
  FILE* stream = tmpfile();
  EXPECT_TRUE(write(stream));
  std::string text;
  rewind(stream);
  for (int c; (c = getc(stream)) != EOF;) text += static_cast<char>(c);
  fclose(stream);
  return text;
}

TEST(IndexRecordTest, WritesNineFields) {
  IndexRecord record;
  record.title = "Beach";
  record.path = "C:\\photos\\beach.jpg";
  record.keywords = "Sea, Sand";
  record.thumbnails = "thumbs\\tn_beach_jpg.jpg:96,64";
  record.sortOrder = 7;
  record.kind = 2;
  EXPECT_EQ(Written([&](FILE* f) { return WriteIndexRecord(f, record); }),
            "Beach\tC:\\photos\\beach.jpg\t\tSea, Sand\t\tthumbs\\tn_beach_jpg.jpg:96,64\t7\t0\t0002\n");
}

TEST(IndexRecordTest, TabsAndLineBreaksInTextsBecomeBlanks) {
  IndexRecord record;
  record.title = "two\tfields";
  record.path = "C:\\a.htm";
  record.description = "line one\r\nline two\n";
  record.kind = 0x20;
  record.alias = 1;
  std::string line = Written([&](FILE* f) { return WriteIndexRecord(f, record); });
  EXPECT_EQ(line, "two fields\tC:\\a.htm\tline one  line two \t\t\t\t50\t1\t0020\n");

  EXPECT_EQ(Written([](FILE* f) { return WriteKeywordLine(f, "C:\\a\tb.htm", "x,\ny"); }),
            "C:\\a b.htm\tx, y\n");
}

TEST(IndexRecordTest, ParsesWhatItWrote) {
  char line[] = "T\tC:\\p\\index.htm\tD\tK\tF\tthumb.jpg:1,2\t12\t1\t0020";
  IndexRecord record;
  ASSERT_TRUE(ParseIndexLine(line, &record));
  EXPECT_STREQ(record.title, "T");
  EXPECT_STREQ(record.path, "C:\\p\\index.htm");
  EXPECT_STREQ(record.description, "D");
  EXPECT_STREQ(record.keywords, "K");
  EXPECT_STREQ(record.fileInfo, "F");
  EXPECT_STREQ(record.thumbnails, "thumb.jpg:1,2");
  EXPECT_EQ(record.sortOrder, 12);
  EXPECT_EQ(record.alias, 1);
  EXPECT_EQ(record.kind, 0x20);
}

TEST(IndexRecordTest, RefusesLinesWithoutNineFields) {
  for (const char* text : {"", "T\tP\tD\tK\tF\tT\t50\t0", "T\tP\tD\tK\tF\tT\t50\t0\t", "T\tP\tD\tK\tF\tT\t50\t0\tzz"}) {
    std::string copy = text;
    IndexRecord record;
    EXPECT_FALSE(ParseIndexLine(copy.data(), &record)) << text;
    EXPECT_EQ(record.title, nullptr) << text;
  }
}

TEST(VisibleKeywordsTest, DropsHiddenKeywords) {
  struct Case {
    const char* list;
    const char* visible;
  } cases[] = {
      {"_x, Beach", "Beach"},
      {" sea ,, _sky,sun ", "sea, sun"},
      {"_only, __private", ""},
      {"", ""},
  };
  for (const Case& c : cases) {
    String visible = VisibleKeywords(c.list);
    EXPECT_STREQ(visible.IsNull() ? "" : visible.Text(), c.visible) << c.list;
  }
  EXPECT_TRUE(VisibleKeywords("_x").IsNull());
  EXPECT_TRUE(VisibleKeywords(nullptr).IsNull());
}

}  // namespace
