// Renaming slide images, with their slide pages and text files, after the
// image's last-write date.
#include "programs/dateren/date_rename.h"

#include <cstdio>
#include <cstring>

#include "platform/files.h"
#include "shared/chars.h"
#include "shared/paths.h"
#include "shared/sitefiles.h"

namespace {

// Names are held in buffers of this many bytes: a longer name cannot be made.
constexpr size_t kNameSize = 260;

void ReportRenameFailure(const char* from, const std::string& to) {
  fprintf(stderr, "Can't rename file \"%s\" to \"%s\".\n", from, to.c_str());
}

bool ReadWriteDate(const char* path, DosDate* date) {
  FILE* file = OpenFile(path, "rb");
  if (!file) {
    fprintf(stderr, "Can't open file \"%s\".\n", path);
    return false;
  }
  FileTime written = 0;
  bool ok = GetFileTimes(path, nullptr, nullptr, &written) && ToDosDate(written, date);
  fclose(file);
  if (!ok) fprintf(stderr, "Can't get file time \"%s\".\n", path);
  return ok;
}

// A slide page or text file follows its image. One that does not exist is no
// failure; one that exists and stays behind is reported, since the image can
// no longer find it.
void RenameCompanion(const std::string& from, const std::string& to) {
  if (MoveFile(from.c_str(), to.c_str(), false)) {
    printf("%s --> %s\n", from.c_str(), to.c_str());
    return;
  }
  if (FileExists(from.c_str())) ReportRenameFailure(from.c_str(), to);
}

}  // namespace

bool ToDosDate(FileTime utc, DosDate* date) {
  SystemTime local = FileTimeToSystem(FileTimeToLocal(utc));
  if (local.year < 1980 || local.year > 2107) return false;
  date->year = local.year;
  date->month = local.month;
  date->day = local.day;
  return true;
}

int YearDigits(const DosDate& date) { return (date.year - 1980 + 80) % 100; }

std::string UndashedBase(const std::string& base) {
  size_t n = base.size();
  if (n > 2 && base[n - 2] == '-' && IsDigit(base[n - 1])) return base.substr(0, n - 2);
  return base;
}

std::string DatedName(const std::string& base, int yearDigits, int month, int day,
                      const std::string& ext) {
  char date[16];
  snprintf(date, sizeof date, "(%02d%02d%02d)", yearDigits % 100, month % 100, day % 100);
  return base + date + ext;
}

void PrintDaterenHelp(const char* programName) {
  fputs("Adds the file creation date to the end of a slide image file name in order\n"
        "to make the file name unique (\"basename.ext\" becomes \"basename(yymmdd).ext\").\n"
        "Also renames corresponding .htm or .txt files to match the image file rename.\n"
        "If the base file name has a \"-#\" suffix (# is a digit), it will be removed.\n"
        "Will not rename files that already have dates in the file name.\n\n",
        stdout);
  printf("Usage:  %s filespec [filespec [filespec]]\n\n", programName);
  fputs(" filespec    Image file name (wildcards are allowed).\n", stdout);
}

std::string ProgramName(const char* argv0) {
  const char* base = BaseName(argv0 ? argv0 : "");
  std::string name(base, Extension(base));
  for (char& c : name) c = ToUpper(c);
  return name.empty() ? "DATEREN" : name;
}

void RenameWithDate(const char* path) {
  const char* ext = Extension(path);
  if (!IsImageExt(ext) || strchr(path, '(')) return;
  DosDate date;
  if (!ReadWriteDate(path, &date)) return;
  std::string base(path, ext);
  std::string newBase = UndashedBase(base);
  int year = YearDigits(date);
  int day = date.day;
  std::string dated = DatedName(newBase, year, date.month, day, ext);
  // A name taken already moves the date back a day, never past the 1st.
  while (FileExists(dated.c_str())) {
    if (day == 1) {
      ReportRenameFailure(path, dated);
      return;
    }
    dated = DatedName(newBase, year, date.month, --day, ext);
  }
  if (dated.size() >= kNameSize || !MoveFile(path, dated.c_str(), false)) {
    ReportRenameFailure(path, dated);
    return;
  }
  printf("%s --> %s\n", path, dated.c_str());
  RenameCompanion(base + ".htm", DatedName(newBase, year, date.month, day, ".htm"));
  RenameCompanion(base + ".txt", DatedName(newBase, year, date.month, day, ".txt"));
}
