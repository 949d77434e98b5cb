// The sequence index page: a frameset that shows the directory's slides one
// after another under the control frame of the icons directory.
#pragma once

class Entry;

// Writes "index.htm" (or the CGI output). CommitIndexOutput's result, or 1
// when nothing could be written.
int WriteSequencePage(Entry** entries, int count);
