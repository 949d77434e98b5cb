// The relative path from a directory to a file, drives ignored, as the
// index database keeps thumbnail names and the link fixer rewrites links.
#pragma once

#include <cstddef>

// Writes into buffer (size bytes) the path from the directory `from` to the
// file `to`: "..\" for each level up, then the rest of `to`; empty when both
// name the same place. Both are made full first and their drive parts are
// dropped. Returns the buffer; on failure (a path that cannot be made full,
// or a result that does not fit) the buffer is empty and null is returned.
char* RelativeFilePath(const char* from, const char* to, char* buffer, size_t size);
