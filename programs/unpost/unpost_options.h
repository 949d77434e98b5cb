// The switches of unpost, read from the switch words of the command line, and
// its usage text.
#pragma once

#include <cstdio>
#include <string>

struct UnpostOptions {
  bool keepHeaders = false;   // /A: headers of saved base64 parts stay in the text
  bool deleteSource = false;  // /D
  bool debug = false;         // /G
  bool ignoreErrors = false;  // /I: only a write error makes an attachment bad
  bool keepBad = false;       // /K: a bad attachment file is kept and listed
  bool lax = false;           // /L: uu and yEnc lines may be too long
  bool mimeForm = false;      // /M: boundary lines and part headers (implies /A)
  bool strict = false;        // /S: uu lines of a multiple of 4 characters
  bool verbose = false;       // /V: discarded lines are shown
  bool overwrite = false;     // /Y: existing files are replaced without asking
  std::string defaultName;    // /N: name of unnamed base64 parts
};

enum class SwitchResult { kRun, kHelp, kInvalid };

// Reads every switch word (first byte kSwitchMark) of argv[1..argc-1] in
// order, letter by letter; reading stops after a word that holds a help letter.
// On kInvalid, `badLetter` is the letter as written.
SwitchResult ReadSwitches(int argc, char** argv, UnpostOptions* options, char* badLetter);

void PrintUsage(FILE* out);
