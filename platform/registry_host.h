// The platform sources' side of registry.h: the registry file's place and
// escapes, and the enumeration of values, which the module and its tests
// use. Platform sources only.
#pragma once

#include <cstddef>
#include <string>

#include "platform/registry.h"

// Enumeration of a key's values by index from 0, in the order they were
// first set. False past the last one.
bool EnumRegistryValue(const RegistryKey& key, size_t index, std::string* name, std::string* data);

// Host path of the registry file as the environment names it now; empty when
// neither WEFTREGISTRY, XDG_CONFIG_HOME nor HOME is set.
std::string RegistryFilePath();

// The file's escapes, one text at a time: '\' before '\', '=' and, at the
// start of a line, '[' and ';'; "\xHH" for control bytes (below 32, and 127).
// Unescaping fails on any other escape.
std::string EscapeRegistryText(const std::string& text, bool lineStart);
bool UnescapeRegistryText(const std::string& text, std::string* out);
