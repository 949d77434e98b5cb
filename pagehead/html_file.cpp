#include "pagehead/html_file.h"

#include <cstdarg>
#include <cstring>
#include <string>

#include "platform/assert.h"
#include "platform/drives.h"
#include "platform/file_replace.h"
#include "platform/files.h"
#include "shared/chars.h"
#include "shared/head_fields.h"
#include "shared/htmltext.h"
#include "shared/paths.h"
#include "shared/string.h"
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
  UpperCase(name);
}

// The page-head fields that META elements carry.
struct MetaField {
  HeadField field;
  HeadMeta meta;
};

constexpr MetaField kMetaFields[] = {{kDescription, HeadMeta::kDescription},
                                     {kKeywords, HeadMeta::kKeywords},
                                     {kSortOrder, HeadMeta::kSortOrder},
                                     {kForward, HeadMeta::kForward}};

// The head field a META tag carries (by its NAME), or kHeadFieldCount.
HeadField MetaFieldOf(char* tag, int capacity) {
  char name[kMetaNameSize] = "";
  if (!TagParser(tag, capacity).FindAttribute("NAME", name, kMetaNameSize)) return kHeadFieldCount;
  HeadMeta meta = HeadMetaOf(name);
  for (const MetaField& entry : kMetaFields) {
    if (entry.meta == meta) return entry.field;
  }
  return kHeadFieldCount;
}

// The name a new META element gets for each field.
const char* MetaName(HeadField field) {
  for (const MetaField& entry : kMetaFields) {
    if (entry.field == field) return HeadMetaName(entry.meta);
  }
  return nullptr;
}

// Title, description and keywords are kept as plain text and stored as
// HTML; the sort order, forward URL and body text are stored as they are.
bool IsEncoded(HeadField field) {
  return field == kTitle || field == kDescription || field == kKeywords;
}

// Encodes `text` into `out` (kEncodedSize bytes); Write has made sure that
// it fits.
const char* EncodeValue(const char* text, char (&out)[kEncodedSize]) {
  return HtmlEncode(text, out, kEncodedSize);
}

// The name of a field in messages, with its verb.
const char* FieldLabel(HeadField field) {
  static const char* const labels[kHeadFieldCount] = {
      "title is", "description is", "keywords are", "sort order is", "forwarding URL is",
      "BODY attributes are"};
  return labels[field];
}

