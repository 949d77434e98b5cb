// infoed: shows or changes the head information of one page from the
// console: one option sets a field, or without one the fields are prompted
// for on standard input.
#pragma once

#include "shared/string.h"

// The command line taken apart.
struct InfoedCommand {
  bool help = false;         // print the help text and end with 0
  const char* error = nullptr;  // format of the error for `badOption`
  const char* badOption = nullptr;
  bool create = false;       // /C: create a missing page
  const char* fileName = nullptr;
  char letter = 0;           // option letter in upper case; 0: interactive
  String value;              // the option's value (joined where it takes more)
};

// Reads `argv[1..argc-1]` into a command.
InfoedCommand ParseInfoedCommand(int argc, char** argv);

// The option value's text after the letter (and its ':'), followed by each
// later argument after one blank, whole: a value too long for its field is
// refused when the page is written, never cut.
String JoinArguments(const char* rest, int argc, char** argv, int next);

// Runs the program; returns the exit code.
int EditFileInformation(int argc, char** argv);
