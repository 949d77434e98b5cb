// The scripted headless dialog back end (WEFTDIALOGSCRIPT, WEFTDIALOGLOG):
// the steps of a script play the user, a transcript records what the dialog
// shows. Shared by the platform sources only; see dialog.h for the script.
#pragma once

#include "platform/dialog.h"

namespace weft_scripted {

// Runs the dialog through the steps of `script`; -1 when it cannot be read.
int RunScriptedDialog(const DialogSpec& spec, DialogHandler handler, const char* script);

}  // namespace weft_scripted
