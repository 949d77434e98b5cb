// The folder for temporary files, as the Windows temporary-path call gives it.
#pragma once

#include <string>

// The folder for temporary files as a full Windows path that this process
// and the programs it starts can write, never the current folder: TEMP, then
// TMP (when they name a writable folder), then the host's temporary folder
// (TMPDIR or /tmp) through the drive map. When no drive holds that folder it
// gets a drive of its own ('T:' or another free letter, added to WEFTDRIVES
// so that started programs see it too); call this before starting threads.
// Empty only when no letter is free.
std::string GetTempFolder();
