// The class key of a file type under HKEY_CLASSES_ROOT: found through an
// extension or by the class name, created on request, with its description.
#pragma once

#include <cstddef>

#include "platform/registry.h"

// Class and key names are at most this long (terminator excluded).
constexpr size_t kMaxKeyName = 128;

// How OpenClassKey found the class key.
enum ClassKeyStatus {
  kClassOpen = 0,          // the class key is open
  kClassCompatible = 1,    // the extension has its own "shell" key and is the class key
  kExtensionUnknown = 2,   // the extension is not registered
  kExtensionUntyped = 3,   // the extension is registered without a file type
  kClassUnknown = 4,       // the class (or the extension's file type) is not registered
  kClassNameFailed = 5,    // the class name of a new extension could not be written
};

struct ClassKey {
  bool ok = false;
  bool created = false;  // the class key was created by this call
  RegistryKey key;       // open while ok
  char keyName[kMaxKeyName + 1] = {};
  int status = kClassOpen;
};

// True when the name is an extension (it begins with '.').
bool IsExtension(const char* name);

// The default value of HKEY_CLASSES_ROOT\key when it is a non-empty string;
// else `key` itself is copied and the result is false.
bool ReadDefaultValue(const char* key, char* buffer, size_t size);
// Creates HKEY_CLASSES_ROOT\key and sets its default value; with /P prints
// the change instead.
bool WriteDefaultValue(const char* key, const char* value);

// Opens the class key of an extension or class, creating the keys and the
// extension's class name when `create` is set.
bool OpenClassKey(const char* name, ClassKey* result, bool create);
// OpenClassKey for a change: creates unless /P, and gives a newly created
// class key the description (when not empty).
bool OpenClassKeyForWrite(const char* name, ClassKey* result, const char* description);
void CloseClassKey(ClassKey* result);

// The class key's default value when it is a non-empty string.
bool ReadClassDescription(const ClassKey& classKey, char* buffer, size_t size);
