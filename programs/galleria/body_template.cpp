#include "programs/galleria/body_template.h"

#include <cstdio>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/files.h"
#include "programs/galleria/entry_format.h"
#include "programs/galleria/entry_pieces.h"
#include "programs/galleria/index_page_output.h"
#include "programs/galleria/index_run.h"
#include "programs/galleria/index_settings.h"
#include "programs/galleria/layouts.h"
#include "programs/galleria/navigation.h"
#include "programs/galleria/site_url.h"
#include "programs/galleria/template_parser.h"
#include "shared/chars.h"
#include "shared/file_section.h"
#include "shared/paths.h"
#include "shared/query/query.h"
#include "shared/report.h"
#include "shared/sitefiles.h"
#include "shared/string.h"
#include "shared/url/url.h"

namespace {

constexpr int kIncludeDepth = 10;
// Includes read for one template in all: a template that includes its
// includes several times over would otherwise grow without end.
constexpr int kMaxIncludes = 1000;
constexpr int kTagTextSize = 256;  // 255 characters and the terminator
constexpr char kHeadingStart[] = "<!-- BEGIN HEADING -->";
constexpr char kHeadingEnd[] = "<!-- END HEADING -->";

// The index page as it stood before this run, opened on first use by a
// template and closed when the template ends.
FileSection* SectionFile() {
  if (!indexRun.oldPage) indexRun.oldPage = std::make_unique<FileSection>("index.htm");
  return indexRun.oldPage.get();
}

void CloseSectionFile() { indexRun.oldPage.reset(); }

bool HasText(const char* text) { return text && *text; }
const char* OrNull(const char* text) { return HasText(text) ? text : nullptr; }
bool Is(const char* name, const char* word) { return CompareNoCase(name, word) == 0; }
bool Begins(const char* text, const char* prefix) {
  return CompareNoCaseN(text, prefix, strlen(prefix)) == 0;
}
void SetText(char (&text)[kTagTextSize], const char* value) {
  CopyBounded(text, value, sizeof text);
}

const char* SkipBlanks(const char* text) {
  while (*text == ' ') ++text;
  return text;
}

// The text after a prefix word ("section ", "file ", "-f "), blanks skipped;
// null when the name does not begin with it.
const char* AfterPrefix(const char* name, const char* prefix) {
  return Begins(name, prefix) ? SkipBlanks(name + strlen(prefix)) : nullptr;
}

class BodyParser : public TemplateParser {
 public:
  BodyParser(FILE* input, FILE* output, Entry* pageEntry, Entry** entries, int count)
      : input_(input), output_(output), pageEntry_(pageEntry), entries_(entries), count_(count) {}

  int GetChar() override;
  void PutChar(int c) override;
  bool BeginTag(const char* name) override;
  int EndTag(const char* name) override;
  void Attribute(const char* tag, const char* name, const char* value) override;
  void Directive(const char* name, const char* rest) override;

 private:
  bool NumberAttribute(const char* name, int value);
  bool TextAttribute(const char* name, const char* value);
  bool MaskAttribute(const char* name, const char* value);
  bool FlagAttribute(const char* name);

  void IfTag();
  bool ConditionHolds();
  bool HasLinks();
  bool ExecuteTag(const char* name);
  bool ExecuteIconTag(const char* name);
  bool ExecuteListingTag(const char* name);
  bool ExecutePageTag(const char* name);
  void SlideLinkTag();
  void ImageTag(bool named);
  void SectionTag();
  TableFormat TagTable() const;

  void IfDirective(const char* rest);
  void ElifDirective(const char* rest);
  void ElseDirective();
  void IncludeDirective(const char* rest);
  void GiveUp(const char* format, const char* name);
  bool Evaluate(const char* expression);

  bool PushIncluder(FILE* stream);
  FILE* PopIncluder(FILE* stream);

  // The local file that the format text names (an icon, a link source).
  String FormatPath() const { return formatIsPath_ ? iconPath_ : TemplatePath(formatText_); }

  FILE* input_;
  FILE* output_;
  Entry* pageEntry_;
  Entry** entries_;
  int count_;
  int falseDepth_ = 0;
  int branchTaken_ = 0;

  // Settings of the current tag; BeginTag resets all but the spacer text.
  int linkMask_ = 0;
  TableFormat table_;  // columns and paddings; TagTable adds the texts
  char formatText_[kTagTextSize] = {};
  char headingText_[kTagTextSize] = {};
  char attributeText_[kTagTextSize] = {};
  char rowText_[kTagTextSize] = {};
  char cellText_[kTagTextSize] = {};
  char spacerText_[kTagTextSize] = {};
  bool not_ = false;
  bool thumb_ = false;
  bool thumbLinks_ = false;
  bool desc_ = false;
  bool multiPage_ = false;
  bool query_ = false;
  bool nowrap_ = false;
  // An "icon" attribute makes the format text its file's URL and keeps the
  // file's path: the tags that turn a name into a URL take the URL as it
  // is, and the navigation tags, which make their own URLs, take the path.
  bool formatIsPath_ = false;
  String iconPath_;

