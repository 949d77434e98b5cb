// Dialog windows for the dialog programs: controls, commands, timers, message
// boxes, the clipboard, dropped files, layout and pop-up tips, behind one
// small interface.
//
// Back ends, chosen when a dialog or message box is shown:
// - WEFTDIALOGSCRIPT names a script file: the dialog runs headless, driven
//   by the script step by step, and WEFTDIALOGLOG (when set) names a
//   transcript file to which it appends what it shows. Its metrics are fixed
//   (see kScriptedMetrics), so layouts come out the same everywhere.
// - Otherwise, with DISPLAY naming an X display that can be opened: a real
//   window on the desktop.
// - With neither, the dialog cannot be shown (a message on standard error,
//   RunDialog gives -1), and message boxes print their text on standard
//   error and take their default answer.
//
// Script, one step a line (empty lines and lines starting with '#' skipped;
// in texts "\n", "\t" and "\\" stand for LF, TAB and a backslash):
//   set <id> <text>       the user types <text> into control <id> in place of
//                         its text, letter by letter: what the field refuses
//                         (past its limit; without a form in its code page)
//                         is left out as on the desktop
//   click <id>            the user presses button <id>
//   select <id> <index>   the user selects list entry <index> (from 0)
//   unselect <id> <index> the user deselects it
//   rightclick <id> <index>  the user right-clicks list entry <index>
//   resize <width> <height>  the user drags the window to this client size
//                         (pixels; not below the minimum size)
//   help <id>             the user asks for help on control <id> (F1)
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

#include "platform/code_page.h"

enum class ControlKind { kStatic, kEdit, kMultiLineEdit, kNumberEdit, kButton, kDefaultButton,
                         kListBox };

struct ControlSpec {
  int id;  // -1 for labels
  ControlKind kind;
  const char* text;  // '&' marks a mnemonic ("&&" is one '&')
  int x, y, width, height;  // dialog units
  bool disabled = false;
  // Edits: the text typed takes at most this many bytes in the field code
  // page; typing stops before a letter that would not fit whole (0: no limit).
  int limit = 0;
};

struct DialogSpec {
  const char* caption;
  std::vector<ControlSpec> controls;
  bool acceptsFiles = false;
  bool resizable = false;  // a sizing border
  bool centered = false;   // centred on the screen
  // Client size in dialog units; 0: the controls' extent and a margin of 8.
  int width = 0, height = 0;
};

// What happened to the dialog; handed to the program's handler.
struct DialogEvent {
  enum Kind {
    kInit,             // before the window shows
    kCommand,          // id: control; code 0 a button, 1 a list selection change
    kTimer,            // id: timer
    kDropFiles,        // files: the dropped items in order, as Windows paths
    kClipboardChange,  // while joined: the clipboard's content changed
    kSize,             // width, height: the new client size in pixels
    kListRightClick,   // id: list box, index: the entry under the pointer (-1 none)
    kHelp,             // id: the control help is asked for (F1, or a right click)
    kDestroy           // the window goes
  } kind;
  int id = 0;
  int code = 0;
  int index = -1;
  int width = 0, height = 0;
  std::vector<std::string> files;
};

// Sizes of the dialog's font, frames and screen, in pixels, as Windows
// reports them for the dialog's style.
struct DialogMetrics {
  int baseUnitX, baseUnitY;  // dialog base units: 4 horizontal, 8 vertical dialog units
  int averageCharWidth;      // of the dialog font
  int dialogFrameWidth, dialogFrameHeight;
  int sizingFrameWidth, sizingFrameHeight;
  int scrollBarHeight;                    // a horizontal scroll bar
  int workWidth, workHeight;              // the screen's work area
  int windowExtraWidth, windowExtraHeight;  // window size minus client size
};

