// Index page bodies built from a template file: its text is copied, its
// '${...}' tags become listings, navigation, icons, page numbers and entry
// values, conditions keep or drop text and '#include' lines read further files.
#pragma once

#include <cstdio>

#include "shared/entry.h"
#include "shared/string.h"

// Writes the body from the template at path for the page entry and this
// page's entries. False (reported at level 2000, naming the template by
// shownName, or by path when that is null) when the template cannot be
// opened; nothing is written then.
bool OpenTemplate(const char* path, FILE* out, Entry* pageEntry, Entry** entries, int count,
                  const char* shownName = nullptr);

// The local file of a name in a template (URL form): "./name" and names with
// '/' are relative to the current directory, any other name is looked up in
// the icons directory (empty when not there). Null gives the empty String.
String TemplatePath(const char* name);
// The URL of that file (PathToUrl of TemplatePath); "" for "".
String TemplateUrl(const char* name);

// The attributes that '#if' lines test: the counts of the page's file and
// directory links (with thumbnails), "page"/"pages", "section <marker>" in
// the old "index.htm", "file <path>"; anything else from the page entry.
class IndexInfo : public AttributeStore {
 public:
  IndexInfo(AttributeStore* previous, Entry* const* entries, int count);
  bool HasAttribute(const char* name) override;
  const char* GetAttribute(const char* name) override;

 private:
  void Count();

  AttributeStore* previous_;
  Entry* const* entries_;
  int count_;
  bool counted_ = false;
  int fileLinks_ = 0;
  int thumbFileLinks_ = 0;
  int dirLinks_ = 0;
  int thumbDirLinks_ = 0;
  char number_[16] = {};
};
