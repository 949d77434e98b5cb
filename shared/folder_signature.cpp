#include "shared/folder_signature.h"

#include <cstdio>
#include <cstring>

#include "platform/attributes.h"

bool IsSignatureFile(const FindData& entry) {
  if (entry.attributes & (kAttrDirectory | kAttrHidden)) return false;
  if (entry.size != 0 || strlen(entry.name) != 12) return false;
  const char* n = entry.name;
  return n[8] == '.' && n[9] == '_' && n[10] == 'M' && ((n[11] >= '0' && n[11] <= '9') || n[11] == 'D');
}

std::string ExpectedSignatureName(uint32_t checksum, int iconsDistance) {
  char name[32];
  if (iconsDistance < 0) {
    snprintf(name, sizeof name, "%08X._MD", checksum);
  } else {
    snprintf(name, sizeof name, "%08X._M%d", checksum, iconsDistance % 10);
  }
  return name;
}

bool IsCountedEntry(const FindData& entry) {
  return !(entry.attributes & kAttrHidden) && entry.name[0] != '.';
}

void AddToChecksum(uint32_t* checksum, const FindData& entry) {
  if (!(entry.attributes & kAttrDirectory)) *checksum += static_cast<uint32_t>(entry.size & 0xFFFFFFFFu);
  for (const char* p = entry.name; *p; ++p) {
    *checksum += static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(*p)));
  }
}
