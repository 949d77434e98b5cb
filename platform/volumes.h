// Drives and volumes: the letters of the mapped drives, their drive types
// and volume labels.
#pragma once

#include <cstddef>
#include <string>

// Drive types as GetDriveType gives them.
constexpr int kDriveNoRootDir = 1;
constexpr int kDriveFixed = 3;

// GetLogicalDriveStrings: the letters of the mapped drives in order ("CD").
std::string GetLogicalDriveLetters();
// GetDriveType: kDriveFixed for a mapped drive whose folder exists,
// kDriveNoRootDir otherwise.
int GetDriveKind(char letter);

// The volume label of the current drive into `buffer` of `size`. False when
// the drive has none or it cannot be read (buffer empty when size > 0).
bool GetCurrentVolumeLabel(char* buffer, size_t size);
