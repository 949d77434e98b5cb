#include "programs/unpost/unpost_options.h"

#include "cmdline/cmdline.h"
#include "platform/ascii_case.h"

namespace {

const char* const kUsage[] = {
    "UNPOST, Mail Message Decoder, Version 1.10",
    "Decodes MIME mail messages and saves all named binary attachments as files.",
    "This utility decodes three types of encoded binary attachments:  MIME base64,",
    "uuencoded data in text messages, and yEncoded data in text messages.",
    "For each message decoded, a text file is saved with the content of the mail",
    "message minus the decoded data.  The text file will have the same base file",
    "name as the first attachment, but with a \".txt\" extension.",
    "This program does not handle attachments that span multiple mail messages.",
    "\nUNPOST [/A] [/D] [/G] [/I | /K] [/L] [/M] [/N:name] [/S] [/V] [/Y]",
    "       filename [filename [filename [...]]]\n",
    "  /A        Preserve MIME headers of attachments in text output file.",
    "  /D        Delete the source file if the exit status is 0 (see below).",
    "  /G        Enable debug messages.",
    "  /I        Ignore decode errors.  If a corrupt attachment is encountered, it",
    "            is saved and the encoded data is removed from the text output file.",
    "  /K        Keep bad attachments.  If a corrupt attachment is encountered, it",
    "            is saved and the encoded data is kept in the text output file.",
    "  /L        Lax filter.  Allow uuencoded/yEncoded lines that are too long.",
    "  /M        Preserve MIME format in text output file (enables /A implicitly).",
    "  /N:name   Default file name for unnamed embedded MIME binaries.  A two digit",
    "            number is appended to the base name if the file already exists.",
    "  /S        Strict filter.  Valid uuencoded lines must be a multiple of 4.",
    "  /V        Verbose mode.  Displays any discarded lines of encoded data.",
    "  /Y        Overwrite existing files without prompting.",
    "  filename  Name of an MIME formatted mail message file (may have wildcards).",
    "\nSwitches may be combined, for example:  UNPOST /D /I /L ==> UNPOST /DIL.",
    "\nExit status:",
    "  0   There was at least one attachment, and no errors occurred.",
    "  1   There were no attachments -- nothing was written.",
    "  2   One or more attachments could not be decoded or written.",
    "  3   Error accessing source or destination message file.",
};

bool* FlagOf(char letter, UnpostOptions* options) {
  switch (letter) {
    case 'A': return &options->keepHeaders;
    case 'D': return &options->deleteSource;
    case 'G': return &options->debug;
    case 'I': return &options->ignoreErrors;
    case 'K': return &options->keepBad;
    case 'L': return &options->lax;
    case 'M': return &options->mimeForm;
    case 'S': return &options->strict;
    case 'V': return &options->verbose;
    case 'Y': return &options->overwrite;
    default: return nullptr;
  }
}

// Reads the letters of one switch word (after its mark). False on an
// invalid letter.
bool ReadSwitchWord(const char* letters, UnpostOptions* options, bool* help, char* badLetter) {
  for (const char* p = letters; *p; ++p) {
    char letter = UpperAscii(*p);
    if (letter == '?' || letter == 'H') {
      *help = true;
    } else if (letter == 'N') {
      // The rest of the word is the name.
      const char* name = p + 1;
      if (*name == ':') ++name;
      options->defaultName = name;
      return true;
    } else if (bool* flag = FlagOf(letter, options)) {
      *flag = true;
    } else {
      *badLetter = *p;
      return false;
    }
  }
  return true;
}

}  // namespace

SwitchResult ReadSwitches(int argc, char** argv, UnpostOptions* options, char* badLetter) {
  for (int i = 1; i < argc; ++i) {
    if (argv[i][0] != kSwitchMark) continue;
    bool help = false;
    if (!ReadSwitchWord(argv[i] + 1, options, &help, badLetter)) return SwitchResult::kInvalid;
    if (help) return SwitchResult::kHelp;
  }
  return SwitchResult::kRun;
}

void PrintUsage(FILE* out) {
  for (const char* line : kUsage) fprintf(out, "%s\n", line);
}
