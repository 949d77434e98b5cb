// Drives of its own: a host folder that no drive of WEFTDRIVES holds (the
// temporary folder, the folder of the program's own file) shown through a
// drive letter of its own, so that it still has a Windows path.
#pragma once

#include <string>

// Maps the absolute host folder `host` as a drive of its own: `preferred`
// when that letter is free (0: none), else the last free letter from 'Z'
// down to 'D'. WEFTDRIVES gains the entry, so that the programs started
// later see the same drive. Gives the drive's root ('T:\'), or "" when no
// letter is free or the folder cannot stand in the list (it holds a ';').
// Call it before starting threads.
std::string MapFolderAsDrive(const std::string& host, char preferred);

// The Windows path of the host file `host` (absolute): through the drive
// map, else on a drive of its own for its folder. "" when neither works.
std::string WindowsPathOnAnyDrive(const std::string& host);

// True when this process made the drive `letter` (either case) with
// MapFolderAsDrive. Such a letter means nothing to a later run, so a path
// on it is never written down for one.
bool IsDriveOfItsOwn(char letter);