  bool kindsKnown_ = false;
  int kindsWithoutThumb_ = 0;
  int kindsWithThumb_ = 0;
  int openSlideLinks_ = 0;

  // The files that included the one being read, innermost last.
  FILE* includers_[kIncludeDepth] = {};
  int includeDepth_ = 0;
  int includes_ = 0;       // include files read so far
  bool givenUp_ = false;   // the rest of the template is not read
};

// Fails when includes are nested as deep as they may be.
bool BodyParser::PushIncluder(FILE* stream) {
  if (includeDepth_ >= kIncludeDepth) return false;
  includers_[includeDepth_++] = stream;
  return true;
}

// Closes stream (when not null) and returns the file that included it; null,
// closing nothing, when no file included it.
FILE* BodyParser::PopIncluder(FILE* stream) {
  if (includeDepth_ == 0) return nullptr;
  if (stream) fclose(stream);
  return includers_[--includeDepth_];
}

int BodyParser::GetChar() {
  if (givenUp_) return -1;
  int c = getc(input_);
  while (c == EOF) {
    FILE* includer = PopIncluder(input_);
    if (!includer) return -1;
    input_ = includer;
    c = getc(input_);
  }
  return c;
}

void BodyParser::PutChar(int c) {
  if (falseDepth_ > 0 || givenUp_) return;
  if (putc(c, output_) == EOF) OutputError = true;
}

bool BodyParser::BeginTag(const char*) {
  const ListingSection& section = listingSections[0];
  linkMask_ = 0;
  table_ = TableFormat{.columns = section.columns,
                       .iPadding = section.iPadding,
                       .hPadding = section.hPadding,
                       .vPadding = section.vPadding};
  formatText_[0] = headingText_[0] = attributeText_[0] = rowText_[0] = cellText_[0] = '\0';
  not_ = thumb_ = thumbLinks_ = desc_ = multiPage_ = query_ = nowrap_ = false;
  formatIsPath_ = false;
  iconPath_ = String();
  return true;
}

// --- Attributes --------------------------------------------------------------

bool BodyParser::NumberAttribute(const char* name, int value) {
  if (Is(name, "columns")) {
    if (value >= 1) {
      table_.columns = value;
    } else if (value < 0 && table_.columns == 0) {
      table_.columns = value == INT_MIN ? INT_MAX : -value;
    }
    return true;
  }
  int* padding = Is(name, "iPadding")   ? &table_.iPadding
                 : Is(name, "hPadding") ? &table_.hPadding
                 : Is(name, "vPadding") ? &table_.vPadding
                                        : nullptr;
  if (!padding) return false;
  if (value >= 0) *padding = value;
  return true;
}

bool BodyParser::TextAttribute(const char* name, const char* value) {
  if (Is(name, "format") || Is(name, "src") || Is(name, "src1")) {
    SetText(formatText_, value);
    formatIsPath_ = false;
  } else if (Is(name, "heading") || Is(name, "begin") || Is(name, "src0")) {
    SetText(headingText_, value);
  } else if (Begins(name, "attr") || Is(name, "layout") || Is(name, "type") || Is(name, "end")) {
    SetText(attributeText_, value);
  } else if (Is(name, "links")) {
    SetText(attributeText_, *value ? value : "1");
  } else if (Is(name, "tr") || Is(name, "suffix")) {
    SetText(rowText_, value);
  } else if (Is(name, "td")) {
    SetText(cellText_, value);
  } else if (Is(name, "vspacer")) {
    SetText(spacerText_, value);
  } else {
    return false;
  }
  return true;
}

bool BodyParser::MaskAttribute(const char* name, const char* value) {
  if (Is(name, "fileLinks")) {
    linkMask_ |= kFileKinds;
  } else if (Is(name, "dirLinks")) {
    linkMask_ |= kDirectoryKinds;
  } else if (Begins(name, "filetype")) {
    if (Begins(value, "dir")) linkMask_ = kDirectoryKinds;
    else if (Begins(value, "file")) linkMask_ = kFileKinds;
    else if (Is(value, "all")) linkMask_ = kAllKinds;
  } else {
    return false;
  }
  return true;
}

bool BodyParser::FlagAttribute(const char* name) {
  bool* flag = Is(name, "not")         ? &not_
               : Is(name, "thumb")      ? &thumb_
               : Is(name, "thumbLinks") ? &thumbLinks_
               : Is(name, "desc")       ? &desc_
               : Is(name, "multiPage")  ? &multiPage_
               : Is(name, "nowrap")     ? &nowrap_
                                        : nullptr;
  if (flag) *flag = true;
  return flag != nullptr;
}

void BodyParser::Attribute(const char*, const char* name, const char* value) {
  if (NumberAttribute(name, ParseNumber(value))) return;
  if (TextAttribute(name, value) || MaskAttribute(name, value) || FlagAttribute(name)) return;
  if (Is(name, "query")) {
    SetText(formatText_, value);
    formatIsPath_ = false;
    query_ = true;
  } else if (Is(name, "icon")) {
    iconPath_ = TemplatePath(value);
    String url = PathToUrl(iconPath_);
    SetText(formatText_, HasText(url) ? url.Text() : "");
    formatIsPath_ = true;
  }
}

// --- Tags --------------------------------------------------------------------

bool BodyParser::HasLinks() {
  if (!kindsKnown_) {
    for (int i = 0; i < count_; ++i) {
      (entries_[i]->thumbnail ? kindsWithThumb_ : kindsWithoutThumb_) |= entries_[i]->kind;
    }
    kindsKnown_ = true;
  }
  int mask = linkMask_ ? linkMask_ : kAllKinds;
  int kinds = thumbLinks_ ? kindsWithThumb_ : kindsWithThumb_ | kindsWithoutThumb_;
  return (kinds & mask) != 0;
}

bool BodyParser::ConditionHolds() {
  if (thumb_ && !pageEntry_->thumbnail) return false;
  if (desc_ && !HasText(pageEntry_->description)) return false;
  if (multiPage_ && PageCount() <= 1) return false;
  if ((linkMask_ || thumbLinks_) && !HasLinks()) return false;
  if (query_) {
    Query query(formatText_);
    if (!query.Matches(pageEntry_)) return false;
  }
  return true;
}

void BodyParser::IfTag() {
  if (falseDepth_ > 0) {
    ++falseDepth_;
    return;
  }
  falseDepth_ = ConditionHolds() == not_ ? 1 : 0;
}

TableFormat BodyParser::TagTable() const {
  TableFormat table = table_;
  table.format = formatText_;
  table.tableAttributes = OrNull(attributeText_);
  table.rowAttributes = OrNull(rowText_);
  table.cellAttributes = OrNull(cellText_);
  return table;
}

// img writes the format text as the image's URL, icon the URL of the file
// it names (TemplateUrl), unless an "icon" attribute made it a URL already.
// The size is read from the file that the URL names, as for any image a
// page shows by its URL.
void BodyParser::ImageTag(bool named) {
  if (!HasText(formatText_)) return;
  String url = named && !formatIsPath_ ? TemplateUrl(formatText_) : String(formatText_);
  String tag = UrlImgTag(url, attributeText_);
  if (HasText(tag)) WriteHTML(output_, "%s", tag.Text());
}

bool BodyParser::ExecuteIconTag(const char* name) {
  if (Is(name, "iconDir")) {
    char dir[kSitePathSize];
    if (FindIconsDir(dir) >= 0) WriteHTML(output_, "%s", PathToUrl(dir).Text());
  } else if (Is(name, "img")) {
    ImageTag(false);
  } else if (Is(name, "icon")) {
    ImageTag(true);
  } else if (Is(name, "nav")) {
    WriteNavBar(output_, pageEntry_, false);
  } else if (Is(name, "back")) {
    WriteBackLink(output_, pageEntry_, FormatPath(), attributeText_);
  } else if (Is(name, "prev")) {
    WritePrevLink(output_, FormatPath(), TemplatePath(headingText_), attributeText_);
  } else if (Is(name, "next")) {
    WriteNextLink(output_, FormatPath(), TemplatePath(headingText_), attributeText_);
  } else {
    return false;
  }
  return true;
}

bool BodyParser::ExecuteListingTag(const char* name) {
  int mask = linkMask_ ? linkMask_ : kAllKinds;
  const char* heading = OrNull(headingText_);
  if (Is(name, "list")) {
    if (Is(attributeText_, "simple")) {
      WriteSimpleListing(output_, entries_, count_, heading, mask, true, formatText_, nowrap_);
    } else if (Begins(attributeText_, "thumb")) {
      WriteThumbnailListing(output_, entries_, count_, heading, mask, true, formatText_);
    } else {
      WriteBulletListing(output_, entries_, count_, heading, mask, true, formatText_, nowrap_);
    }
  } else if (Is(name, "table")) {
    if (!HasText(formatText_)) {
      WriteListing(output_, entries_, count_, heading, mask, true);
    } else {
      WriteFormatTable(output_, entries_, count_, heading, mask, true, TagTable());
    }
  } else if (Is(name, "rowtables")) {
    if (HasText(formatText_)) {
      WriteRowTables(output_, entries_, count_, heading, mask, true, TagTable(), spacerText_);
    }
  } else if (Is(name, "index")) {
    WriteIndexListings(output_, entries_, count_);
  } else {
    return false;
  }
  return true;
}

void BodyParser::SectionTag() {
  FileSection* section = SectionFile();
  section->CopySection(output_, HasText(headingText_) ? headingText_ : kHeadingStart,
                       HasText(attributeText_) ? attributeText_ : kHeadingEnd,
                       HasText(rowText_) ? rowText_ : "\n");
  if (section->Error()) OutputError = true;
}

void BodyParser::SlideLinkTag() {
  for (int i = 0; i < count_; ++i) {
    if (entries_[i]->kind & kEntryImage) {
      WriteHTML(output_, "%s", EntryLink(entries_[i]).Text());
      ++openSlideLinks_;
      return;
    }
  }
}

bool BodyParser::ExecutePageTag(const char* name) {
  bool paged = pagingState.pageSize > 0;
  if (Is(name, "page")) {
    if (paged) WriteHTML(output_, "%d", CurrentPage());
  } else if (Is(name, "pages")) {
    if (paged) WriteHTML(output_, "%d", PageCount());
  } else if (Is(name, "pageLinks")) {
    WritePageLinks(output_, OrNull(headingText_), OrNull(attributeText_));
  } else if (Is(name, "section")) {
    SectionTag();
  } else if (Is(name, "slideLink")) {
    SlideLinkTag();
  } else if (Is(name, "/slideLink")) {
    if (openSlideLinks_ > 0) {
      WriteHTML(output_, "</A>");
      --openSlideLinks_;
    }
  } else {
    return false;
  }
  return true;
}

bool BodyParser::ExecuteTag(const char* name) {
  if (ExecuteIconTag(name) || ExecuteListingTag(name) || ExecutePageTag(name)) return true;
  String value = EntryVariable(name, attributeText_, pageEntry_);
  if (HasText(value)) WriteHTML(output_, "%s", value.Text());
  return true;
}

int BodyParser::EndTag(const char* name) {
  if (Is(name, "if")) {
    IfTag();
  } else if (Is(name, "else")) {
    if (falseDepth_ <= 1) falseDepth_ = 1 - falseDepth_;
  } else if (Is(name, "endif")) {
    if (falseDepth_ > 0) --falseDepth_;
  } else if (falseDepth_ == 0) {
    ExecuteTag(name);
  }
  const char* const ownLine[] = {"if", "else", "endif", "nav", "index", "section"};
  for (const char* word : ownLine) {
    if (Is(name, word)) return 1;
  }
  return 0;
}

// --- Directives --------------------------------------------------------------

bool BodyParser::Evaluate(const char* expression) {
  Query query(expression);
  IndexInfo info(pageEntry_, entries_, count_);
  return query.Matches(&info);
}

void BodyParser::IfDirective(const char* rest) {
  if (falseDepth_ > 0) {
    ++falseDepth_;
    return;
  }
  falseDepth_ = Evaluate(rest) ? 0 : 1;
  branchTaken_ = 0;
}

void BodyParser::ElifDirective(const char* rest) {
  if (falseDepth_ == 0) {
    falseDepth_ = 1;
    branchTaken_ = 1;
  } else if (falseDepth_ == 1 && branchTaken_ == 0) {
    falseDepth_ = Evaluate(rest) ? 0 : 1;
  }
}

void BodyParser::ElseDirective() {
  if (falseDepth_ == 0) {
    falseDepth_ = 1;
    branchTaken_ = 1;
  } else if (falseDepth_ == 1 && branchTaken_ == 0) {
    falseDepth_ = 0;
  }
}

void BodyParser::IncludeDirective(const char* rest) {
  FILE* file = OpenFile(rest, "r");
  if (!file && !strpbrk(rest, "\\/:")) {
    char path[kSitePathSize];
    if (IconsPath(rest, path, true)) file = OpenFile(path, "r");
  }
  if (!file) return;
  if (includes_ >= kMaxIncludes) {
    fclose(file);
    return GiveUp("Error:  Template includes more than 1000 files (\"%s\").\n", rest);
  }
  if (!PushIncluder(input_)) {
    fclose(file);
    return GiveUp("Error:  Template includes are nested more than 10 deep (\"%s\").\n", rest);
  }
  ++includes_;
  input_ = file;
}

// Stops the template where it stands: the included files are closed (the
// template itself is closed by OpenTemplate) and the page is abandoned, so
// the old page stays as it was.
void BodyParser::GiveUp(const char* format, const char* name) {
  Report(3000, format, name);
  while (FILE* includer = PopIncluder(input_)) input_ = includer;
  givenUp_ = true;
  OutputAbandoned = true;
}

void BodyParser::Directive(const char* name, const char* rest) {
  if (Is(name, "if")) {
    IfDirective(rest);
  } else if (Is(name, "elif") || Is(name, "elseif")) {
    ElifDirective(rest);
  } else if (Is(name, "else")) {
    ElseDirective();
  } else if (Is(name, "endif")) {
    if (falseDepth_ > 0) --falseDepth_;
  } else if (falseDepth_ > 0) {
    return;
  } else if (Is(name, "log")) {
    Report(1000, "%s\n", rest);
  } else if (Is(name, "include")) {
    IncludeDirective(rest);
  }
}

}  // namespace

