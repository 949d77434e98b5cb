// The index page builder's main routine: options, configuration (the site's
// "weft.ini", or "weftcgi.ini" in CGI mode), the checks that the settings fit
// together, the entries, and the dispatch to the output kinds.
#pragma once

// The program's main: returns its exit code.
int BuildIndexPage(int argc, char** argv);

// --- Steps of BuildIndexPage, for the tests ----------------------------------

// Listing flags set by options (/D 0x010, /I 0x002).
// Applies the options from left to right; false on the first unknown one.
bool ScanIndexOptions(int argc, char** argv, int* optionFlags);
// The usage text on standard output.
void PrintIndexUsage();
// Without JavaScript: simple slides, standard links, a backlink that needs no
// script, and a formatted index.
void ApplyNoJavascript();
// True when the settings fit together; else reports the first conflict.
bool CheckIndexSettings();
// The listing flags for the settings, with the option bits added.
int IndexListingFlags(int optionFlags);
