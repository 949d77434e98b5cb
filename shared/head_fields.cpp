#include "shared/head_fields.h"

#include "shared/string.h"

namespace {

struct MetaName {
  const char* name;
  HeadMeta field;
};

// A field's first name is the one it is written with.
constexpr MetaName kMetaNames[] = {
    {"DESCRIPTION", HeadMeta::kDescription}, {"SUBJECT", HeadMeta::kDescription},
    {"KEYWORDS", HeadMeta::kKeywords},       {"FILEINFO", HeadMeta::kFileInfo},
    {"SORTORDER", HeadMeta::kSortOrder},     {"FORWARD", HeadMeta::kForward},
    {"ALIAS", HeadMeta::kAlias},             {"GENERATOR", HeadMeta::kGenerator},
};

}  // namespace

HeadMeta HeadMetaOf(const char* name) {
  for (const MetaName& entry : kMetaNames) {
    if (CompareNoCase(name, entry.name) == 0) return entry.field;
  }
  return HeadMeta::kNone;
}

const char* HeadMetaName(HeadMeta field) {
  for (const MetaName& entry : kMetaNames) {
    if (entry.field == field) return entry.name;
  }
  return nullptr;
}
