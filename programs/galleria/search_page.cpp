#include "programs/galleria/search_page.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "programs/galleria/entry_pieces.h"
#include "programs/galleria/frame_page.h"
#include "programs/galleria/index_page_output.h"
#include "programs/galleria/index_settings.h"
#include "programs/galleria/script_text.h"
#include "shared/entry.h"
#include "shared/htmltext.h"
#include "shared/keywords.h"
#include "shared/paths.h"

namespace {

constexpr int kMaxKeywords = 100;
bool IsSlide(const Entry* entry) { return (entry->kind & kEntryImage) != 0; }

void WriteConstructors(FILE* out) {
  static const char* const kLines[] = {
      "function HLink(title, href, thumbnail, width, height, description, keywords) {\n",
      "  this.title=title;\n",
      "  this.href=href;\n",
      "  this.thumbnail=thumbnail;\n",
      "  this.width=width;\n",
      "  this.height=height;\n",
      "  this.description=description;\n",
      "  this.keywords=keywords;\n",
      "}\n\n",
      "function Slide(title, href, description, keywords) {\n",
      "  this.title=title;\n",
      "  this.href=href;\n",
      "  this.description=description;\n",
      "  this.keywords=keywords;\n",
      "}\n\n",
  };
  for (const char* line : kLines) WriteHTML(out, "%s", line);
}

// The body options, the page's own description and thumbnail, the back link.
void WritePageVars(FILE* out, Entry* pageEntry) {
  const char* body = indexSettings.bodyAttributes;
  if (*body && CompareNoCase(body, "none") != 0) {
    WriteHTML(out, "bodyOptions=\" %s\";\n", Chars(ScriptText(body)));
  } else {
    WriteHTML(out, "bodyOptions=\"\";\n");
  }
  if (pageEntry->description && *pageEntry->description) {
    WriteHTML(out, "indexDescription=\"%s\";\n", Chars(ScriptText(ScriptInfoText(pageEntry))));
  } else {
    WriteHTML(out, "indexDescription=\"\";\n");
  }
  WriteHTML(out, "indexThumbnail=\"%s\";\n", Chars(ScriptText(pageEntry->thumbnail)));
  WriteBackLinkVar(out);
}

// Texts as the script strings hold them: HTML with the bytes of the letters
// beyond ASCII, which ScriptText writes as escapes.
String EntryTitle(const Entry* entry) { return ScriptText(HtmlEncodeString(entry->title)); }
String EntryInfo(Entry* entry) { return ScriptText(ScriptInfoText(entry)); }
String EntryKeywords(const Entry* entry) { return ScriptText(KeywordText(entry->keywords, ",")); }

// The entries that are slides (or, with `slides` false, the other links),
// in their order.
std::vector<Entry*> EntriesOfKind(Entry** entries, int count, bool slides) {
  std::vector<Entry*> kind;
  for (int i = 0; i < count; ++i) {
    if (IsSlide(entries[i]) == slides) kind.push_back(entries[i]);
  }
  return kind;
}

// A script array's count variable and, when it has elements, the array.
void WriteArrayStart(FILE* out, const char* countName, const char* arrayName, size_t count) {
  WriteHTML(out, "\n%s=%zu;\n", countName, count);
  if (count) WriteHTML(out, "%s=new Array(%s);\n", arrayName, countName);
}

void WriteLinks(FILE* out, Entry** entries, int count) {
  std::vector<Entry*> links = EntriesOfKind(entries, count, false);
  WriteArrayStart(out, "hlinks", "hlink", links.size());
  for (size_t number = 0; number < links.size(); ++number) {
    Entry* entry = links[number];
    WriteHTML(out, "hlink[%zu]=new HLink(\"%s\", \"%s\", \"%s\", %d, %d, \"%s\", \"%s\");\n",
              number, Chars(EntryTitle(entry)), Chars(ScriptText(entry->href)),
              Chars(ScriptText(entry->thumbnail)), 0, 0, Chars(EntryInfo(entry)),
              Chars(EntryKeywords(entry)));
  }
}

void WriteSlides(FILE* out, Entry** entries, int count) {
  std::vector<Entry*> slides = EntriesOfKind(entries, count, true);
  WriteArrayStart(out, "slides", "slide", slides.size());
  for (size_t number = 0; number < slides.size(); ++number) {
    Entry* entry = slides[number];
    String page = ChangeExtensionString(entry->href, ".htm");
    WriteHTML(out, "slide[%zu]=new Slide(\"%s\", \"%s\", \"%s\", \"%s\");\n", number,
              Chars(EntryTitle(entry)), Chars(ScriptText(page)), Chars(EntryInfo(entry)),
              Chars(EntryKeywords(entry)));
  }
  WriteHTML(out, "\npages=0;\n");
  if (!slides.empty()) WriteHTML(out, "page=new Array(slides);\n");
}

// Every visible keyword of the entries once (letter case ignored), at most
// kMaxKeywords, sorted without regard to case.
std::vector<std::string> CollectKeywords(Entry** entries, int count) {
  std::vector<std::string> words;
  for (int i = 0; i < count && words.size() < kMaxKeywords; ++i) {
    const char* cursor = entries[i]->keywords;
    if (!cursor) continue;
    for (String word = NextKeyword(cursor); !word.IsNull() && words.size() < kMaxKeywords;
         word = NextKeyword(cursor)) {
      const char* text = word.Text();
      if (text[0] == '_') continue;
      auto same = [text](const std::string& kept) {
        return CompareNoCase(kept.c_str(), text) == 0;
      };
      if (std::none_of(words.begin(), words.end(), same)) words.push_back(text);
    }
  }
  std::stable_sort(words.begin(), words.end(), [](const std::string& a, const std::string& b) {
    return CompareNoCase(a.c_str(), b.c_str()) < 0;
  });
  return words;
}

void WriteKeywordArray(FILE* out, Entry** entries, int count) {
  std::vector<std::string> words = CollectKeywords(entries, count);
  if (words.empty()) return;
  WriteHTML(out, "\nkeyword=new Array(");
  for (size_t i = 0; i < words.size(); ++i) {
    WriteHTML(out, i ? ", \"%s\"" : "\"%s\"", Chars(ScriptText(words[i].c_str())));
  }
  WriteHTML(out, ");\n");
}

void WriteFrames(FILE* out, const char* searchUrl) {
  WriteHTML(out, "<FRAMESET ROWS=\"60,*\">\n");
  WriteHTML(out, "  <FRAME SRC=\"%s\" NAME=\"searchFrame\" SCROLLING=NO>\n", searchUrl);
  WriteHTML(out, "  <FRAME SRC=\"javascript:'<BODY></BODY>'\" NAME=\"contentFrame\">\n");
  WriteHTML(out, "</FRAMESET>\n");
  WriteHTML(out, "</HTML>\n");
}

}  // namespace

