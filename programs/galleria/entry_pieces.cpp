#include "programs/galleria/entry_pieces.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <string>

#include "platform/assert.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "programs/galleria/index_run.h"
#include "programs/galleria/index_settings.h"
#include "programs/galleria/site_url.h"
#include "shared/append_format.h"
#include "shared/chars.h"
#include "shared/entry.h"
#include "shared/entry_factory.h"
#include "shared/htmltext.h"
#include "shared/image_size.h"
#include "shared/paths.h"
#include "shared/query/query.h"
#include "shared/sitefiles.h"
#include "shared/url/url.h"

namespace {

// The empty text stays the null String, as everywhere in the pieces.
String ToString(const std::string& text) { return text.empty() ? String() : String(text.c_str()); }

bool IsEmpty(const char* text) { return !text || !*text; }

void ImageSizeOf(const char* path, unsigned* width, unsigned* height) {
  uint32_t w = 0, h = 0;
  if (IsEmpty(path) || !ImageSize(path, &w, &h)) w = h = 0;
  *width = w;
  *height = h;
}

}  // namespace

// --- Image tags ----------------------------------------------------------------

String ImgTag(const char* source, unsigned width, unsigned height, const char* attributes) {
  if (IsEmpty(source)) return String();
  std::string tag;
  AppendFormat(&tag, "<IMG SRC=\"%s\"", source);
  if (width) AppendFormat(&tag, " WIDTH=%u", width);
  if (height) AppendFormat(&tag, " HEIGHT=%u", height);
  if (!IsEmpty(attributes)) AppendFormat(&tag, " %s", attributes);
  tag += '>';
  return ToString(tag);
}

String EntryThumbTag(const Entry* entry, const char* attributes) {
  WEFT_ASSERT(entry);
  return ImgTag(entry->thumbnail, static_cast<unsigned>(entry->thumbWidth),
                static_cast<unsigned>(entry->thumbHeight), attributes);
}

String SizedImgTag(const char* url, const char* localFile, const char* attributes) {
  if (IsEmpty(url)) return String();
  unsigned width, height;
  ImageSizeOf(localFile, &width, &height);
  return ImgTag(url, width, height, attributes);
}

String UrlImgTag(const char* url, const char* attributes) {
  if (IsEmpty(url)) return String();
  String file = UrlToFileString(url);
  return SizedImgTag(url, file, attributes);
}

String IconTag(const char* path, const char* attributes) {
  if (IsEmpty(path)) return String();
  String url = PathToUrl(path);
  return SizedImgTag(url, path, attributes);
}

String NoThumbIcon(const char* attributes) {
  if (!indexRun.noThumbMade) {
    indexRun.noThumbMade = true;
    char path[kSitePathSize];
    if (IconsPath("nothumb", path, false)) indexRun.noThumbTag = IconTag(path, attributes);
  }
  return indexRun.noThumbTag;
}

// --- Links and texts -----------------------------------------------------------

String EntryLink(const Entry* entry, const char* inner) {
  WEFT_ASSERT(entry);
  const char* href = entry->href ? entry->href : "";
  std::string link;
  if (entry->kind & kEntryFile) {
    AppendFormat(&link, "<A HREF=\"%s\">", href);
  } else if (entry->kind & kEntryImage) {
    switch (indexSettings.slides) {
      case SlidesMode::Simple: {
        String slide = ChangeExtensionString(href, ".htm");
        AppendFormat(&link, "<A HREF=\"%s\">", slide.Text() ? slide.Text() : "");
        break;
      }
      case SlidesMode::Frameset:
        AppendFormat(&link, "<A HREF=\"frameset.htm#%d\">", entry->slideIndex + 1);
        break;
      case SlidesMode::Window:
        AppendFormat(&link, "<A HREF=\"javascript:SlideLink(%d)\">", entry->slideIndex);
        break;
    }
  } else {
    bool scripted =
        indexSettings.slides == SlidesMode::Window || indexSettings.links == LinkMode::Open;
    if (scripted && entry->fileInfo && strstr(entry->fileInfo, "FRAMESET")) {
      AppendFormat(&link, "<A HREF=\"javascript:FramesetLink('%s')\">", href);
    } else if (indexSettings.links == LinkMode::Open) {
      AppendFormat(&link, "<A HREF=\"javascript:IndexLink('%s')\">", href);
    } else {
      AppendFormat(&link, "<A HREF=\"%s\">", href);
    }
  }
  if (inner) {
    link += inner;
    link += "</A>";
  }
  return ToString(link);
}

