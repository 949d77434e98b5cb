// The news slide formatter on small slides held in temporary streams.
#include "programs/postpage/news_slide.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

FILE* StreamOf(const std::string& text) {
  FILE* stream = tmpfile();
  fwrite(text.data(), 1, text.size(), stream);
  rewind(stream);
  return stream;
}

std::string ReadBack(FILE* stream) {
  rewind(stream);
  std::string text;
  for (int c; (c = getc(stream)) != EOF;) text.push_back(static_cast<char>(c));
  return text;
}

std::string Format(const std::string& slide, bool* ok = nullptr) {
  FILE* input = StreamOf(slide);
  FILE* output = tmpfile();
  bool written = FormatNewsHeader(input, output);
  if (ok) *ok = written;
  std::string text = ReadBack(output);
  fclose(input);
  fclose(output);
  return text;
}

bool IsNews(const std::string& slide) {
  FILE* input = StreamOf(slide);
  bool news = IsNewsSlide(input);
  fclose(input);
  return news;
}

std::string Row(const std::string& name, const std::string& value) {
  return "<TR VALIGN=TOP><TD ALIGN=RIGHT><STRONG>" + name + ":&nbsp;&nbsp;</STRONG></TD>" +
         (name == "Subject" ? "<TD><STRONG>" + value + "</STRONG></TD></TR>\n"
                            : "<TD>" + value + "</TD></TR>\n");
}

const char kSeparator[] = "<TR><TD>&nbsp;</TD></TR>\n";
const char kTable[] = "<TABLE BORDER=0 CELLSPACING=0 CELLPADDING=0>\n";
const char kTableEnd[] = "</TABLE>\n";
const char kBegin[] = "<HTML><BODY>\n<!-- BEGIN TEXT -->\n<P>\n";
const char kEnd[] = "</PRE>\n<!-- END TEXT -->\n</BODY></HTML>\n";

// A slide as viewreel writes it, its text block made of `block`.
std::string Slide(const std::string& block) {
  return "<HTML><BODY>\n<PRE>\n" + block + "</PRE>\n</BODY></HTML>\n";
}

TEST(SplitHeaderLine, NamesAndValues) {
  struct Case {
    const char* line;
    bool continuation;
    const char* name;   // the line after the cut
    const char* value;  // null: no header line
  } cases[] = {
      {"From: Ann", false, "From", "Ann"},
      {"Subject:   three blanks", false, "Subject", "three blanks"},
      {"X-Foo: c: d", false, "X-Foo", "c: d"},
      {"Subject:b", false, nullptr, nullptr},           // no blank after the colon
      {"Subject:\tb", false, nullptr, nullptr},          // a tab is no blank here
      {"A:: b", false, nullptr, nullptr},
      {"Two words: x", false, nullptr, nullptr},
      {": no name", false, nullptr, nullptr},            // a header has a name
      {": no name", true, nullptr, nullptr},
      {"From ann@host Sat Jul  4", false, "From", "ann@host Sat Jul  4"},
      {"From    ann", false, "From", "ann"},
      {"from ann", false, nullptr, nullptr},             // "From " exactly
      {"plain prose here", false, nullptr, nullptr},
      {"", true, nullptr, nullptr},
      {"  folded value", true, "", "folded value"},
      {" \t folded", true, "", "folded"},
      {"  folded value", false, nullptr, nullptr},
      {"  \x01 control", true, nullptr, nullptr},
      {"\xDC" "ber: 8-bit name", false, "\xDC" "ber", "8-bit name"},
      {"  \xE9t\xE9", true, "", "\xE9t\xE9"},
  };
  for (const Case& c : cases) {
    std::string line = c.line;
    const char* value = SplitHeaderLine(line.data(), c.continuation);
    if (!c.value) {
      EXPECT_EQ(nullptr, value) << c.line;
      EXPECT_EQ(c.line, line) << "a refused line stays whole";
      continue;
    }
    ASSERT_NE(nullptr, value) << c.line;
    EXPECT_STREQ(c.name, line.c_str()) << c.line;
    EXPECT_STREQ(c.value, value) << c.line;
  }
}

TEST(InsertText, StaysWithinTheRoom) {
  struct Case {
    const char* text;
    size_t position, room;
    const char* insertion;
    const char* result;
    size_t after;
  } cases[] = {
      {"a!b", 1, 4096, " ", "a !b", 2},
      {"ab", 2, 4096, "xy", "abxy", 4},
      {"ab", 0, 4, " ", " ab", 1},  // 2 + 1 + 1 bytes fit exactly
      {"ab", 0, 3, " ", "ab", 0},   // no room for the terminator
      {"abc", 0, 4, " ", "abc", 0},
      {"ab", 5, 4096, " ", "ab", 5},  // a place past the end changes nothing
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    size_t after = InsertText(&text, c.position, c.room, c.insertion);
    EXPECT_EQ(c.result, text) << c.text << " room " << c.room;
    EXPECT_EQ(c.after, after) << c.text << " room " << c.room;
  }
}

