#include "shared/entry.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "shared/keywords.h"
#include "shared/sitefiles.h"
#include "shared/string.h"

int DefaultSortOrder = kInitialSortOrder;

void SetDefaultSortOrder(const char* value) { DefaultSortOrder = ParseNumber(value); }

namespace {

enum class Attribute { Title, Description, TitleDesc, Href, Thumbnail, ThumbWidth, ThumbHeight,
                       Count, Sets, Size, AnyKeyword, VisibleKeyword, Keyword };

struct AttributeName {
  const char* name;
  Attribute attribute;
};

// Tried in this order; the first name that matches decides.
constexpr AttributeName kAttributeNames[] = {
    {"TITLE", Attribute::Title},         {"DESCRIPTION", Attribute::Description},
    {"DESC", Attribute::Description},    {"TITLEDESC", Attribute::TitleDesc},
    {"TDESC", Attribute::TitleDesc},     {"HREF", Attribute::Href},
    {"THUMBNAIL", Attribute::Thumbnail}, {"THUMB", Attribute::Thumbnail},
    {"THUMBWIDTH", Attribute::ThumbWidth}, {"THUMBHEIGHT", Attribute::ThumbHeight},
    {"COUNT", Attribute::Count},         {"SETS", Attribute::Sets},
    {"SIZE", Attribute::Size},
};

Attribute Lookup(const char* name) {
  if (strcmp(name, "*") == 0) return Attribute::AnyKeyword;
  if (strcmp(name, "#") == 0) return Attribute::VisibleKeyword;
  for (const AttributeName& entry : kAttributeNames) {
    if (CompareNoCase(name, entry.name) == 0) return entry.attribute;
  }
  return Attribute::Keyword;
}

bool HasText(const char* text) { return text && *text; }

char* Copy(const char* text) {
  if (!text) return nullptr;
  size_t size = strlen(text) + 1;
  char* copy = static_cast<char*>(malloc(size));
  memcpy(copy, text, size);
  return copy;
}

void Replace(char*& field, const char* text) {
  char* copy = Copy(text);  // before the free: text may be the field itself
  free(field);
  field = copy;
}

// The buffer that numbers and TITLEDESC are returned in; the next such call
// on the same thread overwrites it. Each thread has its own, so that the
// workers of a tree walk may read entries side by side.
thread_local char attributeBuffer[1024];

const char* Number(int value) {
  snprintf(attributeBuffer, sizeof attributeBuffer, "%d", value);
  return attributeBuffer;
}

const char* TitleAndDescription(const char* title, const char* description) {
  snprintf(attributeBuffer, sizeof attributeBuffer, "%s%s%s", title ? title : "",
           HasText(description) ? "; " : "", HasText(description) ? description : "");
  return attributeBuffer;
}

bool KeywordTerm(const char* keywords, const char* term) {
  if (!keywords) return false;
  const char* cursor = term;
  return EvalKeywordTerm(keywords, cursor);
}

}  // namespace

Entry::Entry() : sortOrder(DefaultSortOrder) {}

Entry::Entry(const Entry& other) : AttributeStore(), sortOrder(other.sortOrder) { *this = other; }

Entry& Entry::operator=(const Entry& other) {
  if (this == &other) return *this;
  kind = other.kind;
  SetHref(other.href);
  SetThumbnail(other.thumbnail);
  thumbWidth = other.thumbWidth;
  thumbHeight = other.thumbHeight;
  SetTitle(other.title);
  SetDescription(other.description);
  SetFileInfo(other.fileInfo);
  SetKeywords(other.keywords);
  sortOrder = other.sortOrder;
  alias = other.alias;
  slideIndex = other.slideIndex;
  return *this;
}

Entry::~Entry() {
  free(href);
  free(thumbnail);
  free(title);
  free(description);
  free(fileInfo);
  free(keywords);
}

void Entry::SetTitle(const char* text) { Replace(title, text); }
void Entry::SetHref(const char* text) { Replace(href, text); }
void Entry::SetThumbnail(const char* text) { Replace(thumbnail, text); }
void Entry::SetDescription(const char* text) { Replace(description, text); }
void Entry::SetFileInfo(const char* text) { Replace(fileInfo, text); }
void Entry::SetKeywords(const char* text) { Replace(keywords, text); }

bool Entry::HasAttribute(const char* name) {
  FileInfo info;
  switch (Lookup(name)) {
    case Attribute::Title: return HasText(title);
    case Attribute::Description: return HasText(description);
    case Attribute::TitleDesc: return HasText(title) || HasText(description);
    case Attribute::Href: return HasText(href);
    case Attribute::Thumbnail: return HasText(thumbnail);
    case Attribute::ThumbWidth: return HasText(thumbnail) && thumbWidth != 0;
    case Attribute::ThumbHeight: return HasText(thumbnail) && thumbHeight != 0;
    case Attribute::Count: return ParseFileInfo(fileInfo, &info) && info.count > 0;
    case Attribute::Sets: return ParseFileInfo(fileInfo, &info) && info.setCount > 0;
    case Attribute::Size: return ParseFileInfo(fileInfo, &info) && info.averageSize > 0;
    case Attribute::AnyKeyword: return KeywordTerm(keywords, "*");
    case Attribute::VisibleKeyword: return KeywordTerm(keywords, "#");
    case Attribute::Keyword: return keywords && HasKeyword(keywords, name);
  }
  return false;
}

const char* Entry::GetAttribute(const char* name) {
  FileInfo info;
  switch (Lookup(name)) {
    case Attribute::Title: return title;
    case Attribute::Description: return description;
    case Attribute::TitleDesc: return TitleAndDescription(title, description);
    case Attribute::Href: return href;
    case Attribute::Thumbnail: return thumbnail;
    case Attribute::ThumbWidth: return Number(thumbWidth);
    case Attribute::ThumbHeight: return Number(thumbHeight);
    case Attribute::Count: return ParseFileInfo(fileInfo, &info) ? Number(info.count) : nullptr;
    case Attribute::Sets: return ParseFileInfo(fileInfo, &info) ? Number(info.setCount) : nullptr;
    case Attribute::Size:
      if (!ParseFileInfo(fileInfo, &info)) return nullptr;
      snprintf(attributeBuffer, sizeof attributeBuffer, "%-1.0f",
               static_cast<double>(info.averageSize) * info.sizedCount);
      return attributeBuffer;
    default: return nullptr;
  }
}