String ShortTitle(const char* title) {
  if (!title) return String();
  std::string text = title;
  size_t open = text.find('(');
  if (open != std::string::npos && text.find(" of ", open) != std::string::npos) {
    while (open > 0 && text[open - 1] == ' ') --open;
    text.resize(open);
  }
  return ToString(text);
}

namespace {

String InfoTextOf(Entry* entry, bool small, String (*encode)(const char*)) {
  WEFT_ASSERT(entry);
  String description = encode(entry->description);
  if (indexSettings.weblinks && description.Text()) description = LinkUrlsString(description);
  std::string text = description.Text() ? description.Text() : "";

  std::string info = entry->fileInfo ? entry->fileInfo : "";
  size_t end = info.find("; ");
  if (end != std::string::npos) info.resize(end);
  if (!info.empty()) {
    if (text.empty()) text += small ? "<SMALL>[" : "[";
    else text += small ? "&nbsp; <SMALL>[" : " [";
    text += info;
    text += small ? "]</SMALL>" : "]";
  }

  String icons = KeywordIconTags(entry, true);
  if (icons.Text()) text += icons.Text();
  return ToString(text);
}

}  // namespace

String InfoText(Entry* entry, bool small) { return InfoTextOf(entry, small, HtmlEncodePageString); }

String ScriptInfoText(Entry* entry) { return InfoTextOf(entry, false, HtmlEncodeString); }

// --- Key icons -------------------------------------------------------------------

namespace {

// Fields of a key icon line: split at tabs and newlines, runs counting as one.
constexpr int kIconFields = 3;
int SplitIconLine(char* line, char* (&fields)[kIconFields]) {
  int count = 0;
  char* cursor = line;
  while (count < kIconFields) {
    cursor += strspn(cursor, "\t\n");
    if (!*cursor) break;
    fields[count++] = cursor;
    cursor += strcspn(cursor, "\t\n");
    if (*cursor) *cursor++ = '\0';
  }
  return count;
}

// Reads one line of at most 255 characters; the rest of a longer line is
// dropped. False at the end of the file.
bool ReadIconLine(FILE* file, char (&line)[256]) {
  if (!fgets(line, sizeof line, file)) return false;
  if (!strchr(line, '\n') && !feof(file)) {
    int c;
    while ((c = fgetc(file)) != EOF && c != '\n') {
    }
  }
  return true;
}

// Appends an icon to the run's list, linked behind the one before it.
void AddKeywordIcon(const char* name, const char* expression, const char* tooltip) {
  std::deque<KeywordIcon>& icons = indexRun.keyIcons;
  KeywordIcon& icon = icons.emplace_back();
  if (icons.size() > 1) icons[icons.size() - 2].next = &icon;
  icon.name = name;
  icon.url = PathToUrl(name);
  icon.query = std::make_unique<Query>(expression);
  icon.text = HtmlEncodePageString(tooltip);
  unsigned width, height;
  ImageSizeOf(name[0] == ':' ? nullptr : name, &width, &height);
  icon.width = static_cast<int>(width);
  icon.height = static_cast<int>(height);
}

// The tooltip attributes of an icon by the tooltips setting.
std::string TooltipAttributes(const char* text) {
  std::string attributes;
  if (IsEmpty(text)) return attributes;
  switch (indexSettings.tooltips) {
    case TooltipMode::Alt: AppendFormat(&attributes, "ALT=\"%s\"", text); break;
    case TooltipMode::Title: AppendFormat(&attributes, "TITLE=\"%s\"", text); break;
    case TooltipMode::Both: AppendFormat(&attributes, "ALT=\"%s\" TITLE=\"%s\"", text, text); break;
    case TooltipMode::None: break;
  }
  return attributes;
}

// Hidden keywords take part in the queries: the '_' that begins an item
// (after its leading white space) becomes a blank.
void UnhideKeywords(char* list) {
  bool itemStart = true;
  for (char* c = list; *c; ++c) {
    if (*c == ',') {
      itemStart = true;
    } else if (itemStart && !IsSpace(*c)) {
      if (*c == '_') *c = ' ';
      itemStart = false;
    }
  }
}

void AppendKeyword(Entry* entry, const char* word) {
  std::string list = entry->keywords ? entry->keywords : "";
  list += ',';
  list += word;
  entry->SetKeywords(list.c_str());
}

}  // namespace

