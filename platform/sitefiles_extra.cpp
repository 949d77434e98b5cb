#include "platform/sitefiles_extra.h"

// Drives are host folders mapped by WEFTDRIVES; a folder carries no volume
// label, so there is never one to read.
bool GetCurrentVolumeLabel(char* buffer, size_t size) {
  if (size > 0) buffer[0] = '\0';
  return false;
}
