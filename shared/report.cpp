#include "shared/report.h"

#include <cstdio>
#include <ctime>

#include "platform/clock.h"
#include "platform/drives.h"
#include "platform/env.h"
#include "platform/files.h"
#include "shared/paths.h"
#include "shared/string.h"

int MaxSeverity = 0;

namespace {

constexpr size_t kTitleSize = 33;  // 32 characters and the zero byte

char logTitle[kTitleSize];
FILE* logStream = nullptr;
bool logOpenAttempted = false;

// The program file's base name without its extension.
void DefaultTitle() {
  char program[kMaxPath + 1];
  if (!GetProgramFile(program, sizeof program)) return;
  char* base = BaseName(program);
  *Extension(base) = 0;
  CopyBounded(logTitle, base, kTitleSize);
}

void WriteRunHeader(FILE* log) {
  fprintf(log, "%s\n", "----------------------------------------");
  if (logTitle[0]) fprintf(log, "%s\n", logTitle);
  time_t now = static_cast<time_t>(UnixTimeNow());
  const char* date = ctime(&now);
  if (date) fputs(date, log);
  char dir[kMaxPath + 1];
  if (GetCurrentDir(dir, sizeof dir)) fprintf(log, "%s\n", dir);
  fputs("\n", log);
}

// Opens the log named by WEFTLOG, once per run. Only a run that begins with
// a warning or an error gets a header.
void OpenLog(ReportCode firstCode) {
  logOpenAttempted = true;
  if (!logTitle[0]) DefaultTitle();
  const char* name = GetEnv("WEFTLOG");
  if (!name) return;
  logStream = OpenFile(name, "a");
  if (!logStream) {
    fprintf(stderr, "Error:  Can't open log file \"%s\".\n", name);
    return;
  }
  if (firstCode != 0) WriteRunHeader(logStream);
}

void WriteLogLine(ReportCode code, const char* format, va_list args) {
  if (code != 0) {
    fprintf(logStream, "%04d:  ", code);
  } else {
    fputs("       ", logStream);
  }
  while (*format == '\n') ++format;
  vfprintf(logStream, format, args);
  // Several tools append to one log; each line reaches it at once.
  fflush(logStream);
}

}  // namespace

int VReport(ReportCode code, const char* format, va_list args) {
  if (code / 1000 > MaxSeverity) MaxSeverity = code / 1000;
  if (!logStream && !logOpenAttempted) OpenLog(code);
  va_list logArgs;
  va_copy(logArgs, args);
  int written = vfprintf(stderr, format, args);
  if (logStream) WriteLogLine(code, format, logArgs);
  va_end(logArgs);
  return written;
}

int Report(ReportCode code, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int written = VReport(code, format, args);
  va_end(args);
  return written;
}

int ReportText(ReportCode code, const char* text) { return Report(code, "%s", text); }

// For the tests (testing/log_title.h): the programs keep the default title.
void SetLogTitle(const char* text) {
  if (text) CopyBounded(logTitle, text, kTitleSize);
}

void CloseLog() {
  if (logStream) fclose(logStream);
  logStream = nullptr;
  logOpenAttempted = true;
}

void ResetReportForTests() {
  CloseLog();
  logOpenAttempted = false;
  logTitle[0] = 0;
  MaxSeverity = 0;
}
