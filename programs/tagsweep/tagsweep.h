// tagsweep's run: the current directory's name taken as the keyword, and the
// tree of its parent directory swept for the pages that carry it.
#pragma once

// Runs tagsweep, writing the alias list to standard output; returns the exit
// code.
int RunTagsweep();
