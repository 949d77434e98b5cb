#include "programs/unpost/message.h"

#include <gtest/gtest.h>

#include <string>

#include "programs/unpost/header_scan.h"

namespace {

TEST(HeaderScan, TokensValuesAndFoldedLines) {
  struct Case {
    const char* text;
    const char* (*read)(const char*&, std::string*);
    const char* value;
    const char* rest;
  };
  auto token = [](const char*& p, std::string* out) -> const char* { return (*out = ReadToken(p)).c_str(); };
  auto value = [](const char*& p, std::string* out) -> const char* { return (*out = ReadValue(p)).c_str(); };
  const Case cases[] = {
      {"  Content-Type: x", token, "Content-Type", ": x"},
      {"\n\tname=x", token, "name", "=x"},          // a folded line end is white space
      {"\n\t\nname", token, "", "\n\t\nname"},      // a line of blanks alone is no fold
      {"\nname", token, "", "\nname"},
      {"a(b", token, "a", "(b"},
      {"\"a b;c\";x", value, "a b;c", ";x"},
      {"\"open\nx", value, "open", "\nx"},
      {"plain;x", value, "plain", ";x"},
  };
  for (const Case& c : cases) {
    const char* p = c.text;
    std::string out;
    EXPECT_STREQ(c.read(p, &out), c.value) << c.text;
    EXPECT_STREQ(p, c.rest) << c.text;
  }
}

TEST(HeaderScan, TokensAreCutAt255) {
  std::string text(300, 'a');
  text += ";";
  const char* p = text.c_str();
  EXPECT_EQ(ReadToken(p), std::string(255, 'a'));
  EXPECT_STREQ(p, ";");
}

TEST(HeaderScan, NextParameterStaysOnItsLine) {
  struct Case {
    const char* text;
    bool found;
    const char* rest;
  } cases[] = {
      {"; a=1", true, "a=1"},
      {" \"x;y\"; b=2", true, "b=2"},
      {";\n\tc=3", true, "c=3"},
      {"\n\t; d=4", true, "d=4"},
      {" x\nContent-Type: y; e=5", false, "\nContent-Type: y; e=5"},
      {";  \n", false, "\n"},
      {";", false, ""},
  };
  for (const auto& c : cases) {
    const char* p = c.text;
    EXPECT_EQ(NextParameter(p), c.found) << c.text;
    EXPECT_STREQ(p, c.rest) << c.text;
  }
}

struct HeaderCase {
  const char* text;
  const char* type;
  const char* subtype;
  const char* boundary;
  const char* encoding;
  const char* fileName;
  const char* body;
};

const HeaderCase kHeaderCases[] = {
    {"Subject: x\n\nbody\n", "text", "plain", "", "7bit", "", "body\n"},
    {"Content-Type: application\n\nb", "application", "", "", "7bit", "", "b"},
    {"content-type: Multipart/Mixed; BOUNDARY=\"=_Ab c\"\n\n", "Multipart", "Mixed", "=_Ab c", "7bit", "", ""},
    {"Content-Type: multipart/mixed;\n\tboundary=xyz\nX: y\n\nb", "multipart", "mixed", "xyz", "7bit", "", "b"},
    {"Content-Type: image/jpeg; name=\"PHOTO.JPG\"\nContent-Disposition: attachment; filename=other.jpg\n\n",
     "image", "jpeg", "", "7bit", "photo.jpg", ""},
    {"Content-Disposition: attachment; filename=\"C:\\tmp\\..\\Evil.Jpg\"\nContent-Type: image/gif; name=x.gif\n\n",
     "image", "gif", "", "7bit", "Evil.Jpg", ""},
    {"Content-Type: image/gif; name=\"..\"; name=b.gif\n\n", "image", "gif", "", "7bit", "b.gif", ""},
    {"Content-Transfer-Encoding: BASE64\nContent-Transfer-Encoding: 8bit\n\nQUJD\n", "text", "plain", "", "BASE64",
     "", "QUJD\n"},
    {"Content-Type : text/html\nContent-Typed: text/html\n\n", "text", "plain", "", "7bit", "", ""},
    {"\nbody", "text", "plain", "", "7bit", "", "body"},
    {"Subject: no body", "text", "plain", "", "7bit", "", ""},
    {"", "text", "plain", "", "7bit", "", ""},
};

TEST(Message, HeaderValues) {
  for (const HeaderCase& c : kHeaderCases) {
    std::string text = c.text;
    Message message(text.data());
    message.Split();
    EXPECT_EQ(message.type, c.type) << c.text;
    EXPECT_EQ(message.subtype, c.subtype) << c.text;
    EXPECT_EQ(message.boundary, c.boundary) << c.text;
    EXPECT_EQ(message.transferEncoding, c.encoding) << c.text;
    EXPECT_EQ(message.fileName, c.fileName) << c.text;
    EXPECT_STREQ(message.body, c.body) << c.text;
  }
}

TEST(Message, ExtendedFileNames) {
  struct Case {
    const char* header;
    const char* fileName;
  } cases[] = {
      {"Content-Disposition: attachment; filename*=utf-8''Gr%C3%BC%C3%9Fe%20vom%20Strand.jpg",
       "Gr\xC3\xBC\xC3\x9F" "e vom Strand.jpg"},
      // Pieces, encoded or not, joined in number order whatever their order in the header.
      {"Content-Disposition: attachment;\n filename*1*=%C3%A4.JPG;\n filename*0*=UTF-8'de'Se", "Se\xC3\xA4.JPG"},
      {"Content-Type: image/png; name*2=\"c d.png\"; name*0=a; name*1*=%20b%20", "a b c d.png"},
      // A gap ends the pieces.
      {"Content-Type: image/png; name*0=a; name*2=c.png", "a"},
      // ISO-8859-1 and windows-1252 become UTF-8; other charsets keep their bytes.
      {"Content-Type: image/png; name*=iso-8859-1''caf%E9.png", "caf\xC3\xA9.png"},
      {"Content-Type: image/png; name*=windows-1252''%80%20euro.png", "\xE2\x82\xAC euro.png"},
      {"Content-Type: image/png; name*=koi8-r''%C1.png", "\xC1.png"},
      // The extended form wins over the plain one of the same header; an
      // unusable one falls back to it.
      {"Content-Disposition: attachment; filename=\"plain.jpg\"; filename*=utf-8''ext.jpg", "ext.jpg"},
      {"Content-Disposition: attachment; filename*=utf-8''..; filename=\"plain.jpg\"", "plain.jpg"},
      {"Content-Disposition: attachment; filename*=''%2e%2e%2Fup%2FEvil.Jpg", "Evil.Jpg"},
      // No charset quotes, a stray '%', names that only begin like the parameter.
      {"Content-Type: image/png; name*=100%25%zz.png", "100%%zz.png"},
      {"Content-Type: image/png; names=x.png; name*x=y.png; name*1000=z.png", ""},
  };
  for (const auto& c : cases) {
    std::string text = std::string(c.header) + "\n\n";
    Message message(text.data());
    EXPECT_EQ(message.fileName, c.fileName) << c.header;
  }
}

TEST(Message, ExtendedFileNamesAreCutLikeTokens) {
  std::string text = "Content-Type: image/png;";
  std::string letters;
  for (int i = 0; i < 20; ++i) letters += "%C3%A4";  // 'ä', two bytes each
  for (int i = 0; i < 9; ++i) text += " name*" + std::to_string(i) + "*=" + letters + ";";
  text += "\n\n";
  Message message(text.data());
  EXPECT_EQ(message.fileName.size(), 254u);  // 255 would cut an 'ä' in two
}

TEST(Message, SplitEndsTheHeadingAtTheEmptyLine) {
  std::string text = "From: a\nSubject: b\n\nline 1\n";
  Message message(text.data());
  message.Split();
  EXPECT_STREQ(message.heading, "From: a\nSubject: b\n");
  EXPECT_STREQ(message.body, "line 1\n");
}

TEST(Message, MultipartPartsPreambleAndEpilogue) {
  std::string text =
      "Content-Type: multipart/mixed; boundary=\"b1\"\n\n"
      "preamble --b1 inside a line\n"
      "--b1  \t\n"
      "Content-Type: text/plain\n\nfirst\n"
      "--b1\n"
      "Content-Type: image/png; name=a.png\n"
      "--b1\n"
      "\nthird\n"
      "--b1--\nepilogue\n";
  Message message(text.data());
  message.Split();
  EXPECT_STREQ(message.body, "preamble --b1 inside a line\n");
  ASSERT_EQ(message.parts.size(), 3u);
  EXPECT_STREQ(message.parts[0]->heading, "Content-Type: text/plain\n");
  EXPECT_STREQ(message.parts[0]->body, "first\n");
  // Headers without a body end at their part.
  EXPECT_EQ(message.parts[1]->fileName, "a.png");
  EXPECT_STREQ(message.parts[1]->heading, "Content-Type: image/png; name=a.png");
  EXPECT_STREQ(message.parts[1]->body, "");
  EXPECT_STREQ(message.parts[2]->heading, "");
  EXPECT_STREQ(message.parts[2]->body, "third\n");
  ASSERT_NE(message.epilogue, nullptr);
  EXPECT_STREQ(message.epilogue, "\nepilogue\n");
}

TEST(Message, NestedMultipartAndMissingMarkers) {
  std::string text =
      "Content-Type: multipart/mixed; boundary=out\n\n"
      "--out\n"
      "Content-Type: multipart/alternative; boundary=in\n\n"
      "--in\n\nplain\n--in\n\nhtml\n--in--\n"
      "--out\n"
      "Content-Type: multipart/mixed; boundary=none\n\nno markers\n";
  Message message(text.data());
  message.Split();
  ASSERT_EQ(message.parts.size(), 2u);
  const Message& inner = *message.parts[0];
  ASSERT_EQ(inner.parts.size(), 2u);
  EXPECT_STREQ(inner.parts[0]->body, "plain\n");
  EXPECT_STREQ(inner.parts[1]->body, "html\n");
  EXPECT_STREQ(inner.epilogue, "\n");
  EXPECT_TRUE(message.parts[1]->parts.empty());
  EXPECT_STREQ(message.parts[1]->body, "no markers\n");
  EXPECT_EQ(message.epilogue, nullptr);
}

TEST(Message, DeepNestingStopsSplitting) {
  std::string text;
  for (int i = 0; i < kMaxPartDepth + 10; ++i) {
    std::string boundary = "b" + std::to_string(i) + "x";
    text += "Content-Type: multipart/mixed; boundary=" + boundary + "\n\n--" + boundary + "\n";
  }
  text += "\nend\n";
  Message message(text.data());
  message.Split();
  int depth = 0;
  for (const Message* m = &message; !m->parts.empty(); m = m->parts[0].get()) ++depth;
  EXPECT_EQ(depth, kMaxPartDepth);
}

}  // namespace
