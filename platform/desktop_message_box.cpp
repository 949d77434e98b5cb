// Message boxes on the desktop: a modal window with an icon, the text and
// the style's buttons; Enter presses the focused button (first the default
// one), Esc and the close box answer Cancel where the box has it.
#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/desktop_widgets.h"
#include "platform/message_box.h"
#include "platform/message_box_style.h"

namespace weft_desktop {

namespace {

// Sizes at 96 dots per inch; the box takes them at the desktop's scale.
constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kButtonWidth = 75, kButtonHeight = 23, kButtonGap = 6;
constexpr int kMinimumWidth = 160;

int Px(int pixels) { return ScaledPixels(pixels); }

const char* ButtonText(int answer) {
  switch (answer) {
    case kIdAbort: return "&Abort";
    case kIdRetry: return "&Retry";
    case kIdIgnore: return "&Ignore";
    case kIdYes: return "&Yes";
    case kIdNo: return "&No";
  }
  return MessageBoxAnswerName(answer);
}

// A text drawn as it is: no '&' mnemonics, no '@' symbols.
class PlainText : public Fl_Widget {
 public:
  PlainText(int x, int y, int width, int height, const char* text)
      : Fl_Widget(x, y, width, height), text_(text) {}
  void draw() override {
    fl_font(kDialogFont, DialogFontSize());
    fl_color(FL_FOREGROUND_COLOR);
    fl_draw(text_.c_str(), x(), y(), w(), h(), FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_INSIDE | FL_ALIGN_WRAP,
            nullptr, 0);
  }

 private:
  std::string text_;
};

// The icon of a style: a red circle with a cross, a yellow triangle with
// '!', a blue circle with 'i' or '?'.
class MessageIcon : public Fl_Widget {
 public:
  MessageIcon(int x, int y, uint32_t icon) : Fl_Widget(x, y, Px(kIconSize), Px(kIconSize)), icon_(icon) {}
  void draw() override {
    if (icon_ == kMbIconWarning) return DrawWarning();
    fl_color(icon_ == kMbIconError ? FL_RED : FL_BLUE);
    fl_pie(x(), y(), w(), h(), 0, 360);
    fl_color(FL_WHITE);
    if (icon_ == kMbIconError) {
      fl_line_style(FL_SOLID | FL_CAP_ROUND, Px(4));
      fl_line(x() + Px(10), y() + Px(10), x() + Px(22), y() + Px(22));
      fl_line(x() + Px(22), y() + Px(10), x() + Px(10), y() + Px(22));
      fl_line_style(0);
      return;
    }
    fl_font(FL_TIMES_BOLD, Px(24));
    fl_draw(icon_ == kMbIconQuestion ? "?" : "i", x(), y(), w(), h(), FL_ALIGN_CENTER, nullptr, 0);
  }

 private:
  void DrawWarning() {
    fl_color(FL_YELLOW);
    fl_polygon(x() + Px(16), y() + Px(1), x() + Px(31), y() + Px(30), x() + Px(1), y() + Px(30));
    fl_color(FL_BLACK);
    fl_loop(x() + Px(16), y() + Px(1), x() + Px(31), y() + Px(30), x() + Px(1), y() + Px(30));
    fl_font(FL_HELVETICA_BOLD, Px(20));
    fl_draw("!", x(), y() + Px(6), w(), h() - Px(6), FL_ALIGN_CENTER, nullptr, 0);
  }
  uint32_t icon_;
};

class MessageBoxWindow : public Fl_Double_Window {
 public:
  MessageBoxWindow(const char* text, const char* caption, uint32_t style)
      : Fl_Double_Window(Px(kMinimumWidth), 100), style_(style) {
    copy_label(caption);
    Build(text);
    end();
    set_modal();
    callback(OnClose, this);
  }
  int Answer() const { return answer_ ? answer_ : EscapeAnswer() ? EscapeAnswer() : MessageBoxDefaultAnswer(style_); }
  PushButton* DefaultButton() const { return defaultButton_; }

