#include "programs/galleria/formatted_output.h"

#include <cstdint>
#include <cstring>

#include "platform/files.h"
#include "programs/galleria/body_template.h"
#include "programs/galleria/entry_pieces.h"
#include "programs/galleria/index_page_output.h"
#include "programs/galleria/index_run.h"
#include "programs/galleria/index_settings.h"
#include "programs/galleria/layouts.h"
#include "programs/galleria/navigation.h"
#include "programs/galleria/script_text.h"
#include "programs/galleria/site_url.h"
#include "shared/entry.h"
#include "shared/file_section.h"
#include "shared/head_writer.h"
#include "shared/htmltext.h"
#include "shared/paths.h"
#include "shared/report.h"
#include "shared/sitefiles.h"

namespace {

constexpr int kMaxThumbHeadingHeight = 150;
constexpr char kHeadingStart[] = "<!-- BEGIN HEADING -->";
constexpr char kHeadingEnd[] = "<!-- END HEADING -->";
constexpr char kScriptOpen[] = "<SCRIPT LANGUAGE=\"JavaScript1.1\">\n<!--\n";

bool HasText(const char* text) { return text && *text; }
bool IsImage(const Entry* entry) { return (entry->kind & kEntryImage) != 0; }
bool IsFrameset(const Entry* entry) {
  return !IsImage(entry) && entry->fileInfo && strstr(entry->fileInfo, "FRAMESET");
}

// The slide window needs the icons directory ("slides.htm" lives there).
bool IconsDirReady() {
  if (indexSettings.slides != SlidesMode::Window) return true;
  char path[kSitePathSize];
  if (IconsPath("slides.htm", path, true)) return true;
  Report(3000, "Error:  Can't find the icons directory.  Index file was not written.\n");
  return false;
}

// One complete page for the entries from `first`, `count` of them; the head
// covers all entries.
FILE* WritePage(Entry** all, int total, int first, int count, bool clearKeywords) {
  Entry* pageEntry = nullptr;
  FILE* out = OpenIndexOutput(&pageEntry);
  if (out) {
    if (clearKeywords) pageEntry->SetKeywords(nullptr);
    WriteHTML(out, "<HTML>\n");
    WriteIndexHead(out, pageEntry, all, total);
    WriteIndexBody(out, pageEntry, all + first, count);
    WriteHTML(out, "</HTML>\n");
  }
  delete pageEntry;
  return out;
}

void DeleteStalePages(int pagesWritten) {
  char name[32];
  for (int page = pagesWritten + 1;; ++page) {
    snprintf(name, sizeof name, "index%d.htm", page);
    if (!DeleteFile(name)) return;
  }
}

// --- Head --------------------------------------------------------------------

struct EntryCounts {
  int images = 0;
  int framesets = 0;
  int rest = 0;
};

EntryCounts CountEntries(Entry* const* entries, int count) {
  EntryCounts counts;
  for (int i = 0; i < count; ++i) {
    if (IsImage(entries[i])) {
      ++counts.images;
    } else if (IsFrameset(entries[i])) {
      ++counts.framesets;
    } else {
      ++counts.rest;
    }
  }
  return counts;
}

bool NeedsIndexScript(const EntryCounts& counts) {
  bool open = indexSettings.links == LinkMode::Open;
  bool window = indexSettings.slides == SlidesMode::Window;
  return (open && counts.rest > 0) || ((open || window) && counts.framesets > 0) ||
         (window && counts.images > 0);
}

void WriteScriptTag(FILE* out) {
  char path[kSitePathSize];
  String url = IconsPath("index.js", path, true) ? PathToUrl(path) : String("index.js");
  WriteHTML(out, "<SCRIPT LANGUAGE=\"JavaScript1.1\" SRC=\"%s\"></SCRIPT>\n", Chars(url));
}

// Numbers the images in listing order; with `out`, writes the slide array.
void NumberSlides(FILE* out, Entry** entries, int count) {
  int number = 0;
  for (int i = 0; i < count; ++i) {
    Entry* entry = entries[i];
    if (!IsImage(entry)) continue;
    if (out) {
      String page = ChangeExtensionString(entry->href, ".htm");
      WriteHTML(out, "page[%d]=\"%s\";\n", number, Chars(ScriptText(page)));
    }
    entry->slideIndex = number++;
  }
}

void WriteSlideArray(FILE* out, Entry** entries, int count, int images) {
  char dir[kSitePathSize];
  String iconDir = FindIconsDir(dir) >= 0 ? PathToUrl(dir) : String(".");
  WriteHTML(out, "%s", kScriptOpen);
  WriteHTML(out, "iconDir=\"%s\";\n", Chars(ScriptText(iconDir)));
  WriteHTML(out, "pages=%d;\n", images);
  WriteHTML(out, "page=new Array(pages);\n");
  NumberSlides(out, entries, count);
  WriteHTML(out, "// -->\n</SCRIPT>\n");
}

// --- Body --------------------------------------------------------------------

void WriteBodyTag(FILE* out, FILE* oldPage) {
  const char* attributes = indexSettings.bodyAttributes;
  if (HasText(attributes)) {
    if (CompareNoCase(attributes, "none") == 0) {
      WriteHTML(out, "<BODY>\n");
    } else {
      WriteHTML(out, "<BODY %s>\n", attributes);
    }
    return;
  }
  if (oldPage && CopySectionFrom(&OutputError, oldPage, out, "<BODY ", ">", "\n")) return;
  if (FileExists("backgnd.gif")) {
    WriteHTML(out, "<BODY BACKGROUND=\"backgnd.gif\">\n");
  } else if (FileExists("backgnd.jpg")) {
    WriteHTML(out, "<BODY BACKGROUND=\"backgnd.jpg\">\n");
  } else {
    WriteHTML(out, "<BODY>\n");
  }
}

void WriteScriptWarning(FILE* out) {
  WriteHTML(out, "<NOSCRIPT>\n");
  WriteHTML(out, "<P><TABLE BORDER=4 WIDTH=\"100%%\" BGCOLOR=YELLOW><TR><TD><CENTER>\n");
  WriteHTML(out,
            "<FONT SIZE=5 COLOR=RED><STRONG>Warning: JavaScript is not available!</STRONG>"
            "</FONT><BR>\n");
  WriteHTML(out,
            "<FONT COLOR=BLACK>Please enable JavaScript or use a browser that supports "
            "JavaScript to display this document.</FONT>\n");
  WriteHTML(out, "</CENTER></TD></TR></TABLE></P>\n");
  WriteHTML(out, "</NOSCRIPT>\n\n");
}

String HeadingDescription(const Entry* pageEntry) {
  String escaped = HtmlEncodePageString(pageEntry->description);
  return indexSettings.weblinks ? LinkUrlsString(escaped) : escaped;
}

void WriteTableHeading(FILE* out, Entry* pageEntry, bool afterNavBar) {
  if (afterNavBar) WriteHTML(out, "<P>\n");
  WriteHTML(out, "<TABLE BORDER=4 WIDTH=\"100%%\" BGCOLOR=\"#E0E0E0\">\n");
  WriteHTML(out, "<TR><TD><FONT COLOR=\"#000000\">%s<FONT SIZE=5><B>%s</B></FONT>",
            Chars(EntryThumbTag(pageEntry, "BORDER=2 HSPACE=8 VSPACE=4 ALIGN=LEFT")),
            Chars(HtmlEncodePageString(pageEntry->title)));
  if (HasText(pageEntry->description)) {
    WriteHTML(out, "<BR>\n  %s", Chars(HeadingDescription(pageEntry)));
  }
  WriteHTML(out, "</FONT></TD></TR>\n</TABLE>\n");
}

void WriteCentredHeading(FILE* out, Entry* pageEntry) {
  WriteHTML(out, "<HR>\n<CENTER>\n<BIG><BIG><BIG><B>%s</B></BIG></BIG></BIG>",
            Chars(HtmlEncodePageString(pageEntry->title)));
  if (HasText(pageEntry->description)) {
    WriteHTML(out, "<BR>\n%s", Chars(HeadingDescription(pageEntry)));
  }
  WriteHTML(out, "\n</CENTER>\n<HR>\n");
}

// The old page's hand-written heading section when it has one (searched for
// over the whole old page, wherever its BODY tag was), else the configured one.
void WriteHeading(FILE* out, FILE* oldPage, Entry* pageEntry, bool afterNavBar) {
  if (oldPage && CopySectionFrom(&OutputError, oldPage, out, kHeadingStart, kHeadingEnd, "\n")) {
    return;
  }
  switch (indexSettings.heading) {
    case HeadingMode::Title:
      WriteHTML(out, "<H1 ALIGN=CENTER>%s</H1>", Chars(HtmlEncodePageString(pageEntry->title)));
      return;
    case HeadingMode::Standard:
      if (indexSettings.tables && pageEntry->thumbnail &&
          pageEntry->thumbHeight <= kMaxThumbHeadingHeight) {
        WriteTableHeading(out, pageEntry, afterNavBar);
        return;
      }
      [[fallthrough]];
    case HeadingMode::Text:
      WriteCentredHeading(out, pageEntry);
      return;
  }
}

}  // namespace

