#include "programs/galleria/index_request.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/filetime.h"
#include "programs/galleria/testing/page_fixture.h"
#include "shared/cgi/cgi.h"
#include "shared/index_db.h"

namespace {

using namespace page_fixture;

// The listing flags that CGI mode passes: pages, images, indexed directories.
constexpr int kCgiMask = 0xE3;

std::string Line(const std::string& title, const std::string& path, const std::string& rest) {
  return title + "\t" + path + "\t" + rest + "\n";
}

// Five records of the kinds CGI mode lists and one it does not (0004).
const std::string kDatabase =
    Line("Beach", "C:\\site\\trip\\beach.jpg",
         "Sand & sea\tsea, sand\t\tthumbs\\tn_beach_jpg.jpg:96,72\t50\t0\t0002") +
    Line("Harbour", "C:\\site\\trip\\harbour.htm", "\tsea, boat\t\t\t40\t0\t0001") +
    Line("Rome", "C:\\site\\rome\\index.htm",
         "City\tcity\t12 slides; {1000, 0, 0, 12, 0, 12, "
         "0}\tthumb.gif:64,48;thumb.jpg:80,60\t50\t1\t0020") +
    Line("Sunset", "C:\\site\\trip\\sunset.jpg", "\tsea\t\t\t50\t0\t0002") +
    Line("Trip", "C:\\site\\trip\\index.htm", "\ttravel\t\t\t50\t0\t0020") +
    Line("Video", "C:\\site\\trip\\video.htm", "\tsea\t\t\t50\t0\t0004");

using Titles = std::vector<std::string>;

struct Answer {
  int count = 0;
  std::vector<std::string> titles;
  PagingState paging;
};

class IndexDbTest : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    CopyBounded(indexSettings.startDir, "C:\\site", sizeof indexSettings.startDir);
    CopyBounded(indexSettings.startUrl, "/photos", sizeof indexSettings.startUrl);
    drive.Write("site/index.db", kDatabase);
  }
  void TearDown() override {
    Clear();
    PageTest::TearDown();
  }
  // Answers the request (a query string), keeping the entries in `entries`.
  Answer Ask(const std::string& request, int capacity = 1000, int mask = kCgiMask) {
    Clear();
    CGIArgs args(request);
    entries.assign(static_cast<size_t>(capacity), nullptr);
    pagingState = PagingState();
    Answer answer;
    answer.count = ReadIndexRequest(&args, entries.data(), capacity, mask);
    for (int i = 0; i < answer.count; ++i) answer.titles.push_back(Chars(entries[i]->title));
    answer.paging = pagingState;
    return answer;
  }
  std::vector<std::string> TitlesOf(const std::string& request) { return Ask(request).titles; }
  void Clear() {
    for (Entry* entry : entries) delete entry;
    entries.clear();
  }
  void UseCache() {
    CopyBounded(indexSettings.cacheFile, "C:\\site\\cache.db", sizeof indexSettings.cacheFile);
  }
  void SetWriteTime(const std::string& relative, FileTime time) {
    ASSERT_TRUE(SetFileTimes(drive.Win(relative).c_str(), nullptr, nullptr, &time));
  }
  // Sets index.db's time well before the cache's, as if it had not changed.
  void KeepDatabaseOlder() {
    FileTime cache = 0;
    ASSERT_TRUE(GetFileTimes("C:\\site\\cache.db", nullptr, nullptr, &cache));
    SetWriteTime("site/index.db", cache - 10'000'000);
  }
  static const char* Chars(const char* text) { return text ? text : "(null)"; }

  std::vector<Entry*> entries;
};

