// A folder's signature: the checksum of its entries' names and sizes and its
// distance from the icons folder, kept in the name of a zero-length file
// "%08X._M%d" that the folder's rebuild batch file writes (foldsig) and the
// tree update runner reads (foldmap).
#pragma once

#include <cstdint>
#include <string>

#include "platform/listing.h"

// True for a signature file's listing entry (not a directory, not hidden,
// size 0, a name like "????????._M1" or "????????._MD").
bool IsSignatureFile(const FindData& entry);

// "%08X._M%d" with the distance modulo 10, or "%08X._MD" without icons (-1).
std::string ExpectedSignatureName(uint32_t checksum, int iconsDistance);

// Whether an entry counts at all: hidden entries and names beginning with
// '.' are left out.
bool IsCountedEntry(const FindData& entry);

// Adds one counted entry that is not a signature file: the low 32 bits of its
// size (0 for a directory), then each byte of its name as a signed value.
void AddToChecksum(uint32_t* checksum, const FindData& entry);

// Walks the listing of `pattern` (a folder's "*") as its signature sees it:
// each counted signature file goes to onSignature; every other counted entry
// is added to *checksum, then goes to onCounted. The listing stays open
// while the callbacks run.
template <typename OnSignature, typename OnCounted>
void ListSignedFolder(const char* pattern, uint32_t* checksum, OnSignature onSignature,
                      OnCounted onCounted) {
  FindData entry;
  FindState* find = FindFirst(pattern, &entry);
  for (bool more = find != nullptr; more; more = FindNext(find, &entry)) {
    if (!IsCountedEntry(entry)) continue;
    if (IsSignatureFile(entry)) {
      onSignature(entry);
      continue;
    }
    AddToChecksum(checksum, entry);
    onCounted(entry);
  }
  if (find) FindClose(find);
}
