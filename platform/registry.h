// The Windows registry of the suite: the keys and string values under
// HKEY_CLASSES_ROOT and HKEY_LOCAL_MACHINE, kept in one text file.
//
// The file is named by WEFTREGISTRY (a host path), else it is
// $XDG_CONFIG_HOME/tessarin/registry.txt ($HOME/.config when XDG_CONFIG_HOME
// is unset). A registry whose file does not exist yet knows the usual MIME
// types (".htm" "Content Type" = "text/html", ...) and the program-files
// directory; the file is written on the first change. Every change rewrites
// the whole file beside the old one and renames it over in one step, so no
// reader ever sees half a file. All calls may come from several threads.
//
// Key names are compared without regard to ASCII letter case and keep the
// case they were created with; '\' separates the names of a key path.
#pragma once

#include <cstddef>
#include <string>

enum class RegistryRoot { kClassesRoot, kLocalMachine };

// An open key. Like a Windows key handle it names one key; calls on it fail
// once that key has been deleted.
struct RegistryKey {
  RegistryRoot root = RegistryRoot::kClassesRoot;
  std::string path;  // names below the root, '\' between them; "" is the root
  bool open = false;
};

// The open handle of a root key (HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE).
RegistryKey RegistryRootKey(RegistryRoot root);

// Opens `subkey` (a key path, possibly several names) below `parent`; an
// empty or null subkey opens `parent` again. False when it does not exist.
bool OpenRegistryKey(const RegistryKey& parent, const char* subkey, RegistryKey* key);
// Opens `subkey` below `parent`, creating it and any missing keys above it.
// `created` (may be null) tells whether the key itself is new.
bool CreateRegistryKey(const RegistryKey& parent, const char* subkey, RegistryKey* key,
                       bool* created = nullptr);
void CloseRegistryKey(RegistryKey* key);
// Deletes `subkey` below `parent` with all its subkeys and values. A root key
// cannot be deleted (an empty subkey fails).
bool DeleteRegistryKey(const RegistryKey& parent, const char* subkey);

// Values. A null or empty name is the key's default value. Data are bytes.
bool QueryRegistryValue(const RegistryKey& key, const char* name, std::string* data);
bool SetRegistryValue(const RegistryKey& key, const char* name, const std::string& data);
bool DeleteRegistryValue(const RegistryKey& key, const char* name);

// Enumeration by index from 0: subkeys in Windows order (names compared after
// ASCII upper-casing). False past the last one.
bool EnumRegistrySubkey(const RegistryKey& key, size_t index, std::string* name);
