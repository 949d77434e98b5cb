#include "programs/manivet/manivet.h"

#include <cstdio>
#include <cstring>

#include "platform/ascii_case.h"
#include "platform/attributes.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "platform/listing.h"
#include "shared/filter_errors.h"
#include "shared/linked_list.h"
#include "shared/stream_written.h"

namespace {

constexpr const char* kListName = "FILELIST.TXT";
constexpr int kLineSize = 260;

BOMFile* listHead = nullptr;
BOMFile* listTail = nullptr;

struct Options {
  bool print = false;
  bool checkSizes = true;
  bool verbose = false;
  const char* directory = nullptr;
};

// What has been written so far, for the empty lines between paragraphs.
struct Output {
  bool printedSomething = false;
};

const char* const kHelpText[] = {
    "MANIVET, Directory Bill Of Materials Checker, Version 1.00\n",
    "\nCompares the contents of the specified directory to the Bill Of Materials file\n",
    "called \"FILELIST.TXT\" in that same directory.  Displays all differences.\n",
    "\nMANIVET [/P] [/S] [/V] directory\n\n",
    "  /P    Print a Bill Of Materials.\n",
    "  /S    Don't check file sizes.\n",
    "  /V    Verbose mode.\n",
    "\nEach line of \"FILELIST.TXT\" lists one file as follows:\n",
    "\n  filename [tab|spaces filesize] [// comment]\n",
    "\nYou can generate a sorted Bill Of Materials file by typing the following:\n",
    "\n  MANIVET /P | SORT >FILELIST.TXT\n",
    "\nReturns exit status 0 if matches, or 1 if differences were found.\n",
};

// The next run of characters other than tab and line feed, cut behind it.
char* NextToken(char** cursor) {
  char* start = *cursor + strspn(*cursor, "\t\n");
  if (!*start) return nullptr;
  char* end = start + strcspn(start, "\t\n");
  *cursor = *end ? end + 1 : end;
  *end = '\0';
  return start;
}

// The text without the blanks (' ' only) at either end, in place: a tab or
// a line end would have ended the token already.
char* TrimSpaces(char* text) {
  while (*text == ' ') ++text;
  size_t length = strlen(text);
  while (length > 0 && text[length - 1] == ' ') --length;
  text[length] = '\0';
  return text;
}

// Decimal digits as a long integer; sizes of 2 GB and more keep their low
// 32 bits, as the directory's sizes are compared.
int32_t LowBitsOfDecimal(const char* digits) {
  uint64_t value = 0;
  for (; *digits >= '0' && *digits <= '9'; ++digits) value = value * 10 + (*digits - '0');
  return static_cast<int32_t>(static_cast<uint32_t>(value));
}

int32_t LowBits(uint64_t size) { return static_cast<int32_t>(static_cast<uint32_t>(size)); }

// Reads one line into `line`; the rest of a longer line is dropped, so that
// a long comment never reads as a file name of its own.
bool ReadListLine(FILE* stream, char (&line)[kLineSize]) {
  if (!fgets(line, sizeof line, stream)) return false;
  if (!strchr(line, '\n') && strlen(line) == sizeof line - 1) {
    int c;
    while ((c = fgetc(stream)) != EOF && c != '\n') {
    }
  }
  return true;
}

BOMFile* FindRecord(const char* name) {
  for (BOMFile* record = listHead; record; record = record->next) {
    if (SameNoCase(record->name, name)) return record;
  }
  return nullptr;
}

// The entries of the directory that the list speaks of: files that are not
// hidden, other than the list itself.
bool IsListedKind(const FindData& entry) {
  return !(entry.attributes & (kAttrDirectory | kAttrHidden)) &&
         !SameNoCase(entry.name, kListName);
}

template <typename Visit>
void ForEachListedFile(Visit visit) {
  FindData entry;
  FindState* search = FindFirst("*", &entry);
  if (!search) return;
  do {
    if (IsListedKind(entry)) visit(entry);
  } while (FindNext(search, &entry));
  FindClose(search);
}

bool TakeArguments(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    if (argument[0] != '-' && argument[0] != '/') {
      options->directory = argument;
      continue;
    }
    switch (UpperAscii(argument[1])) {
      case 'P': options->print = true; break;
      case 'S': options->checkSizes = false; break;
      case 'V': options->verbose = true; break;
      default: return false;
    }
  }
  return true;
}

void PrintHelp() {
  for (const char* line : kHelpText) fputs(line, stdout);
}

void PrintBillOfMaterials() {
  ForEachListedFile([](const FindData& entry) {
    printf("%s\t%ld\n", entry.name, static_cast<long>(LowBits(entry.size)));
  });
}

