#include "shared/banner.h"

#include <cstdio>
#include <cstring>

#include "platform/drives.h"
#include "platform/env.h"
#include "shared/chars.h"
#include "shared/paths.h"
#include "shared/string.h"

namespace {

constexpr char kInternalName[] = "\\StringFileInfo\\040904E4\\InternalName";
constexpr char kFileDescription[] = "\\StringFileInfo\\040904E4\\FileDescription";
constexpr char kFileVersion[] = "\\StringFileInfo\\040904E4\\FileVersion";
constexpr char kLegalCopyright[] = "\\StringFileInfo\\040904E4\\LegalCopyright";

bool IsEmptyBlock(const ProgramVersionBlock& block) {
  return !block.internalName && !block.fileDescription && !block.fileVersion &&
         !block.legalCopyright;
}

// Writes the value as "<before>%.*s" when it is present.
void WriteValue(const ProgramVersionInfo& info, const char* subBlock, const char* before) {
  size_t length = 0;
  const char* value = info.QueryValue(subBlock, &length);
  if (value) printf("%s%.*s", before, static_cast<int>(length), value);
}

// The copyright on a line of its own, the copyright sign as "(c)".
void WriteCopyright(const ProgramVersionInfo& info) {
  size_t length = 0;
  const char* value = info.QueryValue(kLegalCopyright, &length);
  if (!value) return;
  putchar('\n');
  for (size_t i = 0; i < length && value[i]; ++i) {
    unsigned char byte = static_cast<unsigned char>(value[i]);
    if (byte == 0xA9) {
      fputs("(c)", stdout);
    } else {
      putchar(byte);
    }
  }
}

}  // namespace

ProgramVersionInfo::ProgramVersionInfo() : ProgramVersionInfo(&ProgramVersion()) {}

ProgramVersionInfo::ProgramVersionInfo(const ProgramVersionBlock* block)
    : data_(block && !IsEmptyBlock(*block) ? block : nullptr) {}

const char* ProgramVersionInfo::QueryValue(const char* subBlock, size_t* length) const {
  if (!data_ || !subBlock) return nullptr;
  const char* value = nullptr;
  if (CompareNoCase(subBlock, kInternalName) == 0) value = data_->internalName;
  if (CompareNoCase(subBlock, kFileDescription) == 0) value = data_->fileDescription;
  if (CompareNoCase(subBlock, kFileVersion) == 0) value = data_->fileVersion;
  if (CompareNoCase(subBlock, kLegalCopyright) == 0) value = data_->legalCopyright;
  if (value && length) *length = strlen(value);
  return value;
}

size_t ProgramVersionInfo::QueryString(const char* subBlock, char* buffer, size_t size) const {
  size_t length = 0;
  const char* value = QueryValue(subBlock, &length);
  if (!value || size == 0) return 0;
  if (length >= size) length = size - 1;
  memcpy(buffer, value, length);
  buffer[length] = 0;
  return length;
}

char* ProgramNameOf(const char* programFile, char (&buffer)[kProgramNameSize]) {
  CopyBounded(buffer, programFile ? BaseName(programFile) : "", kProgramNameSize);
  *Extension(buffer) = 0;
  UpperCase(buffer);
  return buffer;
}

const char* PrintBanner(const ProgramVersionInfo& info, const char* programFile) {
  static char name[kProgramNameSize];
  ProgramNameOf(programFile, name);
  WriteValue(info, kInternalName, "");
  WriteValue(info, kFileDescription, ", ");
  WriteValue(info, kFileVersion, ", Version ");
  WriteCopyright(info);
  putchar('\n');
  return name;
}

namespace {

// The first argument of a command line by the Windows rules: quoted up to the
// next '"', else up to the first blank or tab.
void FirstArgument(const char* commandLine, char* buffer, size_t size) {
  const char* start = commandLine;
  const char* end;
  if (*start == '"') {
    ++start;
    end = strchr(start, '"');
    if (!end) end = start + strlen(start);
  } else {
    end = start + strcspn(start, " \t");
  }
  size_t n = end - start;
  if (n >= size) n = size - 1;
  memcpy(buffer, start, n);
  buffer[n] = 0;
}

}  // namespace

const char* PrintBanner() {
  // The name the program was started by; its own file when that is unknown.
  char programFile[kMaxPath + 1] = "";
  const char* commandLine = GetCommandLineText();
  if (commandLine) FirstArgument(commandLine, programFile, sizeof programFile);
  if (!programFile[0] && !GetProgramFile(programFile, sizeof programFile)) programFile[0] = 0;
  return PrintBanner(ProgramVersionInfo(), programFile);
}