bool UsesScript() {
  BacklinkMode backlink = indexSettings.backlink;
  return indexSettings.links == LinkMode::Open || indexSettings.slides == SlidesMode::Window ||
         backlink == BacklinkMode::Smart || backlink == BacklinkMode::Close ||
         backlink == BacklinkMode::Back;
}

void WriteIndexHead(FILE* out, Entry* pageEntry, Entry** entries, int count) {
  String fileInfo = SlideCounts(entries, count);
  if (!WriteEntryHead(out, false, pageEntry, VersionBanner(), fileInfo, nullptr)) {
    OutputError = true;
  }
  if (UsesScript()) {
    WriteHTML(out, "<META HTTP-EQUIV=\"Content-Script-Type\" CONTENT=\"text/javascript\">\n");
  }
  EntryCounts counts = CountEntries(entries, count);
  if (NeedsIndexScript(counts)) WriteScriptTag(out);
  if (indexSettings.slides == SlidesMode::Window && counts.images > 0) {
    WriteSlideArray(out, entries, count, counts.images);
  } else if (indexSettings.slides != SlidesMode::Simple) {
    NumberSlides(nullptr, entries, count);
  }
  WriteHTML(out, "</HEAD>\n\n");
}

void WriteIndexBody(FILE* out, Entry* pageEntry, Entry** entries, int count) {
  if (HasText(indexSettings.templatePath) &&
      OpenTemplate(indexSettings.templatePath, out, pageEntry, entries, count,
                   indexSettings.templateName)) {
    return;
  }
  FILE* oldPage = OpenFile("index.htm", "r");
  WriteBodyTag(out, oldPage);
  bool navBar = WriteNavBar(out, pageEntry, true);
  if (navBar) WriteHTML(out, "\n\n");
  if (UsesScript()) WriteScriptWarning(out);
  WriteHeading(out, oldPage, pageEntry, navBar);
  WriteHTML(out, "\n<P>\n");
  WriteIndexListings(out, entries, count);
  WritePageLinks(out, "<P>\n<HR>\n", "\n<P>\n");
  WriteHTML(out, "</BODY>\n");
  if (oldPage) fclose(oldPage);
}

int WriteSingleIndex(Entry** entries, int count) {
  if (!IconsDirReady()) return 1;
  FILE* out = WritePage(entries, count, 0, count, false);
  if (!out) return 1;
  return CommitIndexOutput(out, "index.htm");
}

int WritePagedIndex(Entry** entries, int count, int pageSize) {
  if (!IconsDirReady()) return 1;
  if (pageSize < 1) pageSize = 1;
  int page = 1;
  // 64 bits, so that a step of the largest page size cannot overflow.
  for (int64_t next = 0; page == 1 || next < count; next += pageSize, ++page) {
    int first = static_cast<int>(next);  // below count here
    pagingState.first = first;
    pagingState.pageSize = pageSize;
    pagingState.total = count;
    int onPage = count - first < pageSize ? count - first : pageSize;
    FILE* out = WritePage(entries, count, first, onPage, page > 1);
    if (!out) return 1;
    char name[32];
    if (page == 1) {
      snprintf(name, sizeof name, "index.htm");
    } else {
      snprintf(name, sizeof name, "index%d.htm", page);
    }
    int result = CommitIndexOutput(out, name);
    if (result != 0) return result;
  }
  DeleteStalePages(page - 1);
  return 0;
}
