#include "pagehead/html_file.h"

#include <cstdarg>
#include <cstring>
#include <string>

#include "platform/assert.h"
#include "platform/files.h"
#include "shared/chars.h"
#include "shared/htmltext.h"
#include "shared/paths.h"
#include "shared/tag_edit.h"

namespace {

constexpr int kTagBufferSize = 4096;
constexpr int kTagNameSize = 16;     // tag names are read to 15 characters
constexpr int kMetaNameSize = 16;    // so are META NAME values
constexpr int kContentSize = 1024;   // CONTENT values are read to 1023
constexpr size_t kEncodedSize = 1024;  // encoded values are written to 1023

// The upper-cased name of a tag.
void UpperTagName(char* tag, int capacity, char (&name)[kTagNameSize], bool* upperCase) {
  TagParser(tag, capacity).TagName(name, kTagNameSize);
  // The element names the writer adds follow the letter case of the tag
  // being handled: its first or second character decides.
  if (upperCase) *upperCase = IsUpper(name[0]) || (name[0] && IsUpper(name[1]));
  for (char* c = name; *c; ++c) *c = ToUpper(*c);
}

// The head field a META tag carries (by its NAME), or kHeadFieldCount.
HeadField MetaField(char* tag, int capacity) {
  char name[kMetaNameSize] = "";
  if (!TagParser(tag, capacity).FindAttribute("NAME", name, kMetaNameSize)) return kHeadFieldCount;
  for (char* c = name; *c; ++c) *c = ToUpper(*c);
  if (strcmp(name, "DESCRIPTION") == 0 || strcmp(name, "SUBJECT") == 0) return kDescription;
  if (strcmp(name, "KEYWORDS") == 0) return kKeywords;
  if (strcmp(name, "SORTORDER") == 0) return kSortOrder;
  if (strcmp(name, "FORWARD") == 0) return kForward;
  return kHeadFieldCount;
}

// The name a new META element gets for each field.
const char* MetaName(HeadField field) {
  switch (field) {
    case kDescription: return "DESCRIPTION";
    case kKeywords: return "KEYWORDS";
    case kSortOrder: return "SORTORDER";
    default: return "FORWARD";
  }
}

// Title, description and keywords are kept as plain text and stored as
// HTML; the sort order, forward URL and body text are stored as they are.
bool IsEncoded(HeadField field) {
  return field == kTitle || field == kDescription || field == kKeywords;
}

// Encodes `text` into `out` (kEncodedSize bytes). A text whose encoding
// would not fit is cut before the first character whose replacement does
// not fit whole, so no entity is ever broken.
const char* EncodeValue(const char* text, char (&out)[kEncodedSize]) {
  size_t used = 0;
  size_t count = 0;
  for (; text[count]; ++count) {
    char one[2] = {text[count], 0};
    size_t width = HtmlEncodedLength(one) - 1;
    if (used + width > kEncodedSize - 1) break;
    used += width;
  }
  std::string kept(text, count);
  return HtmlEncode(kept.c_str(), out, kEncodedSize);
}

bool IsEndOfHead(const char* name) { return strcmp(name, "/HEAD") == 0 || strcmp(name, "BODY") == 0; }

struct ElementNames {
  const char* title;
  const char* metaName;
  const char* content;
  const char* body;
};

const ElementNames& NamesFor(bool upperCase) {
  static const ElementNames upper = {"TITLE", "META NAME", "CONTENT", "BODY"};
  static const ElementNames lower = {"title", "meta name", "content", "body"};
  return upperCase ? upper : lower;
}

// Stores a name of at most 260 characters; a longer one names no file.
void StoreName(char (&buffer)[261], const char* name, bool* tooLong) {
  CopyBounded(buffer, name, sizeof buffer);
  *tooLong = strlen(name) > kMaxPath;
}

// The folder a new file beside `path` goes into.
bool FolderOf(const char* path, std::string* folder) {
  char full[kMaxPath + 1];
  if (!GetFullPath(path, full, sizeof full)) return false;
  char dir[kMaxPath + 1];
  *folder = DirPart(full, dir, sizeof dir);
  return !folder->empty();
}

}  // namespace

