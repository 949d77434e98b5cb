// vetalias's check: every line of the current directory's alias list
// "symlinks.txt" read, and each illegal path or missing target reported.
#pragma once

// The usage text on standard output.
void PrintVetaliasHelp();

// Reads the whole alias list (none: nothing to check); ReadAliasLine
// reports each bad line as a warning.
void CheckAliasList();
