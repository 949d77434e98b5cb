#include "programs/associate/associate.h"

#include <cstdio>
#include <cstring>

#include "platform/ascii_case.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "programs/associate/class_key.h"
#include "programs/associate/flags.h"
#include "programs/associate/registration.h"
#include "programs/associate/writers.h"
#include "shared/filter_errors.h"
#include "shared/stream_written.h"

namespace {

// A command longer than the command buffers hold is refused, never cut.
constexpr char kTooLong[] = "The command is longer than 255 characters.\n";

const char kUsage[] =
    "ASSOCIATE, Version 2.07\n"
    "Associates a command with a file name extension.\n"
    "\n"
    "ASSOCIATE [/L] {.ext|class}\n"
    "ASSOCIATE [options] {.ext|class}[(filetype)] action=[command parameters]\xFD\n"
    "ASSOCIATE [options] {.ext|class}[(filetype)] action:field=data\n"
    "ASSOCIATE [options] {.ext|class}[(filetype)]:ORDER=action,action[,action[,...]]\n"
    "ASSOCIATE [options] {.ext|class}[(filetype)]:ICON=[iconfile,number]\xFD\n"
    "ASSOCIATE [options] .ext:NEWCMD=command parameters\n"
    "ASSOCIATE [options] .ext:NEWFILE=filename\n"
    "ASSOCIATE [options] .ext:NEWNULL\n"
    "ASSOCIATE [options] .ext=[{.ext|class}]\xFD\n"
    "ASSOCIATE [options] class=   \xFD\n"
    "ASSOCIATE [options] /F cmdfile\n"
    "\n"
    "Notes:        \xFD = deletes the item if nothing follows the equals sign (=).\n"
    " /L           Print lots of information on the registered file type.\n"
    " ext          File name extension.\n"
    " class        Class name.\n"
    " filetype     A description of the file type.  This is only required if a new\n"
    "              file type is being created.\n"
    " action       The text that will appear in the context menu for this file type.\n"
    " command      The command that will be executed when the menu item is selected.\n"
    " parameters   The command parameters.  Use \"%1\" to represent the file name.\n"
    " field        One of the following DDE fields:\n"
    "                ddemsg = DDE message\n"
    "                ddeapp = DDE application\n"
    "                ddetop = DDE topic\n"
    "                dderun = DDE message if the application is not running\n"
    " iconfile     The file which contains the icon.\n"
    " number       The number of the icon in the file.\n"
    " filename     Name of a file in the \"C:\\WINDOWS\\ShellNew\" directory.\n"
    " cmdfile      Read the command line parameters from this file (except options).\n"
    " options:\n"
    "  /P          Print registry changes, but don't actually make the changes.\n"
    "  /Q          Quiet mode -- don't display informational messages.\n"
    "  /V          Verbose mode.\n"
    "\n"
    "Notation:     [] = optional, {a|b} = either a or b, lowercase = variable.\n"
    "\n"
    "Associating a command with an action deletes the DDE commands of that action,\n"
    "so the DDE associations of an action must follow its command association\n"
    "(in a command file, on later lines).\n";

// The DDE fields of an action and the keys that hold them.
struct DdeField {
  const char* word;
  const char* key;
};
const DdeField kDdeFields[] = {
    {"ddemsg=", "ddeexec"},
    {"ddeapp=", "ddeexec\\application"},
    {"ddetop=", "ddeexec\\topic"},
    {"dderun=", "ddeexec\\ifexec"},
};

// The length of `word` when `text` begins with it (letter case ignored), else 0.
size_t StartsWith(const char* text, const char* word) {
  return StartsNoCase(text, word) ? strlen(word) : 0;
}

const char* SkipBlanks(const char* p) {
  while (*p == ' ') ++p;
  return p;
}

// Passes the program's name, which may be quoted when its path holds blanks.
const char* SkipProgramName(const char* p) {
  bool quoted = false;
  for (; *p && (quoted || *p != ' '); ++p) {
    if (*p == '"') quoted = !quoted;
  }
  return p;
}

// "name=" deletes the key; "name=class" and "name=.other" set the class of
// an extension.
bool AssignClass(const char* name, const char* text) {
  text = SkipBlanks(text);
  if (!*text) return DeleteClassOrAction(name, "", nullptr);
  if (!IsExtension(name)) {
    PrintCommandError("Can't assign a class name.\n");
    return false;
  }
  char className[kMaxCommandText + 1];
  SplitToken(text, className, sizeof className, "");
  if (IsExtension(className)) {
    char other[kMaxCommandText + 1];
    if (!ReadDefaultValue(className, other, sizeof other)) {
      PrintCommandError("\"%s\" is not registered.\n", className);
      return false;
    }
    strcpy(className, other);
  }
  if (!WriteDefaultValue(name, className)) {
    PrintCommandError("Unable to write to registry.\n");
    return false;
  }
  if (!runFlags.quiet) printf("%s = %s\n", name, className);
  return true;
}

// The new-file fields directly after a name. False when `field` is none of
// them; `result` is the command's result otherwise.
bool RunNewFileField(const char* name, const char* field, bool* result) {
  if (size_t n = StartsWith(field, "NEWCMD=")) {
    *result = SetNewCommand(name, field + n);
  } else if (size_t n = StartsWith(field, "NEWFILE=")) {
    char file[kMaxCommandText + 1];
    SplitToken(field + n, file, sizeof file, "");
    *result = *file ? SetShellNew(name, "FileName", file) : SetShellNew(name, "NullFile", "");
  } else if (StartsWith(field, "NEWNULL")) {
    *result = SetShellNew(name, "NullFile", "");
  } else {
    return false;
  }
  return true;
}

// Reads "(file type)" into `description`; returns the position after ')',
// or null after printing the error.
const char* ReadFileType(const char* command, const char* open, char* description, size_t size) {
  const char* close = SplitToken(open + 1, description, size, ")");
  if (*close != ')') {
    PrintCommandError("Missing closing parentheses after filetype.\n");
    return nullptr;
  }
  if (close[1] != ' ' && close[1] != ':') {
    if (!runFlags.verbose) printf("%s\n", command);
    PrintCommandError("Space or colon must follow closing parenthesis.\n");
    return nullptr;
  }
  if (!*description || description[0] == ' ') {
    PrintCommandError("Invalid filetype.\n");
    return nullptr;
  }
  return close + 1;
}

void ShowFileType(const char* name) {
  if (runFlags.fullDump) {
    DumpFileType(name);
    return;
  }
  ClassKey classKey;
  OpenClassKey(name, &classKey, false);
  PrintRegistration(name, classKey);
  CloseClassKey(&classKey);
}

bool RunClassField(const char* name, const char* description, const char* field) {
  if (size_t n = StartsWith(field, "ICON=")) return SetDefaultIcon(name, description, SkipBlanks(field + n));
  if (size_t n = StartsWith(field, "ORDER=")) return SetActionOrder(name, field + n);
  PrintCommandError("Invalid field.\n");
  return false;
}

// "action=program parameters": an empty program deletes the action.
bool RunCommandAction(const char* name, const char* description, const char* action, const char* text) {
  text = SkipBlanks(text);
  if (!*text) return DeleteClassOrAction(name, description, action);
  char command[kMaxCommandText + 1];
  return BuildCommandText(text, command, sizeof command) &&
         SetAction(name, description, action, command, nullptr);
}

bool RunAction(const char* name, const char* description, const char* text) {
  char action[kMaxCommandText + 1];
  const char* p = SplitToken(text, action, sizeof action, "=:");
  if (!*p) {
    PrintCommandError("Missing command parameter.\n");
    return false;
  }
  if (*p == '=') return RunCommandAction(name, description, action, p + 1);
  const char* field = p + 1;
  for (const DdeField& dde : kDdeFields) {
    if (size_t n = StartsWith(field, dde.word)) {
      char value[kMaxCommandText + 1];
      snprintf(value, sizeof value, "%s", field + n);
      return SetAction(name, description, action, value, dde.key);
    }
  }
  if (size_t n = StartsWith(field, "command=")) return RunCommandAction(name, description, action, field + n);
  PrintCommandError("Invalid field name.\n");
  return false;
}

// Reads one line of a command file without its new line. A line longer
// than `size` - 1 characters is passed over and marked `tooLong`.
bool ReadCommandLine(FILE* file, char* line, size_t size, bool* tooLong) {
  *tooLong = false;
  if (!fgets(line, static_cast<int>(size), file)) return false;
  size_t length = strlen(line);
  if (length > 0 && line[length - 1] == '\n') {
    line[length - 1] = '\0';
    return true;
  }
  int c;
  while ((c = fgetc(file)) != EOF && c != '\n') *tooLong = true;
  return true;
}

int RunCommandFile(const char* text) {
  char fileName[kMaxPath + 1];
  SplitToken(text, fileName, sizeof fileName, "");
  FILE* file = OpenFile(fileName, "r");
  if (!file) {
    PrintCommandError("Can't open file \"%s\".\n", fileName);
    return 1;
  }
  bool failed = false;
  char line[kMaxCommandText + 1];
  bool tooLong = false;
  while (ReadCommandLine(file, line, sizeof line, &tooLong)) {
    unsigned char first = static_cast<unsigned char>(line[0]);
    if (first < '!' || first == ';') continue;
    if (tooLong) {
      if (runFlags.verbose) printf("%s...\n", line);
      PrintCommandError(kTooLong);
      failed = true;
      continue;
    }
    if (!RunAssociateCommand(line)) failed = true;
  }
  if (ferror(file)) failed = true;
  fclose(file);
  return failed ? 1 : 0;
}

}  // namespace

