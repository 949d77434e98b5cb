// The start-up banner of a site tool, made from its compiled-in version
// block, and the tool's upper-case name for its messages.
#pragma once

#include <cstddef>

#include "platform/version.h"

// The running program's version block, read the way a program reads its
// version resource: values are looked up by sub-block paths such as
// "\StringFileInfo\040904E4\FileVersion".
class ProgramVersionInfo {
 public:
  ProgramVersionInfo();  // the running program's block
  // A given block (null: none), for callers that carry their own and tests.
  explicit ProgramVersionInfo(const ProgramVersionBlock* block);

  // The value and its length (zero byte excluded), or null when there is no
  // block or no such value.
  const char* QueryValue(const char* subBlock, size_t* length) const;
  // Copies at most size - 1 characters of the value and terminates them;
  // returns the number copied, or 0 with the buffer untouched when there is
  // no value.
  size_t QueryString(const char* subBlock, char* buffer, size_t size) const;

 private:
  const ProgramVersionBlock* data_ = nullptr;
};

// Size of the program name buffer: 19 characters and the zero byte.
constexpr size_t kProgramNameSize = 20;

// Prints the banner line(s) to standard output and returns the program's
// name: its file's base name, cut to 19 characters and at its extension, in
// upper case ('C:\TOOLS\galleria.exe' gives 'GALLERIA'). The result stays
// valid until the next call.
const char* PrintBanner();
// The same for a given version block and program file.
const char* PrintBanner(const ProgramVersionInfo& info, const char* programFile);
// The program name of a program file, as PrintBanner makes it, into `buffer`.
char* ProgramNameOf(const char* programFile, char (&buffer)[kProgramNameSize]);