// The fixed metrics of the scripted back end.
inline constexpr DialogMetrics kScriptedMetrics = {6, 13, 5, 3, 3, 4, 4, 17, 1024, 740, 8, 27};
// Text width of the scripted back end: this many pixels per byte.
inline constexpr int kScriptedCharWidth = 6;
// The scripted title bar: pixels beside the caption text (icon, buttons).
inline constexpr int kScriptedTitleBarExtra = 60;

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
  // A timer sends kTimer every `milliseconds` until it is killed.
  virtual void SetTimer(int id, unsigned milliseconds) = 0;
  virtual void KillTimer(int id) = 0;
  // List boxes (entries in the order added).
  virtual void AddListEntry(int id, const char* text) = 0;
  virtual int ListCount(int id) const = 0;
  virtual std::string ListEntry(int id, int index) const = 0;
  virtual bool ListSelected(int id, int index) const = 0;
  virtual void SetListSelected(int id, int index, bool selected) = 0;
  // A multi-column list box's column width, pixels.
  virtual void SetListColumnWidth(int id, int width) = 0;
  virtual int ListItemHeight(int id) const = 0;
  // A message box owned by the dialog.
  virtual int MessageBox(const char* text, const char* caption, uint32_t style) = 0;
  // The clipboard's text; false when it holds none.
  virtual bool ClipboardText(std::string* text) = 0;
  // Clipboard changes arrive as kClipboardChange while joined.
  virtual void JoinClipboardViewers() = 0;
  virtual void LeaveClipboardViewers() = 0;

  // Layout, in pixels.
  virtual DialogMetrics Metrics() const = 0;
  // Width of a text in the dialog's font.
  virtual int TextWidth(const char* text) const = 0;
  // The window width at which the title bar shows the caption `text` whole
  // (the desktop's window manager cuts a longer one in the middle).
  virtual int CaptionWidth(const char* text) const = 0;
  // The window's size (client size plus the extra of Metrics); the dialog
  // gets kSize with its new client size.
  virtual void SetWindowSize(int width, int height) = 0;
  // The user cannot make the window smaller than this window size.
  virtual void SetMinimumWindowSize(int width, int height) = 0;
  virtual void MoveControl(int id, int x, int y, int width, int height) = 0;

  // A pop-up tip with the text (several lines) just below entry `index` of
  // list box `id`; it goes on a click, when the pointer leaves the entry or
  // the window loses the focus, or by HideTip.
  virtual void ShowTip(int id, int index, const char* text) = 0;
  virtual void HideTip() = 0;
  virtual bool TipShown() const = 0;
  // Context help from `helpFile` for `topic`: the help files are not part
  // of the suite, so a short note says so.
  virtual void ShowHelp(const char* helpFile, int topic) = 0;

  // The desktop's active window (0 when unknown), and giving it back the
  // focus after a message box took it.
  virtual uintptr_t ForegroundWindow() const = 0;
  virtual void SetForegroundWindow(uintptr_t window) = 0;

  // Dialog units to pixels by the base units, rounded as Windows does.
  int DialogUnitsX(int units) const;
  int DialogUnitsY(int units) const;

  // The code page in which the program sets and reads the texts of the edit
  // controls (SetItemText, ItemText), set before it fills them; UTF-8 until
  // then. The user sees and types letters: in windows-1252 a field shows its
  // text converted, gives it back in windows-1252, counts its limit in
  // windows-1252 bytes and refuses, with a message, a typed letter that has
  // no form there.
  void SetFieldCodePage(CodePage page) { fieldCodePage_ = page; }
  CodePage FieldCodePage() const { return fieldCodePage_; }

 private:
  CodePage fieldCodePage_ = CodePage::kUtf8;
};

// Control text read into a buffer the way a dialog field is read: at most
// size - 1 bytes, whole letters of the field code page only, always
// terminated when size > 0.
char* GetItemText(const Dialog& dialog, int id, char* buffer, size_t size);

// What an edit takes when the user types or pastes `typed` where its text,
// but for the selection that the typing replaces, is `kept` (both UTF-8, as
// shown): the bytes of `typed` taken, whole letters only, so that the text
// stays within `limit` bytes in the code page (0: no limit). Of a text with
// a letter that the code page has no form for nothing is taken, and
// `missing` names the letter.
struct TypedText {
  size_t taken = 0;
  std::string missing;
};
TypedText FieldTakes(const std::string& kept, const std::string& typed, int limit, CodePage page);
// The message that refuses such a letter.
std::string MissingLetterMessage(const std::string& letter);

// Runs the dialog modally; the result of EndDialog, 2 when the window was
// closed, -1 when it cannot be shown.
int RunDialog(const DialogSpec& spec, DialogHandler handler);
