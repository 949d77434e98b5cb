#include "programs/unpost/decoders.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Uu(const std::string& line, UuRules rules = {}) {
  unsigned char out[kMaxUuLineBytes];
  int n = DecodeUuLine(line, rules, out);
  return n < 0 ? "<invalid>" : std::string(reinterpret_cast<char*>(out), n);
}

std::string Bytes45() {
  std::string bytes;
  for (int i = 0; i < 45; ++i) bytes += static_cast<char>(i);
  return bytes;
}

const std::string kFull = "M  $\" P0%!@<(\"0H+# T.#Q 1$A,4%187&!D:&QP='A\\@(2(C)\"4F)R@I*BLL";

TEST(UuLine, DecodesValidLines) {
  EXPECT_EQ(Uu("#0V%T"), "Cat");
  EXPECT_EQ(Uu("-2&5L;&\\L(%=O<FQD(0  "), "Hello, World!");
  EXPECT_EQ(Uu("!00``"), "A");  // the grave accent stands for 0
  EXPECT_EQ(Uu("!00"), "A");    // padding characters may be left out
  EXPECT_EQ(Uu("`"), "");
  EXPECT_EQ(Uu(" "), "");
  EXPECT_EQ(Uu(kFull), Bytes45());
}

TEST(UuLine, RejectsInvalidLines) {
  struct Case {
    std::string line;
    UuRules rules;
    const char* why;
  } cases[] = {
      {"", {}, "empty"},
      {"end", {}, "letters above the grave accent"},
      {"#0V%\x1f", {}, "a control character"},
      {"N" + std::string(60, '!'), {}, "length 46"},
      {"#0V", {}, "too few characters for the length"},
      {kFull + "!", {}, "61 characters after the length"},
      {"#0V%T!!!!", {}, "a group more than the length needs"},
      {"-2&5L;&\\L(%=O<FQD(0", {false, true}, "strict: 18 characters after the length"},
  };
  for (const auto& c : cases) EXPECT_EQ(Uu(c.line, c.rules), "<invalid>") << c.why;
}

TEST(UuLine, LaxAllowsLongLinesAndSurplusGroups) {
  UuRules lax{true, false};
  EXPECT_EQ(Uu(kFull + "!!!!", lax), Bytes45());
  EXPECT_EQ(Uu("#0V%T!!!!", lax), "Cat");
  UuRules strict{false, true};
  EXPECT_EQ(Uu("#0V%T", strict), "Cat");
}

TEST(UuBegin, NameAfterTheMode) {
  struct Case {
    const char* line;
    const char* name;
  } cases[] = {
      {"begin 644 PHOTO.JPG", "photo.jpg"},
      {"begin 644   My Photo.jpg  \t", "My Photo.jpg"},
      {"begin   0755 ../../etc/passwd", "passwd"},
      {"begin notes.txt", "notes.txt"},
      {"begin 644 ..", ""},
      {"begin 644 ", ""},
      {"begin the story", "the story"},
  };
  for (const auto& c : cases) EXPECT_EQ(UuBeginName(c.line), c.name) << c.line;
  EXPECT_EQ(UuBeginName("begin 644 " + std::string(64, 'a')), std::string(64, 'a'));
  EXPECT_EQ(UuBeginName("begin 644 " + std::string(65, 'a')), "");
}

TEST(Yenc, DecodesWithEscapes) {
  std::string line = "r\x8f\x96\x96\x99";
  unsigned char out[16];
  ASSERT_EQ(DecodeYencLine(line, out), 5u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 5), "Hello");
  const std::string escaped = "*=@=M=}-";
  ASSERT_EQ(DecodeYencLine(escaped, out), 5u);
  const unsigned char expected[] = {0, 214, 227, 19, 3};
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 5), std::string(reinterpret_cast<const char*>(expected), 5));
  // An escape at the line end has nothing to escape.
  EXPECT_EQ(DecodeYencLine("r=", out), 1u);
}

