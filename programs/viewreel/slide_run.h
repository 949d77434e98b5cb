// The slide builder's run over the listed entries: slide names, the
// frameset, the forwarding index and one slide per entry; and the removal of
// old alias slides.
#pragma once

#include <string>
#include <vector>

#include "shared/entry.h"

// One slide name per entry: "$%06u$.htm" for alias entries (counted from 1),
// else the base name of the entry's file with ".htm".
std::vector<std::string> MakeSlideNames(Entry* const* entries, int count);

// Removes the old alias slides of the current directory when it has an alias
// list; with a prefix (may be "") the count is printed.
void DeleteAliasSlides(const char* prefix);

// Writes the frameset, the forwarding index and the slides. home is the home
// page's file name. False when the run had to be aborted.
bool WriteSlides(Entry* const* entries, int count, const char* home, bool buttons,
                 const char* title, bool textConversion, bool forwardIndex);

// Run steps after the options: configuration, listing, home and buttons,
// then the slides. Returns the exit code.
int RunSlideBuilder();