TEST(ReadPreLine, TrimsLinesAndStopsAtTheBlockEnd) {
  struct Case {
    const char* block;
    std::vector<std::string> lines;
    bool ended;
  } cases[] = {
      {"a  \t\r\nb\n</PRE>\nafter\n", {"a", "b"}, true},
      {"a\nlast line</PRE>\nafter\n", {"a", "last line"}, true},
      {"x</PRE>\n", {"x"}, true},           // 7 characters: the line stays
      {"</PRE>  \n", {}, true},
      {"</pre>\n", {"</pre>"}, false},      // only the upper-case end counts
      {"\xE9\xA0\n", {"\xE9\xA0"}, false},  // bytes from 128 on stay
      {"no end\n\n", {"no end", ""}, false},
  };
  for (const Case& c : cases) {
    FILE* input = StreamOf(c.block);
    PreBlockReader reader(input);
    std::vector<std::string> lines;
    while (const char* line = ReadPreLine(&reader)) lines.push_back(line);
    EXPECT_EQ(c.lines, lines) << c.block;
    EXPECT_EQ(c.ended, reader.ended) << c.block;
    EXPECT_EQ(nullptr, ReadPreLine(&reader)) << "the end stays";
    fclose(input);
  }
}

TEST(HeaderList, MovesTheFirstItemOfANameToTheFront) {
  FreeHeaders();
  new HeaderItem("From", "a");
  new HeaderItem("Path", "p");
  new HeaderItem("from", "second");
  MoveToFront("FROM");  // first already: not marked
  MoveToFront("path");
  MoveToFront("Date");  // absent
  AppendToValue(LastHeader(), " ", "more");
  std::vector<std::string> order;
  for (HeaderItem* item = FirstHeader(); item; item = item->next) {
    order.push_back(std::string(item->name.Text()) + "=" + item->value.Text() +
                    (item->moved ? "*" : ""));
  }
  EXPECT_EQ((std::vector<std::string>{"Path=p*", "From=a", "from=second more"}), order);
  FreeHeaders();
  EXPECT_EQ(nullptr, FirstHeader());
  EXPECT_EQ(nullptr, LastHeader());
}

