#include "programs/galleria/frame_page.h"

#include "programs/galleria/index_page_output.h"
#include "programs/galleria/index_run.h"
#include "programs/galleria/site_url.h"
#include "shared/entry.h"
#include "shared/head_writer.h"
#include "shared/report.h"
#include "shared/sitefiles.h"

FILE* OpenFramePage(const char* kitPage, bool noTest, String* frameUrl, Entry** pageEntry) {
  char path[kSitePathSize];
  if (!IconsPath(kitPage, path, noTest)) {
    ReportText(3000, "Error:  Can't find the icons directory.  Index file was not written.\n");
    return nullptr;
  }
  *frameUrl = IconsFrameUrl(path);
  FILE* out = OpenIndexOutput(pageEntry);
  if (!out) {
    delete *pageEntry;
    *pageEntry = nullptr;
  }
  return out;
}

void WriteFramePageHead(FILE* out, Entry* pageEntry, const char* fileInfo) {
  WriteHTML(out, "<HTML>\n");
  if (!WriteEntryHead(out, false, pageEntry, VersionBanner(), fileInfo, nullptr)) {
    OutputError = true;
  }
  WriteHTML(out, "<META HTTP-EQUIV=\"Content-Script-Type\" CONTENT=\"text/javascript\">\n");
}
