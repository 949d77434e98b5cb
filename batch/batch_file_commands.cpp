// The file commands of the batch interpreter, over the platform's Windows
// file calls. Messages are the Windows interpreter's; a failure goes on with
// the next file and makes the command's result 1.
#include "batch/batch_file_commands.h"

#include <cstdio>
#include <cstring>

#include "platform/ascii_case.h"
#include "platform/attributes.h"
#include "platform/console.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/file_replace.h"
#include "platform/files.h"
#include "platform/listing.h"
#include "platform/names.h"

namespace weft_batch {
namespace {

const char kSyntaxError[] = "The syntax of the command is incorrect.\n";
const char kNotFound[] = "The system cannot find the file specified.\n";

// ---- Arguments -----------------------------------------------------------

// A command's switches (each "/X" upper-cased, "/-Y" kept whole) and names.
struct CommandArgs {
  std::vector<std::string> switches;
  std::vector<std::string> names;
};

// Splits the arguments; false (after the message) on a switch not in `known`
// (a list like "/Y /-Y /Q").
bool ReadArgs(const Arguments& args, const char* known, CommandArgs* out) {
  for (const Argument& arg : args) {
    if (arg.written.empty() || arg.written[0] != '/') {
      out->names.push_back(arg.plain);
      continue;
    }
    std::string name;
    for (char c : arg.plain) name += UpperAscii(c);
    std::string padded = std::string(" ") + known + " ";
    if (name.size() < 2 || padded.find(" " + name + " ") == std::string::npos) {
      fprintf(stderr, "Invalid switch - %s\n", arg.plain.c_str());
      return false;
    }
    out->switches.push_back(name);
  }
  return true;
}

bool Has(const CommandArgs& args, const char* name) {
  for (const std::string& s : args.switches) {
    if (s == name) return true;
  }
  return false;
}

// The last of /Y and /-Y decides whether to ask before overwriting.
bool AskBeforeOverwrite(const CommandArgs& args, bool inBatch) {
  bool ask = !inBatch;
  for (const std::string& s : args.switches) {
    if (s == "/Y") ask = false;
    if (s == "/-Y") ask = true;
  }
  return ask;
}

// ---- Paths ---------------------------------------------------------------

bool HasWildcard(const std::string& name) { return name.find_first_of("*?") != std::string::npos; }

// The folder part of a path as written, with its separator ("" for none).
std::string FolderPart(const std::string& path) { return path.substr(0, NameStart(path)); }

std::string NamePart(const std::string& path) { return path.substr(FolderPart(path).size()); }

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  char last = folder.back();
  return last == '\\' || last == '/' || last == ':' ? folder + name : folder + "\\" + name;
}

uint32_t Attributes(const std::string& path) { return GetAttributes(path.c_str()); }
bool Exists(const std::string& path) { return Attributes(path) != kInvalidAttributes; }
bool IsFolder(const std::string& path) {
  uint32_t attributes = Attributes(path);
  return attributes != kInvalidAttributes && (attributes & kAttrDirectory);
}

bool SameFile(const std::string& a, const std::string& b) {
  std::string x = GetFullPathString(a.c_str());
  return !x.empty() && SameNoCase(x, GetFullPathString(b.c_str()));
}

// One file a name or pattern stands for: its path (the folder as written and
// the name as stored) and its name.
struct Match {
  std::string path;
  std::string name;
};

// The entries a pattern matches in its folder: files only unless `folders`;
// never hidden ones, "." or "..".
std::vector<Match> ListMatches(const std::string& pattern, bool folders) {
  std::vector<Match> matches;
  FindData data;
  FindState* find = FindFirst(pattern.c_str(), &data);
  for (bool more = find != nullptr; more; more = FindNext(find, &data)) {
    if (!strcmp(data.name, ".") || !strcmp(data.name, "..") || (data.attributes & kAttrHidden)) continue;
    if ((data.attributes & kAttrDirectory) && !folders) continue;
    matches.push_back({FolderPart(pattern) + data.name, data.name});
  }
  if (find) FindClose(find);
  return matches;
}

// The files a source names: a pattern's matches, a folder's files, or the one
// file. `many` tells whether a pattern or folder was given.
std::vector<Match> SourceFiles(const std::string& source, bool* many) {
  *many = HasWildcard(NamePart(source)) || IsFolder(source);
  if (IsFolder(source)) return ListMatches(Join(source, "*"), false);
  if (*many) return ListMatches(source, false);
  if (!Exists(source) || IsFolder(source)) return {};
  return {{source, NamePart(source)}};
}

// A wildcard name applied to a name, as ren and copy do: '?' keeps the
// character in its place, '*' the rest; with a '.' in the mask, the part
// before and after the last dot are handled apart.
std::string ApplyPart(const std::string& mask, const std::string& name) {
  std::string out;
  size_t i = 0;
  for (char c : mask) {
    if (c == '*') {
      if (i < name.size()) out += name.substr(i);
      i = name.size();
    } else if (c == '?') {
      if (i < name.size()) out += name[i];
      ++i;
    } else {
      out += c;
      ++i;
    }
  }
  return out;
}

std::string ApplyMask(const std::string& mask, const std::string& name) {
  size_t maskDot = mask.rfind('.');
  if (maskDot == std::string::npos) return ApplyPart(mask, name);
  size_t dot = name.rfind('.');
  std::string base = dot == std::string::npos ? name : name.substr(0, dot);
  std::string extension = dot == std::string::npos ? "" : name.substr(dot + 1);
  std::string newExtension = ApplyPart(mask.substr(maskDot + 1), extension);
  std::string newBase = ApplyPart(mask.substr(0, maskDot), base);
  return newExtension.empty() ? newBase : newBase + "." + newExtension;
}

// Where a file goes: into a folder, under a wildcard name, or to the name.
std::string TargetFor(const std::string& destination, bool intoFolder, const std::string& name) {
  if (intoFolder) return Join(destination.empty() ? "." : destination, name);
  if (HasWildcard(NamePart(destination))) return FolderPart(destination) + ApplyMask(NamePart(destination), name);
  return destination;
}

int Failed(const std::string& text) {
  fprintf(stderr, "%s", text.c_str());
  return 1;
}

int FailedCall() { return Failed(std::string(LastErrorText()) + "\n"); }

// ---- copy and move -----------------------------------------------------------

// Several files into one: their contents one after the other, written under
// a temporary name and then put in place.
bool Concatenate(const std::vector<Match>& files, const std::string& target) {
  std::string temp = target + ".$$$";
  FILE* out = CreateReplacement(temp.c_str(), "wb");
  if (!out) return false;
  bool ok = true;
  for (size_t i = 0; ok && i < files.size(); ++i) {
    std::string text;
    if (SameFile(files[i].path, target)) continue;
    printf("%s\n", files[i].path.c_str());
    ok = ReadWholeFile(files[i].path.c_str(), &text) && fwrite(text.data(), 1, text.size(), out) == text.size();
  }
  return CommitReplacement(out, ok, temp.c_str(), target.c_str());
}

// What copy and move share: the files, where each goes, and the question
// before a file is overwritten.
struct Transfer {
  bool move = false;
  bool ask = false;
  bool all = false;  // "All" was answered: no more questions
  int count = 0;
  bool failed = false;
};

// Asks before `target` is overwritten; false when the user says No.
bool MayOverwrite(Transfer* transfer, const std::string& target) {
  if (!transfer->ask || transfer->all || !Exists(target)) return true;
  Answer answer = Ask("Overwrite " + target + "? (Yes/No/All): ", true);
  if (answer == Answer::kAll) transfer->all = true;
  return answer != Answer::kNo;
}

void TransferOne(Transfer* transfer, const Match& file, const std::string& target, bool show) {
  if (show) printf("%s\n", file.path.c_str());
  bool onto = SameFile(file.path, target);
  if (onto && !transfer->move) {
    transfer->failed = Failed("The file cannot be copied onto itself.\n");
    return;
  }
  if (!onto && !MayOverwrite(transfer, target)) return;
  bool ok = transfer->move ? MoveFile(file.path.c_str(), target.c_str(), !onto)
                           : CopyFile(file.path.c_str(), target.c_str(), false);
  if (!ok) {
    transfer->failed = FailedCall();
    return;
  }
  ++transfer->count;
}

int MoveFolder(const std::string& source, const std::string& destination) {
  std::string target = IsFolder(destination) ? Join(destination, NamePart(source)) : destination;
  if (!MoveFile(source.c_str(), target.c_str(), false)) return FailedCall();
  printf("        1 dir(s) moved.\n");
  return 0;
}

int TransferFiles(const Arguments& args, bool inBatch, bool move) {
  CommandArgs command;
  if (!ReadArgs(args, move ? "/Y /-Y" : "/Y /-Y /V /B /A /D /N /Z", &command)) return 1;
  if (command.names.empty() || command.names.size() > 2) return Failed(kSyntaxError);
  const std::string& source = command.names[0];
  std::string destination = command.names.size() > 1 ? command.names[1] : "";
  bool many = false;
  if (move && !HasWildcard(source) && IsFolder(source)) return MoveFolder(source, destination.empty() ? "." : destination);
  std::vector<Match> files = SourceFiles(source, &many);
  const char* done = move ? "moved" : "copied";
  if (files.empty()) {
    fprintf(stderr, "%s", kNotFound);
    printf("%9d file(s) %s.\n", 0, done);
    return 1;
  }
  bool intoFolder = destination.empty() || IsFolder(destination);
  bool oneTarget = !intoFolder && !HasWildcard(NamePart(destination));
  if (oneTarget && files.size() > 1 && move) return Failed("Cannot move multiple files to a single file.\n");
  Transfer transfer;
  transfer.move = move;
  transfer.ask = AskBeforeOverwrite(command, inBatch);
  if (oneTarget && many && !move) {
    // copy *.txt all.txt: the files one after the other in one file.
    bool agreed = MayOverwrite(&transfer, destination);
    if (agreed && !Concatenate(files, destination)) return FailedCall();
    printf("%9d file(s) copied.\n", agreed ? 1 : 0);
    return 0;
  }
  for (const Match& file : files) TransferOne(&transfer, file, TargetFor(destination, intoFolder, file.name), many);
  printf("%9d file(s) %s.\n", transfer.count, done);
  return transfer.failed ? 1 : 0;
}

// ---- del -----------------------------------------------------------------

struct DeleteOptions {
  bool prompt = false, force = false, subfolders = false, quiet = false;
  int found = 0;
  bool failed = false;
};

// The file is no longer read-only, so that it can be deleted (/F).
bool ClearReadOnly(const std::string& path) {
  return SetAttributes(path.c_str(), Attributes(path) & ~kAttrReadOnly);
}

void DeleteOne(DeleteOptions* options, const Match& file) {
  ++options->found;
  if (options->prompt && Ask(file.path + ", Delete (Y/N)? ", false) != Answer::kYes) return;
  if ((Attributes(file.path) & kAttrReadOnly) && options->force) ClearReadOnly(file.path);
  if (!DeleteFile(file.path.c_str())) {
    options->failed = Failed(file.path + "\n" + LastErrorText() + "\n");
    return;
  }
  if (options->subfolders) printf("Deleted file - %s\n", GetFullPathString(file.path.c_str()).c_str());
}

// The files of one folder that match, then with /S those of its subfolders;
// a symbolic link to a folder is never followed.
void DeleteIn(DeleteOptions* options, const std::string& folder, const std::string& name) {
  for (const Match& file : ListMatches(folder + name, false)) DeleteOne(options, file);
  if (!options->subfolders) return;
  for (const Match& sub : ListMatches(folder + "*", true)) {
    if (IsFolder(sub.path) && !IsReparsePoint(sub.path.c_str())) DeleteIn(options, Join(sub.path, ""), name);
  }
}

void DeleteName(DeleteOptions* options, const std::string& given) {
  std::string pattern = IsFolder(given) ? Join(given, "*") : given;
  std::string name = NamePart(pattern);
  bool everything = name == "*" || name == "*.*";
  std::string full = GetFullPathString(pattern.c_str());
  if (everything && !options->quiet && Ask(full + ", Are you sure (Y/N)? ", false) != Answer::kYes) return;
  int before = options->found;
  DeleteIn(options, FolderPart(pattern), name);
  if (options->found == before) options->failed = Failed("Could Not Find " + (full.empty() ? given : full) + "\n");
}

// ---- rd ------------------------------------------------------------------

// A symbolic link to a folder: rd removes the link, never what it shows.
int RemoveLink(const std::string& path) { return DeleteFile(path.c_str()) ? 0 : FailedCall(); }

int RemoveOneDir(const std::string& path, bool tree, bool quiet) {
  uint32_t attributes = Attributes(path);
  if (attributes == kInvalidAttributes) return Failed(kNotFound);
  if (!(attributes & kAttrDirectory)) return Failed("The directory name is invalid.\n");
  if (IsReparsePoint(path.c_str())) return RemoveLink(path);
  if (!tree) return RemoveDir(path.c_str()) ? 0 : FailedCall();
  if (!quiet && Ask(path + ", Are you sure (Y/N)? ", false) != Answer::kYes) return 0;
  // What stays (a read-only file, and the folders above it) is named.
  bool removed = RemoveTree(path.c_str(), [](const std::string& stays, const std::string& why) {
    Failed(stays + " - " + why + "\n");
  });
  return removed ? 0 : 1;
}

// ---- md, ren, type -----------------------------------------------------------

// Makes the folder and any missing folder above it.
bool MakeTree(const std::string& full) {
  size_t start = full.find('\\', 3);
  while (start != std::string::npos) {
    std::string part = full.substr(0, start);
    if (!Exists(part) && !CreateDir(part.c_str())) return false;
    start = full.find('\\', start + 1);
  }
  return CreateDir(full.c_str());
}

int RenameOne(const Match& file, const std::string& newName) {
  std::string target = FolderPart(file.path) + (HasWildcard(newName) ? ApplyMask(newName, file.name) : newName);
  if (Exists(target) && !SameFile(target, file.path)) {
    return Failed("A duplicate file name exists, or the file cannot be found.\n");
  }
  return MoveFile(file.path.c_str(), target.c_str(), false) ? 0 : FailedCall();
}

int TypeOne(const std::string& name) {
  bool many = false;
  std::vector<Match> files = SourceFiles(name, &many);
  if (IsFolder(name)) return Failed("Access is denied.\n");
  if (files.empty()) return Failed(kNotFound);
  for (const Match& file : files) {
    std::string text;
    if (!ReadWholeFile(file.path.c_str(), &text)) return FailedCall();
    if (many) {
      fflush(stdout);
      fprintf(stderr, "\n%s\n\n\n", file.path.c_str());
    }
    fwrite(text.data(), 1, text.size(), stdout);
  }
  return 0;
}

// Runs `one` on every item, on past failures; 1 when any of them failed.
template <typename Item, typename One>
int EachOf(const std::vector<Item>& items, One one) {
  int result = 0;
  for (const Item& item : items) {
    if (one(item) != 0) result = 1;
  }
  return result;
}

}  // namespace