TEST(IsNewsSlide, AHeaderLineOpensTheFirstPreformattedBlock) {
  struct Case {
    const char* slide;
    bool news;
  } cases[] = {
      {"<BODY>\n<PRE>\nFrom: a\n</PRE>\n", true},
      {"<PRE>\nFrom ann Sat\n", true},
      {"<PRE>\nJust some prose.\n</PRE>\n", false},
      {"<PRE>\n", false},
      {"<!-- BEGIN TEXT -->\n<PRE>\nFrom: a\n", false},
      {"<PRE>\nprose\n</PRE>\n<PRE>\nFrom: a\n", false},  // only the first block counts
      {"<pre>\nFrom: a\n", false},
      {"x<PRE>\nFrom: a\n", false},
      {"<HTML></HTML>\n", false},
      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(c.news, IsNews(c.slide)) << c.slide;
}

TEST(FormatNewsHeader, HeadersBecomeATable) {
  struct Case {
    const char* what;
    std::string block;
    std::string table;  // between the "<P>" line and the "<PRE>" line
    std::string body;   // the block's lines after the "<PRE>" line
  } cases[] = {
      {"moved rows first, then the others in message order",
       "Path: x\nFrom: a\nSubject: b\nX-Foo: c\n\nHello\n",
       std::string(kTable) + Row("Subject", "b") + Row("From", "a") + kSeparator +
           Row("Path", "x") + Row("X-Foo", "c") + kTableEnd,
       "\nHello\n"},
      {"a header first already is not marked as moved",
       "From: a\nSubject: b\nX-Foo: c\n",
       std::string(kTable) + Row("Subject", "b") + kSeparator + Row("From", "a") +
           Row("X-Foo", "c") + kTableEnd,
       ""},
      {"the full order of the useful headers",
       "X-First: 0\nsummary: 10\nReferences: 9\nFollowup-To: 8\nNewsgroups: 7\nCc: 6\n"
       "Organization: 5\nReply-To: 4\nFrom: 3\nDate: 2\nSubject: 1\n",
       std::string(kTable) + Row("Subject", "1") + Row("Date", "2") + Row("From", "3") +
           Row("Reply-To", "4") + Row("Organization", "5") + Row("Cc", "6") +
           Row("Newsgroups", "7") + Row("Followup-To", "8") + Row("References", "9") +
           Row("summary", "10") + kSeparator + Row("X-First", "0") + kTableEnd,
       ""},
      {"only other headers: no separator",
       "X-A: 1\nX-B: 2\n", std::string(kTable) + Row("X-A", "1") + Row("X-B", "2") + kTableEnd,
       ""},
      {"no blank after the colon ends the header",
       "From: a\nSubject:b\nmore\n",
       std::string(kTable) + Row("From", "a") + kTableEnd, "Subject:b\nmore\n"},
      {"a folded line joins its header with one blank",
       "Subject: one\n   two  \n\tthree\nFrom: a\n",
       std::string(kTable) + Row("Subject", "one two three") + Row("From", "a") + kTableEnd,
       ""},
      {"Path and Newsgroups are spaced",
       "Path: a!b!!c\nNewsgroups: a,b, c,d,\nX-N: a,b!c\n",
       std::string(kTable) + Row("Newsgroups", "a, b, c, d, ") + kSeparator +
           Row("Path", "a ! b !  ! c") + Row("X-N", "a,b!c") + kTableEnd,
       ""},
      {"the value stays HTML text as it stands",
       "Subject: Tom &amp; Jerry &lt;b&gt;\n",
       std::string(kTable) + Row("Subject", "Tom &amp; Jerry &lt;b&gt;") + kTableEnd, ""},
      {"a first line that is no header: no table",
       "Dear all,\nhello.\n", "", "Dear all,\nhello.\n"},
      {"body lines lose their trailing blanks and control characters",
       "From: a\n\nline   \r\n\x01\n", std::string(kTable) + Row("From", "a") + kTableEnd,
       "\nline\n\n"},
  };
  for (const Case& c : cases) {
    bool ok = false;
    EXPECT_EQ(kBegin + c.table + "<PRE>\n" + c.body + kEnd, Format(Slide(c.block), &ok)) << c.what;
    EXPECT_TRUE(ok) << c.what;
    EXPECT_EQ(nullptr, FirstHeader()) << "the list is emptied after each file";
  }
}

TEST(FormatNewsHeader, TextAroundTheBlockIsCopiedAsItIs) {
  std::string before = "<HTML>\n<BODY onLoad=\"x()\">\n<IMG SRC=\"a.jpg\">   \n";
  std::string after = "<P>after   \n</BODY></HTML>";  // no line feed at the end
  std::string out = Format(before + "<PRE>\nFrom: a\nbody\nlast</PRE> \n" + after);
  EXPECT_EQ(before + "<!-- BEGIN TEXT -->\n<P>\n" + kTable + Row("From", "a") + kTableEnd +
                "<PRE>\nbody\nlast\n</PRE>\n<!-- END TEXT -->\n" + after,
            out);
  // Without a block the slide is copied whole; without an end the block
  // runs to the end of the file.
  EXPECT_EQ(before + after, Format(before + after));
  EXPECT_EQ("<!-- BEGIN TEXT -->\n<P>\n" + std::string(kTable) + Row("From", "a") + kTableEnd +
                "<PRE>\nbody\n</PRE>\n<!-- END TEXT -->\n",
            Format("<PRE>\nFrom: a\nbody  \n"));
}

TEST(FormatNewsHeader, LongLinesStayWhole) {
  std::string longLine(5000, 'w');
  longLine[4094] = ' ';
  longLine[4095] = ' ';
  std::string out = Format("<PRE>\nFrom: a\n" + longLine + "\n</PRE>\n<P>" + longLine + "\n");
  EXPECT_NE(std::string::npos, out.find("<PRE>\n" + longLine + "\n</PRE>\n<!-- END TEXT -->\n<P>" +
                                        longLine + "\n"));
}

TEST(FormatNewsHeader, SpacingStopsAtTheLineLength) {
  // "Path: !!" and x's make 4093 characters: the first '!' takes its two
  // blanks (4095 characters), the second none.
  std::string tail(4085, 'x');
  std::string out = Format("<PRE>\nPath: !!" + tail + "\n");
  EXPECT_NE(std::string::npos, out.find("<TD> ! !" + tail + "</TD>")) << out.substr(0, 200);
  // A longer header line takes no blank at all.
  std::string longValue = "a!b" + std::string(5000, 'x');
  EXPECT_NE(std::string::npos, Format("<PRE>\nPath: " + longValue + "\n").find("<TD>" + longValue + "</TD>"));
}

TEST(FormatNewsHeader, AFailedWriteIsReported) {
  FILE* input = StreamOf(Slide("From: a\nbody\n"));
  FILE* output = fopen("/dev/full", "w");
  ASSERT_NE(nullptr, output);
  setvbuf(output, nullptr, _IONBF, 0);
  EXPECT_FALSE(FormatNewsHeader(input, output));
  fclose(output);
  fclose(input);
}

}  // namespace
