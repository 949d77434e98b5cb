// rankpage: gives the pages of the files named in a sorted list ascending
// SORTORDER values, counting from 1 or from numbers written in the list.
#pragma once

// The numbering state while a list is read.
struct SortListState {
  int number = 1;     // the sort order the next listed file gets
  int increment = 1;  // added to it after each file that exists
};

// Takes one list line apart, in place: cuts it at its first '/' (a
// comment), trims trailing white space, applies a "[sortorder][,increment]:"
// prefix to `state`, and returns the file name with its leading white space
// skipped (an empty text when the line names no file).
char* ParseSortLine(char* line, SortListState* state);

// Gives the page of `path` (created when missing) the sort order `number`
// and prints "%3d: %s\n" when the page changed.
void SetFileSortOrder(const char* path, int number);

// Numbers the files of the list `listName`; returns the exit code (the
// run's highest severity).
int AssignSortOrders(const char* listName);

// The help text on standard output.
void PrintRankpageHelp();
