#include "shared/backup_report.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/drives.h"
#include "shared/append_format.h"
#include "shared/chars.h"
#include "shared/paths.h"

namespace {

// --- Command line ------------------------------------------------------------------

// A decimal number as the C runtime's atol reads it, kept within 32 bits.
int32_t ParseDecimal(const char* text) {
  long long value = strtoll(text, nullptr, 10);
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

// "/C:4096" and "/C4096" alike; other letters are ignored.
void TakeOption(const char* argument, BackupRun* run) {
  char letter = ToUpper(argument[1]);
  if (!letter) return;
  const char* value = argument[2] == ':' ? argument + 3 : argument + 2;
  switch (letter) {
    case 'C':
      run->state.SetClusterSize(ParseDecimal(value));
      break;
    case 'I':
      run->state.AddImportant(value);
      break;
    case 'L':
      run->logForm = true;
      break;
    case 'M':
      run->state.minImportantSize = ParseDecimal(value);
      break;
    case 'S':
      run->singleLine = true;
      break;
    case 'U':
      run->state.AddIgnore(value);
      break;
    default:
      break;
  }
}

bool IsWildcardSpec(const char* argument) {
  return strpbrk(argument, "*?") && !strpbrk(argument, "\\/:");
}

void CheckDirectory(const char* argument, BackupRun* run) {
  bool first = !run->pathSeen;
  run->pathSeen = true;
  if (GetFullPath(argument, run->fullPath, sizeof run->fullPath) == 0) {
    // A path on no drive (or too long) names no directory: nothing to walk,
    // and never the current directory in its place.
    run->fullPath[0] = '\0';
    AddDirectoryName(argument, run);
    return;
  }
  AddDirectoryName(run->fullPath, run);
  if (first) ReadBackupConfig(run->fullPath, &run->state);
  ScanBackupTree(run->fullPath, &run->state);
}

// --- Report ------------------------------------------------------------------------

void AppendCategoryLine(const BackupCategory& category, std::string* out) {
  if (category.spec) AppendFormat(out, "%s:  ", category.spec->Text());
  char size[kSizeTextSize];
  FormatSize(category.notArchivedBytes, size, true);
  if (category.notArchivedCount == 0) {
    *out += "All files are backed up.\n";
  } else if (category.notArchivedCount == 1) {
    AppendFormat(out, "1 file out of %d total is not backed up (%s).\n", category.fileCount,
                 size);
  } else {
    AppendFormat(out, "%d files out of %d total are not backed up (%s).\n",
                 category.notArchivedCount, category.fileCount, size);
  }
}

void AppendCategoryLines(const BackupState& state, std::string* out) {
  AppendCategoryLine(state.categories[0], out);
  if (!state.BackupNeeded()) return;
  bool first = true;
  for (int i = 1; i < state.categoryCount; ++i) {
    if (state.categories[i].fileCount == 0) continue;
    if (first) *out += "\n";
    first = false;
    AppendCategoryLine(state.categories[i], out);
  }
}

// Returns whether an age paragraph was added.
bool AppendAges(const BackupState& state, const char* indent, std::string* out) {
  const char* heading = "\nAge of files that are not backed up:\n";
  int32_t count = state.categories[0].notArchivedCount;
  double sum = state.categories[0].sumAges;
  double max = state.categories[0].maxAge;
  if (state.categoryCount > 1) {
    heading = "\nAge of important files that are not backed up:\n";
    count = 0;
    sum = 0;
    max = 0;
    for (int i = 1; i < state.categoryCount; ++i) {
      const BackupCategory& category = state.categories[i];
      count += category.notArchivedCount;
      sum += category.sumAges;
      if (category.maxAge > max) max = category.maxAge;
    }
  }
  if (count == 0) return false;
  *out += heading;
  AppendFormat(out, "%s%0.0f days ave, %0.0f days max\n", indent, sum / count, max);
  return true;
}

void AppendSizes(const BackupState& state, std::string* out) {
  const BackupCategory& all = state.categories[0];
  char total[kSizeTextSize];
  FormatSize(all.totalBytes, total, true);
  if (state.clusterSize <= 1) {
    AppendFormat(out, "\n%s total in all files (backed up and not backed up).\n", total);
    return;
  }
  char allocated[kSizeTextSize];
  FormatSize(all.allocatedBytes, allocated, true);
  // Files of 0 bytes take no cluster: no space, so no slack either.
  double slack = all.allocatedBytes > 0 ? 100 - all.totalBytes / all.allocatedBytes * 100 : 0;
  AppendFormat(out, "\n%s total.  %s used with %d byte clusters (%0.1f%% slack).\n", total,
               allocated, state.clusterSize, slack);
}

void AppendNewest(const BackupState& state, const char* indent, std::string* out) {
  const BackupCategory& all = state.categories[0];
  SystemTime local = FileTimeToSystem(FileTimeToLocal(all.newestTime));
  AppendFormat(out, "\nMost recently modified file:\n%s%s\n%s%s", indent,
               all.newestName.c_str(), indent, ModifiedText(local).c_str());
}

const char* const kTimeNames[19] = {
    "January", "February", "March",    "April",     "May",      "June",   "July",
    "August",  "September", "October", "November",  "December", "Sunday", "Monday",
    "Tuesday", "Wednesday", "Thursday", "Friday",   "Saturday",
};
const int kHours12[24] = {12, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11,
                          12, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};

int Clamp(int value, int low, int high) {
  return value < low ? low : value > high ? high : value;
}

}  // namespace

void AddDirectoryName(const char* fullPath, BackupRun* run) {
  const char* name = BaseName(fullPath);
  if (!*name) name = fullPath;
  size_t length = strlen(run->names);
  size_t nameLength = strlen(name);
  if (length + nameLength + 32 >= kNamesSize) return;
  if (length > 0) {
    memcpy(run->names + length, ", ", 2);
    length += 2;
  }
  memcpy(run->names + length, name, nameLength + 1);
}

void TakeBackupArguments(int argc, char** argv, BackupRun* run) {
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    if (argument[0] == '-' || argument[0] == '/') {
      TakeOption(argument, run);
    } else if (IsWildcardSpec(argument)) {
      run->state.AddImportant(argument);
    } else {
      CheckDirectory(argument, run);
    }
  }
}

void CheckCurrentDirectory(BackupRun* run) {
  if (GetCurrentDir(run->fullPath, sizeof run->fullPath) == 0) return;
  AddDirectoryName(run->fullPath, run);
  ScanBackupTree(run->fullPath, &run->state);
}

std::string ModifiedText(const SystemTime& local) {
  int hour = Clamp(local.hour, 0, 23);
  std::string text;
  AppendFormat(&text, "Modified:  %s, %s %d, %d  %d:%02d %cM",
               kTimeNames[12 + Clamp(local.dayOfWeek, 0, 6)],
               kTimeNames[Clamp(local.month, 1, 12) - 1], local.day, local.year, kHours12[hour],
               local.minute, hour < 12 ? 'A' : 'P');
  return text;
}

BackupReport ComposeBackupReport(const BackupRun& run, const char* indent, bool framed) {
  BackupReport report;
  std::string& out = report.text;
  if (framed) {
    out.assign(64, '=');
    AppendFormat(&out, "\n%s\n\n", run.names);
  }
  AppendCategoryLines(run.state, &out);
  report.agesAdded = AppendAges(run.state, indent, &out);
  AppendSizes(run.state, &out);
  AppendNewest(run.state, indent, &out);
  return report;
}