String KeywordText(const char* keywords, const char* separator) {
  std::string text;
  const char* cursor = keywords;
  if (cursor) {
    for (String word = NextKeyword(cursor); !word.IsNull(); word = NextKeyword(cursor)) {
      if (word.Text()[0] == '_') continue;
      if (text.empty()) text = separator;
      text += word.Text();
      text += separator;
    }
  }
  return text.empty() ? String() : String(text.c_str());
}

void WriteBackLinkVar(FILE* out) {
  switch (indexSettings.backlink) {
    case BacklinkMode::Parent:
    case BacklinkMode::Keywords:
    case BacklinkMode::Smart: {
      Entry* parent = nullptr;
      if (ParentEntries(&parent, 1, nullptr) > 0) {
        WriteHTML(out, "backLink=\"%s\";\n", Chars(ScriptText(parent->href)));
      }
      delete parent;
      break;
    }
    case BacklinkMode::Custom:
      WriteHTML(out, "backLink=\"%s\";\n", Chars(ScriptText(indexSettings.backlinkText)));
      break;
    case BacklinkMode::Back:
      WriteHTML(out, "backLink=\"\";\n");
      break;
    case BacklinkMode::None:
    case BacklinkMode::Close:
      break;
  }
}

int WriteSearchPage(Entry** entries, int count) {
  String searchUrl;
  Entry* pageEntry = nullptr;
  FILE* out = OpenFramePage("search.htm", false, &searchUrl, &pageEntry);
  if (!out) return 1;
  WriteFramePageHead(out, pageEntry, SlideCounts(entries, count));
  WriteHTML(out, "\n%s\n", "<SCRIPT LANGUAGE=\"JavaScript1.1\">\n<!--\n");
  WriteConstructors(out);
  WritePageVars(out, pageEntry);
  WriteLinks(out, entries, count);
  WriteSlides(out, entries, count);
  WriteKeywordArray(out, entries, count);
  WriteHTML(out, "\n%s\n", "// -->\n</SCRIPT>");
  WriteHTML(out, "</HEAD>\n\n");
  WriteFrames(out, Chars(searchUrl));
  delete pageEntry;
  return CommitIndexOutput(out, "index.htm");
}