void ReadKeywordIcons() {
  indexRun.keyIcons.clear();
  if (!indexSettings.keyIcons[0]) return;
  FILE* file = OpenFile(indexSettings.keyIcons, "r");
  if (!file) return;
  char line[256];
  while (ReadIconLine(file, line)) {
    char* fields[kIconFields] = {};
    if (SplitIconLine(line, fields) < 2) continue;
    char path[kSitePathSize];
    const char* name = fields[0][0] == ':' ? fields[0] : IconsPath(fields[0], path, false);
    if (IsEmpty(name)) continue;
    AddKeywordIcon(name, fields[1], fields[2]);
  }
  fclose(file);
}

const KeywordIcon* KeywordIcons() {
  return indexRun.keyIcons.empty() ? nullptr : &indexRun.keyIcons.front();
}

String KeywordIconTags(Entry* entry, bool leading) {
  WEFT_ASSERT(entry);
  if (IsEmpty(entry->keywords)) return String();
  std::string saved = entry->keywords;
  UnhideKeywords(entry->keywords);
  std::string tags;
  for (const KeywordIcon& icon : indexRun.keyIcons) {
    if (!icon.query->Matches(entry)) continue;
    const char* name = icon.name.Text();
    if (name[0] == ':') {
      AppendKeyword(entry, name + 1);
      continue;
    }
    if (leading || !tags.empty()) tags += ' ';
    String tag = ImgTag(icon.url, static_cast<unsigned>(icon.width),
                        static_cast<unsigned>(icon.height), TooltipAttributes(icon.text).c_str());
    if (tag.Text()) tags += tag.Text();
    AppendKeyword(entry, BaseName(name));
  }
  entry->SetKeywords(saved.c_str());
  return ToString(tags);
}

// --- The page's summary --------------------------------------------------------

String SizeText(double bytes) {
  struct Row {
    double divisor;
    double threshold;
    const char* format;
  } static const rows[] = {{1, 1000, ", %1.0f bytes"}, {1024, 9.95, ", %1.1fKB"},
                           {1, 1000, ", %1.0fKB"},     {1024, 9.95, ", %1.1fMB"},
                           {1, 1000, ", %1.0fMB"},     {1024, 9.95, ", %1.1fGB"}};
  const char* format = ", %1.0fGB";
  double x = bytes;
  for (const Row& row : rows) {
    x /= row.divisor;
    if (x < row.threshold) {
      format = row.format;
      break;
    }
  }
  std::string text;
  AppendFormat(&text, format, x);
  return ToString(text);
}