// --- IndexInfo ---------------------------------------------------------------

IndexInfo::IndexInfo(AttributeStore* previous, Entry* const* entries, int count)
    : previous_(previous), entries_(entries), count_(count) {}

void IndexInfo::Count() {
  if (counted_) return;
  counted_ = true;
  for (int i = 0; i < count_; ++i) {
    const Entry* entry = entries_[i];
    bool thumb = entry->thumbnail != nullptr;
    if (entry->kind & kFileKinds) {
      ++fileLinks_;
      thumbFileLinks_ += thumb;
    } else if (entry->kind & kDirectoryKinds) {
      ++dirLinks_;
      thumbDirLinks_ += thumb;
    }
  }
}

namespace {

// The count that an IndexInfo name stands for, or null.
const int* CountNamed(const char* name, const int* fileLinks, const int* thumbFileLinks,
                      const int* dirLinks, const int* thumbDirLinks) {
  if (Is(name, "fileLinks")) return fileLinks;
  if (Is(name, "thumbFileLinks")) return thumbFileLinks;
  if (Is(name, "dirLinks")) return dirLinks;
  if (Is(name, "thumbDirLinks")) return thumbDirLinks;
  return nullptr;
}

}  // namespace

bool IndexInfo::HasAttribute(const char* name) {
  Count();
  if (const int* n = CountNamed(name, &fileLinks_, &thumbFileLinks_, &dirLinks_, &thumbDirLinks_)) {
    return *n != 0;
  }
  if (Is(name, "page") || Is(name, "pages")) return PageCount() > 1;
  if (const char* marker = AfterPrefix(name, "section ")) {
    return SectionFile()->FindSection(marker, false);
  }
  const char* path = AfterPrefix(name, "file ");
  if (!path) path = AfterPrefix(name, "-f ");
  if (path) return FileExists(path);
  return previous_ && previous_->HasAttribute(name);
}

