// The slide builder's command line: options into the run settings, and the
// help text.
#pragma once

enum OptionsResult {
  kOptionsRun,      // options read; go on
  kOptionsHelp,     // help wanted (or an unknown option)
  kOptionsIllegal,  // an argument without '/' or '-' (reported)
};

OptionsResult ReadOptions(int argc, char** argv);

// The banner and the help text on standard output.
void PrintHelp();
