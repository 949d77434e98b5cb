#include "programs/viewreel/frameset.h"

#include <cstdio>
#include <memory>

#include "platform/assert.h"
#include "platform/file_replace.h"
#include "programs/viewreel/slide_writer.h"
#include "shared/control_frames.h"
#include "shared/entry_factory.h"
#include "shared/htmltext.h"
#include "shared/paths.h"
#include "shared/report.h"
#include "shared/sitefiles.h"
#include "shared/url/url.h"

namespace {

const char* TextOr(const char* text) { return text ? text : ""; }

void WriteFramesetFile(FILE* file, const char* title, const char* controls,
                       Entry* const* entries, int count) {
  fprintf(file, "<HTML>\n<HEAD>\n<TITLE>%s</TITLE>\n", TextOr(HtmlEncodePageString(title)));
  fprintf(file, "%s\n", "<META HTTP-EQUIV=\"Content-Script-Type\" CONTENT=\"text/javascript\">\n");
  fprintf(file, "%s\n", "<SCRIPT LANGUAGE=\"JavaScript1.1\">\n<!--");
  WriteSlideStartScript(file);
  fprintf(file, "backLink = \"index.htm\";\n\n");
  fprintf(file, "pages=%d\n", count);
  fprintf(file, "page=new Array(pages);\n");
  for (int i = 0; i < count; ++i) {
    String page = ChangeExtensionString(entries[i]->href, ".htm");
    fprintf(file, "page[%d]=\"%s\"\n", i, TextOr(page));
  }
  fprintf(file, "%s\n", "// -->\n</SCRIPT>");
  fprintf(file, "</HEAD>\n\n");
  WriteControlFrameset(file, controls);
}

}  // namespace

void WriteFrameset(Entry* const* entries, int count) {
  std::unique_ptr<Entry> index(MakeDirectoryEntryAlways("."));
  if (!index) AssertionFailed("pIndexEntry", __FILE__, __LINE__);
  String controls = LocalUrl(IconsPathString("controls.htm", true));
  if (controls.Length() == 0) {
    Report(2000, "Error:  Can't find the icons directory.  Frameset file was not written.\n");
    return;
  }
  // Written beside the old frameset and put in its place whole.
  FILE* file = CreateReplacement(kTempName, "w");
  if (file) WriteFramesetFile(file, index->title, controls, entries, count);
  if (!file || !CommitReplacement(file, true, kTempName, "frameset.htm")) {
    Report(2000,
           "Error:  Can't create file \"frameset.htm\".  Frameset file was not written.\n");
  }
}
