#include "programs/associate/class_key.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/ascii_case.h"
#include "programs/associate/flags.h"

AssociateFlags runFlags;

namespace {

const RegistryKey& ClassesRoot() {
  static const RegistryKey root = RegistryRootKey(RegistryRoot::kClassesRoot);
  return root;
}

void CopyCut(const char* text, char* buffer, size_t size) {
  if (size == 0) return;
  size_t length = strnlen(text, size - 1);
  memcpy(buffer, text, length);
  buffer[length] = '\0';
}

// The default value of an open key when it is a non-empty string.
bool ReadKeyDefault(const RegistryKey& key, char* buffer, size_t size) {
  std::string data;
  if (!QueryRegistryValue(key, nullptr, &data) || data.empty() || data[0] == '\0') return false;
  CopyCut(data.c_str(), buffer, size);
  return true;
}

// The class name of a new extension: the extension without its dot and
// "file", in lower case. False when it would not fit a key name.
bool NewClassName(const char* extension, char* buffer, size_t size) {
  std::string name = std::string(extension + 1) + "file";
  if (name.size() > kMaxKeyName || name.size() >= size) return false;
  for (char& c : name) c = LowerAscii(c);
  memcpy(buffer, name.c_str(), name.size() + 1);
  return true;
}

bool HasShellKey(const RegistryKey& extensionKey) {
  RegistryKey shell;
  return OpenRegistryKey(extensionKey, "shell", &shell);
}

// Step 2 of opening the class key of an extension: its class name into
// keyName. False when the result is final (ok or not).
bool FindExtensionClass(const char* name, ClassKey* result, bool create) {
  RegistryKey extensionKey;
  bool opened = OpenRegistryKey(ClassesRoot(), name, &extensionKey);
  if (!opened && create) {
    // A new extension needs a class name that fits a key name; refuse it
    // before anything is created.
    char className[kMaxKeyName + 1];
    if (!NewClassName(name, className, sizeof className)) {
      result->status = kClassNameFailed;
      return false;
    }
    opened = CreateRegistryKey(ClassesRoot(), name, &extensionKey);
  }
  if (!opened) {
    result->status = kExtensionUnknown;
    return false;
  }
  if (ReadKeyDefault(extensionKey, result->keyName, sizeof result->keyName)) return true;
  CopyCut(name, result->keyName, sizeof result->keyName);
  if (HasShellKey(extensionKey)) {
    result->status = kClassCompatible;
    result->key = extensionKey;
    result->ok = true;
    return false;
  }
  if (!create) {
    result->status = kExtensionUntyped;
    return false;
  }
  if (!NewClassName(name, result->keyName, sizeof result->keyName) ||
      !SetRegistryValue(extensionKey, nullptr, result->keyName)) {
    result->status = kClassNameFailed;
    return false;
  }
  return true;
}

}  // namespace

bool IsExtension(const char* name) { return name[0] == '.'; }

bool ReadDefaultValue(const char* key, char* buffer, size_t size) {
  RegistryKey opened;
  if (OpenRegistryKey(ClassesRoot(), key, &opened) && ReadKeyDefault(opened, buffer, size)) return true;
  CopyCut(key, buffer, size);
  return false;
}

bool WriteDefaultValue(const char* key, const char* value) {
  if (runFlags.printOnly) {
    printf("\\HKEY_CLASSES_ROOT\\%s = \"%s\"\n", key, value);
    return true;
  }
  RegistryKey opened;
  return CreateRegistryKey(ClassesRoot(), key, &opened) && SetRegistryValue(opened, nullptr, value);
}

bool OpenClassKey(const char* name, ClassKey* result, bool create) {
  *result = ClassKey();
  CopyCut(name, result->keyName, sizeof result->keyName);
  if (IsExtension(name) && !FindExtensionClass(name, result, create)) return result->ok;
  bool opened = create ? CreateRegistryKey(ClassesRoot(), result->keyName, &result->key, &result->created)
                       : OpenRegistryKey(ClassesRoot(), result->keyName, &result->key);
  result->status = opened ? kClassOpen : kClassUnknown;
  result->ok = opened;
  return opened;
}

bool OpenClassKeyForWrite(const char* name, ClassKey* result, const char* description) {
  if (!OpenClassKey(name, result, !runFlags.printOnly)) return false;
  if (result->created && description && *description &&
      !SetRegistryValue(result->key, nullptr, description)) {
    CloseClassKey(result);
    return false;
  }
  return true;
}

void CloseClassKey(ClassKey* result) {
  CloseRegistryKey(&result->key);
  result->ok = false;
}

bool ReadClassDescription(const ClassKey& classKey, char* buffer, size_t size) {
  if (size > 0) buffer[0] = '\0';
  return classKey.ok && ReadKeyDefault(classKey.key, buffer, size);
}