namespace {

struct SlideTotals {
  double bytes = 0, widths = 0, heights = 0;
  long long sized = 0, dimensioned = 0, count = 0, sets = 0;
  bool failed = false;
};

void AddSlideCounts(const Entry* entry, SlideTotals* totals) {
  if (entry->kind & (kEntryDirectory | kEntryIndexedDirectory)) ++totals->sets;
  if (!entry->fileInfo) return;
  FileInfo info;
  if (!ParseFileInfo(entry->fileInfo, &info)) {
    totals->failed = true;
    return;
  }
  if (info.sizedCount) {
    totals->bytes += static_cast<double>(info.averageSize) * info.sizedCount;
    totals->sized += info.sizedCount;
  }
  if (info.dimensionedCount) {
    totals->widths += static_cast<double>(info.averageWidth) * info.dimensionedCount;
    totals->heights += static_cast<double>(info.averageHeight) * info.dimensionedCount;
    totals->dimensioned += info.dimensionedCount;
  }
  totals->count += info.count;
}

// Rounded average; 0 without a divisor.
int Average(double sum, long long divisor) {
  if (divisor == 0) return 0;
  double average = sum / static_cast<double>(divisor) + 0.5;
  if (average >= INT_MAX) return INT_MAX;
  if (average <= INT_MIN) return INT_MIN;
  return static_cast<int>(average);
}

// A sum printed as the int it stands for.
int Clamped(long long value) {
  return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

const char* Plural(long long n) { return n == 1 ? "" : "s"; }

}  // namespace

String SlideCounts(Entry* const* entries, int count) {
  SlideTotals t;
  for (int i = 0; i < count; ++i) AddSlideCounts(entries[i], &t);
  int sets = Clamped(t.sets);
  std::string text;
  if (t.failed) {
    if (sets) AppendFormat(&text, "%d set%s", sets, Plural(sets));
    return ToString(text);
  }
  int slides = Clamped(t.sized);
  if (sets) {
    AppendFormat(&text, "%d slide%s in %d set%s", slides, Plural(slides), sets, Plural(sets));
  } else {
    AppendFormat(&text, "%d slide%s", slides, Plural(slides));
  }
  String size = SizeText(t.bytes);
  if (size.Text()) text += size.Text();
  AppendFormat(&text, "; {%d, %d, %d, %d, %d, %d, %d}", Average(t.bytes, t.sized),
          Average(t.widths, t.dimensioned), Average(t.heights, t.dimensioned), slides,
          Clamped(t.dimensioned), Clamped(t.count), sets);
  return ToString(text);
}

// --- Parent and ancestor directories --------------------------------------------

namespace {

Entry* NewDirectoryEntry(const char* title, const char* href) {
  Entry* entry = new Entry;
  entry->SetTitle(title);
  entry->SetHref(href);
  return entry;
}

}  // namespace

int ParentEntries(Entry** entries, int room, const char* list) {
  if (room < 1) return 0;
  char current[kMaxPath + 1], parent[kMaxPath + 1], parentName[kMaxPath + 1];
  if (!GetCurrentDir(current, sizeof current) || !GetFullPath("..", parent, sizeof parent)) {
    return 0;
  }
  if (strcmp(current, parent) == 0) return 0;
  if (!DirDisplayName("..", parentName, sizeof parentName)) return 0;

  entries[0] = MakeDirectoryEntryUnlessHidden("..", false);
  if (!entries[0]) entries[0] = NewDirectoryEntry(parentName, "../index.htm");
  if (!list) return 1;

  int filled = 1;
  char copy[kMaxPath + 1];
  CopyBounded(copy, list, sizeof copy);
  for (char* item = copy; item && filled < room;) {
    char* comma = strchr(item, ',');
    if (comma) *comma = '\0';
    char* name = TrimSpacesInPlace(item);
    if (*name && CompareNoCase(name, parentName) != 0) {
      if (Entry* ancestor = FindAncestorEntry(name)) entries[filled++] = ancestor;
    }
    item = comma ? comma + 1 : nullptr;
  }
  return filled;
}

Entry* FindAncestorEntry(const char* name) {
  std::string path;
  for (int level = 1; level <= 7; ++level) {
    path = "";
    for (int i = 0; i < level; ++i) path += "..\\";
    path += name;
    if (!DirExists(path.c_str())) continue;
    if (Entry* entry = MakeDirectoryEntryUnlessHidden(path.c_str(), false)) return entry;
    char title[kMaxPath + 1];
    DirDisplayName(path.c_str(), title, sizeof title);
    String href = PathToUrl((path + "\\index.htm").c_str());
    return NewDirectoryEntry(title, href);
  }
  return nullptr;
}

char* TrimSpacesInPlace(char* text) {
  if (!text) return text;
  while (IsSpace(*text)) ++text;
  size_t length = strlen(text);
  while (length > 0 && IsSpace(text[length - 1])) text[--length] = '\0';
  return text;
}
