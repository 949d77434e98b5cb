#include "programs/galleria/sequence_page.h"

#include <string>

#include "programs/galleria/entry_pieces.h"
#include "programs/galleria/index_output.h"
#include "programs/galleria/script_text.h"
#include "programs/galleria/site_url.h"
#include "shared/entry.h"
#include "shared/head_writer.h"
#include "shared/paths.h"
#include "shared/report.h"
#include "shared/sitefiles.h"
#include "shared/url/url.h"

namespace {

const char* Chars(const String& text) { return text.IsNull() ? "" : text.Text(); }

// Works out, in the browser, the folder of this page and the slide to start
// with (the number after '#').
const char* const kStartScript[] = {
    "basePath = location.href;",
    "i = basePath.lastIndexOf('/');",
    "j = basePath.lastIndexOf('\\\\');",
    "if (j > i) i = j;",
    "basePath = basePath.substring(0, i+1);",
    "startPage = parseInt(location.hash.substring(1,9));",
    "if (isNaN(startPage)) startPage = 1;",
};

void WriteHead(FILE* out, Entry* pageEntry, Entry** entries, int count) {
  // The FRAMESET mark makes the parent index link to this page as a frameset.
  String fileInfo = Concat(Chars(SlideCounts(entries, count)), "; FRAMESET");
  if (!WriteEntryHead(out, false, pageEntry, VersionBanner(), fileInfo, nullptr)) {
    OutputError = true;
  }
  WriteHTML(out, "<META HTTP-EQUIV=\"Content-Script-Type\" CONTENT=\"text/javascript\">\n");
}

void WriteSlideScript(FILE* out, Entry** entries, int count) {
  WriteHTML(out, "\n%s", "<SCRIPT LANGUAGE=\"JavaScript1.1\">\n<!--\n");
  for (const char* line : kStartScript) WriteHTML(out, "%s\n", line);
  WriteHTML(out, "backLink = document.referrer;\n");
  int images = 0;
  for (int i = 0; i < count; ++i) {
    if (entries[i]->kind & kEntryImage) ++images;
  }
  WriteHTML(out, "\npages=%d\n", images);
  WriteHTML(out, "page=new Array(pages);\n");
  int number = 0;
  for (int i = 0; i < count; ++i) {
    if (!(entries[i]->kind & kEntryImage)) continue;
    String page = ChangeExtensionString(entries[i]->href, ".htm");
    WriteHTML(out, "page[%d]=\"%s\";\n", number++, Chars(ScriptText(page)));
  }
  WriteHTML(out, "%s\n", "// -->\n</SCRIPT>");
  WriteHTML(out, "</HEAD>\n\n");
}

void WriteFrames(FILE* out, const char* controlsUrl) {
  WriteHTML(out,
            "<FRAMESET COLS=\"100,*\" onLoad=\"if (contentStale) "
            "parent.inputFrame.displayCurrentPage()\">\n");
  WriteHTML(out, "  <FRAME SRC=\"%s\" NAME=\"inputFrame\">\n", controlsUrl);
  WriteHTML(out, "  <FRAME SRC=\"javascript:'<BODY></BODY>'\" NAME=\"contentFrame\">\n");
  WriteHTML(out, "</FRAMESET>\n");
  WriteHTML(out, "</HTML>\n");
}

}  // namespace

int WriteSequencePage(Entry** entries, int count) {
  char controls[kSitePathSize];
  if (!IconsPath("controls.htm", controls, true)) {
    ReportText(3000, "Error:  Can't find the icons directory.  Index file was not written.\n");
    return 1;
  }
  String controlsUrl = IconsFrameUrl(controls);
  Entry* pageEntry = nullptr;
  FILE* out = OpenIndexOutput(&pageEntry);
  if (!out) {
    delete pageEntry;
    return 1;
  }
  WriteHTML(out, "<HTML>\n");
  WriteHead(out, pageEntry, entries, count);
  WriteSlideScript(out, entries, count);
  WriteFrames(out, Chars(controlsUrl));
  delete pageEntry;
  return CommitIndexOutput(out, "index.htm");
}
