// The folder for temporary files, as the Windows temporary-path call gives it.
#pragma once

#include <string>

// The folder for temporary files as a full Windows path that this process
// and the programs it starts can write, never the current folder: TEMP, then
// TMP (when they name a writable folder: a Windows path, or a host folder
// when the value begins with '/'), then the host's temporary folder (TMPDIR
// or /tmp). A host folder is shown through the drive map; when no drive
// holds it, it gets a drive of its own ('T:' or another free letter, added
// to WEFTDRIVES so that started programs see it too); call this before
// starting threads. Empty only when no letter is free.
std::string GetTempFolder();
