// tagscan's run: the options read, and the keyword lines of the pages of the
// tree below the start path written to standard output.
#pragma once

// Runs tagscan for its arguments; returns the exit code.
int RunTagscan(int argc, char** argv);
