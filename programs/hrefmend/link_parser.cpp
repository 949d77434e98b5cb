#include "programs/hrefmend/link_parser.h"

#include <cstring>

#include "shared/string.h"
#include "shared/tag_edit.h"

namespace {

constexpr int kTagBufferSize = 4096;
// Changes to a tag must keep it within this many bytes.
constexpr int kTagCapacity = 1024;
constexpr int kTagNameSize = 16;

}  // namespace

Parser::Parser(FILE* source, FILE* output, LinkFixer* fixer)
    : HTMLStreamParser(source, kTagBufferSize), output_(output), fixer_(fixer) {}

void Parser::OnText(int ch) {
  if (output_ && !Stopped() && putc(ch, output_) == EOF) Stop();
}

void Parser::OnComment(int ch) { OnText(ch); }

void Parser::OnTag(char* tag) {
  char name[kTagNameSize];
  TagParser(tag, kTagCapacity).TagName(name, sizeof name);
  if (CompareNoCase(name, "A") == 0 || CompareNoCase(name, "AREA") == 0) HandleLink(tag);
  Write(tag);
}

void Parser::HandleLink(char* tag) {
  TagParser parser(tag, kTagCapacity);
  // One byte more than a usable HREF, so that a longer one shows.
  char href[kMaxHrefLength + 2];
  if (!parser.FindAttribute("HREF", href, sizeof href)) return;
  if (strlen(href) > static_cast<size_t>(kMaxHrefLength)) return;
  char title[kMaxTitleLength + 1];
  if (!parser.FindAttribute("TITLE", title, sizeof title)) *title = '\0';
  if (!output_) {
    fixer_->CollectLink(href, title);
    return;
  }
  LinkRepair repair = fixer_->FixLink(href);
  if (repair.href && !parser.SetAttribute("HREF", repair.href->c_str())) fixer_->HrefNotWritten();
  // Only a TITLE that really changes is written and counted.
  if (repair.title && *repair.title != title && parser.SetAttribute("TITLE", repair.title->c_str())) {
    fixer_->TitleWritten(href, title);
  }
}

void Parser::Write(const char* text) {
  if (output_ && !Stopped() && fputs(text, output_) == EOF) Stop();
}