const char* IndexInfo::GetAttribute(const char* name) {
  Count();
  const int* n = CountNamed(name, &fileLinks_, &thumbFileLinks_, &dirLinks_, &thumbDirLinks_);
  int value = 0;
  if (n) {
    value = *n;
  } else if (Is(name, "page")) {
    value = CurrentPage();
  } else if (Is(name, "pages")) {
    value = PageCount();
  } else {
    return previous_ ? previous_->GetAttribute(name) : nullptr;
  }
  snprintf(number_, sizeof number_, "%d", value);
  return number_;
}

// --- Names and the entry point ----------------------------------------------

String TemplatePath(const char* name) {
  if (!name) return String();
  if (!*name) return String("");
  if (name[0] == '.' && name[1] == '/') return String(name + 2);
  if (strchr(name, '/')) return String(name);
  String file = UrlToFileString(name);
  return IconsPathString(file, false);
}

String TemplateUrl(const char* name) {
  if (!name) return String();
  String path = TemplatePath(name);
  if (!HasText(path)) return String("");
  return PathToUrl(path);
}

bool OpenTemplate(const char* path, FILE* out, Entry* pageEntry, Entry** entries, int count,
                  const char* shownName) {
  FILE* input = OpenFile(path, "r");
  if (!input) {
    Report(2000, "Error:  Can't open template file \"%s\".\n", shownName ? shownName : path);
    return false;
  }
  {
    BodyParser parser(input, out, pageEntry, entries, count);
    parser.Parse();
  }
  CloseSectionFile();
  fclose(input);
  return true;
}
