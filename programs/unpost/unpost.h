// unpost: saves the encoded attachments of saved mail and news messages as
// files and keeps the rest of each message as a text file.
#pragma once

#include <string>

#include "programs/unpost/unpost_options.h"

// File statuses, also the exit status (the highest of all files).
constexpr int kStatusSaved = 0;
constexpr int kStatusNoAttachment = 1;
constexpr int kStatusDamaged = 2;
constexpr int kStatusFileError = 3;  // ends the run

// Decodes one input file; prints its result line and messages.
int DecodeFile(const std::string& name, const UnpostOptions& options);

// The program's main: command line, switches, then each input file.
int DecodeMessages();