// True when the open page holds a NUL byte, which no page-head field or tag
// could carry; `crlf` tells whether its first line ends in CR LF. The stream
// is back at its start afterwards.
bool ScanPage(FILE* input, bool* holdsNul, bool* crlf) {
  *holdsNul = false;
  *crlf = false;
  bool lineEndSeen = false;
  int previous = 0;
  for (int c; (c = fgetc(input)) != EOF; previous = c) {
    if (c == 0) *holdsNul = true;
    if (c == '\n' && !lineEndSeen) {
      lineEndSeen = true;
      *crlf = previous == '\r';
    }
  }
  bool read = !ferror(input);
  rewind(input);
  return read;
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

// The temporary file beside `path` that its new version is written to.
bool TemporaryBeside(const char* path, std::string* temp) {
  char full[kMaxPath + 1];
  if (!GetFullPath(path, full, sizeof full)) return false;
  char dir[kMaxPath + 1];
  *temp = DirPart(full, dir, sizeof dir);
  if (temp->empty()) return false;
  if (temp->back() != '\\') *temp += '\\';
  *temp += "TEMP.$$$";
  return true;
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
  headCodePage_ = CodePage::kUtf8;
  for (bool& tooLong : tooLong_) tooLong = false;
  errorText_[0] = 0;
  if (name) {
    StoreName(inputName_, name, &inputTooLong_);
    StoreName(outputName_, name, &outputTooLong_);
  }
  if (!inputName_[0]) return Fail("No file was specified", nullptr);
  FILE* input = OpenInput();
  if (!input) return false;
  {
    HTMLFileReader reader(input, &info_);
    reader.Scan();
    headCodePage_ = reader.ReadUtf8() ? CodePage::kUtf8 : CodePage::kWindows1252;
  }
  bool failed = ferror(input) != 0;
  if (fclose(input) != 0 || failed) Fail("Error reading file \"%s\"", inputName_);
  return errorText_[0] == 0;
}

// Opens the input in binary, so that every byte (the CR of a CR LF line end
// too) is copied as it stands. A page that holds a NUL byte is refused: it
// is no text page, and its tags could not be carried whole.
FILE* HTMLFile::OpenInput() {
  FILE* input = inputTooLong_ ? nullptr : OpenFile(inputName_, "rb");
  if (!input) {
    Fail("Can't open file \"%s\"", inputName_);
    return nullptr;
  }
  bool holdsNul = false;
  if (!ScanPage(input, &holdsNul, &crlf_)) {
    Fail("Error reading file \"%s\"", inputName_);
  } else if (holdsNul) {
    Fail("Can't edit file \"%s\" (it holds NUL bytes)", inputName_);
  } else {
    return input;
  }
  fclose(input);
  return nullptr;
}

// A changed value that the page cannot hold whole is refused, naming the
// field and its limit: nothing is ever cut silently.
bool HTMLFile::CheckLimits() {
  for (int i = 0; i < kHeadFieldCount; ++i) {
    HeadField field = static_cast<HeadField>(i);
    if (!info_.changed[field]) continue;
    bool tooLongInHtml = IsEncoded(field) && HtmlEncodedLength(info_.Text(field)) > kEncodedSize;
    if (!tooLong_[field] && !tooLongInHtml) continue;
    int limit = tooLong_[field] ? HTMLFileInfo::Limit(field) : static_cast<int>(kEncodedSize) - 1;
    char text[160];
    snprintf(text, sizeof text, "The %s too long for file \"%%s\" (at most %d characters%s)",
             FieldLabel(field), limit, tooLong_[field] ? "" : " in HTML");
    return Fail(text, outputName_);
  }
  return true;
}

bool HTMLFile::Write(const char* name) {
  errorText_[0] = 0;
  if (name) StoreName(outputName_, name, &outputTooLong_);
  if (!inputName_[0]) return Fail("No input file was specified", nullptr);
  if (!outputName_[0]) return Fail("No output file was specified", nullptr);
  if (!CheckLimits()) return false;
  FILE* input = OpenInput();
  if (!input) return false;

  // The new page is written beside the target under a temporary name and
  // then put in its place in one step: the old page stays whole until the
  // new one is complete, whether the target is the input itself or another
  // file.
  std::string temp;
  FILE* output = nullptr;
  if (!outputTooLong_ && TemporaryBeside(outputName_, &temp)) output = CreateReplacement(temp.c_str(), "wb");
  if (!output) {
    fclose(input);
    return Fail("Can't create file \"%s\"", outputName_);
  }
  if (!WriteTemporary(input, output)) {
    DiscardReplacement(temp.c_str());
    return false;
  }
  if (!ReplaceFile(temp.c_str(), outputName_)) {
    DiscardReplacement(temp.c_str());
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
    HTMLFileWriter writer(input, output, &info_, crlf_ ? "\r\n" : "\n");
    writer.Scan();
    writer.Finish();
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
  std::string value = text;
  if (IsEncoded(field)) CollapseSpaces(&value[0]);
  value.resize(strlen(value.c_str()));
  // The stored value is cut to the field; Write refuses a value cut so.
  size_t limit = HTMLFileInfo::Limit(field);
  tooLong_[field] = value.size() > limit;
  CopyBounded(stored, value.c_str(), limit + 1);
  info_.changed[field] = true;
  return true;
}

// A null text is refused by the name of the setter's parameter.
bool HTMLFile::SetGiven(HeadField field, const char* text, const char* parameter) {
  if (!text) AssertionFailed(parameter, __FILE__, __LINE__);
  return Set(field, text);
}

bool HTMLFile::SetTitle(const char* pTitle) { return SetGiven(kTitle, pTitle, "pTitle"); }
bool HTMLFile::SetDescription(const char* pDescription) {
  return SetGiven(kDescription, pDescription, "pDescription");
}
bool HTMLFile::SetKeywords(const char* pKeywords) { return SetGiven(kKeywords, pKeywords, "pKeywords"); }
bool HTMLFile::SetSortOrder(const char* pSortOrder) {
  return SetGiven(kSortOrder, pSortOrder, "pSortOrder");
}
bool HTMLFile::SetForward(const char* pForward) { return SetGiven(kForward, pForward, "pForward"); }
bool HTMLFile::SetBody(const char* pBody) { return SetGiven(kBody, pBody, "pBody"); }

// --- HTMLFileReader -------------------------------------------------------------

HTMLFileReader::HTMLFileReader(FILE* input, HTMLFileInfo* info)
    : HTMLStreamParser(input, kTagBufferSize), info_(info) {}

int HTMLFileReader::NextChar() {
  if (Stopped()) return -1;
  int c = HTMLStreamParser::NextChar();
  if (c >= 0) {
    utf8_.Add(static_cast<unsigned char>(c));
    return c;
  }
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
    Stop();
  }
}

void HTMLFileReader::FinishTitle() {
  info_->title[titlePosition_] = 0;
  titlePosition_ = -1;
  char collected[sizeof info_->title];
  CollapseSpaces(info_->title, collected);
  HtmlDecodeKeeping(collected, info_->title, sizeof info_->title);
}

void HTMLFileReader::ReadMeta(char* tag) {
  HeadField field = MetaFieldOf(tag, BufferSize());
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
    HtmlDecodeKeeping(content, value, size);
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

HTMLFileWriter::HTMLFileWriter(FILE* input, FILE* output, HTMLFileInfo* info, const char* newline)
    : HTMLStreamParser(input, kTagBufferSize), output_(output), info_(info), newline_(newline) {}

void HTMLFileWriter::Finish() { PutHeldReturn(); }

void HTMLFileWriter::PutHeldReturn() {
  if (!heldReturn_) return;
  heldReturn_ = false;
  fputc('\r', output_);
}

void HTMLFileWriter::OnText(int ch) {
  if (suppressTitle_) return;
  if (dropNewline_) {
    // The line end to drop may be a CR LF: the CR waits for what follows.
    if (ch == '\r' && !heldReturn_) {
      heldReturn_ = true;
      return;
    }
    dropNewline_ = false;
    if (ch == '\n') {
      heldReturn_ = false;
      return;
    }
    PutHeldReturn();
  }
  fputc(ch, output_);
  lastWritten_ = static_cast<char>(ch);
}

void HTMLFileWriter::OnComment(int ch) {
  // Only a line end that directly follows a dropped element goes with it.
  dropNewline_ = false;
  PutHeldReturn();
  fputc(ch, output_);
}

void HTMLFileWriter::WriteTag(const char* tag) {
  dropNewline_ = false;
  PutHeldReturn();
  fputs(tag, output_);
  lastWritten_ = 0;
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
    fprintf(output_, "%s<%s>%s</%s>%s", newline_, element, EncodeValue(info_->title, encoded),
            element, newline_);
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
  HeadField field = MetaFieldOf(tag, BufferSize());
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
    if (lastWritten_ != '\n') fputs(newline_, output_);
    fprintf(output_, "<%s=\"%s\" %s=%c%s%c>%s", names.metaName, MetaName(field), names.content,
            quote, value, quote, newline_);
    lastWritten_ = '\n';
    info_->changed[field] = false;
  }
}

void HTMLFileWriter::OnBody(const char* tag, bool upper) {
  if (!info_->changed[kBody]) return WriteTag(tag);
  info_->changed[kBody] = false;
  dropNewline_ = false;
  PutHeldReturn();
  const char* element = NamesFor(upper).body;
  if (info_->body[0])
    fprintf(output_, "<%s %s>", element, info_->body);
  else
    fprintf(output_, "<%s>", element);
  lastWritten_ = 0;
}
