#include "programs/minipix/page_keywords.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/files.h"
#include "shared/html_parser.h"
#include "shared/htmltext.h"
#include "shared/paths.h"
#include "shared/string.h"
#include "shared/tag_edit.h"

namespace {

constexpr int kTagBufferSize = 4096;
constexpr int kNameSize = 17;      // tag and META names: 16 characters
constexpr int kContentSize = 256;  // META CONTENT values: 255 characters

// Every newline becomes one blank and the white space after it goes.
std::string JoinLines(const char* text) {
  std::string joined;
  for (const char* p = text; *p; ++p) {
    if (*p != '\n') {
      joined += *p;
      continue;
    }
    joined += ' ';
    while (p[1] == ' ' || p[1] == '\t' || p[1] == '\r' || p[1] == '\n') ++p;
  }
  return joined;
}

// Reads a page head up to /HEAD or BODY and keeps the last KEYWORDS list.
class KeywordsReader : public HTMLParser {
 public:
  explicit KeywordsReader(FILE* file) : HTMLParser(kTagBufferSize), file_(file) {}
  const std::string& Keywords() const { return keywords_; }

 protected:
  int NextChar() override { return stop_ ? -1 : fgetc(file_); }
  void OnText(int) override {}
  void OnComment(int) override {}
  void OnTag(char* tag) override {
    TagParser parser(tag, BufferSize());
    char name[kNameSize];
    parser.TagName(name, sizeof name);
    if (CompareNoCase(name, "BODY") == 0 || CompareNoCase(name, "/HEAD") == 0) {
      stop_ = true;
    } else if (CompareNoCase(name, "META") == 0) {
      OnMeta(parser);
    }
  }

 private:
  void OnMeta(TagParser& parser) {
    char name[kNameSize];
    char content[kContentSize];
    if (!parser.FindAttribute("NAME", name, sizeof name)) return;
    if (CompareNoCase(name, "KEYWORDS") != 0) return;
    if (!parser.FindAttribute("CONTENT", content, sizeof content)) return;
    String decoded = HtmlDecodeString(JoinLines(content).c_str());
    keywords_ = decoded.IsNull() ? "" : decoded.Text();
  }

  FILE* file_;
  bool stop_ = false;
  std::string keywords_;
};

}  // namespace

bool ImagePageHasKeywords(const char* imagePath) {
  String page = ChangeExtensionString(imagePath, ".htm");
  if (page.IsNull() || !FileExists(page)) return false;
  FILE* file = OpenFile(page, "r");
  if (!file) return false;
  KeywordsReader reader(file);
  reader.Scan();
  fclose(file);
  return !reader.Keywords().empty();
}
