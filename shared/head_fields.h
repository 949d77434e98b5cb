// The page-head vocabulary that every reader and writer of page heads
// shares: the META names and the field each one carries.
#pragma once

// The fields a META tag carries, by its NAME.
enum class HeadMeta {
  kDescription,  // "DESCRIPTION"; "SUBJECT" is read as it too
  kKeywords,     // "KEYWORDS"
  kFileInfo,     // "FILEINFO"
  kSortOrder,    // "SORTORDER"
  kForward,      // "FORWARD"
  kAlias,        // "ALIAS"
  kGenerator,    // "GENERATOR", written only
  kNone,         // any other name
};

// The field that a META NAME value carries, its letter case ignored.
HeadMeta HeadMetaOf(const char* name);
// The NAME that a field is written with (null for kNone).
const char* HeadMetaName(HeadMeta field);
