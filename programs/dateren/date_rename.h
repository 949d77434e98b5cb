// Dated slide image names: "basename.ext" becomes "basename(yymmdd).ext" after
// the file's date, and the image's slide page and text file follow it.
#pragma once

#include <cstdint>
#include <string>

#include "platform/filetime.h"

// A date as the DOS file date packs it (years 1980 to 2107).
struct DosDate {
  int year = 0, month = 0, day = 0;
};

// The local date of a file time; false when it lies outside 1980 to 2107.
bool ToDosDate(FileTime utc, DosDate* date);
// The two digits of the year in a dated name: 1999 gives 99, 2003 gives 03.
int YearDigits(const DosDate& date);

// The base name to which the date is added: `base` without a "-#" ending
// (# a digit) when it is longer than 2 characters.
std::string UndashedBase(const std::string& base);
// "<base>(yymmdd)<ext>".
std::string DatedName(const std::string& base, int yearDigits, int month, int day,
                      const std::string& ext);

// The help text, with `programName` on the usage line.
void PrintDaterenHelp(const char* programName);
// The program's name for the usage line: the base name of `argv0` without
// extension, upper-cased.
std::string ProgramName(const char* argv0);

// Renames one image (and its slide page and text file) to its dated name.
// Files without an image extension and names with a '(' are left alone.
void RenameWithDate(const char* path);
