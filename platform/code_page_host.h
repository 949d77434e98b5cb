// The platform sources' side of code_page.h: the checks and the conversion
// that FromUtf8 and the dialogs are made of, for the module and its tests.
// Platform sources only.
#pragma once

#include <string>

// True when the whole text is well-formed UTF-8 (Utf8Check).
bool IsUtf8(const std::string& text);
// UTF-8 text in windows-1252; false when a letter has no form there, with
// `missing` (when given) set to the first such letter. A byte that starts no
// well-formed sequence stands for itself.
bool Utf8ToWindows1252(const std::string& text, std::string* out, std::string* missing = nullptr);
