#include "programs/tagscan/keyword_parser.h"

#include <cstring>
#include <vector>

#include "platform/files.h"
#include "shared/chars.h"
#include "shared/entry_factory.h"
#include "shared/head_fields.h"
#include "shared/htmltext.h"
#include "shared/string.h"
#include "shared/tag_edit.h"

namespace {

constexpr int kTagBufferSize = 4096;
// Tag names and META NAME values are read up to 15 characters.
constexpr int kNameSize = 16;

}  // namespace

KeywordParser::KeywordParser(FILE* stream, char* output, size_t size)
    : HTMLStreamParser(stream, kTagBufferSize), output_(output), size_(size) {}

void KeywordParser::OnText(int) {}

void KeywordParser::OnComment(int) {}

void KeywordParser::OnTag(char* tag) {
  char name[kNameSize];
  TagParser(tag, BufferSize()).TagName(name, kNameSize);
  UpperCase(name);
  if (strcmp(name, "/HEAD") == 0 || strcmp(name, "BODY") == 0) {
    Stop();
    return;
  }
  char metaName[kNameSize];
  if (strcmp(name, "META") == 0 &&
      TagParser(tag, BufferSize()).FindAttribute("NAME", metaName, kNameSize)) {
    OnMeta(tag, metaName);
    return;
  }
  // The keywords stand among the first tags of the head: once they are
  // read, any other tag ends the search.
  if (*output_) Stop();
}

void KeywordParser::OnMeta(char* tag, const char* metaName) {
  HeadMeta field = HeadMetaOf(metaName);
  if (field == HeadMeta::kAlias) {
    // An alias page stands for a page elsewhere and has no keywords itself.
    *output_ = '\0';
    Stop();
    return;
  }
  if (field != HeadMeta::kKeywords) return;
  std::vector<char> content(size_, '\0');
  TagParser(tag, BufferSize()).FindAttribute("CONTENT", content.data(), static_cast<int>(size_));
  JoinLines(content.data());
  HtmlDecode(content.data(), output_, size_);
}

bool ReadPageKeywords(const char* path, char* buffer, size_t size) {
  if (size == 0) return false;
  *buffer = '\0';
  FILE* stream = OpenFile(path, "r");
  if (!stream) return false;
  KeywordParser parser(stream, buffer, size);
  parser.Scan();
  fclose(stream);
  return *buffer != '\0';
}
