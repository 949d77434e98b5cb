#include "shared/htmltext.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct Case {
  const char* input;
  const char* expected;
};

TEST(HtmlDecode, Table) {
  const Case cases[] = {
      {"&#65;&#x42;&#10;&lt;", "AB<"},     // the newline is not printable
      {"&#321;", "A"},                     // only the low byte counts
      {"&#X4a;&#x4A", "JJ"},               // ';' is optional, hex in any case
      {"&nbsp;&LT;&amp", "&nbsp;&LT;&amp"},  // unknown, upper case, no ';'
      {"&quot;a&quot; &gt; &amp;amp;", "\"a\" > &amp;"},
      {"&#;x", ";x"},                      // no digits: nothing written
      {"&#xZ", "xZ"},                      // "&#x" without hex digits: on after "&#"
      {"&#x;&#X", "x;X"},
      {"a & b", "a & b"},
      {"&#200;&#127;&#31;&#32;", " "},     // printable means 32..126
      {"&#100000000000000000000000066;", "B"},  // long numbers do not overflow
      {"", ""},
  };
  for (const Case& c : cases) {
    char buffer[64];
    EXPECT_STREQ(HtmlDecode(c.input, buffer, sizeof buffer), c.expected) << c.input;
    EXPECT_STREQ(HtmlDecodeString(c.input).Text(), c.expected) << c.input;
    EXPECT_LE(strlen(c.expected) + 1, HtmlDecodedLength(c.input)) << c.input;
  }
}

TEST(HtmlDecode, BoundedAndNull) {
  char buffer[4] = "xyz";
  EXPECT_STREQ(HtmlDecode("&lt;abcdef", buffer, sizeof buffer), "<ab");
  EXPECT_STREQ(HtmlDecode("abc", buffer, 1), "");
  buffer[0] = 'q';
  HtmlDecode("abc", buffer, 0);  // writes nothing
  EXPECT_EQ(buffer[0], 'q');
  EXPECT_STREQ(HtmlDecode(nullptr, buffer, sizeof buffer), "");
  EXPECT_TRUE(HtmlDecodeString(nullptr).IsNull());
}

TEST(HtmlEncode, TableAndLength) {
  const Case cases[] = {
      {"a<b\n", "a&lt;b<BR>"},
      {"\"&>", "&quot;&amp;&gt;"},
      {"r\rs", "r\rs"},  // a carriage return is copied
      {"", ""},
  };
  for (const Case& c : cases) {
    char buffer[64];
    EXPECT_STREQ(HtmlEncode(c.input, buffer, sizeof buffer), c.expected) << c.input;
    EXPECT_STREQ(HtmlEncodeString(c.input).Text(), c.expected) << c.input;
    EXPECT_EQ(HtmlEncodedLength(c.input), strlen(c.expected) + 1) << c.input;
  }
  EXPECT_EQ(HtmlEncodedLength("a<b\n"), 11u);
  EXPECT_TRUE(HtmlEncodeString(nullptr).IsNull());
}

// References the decoders leave in the text are passed on whole; every other
// '&' is escaped, so decoding what was encoded gives the text back.
TEST(HtmlEncode, PassesOnReferencesTheDecodersKeep) {
  const Case cases[] = {
      {"Caf&eacute; &copy;", "Caf&eacute; &copy;"},
      {"Cr&#232;me&nbsp;br&#xFB;l&#233;e", "Cr&#232;me&nbsp;br&#xFB;l&#233;e"},
      {"&#321;&#x7F", "&#321;&#x7F"},  // values beyond 126
      {"&LT;", "&LT;"},                      // only the lower-case four are decoded
      {"&#65; &amp; &lt;", "&amp;#65; &amp;amp; &amp;lt;"},
      {"AT&T, a & b, &nbsp, &;", "AT&amp;T, a &amp; b, &amp;nbsp, &amp;;"},
      {"&#; &#x; &9; &#10;", "&amp;#; &amp;#x; &amp;9; &amp;#10;"},
  };
  for (const Case& c : cases) {
    char buffer[128];
    EXPECT_STREQ(HtmlEncode(c.input, buffer, sizeof buffer), c.expected) << c.input;
    EXPECT_EQ(HtmlEncodedLength(c.input), strlen(c.expected) + 1) << c.input;
    EXPECT_STREQ(HtmlDecodeKeepingString(c.expected).Text(), c.input) << c.input;
  }
}

