#include "programs/foldsig/folder_signer.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/drives.h"
#include "platform/files.h"
#include "platform/listing.h"
#include "platform/names.h"
#include "shared/folder_signature.h"

namespace {

const char* const kHelp[] = {
    "FOLDSIG, Tessarin Folder Signature, Version 1.00",
    "",
    "Writes the signature file of the current folder, which FOLDMAP reads to tell",
    "whether the folder changed since it was last rebuilt.  Run it last in the",
    "folder's \"refolio.bat\", after the folder was rebuilt.",
    "",
    "The signature file is a zero-length file named \"????????._M?\": a checksum of",
    "the names and sizes of the folder's entries (hidden ones and names beginning",
    "with \".\" left out) in eight hexadecimal digits, and the number of folder",
    "levels up to the nearest folder that holds \"icons\", modulo 10 (\"D\" when",
    "there is none).  Older signature files of the folder are removed.",
    "",
    "Usage:  FOLDSIG",
    "",
    "Returns an exit code of 0 when the signature file was written, or 2 when it",
    "could not be.",
};

// What the folder's listing gives: its checksum and the signature files found.
struct Listing {
  uint32_t checksum = 0;
  std::vector<std::string> signatures;
};

Listing ListFolder() {
  Listing listing;
  ListSignedFolder(
      "*", &listing.checksum,
      [&listing](const FindData& entry) { listing.signatures.push_back(entry.name); },
      [](const FindData&) {});
  return listing;
}

int Fail(const char* format, const std::string& name) {
  fprintf(stderr, format, name.c_str());
  return 2;
}

// The older signature files go first, so that the new one is the only one;
// the new file's time is now, later than every file it covers.
int WriteSignature(const Listing& listing, const std::string& name) {
  for (const std::string& old : listing.signatures) {
    if (!DeleteFile(old.c_str())) return Fail("FOLDSIG Error:  Can't delete \"%s\".\n", old);
  }
  FILE* file = OpenFile(name.c_str(), "wb");
  if (!file || fclose(file) != 0) return Fail("FOLDSIG Error:  Can't create \"%s\".\n", name);
  return 0;
}

}  // namespace

int IconsDistanceOf(const std::string& folder) {
  std::string dir = folder;
  for (int level = 0;; ++level) {
    std::string icons = dir + (dir.back() == '\\' ? "" : "\\") + "icons";
    if (GetPathKind(icons.c_str()) == PathKind::kDirectory) return level;
    size_t cut = dir.find_last_of('\\');
    if (cut == std::string::npos || cut + 1 == dir.size()) return -1;
    dir = dir.substr(0, cut == 2 ? 3 : cut);
  }
}

int RunFoldsig(int argc, char**) {
  if (argc > 1) {
    for (const char* line : kHelp) printf("%s\n", line);
    return 0;
  }
  char current[kMaxPath + 1];
  if (GetCurrentDir(current, sizeof current) == 0) {
    fputs("FOLDSIG Error:  Can't determine the current working directory.\n", stderr);
    return 2;
  }
  Listing listing = ListFolder();
  return WriteSignature(listing, ExpectedSignatureName(listing.checksum, IconsDistanceOf(current)));
}
