// Response files named after their server's process.
#include "programs/localweb/response_files.h"

#include <cstdlib>
#include <cstring>

#include "platform/files.h"
#include "platform/listing.h"
#include "platform/process.h"

std::string ResponseFilePrefix() { return "CGI" + std::to_string(CurrentProcessId()) + "-"; }

namespace {

// MakeTempFile's part of the name: four hexadecimal digits and ".tmp".
bool IsTempNumber(const char* text) {
  return strlen(text) == 8 && strspn(text, "0123456789ABCDEF") == 4 && strcmp(text + 4, ".tmp") == 0;
}

}  // namespace

int ResponseFileOwner(const char* name) {
  if (strncmp(name, "CGI", 3) != 0) return 0;
  const char* digits = name + 3;
  size_t count = strspn(digits, "0123456789");
  if (count == 0 || count > 9 || digits[count] != '-' || !IsTempNumber(digits + count + 1)) return 0;
  return atoi(digits);
}

int RemoveLeftResponseFiles(const std::string& folder) {
  if (folder.empty()) return 0;
  std::string base = folder + (folder.back() == '\\' ? "" : "\\");
  FindData data;
  FindState* state = FindFirst((base + "CGI*.tmp").c_str(), &data);
  if (!state) return 0;
  int removed = 0;
  do {
    int owner = ResponseFileOwner(data.name);
    if (owner == 0 || ProcessIsRunning(owner)) continue;
    if (DeleteFile((base + data.name).c_str())) ++removed;
  } while (FindNext(state, &data));
  FindClose(state);
  return removed;
}
