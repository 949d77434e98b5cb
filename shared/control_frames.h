// The pages that show slides one after another under the control frame of
// the site kit ("controls.htm"): a sequence index and a slide frameset share
// the script lines that find the page's folder and the slide to start at,
// and the frameset of the control and content frames.
#pragma once

#include <cstdio>

// Writes the script lines that set basePath (the page's folder, from its
// URL) and startPage (the number after '#', else 1). False when a write
// failed.
bool WriteSlideStartScript(FILE* out);

// Writes the FRAMESET of the control frame at controlsUrl and the empty
// content frame, and the end of the page. False when a write failed.
bool WriteControlFrameset(FILE* out, const char* controlsUrl);