Answer Ask(const std::string& question, bool withAll) {
  printf("%s", question.c_str());
  for (;;) {
    int key = ReadKey();
    char c = key == kKeyEscape ? 'N' : UpperAscii(static_cast<char>(key));
    Answer answer = c == 'Y' ? Answer::kYes : c == 'N' ? Answer::kNo : Answer::kAll;
    if (c != 'Y' && c != 'N' && !(c == 'A' && withAll)) continue;
    printf("%s\n", answer == Answer::kYes ? "Yes" : answer == Answer::kNo ? "No" : "All");
    return answer;
  }
}

int CopyFiles(const Arguments& args, bool inBatch) { return TransferFiles(args, inBatch, false); }

int MoveFiles(const Arguments& args, bool inBatch) { return TransferFiles(args, inBatch, true); }

int DeleteFiles(const Arguments& args) {
  CommandArgs command;
  if (!ReadArgs(args, "/P /F /S /Q", &command)) return 1;
  if (command.names.empty()) return Failed(kSyntaxError);
  DeleteOptions options;
  options.prompt = Has(command, "/P");
  options.force = Has(command, "/F");
  options.subfolders = Has(command, "/S");
  options.quiet = Has(command, "/Q");
  for (const std::string& name : command.names) DeleteName(&options, name);
  return options.failed ? 1 : 0;
}

