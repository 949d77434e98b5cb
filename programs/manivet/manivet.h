// manivet: compares the files of one directory with its bill of materials,
// "FILELIST.TXT", or prints such a list (/P).
#pragma once

#include <cstdint>

// One line of the list; records form a list in file order.
struct BOMFile {
  BOMFile(const char* name, int32_t size);  // appends itself to the list
  char* name;
  int32_t size;  // -1: not checked
  BOMFile* next = nullptr;
};

// Parses one line of "FILELIST.TXT" (cut in place); adds a record unless the
// line names no file.
void AddBillOfMaterialsLine(char* line);

// The program; returns the exit status (0 matches, 1 differences or error).
int CheckBillOfMaterials(int argc, char** argv);
