#include "programs/archvetw/archvetw.h"

#include <cstring>

#include "platform/message_box.h"
#include "shared/backup_report.h"

namespace {

constexpr size_t kMaxArguments = 19;

// A token that ends at the next blank: an option, or a filespec whose first
// character among blank, '\', '/', ':', '*' and '?' is a wildcard.
bool EndsAtBlank(const char* token) {
  if (token[0] == '/' || token[0] == '-') return true;
  const char* stop = strpbrk(token, " \\/:*?");
  return stop && (*stop == '*' || *stop == '?');
}

}  // namespace

std::vector<std::string> SplitWindowCommandLine(const char* line) {
  std::vector<std::string> arguments;
  const char* at = line;
  while (*at == ' ') ++at;
  while (*at && arguments.size() < kMaxArguments) {
    if (!EndsAtBlank(at)) {
      arguments.emplace_back(at);
      break;
    }
    const char* blank = strchr(at, ' ');
    if (!blank) {
      arguments.emplace_back(at);
      break;
    }
    arguments.emplace_back(at, blank);
    at = blank;
    while (*at == ' ') ++at;
  }
  return arguments;
}

int CheckBackups(int argc, char** argv) {
  BackupRun run;
  TakeBackupArguments(argc, argv, &run);
  if (!run.pathSeen) CheckCurrentDirectory(&run);
  bool needed = run.state.BackupNeeded();
  if (run.logForm && !needed) return 0;
  if (run.state.categories[0].fileCount == 0) {
    ShowMessageBox("No files were found.", run.names, kMbOk | kMbIconInformation);
    return 0;
  }
  BackupReport report = ComposeBackupReport(run, "     ", false);
  std::string caption = std::string(run.names) +
                        (needed ? ":  BACKUP NEEDED" : ":  All files are backed up");
  ShowMessageBox(report.text.c_str(), caption.c_str(),
                 kMbOk | (report.agesAdded ? kMbIconWarning : kMbIconInformation));
  return needed ? 1 : 0;
}

int RunBackupCheckWindow(const char* line) {
  std::vector<std::string> arguments = SplitWindowCommandLine(line);
  std::vector<char*> argv;
  static char programName[] = "archvetw";
  argv.push_back(programName);
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  return CheckBackups(static_cast<int>(argv.size() - 1), argv.data());
}