TEST_F(IndexDbTest, KindsAndQueriesSelectTheRecords) {
  struct Case {
    const char* request;
    Titles titles;
  } const cases[] = {
      {"", {"Beach", "Harbour", "Rome", "Sunset", "Trip"}},
      {"type=d", {"Rome", "Trip"}},
      {"type=Directories", {"Rome", "Trip"}},
      {"type=F", {"Beach", "Harbour", "Sunset"}},
      {"type=x", {"Beach", "Harbour", "Rome", "Sunset", "Trip"}},
      {"query=sea", {"Beach", "Harbour", "Sunset"}},
      {"query=sea+%26+%21boat", {"Beach", "Sunset"}},
      {"query=sea&type=d", {}},
      {"query=TITLE+%3C%3C+%27r%27", {"Rome"}},
      {"query=HREF+~+%27*/trip/*%27&type=f", {"Beach", "Harbour", "Sunset"}},
      {"query=DESCRIPTION", {"Beach", "Rome"}},
      {"query=COUNT+%3E+10", {"Rome"}},
      {"query=nothing", {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TitlesOf(c.request), c.titles) << c.request;
  }
  // The caller's mask decides which kinds are listed at all.
  EXPECT_EQ(Ask("query=sea", 1000, 0x0F).titles, (Titles{"Beach", "Harbour", "Sunset", "Video"}));
}

TEST_F(IndexDbTest, TheWindowOfResultsAndThePagingState) {
  struct Case {
    const char* request;
    int capacity;
    Titles titles;
    int first, pageSize, total;
  } const cases[] = {
      {"", 1000, {"Beach", "Harbour", "Rome", "Sunset", "Trip"}, 0, 1000, 5},
      {"first=1&count=2", 1000, {"Harbour", "Rome"}, 1, 2, 5},
      {"first=4&count=2", 1000, {"Trip"}, 4, 2, 5},
      {"first=10&count=2", 1000, {}, 10, 2, 5},
      {"count=0", 1000, {}, 0, 0, 5},
      {"count=5000", 3, {"Beach", "Harbour", "Rome"}, 0, 3, 5},
      {"", 2, {"Beach", "Harbour"}, 0, 2, 5},
      // Negative numbers count as 0: no window starts before the results.
      {"first=-3&count=2", 1000, {"Beach", "Harbour"}, 0, 2, 5},
      {"count=-1", 1000, {}, 0, 0, 5},
      {"first=2147483647&count=1000", 1000, {}, 2147483647, 1000, 5},
      {"first=2&count=2&type=f", 1000, {"Sunset"}, 2, 2, 3},
  };
  for (const Case& c : cases) {
    Answer answer = Ask(c.request, c.capacity);
    EXPECT_EQ(answer.count, static_cast<int>(c.titles.size())) << c.request;
    EXPECT_EQ(answer.titles, c.titles) << c.request;
    EXPECT_EQ(answer.paging.first, c.first) << c.request;
    EXPECT_EQ(answer.paging.pageSize, c.pageSize) << c.request;
    EXPECT_EQ(answer.paging.total, c.total) << c.request;
  }
}

TEST_F(IndexDbTest, BaseUrlCarriesTheRequestFormEncoded) {
  CopyBounded(indexSettings.cgiUrl, "/cgi-bin/galleria", sizeof indexSettings.cgiUrl);
  struct Case {
    const char* request;
    const char* url;
  } const cases[] = {
      {"", "/cgi-bin/galleria?"},
      {"first=5&count=5", "/cgi-bin/galleria?"},
      {"id=s1&type=d&query=sea&config=gallery",
       "/cgi-bin/galleria?config=gallery&amp;query=sea&amp;type=d&amp;id=s1"},
      // Whatever the request holds, only letters, digits, '+' and escapes
      // reach the page.
      {"query=%22%3E%3Cscript%3Ealert(1)%3C/script%3E&id=a%26b c",
       "/cgi-bin/galleria?query=%22%3E%3Cscript%3Ealert%281%29%3C%2Fscript%3E&amp;id=a%26b+c"},
  };
  for (const Case& c : cases) {
    Ask(c.request);
    EXPECT_EQ(Text(pagingState.cgiBaseUrl), c.url) << c.request;
  }
}

TEST_F(IndexDbTest, RecordsBecomeEntriesWithURLsAndThumbnails) {
  Answer answer = Ask("");
  ASSERT_EQ(answer.count, 5);
  Entry* beach = entries[0];
  EXPECT_STREQ(beach->href, "/photos/trip/beach.jpg");
  EXPECT_STREQ(beach->description, "Sand & sea");
  EXPECT_STREQ(beach->keywords, "sea, sand");
  EXPECT_EQ(beach->fileInfo, nullptr);
  EXPECT_STREQ(beach->thumbnail, "/photos/trip/thumbs/tn_beach_jpg.jpg");
  EXPECT_EQ(beach->thumbWidth, 96);
  EXPECT_EQ(beach->thumbHeight, 72);
  EXPECT_EQ(beach->kind, kEntryImage);
  EXPECT_EQ(beach->alias, 1);
  EXPECT_EQ(beach->slideIndex, -1);
  Entry* harbour = entries[1];
  EXPECT_EQ(harbour->description, nullptr);
  EXPECT_EQ(harbour->thumbnail, nullptr);
  EXPECT_EQ(harbour->sortOrder, 40);
  Entry* rome = entries[2];
  EXPECT_STREQ(rome->href, "/photos/rome/index.htm");
  EXPECT_STREQ(rome->fileInfo, "12 slides; {1000, 0, 0, 12, 0, 12, 0}");
  // The folder thumbnail names are tried in their order: thumb.jpg first.
  EXPECT_STREQ(rome->thumbnail, "/photos/rome/thumb.jpg");
  EXPECT_EQ(rome->thumbWidth, 80);
  EXPECT_EQ(rome->kind, kEntryIndexedDirectory);
}

TEST_F(IndexDbTest, ThumbnailChoice) {
  struct Case {
    const char* list;
    const char* directory;
    const char* url;
    int width, height;
  } const cases[] = {
      {"thumbs\\tn_a_jpg.jpg:96,72", "C:\\site\\trip", "/photos/trip/thumbs/tn_a_jpg.jpg", 96, 72},
      {"THUMB.GIF:10,20;Thumb.JPG:30,40", "C:\\site\\rome", "/photos/rome/Thumb.JPG", 30, 40},
      {"thumb.gif:10,20", "C:\\site\\rome\\", "/photos/rome/thumb.gif", 10, 20},
      {"thumb.gif", "C:\\site\\rome", "/photos/rome/thumb.gif", 0, 0},
      {"thumb.gif:15", "C:\\site\\rome", "/photos/rome/thumb.gif", 15, 0},
      {"other.jpg:10,20", "C:\\site\\rome", nullptr, 0, 0},
      {"", "C:\\site\\rome", nullptr, 0, 0},
      {nullptr, "C:\\site\\rome", nullptr, 0, 0},
      // Only ten items are read.
      {"1:1,1;2:1,1;3:1,1;4:1,1;5:1,1;6:1,1;7:1,1;8:1,1;9:1,1;10:1,1;thumb.jpg:5,5",
       "C:\\site\\rome", nullptr, 0, 0},
      {"a:1,1;b:1,1;c:1,1;d:1,1;e:1,1;f:1,1;g:1,1;h:1,1;i:1,1;thumb.jpg:5,5", "C:\\site\\rome",
       "/photos/rome/thumb.jpg", 5, 5},
  };
  for (const Case& c : cases) {
    Entry entry;
    entry.SetThumbnail("old.jpg");
    entry.thumbWidth = entry.thumbHeight = 9;
    ChooseThumbnail(c.list, c.directory, &entry);
    const char* list = c.list ? c.list : "(null)";
    EXPECT_STREQ(entry.thumbnail, c.url) << list;
    EXPECT_EQ(entry.thumbWidth, c.width) << list;
    EXPECT_EQ(entry.thumbHeight, c.height) << list;
  }
}

TEST_F(IndexDbTest, DatabaseIsFoundUpToFourLevelsUp) {
  drive.Write("site/index.db", "");
  struct Case {
    const char* dbAt;
    const char* name;
    bool found;
  } const cases[] = {
      {"site/gallery/index.db", "index.db", true},  // two levels up
      {"site/index.db", "index.db", true},
      {"index.db", "index.db", true},  // four levels up
      {"site/photos.db", "photos.db", true},
      {"site/photos.db", "index.db", false},
  };
  drive.MakeDir("site/gallery/a/b");
  drive.Chdir("site/gallery/a/b");
  for (const Case& c : cases) {
    for (const char* at :
         {"site/gallery/index.db", "site/index.db", "index.db", "site/photos.db"}) {
      DeleteFile(drive.Win(at).c_str());
    }
    drive.Write(c.dbAt, Line("Beach", "C:\\site\\beach.jpg", "\tsea\t\t\t50\t0\t0002"));
    CopyBounded(indexSettings.indexDb, c.name, sizeof indexSettings.indexDb);
    std::string path;
    FILE* db = FindIndexDB(&path);
    EXPECT_EQ(db != nullptr, c.found) << c.dbAt;
    if (db) fclose(db);
    EXPECT_EQ(Ask("").count, c.found ? 1 : -1) << c.dbAt;
  }
  // Five levels up is too far.
  drive.MakeDir("site/gallery/a/b/c");
  drive.Chdir("site/gallery/a/b/c");
  DeleteFile(drive.Win("site/photos.db").c_str());
  drive.Write("index.db", kDatabase);
  CopyBounded(indexSettings.indexDb, "index.db", sizeof indexSettings.indexDb);
  EXPECT_EQ(Ask("").count, -1);
}

TEST_F(IndexDbTest, TheScanStopsAtTheFirstLineThatIsNoRecord) {
  struct Case {
    const char* name;
    std::string bad;
  } const cases[] = {
      {"eight fields", "Odd\tC:\\site\\odd.htm\t\tsea\t\t\t50\t0\n"},
      {"kind not hexadecimal", "Odd\tC:\\site\\odd.htm\t\tsea\t\t\t50\t0\tzz\n"},
      {"empty line", "\n"},
  };
  for (const Case& c : cases) {
    drive.Write("site/index.db", Line("Beach", "C:\\site\\a.jpg", "\tsea\t\t\t50\t0\t0002") +
                                     c.bad +
                                     Line("Sunset", "C:\\site\\b.jpg", "\tsea\t\t\t50\t0\t0002"));
    Answer answer = Ask("");
    EXPECT_EQ(answer.titles, Titles{"Beach"}) << c.name;
    EXPECT_EQ(answer.paging.total, 1) << c.name;
  }
  // CR LF line ends and a last line without line feed are records too.
  drive.Write("site/index.db",
              "Beach\tC:\\site\\a.jpg\t\tsea\t\t\t50\t0\t0002\r\n"
              "Sunset\tC:\\site\\b.jpg\t\tsea\t\t\t50\t0\t0002");
  Answer answer = Ask("type=f");
  EXPECT_EQ(answer.titles, (Titles{"Beach", "Sunset"}));
  EXPECT_EQ(entries[1]->kind, kEntryImage);
}

TEST_F(IndexDbTest, LongRecordsAreReadWhole) {
  std::string description(40000, 'd');
  drive.Write("site/index.db",
              Line("Long", "C:\\site\\a.htm", description + "\tsea\t\t\t50\t0\t0001") +
                  Line("After", "C:\\site\\b.htm", "\tsea\t\t\t50\t0\t0001"));
  EXPECT_EQ(TitlesOf(""), (Titles{"Long", "After"}));
  EXPECT_EQ(std::string(entries[0]->description), description);
}

// --- Result cache ------------------------------------------------------------

TEST_F(IndexDbTest, WithoutIdOrCacheFileNoCacheIsKept) {
  Ask("query=sea");
  UseCache();
  Ask("query=sea");
  EXPECT_FALSE(drive.Exists("site/cache.db"));
  indexSettings.cacheFile[0] = '\0';
  Ask("query=sea&id=s1");
  EXPECT_EQ(drive.Files("site"), (std::vector<std::string>{"icons/weft.ini", "index.db"}));
}

TEST_F(IndexDbTest, LaterPagesOfARequestComeFromTheCache) {
  UseCache();
  Answer first = Ask("query=sea&id=s1&count=2");
  EXPECT_EQ(first.titles, (Titles{"Beach", "Harbour"}));
  EXPECT_EQ(first.paging.total, 3);
  EXPECT_EQ(drive.Files("site"),
            (std::vector<std::string>{"cache.db", "icons/weft.ini", "index.db"}));

  // A record added without a newer time is not seen: the cache answers.
  drive.Write("site/index.db",
              kDatabase + Line("Wave", "C:\\site\\w.jpg", "\tsea\t\t\t50\t0\t0002"));
  KeepDatabaseOlder();
  Answer second = Ask("query=sea&id=s1&first=2&count=2");
  EXPECT_EQ(second.titles, Titles{"Sunset"});
  EXPECT_EQ(second.paging.total, 3);
  EXPECT_STREQ(entries[0]->thumbnail, nullptr);
  EXPECT_STREQ(entries[0]->href, "/photos/trip/sunset.jpg");

  // Another id, query, configuration or kind builds the cache anew.
  for (const char* request :
       {"query=sea&id=s2&first=2", "query=sea+&id=s1&first=2", "query=sea&id=s1&config=x&first=2",
        "query=sea&id=s1&type=f&first=2"}) {
    Answer other = Ask(request);
    EXPECT_EQ(other.titles, (Titles{"Sunset", "Wave"})) << request;
    EXPECT_EQ(other.paging.total, 4) << request;
    KeepDatabaseOlder();
  }
}

TEST_F(IndexDbTest, ANewerDatabaseRebuildsTheCache) {
  UseCache();
  Ask("query=sea&id=s1");
  drive.Write("site/index.db",
              kDatabase + Line("Wave", "C:\\site\\w.jpg", "\tsea\t\t\t50\t0\t0002"));
  FileTime cache = 0;
  ASSERT_TRUE(GetFileTimes("C:\\site\\cache.db", nullptr, nullptr, &cache));
  SetWriteTime("site/index.db", cache + 10'000'000);
  Answer answer = Ask("query=sea&id=s1&first=3");
  EXPECT_EQ(answer.titles, Titles{"Wave"});
  EXPECT_EQ(answer.paging.total, 4);
}

TEST_F(IndexDbTest, ACacheThatNoLongerFitsTheDatabaseIsRebuilt) {
  UseCache();
  Ask("query=sea&id=s1");
  // The database rewritten with longer lines but an old time: the stored
  // positions now point into the middle of lines.
  std::string longer = kDatabase;
  longer.replace(0, 5, "Beaches");
  drive.Write("site/index.db", longer);
  KeepDatabaseOlder();
  EXPECT_EQ(TitlesOf("query=sea&id=s1&first=1"), (Titles{"Harbour", "Sunset"}));
  EXPECT_EQ(TitlesOf("query=sea&id=s1"), (Titles{"Beaches", "Harbour", "Sunset"}));

  // A damaged cache file is not used either.
  for (const std::string& damage : {std::string("garbage"), std::string(1096, '\0'),
                                    drive.Read("site/cache.db").substr(0, 1100)}) {
    drive.Write("site/cache.db", damage);
    SetWriteTime("site/index.db", 0);
    Answer answer = Ask("query=sea&id=s1");
    EXPECT_EQ(answer.titles, (Titles{"Beaches", "Harbour", "Sunset"}));
    EXPECT_EQ(answer.paging.total, 3);
  }
}

TEST_F(IndexDbTest, ShuffledResultsKeepTheirOrderForTheRequest) {
  UseCache();
  indexSettings.shuffle = true;
  Titles all;
  for (const char* page : {"id=s1&count=2", "id=s1&first=2&count=2", "id=s1&first=4&count=2"}) {
    Answer answer = Ask(page);
    EXPECT_EQ(answer.paging.total, 5) << page;
    KeepDatabaseOlder();
    all.insert(all.end(), answer.titles.begin(), answer.titles.end());
  }
  Titles sorted = all;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, (Titles{"Beach", "Harbour", "Rome", "Sunset", "Trip"}));
  // The same pages again: the same order.
  EXPECT_EQ(TitlesOf("id=s1&count=5"), all);
  // Without an id nothing is shuffled.
  EXPECT_EQ(TitlesOf("count=5"), (Titles{"Beach", "Harbour", "Rome", "Sunset", "Trip"}));
}

