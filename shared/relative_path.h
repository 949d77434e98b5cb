// Relative paths: from a directory to a file, drives ignored, as the index
// database keeps thumbnail names and the link fixer rewrites links; and from
// the current directory, as alias lists name the items they show.
#pragma once

#include <cstddef>
#include <string>

// Writes into buffer (size bytes) the path from the directory `from` to the
// file `to`: "..\" for each level up, then the rest of `to`; empty when both
// name the same place. Both are made full first and their drive parts are
// dropped. Returns the buffer; on failure (a path that cannot be made full,
// or a result that does not fit) the buffer is empty and null is returned.
char* RelativeFilePath(const char* from, const char* to, char* buffer, size_t size);

// The path as seen from the current directory: "..\" for each level up,
// then the rest of the path; empty when the path is the current directory
// (a trailing '\' or '/' aside). The directory parts are compared exactly,
// letter case included. A path without drive or root, and one on another
// drive than the current directory, is returned as it is; a drive-relative
// path ('C:x\y') loses its drive.
std::string RelativeToCurrentDir(const char* path);
