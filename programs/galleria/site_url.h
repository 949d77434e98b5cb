// Turns a local path (entry, thumbnail, icon, template file) into the URL that
// the index builder writes into a page, by the URL map, start directory and
// start URL of the settings, or as a plain relative URL.
#pragma once

#include "shared/string.h"

// The URL of a local path; a null path gives the empty String.
String PathToUrl(const char* path);
