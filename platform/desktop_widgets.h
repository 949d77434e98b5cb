// The controls of the desktop dialogs, as FLTK widgets that behave as the
// Windows dialog controls do: labels with '&' mnemonics, edits with typing
// limits and a code page (one that takes digits only, one of several lines
// that leaves Enter to the dialog), push buttons with a default frame, and a
// pop-up text window for tips and help notes; sizes follow the desktop's
// scale. Shared by the desktop sources only.
#pragma once

#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Menu_Window.H>
#include <FL/Fl_Multiline_Input.H>

#include <functional>
#include <string>

#include "platform/dialog.h"

namespace weft_desktop {

// The desktop's resolution in dots per inch: the X resource Xft.dpi, with
// which desktops ask for a scale, else the screen's own.
double DesktopDpi();
// A size in pixels at 96 dots per inch, at the desktop's resolution.
int ScaledPixels(int pixels);

// A sans font near 8 pt at the desktop's resolution, for every control.
constexpr Fl_Font kDialogFont = FL_HELVETICA;
int DialogFontSize();

// What the edits of one dialog share: its field code page, and how a typed
// letter without a form there is refused (a message box over the dialog).
struct FieldTyping {
  const Dialog* dialog = nullptr;
  std::function<void(const std::string& letter)> refuse;
};

// The letter after a single '&' in a label, lower case; 0 when none.
char MnemonicOf(const char* label);
// A label text as FLTK draws it: '@' doubled, so that it never names a symbol.
std::string PlainLabel(const char* text);

// A static text, left aligned, its mnemonic underlined.
class Label : public Fl_Box {
 public:
  Label(int x, int y, int width, int height, const char* text);
};

// The limit of an edit and its dialog's typing rules: what it takes of
// typed and pasted text (whole letters within the limit, none without a form
// in the code page).
class EditRules {
 public:
  EditRules(int limit, const FieldTyping* typing) : limit_(limit), typing_(typing) {}

 protected:
  // Handles typing that the edit takes in part or not at all; -1 when the
  // widget's own handling may insert the text as it is.
  int CheckTyping(Fl_Input_* input, int event) const;
  // Puts `text` in place of the selection as far as the field takes it.
  void Insert(Fl_Input_* input, const char* text) const;

 private:
  TypedText Takes(const Fl_Input_* input, const std::string& text) const;

  int limit_;
  const FieldTyping* typing_;
};

// A one-line edit; Enter is left to the dialog.
class Edit : public Fl_Input, EditRules {
 public:
  Edit(int x, int y, int width, int height, int limit, const FieldTyping* typing);
  int handle(int event) override;
};

// An edit that takes digits only, typed or pasted.
class NumberEdit : public Fl_Input, EditRules {
 public:
  NumberEdit(int x, int y, int width, int height, int limit, const FieldTyping* typing);
  int handle(int event) override;
};

// An edit of several lines, wrapped: Enter and Tab are left to the dialog,
// Ctrl+Enter and Ctrl+Tab insert a line break and a TAB.
class MultiLineEdit : public Fl_Multiline_Input, EditRules {
 public:
  MultiLineEdit(int x, int y, int width, int height, int limit, const FieldTyping* typing);
  int handle(int event) override;
};

// A push button; the default button has a dark frame.
class PushButton : public Fl_Button {
 public:
  PushButton(int x, int y, int width, int height, const char* text, bool isDefault);
  void draw() override;
  bool IsDefault() const { return isDefault_; }

 private:
  bool isDefault_;
};

// A borderless pop-up window with a few lines of text on the tooltip
// colour, shown without taking the focus.
class TextPopup : public Fl_Menu_Window {
 public:
  TextPopup();
  // Shows the text with its top left corner at (x, y) on the screen,
  // moved left when it would pass the screen's right edge.
  void ShowAt(int x, int y, const char* text);
  void draw() override;

 private:
  std::string text_;
};

}  // namespace weft_desktop