TEST(Yenc, BeginAndEndLines) {
  struct Case {
    const char* line;
    bool handled;
    long lineLength, size;
    const char* name;
  } cases[] = {
      {"=ybegin line=128 size=5 name=Hello.TXT", true, 128, 5, "Hello.TXT"},
      {"=ybegin line=128 size=5 name=HELLO.TXT  ", true, 128, 5, "hello.txt"},
      {"=ybegin line=128 name=a b size=9.bin", true, 128, -1, "a b size=9.bin"},
      {"=ybegin line=x size= name=a", true, -1, -1, "a"},
      {"=ybegin line=128 size=5 name=C:\\dir\\..\\x.bin", true, 128, 5, "x.bin"},
      {"=ybegin part=1 line=128 size=5 name=a", false, -1, -1, ""},
      {"=ybegin line=128 size=5", false, -1, -1, ""},
      {"=ybegin line=128 size=5 name=..", false, 128, 5, ""},
  };
  for (const auto& c : cases) {
    YencBegin begin = ParseYencBegin(c.line);
    EXPECT_EQ(begin.handled, c.handled) << c.line;
    if (!c.handled) continue;
    EXPECT_EQ(begin.lineLength, c.lineLength) << c.line;
    EXPECT_EQ(begin.size, c.size) << c.line;
    EXPECT_EQ(begin.name, c.name) << c.line;
  }
  YencEnd end = ParseYencEnd("=yend size=5 crc32=F7D18982");
  EXPECT_EQ(end.size, 5);
  EXPECT_TRUE(end.hasCrc);
  EXPECT_EQ(end.crc, 0xF7D18982u);
  end = ParseYencEnd("=yend size=5 pcrc32=F7D18982");
  EXPECT_FALSE(end.hasCrc);
  EXPECT_EQ(ParseYencEnd("=yend").size, -1);
}

TEST(Yenc, DataErrorsAreNumberedInOrder) {
  YencTally good;
  good.begin = {true, 128, 5, "a"};
  good.end = {5, true, 0x1234};
  good.actualSize = 5;
  good.actualCrc = 0x1234;
  good.shortLines = 1;
  EXPECT_TRUE(YencDataErrors(good).empty());

  struct Case {
    const char* what;
    void (*change)(YencTally*);
    std::vector<std::string> items;
  } cases[] = {
      {"two short lines", [](YencTally* t) { t->shortLines = 2; },
       {"         1.  There were 2 short lines (< 128 characters).\n"}},
      {"one long line", [](YencTally* t) { t->longLines = 1; },
       {"         1.  There was 1 long line (> 129 characters).\n"}},
      {"three long lines", [](YencTally* t) { t->longLines = 3; },
       {"         1.  There were 3 long lines (> 129 characters).\n"}},
      {"no begin size", [](YencTally* t) { t->begin.size = -1; },
       {"         1.  \"=ybegin\" size is not specified.\n",
        "         2.  \"=yend\" size (5) doesn't match \"=ybegin\" size (-1).\n"}},
      {"no sizes, no line length", [](YencTally* t) { t->begin.size = t->end.size = t->begin.lineLength = -1; },
       {"         1.  \"=ybegin\" size is not specified.\n",
        "         2.  \"=ybegin\" line length is not specified.\n",
        "         3.  \"=yend\" size is not specified.\n"}},
      {"actual size differs", [](YencTally* t) { t->actualSize = 4; },
       {"         1.  Actual size (4) doesn't match specified size (5).\n"}},
      {"actual size matches the end size", [](YencTally* t) { t->end.size = 4, t->actualSize = 4; },
       {"         1.  \"=yend\" size (4) doesn't match \"=ybegin\" size (5).\n"}},
      {"no end size, actual size differs", [](YencTally* t) { t->end.size = -1, t->actualSize = 6; },
       {"         1.  \"=yend\" size is not specified.\n",
        "         2.  Actual size (6) doesn't match specified size (5).\n"}},
      {"crc differs", [](YencTally* t) { t->actualCrc = 0xABCD; },
       {"         1.  Actual CRC (0000abcd) doesn't match \"=yend\" crc32 (00001234).\n"}},
  };
  for (const auto& c : cases) {
    YencTally tally = good;
    c.change(&tally);
    EXPECT_EQ(YencDataErrors(tally), c.items) << c.what;
  }
}

