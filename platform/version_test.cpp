#include <gtest/gtest.h>

#include "platform/version.h"

// The block a program defines takes the place of the layer's empty default.
WEFT_PROGRAM_VERSION("WEFTTEST", "Platform layer tests", "1.02", nullptr);

namespace {

TEST(Version, ProgramBlockReplacesTheEmptyDefault) {
  const ProgramVersionBlock& block = ProgramVersion();
  EXPECT_STREQ(block.internalName, "WEFTTEST");
  EXPECT_STREQ(block.fileDescription, "Platform layer tests");
  EXPECT_STREQ(block.fileVersion, "1.02");
  EXPECT_EQ(block.legalCopyright, nullptr);
}

}  // namespace
