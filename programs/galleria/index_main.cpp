#include "programs/galleria/index_main.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "platform/drives.h"
#include "platform/env.h"
#include "programs/galleria/entry_pieces.h"
#include "programs/galleria/formatted_output.h"
#include "programs/galleria/index_page_output.h"
#include "programs/galleria/index_request.h"
#include "programs/galleria/index_run.h"
#include "programs/galleria/index_settings.h"
#include "programs/galleria/search_page.h"
#include "programs/galleria/sequence_page.h"
#include "shared/banner.h"
#include "shared/cgi/cgi.h"
#include "shared/chars.h"
#include "shared/config.h"
#include "shared/entry.h"
#include "shared/entry_factory.h"
#include "shared/entry_list.h"
#include "shared/paths.h"
#include "shared/report.h"
#include "shared/sitefiles.h"
#include "shared/string.h"

namespace {

// The CGI mode's entries come in one array of this many at most.
constexpr int kCgiCapacity = 1000;

// --- Options -------------------------------------------------------------------

// /F and the letter after it: the format of section 0, or no tables.
bool ApplyFormatOption(int letter) {
  ListingSection& section = listingSections[0];
  switch (letter) {
    case '2':
      section.format = ListingFormat::Column;
      section.columns = 2;
      return true;
    case 'A': section.format = ListingFormat::Auto; return true;
    case 'C': section.format = ListingFormat::Compact; return true;
    case 'D': indexSettings.tables = false; return true;
    case 'S':
      section.format = ListingFormat::List;
      indexSettings.thumbnails = false;
      return true;
    case 'T':
      section.format = ListingFormat::List;
      indexSettings.thumbnails = true;
      return true;
  }
  return false;
}

void SetSlides(SlidesMode mode) {
  indexSettings.slides = mode;
  indexSettings.slidePages = true;
}

// One option without its sign; false when it is unknown.
bool ApplyOption(const char* option, int* optionFlags) {
  switch (ToUpper(option[0])) {
    case 'C': indexSettings.combine = true; return true;
    case 'D': *optionFlags |= kListAllDirs; return true;
    case 'E': AddUserExt(option + 1); return true;
    case 'F': return ApplyFormatOption(ToUpper(option[1]));
    case 'G': case 'P': case 'S': case 'T': case 'X': case 'Y': return true;
    case 'I': *optionFlags |= kListImages; return true;
    case 'J': indexSettings.backlink = BacklinkMode::Smart; return true;
    case 'K': indexSettings.backlink = BacklinkMode::Keywords; return true;
    case 'L': indexSettings.tables = false; return true;
    case 'O':
      SetSlides(SlidesMode::Window);
      indexSettings.links = LinkMode::Open;
      indexSettings.backlink = BacklinkMode::Close;
      return true;
    case 'R': SetSlides(SlidesMode::Frameset); return true;
    case 'W': listingSections[0].columnWidth1 = ParseNumber(option + 1); return true;
  }
  return false;
}

// --- Configuration ---------------------------------------------------------------

// "weftcgi.ini" beside the program as it was started (the folder that its
// command names: for a symbolic link, the link's), else beside its real
// file; empty when neither is there. So one program linked into several
// places answers there with each place's own settings.
std::string CgiConfigPath(const char* argv0) {
  char real[kMaxPath + 1];
  if (!GetProgramFile(real, sizeof real)) real[0] = '\0';
  for (const std::string& program : {GetStartedProgramFile(argv0), std::string(real)}) {
    if (program.empty()) continue;
    std::string path = program.substr(0, NameStart(program)) + "weftcgi.ini";
    if (FileExists(path.c_str())) return path;
  }
  return std::string();
}

// The program's name for its own links: the base name it was started by.
// A program file without extension (as programs are built here) gets
// ".cgi", the extension by which a web server such as localweb knows a CGI
// program, so that its links run it instead of sending its file.
void SetCgiUrl(int argc, char** argv) {
  const char* program = argc > 0 && argv[0] ? argv[0] : "";
  const char* base = BaseName(program);
  size_t size = sizeof indexSettings.cgiUrl;
  CopyBounded(indexSettings.cgiUrl, base, size);
  if (*base && !strchr(base, '.') && strlen(base) + 4 < size) strcat(indexSettings.cgiUrl, ".cgi");
}

// CGI mode: the file's lines before its first section, then the section that
// the request names, then the directory the request works in.
void ReadCgiConfiguration(const char* path) {
  ReadConfigFile(path);
  indexRun.request = std::make_unique<CGIArgs>();
  if (const char* section = indexRun.request->Find("config")) ReadConfigFile(path, section);
  if (indexSettings.workingDir[0]) {
    SetCurrentDir(indexSettings.workingDir);
  } else if (indexSettings.startDir[0]) {
    SetCurrentDir(indexSettings.startDir);
  }
}

void ReadConfiguration(const char* argv0) {
  SetConfigKeyHandler(IndexOptionKey);
  std::string cgiConfig = CgiConfigPath(argv0);
  if (!cgiConfig.empty()) {
    cgiMode = true;
    ReadCgiConfiguration(cgiConfig.c_str());
  } else {
    ReadConfig();
  }
}

// The key icon file: the one configured, else "keyicons.txt" of the icons
// directory when it is there.
void ReadKeyIcons() {
  if (!indexSettings.keyIcons[0]) {
    char path[kSitePathSize];
    if (IconsPath("keyicons.txt", path, false)) {
      CopyBounded(indexSettings.keyIcons, path, sizeof indexSettings.keyIcons);
    }
  }
  ReadKeywordIcons();
}

// --- Entries and output ------------------------------------------------------------

void WriteOutput(Entry** entries, int count) {
  switch (indexSettings.index) {
    case IndexMode::Formatted:
      if (indexSettings.pageSize > 0 && !cgiMode) {
        WritePagedIndex(entries, count, indexSettings.pageSize);
      } else {
        WriteSingleIndex(entries, count);
      }
      break;
    case IndexMode::Searchable: WriteSearchPage(entries, count); break;
    case IndexMode::Sequence: WriteSequencePage(entries, count); break;
  }
}

int BuildFromIndexDB(int flags) {
  Entry** entries = new Entry*[kCgiCapacity]();
  int count = ReadIndexRequest(indexRun.request.get(), entries, kCgiCapacity, flags);
  if (count < 0) {
    ReportText(3000, "Error:  Can't open index database file.\n");
  } else {
    WriteOutput(entries, count);
  }
  for (int i = 0; i < count; ++i) delete entries[i];
  delete[] entries;
  return MaxSeverity;
}

int BuildFromDirectory(int flags) {
  EntryList list;
  if (!list.Read(flags)) {
    ReportText(3000, "Error:  Out of memory.\n");
    return MaxSeverity;
  }
  WriteOutput(list.entries, list.count);
  return MaxSeverity;
}

}  // namespace