TEST_F(IndexDbTest, ARequestWithoutDatabaseReadsNothing) {
  DeleteFile("C:\\site\\index.db");
  Answer answer = Ask("query=sea");
  EXPECT_EQ(answer.count, -1);
  EXPECT_TRUE(answer.paging.cgiBaseUrl.IsNull());
}

TEST(IndexRequestTest, ArgumentsAndKindMask) {
  struct Case {
    const char* request;
    int first, count, mask;
  } const cases[] = {
      {"", 0, 1000, 0x3F},          {"first=20&count=10", 20, 10, 0x3F},
      {"count=abc", 0, 0, 0x3F},    {"first=%2D5", 0, 1000, 0x3F},
      {"type=dirs", 0, 1000, 0x30}, {"type=Files", 0, 1000, 0x0F},
      {"type=", 0, 1000, 0x3F},     {"count=1001", 0, 1000, 0x3F},
  };
  for (const Case& c : cases) {
    CGIArgs args(c.request);
    IndexRequest request = ParseIndexRequest(&args, 1000, 0x3F);
    EXPECT_EQ(request.first, c.first) << c.request;
    EXPECT_EQ(request.count, c.count) << c.request;
    EXPECT_EQ(request.kindMask, c.mask) << c.request;
  }
  IndexRequest none = ParseIndexRequest(nullptr, 50, 0x23);
  EXPECT_EQ(none.count, 50);
  EXPECT_EQ(none.kindMask, 0x23);
}

}  // namespace
