#include "shared/entry_factory.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>
#include <string>

#include "platform/testing/test_support.h"
#include "shared/sitefiles.h"

namespace {

// A GIF header of the given size: enough for the image size reader.
std::string Gif(int width, int height) {
  std::string gif = "GIF89a";
  gif += static_cast<char>(width & 0xFF);
  gif += static_cast<char>(width >> 8);
  gif += static_cast<char>(height & 0xFF);
  gif += static_cast<char>(height >> 8);
  gif += std::string(3, '\0');
  return gif;
}

std::string Text(const char* text) { return text ? text : "(null)"; }

using EntryPtr = std::unique_ptr<Entry>;

// Every test runs in a fresh drive with the site tables as a program starts.
class EntryFactoryTest : public ::testing::Test {
 protected:
  EntryFactoryTest() {
    ResetSiteFiles();
    DefaultSortOrder = 50;
  }
  ~EntryFactoryTest() override {
    ResetSiteFiles();
    DefaultSortOrder = 50;
  }
  TempDrive drive_;
};

// --- Page heads -----------------------------------------------------------------

TEST_F(EntryFactoryTest, PageHeads) {
  struct Case {
    const char* page;
    const char* title;
    const char* description;
    const char* keywords;
    const char* fileInfo;
    int sortOrder;
    int alias;
  };
  const std::string longTitle(300, 't');
  const std::string longHead = "<TITLE>" + longTitle + "</TITLE>";
  const Case cases[] = {
      {"<HTML><HEAD><TITLE>Tom &amp; Jerry</TITLE></HEAD>", "Tom & Jerry", nullptr, nullptr,
       nullptr, 50, 0},
      {"<title>Two\n    lines</title>", "Two lines", nullptr, nullptr, nullptr, 50, 0},
      {"<TITLE>A <B>bold</B> word</TITLE>", "A bold word", nullptr, nullptr, nullptr, 50, 0},
      {"<!-- <TITLE>no</TITLE> --><TITLE>yes</TITLE>", "yes", nullptr, nullptr, nullptr, 50, 0},
      {"<META NAME=\"Description\" CONTENT=\"first\">\n"
       "<meta name=description content=\"second &lt;b&gt;\">",
       "page.htm", "second <b>", nullptr, nullptr, 50, 0},
      {"<META NAME=SUBJECT CONTENT=\"A\n  subject\">", "page.htm", "A subject", nullptr, nullptr,
       50, 0},
      {"<META name=\"keywords\" content=\"Birds, Tom &amp; Jerry\">", "page.htm", nullptr,
       "Birds, Tom & Jerry", nullptr, 50, 0},
      {"<META NAME=\"FILEINFO\" CONTENT=\"3 KB &amp; more; {3, 640, 480}\">", "page.htm",
       nullptr, nullptr, "3 KB &amp; more; {3, 640, 480}", 50, 0},
      {"<META NAME=\"SORTORDER\" CONTENT=\"7\">", "page.htm", nullptr, nullptr, nullptr, 7, 0},
      {"<META NAME=\"SORTORDER\" CONTENT=\"x\">", "page.htm", nullptr, nullptr, nullptr, 0, 0},
      {"<META NAME=\"SORTORDER\" CONTENT=\"99999999999\">", "page.htm", nullptr, nullptr,
       nullptr, 2147483647, 0},
      {"<META NAME=\"ALIAS\">", "page.htm", nullptr, nullptr, nullptr, 50, 1},
      // The head writer always gives the marker a CONTENT.
      {"<META NAME=\"ALIAS\" CONTENT=\"..\\trip\\a.htm\">", "page.htm", nullptr, nullptr,
       nullptr, 50, 1},
      {"<META NAME=\"GENERATOR\" CONTENT=\"x\"><META CONTENT=\"y\">", "page.htm", nullptr,
       nullptr, nullptr, 50, 0},
      // Nothing after /HEAD is read without a body holder.
      {"<TITLE>T</TITLE></HEAD><META NAME=KEYWORDS CONTENT=late>", "T", nullptr, nullptr,
       nullptr, 50, 0},
      {"<BODY><TITLE>late</TITLE>", "page.htm", nullptr, nullptr, nullptr, 50, 0},
      {"<TITLE></TITLE>", "page.htm", nullptr, nullptr, nullptr, 50, 0},
      {longHead.c_str(), nullptr, nullptr, nullptr, nullptr, 50, 0},
  };
  for (const Case& c : cases) {
    drive_.Write("page.htm", c.page);
    EntryPtr entry(MakePageEntry("page.htm"));
    ASSERT_TRUE(entry) << c.page;
    EXPECT_EQ(entry->kind, kEntryPage) << c.page;
    EXPECT_EQ(Text(entry->href), "page.htm") << c.page;
    EXPECT_EQ(Text(entry->title), c.title ? c.title : longTitle) << c.page;
    EXPECT_EQ(Text(entry->description), Text(c.description)) << c.page;
    EXPECT_EQ(Text(entry->keywords), Text(c.keywords)) << c.page;
    EXPECT_EQ(Text(entry->fileInfo), Text(c.fileInfo)) << c.page;
    EXPECT_EQ(entry->sortOrder, c.sortOrder) << c.page;
    EXPECT_EQ(entry->alias, c.alias) << c.page;
  }
}

TEST_F(EntryFactoryTest, PageTitleFallbacks) {
  drive_.Write("BEACH.HTM", "<HEAD></HEAD>");
  drive_.Write("Beach Day.htm", "");
  EntryPtr upper(MakePageEntry("BEACH.HTM"));
  EXPECT_EQ(Text(upper->title), "beach.htm");
  EntryPtr mixed(MakePageEntry("Beach Day.htm"));
  EXPECT_EQ(Text(mixed->title), "Beach Day.htm");
  EXPECT_EQ(Text(mixed->href), "Beach%20Day.htm");
  EntryPtr fallback(MakePageEntry("BEACH.HTM", "Trip"));
  EXPECT_EQ(Text(fallback->title), "Trip");
  EntryPtr emptyFallback(MakePageEntry("BEACH.HTM", ""));
  EXPECT_EQ(Text(emptyFallback->title), "beach.htm");
  // An unreadable page still gives its entry.
  EntryPtr missing(MakePageEntry("sub\\gone.htm", "Gone"));
  EXPECT_EQ(Text(missing->href), "sub/gone.htm");
  EXPECT_EQ(Text(missing->title), "Gone");
  EXPECT_EQ(missing->kind, kEntryPage);
}

TEST_F(EntryFactoryTest, BodyHolderReadsOnToBody) {
  drive_.Write("slide.htm",
               "<HEAD><TITLE>S</TITLE></HEAD>\n<META NAME=KEYWORDS CONTENT=k>\n"
               "<BODY  BGCOLOR=\"white\" TEXT=black>\n<META NAME=DESCRIPTION CONTENT=late>");
  String body("old");
  EntryPtr entry(MakePageEntry("slide.htm", nullptr, &body));
  EXPECT_EQ(Text(entry->title), "S");
  EXPECT_EQ(Text(entry->keywords), "k");
  EXPECT_EQ(Text(entry->description), "(null)");
  EXPECT_EQ(Text(body), "BGCOLOR=\"white\" TEXT=black");

  drive_.Write("bare.htm", "<BODY>");
  EntryPtr bare(MakePageEntry("bare.htm", nullptr, &body));
  EXPECT_EQ(Text(body), "");
  // Without BODY the holder keeps what it had.
  drive_.Write("none.htm", "<TITLE>N</TITLE>");
  String kept("kept");
  EntryPtr none(MakePageEntry("none.htm", nullptr, &kept));
  EXPECT_EQ(Text(kept), "kept");
}

TEST_F(EntryFactoryTest, LongHeadsReadAcrossBlocks) {
  // The tags fall across the points where the reader takes its next block,
  // with CR LF line ends that text mode turns into LF.
  for (size_t padding : {0, 400, 490, 500, 505, 511, 512, 1000, 4000}) {
    std::string page = "<HEAD><!-- " + std::string(padding, 'p') + " -->\r\n" +
                       "<META NAME=KEYWORDS CONTENT=\"Birds,\r\n  Sea\">\r\n" +
                       "<TITLE>T" + std::string(padding % 300, 't') + "</TITLE>\r\n" +
                       "</HEAD><BODY BGCOLOR=white>\r\n<META NAME=DESCRIPTION CONTENT=late>";
    drive_.Write("long.htm", page);
    String body;
    EntryPtr entry(MakePageEntry("long.htm", nullptr, &body));
    std::string title = "T" + std::string(padding % 300, 't');
    EXPECT_EQ(Text(entry->title), title) << padding;
    EXPECT_EQ(Text(entry->keywords), "Birds, Sea") << padding;
    EXPECT_EQ(Text(entry->description), "(null)") << padding;
    EXPECT_EQ(Text(body), "BGCOLOR=white") << padding;
  }
}

TEST_F(EntryFactoryTest, LongFieldsAreReadWhole) {
  // What the page-head editors accept (descriptions of 511 characters,
  // keywords of 1023), what a user types by hand beyond that, and a value
  // far longer than a tag buffer: a rebuilt page gets each back whole.
  std::string keywords;
  for (int i = 0; keywords.size() < 1000; ++i) keywords += (i ? ", word" : "word") + std::to_string(i);
  const std::string words = "Boats &amp; nets at dawn, " + std::string(470, 'd') + " end";
  const std::string huge(1 << 20, 'h');
  struct Case {
    std::string head;
    std::string title, description, keywords;
  };
  const Case cases[] = {
      {"<TITLE>T</TITLE><META NAME=\"DESCRIPTION\" CONTENT=\"" + std::string(500, 'a') +
           "\">\n<META NAME=\"KEYWORDS\" CONTENT=\"" + keywords + "\">",
       "T", std::string(500, 'a'), keywords},
      {"<META NAME=\"DESCRIPTION\" CONTENT=\"" + words + std::string(100, 'x') + "\">",
       "page.htm", "Boats & nets at dawn, " + std::string(470, 'd') + " end" + std::string(100, 'x'),
       ""},
      {"<META NAME=SUBJECT CONTENT=\"" + huge + "\"><TITLE>" + std::string(5000, 't') + "</TITLE>",
       std::string(5000, 't'), huge, ""},
      // Text that is no title stays out of one, however long.
      {"<HEAD>" + std::string(6000, 's') + "<TITLE>after</TITLE>", "after", "", ""},
  };
  for (const Case& c : cases) {
    drive_.Write("page.htm", c.head + "\n</HEAD>\n<BODY>\n");
    EntryPtr entry(MakePageEntry("page.htm"));
    EXPECT_EQ(Text(entry->title), c.title) << c.head.substr(0, 60);
    EXPECT_EQ(Text(entry->description), c.description.empty() ? "(null)" : c.description)
        << c.head.substr(0, 60);
    EXPECT_EQ(Text(entry->keywords), c.keywords.empty() ? "(null)" : c.keywords)
        << c.head.substr(0, 60);
  }
  // A stray end of title takes at most 255 characters of the text before it.
  drive_.Write("stray.htm", "<HEAD>" + std::string(300, 's') + "</TITLE></HEAD>");
  EntryPtr stray(MakePageEntry("stray.htm"));
  EXPECT_EQ(Text(stray->title), std::string(255, 's'));
  // The BODY attributes of a slide come back whole too.
  const std::string body = "BGCOLOR=white BACKGROUND=\"" + std::string(5000, 'b') + ".gif\"";
  drive_.Write("body.htm", "<HEAD></HEAD><BODY " + body + ">");
  String holder;
  EntryPtr withBody(MakePageEntry("body.htm", nullptr, &holder));
  EXPECT_EQ(Text(holder), body);
}

// --- Forwarding ----------------------------------------------------------------------

TEST_F(EntryFactoryTest, ApplyForward) {
  struct Case {
    const char* href;
    const char* target;
    const char* result;
    int kind;
  };
  const Case cases[] = {
      {"page.htm", "big.jpg", "big.jpg", kEntryImage},
      {"sub/page.htm", "big.JPG", "sub/big.JPG", kEntryImage},
      {"../a/b/page.htm", "next.html", "../a/b/next.html", kEntryPage},
      {"sub/page.htm", "notes.txt", "sub/notes.txt", kEntryFile},
      {"c:page.htm", "x.gif", "c:x.gif", kEntryImage},
      {"sub\\page.htm", "x.htm", "sub\\x.htm", kEntryPage},
      {nullptr, "x.png", "x.png", kEntryImage},
      // Absolute targets stand for themselves.
      {"sub/page.htm", "http://example.org/pics/a.jpg", "http://example.org/pics/a.jpg",
       kEntryImage},
      {"sub/page.htm", "/site/news.htm", "/site/news.htm", kEntryPage},
      {"sub/page.htm", "\\site\\movie.avi", "\\site\\movie.avi", kEntryFile},
      // An empty target forwards nowhere.
      {"sub/page.htm", "", "sub/page.htm", kEntryPage},
  };
  for (const Case& c : cases) {
    Entry entry;
    entry.kind = kEntryPage;
    entry.SetHref(c.href);
    ApplyForward(&entry, c.target);
    EXPECT_EQ(Text(entry.href), c.result) << c.target;
    EXPECT_EQ(entry.kind, c.kind) << c.target;
  }
}

TEST_F(EntryFactoryTest, ApplyForwardStaysWithinItsBuffer) {
  Entry entry;
  std::string dir(250, 'd');
  entry.SetHref((dir + "/page.htm").c_str());
  ApplyForward(&entry, "a-rather-long-target-name.jpg");
  EXPECT_EQ(Text(entry.href), dir + "/a-ra");
  entry.SetHref(std::string(400, 'x').c_str());
  ApplyForward(&entry, "y.jpg");
  EXPECT_EQ(Text(entry.href), "y.jpg");
  ApplyForward(&entry, ("http://" + std::string(300, 'h')).c_str());
  EXPECT_EQ(std::string(entry.href).size(), 255u);
}

TEST_F(EntryFactoryTest, ForwardInPage) {
  drive_.Write("sub/page.htm", "<TITLE>P</TITLE><META NAME=\"FORWARD\" CONTENT=\"big.jpg\">");
  EntryPtr entry(MakePageEntry("sub\\page.htm"));
  EXPECT_EQ(Text(entry->href), "sub/big.jpg");
  EXPECT_EQ(entry->kind, kEntryImage);
  EXPECT_EQ(Text(entry->title), "P");
}

TEST_F(EntryFactoryTest, JoinLines) {
  struct Case {
    const char* text;
    const char* joined;
  };
  const Case cases[] = {
      {"", ""},
      {"one", "one"},
      {"one\ntwo", "one two"},
      {"one\n \t two", "one two"},
      {"one\n\n\nthree", "one three"},
      {"one \ntwo", "one  two"},
      {"end\n", "end "},
      {"\n  start", " start"},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    EXPECT_STREQ(JoinLines(text.data()), c.joined) << c.text;
  }
  EXPECT_EQ(JoinLines(nullptr), nullptr);
}

// --- Images, files and directories -----------------------------------------------------

TEST_F(EntryFactoryTest, ImagesWithAndWithoutPage) {
  drive_.Write("pic.jpg", "jpeg");
  drive_.Write("pic.htm",
               "<TITLE>Pic</TITLE><META NAME=KEYWORDS CONTENT=Birds>"
               "<META NAME=FORWARD CONTENT=other.htm>");
  drive_.Write("thumbs/tn_pic_jpg.jpg", Gif(120, 90));
  drive_.Write("Lone Gull (2).JPG", "jpeg");
  drive_.Write("thumbs/tn_Lone Gull (2)_JPG.jpg", Gif(10, 10));

  EntryPtr described(MakeImageEntry("pic.jpg", true, true));
  EXPECT_EQ(described->kind, kEntryImage);
  EXPECT_EQ(Text(described->href), "pic.jpg");
  EXPECT_EQ(Text(described->title), "Pic");
  EXPECT_EQ(Text(described->keywords), "Birds");
  EXPECT_EQ(Text(described->thumbnail), "thumbs/tn_pic_jpg.jpg");
  EXPECT_EQ(described->thumbWidth, 120);
  EXPECT_EQ(described->thumbHeight, 90);

  EntryPtr noThumb(MakeImageEntry("pic.jpg", true, false));
  EXPECT_EQ(Text(noThumb->title), "Pic");
  EXPECT_EQ(Text(noThumb->thumbnail), "(null)");

  EntryPtr unread(MakeImageEntry("pic.jpg", false, true));
  EXPECT_EQ(Text(unread->title), "pic.jpg");
  EXPECT_EQ(Text(unread->keywords), "(null)");
  EXPECT_EQ(Text(unread->thumbnail), "(null)");

  // The same-named page is found in another letter case; a directory of
  // that name is no page.
  drive_.Write("Shore.jpg", "jpeg");
  drive_.Write("SHORE.HTM", "<TITLE>Shore</TITLE>");
  EXPECT_EQ(Text(EntryPtr(MakeImageEntry("Shore.jpg", true, true))->title), "Shore");
  drive_.Write("dune.jpg", "jpeg");
  drive_.MakeDir("dune.htm");
  EntryPtr dune(MakeImageEntry("dune.jpg", true, true));
  EXPECT_EQ(Text(dune->title), "dune.jpg");
  EXPECT_EQ(Text(dune->keywords), "(null)");
  // A page that is there but cannot be read still describes its image.
  drive_.Write("reef.jpg", "jpeg");
  ASSERT_EQ(mkfifo(drive_.Host("reef.htm").c_str(), 0644), 0);
  EntryPtr reef(MakeImageEntry("reef.jpg", true, true));
  EXPECT_EQ(Text(reef->title), "reef.htm");
  EXPECT_EQ(Text(reef->href), "reef.jpg");

  // Without a page there is no thumbnail here either.
  EntryPtr lone(MakeImageEntry("Lone Gull (2).JPG", true, true));
  EXPECT_EQ(lone->kind, kEntryImage);
  EXPECT_EQ(Text(lone->title), "Lone Gull.jpg");
  EXPECT_EQ(Text(lone->href), "Lone%20Gull%20(2).JPG");
  EXPECT_EQ(Text(lone->thumbnail), "(null)");
}

TEST_F(EntryFactoryTest, FileEntry) {
  EntryPtr file(MakeFileEntry("sub\\NOTES.TXT"));
  EXPECT_EQ(file->kind, kEntryFile);
  EXPECT_EQ(Text(file->href), "sub/NOTES.TXT");
  EXPECT_EQ(Text(file->title), "notes.txt");
}

TEST_F(EntryFactoryTest, DirectoryEntries) {
  SetFolderThumbs(true);
  drive_.Write("trip/index.htm", "<TITLE>The Trip</TITLE><META NAME=SORTORDER CONTENT=3>");
  drive_.Write("trip/thumb.gif", Gif(64, 48));
  drive_.Write("PHOTOS/Welcome.html", "<HEAD></HEAD>");
  drive_.Write("PHOTOS/thumb.jpg", "unreadable");
  drive_.MakeDir("empty");
  drive_.Write("secret/index.htm", "<TITLE>S</TITLE>");
  drive_.Write("secret/hidden.dir", "");

  EntryPtr trip(MakeDirectoryEntry("trip", false));
  ASSERT_TRUE(trip);
  EXPECT_EQ(trip->kind, kEntryIndexedDirectory);
  EXPECT_EQ(Text(trip->href), "trip/index.htm");
  EXPECT_EQ(Text(trip->title), "The Trip");
  EXPECT_EQ(trip->sortOrder, 3);
  EXPECT_EQ(Text(trip->thumbnail), "trip/thumb.gif");
  EXPECT_EQ(trip->thumbWidth, 64);
  EXPECT_EQ(trip->thumbHeight, 48);

  EntryPtr photos(MakeDirectoryEntry("PHOTOS", false));
  ASSERT_TRUE(photos);
  EXPECT_EQ(Text(photos->href), "PHOTOS/Welcome.html");
  EXPECT_EQ(Text(photos->title), "Photos");
  EXPECT_EQ(Text(photos->thumbnail), "PHOTOS/thumb.jpg");
  EXPECT_EQ(photos->thumbWidth, 0);
  EXPECT_EQ(photos->thumbHeight, 0);

  EXPECT_FALSE(EntryPtr(MakeDirectoryEntry("empty", false)));
  EntryPtr empty(MakeDirectoryEntryAlways("empty"));
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->kind, kEntryDirectory);
  EXPECT_EQ(Text(empty->href), "empty");
  EXPECT_EQ(Text(empty->title), "empty");
  EXPECT_EQ(Text(empty->thumbnail), "(null)");

