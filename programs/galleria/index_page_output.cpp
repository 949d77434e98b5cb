#include "programs/galleria/index_page_output.h"

#include <cstdarg>
#include <string>

#include "platform/file_replace.h"
#include "programs/galleria/index_run.h"
#include "shared/banner.h"
#include "shared/entry_factory.h"
#include "shared/report.h"
#include "shared/stream_written.h"

namespace {

constexpr const char* kNewIndex = "index.new";
constexpr const char* kNoChanges = "        Program aborted -- no changes were made.\n";

// The failure of a step before the old page was touched: the new file goes.
int Abandon() {
  ReportText(0, kNoChanges);
  DiscardReplacement(kNewIndex);
  return 1;
}

}  // namespace

FILE* OpenIndexOutput(Entry** pageEntry) {
  *pageEntry = MakeDirectoryEntryAlways(".");
  if (cgiMode) {
    WriteHTML(stdout, "Content-type:  text/html\n\n");
    return stdout;
  }
  FILE* stream = CreateReplacement(kNewIndex, "w");
  if (!stream) {
    ReportText(3000, "Error:  Can't create the new index file (\"index.new\").\n");
    Abandon();
  }
  return stream;
}

int CommitIndexOutput(FILE* stream, const char* name) {
  if (OutputAbandoned && stream != stdout) {
    fclose(stream);
    return Abandon();
  }
  if (stream == stdout) {
    // A CGI page that did not reach its reader is no success.
    if (!StreamWritten(stdout) || OutputError) {
      ReportText(3000, "Error:  Can't write to output file.\n");
      return 1;
    }
    return 0;
  }
  if (!name) name = "index.htm";
  bool closed = fclose(stream) == 0;
  if (!closed || OutputError) {
    ReportText(3000, "Error:  Can't write to the new index file (\"index.new\").\n");
    return Abandon();
  }
  // The new page takes the old one's place in one step: the old page is
  // never deleted before the new one is there.
  if (!IsReplaceable(name)) {
    Report(3000, "Error:  Can't delete the old index file (\"%s\").\n", name);
    return Abandon();
  }
  if (!ReplaceFile(kNewIndex, name)) {
    Report(3000, "Error:  Can't rename the new index file to \"%s\".\n", name);
    ReportText(0, "        The new index file is named \"index.new\".\n");
    return 2;
  }
  return 0;
}

int WriteHTML(FILE* stream, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int result = vfprintf(stream, format, args);
  va_end(args);
  if (result < 0) OutputError = true;
  return result;
}

const char* VersionBanner() {
  std::string& banner = indexRun.generator;
  if (!banner.empty()) return banner.c_str();  // never empty once made
  ProgramVersionInfo info;
  size_t descriptionLength = 0, versionLength = 0;
  const char* description =
      info.QueryValue("\\StringFileInfo\\040904E4\\FileDescription", &descriptionLength);
  const char* version = info.QueryValue("\\StringFileInfo\\040904E4\\FileVersion", &versionLength);
  if (!description) description = "";
  if (!version) version = "";
  banner.assign(description, descriptionLength);
  banner += ", v";
  banner.append(version, versionLength);
  banner += " by Dunmarrow";
  return banner.c_str();
}