bool ReadBillOfMaterials() {
  FILE* stream = OpenFile(kListName, "r");
  if (!stream) {
    fprintf(stderr, "Error:  Can't open \"%s\".\n", kListName);
    return false;
  }
  char line[kLineSize];
  while (ReadListLine(stream, line)) {
    const char* name;
    int32_t size;
    if (ParseBillOfMaterialsLine(line, &name, &size)) new BOMFile(name, size);
  }
  fclose(stream);
  return true;
}

// A paragraph's heading before its first line, after an empty line when
// something came before.
void Heading(const char* text, Output* output) {
  if (output->printedSomething) putchar('\n');
  fputs(text, stdout);
  output->printedSomething = true;
}

// A paragraph that lists files, headed before its first one.
struct FileParagraph {
  const char* heading;
  Output* output;
  int32_t count = 0;

  void Add(const char* name) {
    if (count == 0) Heading(heading, output);
    printf("  %s\n", name);
    ++count;
  }
};

int32_t ReportMissing(Output* output) {
  FileParagraph missing{"The following files are missing from the directory:\n", output};
  for (BOMFile* record = listHead; record; record = record->next) {
    if (!PathExists(record->name)) missing.Add(record->name);
  }
  return missing.count;
}

int32_t ReportNotListed(Output* output) {
  FileParagraph notListed{"The following files are not in the Bill Of Materials:\n", output};
  ForEachListedFile([&](const FindData& entry) {
    if (!FindRecord(entry.name)) notListed.Add(entry.name);
  });
  return notListed.count;
}

int32_t ReportWrongSizes(Output* output) {
  FileParagraph wrongSize{"The following files have the wrong size:\n", output};
  ForEachListedFile([&](const FindData& entry) {
    BOMFile* record = FindRecord(entry.name);
    if (record && record->size != -1 && record->size != LowBits(entry.size)) wrongSize.Add(entry.name);
  });
  return wrongSize.count;
}

int CompareWithList(const Options& options) {
  if (!ReadBillOfMaterials()) return 1;
  Output output;
  if (options.verbose) {
    char current[kMaxPath + 1];
    if (GetCurrentDir(current, sizeof current)) {
      printf("Checking Bill Of Materials for directory\n  %s\n", current);
      output.printedSomething = true;
    }
  }
  int32_t differences = ReportMissing(&output);
  differences += ReportNotListed(&output);
  if (options.checkSizes) differences += ReportWrongSizes(&output);
  if (differences == 0) {
    Heading("The directory matches the Bill Of Materials.\n", &output);
    return 0;
  }
  return 1;
}

}  // namespace

BOMFile::BOMFile(const char* fileName, int32_t fileSize) : size(fileSize) {
  size_t length = strlen(fileName);
  name = new char[length + 1];
  memcpy(name, fileName, length + 1);
  AppendNode(this, &listHead, &listTail);
}

// For the tests (testing/bom_list.h).
BOMFile* FirstBOMFile() { return listHead; }

bool ParseBillOfMaterialsLine(char* line, const char** name, int32_t* size) {
  line[strcspn(line, "/\\:")] = '\0';
  // Leading blanks are indentation, never the run that separates the size.
  char* text = line + strspn(line, " ");
  char* twoBlanks = strstr(text, "  ");
  if (twoBlanks) *twoBlanks = '\t';
  char* cursor = text;
  char* nameToken = NextToken(&cursor);
  if (!nameToken) return false;
  nameToken = TrimSpaces(nameToken);
  // A line of blanks (before a comment) names no file.
  if (!*nameToken) return false;
  *name = nameToken;
  *size = -1;
  char* sizeToken = NextToken(&cursor);
  if (sizeToken) {
    sizeToken += strspn(sizeToken, " ");
    if (*sizeToken >= '0' && *sizeToken <= '9') *size = LowBitsOfDecimal(sizeToken);
  }
  return true;
}

int CheckBillOfMaterials(int argc, char** argv) {
  Options options;
  if (!TakeArguments(argc, argv, &options)) {
    PrintHelp();
    return 0;
  }
  if (options.directory && !SetCurrentDir(options.directory)) {
    fprintf(stderr, "Error:  Can't open directory \"%s\".\n", options.directory);
    return 1;
  }
  int status = 0;
  if (options.print) {
    PrintBillOfMaterials();
  } else {
    status = CompareWithList(options);
  }
  if (!StreamWritten(stdout)) return OutputWriteFailed(1);
  return status;
}