  EXPECT_FALSE(EntryPtr(MakeDirectoryEntryUnlessHidden("secret", true)));
  EXPECT_TRUE(EntryPtr(MakeDirectoryEntryUnlessHidden("trip", false)));

  SetFolderThumbs(false);
  EntryPtr plain(MakeDirectoryEntry("trip", false));
  EXPECT_EQ(Text(plain->thumbnail), "(null)");
}

TEST_F(EntryFactoryTest, CurrentDirectoryEntry) {
  drive_.Write("site/Trips/index.htm", "<HEAD><META NAME=KEYWORDS CONTENT=k></HEAD>");
  drive_.Chdir("site/Trips");
  EntryPtr here(MakeDirectoryEntryAlways("."));
  EXPECT_EQ(here->kind, kEntryIndexedDirectory);
  EXPECT_EQ(Text(here->title), "Trips");
  EXPECT_EQ(Text(here->href), "./index.htm");
  EXPECT_EQ(Text(here->keywords), "k");
}

TEST_F(EntryFactoryTest, MakeEntryByFlags) {
  drive_.Write("a.htm", "<TITLE>A</TITLE>");
  drive_.Write("a.jpg", "jpeg");
  drive_.Write("clip.avi", "avi");
  drive_.Write("notes.txt", "text");
  drive_.Write("index.htm", "<TITLE>I</TITLE>");
  drive_.Write("thumb.jpg", "jpeg");
  drive_.Write("withindex/index.htm", "<TITLE>W</TITLE>");
  drive_.MakeDir("noindex");
  AddUserExt("avi");
  struct Case {
    const char* name;
    bool directory;
    int flags;
    int kind;  // 0: no entry
  };
  const Case cases[] = {
      {"a.htm", false, kListPages, kEntryPage},
      {"a.htm", false, kListImages | kListFiles, 0},
      {"a.jpg", false, kListImages, kEntryImage},
      {"a.jpg", false, kListPages | kListFiles, 0},
      {"clip.avi", false, kListImages, kEntryImage},
      {"notes.txt", false, kListFiles, kEntryFile},
      {"notes.txt", false, kListPages | kListImages, 0},
      {"index.htm", false, 0xFFF, 0},
      {"thumb.jpg", false, 0xFFF, 0},
      {"withindex", true, kListIndexedDirs, kEntryIndexedDirectory},
      {"withindex", true, kListAllDirs, kEntryIndexedDirectory},
      {"withindex", true, kListPages | kListImages | kListFiles, 0},
      {"noindex", true, kListIndexedDirs, 0},
      {"noindex", true, kListAllDirs, kEntryDirectory},
  };
  for (const Case& c : cases) {
    EntryPtr entry(MakeEntry(c.name, c.directory, c.flags));
    EXPECT_EQ(entry ? entry->kind : 0, c.kind) << c.name << " flags " << c.flags;
  }
  // The image page flags reach the image entry.
  drive_.Write("thumbs/tn_a_jpg.jpg", Gif(5, 6));
  EntryPtr image(MakeEntry("a.jpg", false, kListImages | kListImagePages | kListImagePageThumbs));
  EXPECT_EQ(Text(image->title), "A");
  EXPECT_EQ(image->thumbWidth, 5);
}

}  // namespace
