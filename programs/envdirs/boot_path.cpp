#include "programs/envdirs/boot_path.h"

#include <cstring>
#include <string>

#include "platform/ascii_case.h"
#include "platform/attributes.h"
#include "platform/env.h"
#include "platform/file_replace.h"
#include "platform/files.h"
#include "platform/names.h"
#include "shared/string.h"

namespace {

const char kBootFile[] = "C:\\AUTOEXEC.BAT";
const char kTempFile[] = "C:\\AUTOEXEC.$$$";
const char kOldFile[] = "C:\\AUTOEXEC.OLD";

// A PATH line takes the new element only while it stays shorter than this.
constexpr size_t kMaxPathLine = 256;

const char kUsage[] =
    "Prepends or removes a path to the PATH in the \"C:AUTOEXEC.BAT\" file.\n"
    "Renames the old \"AUTOEXEC.BAT\" file to \"AUTOEXEC.OLD\".\n\n"
    "ENVDIRS [/D] /C       Adds or deletes the current working directory to PATH\n"
    "ENVDIRS [/D] /E       Adds or deletes the directory of ENVDIRS.EXE to PATH\n"
    "ENVDIRS [/D] path     Adds or deletes the specified \"path\" to PATH\n\n"
    " /D = delete the path\n\n"
    "Exit code = 0 if \"AUTOEXEC.BAT\" was modified, >0 if not modified.\n";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool EqualsNoCase(const char* text, size_t length, const char* word) {
  return SameNoCase(std::string_view(text, length), word);
}

// A value left without an element of its own: the line goes.
bool IsEmptyValue(const char* value) {
  for (const char* empty : {"", "\n", "%PATH%", "%PATH%\n", "\"%PATH%\"", "\"%PATH%\"\n"}) {
    if (EqualsNoCase(value, strlen(value), empty)) return true;
  }
  return false;
}

// Reads one line, whatever its length or bytes, with its new line.
bool ReadLine(FILE* file, std::string* line) {
  line->clear();
  int c;
  while ((c = fgetc(file)) != EOF) {
    line->push_back(static_cast<char>(c));
    if (c == '\n') break;
  }
  return !line->empty();
}

void Put(FILE* output, const std::string& text, bool* writeError) {
  if (fwrite(text.data(), 1, text.size(), output) != text.size()) *writeError = true;
}

// True when some PATH line of the file names the directory already.
bool HasPathElement(FILE* input, const BootDirectory& directory) {
  std::string line;
  while (ReadLine(input, &line)) {
    const char* value = FindPathAssignment(line.c_str());
    if (value && FindPathElement(value, directory.longPath, directory.shortPath)) return true;
  }
  return false;
}

// Saves the old boot file as AUTOEXEC.OLD and puts the new one in its place.
// The boot file itself is replaced in one step, so it is never missing.
bool ReplaceBootFile() {
  if (PathExists(kOldFile) && !DeleteFile(kOldFile)) {
    fprintf(stderr, "Unable to delete file \"C:\\AUTOEXEC.OLD\".\n");
    return false;
  }
  if (PathExists(kBootFile) && !CopyFile(kBootFile, kOldFile, true)) {
    fprintf(stderr, "Unable to rename \"C:\\AUTOEXEC.BAT\" to \"C:\\AUTOEXEC.OLD\".\n");
    return false;
  }
  if (!ReplaceFile(kTempFile, kBootFile)) {
    fprintf(stderr, "Unable to rename \"C:\\AUTOEXEC.$$$\" to \"C:\\AUTOEXEC.BAT\".\n");
    return false;
  }
  return true;
}

// The directory of the program's own file; false when it is not known. It
// goes into the boot file for later runs, so it must lie on a drive of the
// map, not on a drive this run made for itself.
bool ProgramDirectory(char* buffer, size_t size) {
  if (!GetMappedProgramFile(buffer, size)) return false;
  if (char* slash = strrchr(buffer, '\\')) *slash = '\0';
  return true;
}

// Takes a directory argument; false when it is too long to be a path.
}  // namespace

const char* FindPathAssignment(const char* line) {
  const char* p = line;
  while (IsBlank(*p) || *p == '@') ++p;
  if (StartsNoCase(p, "SET") && IsBlank(p[3])) {
    p += 3;
    while (IsBlank(*p)) ++p;
  }
  if (!StartsNoCase(p, "PATH") || !(IsBlank(p[4]) || p[4] == '=')) return nullptr;
  p += 4;
  while (IsBlank(*p) || *p == '=') ++p;
  return p;
}

const char* FindPathElement(const char* value, const char* longPath, const char* shortPath) {
  const char* piece = value;
  while (true) {
    const char* end = piece + strcspn(piece, ";\n\"");
    const char* start = piece;
    while (start < end && IsBlank(*start)) ++start;
    size_t length = static_cast<size_t>(end - start);
    if (length > 0 && (EqualsNoCase(start, length, longPath) || EqualsNoCase(start, length, shortPath))) {
      return start;
    }
    if (!*end) return nullptr;
    piece = end + 1;
  }
}

