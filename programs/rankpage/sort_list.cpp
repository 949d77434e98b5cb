#include "programs/rankpage/sort_list.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "pagehead/html_file.h"
#include "pagehead/page_name.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "shared/chars.h"
#include "shared/paths.h"
#include "shared/report.h"
#include "shared/string.h"

namespace {

// Lines of the list are taken to this many characters.
constexpr size_t kLineLimit = 260;

// The one page head the program works with, reused for every page.
HTMLFile page;

int ClampToInt(long long value) {
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

void ApplyPrefix(const char* prefix, SortListState* state) {
  if (*prefix == '+')
    state->number = ClampToInt(static_cast<long long>(state->number) + ParseNumber(prefix + 1));
  else if (*prefix == '-')
    state->number = ClampToInt(static_cast<long long>(state->number) - ParseNumber(prefix + 1));
  else if (IsDigit(*prefix))
    state->number = ParseNumber(prefix);
  if (const char* comma = strchr(prefix, ',')) state->increment = ParseNumber(comma + 1);
}

// One line of the list, cut to kLineLimit characters; false at the end.
bool ReadListLine(FILE* list, std::string* line) {
  line->clear();
  int c = fgetc(list);
  if (c == EOF) return false;
  for (; c != EOF && c != '\n'; c = fgetc(list)) {
    if (line->size() < kLineLimit) line->push_back(static_cast<char>(c));
  }
  return true;
}

}  // namespace

char* ParseSortLine(char* line, SortListState* state) {
  if (char* comment = strchr(line, '/')) *comment = 0;
  size_t length = strlen(line);
  while (length > 0 && IsSpace(line[length - 1])) line[--length] = 0;
  char* name = line;
  if (char* colon = strchr(line, ':')) {
    *colon = 0;
    ApplyPrefix(line, state);
    name = colon + 1;
  }
  while (IsSpace(*name)) ++name;
  return name;
}

void SetFileSortOrder(const char* path, int number) {
  char listed[kMaxPath + 1];
  CopyBounded(listed, path, sizeof listed);
  String name = PageNameString(listed);
  CreateMissingPage(name);
  if (!page.Read(name)) {
    Report(2000, "Error:  %s.\n", page.ErrorText());
    return;
  }
  char text[16];
  snprintf(text, sizeof text, "%d", number);
  // Compared as it would be stored, so a long number is not written anew
  // on every run.
  char stored[sizeof page.Info().sortOrder];
  CopyBounded(stored, text, sizeof stored);
  if (strcmp(stored, page.Info().sortOrder) == 0) return;
  page.SetSortOrder(text);
  if (page.Write())
    printf("%3d: %s\n", number, path);
  else
    Report(1000, "Warning:  %s.\n", page.ErrorText());
}

int AssignSortOrders(const char* listName) {
  FILE* list = OpenFile(listName, "r");
  if (!list) {
    Report(2000, "Can't open file \"%s\".\n", listName);
    return MaxSeverity;
  }
  SortListState state;
  std::string line;
  while (ReadListLine(list, &line)) {
    char* name = ParseSortLine(line.data(), &state);
    if (!*name) continue;
    if (!FileExists(name)) {
      Report(1000, "Warning:  File \"%s\" does not exist.\n", name);
      continue;
    }
    SetFileSortOrder(name, state.number);
    state.number = ClampToInt(static_cast<long long>(state.number) + state.increment);
  }
  fclose(list);
  return MaxSeverity;
}

void PrintRankpageHelp() {
  fputs(
      "RANKPAGE, Automatic HTML File Sort Order Setter, Version 1.02.\n\n"
      "Takes a sorted list of file names and assigns an incremental sort order number\n"
      "to each HTML file in the list.  Errors are logged to the Tessarin log file.\n\n"
      "RANKPAGE [sortfile]\n\n"
      "  sortfile      Name of the file which contains the pre-sorted list of file\n"
      "                names.\n\n"
      "Each line of the sortfile is in the following format:\n\n"
      "  [[sortorder][,increment]:][filename][//comment]\n\n"
      "Where,\n"
      "  sortorder     The sort order value to be assigned to the next file.\n"
      "  increment     The amount by which the sort order will be incremented after\n"
      "                assigning it to each subsequent file (default = 1).\n"
      "  filename      The name of the file to be assigned the next sort order value.\n"
      "                If this is not an HTML file, the HTML file with the same base\n"
      "                name will be used.\n"
      "  comment       A comment.\n",
      stdout);
}
