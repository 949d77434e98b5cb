// infoedw: the dialog editor of one page's head information.
#pragma once

// The program: edits the page of argv[1] in a dialog; the exit code.
int EditFileInformationDialog(int argc, char** argv);
