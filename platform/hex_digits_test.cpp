#include "platform/hex_digits.h"

#include <gtest/gtest.h>

TEST(HexValue, DigitsOfEitherCaseAndNothingElse) {
  struct Case {
    char c;
    int value;
  };
  const Case cases[] = {
      {'0', 0},   {'9', 9},   {'a', 10},  {'f', 15},  {'A', 10},  {'F', 15},
      // The neighbours of each range, the letters past 'F', and bytes whose
      // upper-cased form a sloppy rule would take for a letter.
      {'/', -1},  {':', -1},  {'@', -1},  {'`', -1},  {'g', -1},  {'G', -1},
      {'z', -1},  {'Z', -1},  {'\0', -1}, {' ', -1},  {'\xC1', -1}, {'\xE6', -1},
  };
  for (const Case& c : cases) EXPECT_EQ(HexValue(c.c), c.value) << static_cast<int>(c.c);
  int digits = 0;
  for (int byte = 0; byte < 256; ++byte) digits += HexValue(static_cast<char>(byte)) >= 0;
  EXPECT_EQ(digits, 22);
}
