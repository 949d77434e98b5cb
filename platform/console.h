// Console key input as the C runtime offers it: whether a key press is
// waiting, and one key press read without echo.
#pragma once

constexpr int kKeyEscape = 27;
constexpr int kKeyCtrlC = 3;
constexpr int kKeyEnter = 13;

// True when standard input is the console (a terminal), not a file or a pipe.
bool IsConsoleInput();
// True when a key press is waiting at the console. Standard input that is not
// a terminal never has one waiting: its bytes are answers, read in order.
bool KeyWaiting();

// One key press, without echo; standard output is flushed first so that a
// prompt shows. Enter arrives as kKeyEnter. With `ctrlCAsKey`, Ctrl+C arrives
// as kKeyCtrlC instead of interrupting the program. When standard input is
// not a terminal its next byte is the key (line feeds, which no key press
// gives, are skipped); at its end the answer is kKeyEscape.
int ReadKey(bool ctrlCAsKey = false);
