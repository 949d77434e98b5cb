// The controls of the desktop dialogs, as FLTK widgets that behave as the
// Windows dialog controls do: labels with '&' mnemonics, edits with typing
// limits (one that takes digits only, one of several lines that leaves Enter
// to the dialog), push buttons with a default frame, and a pop-up text
// window for tips and help notes. Shared by the desktop sources only.
#pragma once

#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Menu_Window.H>
#include <FL/Fl_Multiline_Input.H>

#include <string>

namespace weft_desktop {

// A sans font near 8 pt at the screen's resolution, for every control.
constexpr Fl_Font kDialogFont = FL_HELVETICA;
int DialogFontSize();

// The letter after a single '&' in a label, lower case; 0 when none.
char MnemonicOf(const char* label);
// A label text as FLTK draws it: '@' doubled, so that it never names a symbol.
std::string PlainLabel(const char* text);

// A static text, left aligned, its mnemonic underlined.
class Label : public Fl_Box {
 public:
  Label(int x, int y, int width, int height, const char* text);
};

// A one-line edit; Enter is left to the dialog.
class Edit : public Fl_Input {
 public:
  Edit(int x, int y, int width, int height, int limit);
};

// An edit that takes digits only, typed or pasted.
class NumberEdit : public Fl_Input {
 public:
  NumberEdit(int x, int y, int width, int height, int limit);
  int handle(int event) override;
};

// An edit of several lines, wrapped: Enter and Tab are left to the dialog,
// Ctrl+Enter and Ctrl+Tab insert a line break and a TAB.
class MultiLineEdit : public Fl_Multiline_Input {
 public:
  MultiLineEdit(int x, int y, int width, int height, int limit);
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