bool ScanIndexOptions(int argc, char** argv, int* optionFlags) {
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (arg[0] != '-' && arg[0] != '/') continue;
    if (!ApplyOption(arg + 1, optionFlags)) return false;
  }
  return true;
}

void PrintIndexUsage() {
  const char* name = PrintBanner();  // as the program was started, for the usage line
  printf("\nBuilds an HTML index file.\n");
  printf("The build parameters are read from the standard configuration files.\n");
  printf("Read the Tessarin documentation for more information.\n\n");
  printf("%s [/D]\n\n", name);
  printf("  /D  Include directories without indexes\n");
}

void ApplyNoJavascript() {
  indexSettings.slides = SlidesMode::Simple;
  indexSettings.links = LinkMode::Standard;
  BacklinkMode& backlink = indexSettings.backlink;
  if (backlink == BacklinkMode::Smart || backlink == BacklinkMode::Close ||
      backlink == BacklinkMode::Back) {
    backlink = BacklinkMode::Parent;
  }
  indexSettings.index = IndexMode::Formatted;
}

bool CheckIndexSettings() {
  bool window = indexSettings.slides == SlidesMode::Window;
  bool dbGiven = indexSettings.indexDbGiven;
  struct Check {
    bool failed;
    const char* detail;
  } const checks[] = {
      {indexSettings.index == IndexMode::Sequence && !window,
       "  \"index=sequence\" must be used with \"slides=window\"\n"},
      {indexSettings.index == IndexMode::Searchable && !window,
       "  \"index=searchable\" must be used with \"slides=window\"\n"},
      {cgiMode && !window,
       "  The \"slides=window\" configuration option must be used in CGI mode.\n"},
      {cgiMode && !dbGiven,
       "  The \"indexDB\" configuration option must be used in CGI mode.\n"},
      {!cgiMode && dbGiven,
       "  The \"indexDB\" configuration option can only be used in CGI mode.\n"},
  };
  for (const Check& check : checks) {
    if (!check.failed) continue;
    ReportText(3000, "Error:  Invalid configuration.\n");
    ReportText(0, check.detail);
    return false;
  }
  return true;
}

int IndexListingFlags(int optionFlags) {
  int flags = optionFlags | kListPages | kListIndexedDirs | kListAliases;
  if (indexSettings.slidePages || indexSettings.index != IndexMode::Formatted) {
    flags |= kListImages | kListImagePages;
  }
  if (indexSettings.index == IndexMode::Sequence) {
    flags &= ~(kListPages | kListFiles | kListAllDirs | kListIndexedDirs);
  }
  if (DirExists("thumbs") || FileExists("symlinks.txt")) flags |= kListImagePageThumbs;
  if (indexSettings.sort == SortMode::Unsorted) flags |= kListUnsorted;
  if (indexSettings.sort == SortMode::Natural) flags |= kListNaturalSort;
  if (indexSettings.symlinkOrder) flags |= kListAliasDefaultOrder;
  return flags;
}

int BuildIndexPage(int argc, char** argv) {
  int optionFlags = 0;
  if (!ScanIndexOptions(argc, argv, &optionFlags)) {
    PrintIndexUsage();
    return 0;
  }
  SetCgiUrl(argc, argv);
  ReadConfiguration(argc > 0 ? argv[0] : nullptr);
  if (!indexSettings.javascript) ApplyNoJavascript();
  if (!CheckIndexSettings()) return MaxSeverity;
  ReadKeyIcons();

  int flags = IndexListingFlags(optionFlags);
  if (indexSettings.slides == SlidesMode::Frameset) AddSpecialName("frameset.htm");
  if (indexSettings.pageSize > 0) SetNumberedIndexes(true);
  int result = cgiMode ? BuildFromIndexDB(flags) : BuildFromDirectory(flags);
  indexRun.request.reset();
  return result;
}
