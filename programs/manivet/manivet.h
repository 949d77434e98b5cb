// manivet: compares the files of one directory with its bill of materials,
// "FILELIST.TXT", or prints such a list (/P).
#pragma once

#include <cstdint>

// One line of the list; the records form one list in file order.
struct BOMFile {
  BOMFile(const char* name, int32_t size);  // copies the name, appends itself
  char* name;
  int32_t size;  // -1: not checked
  BOMFile* next = nullptr;
};

// One line of "FILELIST.TXT", taken apart in place: false when it names no
// file; else the name (blanks around it dropped) and the size (-1 when the
// line gives none).
bool ParseBillOfMaterialsLine(char* line, const char** name, int32_t* size);

// The program; returns the exit status (0 matches, 1 differences or error).
int CheckBillOfMaterials(int argc, char** argv);
