// foldsig's job: writes the signature file of the current folder, the
// zero-length "%08X._M%d" that foldmap compares with the folder as it finds
// it, so that a folder is rebuilt again only when it changed.
#pragma once

#include <string>

// Levels up from `folder` (a full Windows path) to the nearest folder that
// holds a directory "icons" (0 for `folder` itself), however far; -1 for none.
// Counted as foldmap counts down from the top of the tree it walks.
int IconsDistanceOf(const std::string& folder);

// Runs foldsig with its arguments; returns the exit code.
int RunFoldsig(int argc, char** argv);
