// Dialog windows for the dialog programs: controls, commands, timers, message
// boxes, the clipboard and dropped files, behind one small interface.
//
// Back end: with WEFTDIALOGSCRIPT naming a script file the dialog runs
// headless, driven by the script step by step, and WEFTDIALOGLOG (when set)
// names a transcript file to which it appends what it shows. Without a
// script there is no window here: the dialog cannot be shown (a message on
// standard error, RunDialog gives -1) and message boxes print their text on
// standard error and take their default answer.
//
// Script, one step a line (empty lines and lines starting with '#' skipped;
// in texts "\n", "\t" and "\\" stand for LF, TAB and a backslash):
//   set <id> <text>       the user types <text> into control <id>
//   click <id>            the user presses button <id>
//   select <id> <index>   the user selects list entry <index> (from 0)
//   unselect <id> <index> the user deselects it
//   drop <path>|<path>... files dropped on the dialog, '|' between them
//   clipboard <text>      <text> is put on the clipboard
//   timer                 the timer due first passes
//   answer <button>       the next message box is answered so (OK, Cancel,
//                         Yes, No, ...); answers queue up in script order
//   show                  the transcript gets every control's text
//   close                 the user closes the window (as Cancel, id 2)
// When the script runs out the window is closed the same way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/message_box.h"

enum class ControlKind { kStatic, kEdit, kMultiLineEdit, kNumberEdit, kButton, kDefaultButton,
                         kListBox };

struct ControlSpec {
  int id;  // -1 for labels
  ControlKind kind;
  const char* text;
  int x, y, width, height;  // dialog units
  bool disabled = false;
};

struct DialogSpec {
  const char* caption;
  std::vector<ControlSpec> controls;
  bool acceptsFiles = false;
};

// What happened to the dialog; handed to the program's handler.
struct DialogEvent {
  enum Kind { kInit, kCommand, kTimer, kDropFiles, kClipboardChange, kDestroy } kind;
  int id = 0;    // control of a command, timer id
  int code = 0;  // notification code of a command (0 button, 1 list selection change)
  std::vector<std::string> files;  // dropped items in the shell's order
};

class Dialog;
using DialogHandler = void (*)(Dialog& dialog, const DialogEvent& event);

class Dialog {
 public:
  virtual ~Dialog() = default;
  virtual void SetCaption(const char* text) = 0;
  virtual std::string Caption() const = 0;
  virtual void SetItemText(int id, const char* text) = 0;
  virtual std::string ItemText(int id) const = 0;
  virtual void EndDialog(int result) = 0;
  virtual void SetTimer(int id, unsigned milliseconds) = 0;
  virtual void KillTimer(int id) = 0;
  // List boxes (entries in the order added).
  virtual void AddListEntry(int id, const char* text) = 0;
  virtual int ListCount(int id) const = 0;
  virtual std::string ListEntry(int id, int index) const = 0;
  virtual bool ListSelected(int id, int index) const = 0;
  virtual void SetListSelected(int id, int index, bool selected) = 0;
  // A message box owned by the dialog.
  virtual int MessageBox(const char* text, const char* caption, uint32_t style) = 0;
  // The clipboard's text; false when it holds none.
  virtual bool ClipboardText(std::string* text) = 0;
  // Clipboard changes arrive as kClipboardChange while joined.
  virtual void JoinClipboardViewers() = 0;
  virtual void LeaveClipboardViewers() = 0;
};

// Control text read into a buffer the way a dialog field is read: at most
// size - 1 characters, always terminated when size > 0.
char* GetItemText(const Dialog& dialog, int id, char* buffer, size_t size);

// Runs the dialog modally; the result of EndDialog, 2 when the window was
// closed, -1 when it cannot be shown.
int RunDialog(const DialogSpec& spec, DialogHandler handler);
