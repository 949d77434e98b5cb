#include "shared/html_parser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

// Records every hook call as a readable transcript: text runs as T[...],
// comment runs as C[...], script and style runs as S[...] and Y[...], tags as
// {tag}. Input comes through a refill buffer of `chunk` bytes, the way the
// file readers feed the scanner, so tags also straddle refills. Script and
// style go through the defaults unless `ownBodies` is set.
class Recorder : public HTMLParser {
 public:
  Recorder(const std::string& input, int size, size_t chunk = 4096, bool ownBodies = false)
      : HTMLParser(size), input_(input), chunk_(chunk), ownBodies_(ownBodies) {}

  // Scans and returns the transcript, its last run closed.
  std::string Transcript() {
    Scan();
    Close();
    return log_;
  }
  int Reads() const { return reads_; }

 protected:
  int NextChar() override {
    if (next_ == refill_.size()) {
      refill_ = input_.substr(std::min(taken_, input_.size()), chunk_);
      taken_ += chunk_;
      next_ = 0;
      if (refill_.empty()) return -1;
    }
    ++reads_;
    return static_cast<unsigned char>(refill_[next_++]);
  }
  void OnText(int ch) override { Add('T', ch); }
  void OnComment(int ch) override { Add('C', ch); }
  void OnTag(char* tag) override {
    Close();
    log_ += "{";
    log_ += tag;
    log_ += "}";
  }
  void OnScript(int ch) override {
    if (!ownBodies_) return HTMLParser::OnScript(ch);
    Add('S', ch);
  }
  void OnStyle(int ch) override {
    if (!ownBodies_) return HTMLParser::OnStyle(ch);
    Add('Y', ch);
  }

 private:
  void Close() {
    if (kind_) log_ += "]";
    kind_ = 0;
  }
  void Add(char kind, int ch) {
    ASSERT_TRUE(ch >= 0 && ch <= 255);
    if (kind != kind_) {
      Close();
      log_ += kind;
      log_ += "[";
      kind_ = kind;
    }
    log_ += static_cast<char>(ch);
  }

  std::string input_;
  size_t chunk_;
  bool ownBodies_;
  std::string refill_;
  size_t taken_ = 0;
  size_t next_ = 0;
  int reads_ = 0;
  char kind_ = 0;
  std::string log_;
};

struct ScanCase {
  const char* input;
  const char* transcript;
};

TEST(HTMLParser, Transcripts) {
  const ScanCase cases[] = {
      {"a<b>c", "T[a]{<b>}T[c]"},
      {"", ""},
      {"plain", "T[plain]"},
      // Quotes hide '>' and open anywhere, also inside a word.
      {"<A TITLE='x>y'>z", "{<A TITLE='x>y'>}T[z]"},
      {"<A T=\"it's\">", "{<A T=\"it's\">}"},
      {"<A B=x'y>z'>w", "{<A B=x'y>z'>}T[w]"},
      // Comments: every character to OnComment, the closing included.
      {"<!-- a > b -->x", "C[<!-- a > b -->]T[x]"},
      {"<!---->x", "C[<!---->]T[x]"},
      {"<!-- a --- >b--->c", "C[<!-- a --- >b--->]T[c]"},
      // The dashes of the opening do not count.
      {"<!-->x-->y", "C[<!-->x-->]T[y]"},
      {"<!--->x-->y", "C[<!--->x-->]T[y]"},
      // '- >' and '-- x >' break the closing.
      {"<!-- - > -- x > -->!", "C[<!-- - > -- x > -->]T[!]"},
      {"<!- x ->y", "{<!- x ->}T[y]"},
      // Script and style bodies go to OnComment by default.
      {"<SCRIPT>if(a<b)</SCRIPT>z", "{<SCRIPT>}C[if(a<b)]{</SCRIPT>}T[z]"},
      {"<script type=x>a</Script>", "{<script type=x>}C[a]{</Script>}"},
      {"<STYLE>p{}</style>.", "{<STYLE>}C[p{}]{</style>}T[.]"},
      {"<SCRIPTX>a</SCRIPTX>", "{<SCRIPTX>}T[a]{</SCRIPTX>}"},
      {"<STYLE2>a", "{<STYLE2>}T[a]"},
      // Only the exact closing text ends a body.
      {"<SCRIPT>a</SCRIPT >b", "{<SCRIPT>}C[a</SCRIPT >b]"},
      {"<SCRIPT>a</script\n>b", "{<SCRIPT>}C[a</script\n>b]"},
      {"<SCRIPT>a<</SCRIPT>", "{<SCRIPT>}C[a<]{</SCRIPT>}"},
      {"<SCRIPT></SCRIPT>", "{<SCRIPT>}{</SCRIPT>}"},
      {"<SCRIPT>x</STYLE>y", "{<SCRIPT>}C[x</STYLE>y]"},
      // Input that ends inside a tag, a comment or a body.
      {"<IMG SRC=x", "{<IMG SRC=x}"},
      {"<", "{<}"},
      {"<A HREF='x>y", "{<A HREF='x>y}"},
      {"<!-- open", "C[<!-- open]"},
      {"<SCRIPT>abc</SCR", "{<SCRIPT>}C[abc</SCR]"},
      {"<SCRIPT", "{<SCRIPT}"},
  };
  for (size_t chunk : {1, 2, 3, 7, 4096}) {
    for (const ScanCase& c : cases) {
      Recorder parser(c.input, 64, chunk);
      EXPECT_EQ(parser.Transcript(), c.transcript) << c.input << " refilled by " << chunk;
      EXPECT_EQ(parser.OverflowCount(), 0) << c.input;
    }
  }
}

