// tagpick: keywords picked from a list are added to every page dropped on
// its dialog.
#pragma once

// The program; the exit code.
int RunKeywordPicker(int argc, char** argv);