// --- HTMLFileInfo -------------------------------------------------------------

void HTMLFileInfo::Clear() { memset(this, 0, sizeof *this); }

char* HTMLFileInfo::Text(HeadField field) {
  return const_cast<char*>(static_cast<const HTMLFileInfo*>(this)->Text(field));
}

const char* HTMLFileInfo::Text(HeadField field) const {
  switch (field) {
    case kTitle: return title;
    case kDescription: return description;
    case kKeywords: return keywords;
    case kSortOrder: return sortOrder;
    case kForward: return forward;
    default: return body;
  }
}

int HTMLFileInfo::Limit(HeadField field) {
  static const int limits[kHeadFieldCount] = {255, 511, 1023, 9, 511, 511};
  return limits[field];
}

char* CollapseSpaces(const char* text, char* out) {
  char* write = out;
  bool inRun = false;
  for (const char* read = text; *read; ++read) {
    unsigned char c = static_cast<unsigned char>(*read);
    if (c > ' ' && c != 0x7F) {
      *write++ = static_cast<char>(c);
      inRun = false;
    } else if (!inRun) {
      *write++ = ' ';
      inRun = true;
    }
  }
  *write = 0;
  return out;
}

char* CollapseSpaces(char* text) { return CollapseSpaces(text, text); }

// --- HTMLFile -------------------------------------------------------------------

HTMLFile::HTMLFile(const char* name) {
  info_.Clear();
  inputName_[0] = outputName_[0] = errorText_[0] = 0;
  if (name) {
    StoreName(inputName_, name, &inputTooLong_);
    StoreName(outputName_, name, &outputTooLong_);
  }
}

bool HTMLFile::Fail(const char* format, const char* name) {
  snprintf(errorText_, sizeof errorText_, format, name);
  return false;
}

bool HTMLFile::Read(const char* name) {
  info_.Clear();
  errorText_[0] = 0;
  if (name) {
    StoreName(inputName_, name, &inputTooLong_);
    StoreName(outputName_, name, &outputTooLong_);
  }
  if (!inputName_[0]) return Fail("No file was specified", nullptr);
  FILE* input = inputTooLong_ ? nullptr : OpenFile(inputName_, "r");
  if (!input) return Fail("Can't open file \"%s\"", inputName_);
  {
    HTMLFileReader reader(input, &info_);
    reader.Scan();
  }
  bool failed = ferror(input) != 0;
  if (fclose(input) != 0 || failed) Fail("Error reading file \"%s\"", inputName_);
  return errorText_[0] == 0;
}

bool HTMLFile::Write(const char* name) {
  errorText_[0] = 0;
  if (name) StoreName(outputName_, name, &outputTooLong_);
  if (!inputName_[0]) return Fail("No input file was specified", nullptr);
  if (!outputName_[0]) return Fail("No output file was specified", nullptr);
  FILE* input = inputTooLong_ ? nullptr : OpenFile(inputName_, "r");
  if (!input) return Fail("Can't open file \"%s\"", inputName_);

  // The new page is written beside the target under a fresh name and then
  // put in its place in one step: the old page stays whole until the new
  // one is complete, whether the target is the input itself or another file.
  std::string folder, temp;
  FILE* output = nullptr;
  if (!outputTooLong_ && FolderOf(outputName_, &folder) && MakeTempFile(folder.c_str(), "TEMP", &temp))
    output = OpenFile(temp.c_str(), "w");
  if (!output) {
    fclose(input);
    if (!temp.empty()) DeleteFile(temp.c_str());
    return Fail("Can't create file \"%s\"", outputName_);
  }
  if (!WriteTemporary(input, output)) {
    DeleteFile(temp.c_str());
    return false;
  }
  if (!ReplaceFile(temp.c_str(), outputName_)) {
    DeleteFile(temp.c_str());
    return Fail("Can't replace file \"%s\"", outputName_);
  }
  if (info_.changed[kBody]) return Fail("Missing <BODY> tag in file \"%s\"", inputName_);
  for (int field = kTitle; field < kBody; ++field) {
    if (info_.changed[field]) return Fail("Bad header format in file \"%s\"", inputName_);
  }
  return true;
}

