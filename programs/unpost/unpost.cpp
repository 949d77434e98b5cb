#include "programs/unpost/unpost.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "cmdline/cmdline.h"
#include "platform/ascii_case.h"
#include "platform/drives.h"
#include "platform/file_replace.h"
#include "platform/files.h"
#include "programs/unpost/file_names.h"
#include "programs/unpost/message.h"
#include "programs/unpost/message_writer.h"
#include "shared/filter_errors.h"
#include "shared/stream_written.h"

namespace {

// The size of the open file from where it stands to its end, or -1 when it
// cannot be told.
long long RemainingSize(FILE* file) {
  long start = ftell(file);
  if (start < 0 || fseek(file, 0, SEEK_END) != 0) return -1;
  long end = ftell(file);
  if (fseek(file, start, SEEK_SET) != 0 || end < start) return -1;
  return end - start;
}

// Reads the whole message into one block of its size, read straight into
// place: a message of hundreds of megabytes is held once, never copied
// while it grows. A file that grows meanwhile is read to its new end.
bool ReadAll(FILE* file, std::string* text) {
  long long size = RemainingSize(file);
  if (size > 0) {
    text->resize(static_cast<size_t>(size));
    text->resize(fread(text->data(), 1, text->size(), file));
  }
  char buffer[65536];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, file)) > 0) text->append(buffer, n);
  return !ferror(file);
}

void RemoveCarriageReturns(std::string* text) {
  // Most messages have none: the search for the first is the whole pass.
  char* first = static_cast<char*>(memchr(text->data(), '\r', text->size()));
  if (!first) return;
  text->erase(std::remove(text->begin() + (first - text->data()), text->end(), '\r'), text->end());
}

// True when one of the files written for this input is the input itself, so
// that deleting the source would delete what was saved.
bool WrittenOver(const std::string& input, const std::vector<std::string>& written) {
  std::string source = GetFullPathString(input.c_str());
  for (const std::string& file : written) {
    if (source.empty() || SameNoCase(source, GetFullPathString(file.c_str()))) return true;
  }
  return false;
}

// The result of one input whose message was written to the temporary output.
int Conclude(const std::string& input, const UnpostOptions& options, FileState& state) {
  if (state.error) {
    printf("%s ==! decode error or disk write error\n", input.c_str());
    DiscardReplacement(kTempOutputName);
    if (!state.list.empty()) printf("%s ==> %s\n", input.c_str(), state.list.c_str());
    return kStatusDamaged;
  }
  if (state.firstName.empty()) {
    printf("%s ==! no binary attachments were saved\n", input.c_str());
    DiscardReplacement(kTempOutputName);
    return kStatusNoAttachment;
  }
  std::string textName = state.FreshName(TextFileName(state.firstName));
  if (!ConfirmOverwrite(textName, options.overwrite)) {
    DiscardReplacement(kTempOutputName);
    return kStatusDamaged;
  }
  // One replacing rename: a failure leaves the old file in place.
  if (!ReplaceFile(kTempOutputName, textName.c_str())) {
    fprintf(stderr, "Error:  Can't rename file \"%s\" to \"%s\".\n", kTempOutputName, textName.c_str());
    DiscardReplacement(kTempOutputName);
    return kStatusFileError;
  }
  state.written.push_back(textName);
  bool deleted = options.deleteSource && !WrittenOver(input, state.written) && DeleteFile(input.c_str());
  printf("%s%s ==> %s, %s\n", input.c_str(), deleted ? " (deleted)" : "", textName.c_str(),
         state.list.c_str());
  return kStatusSaved;
}

}  // namespace

int DecodeFile(const std::string& name, const UnpostOptions& options) {
  FILE* input = OpenFile(name.c_str(), "rb");
  if (!input) {
    fprintf(stderr, "File not found - %s\n", name.c_str());
    return kStatusFileError;
  }
  FILE* output = CreateReplacement(kTempOutputName, "w");
  if (!output) {
    fclose(input);
    fprintf(stderr, "Error:  Can't create file \"%s\".\n", kTempOutputName);
    return kStatusFileError;
  }
  std::string text;
  bool read = ReadAll(input, &text);
  fclose(input);
  if (!read) {
    fclose(output);
    DiscardReplacement(kTempOutputName);
    fprintf(stderr, "Error:  Can't read file \"%s\".\n", name.c_str());
    return kStatusFileError;
  }
  RemoveCarriageReturns(&text);
  FileState state;
  {
    Message message(text.data());
    message.Split();
    MessageWriter writer(options, &state, output);
    writer.Write(message);
  }
  // A text output that could not be written fully counts as a write error.
  bool written = !ferror(output);
  if (fclose(output) != 0 || !written) state.error = true;
  return Conclude(name, options, state);
}

int DecodeMessages() {
  int argc = 0;
  char** argv = nullptr;
  ArgumentStop stop;
  ParseCommandLine(&argc, &argv, kArgFatalErrors | kArgExpandAll, "/", &stop);
  if (stop.stopped) {
    fputs(stop.message.c_str(), stderr);
    return stop.status;
  }
  UnpostOptions options;
  char badLetter = 0;
  switch (ReadSwitches(argc, argv, &options, &badLetter)) {
    case SwitchResult::kInvalid:
      fprintf(stderr, "Invalid switch - /%c\n", badLetter);
      return 1;
    case SwitchResult::kHelp:
      PrintUsage(stdout);
      return 0;
    case SwitchResult::kRun:
      break;
  }
  if (argc <= 1) {
    PrintUsage(stdout);
    return 0;
  }
  int status = kStatusSaved;
  for (int i = 1; i < argc; ++i) {
    if (argv[i][0] == kSwitchMark) continue;
    int fileStatus = DecodeFile(argv[i], options);
    status = std::max(status, fileStatus);
    if (fileStatus == kStatusFileError) break;
  }
  // The result lines say what was saved where: lines that never arrived are
  // a disk write error of the run.
  if (!StreamWritten(stdout)) status = std::max(status, OutputWriteFailed(kStatusDamaged));
  return status;
}
