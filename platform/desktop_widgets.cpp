#include "platform/desktop_widgets.h"

#include <FL/Fl.H>
#include <FL/Fl_Tooltip.H>
#include <FL/fl_ask.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

namespace weft_desktop {

namespace {

constexpr int kTipPaddingX = 3, kTipPaddingY = 2;  // text inside a pop-up, at 96 dpi
constexpr int kTipExtraWidth = 8, kTipExtraHeight = 6;

bool AllDigits(const char* text, int length) {
  for (int i = 0; i < length; ++i) {
    if (!isdigit(static_cast<unsigned char>(text[i]))) return false;
  }
  return true;
}

bool IsEnter(int key) { return key == FL_Enter || key == FL_KP_Enter; }

// A key that types text: letters, digits, signs, not Ctrl, Alt or the
// control characters that edit keys bring.
bool IsTypedText() {
  const char* text = Fl::event_text();
  return Fl::event_length() > 0 && !(Fl::event_state() & (FL_CTRL | FL_ALT | FL_META)) &&
         static_cast<unsigned char>(text[0]) >= ' ' && text[0] != 0x7F;
}

void UseDialogFont(Fl_Widget* widget) {
  widget->labelfont(kDialogFont);
  widget->labelsize(DialogFontSize());
}

void UseDialogFont(Fl_Input_* input) {
  UseDialogFont(static_cast<Fl_Widget*>(input));
  input->textfont(kDialogFont);
  input->textsize(DialogFontSize());
}

}  // namespace

int ScaledPixels(int pixels) { return static_cast<int>(std::lround(pixels * DesktopDpi() / 96)); }

// 8 pt at 96 dpi is 11 pixels; other scales take that size times the
// scale, so that a desktop at twice the resolution gets twice the font.
int DialogFontSize() {
  static const int size = ScaledPixels(11);
  return size;
}

char MnemonicOf(const char* label) {
  for (const char* p = label; p && *p; ++p) {
    if (*p != '&') continue;
    if (p[1] == '&') {
      ++p;
      continue;
    }
    return static_cast<char>(tolower(static_cast<unsigned char>(p[1])));
  }
  return 0;
}

std::string PlainLabel(const char* text) {
  std::string out;
  for (const char* p = text; p && *p; ++p) {
    out += *p;
    if (*p == '@') out += '@';
  }
  return out;
}

Label::Label(int x, int y, int width, int height, const char* text) : Fl_Box(x, y, width, height) {
  copy_label(PlainLabel(text).c_str());
  align(FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
  set_flag(SHORTCUT_LABEL);
  UseDialogFont(this);
}

TypedText EditRules::Takes(const Fl_Input_* input, const std::string& text) const {
  int from = std::min(input->position(), input->mark());
  int to = std::max(input->position(), input->mark());
  std::string value(input->value(), input->size());
  std::string kept = value.substr(0, from) + value.substr(to);
  CodePage page = typing_ && typing_->dialog ? typing_->dialog->FieldCodePage() : CodePage::kUtf8;
  return FieldTakes(kept, text, limit_, page);
}

int EditRules::CheckTyping(Fl_Input_* input, int event) const {
  if ((event != FL_KEYBOARD || !IsTypedText()) && event != FL_PASTE) return -1;
  if (input->readonly()) return -1;
  std::string text(Fl::event_text(), Fl::event_length());
  TypedText takes = Takes(input, text);
  if (!takes.missing.empty()) {
    if (typing_ && typing_->refuse) typing_->refuse(takes.missing);
    return 1;
  }
  if (takes.taken == text.size()) return -1;
  // As an edit at its limit does: a beep, and what fits goes in.
  fl_beep();
  if (takes.taken > 0) input->replace(input->position(), input->mark(), text.data(), takes.taken);
  return 1;
}

void EditRules::Insert(Fl_Input_* input, const char* text) const {
  TypedText takes = Takes(input, text);
  if (takes.taken < strlen(text)) fl_beep();
  if (takes.taken > 0) input->replace(input->position(), input->mark(), text, takes.taken);
}

Edit::Edit(int x, int y, int width, int height, int limit, const FieldTyping* typing)
    : Fl_Input(x, y, width, height), EditRules(limit, typing) {
  UseDialogFont(this);
}

int Edit::handle(int event) {
  int handled = CheckTyping(this, event);
  return handled >= 0 ? handled : Fl_Input::handle(event);
}

NumberEdit::NumberEdit(int x, int y, int width, int height, int limit, const FieldTyping* typing)
    : Fl_Input(x, y, width, height), EditRules(limit, typing) {
  UseDialogFont(this);
}

int NumberEdit::handle(int event) {
  const char* text = Fl::event_text();
  int length = Fl::event_length();
  if (((event == FL_KEYBOARD && IsTypedText()) || event == FL_PASTE) && !AllDigits(text, length)) {
    fl_beep();
    return 1;
  }
  int handled = CheckTyping(this, event);
  return handled >= 0 ? handled : Fl_Input::handle(event);
}

MultiLineEdit::MultiLineEdit(int x, int y, int width, int height, int limit, const FieldTyping* typing)
    : Fl_Multiline_Input(x, y, width, height), EditRules(limit, typing) {
  wrap(1);
  UseDialogFont(this);
}

int MultiLineEdit::handle(int event) {
  int handled = CheckTyping(this, event);
  if (handled >= 0) return handled;
  if (event != FL_KEYBOARD) return Fl_Multiline_Input::handle(event);
  int key = Fl::event_key();
  bool control = Fl::event_state(FL_CTRL);
  if (!IsEnter(key) && key != FL_Tab) return Fl_Multiline_Input::handle(event);
  if (!control) return 0;
  if (readonly()) return 1;
  Insert(this, IsEnter(key) ? "\n" : "\t");
  return 1;
}

PushButton::PushButton(int x, int y, int width, int height, const char* text, bool isDefault)
    : Fl_Button(x, y, width, height), isDefault_(isDefault) {
  copy_label(PlainLabel(text).c_str());
  UseDialogFont(this);
}

void PushButton::draw() {
  Fl_Button::draw();
  if (!isDefault_) return;
  fl_color(active_r() ? FL_BLACK : FL_INACTIVE_COLOR);
  fl_rect(x(), y(), w(), h());
}

TextPopup::TextPopup() : Fl_Menu_Window(0, 0, 1, 1) {
  set_override();
  set_tooltip_window();
  end();
}

void TextPopup::ShowAt(int x, int y, const char* text) {
  text_ = text;
  fl_font(kDialogFont, DialogFontSize());
  int width = 0, height = 0;
  fl_measure(text_.c_str(), width, height, 0);
  width += ScaledPixels(kTipExtraWidth);
  height += ScaledPixels(kTipExtraHeight);
  int screenX, screenY, screenWidth, screenHeight;
  Fl::screen_xywh(screenX, screenY, screenWidth, screenHeight, x, y);
  if (x + width > screenX + screenWidth) x = screenX + screenWidth - width;
  if (x < screenX) x = screenX;
  resize(x, y, width, height);
  show();
  redraw();
}

void TextPopup::draw() {
  fl_draw_box(FL_BORDER_BOX, 0, 0, w(), h(), Fl_Tooltip::color());
  fl_color(FL_BLACK);
  fl_font(kDialogFont, DialogFontSize());
  int padX = ScaledPixels(kTipPaddingX), padY = ScaledPixels(kTipPaddingY);
  fl_draw(text_.c_str(), padX, padY, w() - 2 * padX, h() - 2 * padY,
          FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_INSIDE, nullptr, 0);
}

}  // namespace weft_desktop