int MakeDirectories(const Arguments& args) {
  CommandArgs command;
  if (!ReadArgs(args, "", &command)) return 1;
  if (command.names.empty()) return Failed(kSyntaxError);
  bool failed = false;
  for (const std::string& name : command.names) {
    std::string full = GetFullPathString(name.c_str());
    if (Exists(name)) {
      failed = Failed("A subdirectory or file " + name + " already exists.\n");
    } else if (full.empty() || !MakeTree(full)) {
      failed = FailedCall();
    }
  }
  return failed ? 1 : 0;
}

int RemoveDirectories(const Arguments& args) {
  CommandArgs command;
  if (!ReadArgs(args, "/S /Q", &command)) return 1;
  if (command.names.empty()) return Failed(kSyntaxError);
  return EachOf(command.names, [&](const std::string& name) {
    return RemoveOneDir(name, Has(command, "/S"), Has(command, "/Q"));
  });
}

int RenameFiles(const Arguments& args) {
  CommandArgs command;
  if (!ReadArgs(args, "", &command)) return 1;
  if (command.names.size() != 2 || command.names[1].find_first_of("\\/:") != std::string::npos) {
    return Failed(kSyntaxError);
  }
  const std::string& source = command.names[0];
  std::vector<Match> files = HasWildcard(NamePart(source)) ? ListMatches(source, false)
                             : Exists(source) ? std::vector<Match>{{source, NamePart(source)}}
                                              : std::vector<Match>{};
  if (files.empty()) return Failed(kNotFound);
  return EachOf(files, [&](const Match& file) { return RenameOne(file, command.names[1]); });
}

int TypeFiles(const Arguments& args) {
  CommandArgs command;
  if (!ReadArgs(args, "", &command)) return 1;
  if (command.names.empty()) return Failed(kSyntaxError);
  return EachOf(command.names, TypeOne);
}

}  // namespace weft_batch