bool HTMLFile::WriteTemporary(FILE* input, FILE* output) {
  // A field that the page never had and that is empty now needs nothing
  // written (it was set and then emptied again).
  for (int i = 0; i < kHeadFieldCount; ++i) {
    HeadField field = static_cast<HeadField>(i);
    if (!info_.found[field] && !info_.Text(field)[0]) info_.changed[field] = false;
  }
  {
    HTMLFileWriter writer(input, output, &info_);
    writer.Scan();
  }
  bool writeFailed = ferror(output) != 0;
  if (fclose(output) != 0 || writeFailed) Fail("Error writing file \"%s\"", outputName_);
  bool readFailed = ferror(input) != 0;
  if (fclose(input) != 0 || readFailed) Fail("Error reading file \"%s\"", inputName_);
  return errorText_[0] == 0;
}

String HTMLFile::Title() const { return String(info_.title); }
String HTMLFile::Description() const { return String(info_.description); }
String HTMLFile::Keywords() const { return String(info_.keywords); }
String HTMLFile::SortOrder() const { return String(info_.sortOrder); }
String HTMLFile::Forward() const { return String(info_.forward); }
String HTMLFile::Body() const { return String(info_.body); }

bool HTMLFile::Set(HeadField field, const char* text) {
  char* stored = info_.Text(field);
  if (strcmp(stored, text) == 0) return true;
  CopyBounded(stored, text, HTMLFileInfo::Limit(field) + 1);
  if (IsEncoded(field)) CollapseSpaces(stored);
  info_.changed[field] = true;
  return true;
}

bool HTMLFile::SetTitle(const char* pTitle) {
  WEFT_ASSERT(pTitle);
  return Set(kTitle, pTitle);
}
bool HTMLFile::SetDescription(const char* pDescription) {
  WEFT_ASSERT(pDescription);
  return Set(kDescription, pDescription);
}
bool HTMLFile::SetKeywords(const char* pKeywords) {
  WEFT_ASSERT(pKeywords);
  return Set(kKeywords, pKeywords);
}
bool HTMLFile::SetSortOrder(const char* pSortOrder) {
  WEFT_ASSERT(pSortOrder);
  return Set(kSortOrder, pSortOrder);
}
bool HTMLFile::SetForward(const char* pForward) {
  WEFT_ASSERT(pForward);
  return Set(kForward, pForward);
}
bool HTMLFile::SetBody(const char* pBody) {
  WEFT_ASSERT(pBody);
  return Set(kBody, pBody);
}

// --- HTMLFileReader -------------------------------------------------------------

HTMLFileReader::HTMLFileReader(FILE* input, HTMLFileInfo* info)
    : HTMLParser(kTagBufferSize), input_(input), info_(info) {}

int HTMLFileReader::NextChar() {
  if (stop_) return -1;
  int c = fgetc(input_);
  if (c != EOF) return c;
  // A title still open at the end of the page ends there, so it is read
  // as plain text like any other.
  if (titlePosition_ >= 0) FinishTitle();
  return -1;
}

void HTMLFileReader::OnText(int ch) {
  if (titlePosition_ < 0 || titlePosition_ >= HTMLFileInfo::Limit(kTitle)) return;
  info_->title[titlePosition_++] = static_cast<char>(ch);
}

