// File attributes as Windows keeps them (read-only, hidden, archive,
// directory), existence, and the size and times of one file.
#pragma once

#include <cstdint>

#include "platform/listing.h"

// File attributes as Windows reports them.
constexpr uint32_t kAttrReadOnly = 0x01;
constexpr uint32_t kAttrHidden = 0x02;
constexpr uint32_t kAttrSystem = 0x04;
constexpr uint32_t kAttrDirectory = 0x10;
constexpr uint32_t kAttrArchive = 0x20;  // changed since the last backup
constexpr uint32_t kAttrNormal = 0x80;   // no other attribute set
// A listed directory that is a symbolic link to one (Windows shows a link
// as a reparse point).
constexpr uint32_t kAttrReparsePoint = 0x400;
constexpr uint32_t kInvalidAttributes = 0xFFFFFFFFu;

// Attributes of a file or directory, or kInvalidAttributes when it does not exist.
uint32_t GetAttributes(const char* path);
// Sets read-only, hidden and archive as given (directory bit ignored).
bool SetAttributes(const char* path, uint32_t attributes);
// The C library's access(path, 0): true when the file or directory exists.
bool PathExists(const char* path);

// Size and times of a file or directory; false when it does not exist.
bool GetFileInfo(const char* path, FindData* data);