TEST(Crc32, KnownValues) {
  const std::string digits = "123456789";
  auto data = reinterpret_cast<const unsigned char*>(digits.data());
  EXPECT_EQ(Crc32(0, data, digits.size()), 0xCBF43926u);
  EXPECT_EQ(Crc32(Crc32(0, data, 4), data + 4, 5), 0xCBF43926u);  // piece by piece
  EXPECT_EQ(Crc32(0, data, 0), 0u);
  const std::string fox = "The quick brown fox jumps over the lazy dog";
  EXPECT_EQ(Crc32(0, reinterpret_cast<const unsigned char*>(fox.data()), fox.size()), 0x414FA339u);
}

// The CRC one bit at a time, as the polynomial defines it.
uint32_t BitwiseCrc32(const unsigned char* data, size_t size) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ ((crc & 1) ? 0xEDB88320u : 0);
  }
  return ~crc;
}

TEST(Crc32, EveryLengthAndSplitAsBitByBit) {
  unsigned char data[300];
  uint32_t seed = 12345;
  for (unsigned char& byte : data) {
    seed = seed * 1103515245u + 12345u;
    byte = static_cast<unsigned char>(seed >> 16);
  }
  for (size_t length = 0; length <= 70; ++length) {
    for (size_t offset : {0, 1, 3, 7}) {
      uint32_t expected = BitwiseCrc32(data + offset, length);
      EXPECT_EQ(Crc32(0, data + offset, length), expected) << length << " at " << offset;
      size_t split = length / 3;
      EXPECT_EQ(Crc32(Crc32(0, data + offset, split), data + offset + split, length - split), expected)
          << length << " split at " << split;
    }
  }
  EXPECT_EQ(Crc32(0, data, sizeof data), BitwiseCrc32(data, sizeof data));
}

TEST(Base64, Lines) {
  struct Case {
    std::string line;
    Base64Line result;
    std::string bytes;
  } cases[] = {
      {"SGVsbG8gV29y", Base64Line::kMore, "Hello Wor"},
      {"bGQ=", Base64Line::kEnd, "ld"},
      {"bA==", Base64Line::kEnd, "l"},
      {"bA=xQUJD", Base64Line::kEnd, "l"},  // data end at the padding
      {"QUJ", Base64Line::kBad, ""},
      {"QUJDQ!JD", Base64Line::kBad, "ABC@\x02" "C"},  // outside the alphabet: written as 0
      {"QUJD=UJD", Base64Line::kBad, "ABC\x01" "BC"},  // padding in the first place
      {"QUJDQ\xc3JD", Base64Line::kBad, "ABC"},  // high bit: that group is not written
      {"QU=!", Base64Line::kBad, std::string("A@\0", 3)},  // a byte of no use wins over the pad
      {"+/09azAZ", Base64Line::kMore, "\xfb\xfd=k0\x19"},  // the alphabet's edges
      {"", Base64Line::kMore, ""},
  };
  for (const auto& c : cases) {
    std::string bytes;
    EXPECT_EQ(DecodeBase64Line(c.line, &bytes), c.result) << c.line;
    EXPECT_EQ(bytes, c.bytes) << c.line;
  }
  EXPECT_TRUE(IsBase64Char('+'));
  EXPECT_TRUE(IsBase64Char('/'));
  EXPECT_FALSE(IsBase64Char('='));
  EXPECT_FALSE(IsBase64Char('-'));
}

}  // namespace
