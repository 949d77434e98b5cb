#include "programs/infoed/infoed.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "pagehead/edit_string.h"
#include "pagehead/html_file.h"
#include "pagehead/page_name.h"
#include "platform/drives.h"
#include "shared/chars.h"
#include "shared/keywords.h"

namespace {

const char kInvalidOption[] = "Error:  command-line option \"%s\" is invalid.\n";
const char kCreateTooLate[] = "Error:  command-line option \"%s\" must appear before the file name.\n";

// The one page head the program works with.
HTMLFile page;

bool IsOption(const char* argument) { return argument[0] == '/' || argument[0] == '-'; }

bool IsCreateOption(const char* argument) {
  return IsOption(argument) && ToUpper(argument[1]) == 'C' && argument[2] == 0;
}

void PrintHelp() {
  fputs(
      "INFOED, HTML File Information Editor, Version 1.16.\n\n"
      "INFOED [/C] filename [/T:title | /D:description | /S:sortorder | /F:forwardURL |\n"
      "                     /K:keywordlist | /M:ops | /B:body]\n\n"
      "  filename           The name of the file to be modified.  If the file is not\n"
      "                     an HTML file, the corresponding HTML file will be changed.\n"
      "  /C                 Create file if it doesn't exist.\n"
      "  /T:title           Set title to \"title\".\n"
      "  /D:description     Set description to \"description\".\n"
      "  /S:sortorder       Set sort order to \"sortorder\".\n"
      "  /F:forwardURL      Set forward URL to \"forwardURL\".\n"
      "  /K:keywordlist     Set keyword list to \"keywordlist\" (comma seperated list).\n"
      "  /M:ops             Modify keyword list using \"ops\" (comma seperated list).\n"
      "  /B:body            Set body tag parameters to \"body\".  Use single quotes\n"
      "                     (') where double quotes (\") are needed in \"body\" text.\n\n"
      "Special operators may be used as in INFOEDW.EXE with the following\n"
      "restrictions (imposed by the command line interpreter, COMMAND.COM):\n"
      "1.  Text containing <, >, or | must appear in quotes.\n"
      "    Example:  INFOED index.htm /D:\"> appended text\"\n"
      "2.  Each occurence of % must be doubled (%%).\n"
      "    Example:  INFOED index.htm /T:%%FILENAME%%\n\n"
      "If no options are given, mode will be interactive.\n",
      stdout);
}

// The report of a change: "<page>:  <field> = "<value>".".
std::string ReportLine(const char* pageName, const char* field, const char* value) {
  return std::string(pageName) + ":  " + field + " = \"" + value + "\".\n";
}

// Applies the command's option; true when it counts as a change, with the
// report line in `report`.
bool ApplyOption(const InfoedCommand& command, const char* pageName, std::string* report) {
  const char* value = command.value;
  switch (command.letter) {
    case 'T': {
      String title = EditString(page.Title(), value, pageName);
      page.SetTitle(title);
      *report = ReportLine(pageName, "Title", title);
      return true;
    }
    case 'D': {
      String description = EditString(page.Description(), value, pageName);
      page.SetDescription(description);
      *report = ReportLine(pageName, "Description", description);
      return true;
    }
    case 'S':
      page.SetSortOrder(value);
      *report = ReportLine(pageName, "Sort Order", value);
      return true;
    case 'F':
      page.SetForward(value);
      *report = ReportLine(pageName, "Forward URL", value);
      return true;
    case 'K':
      page.SetKeywords(value);
      *report = ReportLine(pageName, "Keywords", value);
      return true;
    case 'M': {
      String list = page.Keywords();
      if (!ApplyKeywordOps(list, value)) return false;
      const char* text = Chars(list);
      page.SetKeywords(text);
      *report = ReportLine(pageName, "Keywords", text);
      return true;
    }
    default: {  // 'B'
      std::string body(value);
      for (char& c : body) {
        if (c == '\'') c = '"';
      }
      // Compared as the page keeps it, so a text beyond the field's limit
      // does not count as a change on every run.
      if (body.compare(0, HTMLFileInfo::Limit(kBody), page.Info().body) == 0) return false;
      page.SetBody(body.c_str());
      *report = ReportLine(pageName, "Body", body.c_str());
      return true;
    }
  }
}

// One typed line without its line end, whole (a value too long for its
// field is refused when the page is written, never cut); empty at the end of
// the input.
std::string ReadTypedLine() {
  std::string line;
  for (int c = fgetc(stdin); c != EOF && c != '\n'; c = fgetc(stdin)) {
    line.push_back(static_cast<char>(c));
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

void PrintValues(const char* before) {
  const HTMLFileInfo& info = page.Info();
  printf("%sTitle:        %s\n", before, info.title);
  printf("Description:  %s\n", info.description);
  printf("Sort Order:   %s\n", info.sortOrder);
  printf("Forward URL:  %s\n\n", info.forward);
}

// Prompts for the four values; true when any was typed.
bool EditInteractively() {
  PrintValues("");
  printf("Press Enter for no change.\n");
  struct Prompt {
    const char* text;
    bool (HTMLFile::*set)(const char*);
  };
  static const Prompt prompts[] = {
      {"New Title:  ", &HTMLFile::SetTitle},
      {"New Description:  ", &HTMLFile::SetDescription},
      {"New Sort Order:  ", &HTMLFile::SetSortOrder},
      {"New Forward URL:  ", &HTMLFile::SetForward},
  };
  bool changed = false;
  for (const Prompt& prompt : prompts) {
    fputs(prompt.text, stdout);
    fflush(stdout);
    std::string line = ReadTypedLine();
    if (line.empty()) continue;
    (page.*prompt.set)(line.c_str());
    changed = true;
  }
  PrintValues("\n");
  return changed;
}

}  // namespace

String JoinArguments(const char* rest, int argc, char** argv, int next) {
  std::string joined(rest);
  for (int i = next; i < argc; ++i) {
    if (!joined.empty()) joined += ' ';
    joined += argv[i];
  }
  return String(joined.c_str());
}

InfoedCommand ParseInfoedCommand(int argc, char** argv) {
  InfoedCommand command;
  int next = 1;
  if (next < argc && IsOption(argv[next])) {
    if (!IsCreateOption(argv[next])) {
      command.help = true;
      return command;
    }
    command.create = true;
    ++next;
  }
  if (next >= argc) {
    command.help = true;
    return command;
  }
  command.fileName = argv[next++];
  if (next >= argc) return command;
  const char* option = argv[next++];
  command.badOption = option;
  command.error = kInvalidOption;
  if (!IsOption(option) || option[1] == 0) return command;
  const char* rest = option[2] == ':' ? option + 3 : option + 2;
  char letter = ToUpper(option[1]);
  switch (letter) {
    case 'T':
    case 'D':
    case 'K':
    case 'M':
    case 'B':
      command.value = JoinArguments(rest, argc, argv, next);
      break;
    case 'S':
    case 'F':
      command.value = String(rest);
      break;
    case 'C':
      command.error = kCreateTooLate;
      return command;
    default:
      return command;
  }
  command.letter = letter;
  command.error = nullptr;
  command.badOption = nullptr;
  return command;
}

int EditFileInformation(int argc, char** argv) {
  InfoedCommand command = ParseInfoedCommand(argc, argv);
  if (command.help) {  // no file name, or a first option other than /C
    PrintHelp();
    return 0;
  }
  if (command.error) {
    fprintf(stderr, command.error, command.badOption);
    return 1;
  }
  // A condition that does not parse would stop or pass the operations
  // silently: it is refused before the page is touched.
  if (command.letter == 'M') {
    String bad = BadKeywordOperation(command.value);
    if (!bad.IsNull()) {
      fprintf(stderr, "Error:  expression syntax error.\n            %s\n", bad.Text());
      return 1;
    }
  }
  char fileName[kMaxPath + 1];
  CopyBounded(fileName, command.fileName, sizeof fileName);
  String pageName = PageNameString(fileName);
  if (command.create) CreateMissingPage(pageName);
  if (!page.Read(pageName)) {
    fprintf(stderr, "Error:  %s.\n", page.ErrorText());
    return 1;
  }
  std::string report;
  bool changed = command.letter ? ApplyOption(command, pageName, &report) : EditInteractively();
  if (!changed) {
    printf("No changes were made.\n");
    return 0;
  }
  if (!page.Write()) {
    fprintf(stderr, "Error:  %s.\n", page.ErrorText());
    return 1;
  }
  // The change is reported once it is stored.
  fputs(command.letter ? report.c_str() : "Changes have been saved.\n", stdout);
  return 0;
}
