#include "programs/galleria/index_settings.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/drives.h"
#include "platform/env.h"
#include "shared/chars.h"
#include "shared/config.h"
#include "shared/entry.h"
#include "shared/paths.h"
#include "shared/sitefiles.h"
#include "shared/string.h"

IndexSettings indexSettings;
ListingSection listingSections[2] = {{}, {.format = ListingFormat::List}};

void ResetIndexSettings() {
  indexSettings = IndexSettings{};
  listingSections[0] = ListingSection{};
  listingSections[1] = ListingSection{.format = ListingFormat::List};
}

bool IndexOptionSection(const char* key, const char* name, int* section) {
  size_t length = strlen(name);
  if (strncmp(key, name, length) != 0) return false;
  const char* rest = key + length;
  if (*rest == '[') ++rest;
  if (rest == key + length && *rest == '\0') {
    *section = 0;
    return true;
  }
  if (!IsDigit(*rest)) return false;
  *section = ParseNumber(rest) > 1 ? 1 : 0;
  return true;
}

namespace {

bool Is(const char* value, const char* word) { return CompareNoCase(value, word) == 0; }

// A word of a setting and the value it stands for.
template <class Value>
struct Word {
  const char* word;
  Value value;
};

// Sets *value to the value of the word that `text` is (letter case ignored);
// false, and *value untouched, when it is none of them.
template <class Value, size_t N>
bool FindWord(const char* text, const Word<Value> (&words)[N], Value* value) {
  for (const Word<Value>& w : words) {
    if (!Is(text, w.word)) continue;
    *value = w.value;
    return true;
  }
  return false;
}

// The setting takes the path in its full form, so that a later change of the
// current directory (the CGI mode's working directory) keeps it pointing at
// the same file. A path that cannot be made full is kept as given.
void SetFullPath(char (&setting)[kPathText], const char* path) {
  char full[kPathText];
  if (*path && GetFullPath(path, full, sizeof full) > 0) path = full;
  CopyBounded(setting, path, sizeof setting);
}

void SetExpanded(char (&setting)[kPathText], const char* value) {
  ExpandEnvironment(value, setting, sizeof setting);
}

// --- Keys of the index settings ----------------------------------------------

void SetIndexMode(const char* value, int) {
  if (Is(value, "formatted")) indexSettings.index = IndexMode::Formatted;
  if (Is(value, "sequence")) indexSettings.index = IndexMode::Sequence;
  if (Is(value, "searchable")) indexSettings.index = IndexMode::Searchable;
}

void SetSlides(const char* value, int) {
  struct Slides {
    SlidesMode mode;
    bool slidePages;
  };
  static const Word<Slides> words[] = {{"html", {SlidesMode::Simple, false}},
                                       {"simple", {SlidesMode::Simple, true}},
                                       {"frameset", {SlidesMode::Frameset, true}},
                                       {"window", {SlidesMode::Window, true}}};
  Slides slides;
  if (!FindWord(value, words, &slides)) return;
  indexSettings.slides = slides.mode;
  indexSettings.slidePages = slides.slidePages;
}

void SetLinks(const char* value, int) {
  if (Is(value, "standard")) indexSettings.links = LinkMode::Standard;
  if (Is(value, "open")) indexSettings.links = LinkMode::Open;
}

void SetBacklink(const char* value, int) {
  static const Word<BacklinkMode> words[] = {
      {"none", BacklinkMode::None},         {"parent", BacklinkMode::Parent},
      {"keywords", BacklinkMode::Keywords}, {"smart", BacklinkMode::Smart},
      {"close", BacklinkMode::Close},       {"back", BacklinkMode::Back}};
  if (FindWord(value, words, &indexSettings.backlink)) return;
  indexSettings.backlink = BacklinkMode::Custom;
  CopyBounded(indexSettings.backlinkText, value, sizeof indexSettings.backlinkText);
}

void SetHeading(const char* value, int) {
  if (CompareNoCaseN(value, "text", 4) == 0) {
    indexSettings.heading = HeadingMode::Text;
  } else if (Is(value, "title")) {
    indexSettings.heading = HeadingMode::Title;
  } else {
    indexSettings.heading = HeadingMode::Standard;
  }
}

void SetBodyAttributes(const char* value, int) {
  CopyBounded(indexSettings.bodyAttributes, value, sizeof indexSettings.bodyAttributes);
}

// The searchable key selects the searchable index when it is true, and the
// formatted index otherwise.
void SetSearchable(const char* value, int) {
  indexSettings.index = ParseBool(value, false) ? IndexMode::Searchable : IndexMode::Formatted;
}

// A bare name that is not in the current directory but is in the icons
// directory means that one.
void SetTemplate(const char* value, int) {
  CopyBounded(indexSettings.templateName, value, sizeof indexSettings.templateName);
  if (!*value) {
    indexSettings.templatePath[0] = '\0';
    return;
  }
  char icon[kSitePathSize];
  bool bare = !strpbrk(value, "\\/:");
  if (bare && !FileExists(value) && IconsPath(value, icon, false)) value = icon;
  SetFullPath(indexSettings.templatePath, value);
}

void AddUserExtension(const char* value, int) { AddUserExt(value); }
void AddSpecial(const char* value, int) { AddSpecialName(value); }
void SetThumbNames(const char* value, int) { SetFolderThumbNames(value); }
void AddThumbName(const char* value, int) { AddFolderThumbName(value); }

void SetIndexDb(const char* value, int) {
  CopyBounded(indexSettings.indexDb, value, sizeof indexSettings.indexDb);
  indexSettings.indexDbGiven = true;
}

void SetCgiUrl(const char* value, int) {
  CopyBounded(indexSettings.cgiUrl, value, sizeof indexSettings.cgiUrl);
}

void SetStartDir(const char* value, int) { SetExpanded(indexSettings.startDir, value); }
void SetWorkingDir(const char* value, int) { SetExpanded(indexSettings.workingDir, value); }

void SetStartUrl(const char* value, int) {
  char* url = indexSettings.startUrl;
  CopyBounded(url, value, sizeof indexSettings.startUrl);
  for (size_t n = strlen(url); n > 0 && url[n - 1] == '/'; --n) url[n - 1] = '\0';
}

// "local path; URL": the local path always ends in '\', the URL loses one
// trailing '/'.
void AddUrlMap(const char* value, int) {
  if (indexSettings.urlMapCount >= kUrlMapSize) return;
  const char* split = strstr(value, "; ");
  if (!split) return;
  UrlMapEntry& entry = indexSettings.urlMap[indexSettings.urlMapCount++];
  entry = UrlMapEntry{};
  std::string local(value, static_cast<size_t>(split - value));
  // Paths are compared in their full form, so a relative entry ('..\icons')
  // matches the full paths that the program keeps.
  std::string full = GetFullPathString(local.c_str());
  if (!local.empty() && !full.empty()) local = full;
  size_t length = std::min(local.size(), sizeof entry.localPath - 2);  // room for '\'
  memcpy(entry.localPath, local.data(), length);
  if (length == 0 || entry.localPath[length - 1] != '\\') entry.localPath[length++] = '\\';
  entry.localPath[length] = '\0';
  entry.localLength = static_cast<int>(length);
  const char* url = split + 2;
  while (*url == ' ') ++url;
  CopyBounded(entry.url, url, sizeof entry.url);
  size_t urlLength = strlen(entry.url);
  if (urlLength > 0 && entry.url[urlLength - 1] == '/') entry.url[urlLength - 1] = '\0';
}

void SetTooltips(const char* value, int) {
  switch (ToUpper(*value)) {
    case 'A': indexSettings.tooltips = TooltipMode::Alt; break;
    case 'B': indexSettings.tooltips = TooltipMode::Both; break;
    case 'N': indexSettings.tooltips = TooltipMode::None; break;
    case 'T': indexSettings.tooltips = TooltipMode::Title; break;
    default: break;
  }
}

// A negative page size means no paging, as 0 does.
void SetPageSize(const char* value, int) {
  int size = ParseNumber(value);
  indexSettings.pageSize = size > 0 ? size : 0;
}

void SetDefaultOrder(const char* value, int) { SetDefaultSortOrder(value); }

void SetSymlinkOrder(const char* value, int) {
  indexSettings.symlinkOrder = *value == 'd' || *value == 'n';
}

void SetSort(const char* value, int) {
  if (Is(value, "numeric")) {
    indexSettings.sort = SortMode::Natural;
  } else if (Is(value, "string") || ParseBool(value, false)) {
    indexSettings.sort = SortMode::Plain;
  } else {
    indexSettings.sort = SortMode::Unsorted;
  }
}

// A name with a directory part must exist; a bare name is looked up in the
// icons directory, and not finding it there clears the setting.
void SetKeyIcons(const char* value, int) {
  if (strpbrk(value, "\\/")) {
    if (FileExists(value)) SetFullPath(indexSettings.keyIcons, value);
    return;
  }
  char icon[kSitePathSize];
  if (*value && IconsPath(value, icon, false)) {
    SetFullPath(indexSettings.keyIcons, icon);
  } else {
    indexSettings.keyIcons[0] = '\0';
  }
}

void SetCacheDir(const char* value, int) {
  char* path = indexSettings.cacheFile;
  SetExpanded(indexSettings.cacheFile, value);
  size_t length = strlen(path);
  if (length >= 250) return;  // no room for the file name: kept as it is
  if (length > 0 && path[length - 1] != '\\') path[length++] = '\\';
  strcpy(path + length, "cache.db");
}

// --- Keys of the listing sections ----------------------------------------------

void SetLayout(const char* value, int section) {
  static const Word<ListingLayout> words[] = {{"simple", ListingLayout::Simple},
                                              {"bullet", ListingLayout::Bullet},
                                              {"thumbnail", ListingLayout::Thumbnail},
                                              {"table", ListingLayout::Table}};
  FindWord(value, words, &listingSections[section].layout);
}

// A format word, "thumbnail" (a layout), or else an entry format of its own.
void SetFormat(const char* value, int section) {
  static const Word<ListingFormat> words[] = {{"compact", ListingFormat::Compact},
                                              {"column", ListingFormat::Column},
                                              {"list", ListingFormat::List},
                                              {"auto", ListingFormat::Auto}};
  ListingSection& s = listingSections[section];
  if (FindWord(value, words, &s.format)) return;
  if (Is(value, "thumbnail")) {
    s.layout = ListingLayout::Thumbnail;
    return;
  }
  s.format = ListingFormat::Custom;
  CopyBounded(s.text, value, sizeof s.text);
}

// The plain "columnwidth" key sets the first width of section 0 only.
void SetColumnWidth(const char* value, int) {
  listingSections[0].columnWidth1 = ParseNumber(value);
}

template <int ListingSection::*Setting>
void SetSectionNumber(const char* value, int section) {
  listingSections[section].*Setting = ParseNumber(value);
}

template <char (ListingSection::*Setting)[kShortText]>
void SetSectionText(const char* value, int section) {
  CopyBounded(listingSections[section].*Setting, value, kShortText);
}

// --- The key table -------------------------------------------------------------

template <bool IndexSettings::*Setting>
void SetSwitch(const char* value, int) {
  indexSettings.*Setting = ParseBool(value, indexSettings.*Setting);
}

enum class Match { Exact, Section, Prefix };

struct KeyRule {
  const char* name;
  Match match;
  void (*apply)(const char* value, int section);
};

// Tested in this order; the first rule that matches handles the key.
const KeyRule kKeyRules[] = {
    {"index", Match::Exact, SetIndexMode},
    {"layout", Match::Section, SetLayout},
    {"format", Match::Section, SetFormat},
    {"slides", Match::Exact, SetSlides},
    {"links", Match::Exact, SetLinks},
    {"backlink", Match::Exact, SetBacklink},  // a mode word, or else a custom URL
    {"tables", Match::Exact, SetSwitch<&IndexSettings::tables>},
    {"thumbnails", Match::Exact, SetSwitch<&IndexSettings::thumbnails>},
    {"heading", Match::Exact, SetHeading},
    {"columns", Match::Section, SetSectionNumber<&ListingSection::columns>},
    {"columnwidth", Match::Exact, SetColumnWidth},
    {"columnwidth1", Match::Section, SetSectionNumber<&ListingSection::columnWidth1>},
    {"columnwidth2", Match::Section, SetSectionNumber<&ListingSection::columnWidth2>},
    {"ipadding", Match::Section, SetSectionNumber<&ListingSection::iPadding>},
    {"hpadding", Match::Section, SetSectionNumber<&ListingSection::hPadding>},
    {"vpadding", Match::Section, SetSectionNumber<&ListingSection::vPadding>},
    {"tableattributes", Match::Section, SetSectionText<&ListingSection::tableAttributes>},
    {"tableattr", Match::Section, SetSectionText<&ListingSection::tableAttributes>},
    {"rowattributes", Match::Section, SetSectionText<&ListingSection::rowAttributes>},
    {"rowattr", Match::Section, SetSectionText<&ListingSection::rowAttributes>},
    {"tr", Match::Section, SetSectionText<&ListingSection::rowAttributes>},
    {"cellattributes", Match::Section, SetSectionText<&ListingSection::cellAttributes>},
    {"cellattr", Match::Section, SetSectionText<&ListingSection::cellAttributes>},
    {"td", Match::Section, SetSectionText<&ListingSection::cellAttributes>},
    {"combine", Match::Exact, SetSwitch<&IndexSettings::combine>},
    {"body", Match::Exact, SetBodyAttributes},
    {"indexbody", Match::Exact, SetBodyAttributes},
    {"searchable", Match::Exact, SetSearchable},
    {"javascript", Match::Exact, SetSwitch<&IndexSettings::javascript>},
    {"template", Match::Exact, SetTemplate},  // a bare name may be one in the icons directory
    {"embed", Match::Exact, AddUserExtension},
    {"movie", Match::Prefix, AddUserExtension},
    {"reservedfile", Match::Prefix, AddSpecial},  // a name never listed
    {"thumbfilelist", Match::Exact, SetThumbNames},
    {"thumbfile", Match::Prefix, AddThumbName},  // put first among the folder thumbnail names
    {"indexdb", Match::Exact, SetIndexDb},
    {"cgiurl", Match::Exact, SetCgiUrl},
    {"startdir", Match::Exact, SetStartDir},
    {"starturl", Match::Exact, SetStartUrl},  // trailing '/' removed
    {"map", Match::Exact, AddUrlMap},  // "local path; URL"
    {"workingdir", Match::Exact, SetWorkingDir},
    {"tooltips", Match::Exact, SetTooltips},
    {"pagesize", Match::Exact, SetPageSize},  // 0 or less: no paging
    {"defaultorder", Match::Exact, SetDefaultOrder},  // the sort order of a new entry
    {"symlinkorder", Match::Exact, SetSymlinkOrder},
    {"sort", Match::Exact, SetSort},
    {"keyicons", Match::Prefix, SetKeyIcons},
    {"weblinks", Match::Exact, SetSwitch<&IndexSettings::weblinks>},
    {"cachedir", Match::Exact, SetCacheDir},
    {"shuffle", Match::Exact, SetSwitch<&IndexSettings::shuffle>},
};

bool Matches(const KeyRule& rule, const char* key, int* section) {
  *section = 0;
  switch (rule.match) {
    case Match::Exact: return strcmp(key, rule.name) == 0;
    case Match::Prefix: return strncmp(key, rule.name, strlen(rule.name)) == 0;
    case Match::Section: return IndexOptionSection(key, rule.name, section);
  }
  return false;
}

}  // namespace

void IndexOptionKey(const char* key, const char* value) {
  if (!key || !value) return;
  for (const KeyRule& rule : kKeyRules) {
    int section = 0;
    if (!Matches(rule, key, &section)) continue;
    rule.apply(value, section);
    return;
  }
}