bool RemoveFromPathLine(std::string* line, const BootDirectory& directory, bool* drop) {
  *drop = false;
  const char* assignment = FindPathAssignment(line->c_str());
  if (!assignment) return false;
  // Removals stay within the value: "PATH" and what follows it are kept.
  const size_t valueStart = static_cast<size_t>(assignment - line->c_str());
  bool removed = false;
  while (const char* found = FindPathElement(line->c_str() + valueStart, directory.longPath, directory.shortPath)) {
    const char* text = line->c_str();
    size_t start = static_cast<size_t>(found - text);
    size_t end = start + strcspn(found, ";\n\"");
    if (text[end] == '"' && start > valueStart && text[start - 1] == '"') {
      --start;
      end += strcspn(text + end, ";\n");
    }
    while (start > valueStart && IsBlank(text[start - 1])) --start;
    if (text[end] == ';') {
      ++end;
    } else if (start > valueStart && text[start - 1] == ';') {
      --start;
    }
    line->erase(start, end - start);
    removed = true;
    if (IsEmptyValue(line->c_str() + valueStart)) {
      *drop = true;
      break;
    }
  }
  return removed;
}

bool RemovePathElement(FILE* output, const BootDirectory& directory, FILE* input, bool* writeError) {
  if (!input) return false;
  bool changed = false;
  std::string line;
  while (ReadLine(input, &line)) {
    bool drop = false;
    if (RemoveFromPathLine(&line, directory, &drop)) changed = true;
    if (!drop) Put(output, line, writeError);
  }
  // A file read only in part must never take the boot file's place.
  if (ferror(input)) *writeError = true;
  return changed;
}

bool PrependPathElement(FILE* output, const BootDirectory& directory, FILE* input, bool* writeError) {
  if (input) {
    if (HasPathElement(input, directory)) return false;
    rewind(input);
  }
  const std::string element = std::string(directory.shortPath) + ";";
  bool taken = false, sawPath = false, endsWithNewLine = true;
  std::string line;
  while (input && ReadLine(input, &line)) {
    if (const char* value = FindPathAssignment(line.c_str())) {
      sawPath = true;
      if (!taken && line.size() + element.size() < kMaxPathLine) {
        line.insert(static_cast<size_t>(value - line.c_str()), element);
        taken = true;
      }
    }
    Put(output, line, writeError);
    endsWithNewLine = line.back() == '\n';
  }
  if (input && ferror(input)) *writeError = true;
  if (taken) return true;
  // A last line without its new line gets one, so the new line stands alone.
  if (!endsWithNewLine) Put(output, "\n", writeError);
  if (sawPath) {
    Put(output, "PATH \"" + std::string(directory.shortPath) + ";%PATH%\"\n", writeError);
  } else {
    Put(output, "PATH " + std::string(directory.shortPath) + "\n", writeError);
  }
  return true;
}

bool UpdateAutoexec(const char* directory, bool remove) {
  BootDirectory target;
  if (!GetFullPath(directory, target.longPath, sizeof target.longPath) ||
      !GetShortPath(target.longPath, target.shortPath, sizeof target.shortPath)) {
    return false;
  }
  FILE* input = OpenFile(kBootFile, "r");
  if (!input && PathExists(kBootFile)) {
    fprintf(stderr, "Error reading file \"C:\\AUTOEXEC.BAT\".\n");
    return false;
  }
  FILE* output = CreateReplacement(kTempFile, "w");
  if (!output) {
    if (input) fclose(input);
    fprintf(stderr, "Error writing to file \"C:\\AUTOEXEC.$$$\".\n");
    return false;
  }
  bool writeError = false;
  bool changed = remove ? RemovePathElement(output, target, input, &writeError)
                        : PrependPathElement(output, target, input, &writeError);
  if (input) fclose(input);
  if (fclose(output) != 0) writeError = true;
  if (writeError) fprintf(stderr, "Error writing to file \"C:\\AUTOEXEC.$$$\".\n");
  bool modified = changed && !writeError && ReplaceBootFile();
  if (!modified) DiscardReplacement(kTempFile);
  return modified;
}

int EditBootPath(int argc, char** argv) {
  char directory[kMaxPath + 1] = "";
  bool remove = false, usage = false, unnamed = false;
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    if (argument[0] != '/' && argument[0] != '-') {
      unnamed = !CopyIfFits(directory, argument, sizeof directory);
      continue;
    }
    switch (UpperAscii(argument[1])) {
      case 'C': unnamed = !GetCurrentDir(directory, sizeof directory); break;
      case 'D': remove = true; break;
      case 'E': unnamed = !ProgramDirectory(directory, sizeof directory); break;
      default: usage = true; break;
    }
  }
  if (usage || (!*directory && !unnamed)) {
    fputs(kUsage, stdout);
    return 0;
  }
  if (unnamed || !UpdateAutoexec(directory, remove)) {
    fputs("Your AUTOEXEC.BAT file was not modified.\n", stdout);
    return 1;
  }
  fputs("Your DOS path has been modified in file C:AUTOEXEC.BAT.\n", stdout);
  fputs("You must reboot your machine for the changes to take effect.\n", stdout);
  return 0;
}
