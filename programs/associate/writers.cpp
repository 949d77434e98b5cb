#include "programs/associate/writers.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/ascii_case.h"
#include "platform/registry.h"
#include "programs/associate/class_key.h"
#include "programs/associate/flags.h"
#include "programs/associate/locate.h"
#include "programs/associate/registration.h"

namespace {

const RegistryKey& ClassesRoot() {
  static const RegistryKey root = RegistryRootKey(RegistryRoot::kClassesRoot);
  return root;
}

// The shell's own verbs carry their menu text themselves.
bool IsShellVerb(const char* actionKey) {
  for (const char* verb : {"open", "print", "explore", "find", "openas", "properties", "printto"}) {
    if (SameNoCase(actionKey, verb)) return true;
  }
  return false;
}

void CopyCut(const std::string& text, char* buffer, size_t size) {
  if (size == 0) return;
  size_t length = text.size() < size - 1 ? text.size() : size - 1;
  memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
}

// A new command drops the DDE settings of the action it replaces.
void DeleteDdeKeys(const std::string& actionPath) {
  for (const char* key : {"ddeexec\\ifexec", "ddeexec\\topic", "ddeexec\\application", "ddeexec"}) {
    DeleteRegistryKey(ClassesRoot(), (actionPath + "\\" + key).c_str());
  }
}

bool WriteAction(const ClassKey& classKey, const char* name, const char* action, const char* value,
                 const char* fieldKey) {
  char actionKey[kMaxCommandText + 1];
  ActionKeyName(action, actionKey, sizeof actionKey);
  std::string actionPath = std::string(classKey.keyName) + "\\shell\\" + actionKey;
  bool isCommand = strcmp(fieldKey, "command") == 0;
  if (isCommand && !runFlags.printOnly) DeleteDdeKeys(actionPath);
  bool ok = IsShellVerb(actionKey) || WriteDefaultValue(actionPath.c_str(), action);
  ok = ok && WriteDefaultValue((actionPath + "\\" + fieldKey).c_str(), value);
  if (!ok) {
    PrintCommandError("Unable to write to the registry.\n");
    return false;
  }
  if (!runFlags.quiet) PrintSummary(classKey, name, value, action);
  return true;
}

bool DeleteAction(const char* name, const char* action) {
  ClassKey classKey;
  if (!OpenClassKey(name, &classKey, false)) {
    PrintSummary(classKey, name, "Not registered.", nullptr);
    return true;
  }
  char actionKey[kMaxCommandText + 1];
  ActionKeyName(action, actionKey, sizeof actionKey);
  std::string subkey = std::string("shell\\") + actionKey;
  bool ok = true;
  if (runFlags.printOnly) {
    printf("DELETE:  \\HKEY_CLASSES_ROOT\\%s\\%s\n", classKey.keyName, subkey.c_str());
  } else {
    ok = DeleteRegistryKey(classKey.key, subkey.c_str());
  }
  CloseClassKey(&classKey);
  if (!ok) {
    printf("Error:  Can't delete action \"%s\" from class \"%s\".\n", action, name);
    return false;
  }
  if (!runFlags.quiet) printf("%s:  Action \"%s\" deleted.\n", name, action);
  return true;
}

bool WriteShellNew(const char* extension, const char* valueName, const char* value) {
  RegistryKey extensionKey, shellNew;
  if (!CreateRegistryKey(ClassesRoot(), extension, &extensionKey) ||
      !CreateRegistryKey(extensionKey, "ShellNew", &shellNew)) {
    return false;
  }
  for (const char* old : {"Command", "NullFile", "FileName", "Data"}) DeleteRegistryValue(shellNew, old);
  return SetRegistryValue(shellNew, valueName, value);
}

bool DeleteDefaultIcon(const char* name) {
  ClassKey classKey;
  if (!OpenClassKey(name, &classKey, false)) {
    if (!runFlags.quiet) PrintSummary(classKey, name, "Icon does not exist.", nullptr);
    return true;
  }
  bool ok = true;
  if (runFlags.printOnly) {
    printf("\\HKEY_CLASSES_ROOT\\%s\\DefaultIcon = {deleted}\n", classKey.keyName);
  } else {
    ok = DeleteRegistryKey(classKey.key, "DefaultIcon");
  }
  if (!ok) {
    PrintSummary(classKey, name, "Unable to delete the icon.", nullptr);
  } else if (!runFlags.quiet) {
    PrintSummary(classKey, name, "Icon deleted.", nullptr);
  }
  CloseClassKey(&classKey);
  return ok;
}

}  // namespace

const char* SplitToken(const char* source, char* destination, size_t size, const char* delimiters) {
  bool quoted = false;
  size_t length = 0;
  const char* p = source;
  for (; *p; ++p) {
    if (*p == '"') {
      quoted = !quoted;
      continue;
    }
    if (!quoted && strchr(delimiters, *p)) break;
    if (length + 1 < size) destination[length++] = *p;
  }
  if (size > 0) destination[length] = '\0';
  return p;
}

