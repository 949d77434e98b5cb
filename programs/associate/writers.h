// The changes a command makes: actions, deletions, the new-file entries, the
// icon and the action order of a file type.
#pragma once

#include <cstddef>

// Command texts are at most this long (terminator excluded).
constexpr size_t kMaxCommandText = 255;

// Copies `source` up to the first of `delimiters` outside double quotes into
// `destination` (at most size-1 characters; the quotes themselves are not
// copied) and returns the position of that delimiter or of the end.
const char* SplitToken(const char* source, char* destination, size_t size, const char* delimiters);

// The key name of an action: blanks become '_', '&' is removed.
void ActionKeyName(const char* text, char* buffer, size_t size);

// Writes `value` into the action's field key ("command" when null), with the
// action's menu text.
bool SetAction(const char* name, const char* description, const char* action, const char* value,
               const char* fieldKey);
// Deletes the action of a class, or without an action the whole key `name`.
bool DeleteClassOrAction(const char* name, const char* description, const char* action);
// Sets the one ShellNew value of an extension.
bool SetShellNew(const char* extension, const char* valueName, const char* value);
// The ShellNew command of an extension: program (searched) and parameters.
bool SetNewCommand(const char* name, const char* text);
// Sets ("iconfile[,number]") or with an empty text deletes the default icon.
bool SetDefaultIcon(const char* name, const char* description, const char* iconText);
// Sets the action order of a file type's "shell" key.
bool SetActionOrder(const char* name, const char* list);

// The full program text of a command: the program (searched, quoted when its
// path holds a blank) and the parameters. Prints the error when the program
// cannot be found.
bool BuildCommandText(const char* text, char* buffer, size_t size);