bool RunAssociateCommand(const char* text) {
  const char* command = SkipBlanks(text);
  if (!*command) return true;
  if (runFlags.verbose) printf("%s\n", command);
  char name[kMaxCommandText + 1];
  const char* p = SplitToken(command, name, sizeof name, " (=:");
  if (!*name) {
    PrintCommandError("Missing extension or class name.\n");
    return false;
  }
  bool result = false;
  if (*p == '=') return AssignClass(name, p + 1);
  if (*p == ':' && RunNewFileField(name, p + 1, &result)) return result;
  char description[kMaxCommandText + 1] = "";
  if (*p == '(' && !(p = ReadFileType(command, p, description, sizeof description))) return false;
  p = SkipBlanks(p);
  if (!*p) {
    ShowFileType(name);
    return true;
  }
  ClassKey classKey;
  if (!OpenClassKey(name, &classKey, false) && !*description) {
    PrintCommandError("The filetype was not specified for a new file type.\n");
    return false;
  }
  if (runFlags.verbose) PrintRegistration(name, classKey);
  CloseClassKey(&classKey);
  if (*p == ':') return RunClassField(name, description, p + 1);
  return RunAction(name, description, p);
}

void PrintAssociateUsage() { fputs(kUsage, stdout); }

int RunAssociations(const char* commandLine) {
  const char* p = SkipBlanks(SkipProgramName(commandLine ? commandLine : ""));
  if (strlen(p) > kMaxCommandText) {
    PrintCommandError(kTooLong);
    return 1;
  }
  bool usage = !*p;
  runFlags = AssociateFlags();
  while (*p == '-' || *p == '/') {
    switch (UpperAscii(p[1])) {
      case 'F': runFlags.commandFile = true; break;
      case 'L': runFlags.fullDump = true; break;
      case 'P': runFlags.printOnly = true; break;
      case 'Q': runFlags.quiet = true; break;
      case 'V': runFlags.verbose = true; break;
      default: usage = true; break;
    }
    while (*p && *p != ' ') ++p;
    p = SkipBlanks(p);
  }
  if (usage) {
    PrintAssociateUsage();
    return 0;
  }
  if (!*p) {
    PrintCommandError("Missing parameter on command line.\n");
    return 1;
  }
  int code = runFlags.commandFile ? RunCommandFile(p) : (RunAssociateCommand(p) ? 0 : 1);
  // What a query shows or /P prints is the run's result: it must arrive.
  if (!StreamWritten(stdout)) return OutputWriteFailed(1);
  return code;
}
