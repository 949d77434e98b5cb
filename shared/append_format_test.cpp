#include "shared/append_format.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(AppendFormatTest, AppendsTheWholeOutputAfterWhatIsThere) {
  std::string text = "a";
  AppendFormat(&text, "%d set%s", 2, "s");
  EXPECT_EQ(text, "a2 sets");
  AppendFormat(&text, "%s", "");
  EXPECT_EQ(text, "a2 sets");
  // Far longer than any fixed buffer a writer might start with.
  std::string longText(5000, 'x');
  AppendFormat(&text, "<%s>", longText.c_str());
  EXPECT_EQ(text, "a2 sets<" + longText + ">");
}

}  // namespace