TEST(HtmlDecodeKeeping, KeepsReferencesBeyond126) {
  const Case cases[] = {
      {"&#65;&#x42;&lt;&quot;&amp;amp;", "AB<\"&amp;"},
      {"Cr&#232;me&nbsp;br&#xFB;l&#233;e", "Cr&#232;me&nbsp;br&#xFB;l&#233;e"},
      {"&#321;&#10;&#x7F", "&#321;&#x7F"},  // the full value counts, not its low byte
      {"&#;x &#xZ", "&#;x &#xZ"},                // no digits: the text stays
      {"&#100000000000000000000000066;", "&#100000000000000000000000066;"},
  };
  for (const Case& c : cases) {
    char buffer[64];
    EXPECT_STREQ(HtmlDecodeKeeping(c.input, buffer, sizeof buffer), c.expected) << c.input;
    EXPECT_LE(strlen(c.expected) + 1, HtmlDecodedLength(c.input)) << c.input;
  }
}

TEST(HtmlEncode, ReplacementCutAtTheEnd) {
  char buffer[5];
  EXPECT_STREQ(HtmlEncode("a&b", buffer, sizeof buffer), "a&am");
  EXPECT_STREQ(HtmlEncode("ab", buffer, 1), "");
}

// Letters beyond ASCII in a page's text: each valid UTF-8 sequence becomes a
// decimal reference, whatever else the page encoding does; other bytes pass.
TEST(HtmlEncodePage, LettersBeyondAsciiAsReferences) {
  struct PageCase {
    const char* input;
    const char* page;        // HtmlEncodePage
    const char* references;  // Utf8References
  };
  const PageCase cases[] = {
      {"Caf\xC3\xA9.jpg", "Caf&#233;.jpg", "Caf&#233;.jpg"},
      {"\xC3\x85sa & <Bo>\n", "&#197;sa &amp; &lt;Bo&gt;<BR>", "&#197;sa & <Bo>\n"},
      {"\xE2\x82\xAC 5, \xF0\x9F\x98\x80", "&#8364; 5, &#128512;", "&#8364; 5, &#128512;"},
      {"\xC2\x80\xDF\xBF\xEF\xBF\xBF\xF4\x8F\xBF\xBF", "&#128;&#2047;&#65535;&#1114111;",
       "&#128;&#2047;&#65535;&#1114111;"},
      // windows-1252 and broken sequences stay as they are
      {"Caf\xE9 \xC3(\xA9 \xED\xA0\x80 \xC0\xAF", "Caf\xE9 \xC3(\xA9 \xED\xA0\x80 \xC0\xAF",
       "Caf\xE9 \xC3(\xA9 \xED\xA0\x80 \xC0\xAF"},
      {"\xE2\x82", "\xE2\x82", "\xE2\x82"},  // cut short by the end
      // references the decoders kept are passed on; only the page form knows them
      {"H&eacute;ron &#233; &amp;", "H&eacute;ron &#233; &amp;amp;", "H&eacute;ron &#233; &amp;"},
      {"plain ASCII \"quoted\"", "plain ASCII &quot;quoted&quot;", "plain ASCII \"quoted\""},
      {"", "", ""},
  };
  for (const PageCase& c : cases) {
    char buffer[128];
    EXPECT_STREQ(HtmlEncodePage(c.input, buffer, sizeof buffer), c.page) << c.input;
    EXPECT_STREQ(HtmlEncodePageString(c.input).Text(), c.page) << c.input;
    EXPECT_EQ(HtmlEncodedPageLength(c.input), strlen(c.page) + 1) << c.input;
    EXPECT_STREQ(Utf8References(c.input, buffer, sizeof buffer), c.references) << c.input;
    EXPECT_STREQ(Utf8ReferencesString(c.input).Text(), c.references) << c.input;
    EXPECT_EQ(Utf8ReferencesLength(c.input), strlen(c.references) + 1) << c.input;
  }
  // HtmlEncode, for page heads, still copies every byte beyond ASCII.
  EXPECT_STREQ(HtmlEncodeString("\xC3\x85sa & Caf\xC3\xA9").Text(), "\xC3\x85sa &amp; Caf\xC3\xA9");
  EXPECT_TRUE(HtmlEncodePageString(nullptr).IsNull());
  EXPECT_TRUE(Utf8ReferencesString(nullptr).IsNull());
}

