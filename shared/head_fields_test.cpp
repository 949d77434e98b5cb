#include "shared/head_fields.h"

#include <gtest/gtest.h>

#include <string>

TEST(HeadFields, NamesAreReadWithoutRegardToCase) {
  struct Case {
    const char* name;
    HeadMeta field;
  } const cases[] = {
      {"DESCRIPTION", HeadMeta::kDescription}, {"description", HeadMeta::kDescription},
      {"Subject", HeadMeta::kDescription},     {"KEYWORDS", HeadMeta::kKeywords},
      {"keywords", HeadMeta::kKeywords},       {"FileInfo", HeadMeta::kFileInfo},
      {"SORTORDER", HeadMeta::kSortOrder},     {"forward", HeadMeta::kForward},
      {"ALIAS", HeadMeta::kAlias},             {"generator", HeadMeta::kGenerator},
      {"KEYWORD", HeadMeta::kNone},            {"KEYWORDSX", HeadMeta::kNone},
      {"DESC", HeadMeta::kNone},               {"", HeadMeta::kNone},
      {"AUTHOR", HeadMeta::kNone},
  };
  for (const Case& c : cases) EXPECT_EQ(HeadMetaOf(c.name), c.field) << c.name;
}

// Every field is written with a name that reads back as that field, and
// SUBJECT is only ever read.
TEST(HeadFields, WrittenNamesReadBack) {
  const HeadMeta fields[] = {HeadMeta::kDescription, HeadMeta::kKeywords,  HeadMeta::kFileInfo,
                             HeadMeta::kSortOrder,   HeadMeta::kForward,   HeadMeta::kAlias,
                             HeadMeta::kGenerator};
  for (HeadMeta field : fields) {
    ASSERT_NE(HeadMetaName(field), nullptr);
    EXPECT_EQ(HeadMetaOf(HeadMetaName(field)), field) << HeadMetaName(field);
  }
  EXPECT_EQ(std::string(HeadMetaName(HeadMeta::kDescription)), "DESCRIPTION");
  EXPECT_EQ(HeadMetaName(HeadMeta::kNone), nullptr);
}
