// The batch interpreter's file commands: copy, move, del/erase, md/mkdir,
// rd/rmdir, ren/rename and type, with their usual switches and the Windows
// wildcard rules of the listing calls.
#pragma once

#include <string>
#include <vector>

namespace weft_batch {

// One argument of a built-in command, %-expanded: as written, and with its
// double quotes taken out.
struct Argument {
  std::string written;
  std::string plain;
};
using Arguments = std::vector<Argument>;

// Each returns 0 on success and 1 on a failure, whose message it printed.
// copy and move ask before they overwrite with /-Y; /Y overwrites; without
// either they ask only outside a batch file (`inBatch`), as Windows does.
int CopyFiles(const Arguments& args, bool inBatch);
int MoveFiles(const Arguments& args, bool inBatch);
int DeleteFiles(const Arguments& args);        // /P /F /S /Q
int MakeDirectories(const Arguments& args);    // folders between are made too
int RemoveDirectories(const Arguments& args);  // /S /Q
int RenameFiles(const Arguments& args);
int TypeFiles(const Arguments& args);

// A question answered by one key ("Y", "N", and "A" where `withAll`), from the
// console or from standard input when it is not a terminal; its end answers
// No. The answer is shown after the question.
enum class Answer { kYes, kNo, kAll };
Answer Ask(const std::string& question, bool withAll);

}  // namespace weft_batch
