// Volume facts that the site library shows to users.
#pragma once

#include <cstddef>

// The volume label of the current drive into `buffer` of `size`. False when
// the drive has none or it cannot be read (buffer empty when size > 0).
bool GetCurrentVolumeLabel(char* buffer, size_t size);