TEST(HtmlEncodePage, ReferenceCutAtTheEnd) {
  char buffer[7];
  EXPECT_STREQ(HtmlEncodePage("ab\xC3\xA9", buffer, sizeof buffer), "ab&#23");
  EXPECT_STREQ(Utf8References("\xC3\xA9", buffer, 3), "&#");
  EXPECT_STREQ(Utf8References("\xC3\xA9", buffer, 1), "");
}

TEST(LinkUrls, Table) {
  const Case cases[] = {
      {"no address here", "no address here"},
      {"see www.a.com.", "see <A HREF=\"http://www.a.com/\">www.a.com</A>."},
      {"WWW.A.com/x", "<A HREF=\"http://WWW.A.com/x\">WWW.A.com/x</A>"},
      {"(http://a.b/c?d=1), ok",
       "(<A HREF=\"http://a.b/c?d=1\">http://a.b/c?d=1</A>), ok"},
      {"at https://x.y:", "at <A HREF=\"https://x.y\">https://x.y</A>:"},
      {"ftp://f.org/p", "<A HREF=\"ftp://f.org/p\">ftp://f.org/p</A>"},
      {"xwww.a.com 1http://a", "xwww.a.com 1http://a"},  // after a letter or digit
      {"www. a http:/ b www.(a)", "www. a http:/ b www.(a)"},  // no address character
      // Encoded quotes and brackets around an address stay outside it.
      {"see &quot;www.a.com&quot;", "see &quot;<A HREF=\"http://www.a.com/\">www.a.com</A>&quot;"},
      {"&lt;http://a.b/&gt;).", "&lt;<A HREF=\"http://a.b/\">http://a.b/</A>&gt;)."},
      {"www.&lt;", "www.&lt;"},  // nothing left behind the prefix
      {"a www.x.de\xE9t", "a <A HREF=\"http://www.x.de/\">www.x.de</A>\xE9t"},
      {"", ""},
  };
  for (const Case& c : cases) {
    char buffer[256];
    EXPECT_EQ(LinkUrls(c.input, buffer, sizeof buffer), strlen(c.expected) + 1) << c.input;
    EXPECT_STREQ(buffer, c.expected) << c.input;
    EXPECT_STREQ(LinkUrlsString(c.input).Text(), c.expected) << c.input;
    EXPECT_EQ(LinkUrls(c.input, nullptr, 0), strlen(c.expected) + 1) << c.input;
  }
  EXPECT_TRUE(LinkUrlsString(nullptr).IsNull());
}

TEST(LinkUrls, SmallBufferStopsAtFirstPieceThatDoesNotFit) {
  const char* text = "go www.a.com now";
  const size_t full = LinkUrls(text, nullptr, 0);
  // Pieces: "go ", "<A HREF=\"", "http://", ...; room for the first piece only.
  char buffer[12];
  memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(LinkUrls(text, buffer, sizeof buffer), full);
  EXPECT_STREQ(buffer, "go ");
  // Later, shorter pieces that would fit are not written after a gap.
  char tiny[4];
  EXPECT_EQ(LinkUrls("www.a.b", tiny, sizeof tiny), LinkUrls("www.a.b", nullptr, 0));
  EXPECT_STREQ(tiny, "");
  char one[1] = {'x'};
  LinkUrls("abc", one, 1);
  EXPECT_EQ(one[0], '\0');
}

}  // namespace
