// Turns a local path (entry, thumbnail, icon, template file) into the URL that
// the index builder writes into a page, by the URL map, start directory and
// start URL of the settings, or as a plain relative URL.
#pragma once

#include "shared/string.h"

// The URL of a local path; a null path gives the empty String.
String PathToUrl(const char* path);

// The URL by which a frameset page loads a file of the icons directory (the
// full path): relative to the page's folder, the current directory, so that
// the site works opened from its files and under any web root. A CGI page is
// not written beside its files: it takes PathToUrl's URL.
String IconsFrameUrl(const char* path);
