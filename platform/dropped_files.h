// Files that come from the Linux desktop: the URI list of a drag and drop,
// and the text a file manager puts on the clipboard when files are copied,
// turned into the Windows paths and file URLs the dialog programs take.
#pragma once

#include <string>
#include <vector>

// The Windows paths of a dropped list, in order: one item a line (CR LF or
// LF), each a "file://" URI (empty or "localhost" host, "%XX" decoded) or an
// absolute host path, turned into a Windows path through the drive map; a
// URI of a drive path ('file:///C:/a.htm') gives that path. Items on no
// mapped drive, and lines of other kinds, are left out.
std::vector<std::string> DroppedFilePaths(const std::string& uriList);

// What one clipboard copy stands for. When every line of the text names a
// host file as above (a file manager's first line "copy" or "cut" skipped),
// one "file:///X:/..." URL per item on a mapped drive; otherwise the text
// itself, as the only item.
std::vector<std::string> CopiedTexts(const std::string& text);
