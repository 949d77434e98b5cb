// infobulk: changes the head information of every page dropped on its dialog.
#pragma once

// The program; the exit code.
int RunInfoDropTarget(int argc, char** argv);
