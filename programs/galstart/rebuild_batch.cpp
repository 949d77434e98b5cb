#include "programs/galstart/rebuild_batch.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/files.h"
#include "platform/message_box.h"

namespace {

constexpr size_t kMessageSize = 256;     // a message box text, terminator included
constexpr size_t kBatchNameSize = 300;   // the batch file's name, terminator included
const char kBatchName[] = "refolio.bat";

// The error box; the exit code.
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

bool WriteBatch(const std::string& batchName, const char* command) {
  FILE* file = OpenFile(batchName.c_str(), "w");
  if (!file) return false;
  bool written = fprintf(file, "@%s\n", command) >= 0;
  return fclose(file) == 0 && written;
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
  DeleteFile(path);
  if (!WriteBatch(batchName, command)) return ShowError("Can't create file \"%s\"", batchName.c_str());
  return 0;
}
