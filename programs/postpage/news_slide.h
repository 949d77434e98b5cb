// Formats the newsgroup message that a slide page holds as preformatted text:
// its header lines become a table, the most useful headers first, the body
// stays preformatted, and the whole goes between the text block markers.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "shared/string.h"

// Header lines of a message up to this length take the blanks that make
// "Path" and "Newsgroups" values readable; longer ones stay as they are.
constexpr size_t kLineRoom = 4096;

// One header of the message, in the list of the message being formatted.
// A new item appends itself at the list's end.
struct HeaderItem {
  HeaderItem(const char* name, const char* value);
  ~HeaderItem() = default;
  HeaderItem(const HeaderItem&) = delete;
  HeaderItem& operator=(const HeaderItem&) = delete;

  String name;
  String value;
  bool moved = false;  // set when the item was moved to the front
  HeaderItem* next = nullptr;
};

// The first item of the list; null when it is empty.
HeaderItem* FirstHeader();
// The last item of the list; null when it is empty.
HeaderItem* LastHeader();
// Appends `separator` and `text` to the item's value.
void AppendToValue(HeaderItem* item, const char* separator, const char* text);
// Moves the first item named `name` (letter case ignored) to the front and
// marks it as moved; an item that is first already stays unmarked.
void MoveToFront(const char* name);
// Empties the list.
void FreeHeaders();

// Inserts `insertion` into `text` at `position` when the result stays within
// `room` bytes (its terminator counted); otherwise leaves the text unchanged.
// Returns the position behind the insertion (`position` when none was made).
size_t InsertText(std::string* text, size_t position, size_t room, const char* insertion);

// Splits a header line: returns its value and cuts the line after the name
// (the name is the line's start), or null when the line is no header line.
// A line that begins with a blank or tab is, when `continuationAllowed`, a
// continuation: its name is empty and its value the text after the blanks.
char* SplitHeaderLine(char* line, bool continuationAllowed);

// Reads the lines of a preformatted block, its "</PRE>" ending the block.
struct PreBlockReader {
  explicit PreBlockReader(FILE* stream) : input(stream) {}
  FILE* input;
  bool ended = false;  // the end of the block was read
  std::string line;
};
// The next line of the block without its trailing blanks and control
// characters, or null at the block's end or the end of the input.
char* ReadPreLine(PreBlockReader* reader);

// Reads one line of any length with its line feed (when it has one) into
// `line`: false at the end of the input.
bool ReadWholeLine(FILE* input, std::string* line);

// True when the slide's first "<PRE>" block begins with a header line and no
// "<!-- BEGIN TEXT -->" line comes before it. Reads from the current place.
bool IsNewsSlide(FILE* input);

// Copies the slide from `input` (at its start) to `output` with its message
// formatted. True when every write succeeded.
bool FormatNewsHeader(FILE* input, FILE* output);
