// The desktop back end of dialogs and message boxes: real windows on the X
// display named by DISPLAY, drawn with FLTK. Shared by the platform sources
// only; programs reach it through dialog.h and message_box.h.
#pragma once

#include <cstdint>

#include "platform/dialog.h"

class Fl_Window;

namespace weft_desktop {

// True when DISPLAY names a display that could be opened (tried once).
bool DesktopAvailable();

// Runs the dialog in a window until it ends; the result of EndDialog, 2
// when the window was closed.
int RunDesktopDialog(const DialogSpec& spec, DialogHandler handler);

// The desktop's active window (0 when unknown).
uintptr_t ActiveWindow();
// Gives a window the focus: through the window manager when one runs, else
// directly.
void ActivateWindow(uintptr_t window);
// A window just shown takes the focus; with `topmost` it stays above the
// other windows.
void BringForward(Fl_Window* window, bool topmost);

// A modal message box over `owner` (null: a box of its own); the answer.
int ShowDesktopMessageBox(const char* text, const char* caption, uint32_t style, Fl_Window* owner);

}  // namespace weft_desktop
