#include "programs/galleria/sequence_page.h"

#include <string>

#include "programs/galleria/entry_pieces.h"
#include "programs/galleria/frame_page.h"
#include "programs/galleria/index_page_output.h"
#include "programs/galleria/index_run.h"
#include "programs/galleria/script_text.h"
#include "shared/control_frames.h"
#include "shared/entry.h"
#include "shared/paths.h"

namespace {

void WriteSlideScript(FILE* out, Entry** entries, int count) {
  WriteHTML(out, "\n%s", "<SCRIPT LANGUAGE=\"JavaScript1.1\">\n<!--\n");
  if (!WriteSlideStartScript(out)) OutputError = true;
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

}  // namespace

int WriteSequencePage(Entry** entries, int count) {
  String controlsUrl;
  Entry* pageEntry = nullptr;
  FILE* out = OpenFramePage("controls.htm", true, &controlsUrl, &pageEntry);
  if (!out) return 1;
  // The FRAMESET mark makes the parent index link to this page as a frameset.
  WriteFramePageHead(out, pageEntry, Concat(Chars(SlideCounts(entries, count)), "; FRAMESET"));
  WriteSlideScript(out, entries, count);
  if (!WriteControlFrameset(out, Chars(controlsUrl))) OutputError = true;
  delete pageEntry;
  return CommitIndexOutput(out, "index.htm");
}
