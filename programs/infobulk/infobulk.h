// infobulk: changes the head information of every page dropped on its dialog.
#pragma once

#include "shared/string.h"

// The folder's index page: dir + "\" + the first index name that exists,
// else "index.htm" (cut to 259 characters).
String IndexFileName(const char* dir);
// The local path of a copied file URL; empty when the text is not one.
String ClipboardUrlToPath(const char* text, const char* baseDir);

// The program; the exit code.
int RunInfoDropTarget(int argc, char** argv);
