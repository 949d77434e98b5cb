// Renaming slide images, with their slide pages and text files, after the
// image's last-write date.
#include "programs/dateren/date_rename.h"

#include <cstdio>
#include <cstring>
#include <vector>

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

// A slide page or text file that follows its image: from its old name to
// the dated one.
struct Companion {
  std::string from, to;
};

// The companions of an image that still carry the old name, moved to their
// dated names before the image itself, so that a run stopped at any moment
// leaves no image without them: either nothing is renamed yet, or they wait
// under the dated name for the image, which the next run then renames to
// the same name. A companion that cannot follow (its dated name is taken,
// for one) keeps the image where it is: the ones moved already go back.
bool MoveCompanions(const std::vector<Companion>& companions, std::vector<Companion>* moved) {
  for (const Companion& companion : companions) {
    if (MoveFile(companion.from.c_str(), companion.to.c_str(), false)) {
      moved->push_back(companion);
      continue;
    }
    if (!FileExists(companion.from.c_str())) continue;
    ReportRenameFailure(companion.from.c_str(), companion.to);
    return false;
  }
  return true;
}

void MoveBack(const std::vector<Companion>& moved) {
  for (auto it = moved.rbegin(); it != moved.rend(); ++it) {
    if (!MoveFile(it->to.c_str(), it->from.c_str(), false)) ReportRenameFailure(it->to.c_str(), it->from);
  }
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

namespace {

// The dated name of the image: its date, or a day before it where the name
// is taken already, never past the 1st. False (reported) when there is none.
bool FreeDatedName(const char* path, const std::string& newBase, const DosDate& date,
                   const std::string& ext, int* day, std::string* dated) {
  int year = YearDigits(date);
  *day = date.day;
  *dated = DatedName(newBase, year, date.month, *day, ext);
  while (FileExists(dated->c_str())) {
    if (*day == 1) {
      ReportRenameFailure(path, *dated);
      return false;
    }
    *dated = DatedName(newBase, year, date.month, --*day, ext);
  }
  if (dated->size() < kNameSize) return true;
  ReportRenameFailure(path, *dated);
  return false;
}

}  // namespace

void RenameWithDate(const char* path) {
  const char* ext = Extension(path);
  if (!IsImageExt(ext) || strchr(path, '(')) return;
  DosDate date;
  if (!ReadWriteDate(path, &date)) return;
  std::string base(path, ext);
  std::string newBase = UndashedBase(base);
  int day = 0;
  std::string dated;
  if (!FreeDatedName(path, newBase, date, ext, &day, &dated)) return;
  int year = YearDigits(date);
  std::vector<Companion> companions = {
      {base + ".htm", DatedName(newBase, year, date.month, day, ".htm")},
      {base + ".txt", DatedName(newBase, year, date.month, day, ".txt")},
  };
  std::vector<Companion> moved;
  if (!MoveCompanions(companions, &moved)) {
    MoveBack(moved);
    return;
  }
  if (!MoveFile(path, dated.c_str(), false)) {
    ReportRenameFailure(path, dated);
    MoveBack(moved);
    return;
  }
  // Told in the order a reader expects: the image, then what followed it.
  printf("%s --> %s\n", path, dated.c_str());
  for (const Companion& companion : moved) {
    printf("%s --> %s\n", companion.from.c_str(), companion.to.c_str());
  }
}
