// Sharpening a bitmap with a 3x3 kernel whose strength follows a sharpness
// of 1 to 100.
#pragma once

#include <cstdint>

#include "jpeg/dib.h"

// A new, sharpened bitmap of the same size; frees the input. Border rows and
// columns keep their values. Null only when memory runs out (input freed).
BitmapInfoHeader* SharpenDIB(BitmapInfoHeader* pSrcDIB, int sharpness);

// One sharpened channel value: ((k + 9) x centre - sum of the eight
// neighbours) / (k + 1), truncated toward zero and clamped to 0..255,
// where k = 100 / sharpness.
uint8_t SharpenValue(int centre, int neighbourSum, int sharpness);
