// What associate shows: wrapped summaries, the registration paragraph of an
// extension or class, the full dump (/L) and error lines.
#pragma once

#include "programs/associate/class_key.h"

// Prints the phrases of `text` (separated by new lines) on lines of fewer
// than 79 columns, continuation lines after `indent`.
void PrintWrapped(const char* text, const char* indent);
// "Error:  " and the formatted message.
void PrintCommandError(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The name (with the file type's description) and the message under a label.
void PrintSummary(const ClassKey& classKey, const char* name, const char* message, const char* label);
// How an extension or class is registered, in one paragraph.
void PrintRegistration(const char* name, const ClassKey& classKey);
// Everything registered for an extension or class.
void DumpFileType(const char* name);
