// The postpage run over its files: each news slide is written anew beside
// itself and then put in the old file's place.
#include "programs/postpage/post_run.h"

#include <cstdio>
#include <string>

#include "platform/drives.h"
#include "platform/file_replace.h"
#include "platform/files.h"
#include "programs/postpage/news_slide.h"
#include "shared/paths.h"
#include "shared/string.h"

namespace {

const char* const kHelpLines[] = {
    "POSTPAGE, Format Newsgroup Header, Version 1.04\n",
    "Formats the header of a newsgroup message which is contained as preformatted",
    "text in an HTML slide file.  If the slide file does not contain a preformatted",
    "newsgroup message, the slide file will not be modified.\n",
    "Usage:  postpage <slide file> [<slide file> [<slide file> [...]]]\n",
    "  <slide file>    The name of an HTML slide file that was created by the",
    "                  \"viewreel\" utility (may have wildcards).\n",
    "Exit Codes:",
    "  0   Success.  All files were processed -- no errors occurred.",
    "  1   An error occurred in one or more files.  All files were processed.",
    "  2   An unrecoverable error occurred which caused the program to abort.",
    "      Some files were not processed.",
};

// The formatted slide is written in the slide's own folder, so that putting
// it in place is one rename.
std::string TempPathBeside(const char* file) {
  return std::string(file, BaseName(file)) + "TEMP.$$$";
}

bool SameFile(const char* a, const char* b) {
  std::string fullA = GetFullPathString(a), fullB = GetFullPathString(b);
  return !fullA.empty() && CompareNoCase(fullA.c_str(), fullB.c_str()) == 0;
}

enum class Outcome { kUnchanged, kFormatted, kFileError, kAbort };

Outcome ReportReadError(const char* file) {
  printf("Can't read file \"%s\".\n", file);
  return Outcome::kFileError;
}

// Writes the formatted copy of the open slide to the temporary file and puts
// it in the slide's place.
Outcome FormatOpenSlide(const char* file, FILE* input) {
  std::string temp = TempPathBeside(file);
  FILE* output = SameFile(file, temp.c_str()) ? nullptr : CreateReplacement(temp.c_str(), "w");
  if (!output) {
    fclose(input);
    fprintf(stderr, "Can't create temporary file \"%s\".\n", temp.c_str());
    return Outcome::kAbort;
  }
  bool written = FormatNewsHeader(input, output);
  bool readFailed = ferror(input) != 0;
  written = fclose(output) == 0 && written;
  fclose(input);
  if (!written || readFailed) DiscardReplacement(temp.c_str());
  if (!written) {
    fprintf(stderr, "Error writing temporary file \"%s\".\n", temp.c_str());
    return Outcome::kAbort;
  }
  // A slide that could not be read to its end keeps its old text.
  if (readFailed) return ReportReadError(file);
  if (!ReplaceFile(temp.c_str(), file)) {
    fprintf(stderr, "Unable to replace file \"%s\".\n", file);
    fprintf(stderr, "Output is in temporary file \"%s\".\n", temp.c_str());
    return Outcome::kAbort;
  }
  return Outcome::kFormatted;
}

Outcome FormatSlideFile(const char* file) {
  FILE* input = OpenFile(file, "r");
  if (!input) {
    printf("Can't open file \"%s\".\n", file);
    return Outcome::kFileError;
  }
  bool news = IsNewsSlide(input);
  if (!news) {
    bool readFailed = ferror(input) != 0;
    fclose(input);
    return readFailed ? ReportReadError(file) : Outcome::kUnchanged;
  }
  rewind(input);
  return FormatOpenSlide(file, input);
}

}  // namespace

void PrintPostpageHelp() {
  for (const char* line : kHelpLines) printf("%s\n", line);
}

int FormatSlideFiles(int count, char** files) {
  int exitCode = kPostOk;
  for (int i = 0; i < count; ++i) {
    switch (FormatSlideFile(files[i])) {
      case Outcome::kUnchanged: break;
      case Outcome::kFormatted: printf("%s\n", files[i]); break;
      case Outcome::kFileError: exitCode = kPostFileError; break;
      case Outcome::kAbort: return kPostAborted;
    }
  }
  return exitCode;
}
