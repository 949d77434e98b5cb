#include "programs/galstart/rebuild_batch.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/ascii_case.h"
#include "platform/drives.h"
#include "platform/file_replace.h"
#include "platform/files.h"
#include "platform/message_box.h"

namespace {

constexpr size_t kMessageSize = 256;     // a message box text, terminator included
constexpr size_t kBatchNameSize = 300;   // the batch file's name, terminator included
const char kBatchName[] = "refolio.bat";
const char kBatchTemp[] = "refolio.$$$";

// galstart has no window of its own: an error is a message box titled
// "Error" with an OK button.
int ShowError(const char* format, ...) {
  char text[kMessageSize];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  ShowMessageBox(text, "Error", kMbOk);
  return 1;
}

// The path with its file name (after the last '\', '/' or ':') replaced.
std::string BatchNameBeside(const char* path) {
  const char* name = path;
  for (const char* p = path; *p; ++p) {
    if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
  }
  return std::string(path, static_cast<size_t>(name - path)) + kBatchName;
}

// The batch file is written beside its place and takes its name whole.
bool WriteBatch(const std::string& batchName, const char* command) {
  std::string temp = batchName.substr(0, batchName.size() - strlen(kBatchName)) + kBatchTemp;
  FILE* file = CreateReplacement(temp.c_str(), "w");
  if (!file) return false;
  bool written = fprintf(file, "@%s\n", command) >= 0;
  return CommitReplacement(file, written, temp.c_str(), batchName.c_str());
}

bool SamePath(const std::string& a, const char* b) {
  std::string x = GetFullPathString(a.c_str());
  std::string y = GetFullPathString(b);
  return !x.empty() && SameNoCase(x, y);
}

}  // namespace

int WriteRebuildBatch(int argc, char** argv) {
  if (argc < 2 || argv[1][0] != '/' || argv[1][1] == '\0') {
    return ShowError("Required command line switch is missing");
  }
  const char* command = argv[1] + 1;
  const char* path = argc > 2 ? argv[2] : "";
  if (!*path && argc > 3) path = argv[3];
  if (!*path) return ShowError("Required command line file path is missing");
  std::string batchName = BatchNameBeside(path);
  // A name that does not fit is refused before the placeholder is deleted.
  if (batchName.size() >= kBatchNameSize) return ShowError("Can't create file \"%s\"", batchName.c_str());
  // The placeholder goes only once the batch file is in place, and never
  // when it is the batch file itself.
  if (!WriteBatch(batchName, command)) return ShowError("Can't create file \"%s\"", batchName.c_str());
  if (!SamePath(batchName, path)) DeleteFile(path);
  return 0;
}