void HTMLFileReader::OnTag(char* tag) {
  char name[kTagNameSize];
  UpperTagName(tag, BufferSize(), name, nullptr);
  if (strcmp(name, "TITLE") == 0) {
    info_->found[kTitle] = true;
    if (!info_->title[0]) titlePosition_ = 0;
    return;
  }
  // A title left open ends with the head at the latest, as the writer
  // stops leaving out old title text there.
  if (titlePosition_ >= 0 && (strcmp(name, "/TITLE") == 0 || IsEndOfHead(name))) FinishTitle();
  if (strcmp(name, "META") == 0) ReadMeta(tag);
  if (strcmp(name, "BODY") == 0) {
    ReadBody(tag);
    stop_ = true;
  }
}

void HTMLFileReader::FinishTitle() {
  info_->title[titlePosition_] = 0;
  titlePosition_ = -1;
  char collected[sizeof info_->title];
  CollapseSpaces(info_->title, collected);
  HtmlDecode(collected, info_->title, sizeof info_->title);
}

void HTMLFileReader::ReadMeta(char* tag) {
  HeadField field = MetaField(tag, BufferSize());
  if (field == kHeadFieldCount) return;
  info_->found[field] = true;
  ++info_->metaCount[field];
  // A known name without CONTENT reads as an empty value.
  char content[kContentSize] = "";
  TagParser(tag, BufferSize()).FindAttribute("CONTENT", content, kContentSize);
  char* value = info_->Text(field);
  size_t size = HTMLFileInfo::Limit(field) + 1;
  if (IsEncoded(field)) {
    CollapseSpaces(content);
    HtmlDecode(content, value, size);
  } else {
    CopyBounded(value, content, size);
    CollapseSpaces(value);
  }
}

void HTMLFileReader::ReadBody(const char* tag) {
  info_->found[kBody] = true;
  const char* attributes = tag;
  while (*attributes && !IsSpace(*attributes)) ++attributes;
  if (!*attributes) return;
  while (IsSpace(*attributes)) ++attributes;
  size_t length = strlen(attributes);
  // A tag cut off by the end of the file has no '>' to leave out.
  if (length > 0 && attributes[length - 1] == '>') --length;
  size_t limit = HTMLFileInfo::Limit(kBody);
  if (length > limit) length = limit;
  memcpy(info_->body, attributes, length);
  info_->body[length] = 0;
  CollapseSpaces(info_->body);
}

// --- HTMLFileWriter -------------------------------------------------------------

HTMLFileWriter::HTMLFileWriter(FILE* input, FILE* output, HTMLFileInfo* info)
    : HTMLParser(kTagBufferSize), input_(input), output_(output), info_(info) {}

int HTMLFileWriter::NextChar() {
  int c = fgetc(input_);
  return c == EOF ? -1 : c;
}

void HTMLFileWriter::OnText(int ch) {
  if (suppressTitle_) return;
  if (dropNewline_) {
    dropNewline_ = false;
    if (ch == '\n') return;
  }
  fputc(ch, output_);
  lastWritten_ = static_cast<char>(ch);
}

void HTMLFileWriter::OnComment(int ch) {
  // Only a line feed that directly follows a dropped element goes with it.
  dropNewline_ = false;
  fputc(ch, output_);
}

void HTMLFileWriter::WriteTag(const char* tag) {
  fputs(tag, output_);
  lastWritten_ = 0;
  dropNewline_ = false;
}

void HTMLFileWriter::DropElement() { dropNewline_ = lastWritten_ == '\n'; }

void HTMLFileWriter::OnTag(char* tag) {
  char name[kTagNameSize];
  bool upper = false;
  UpperTagName(tag, BufferSize(), name, &upper);
  // Old text of a title left open is left out only up to the end of the head.
  if (suppressTitle_ && IsEndOfHead(name)) suppressTitle_ = false;
  if (strcmp(name, "HEAD") == 0) return OnHead(tag, upper);
  if (strcmp(name, "TITLE") == 0) return OnTitle(tag);
  if (strcmp(name, "/TITLE") == 0) return OnTitleEnd(tag);
  if (strcmp(name, "META") == 0) return OnMeta(tag, upper);
  if (inHead_) OnHeadEnd(upper);
  if (strcmp(name, "BODY") == 0) return OnBody(tag, upper);
  WriteTag(tag);
}