TEST(HTMLParser, ScriptAndStyleHooksGetTheirBodies) {
  Recorder parser("<SCRIPT>s<x</SCRIPT><STYLE>y</STYLE><!--c-->", 64, 4096, true);
  EXPECT_EQ(parser.Transcript(), "{<SCRIPT>}S[s<x]{</SCRIPT>}{<STYLE>}Y[y]{</STYLE>}C[<!--c-->]");
}

TEST(HTMLParser, BytesAboveAsciiPassAsUnsigned) {
  Recorder parser("\xE9<A \xFF>\xE0", 64);
  EXPECT_EQ(parser.Transcript(), "T[\xE9]{<A \xFF>}T[\xE0]");
}

struct OverflowCase {
  int size;
  const char* input;
  const char* transcript;
  int overflows;
};

// A tag of N characters needs N + 1 bytes; a longer one goes on as text and
// scanning resumes as text after the part that was stored.
TEST(HTMLParser, TagsLongerThanTheBuffer) {
  const OverflowCase cases[] = {
      {10, "<ABCDEFG>x", "{<ABCDEFG>}T[x]", 0},     // 9 characters fit 10 bytes
      {10, "<ABCDEFGH>x", "T[<ABCDEFGH>x]", 1},     // as long as the buffer
      {10, "<ABCDEFGHIJ>x", "T[<ABCDEFGHIJ>x]", 1},
      {10, "<ABCDEFGHIJKL<b>", "T[<ABCDEFGHIJKL]{<b>}", 1},
      {10, "<A B='1234567'>z", "T[<A B='1234567'>z]", 1},  // the quote is forgotten
      {10, "<ABCDEFGHIJ<ABCDEFGHIJ", "T[<ABCDEFGHIJ<ABCDEFGHIJ]", 2},
      {10, "<!-- a long comment -->", "C[<!-- a long comment -->]", 0},
      {10, "<SCRIPT>a</SCRIPT>", "{<SCRIPT>}C[a]{</SCRIPT>}", 0},
      {10, "<STYLE>a</STYLE>", "{<STYLE>}C[a]{</STYLE>}", 0},
  };
  for (size_t chunk : {1, 3, 4096}) {
    for (const OverflowCase& c : cases) {
      Recorder parser(c.input, c.size, chunk);
      EXPECT_EQ(parser.Transcript(), c.transcript) << c.input << " refilled by " << chunk;
      EXPECT_EQ(parser.OverflowCount(), c.overflows) << c.input;
    }
  }
}

// A subclass that stops early (NextChar answers -1) ends the scan at once.
class StopAfter : public Recorder {
 public:
  StopAfter(const std::string& input, int stopAt) : Recorder(input, 16), stopAt_(stopAt) {}

 protected:
  int NextChar() override { return Reads() >= stopAt_ ? -1 : Recorder::NextChar(); }

 private:
  int stopAt_;
};

TEST(HTMLParser, StopsWhenTheSubclassAsks) {
  StopAfter parser("ab<c>de", 4);
  EXPECT_EQ(parser.Transcript(), "T[ab]{<c}");
  EXPECT_EQ(parser.Reads(), 4);
}

// The body reaches the subclass with a delay of the closing text's length
// (a character leaves once ten are held); what is still held when the input
// ends is handed over then.
class FirstBodyRead : public Recorder {
 public:
  explicit FirstBodyRead(const std::string& input) : Recorder(input, 64) {}
  int readsAtFirst = 0;

 protected:
  void OnComment(int ch) override {
    if (!readsAtFirst) readsAtFirst = Reads();
    Recorder::OnComment(ch);
  }
};

