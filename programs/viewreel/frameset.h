// The frame mode's "frameset.htm": the controls page of the icons directory
// beside the slides, with the script array of all slide URLs.
#pragma once

#include "shared/entry.h"

// Writes "frameset.htm" in the current directory, or reports why not.
void WriteFrameset(Entry* const* entries, int count);