void HTMLFileWriter::OnHead(const char* tag, bool upper) {
  WriteTag(tag);
  if (!info_->found[kTitle] && info_->changed[kTitle] && info_->title[0]) {
    const char* element = NamesFor(upper).title;
    char encoded[kEncodedSize];
    fprintf(output_, "\n<%s>%s</%s>\n", element, EncodeValue(info_->title, encoded), element);
    info_->changed[kTitle] = false;
    dropNewline_ = true;
    lastWritten_ = '\n';
  }
  inHead_ = true;
}

void HTMLFileWriter::OnTitle(const char* tag) {
  if (!info_->changed[kTitle]) return WriteTag(tag);
  if (info_->title[0]) {
    char encoded[kEncodedSize];
    WriteTag(tag);
    fputs(EncodeValue(info_->title, encoded), output_);
  } else {
    DropElement();
  }
  info_->changed[kTitle] = false;
  suppressTitle_ = true;
}

void HTMLFileWriter::OnTitleEnd(const char* tag) {
  if (!suppressTitle_) return WriteTag(tag);
  suppressTitle_ = false;
  // An emptied title loses its end tag as well.
  if (info_->title[0]) WriteTag(tag);
}

void HTMLFileWriter::OnMeta(char* tag, bool upper) {
  HeadField field = MetaField(tag, BufferSize());
  if (field == kHeadFieldCount) return WriteTag(tag);
  // The reader reported the last element of each name before BODY: that
  // one is rewritten; an emptied value takes all of them away.
  int seen = ++metaSeen_[field];
  int last = info_->metaCount[field];
  if (!info_->changed[field] || seen > last) return WriteTag(tag);
  const char* value = info_->Text(field);
  if (!value[0]) {
    if (seen == last) info_->changed[field] = false;
    return DropElement();
  }
  if (seen < last) return WriteTag(tag);
  char encoded[kEncodedSize];
  if (IsEncoded(field)) value = EncodeValue(value, encoded);
  // A tag that cannot hold the new value is written as it was; the field
  // stays marked, so Write reports that it was not stored.
  if (TagParser(tag, BufferSize()).SetAttribute(NamesFor(upper).content, value))
    info_->changed[field] = false;
  WriteTag(tag);
}

void HTMLFileWriter::OnHeadEnd(bool upper) {
  inHead_ = false;
  const ElementNames& names = NamesFor(upper);
  for (int i = kDescription; i <= kForward; ++i) {
    HeadField field = static_cast<HeadField>(i);
    const char* value = info_->Text(field);
    if (info_->found[field] || !info_->changed[field] || !value[0]) continue;
    char encoded[kEncodedSize];
    if (IsEncoded(field)) value = EncodeValue(value, encoded);
    // Unencoded values holding a double quote are quoted with apostrophes.
    char quote = strchr(value, '"') ? '\'' : '"';
    if (lastWritten_ != '\n') fputc('\n', output_);
    fprintf(output_, "<%s=\"%s\" %s=%c%s%c>\n", names.metaName, MetaName(field), names.content,
            quote, value, quote);
    lastWritten_ = '\n';
    info_->changed[field] = false;
  }
}

void HTMLFileWriter::OnBody(const char* tag, bool upper) {
  if (!info_->changed[kBody]) return WriteTag(tag);
  info_->changed[kBody] = false;
  const char* element = NamesFor(upper).body;
  if (info_->body[0])
    fprintf(output_, "<%s %s>", element, info_->body);
  else
    fprintf(output_, "<%s>", element);
  lastWritten_ = 0;
  dropNewline_ = false;
}
