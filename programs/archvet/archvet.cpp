#include "programs/archvet/archvet.h"

#include <cstdio>
#include <cstring>

#include "shared/backup_report.h"
#include "shared/filter_errors.h"
#include "shared/stream_written.h"

namespace {

const char* const kHelpLines[] = {
    "Checks if one or more directories need to be backed up.  Scans each directory",
    "and all its subdirectories for files that are not archived (archive attr set).",
    "Reports the number of unarchived files and additional statistical information.\n",
    "ARCHVET [/C:size] [/L | /S] [/M:size] [/I:filespec [/I:filespec [...]]]",
    "       [/U:filespec [/U:filespec [...]]] [path [path [path [...]]]]\n",
    " /C:size    Specifies the size of a disk allocation unit (cluster), in bytes.",
    " /L         Formats the output in a multi-line format suitable for log files.",
    "            If no files need backing up, no output will be generated.",
    " /S         Formats the output in a single-line format suitable for log files.",
    "            If no files need backing up, no output will be generated.",
    "            Prints the column headings if no path parameters are specified.",
    " /M:size    Specifies the minimum size of an \"important\" file, in bytes.",
    " /I:fspec   Specifies a filespec which defines \"important\" files.",
    "            Additional information will be printed for each important filespec.",
    "            Type ARCHVET /! for additional information.",
    " /U:fspec   Specifies a filespec which defines \"unimportant\" files.",
    "            This negates the effect of the /I option for the specified files.",
    "            Type ARCHVET /! for additional information.",
    " path       The starting directory of the search tree (default = current).\n",
    "Returns exit code 0 if all files are backed up, or 1 if backup is needed.",
};

const char* const kConfigHelpLines[] = {
    "ARCHVET looks for a file called \"ARCHVET.INI\" in the directory of the first",
    "path parameter and in all its parent directories.  That file can list",
    "important and unimportant filespecs in the following format:\n",
    "  [Important Files]",
    "  filespec",
    "  filespec",
    "  ...\n",
    "  [Unimportant Files]",
    "  [path\\]filespec",
    "  [path\\]filespec",
    "  ...\n",
    "Each filespec has the following form:\n",
    "  [*][text][*][.[*][text][*]]\n",
    "where '*' stands for zero or more characters.  A filespec without an extension",
    "has an implicit extension of \".*\".  The path of an unimportant filespec is an",
    "\"ends with\" comparison with the directory of each file, so \"TEMP\\*.*\"",
    "matches the files of every directory called TEMP.",
};

template <size_t N>
void PrintLines(const char* const (&lines)[N]) {
  for (const char* line : lines) puts(line);
}

// The size columns of a row: FormatSize without " bytes".
const char* Size(double bytes, char (&buffer)[kSizeTextSize]) {
  return FormatSize(bytes, buffer, false);
}

void PrintAge(double days) {
  if (days == 0) {
    fputs("    -", stdout);
  } else {
    printf("%5.0f", days);
  }
}

}  // namespace

void PrintColumnHeadings() {
  puts(" NOT ARCHIVED");
  puts(" Last Modified");
  puts("   (Days Ago)                        ---- IMPORTANT ----");
  puts(" Imp. All  Wgt.                      NOT ARCHIVED  TOTAL   NOT ARCHIVED   TOTAL");
  puts(" Max. Max. Ave.  Directory Name      Files  Bytes  Files   Files  Bytes   Bytes");
  puts(" ---- ---- ----  ------------------  -----  -----  -----   -----  -----   -----");
}

void PrintSingleLine(const BackupRun& run) {
  const BackupState& state = run.state;
  const BackupCategory& all = state.categories[0];
  int32_t count = 0;
  int32_t files = 0;
  double sum = 0;
  double bytes = 0;
  double max = 0;
  for (int i = 1; i < state.categoryCount; ++i) {
    const BackupCategory& category = state.categories[i];
    count += category.notArchivedCount;
    sum += category.sumAges;
    bytes += category.notArchivedBytes;
    files += category.fileCount;
    if (category.maxAge > max) max = category.maxAge;
  }
  // Files outside the important categories weigh one hundredth.
  double weighted = 0;
  if (all.notArchivedCount > 0) {
    double restSum = all.sumAges - sum;
    double restCount = all.notArchivedCount - count;
    weighted = (sum + 0.01 * restSum) / (count + 0.01 * restCount);
  }
  PrintAge(max);
  PrintAge(all.maxAge);
  PrintAge(weighted);
  char important[kSizeTextSize], notArchived[kSizeTextSize], total[kSizeTextSize];
  printf("  %-18.18s%7d%7s%7d %7d%7s %7s\n", run.names, count, Size(bytes, important), files,
         all.notArchivedCount, Size(all.notArchivedBytes, notArchived),
         Size(all.totalBytes, total));
}

int CheckBackups(int argc, char** argv) {
  BackupRun run;
  TakeBackupArguments(argc, argv, &run);
  if (run.singleLine) {
    if (!run.pathSeen) {
      PrintColumnHeadings();
      return 1;
    }
    if (run.state.BackupNeeded()) PrintSingleLine(run);
    return 0;
  }
  if (!run.pathSeen) CheckCurrentDirectory(&run);
  if (run.logForm && !run.state.BackupNeeded()) return 0;
  if (run.state.categories[0].fileCount == 0) {
    fputs("No files were found.\n", stderr);
    return 0;
  }
  BackupReport report = ComposeBackupReport(run, "   ", run.logForm);
  printf("%s\n", report.text.c_str());
  if (run.logForm) putchar('\n');
  return run.state.BackupNeeded() ? 1 : 0;
}

int RunBackupCheck(int argc, char** argv) {
  if (argc > 1 && strcmp(argv[1], "/?") == 0) {
    PrintLines(kHelpLines);
    return 0;
  }
  if (argc > 1 && strcmp(argv[1], "/!") == 0) {
    PrintLines(kConfigHelpLines);
    return 0;
  }
  int code = CheckBackups(argc, argv);
  // A report that never reached its log must not pass for one that did; 2
  // still tells a batch file's "if errorlevel 1" to back up.
  if (!StreamWritten(stdout)) return OutputWriteFailed();
  return code;
}
