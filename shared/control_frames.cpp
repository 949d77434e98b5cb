#include "shared/control_frames.h"

namespace {

const char* const kStartScript[] = {
    "basePath = location.href;",
    "i = basePath.lastIndexOf('/');",
    "j = basePath.lastIndexOf('\\\\');",
    "if (j > i) i = j;",
    "basePath = basePath.substring(0, i+1);",
    "startPage = parseInt(location.hash.substring(1,9));",
    "if (isNaN(startPage)) startPage = 1;",
};

}  // namespace

bool WriteSlideStartScript(FILE* out) {
  bool written = true;
  for (const char* line : kStartScript) {
    if (fprintf(out, "%s\n", line) < 0) written = false;
  }
  return written;
}

bool WriteControlFrameset(FILE* out, const char* controlsUrl) {
  // Once both frames are there, the control frame shows the slide it could
  // not show before.
  return fprintf(out,
                 "<FRAMESET COLS=\"100,*\" onLoad=\"if (contentStale) "
                 "parent.inputFrame.displayCurrentPage()\">\n"
                 "  <FRAME SRC=\"%s\" NAME=\"inputFrame\">\n"
                 "  <FRAME SRC=\"javascript:'<BODY></BODY>'\" NAME=\"contentFrame\">\n"
                 "</FRAMESET>\n"
                 "</HTML>\n",
                 controlsUrl) >= 0;
}
