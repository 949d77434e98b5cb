#include "programs/viewreel/slide_options.h"

#include <cstdio>
#include <string>

#include "programs/viewreel/slide_settings.h"
#include "shared/banner.h"
#include "shared/chars.h"
#include "shared/paths.h"
#include "shared/report.h"
#include "shared/sitefiles.h"

namespace {

const char* const kHelpLines[] = {
    "  /B              Use button icons instead of text links if available.",
    "  /D              Delete text files after integration into HTML files.",
    "  /F              Create a forwarding index file called \"index.htm\".",
    "  /H              Home link is \"index.htm\" (default = first file).",
    "  /H:homefile     Home link is \"homefile\" (default = first file).",
    "  /M              Suppress page numbering in title.",
    "  /N              Disable automatic text file conversion.",
    "  /R[S|I]         Generates frame files (Netscape 2.0, Internet Explorer 4.0).",
    "                   S = generate frameset only;  I = generate slide files only.",
    "  /S:width,height Scales image to fit in \"width\" and \"height\" pixels.",
    "  /S:height[%]    Scales image to \"height\" (% = percent of window height).",
    "  /T              Title for slides is index title (default = image file name).",
    "  /T:title        Title for slides is \"title\" (use \"_\" for spaces).",
    "  /U              Update slides only if necessary (works only with \"/R\").",
    "  /V              Verbose mode.",
};

void SetHome(const char* value) {
  slideSettings.homeGiven = true;
  slideSettings.home.clear();
  if (!*value) return;
  String home = ChangeExtensionString(BaseName(value), ".htm");
  if (!home.IsNull()) slideSettings.home = home.Text();
}

void SetTitle(const char* value) {
  slideSettings.titleGiven = true;
  slideSettings.title = value;
  for (char& ch : slideSettings.title) {
    if (ch == '_') ch = ' ';
  }
}

void SetFrames(const char* value) {
  slideSettings.frames = true;
  char mode = ToUpper(*value);
  if (mode == 'S') slideSettings.slidesToo = false;
  if (mode == 'I') slideSettings.frameset = false;
}

// One option; false for a letter that is not an option.
bool ApplyOption(char letter, const char* value) {
  switch (letter) {
    case 'A': break;
    case 'B': slideSettings.buttons = true; break;
    case 'D': slideSettings.deleteTextFiles = true; break;
    case 'E': AddUserExt(value); break;
    case 'F': slideSettings.forwardIndex = true; break;
    case 'H': SetHome(value); break;
    case 'I': slideSettings.slideIndexLinks = true; break;
    case 'M': slideSettings.pageNumbers = false; break;
    case 'N': slideSettings.textConversion = false; break;
    case 'R': SetFrames(value); break;
    case 'S': SetScale(value); break;
    case 'T': SetTitle(value); break;
    case 'U': slideSettings.updateOnlyIfNecessary = true; break;
    case 'V': slideSettings.verbose = *value == '2' ? 2 : 1; break;
    case 'X': slideSettings.textConversion = true; break;
    default: return false;
  }
  return true;
}

}  // namespace

OptionsResult ReadOptions(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (arg[0] != '/' && arg[0] != '-') {
      Report(3000, "Error:  Illegal command line parameter \"%s\".\n", arg);
      Report(0, "        Program aborted.\n");
      return kOptionsIllegal;
    }
    char letter = ToUpper(arg[1]);
    const char* value = arg[1] == '\0' ? arg + 1 : arg[2] == ':' ? arg + 3 : arg + 2;
    if (!ApplyOption(letter, value)) return kOptionsHelp;
  }
  return kOptionsRun;
}

void PrintHelp() {
  const char* name = PrintBanner();
  puts("\nBuilds an HTML slide file for each image file in the current directory.");
  puts("The build parameters are read from the standard configuration files.");
  puts("Read the Tessarin documentation for more information.\n");
  printf("%s [/B] [/D] [/F] [/H | /H:homefile] [/M] [/N] [/R | /RS | /RI]\n", name);
  puts("         [/S:width,height | /S:height[%]] [/T | /T:title] [/U] [/V]\n");
  for (const char* line : kHelpLines) puts(line);
}