  int handle(int event) override {
    if (event == FL_SHORTCUT && (Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter)) {
      auto* focused = dynamic_cast<PushButton*>(Fl::focus());
      (focused ? focused : defaultButton_)->do_callback();
      return 1;
    }
    return Fl_Double_Window::handle(event);
  }

 private:
  // Cancel where the box has it, OK in a box of OK alone; else none.
  int EscapeAnswer() const {
    std::vector<int> buttons = MessageBoxButtons(style_);
    if (std::find(buttons.begin(), buttons.end(), kIdCancel) != buttons.end()) return kIdCancel;
    return buttons.size() == 1 ? kIdOk : 0;
  }

  void Build(const char* text) {
    uint32_t icon = style_ & 0xF0;
    int textX = icon ? Px(kMargin) + Px(kIconSize) + Px(kMargin) : Px(kMargin);
    fl_font(kDialogFont, DialogFontSize());
    int textWidth = 0, textHeight = 0;
    fl_measure(text, textWidth, textHeight, 0);
    int widest = std::min(Fl::w() * 5 / 8, Px(640));
    if (textWidth > widest) {
      textWidth = widest;
      textHeight = 0;
      fl_measure(text, textWidth, textHeight, 0);
    }
    int contentHeight = std::max(textHeight, icon ? Px(kIconSize) : 0);
    int textY = Px(kMargin) + (contentHeight - textHeight) / 2;
    if (icon) new MessageIcon(Px(kMargin), Px(kMargin), icon);
    new PlainText(textX, textY, textWidth, textHeight, text);
    std::vector<int> answers = MessageBoxButtons(style_);
    int rowWidth = static_cast<int>(answers.size()) * (Px(kButtonWidth) + Px(kButtonGap)) - Px(kButtonGap);
    int width = std::max({textX + textWidth + Px(kMargin), rowWidth + 2 * Px(kMargin), Px(kMinimumWidth)});
    int buttonY = Px(kMargin) + contentHeight + Px(kMargin);
    int buttonX = (width - rowWidth) / 2;
    for (int answer : answers) {
      auto* button = new PushButton(buttonX, buttonY, Px(kButtonWidth), Px(kButtonHeight), ButtonText(answer),
                                    answer == MessageBoxDefaultAnswer(style_));
      button->callback(OnButton, static_cast<long>(answer));
      if (button->IsDefault()) defaultButton_ = button;
      buttonX += Px(kButtonWidth) + Px(kButtonGap);
    }
    size(width, buttonY + Px(kButtonHeight) + Px(kMargin));
  }

  static void OnButton(Fl_Widget* widget, long answer) {
    auto* box = static_cast<MessageBoxWindow*>(widget->window());
    box->answer_ = static_cast<int>(answer);
    box->hide();
  }
  static void OnClose(Fl_Widget*, void* data) {
    auto* box = static_cast<MessageBoxWindow*>(data);
    if (!box->EscapeAnswer()) return;  // a Yes/No box must be answered
    box->answer_ = box->EscapeAnswer();
    box->hide();
  }

  uint32_t style_;
  PushButton* defaultButton_ = nullptr;
  int answer_ = 0;
};

}  // namespace

int ShowDesktopMessageBox(const char* text, const char* caption, uint32_t style, Fl_Window* owner) {
  MessageBoxWindow box(text, caption, style);
  int x = (Fl::w() - box.w()) / 2, y = (Fl::h() - box.h()) / 2;
  if (owner && owner->shown()) {
    x = owner->x() + (owner->w() - box.w()) / 2;
    y = owner->y() + (owner->h() - box.h()) / 2;
  }
  box.position(std::max(x, 0), std::max(y, 0));
  box.show();
  box.DefaultButton()->take_focus();
  BringForward(&box, (style & kMbTopmost) != 0);
  while (box.shown()) Fl::wait();
  // As the owner window gets the focus back when its box goes.
  if (owner && owner->shown()) ActivateWindow(fl_xid(owner));
  return box.Answer();
}

}  // namespace weft_desktop