TEST(HTMLParser, BodyIsHeldBackByTheClosingLength) {
  FirstBodyRead script("<SCRIPT>0123456789abcdef");
  EXPECT_EQ(script.Transcript(), "{<SCRIPT>}C[0123456789abcdef]");
  EXPECT_EQ(script.readsAtFirst, 8 + 10);
  FirstBodyRead style("<STYLE>0123456789abcdef");
  style.Transcript();
  EXPECT_EQ(style.readsAtFirst, 7 + 9);
  StopAfter stopped("<SCRIPT>0123456789abc", 8 + 12);
  EXPECT_EQ(stopped.Transcript(), "{<SCRIPT>}C[0123456789ab]");
}

// The tag buffer is the caller's when given; OnTag may rewrite the tag in
// place, and the rewritten tag decides whether a body follows.
class Rewriter : public HTMLParser {
 public:
  Rewriter(char* buffer, int size) : HTMLParser(buffer, size) {}
  std::string log;
  const char* input = "<X>a</SCRIPT>";
  int pos = 0;

 protected:
  int NextChar() override { return input[pos] ? static_cast<unsigned char>(input[pos++]) : -1; }
  void OnText(int ch) override { log += static_cast<char>(ch); }
  void OnComment(int ch) override { log += '#'; log += static_cast<char>(ch); }
  void OnTag(char* tag) override {
    EXPECT_EQ(tag, TagBuffer());
    log += "{";
    log += tag;
    log += "}";
    if (tag[1] == 'X') snprintf(tag, BufferSize(), "<SCRIPT>");
  }
};

TEST(HTMLParser, CallerBufferAndInPlaceRewrite) {
  char buffer[16];
  Rewriter parser(buffer, sizeof buffer);
  parser.Scan();
  EXPECT_EQ(parser.log, "{<X>}#a{</SCRIPT>}");
}

// With growing allowed, a longer tag is kept whole up to the largest size;
// past it the rule above holds. A caller's buffer is left for one of the
// parser's own once it is outgrown.
TEST(HTMLParser, GrowingTagBuffer) {
  const std::string tag = "<META CONTENT=\"" + std::string(100, 'v') + "\">";  // 117 characters
  const OverflowCase cases[] = {
      {200, "<ABCDEFGHIJKL>x", "{<ABCDEFGHIJKL>}T[x]", 0},
      {118, "", "", 0},  // the long tag, just fitting
      {117, "", "", 1},
  };
  for (const OverflowCase& c : cases) {
    std::string input = *c.input ? c.input : tag + "z";
    std::string expected = *c.transcript ? c.transcript
                           : c.overflows ? "T[" + tag + "z]"
                                         : "{" + tag + "}T[z]";
    for (size_t chunk : {1, 4096}) {
      Recorder parser(input, 10, chunk);
      parser.GrowTagsUpTo(c.size);
      EXPECT_EQ(parser.Transcript(), expected) << c.size << " refilled by " << chunk;
      EXPECT_EQ(parser.OverflowCount(), c.overflows) << c.size;
    }
  }
  char buffer[16];
  Rewriter caller(buffer, sizeof buffer);
  caller.GrowTagsUpTo(64);
  caller.input = "<A HREF=\"a-long-target.htm\">a</SCRIPT>";
  caller.Scan();
  EXPECT_EQ(caller.log, "{<A HREF=\"a-long-target.htm\">}a{</SCRIPT>}");
}

// Echoes every hook back into one string, reading from a stream; stops at
// the tag <STOP>.
class StreamEcho : public HTMLStreamParser {
 public:
  StreamEcho(FILE* stream, int size) : HTMLStreamParser(stream, size) {}
  std::string echo;

 protected:
  void OnText(int ch) override { echo += static_cast<char>(ch); }
  void OnComment(int ch) override { echo += static_cast<char>(ch); }
  void OnTag(char* tag) override {
    echo += tag;
    if (std::string(tag) == "<STOP>") Stop();
  }
};

std::string ScanStream(const std::string& content, int size = 64) {
  FILE* stream = tmpfile();
  fwrite(content.data(), 1, content.size(), stream);
  rewind(stream);
  StreamEcho parser(stream, size);
  parser.Scan();
  fclose(stream);
  return parser.echo;
}

TEST(HTMLStreamParser, ReadsTheWholeStreamAcrossBlocks) {
  // Tags and comments straddle the read-ahead blocks; bytes above 127 pass
  // as they are.
  std::string page;
  for (int i = 0; i < 300; ++i) page += "<P>x\xE9<!-- c -->";
  EXPECT_EQ(ScanStream(page), page);
  EXPECT_EQ(ScanStream(""), "");
}

TEST(HTMLStreamParser, StopEndsTheScan) {
  std::string head(700, 'a');
  EXPECT_EQ(ScanStream(head + "<STOP>" + "rest<B>"), head + "<STOP>");
}

TEST(HTMLParserDeathTest, BufferOfFewerThanTenBytes) {
  EXPECT_EXIT(Recorder("x", 9), testing::ExitedWithCode(3), "Assertion failed: size >= kMinBufferSize");
}

}  // namespace
