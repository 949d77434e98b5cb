#include "programs/associate/registration.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/registry.h"

namespace {

// Wrapped lines stay below this column.
constexpr size_t kLineWidth = 79;
// Registry texts are shown up to this length.
constexpr size_t kShownValue = 255;

const char kIndent[] = "    ";

void PrintRule(char c) {
  for (size_t i = 0; i < kLineWidth; ++i) putchar(c);
  putchar('\n');
}

// A value of an open key (at most kShownValue characters) when present.
bool ReadShown(const RegistryKey& key, const char* subkey, const char* valueName, std::string* text) {
  RegistryKey opened;
  if (!OpenRegistryKey(key, subkey, &opened) || !QueryRegistryValue(opened, valueName, text)) return false;
  *text = text->substr(0, strnlen(text->c_str(), kShownValue));
  return true;
}

// Prints "label" and the value when present; true when printed.
bool PrintShown(const char* format, const RegistryKey& key, const char* subkey, const char* valueName) {
  std::string text;
  if (!ReadShown(key, subkey, valueName, &text)) return false;
  printf(format, text.c_str());
  return true;
}

// The extension part of the dump; false when the extension is not registered.
bool DumpExtension(const char* name) {
  printf("File Name Extension:  %s\n", name);
  RegistryKey extension;
  if (!OpenRegistryKey(RegistryRootKey(RegistryRoot::kClassesRoot), name, &extension)) {
    printf("Not registered.\n");
    return false;
  }
  bool printed = PrintShown("Content Type (MIME):  %s\n", extension, nullptr, "Content Type");
  printed |= PrintShown("New Command:          %s\n", extension, "ShellNew", "Command");
  printed |= PrintShown("New Null File:        \"%s\"\n", extension, "ShellNew", "NullFile");
  printed |= PrintShown("New Data:             %s\n", extension, "ShellNew", "Data");
  printed |= PrintShown("New File Name:        %s\n", extension, "ShellNew", "FileName");
  if (printed) putchar('\n');
  return true;
}

void DumpAction(const RegistryKey& shell, const std::string& actionKey) {
  PrintRule('-');
  printf("Action Key:   %s\n", actionKey.c_str());
  RegistryKey action;
  if (!OpenRegistryKey(shell, actionKey.c_str(), &action)) return;
  std::string text;
  if (ReadShown(action, nullptr, nullptr, &text) && !text.empty()) printf("Action Text:  %s\n", text.c_str());
  PrintShown("Command:      %s\n", action, "command", nullptr);
  RegistryKey dde;
  if (!OpenRegistryKey(action, "ddeexec", &dde)) return;
  printf("DDE:\n");
  PrintShown("  Message:         %s\n", dde, nullptr, nullptr);
  PrintShown("  If Not Running:  %s\n", dde, "ifexec", nullptr);
  PrintShown("  Application:     %s\n", dde, "application", nullptr);
  PrintShown("  Topic:           %s\n", dde, "topic", nullptr);
}

void DumpClass(const ClassKey& classKey) {
  PrintShown("Default Icon:         %s\n", classKey.key, "DefaultIcon", nullptr);
  RegistryKey shell;
  if (!OpenRegistryKey(classKey.key, "shell", &shell)) return;
  std::string actionKey;
  for (size_t i = 0; EnumRegistrySubkey(shell, i, &actionKey); ++i) DumpAction(shell, actionKey);
}

std::string RegisteredText(const char* name, const ClassKey& classKey) {
  bool extension = IsExtension(name);
  std::string text = std::string(extension ? "Extension \"" : "Class \"") + name + "\" is ";
  char description[kShownValue + 1];
  switch (classKey.status) {
    case kClassOpen:
      text += "registered\nas ";
      if (ReadClassDescription(classKey, description, sizeof description)) {
        text += std::string("file type\n\"") + description + "\"";
      } else {
        text += "an unnamed file type";
      }
      if (extension) text += std::string("\n(") + classKey.keyName + ")";
      return text + ".\n";
    case kClassCompatible:
      return text + "registered\nin Windows 3.1 compatibility mode.";
    case kExtensionUntyped:
      return text + "registered,\nbut has no file type associated with it.";
    case kClassUnknown:
      if (extension) {
        return text + "registered,\nbut has an unregistered file type\nassociated with it\n(" +
               classKey.keyName + ").";
      }
      return text + "not registered.\n";
    default:
      return text + "not registered.\n";
  }
}

}  // namespace

void PrintWrapped(const char* text, const char* indent) {
  size_t column = 0;
  bool first = true;
  const char* phrase = text;
  while (*phrase) {
    const char* end = strchr(phrase, '\n');
    size_t length = end ? static_cast<size_t>(end - phrase) : strlen(phrase);
    if (length > 0) {
      if (first) {
        column = length;
      } else if (column + length < kLineWidth) {
        putchar(' ');
        column += 1 + length;
      } else {
        printf("\n%s", indent);
        column = strlen(indent) + length;
      }
      fwrite(phrase, 1, length, stdout);
      first = false;
    }
    phrase += length;
    if (*phrase == '\n') ++phrase;
  }
  putchar('\n');
}

void PrintCommandError(const char* format, ...) {
  fputs("Error:  ", stdout);
  va_list args;
  va_start(args, format);
  vprintf(format, args);
  va_end(args);
}

void PrintSummary(const ClassKey& classKey, const char* name, const char* message, const char* label) {
  char description[kShownValue + 1];
  std::string text = name;
  if (!IsExtension(classKey.keyName) && ReadClassDescription(classKey, description, sizeof description)) {
    text += std::string(" (") + description + ")";
  }
  text += ": \n";
  if (label) text += std::string(label) + " =\n";
  text += message;
  PrintWrapped(text.c_str(), kIndent);
}

void PrintRegistration(const char* name, const ClassKey& classKey) {
  PrintWrapped(RegisteredText(name, classKey).c_str(), kIndent);
}

void DumpFileType(const char* name) {
  PrintRule('=');
  if (IsExtension(name) && !DumpExtension(name)) return;
  ClassKey classKey;
  OpenClassKey(name, &classKey, false);
  printf("Class Name:           %s\n", IsExtension(classKey.keyName) ? "(none)" : classKey.keyName);
  char description[kShownValue + 1];
  switch (classKey.status) {
    case kClassOpen:
      printf("Description of Type:  %s\n",
             ReadClassDescription(classKey, description, sizeof description) ? description : "(none)");
      break;
    case kClassCompatible:
      break;
    case kExtensionUntyped:
      return;
    default:
      printf("Not registered.\n");
      return;
  }
  DumpClass(classKey);
  CloseClassKey(&classKey);
}