void ActionKeyName(const char* text, char* buffer, size_t size) {
  if (size == 0) return;
  size_t length = 0;
  for (const char* p = text; *p && length + 1 < size; ++p) {
    if (*p == '&') continue;
    buffer[length++] = *p == ' ' ? '_' : *p;
  }
  buffer[length] = '\0';
}

bool BuildCommandText(const char* text, char* buffer, size_t size) {
  char program[kMaxCommandText + 1];
  const char* parameters = SplitToken(text, program, sizeof program, " ");
  if (!LocateCommand(program, sizeof program)) {
    PrintCommandError("The specified executable command does not exist.\nThe association was not made.\n");
    return false;
  }
  std::string command = strchr(program, ' ') ? "\"" + std::string(program) + "\"" : std::string(program);
  command += parameters;
  if (command.size() >= size) {
    PrintCommandError("The command is longer than %zu characters.\nThe association was not made.\n",
                      size - 1);
    return false;
  }
  CopyCut(command, buffer, size);
  return true;
}

bool SetAction(const char* name, const char* description, const char* action, const char* value,
               const char* fieldKey) {
  ClassKey classKey;
  if (!OpenClassKeyForWrite(name, &classKey, description)) {
    PrintSummary(classKey, name, "Can't access registry.", nullptr);
    return false;
  }
  bool ok = true;
  if (*action && *value) ok = WriteAction(classKey, name, action, value, fieldKey ? fieldKey : "command");
  CloseClassKey(&classKey);
  return ok;
}

bool DeleteClassOrAction(const char* name, const char* /*description*/, const char* action) {
  if (action && *action) return DeleteAction(name, action);
  if (runFlags.printOnly) {
    printf("DELETE:  \\HKEY_CLASSES_ROOT\\%s\n", name);
  } else if (!DeleteRegistryKey(ClassesRoot(), name)) {
    printf("Can't delete \"%s\".\n", name);
    return false;
  }
  if (!runFlags.quiet) printf("%s:  Deleted.\n", name);
  return true;
}

bool SetShellNew(const char* extension, const char* valueName, const char* value) {
  if (runFlags.printOnly) {
    printf("\\HKEY_CLASSES_ROOT\\%s\\ShellNew\\%s = \"%s\"\n", extension, valueName, value);
  } else if (!WriteShellNew(extension, valueName, value)) {
    PrintCommandError("Unable to write to the registry.\n");
    return false;
  }
  if (!runFlags.quiet) printf("%s:  New %s = %s\n", extension, valueName, value);
  return true;
}

bool SetNewCommand(const char* name, const char* text) {
  if (!IsExtension(name)) {
    PrintCommandError("It is illegal to create a New command for a class name.\n");
    return false;
  }
  char command[kMaxCommandText + 1];
  return BuildCommandText(text, command, sizeof command) && SetShellNew(name, "Command", command);
}

bool SetDefaultIcon(const char* name, const char* description, const char* iconText) {
  if (!*iconText) return DeleteDefaultIcon(name);
  char file[kMaxCommandText + 1];
  const char* number = SplitToken(iconText, file, sizeof file, ",");
  if (!LocateCommand(file, sizeof file)) {
    PrintCommandError("The specified icon file does not exist.\nNo associations were made.\n");
    return false;
  }
  std::string value = std::string(file) + number;
  if (value.size() > kMaxCommandText) {
    PrintCommandError("The icon is longer than %zu characters.\nNo associations were made.\n",
                      kMaxCommandText);
    return false;
  }
  ClassKey classKey;
  if (!OpenClassKeyForWrite(name, &classKey, description)) {
    PrintSummary(classKey, name, "Can't access registry.", nullptr);
    return false;
  }
  bool ok = WriteDefaultValue((std::string(classKey.keyName) + "\\DefaultIcon").c_str(), value.c_str());
  if (!ok) {
    PrintCommandError("Unable to write to the registry.\n");
  } else if (!runFlags.quiet) {
    PrintSummary(classKey, name, value.c_str(), "Icon");
  }
  CloseClassKey(&classKey);
  return ok;
}

bool SetActionOrder(const char* name, const char* list) {
  char order[kMaxCommandText + 1];
  ActionKeyName(list, order, sizeof order);
  ClassKey classKey;
  if (!OpenClassKey(name, &classKey, false)) {
    PrintSummary(classKey, name, "Can't access registry.", nullptr);
    return false;
  }
  bool ok = true;
  if (runFlags.printOnly) {
    printf("\\HKEY_CLASSES_ROOT\\%s\\shell = \"%s\"\n", classKey.keyName, order);
  } else {
    RegistryKey shell;
    ok = OpenRegistryKey(classKey.key, "shell", &shell) && SetRegistryValue(shell, nullptr, order);
  }
  if (!ok) {
    PrintCommandError("Unable to write to the registry.\n");
  } else if (!runFlags.quiet) {
    PrintSummary(classKey, name, list, "Order");
  }
  CloseClassKey(&classKey);
  return ok;
}
