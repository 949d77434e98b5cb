// Shrinking a bitmap by exact area averaging with integer weights.
#pragma once

#include <cstdint>

#include "jpeg/dib.h"

// A new bitmap of exactly width x height; frees the input. An input narrower
// than width or lower than height is returned unchanged. Null only when
// memory runs out (the input is freed then too).
BitmapInfoHeader* ShrinkDIB(BitmapInfoHeader* pSrcDIB, int width, int height);

// Adds one source row (sourceWidth RGB pixels) to the per-column sums of a
// row of targetWidth pixels (3 sums per pixel): each source pixel covers
// targetWidth units, each target column sourceWidth units, and every channel
// value adds value x horizontal weight x vertical weight.
void AddRowToSums(int64_t* sums, int targetWidth, const uint8_t* row, int sourceWidth,
                  int64_t verticalWeight);
