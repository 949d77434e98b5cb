// URL mapping, content types and the answer texts.
#include <gtest/gtest.h>

#include <string>

#include "platform/env.h"
#include "platform/testing/test_support.h"
#include "programs/localweb/request.h"
#include "programs/localweb/server_settings.h"
#include "programs/localweb/testing/http_answers.h"

namespace {

// The mapped path, or the status that refuses it: "(403)", "(404)".
std::string Mapped(const char* url, const ServerSettings& settings) {
  unsigned refusal = 0;
  String path = MapUrlToPath(url, settings, &refusal);
  return path.IsNull() ? "(" + std::to_string(refusal) + ")" : path.Text();
}

TEST(LocalwebMapping, UrlsWithoutRules) {
  ServerSettings none;
  struct Case {
    const char* url;
    const char* path;
  } cases[] = {
      {"/photos/", "\\photos\\index.htm"},
      {"/", "\\index.htm"},
      {"/a%20b.gif", "\\a b.gif"},
      {"/x.htm?q=1/2", "\\x.htm"},
      {"/a..b.htm", "\\a..b.htm"},
      {"/./x.htm", "\\.\\x.htm"},
      // Nothing outside the site: dot-only parts, drives, control bytes.
      {"/../secret.txt", "(403)"},
      {"/a/..", "(403)"},
      {"/a/%2e%2e/b.txt", "(403)"},
      {"/a/%2E%2e%5cb.txt", "(403)"},
      {"/a/.../b.txt", "(403)"},
      {"/a\\..\\b.txt", "(403)"},
      {"/c:/windows/x.txt", "(403)"},
      {"/d|/x.txt", "(403)"},
      {"/x%3a.txt", "(403)"},
      {"/x.cgi%00.htm", "(403)"},
      {"/x%0a.htm", "(403)"},
      // Names that begin with '.' are private: answered as if absent.
      {"/.git/config", "(404)"},
      {"/photos/.hidden/page.htm", "(404)"},
      {"/.env", "(404)"},
      {"/a/.htaccess", "(404)"},
      {"/%2egit/config", "(404)"},
      {"/a%5c.ssh%5cid_rsa", "(404)"},
      {"/cgi/.x.cgi?a=1", "(404)"},
      {"/a/..b", "(404)"},
      {"/.git/../x.htm", "(403)"},
  };
  for (const Case& c : cases) EXPECT_EQ(Mapped(c.url, none), c.path) << c.url;
}

// An escape's digits are '0'-'9' and 'A'-'F' of either case: a '%' before
// anything else is dropped, and one digit alone is a byte of its own, which
// below 16 is a control byte that the server refuses.
TEST(LocalwebMapping, OnlyHexDigitsFormEscapes) {
  ServerSettings none;
  struct Case {
    const char* url;
    const char* path;
  } cases[] = {
      {"/%G1.txt", "\\G1.txt"},
      {"/%g1.txt", "\\g1.txt"},
      {"/%@A.txt", "\\@A.txt"},
      {"/a%1G.txt", "(403)"},
      {"/a%4z.txt", "(403)"},
      {"/a%41G.txt", "\\aAG.txt"},
  };
  for (const Case& c : cases) EXPECT_EQ(Mapped(c.url, none), c.path) << c.url;
}

TEST(LocalwebMapping, RulesInFileOrder) {
  struct Case {
    const char* lines[2];
    const char* url;
    const char* path;
  } cases[] = {
      {{"Pass /cgi-bin/ c:/scripts/", nullptr}, "/cgi-bin/idx.cgi?page=2", "c:\\scripts\\idx.cgi"},
      {{"Pass /cgi-bin/ c:/scripts/", nullptr}, "/CGI-BIN/Idx.cgi", "c:\\scripts\\Idx.cgi"},
      {{"Pass /cgi-bin/ c:/scripts/", nullptr}, "/cgi-bin", "\\cgi-bin"},
      {{"Map /a/ /b/", "Map /b/ /c/"}, "/a/x.htm", "\\c\\x.htm"},
      {{"Pass /a/ /b/", "Map /b/ /c/"}, "/a/x.htm", "\\b\\x.htm"},
      {{"Map /old/", nullptr}, "/old/x.htm", "x.htm"},
      {{"Map /site/ /www/", nullptr}, "/site/", "\\www\\index.htm"},
      {{"Map /site/ /www/", nullptr}, "/site/../private.txt", "(403)"},
      // A rule may lead into a folder whose name begins with '.'; the URL
      // may not name one.
      {{"Map /site/ /home/.www/", nullptr}, "/site/x.htm", "\\home\\.www\\x.htm"},
      {{"Map /site/ /home/.www/", nullptr}, "/site/.x.htm", "(404)"},
  };
  for (const Case& c : cases) {
    ServerSettings s;
    for (const char* line : c.lines) {
      if (line) ApplyConfigLine(line, &s);
    }
    EXPECT_EQ(Mapped(c.url, s), c.path) << c.url;
  }
}

TEST(LocalwebTypes, FixedRegistryAndCgi) {
  TempDrive drive;
  SetEnv("WEFTREGISTRY", drive.Host("registry.txt").c_str());
  struct Case {
    const char* path;
    const char* type;
  } cases[] = {
      {"\\a.TXT", "text/plain"}, {"\\a.htm", "text/html"},   {"\\a.Html", "text/html"},
      {"\\a.jpg", "image/jpeg"}, {"\\a.JPEG", "image/jpeg"}, {"\\a.gif", "image/gif"},
      {"\\a.cgi", "*"},          {"\\a.exe", "*"},           {"\\a.BAT", "*"},
      {"\\a.png", "image/png"},  {"\\a.CSS", "text/css"},
      {"\\a.zzq", ""},           {"\\noext", ""},            {"\\dir.x\\noext", ""},
  };
  for (const Case& c : cases) {
    String type = ContentTypeFor(c.path);
    EXPECT_STREQ(type.IsNull() ? "" : type.Text(), c.type) << c.path;
  }
  SetEnv("WEFTREGISTRY", nullptr);
}

TEST(LocalwebAnswers, HeaderLines) {
  char buffer[512];
  size_t length = FormatResponseHeader(buffer, sizeof buffer, true, 200, "OK", 12, "text/html");
  EXPECT_EQ(WithoutDate(std::string(buffer, length)),
            "HTTP/1.0 200 OK\r\nServer: SERVER/1.0\r\nDate: *\r\nContent-Type: text/html\r\n"
            "Content-Length: 12\r\n\r\n");
  length = FormatResponseHeader(buffer, sizeof buffer, true, 299, "", 0, nullptr);
  EXPECT_EQ(WithoutDate(std::string(buffer, length)),
            "HTTP/1.0 299 \r\nServer: SERVER/1.0\r\nDate: *\r\nContent-Length: 0\r\n\r\n");
  length = FormatResponseHeader(buffer, sizeof buffer, true, 200, "OK", 5, "*");
  EXPECT_EQ(WithoutDate(std::string(buffer, length)),
            "HTTP/1.0 200 OK\r\nServer: SERVER/1.0\r\nDate: *\r\nContent-Length: 5\r\n");
  EXPECT_EQ(FormatResponseHeader(buffer, sizeof buffer, false, 200, "OK", 5, "text/html"), 0u);
  // A small buffer gets a cut, terminated header.
  EXPECT_EQ(FormatResponseHeader(buffer, 10, true, 200, "OK", 5, nullptr), 9u);
  EXPECT_STREQ(buffer, "HTTP/1.0 ");
}

TEST(LocalwebAnswers, ErrorPages) {
  const std::string page404 =
      "<HTML>\r\n<HEAD>\r\n<TITLE>Error</TITLE>\r\n</HEAD>\r\n<BODY>\r\n<H1>Error 404</H1>\r\n"
      "Not Found\r\n</BODY>\r\n</HTML>\r\n";
  EXPECT_EQ(std::string(FormatErrorPage(false, 404, nullptr)), page404);
  EXPECT_EQ(WithoutDate(std::string(FormatErrorPage(true, 404, nullptr))),
            "HTTP/1.0 404 Not Found\r\nServer: SERVER/1.0\r\nDate: *\r\nContent-Type: text/html\r\n"
            "Content-Length: " + std::to_string(page404.size()) + "\r\n\r\n" + page404);
  EXPECT_EQ(std::string(FormatErrorPage(false, 500, "Can't execute CGI script.")),
            "<HTML>\r\n<HEAD>\r\n<TITLE>Error</TITLE>\r\n</HEAD>\r\n<BODY>\r\n<H1>Error 500</H1>\r\n"
            "Internal Server Error\r\n<P>\r\nCan't execute CGI script.</BODY>\r\n</HTML>\r\n");
  // A message longer than the page is cut to the 1024-byte body.
  String big = FormatErrorPage(false, 400, std::string(3000, 'm').c_str());
  EXPECT_EQ(big.Length(), 1023u);
}

TEST(LocalwebAnswers, CGIHeaderLength) {
  struct Case {
    std::string output;
    size_t length;
  } cases[] = {
      {"Content-type: text/html\n\nbody", 25},
      {"Content-type: text/html\r\n\r\nbody", 27},
      {"A: 1\r\nB: 2\n\r\n\nbody", 13},
      {"\nbody", 1},
      {"Content-type: text/html\n", 0},
      {"no header at all", 0},
      {"", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(CGIHeaderLength(c.output.data(), c.output.size()), c.length) << c.output;
}

TEST(LocalwebAnswers, HtmlTextEscapesMarkup) {
  EXPECT_EQ(HtmlText("C:\\a<script>\"x\"&y</script>"),
            "C:\\a&lt;script&gt;&quot;x&quot;&amp;y&lt;/script&gt;");
  // A name beyond ASCII reads right on a page that declares no charset.
  EXPECT_EQ(HtmlText("C:\\Caf\xC3\xA9\\x\xE9.cgi"), "C:\\Caf&#233;\\x\xE9.cgi");
}

}  // namespace
