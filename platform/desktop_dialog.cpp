// Dialogs on the desktop: a window built from the dialog's controls, laid
// out from dialog units with the metrics of the font it uses, that sends
// the program's handler what the user does: commands (Enter presses the
// default button, Esc cancels), timers, dropped files (the X drag-and-drop
// protocol), clipboard changes, resizing, right clicks and help requests.
#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/fl_draw.H>

#include <cmath>
#include <cstring>
#include <deque>
#include <map>
#include <memory>

#include "platform/desktop.h"
#include "platform/desktop_list_box.h"
#include "platform/desktop_widgets.h"
#include "platform/dropped_files.h"
#include "platform/message_box.h"

namespace weft_desktop {

namespace {

constexpr int kMargin = 8;            // dialog units around the controls
constexpr int kSizingFrame = 4;       // pixels at 96 dpi the window manager's frame may take
constexpr int kDialogFrame = 2;       // a list box's own frame
constexpr double kBusyRetry = 0.1;    // seconds: a queued event waits for a box to close
constexpr int kPointerHeight = 16;    // pixels at 96 dpi: a note at the pointer goes below it
constexpr int kTitleBarLines = 10;    // the title bar's icon and buttons, in lines of the font
const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

class DesktopDialog;

// The window: hands its events to the dialog first.
class DialogWindow : public Fl_Double_Window {
 public:
  DialogWindow(int width, int height, DesktopDialog* dialog)
      : Fl_Double_Window(width, height), dialog_(dialog) {}
  int handle(int event) override;
  void resize(int x, int y, int width, int height) override;
  DesktopDialog* Owner() const { return dialog_; }

 private:
  DesktopDialog* dialog_;
};

// Receives the clipboard's text when the dialog asks for it.
class ClipboardReceiver : public Fl_Widget {
 public:
  explicit ClipboardReceiver(DesktopDialog* dialog) : Fl_Widget(0, 0, 0, 0), dialog_(dialog) {}
  void draw() override {}
  int handle(int event) override;

 private:
  DesktopDialog* dialog_;
};

struct Timer {
  DesktopDialog* dialog;
  int id;
  double seconds;
};

struct Control {
  ControlSpec spec;
  Fl_Widget* widget;
};

struct QueuedEvent {
  DialogEvent event;
  std::string clipboard;  // of a clipboard change
};

class DesktopDialog : public Dialog {
 public:
  DesktopDialog(const DialogSpec& spec, DialogHandler handler) : spec_(spec), handler_(handler) {
    MeasureFont();
    typing_.dialog = this;
    typing_.refuse = [this](const std::string& letter) { RefuseLetter(letter); };
    window_ = new DialogWindow(DialogUnitsX(spec.width ? spec.width : Extent(true)),
                               DialogUnitsY(spec.height ? spec.height : Extent(false)), this);
    window_->copy_label(spec.caption ? spec.caption : "");
    window_->callback(OnClose, this);
    for (const ControlSpec& control : spec.controls) Build(control);
    receiver_ = new ClipboardReceiver(this);
    receiver_->hide();
    window_->end();
    // Controls keep their places on resizing; the program moves them.
    window_->resizable(nullptr);
    lastWidth_ = window_->w();
    lastHeight_ = window_->h();
    if (!spec.resizable) window_->size_range(window_->w(), window_->h(), window_->w(), window_->h());
    else window_->size_range(minimumWidth_, minimumHeight_);
  }
  ~DesktopDialog() override {
    LeaveClipboardViewers();
    for (auto& entry : timers_) Fl::remove_timeout(OnTimer, entry.second.get());
    Fl::remove_timeout(OnQueued, this);
    delete tip_;
    delete window_;
  }

  int Run() {
    Fl_Event_Dispatch previousDispatch = Fl::event_dispatch();
    current = this;
    Fl::event_dispatch(Dispatch);
    int result = RunWindow();
    Fl::event_dispatch(previousDispatch);
    current = nullptr;
    return result;
  }

  // --- Dialog ----------------------------------------------------------------
  void SetCaption(const char* text) override { window_->copy_label(text ? text : ""); }
  std::string Caption() const override { return window_->label() ? window_->label() : ""; }
  void SetItemText(int id, const char* text) override {
    Fl_Widget* widget = Widget(id);
    if (!widget) return;
    if (auto* input = dynamic_cast<Fl_Input_*>(widget)) {
      input->value(ToUtf8(text ? text : "", FieldCodePage()).c_str());
    } else {
      widget->copy_label(PlainLabel(text).c_str());
    }
  }
  std::string ItemText(int id) const override {
    Fl_Widget* widget = Widget(id);
    if (!widget) return std::string();
    if (auto* input = dynamic_cast<Fl_Input_*>(widget)) {
      std::string shown(input->value(), input->size()), text;
      return FromUtf8(shown, FieldCodePage(), &text) ? text : shown;
    }
    const Control* control = Find(id);
    return control->spec.text ? control->spec.text : "";
  }
  void EndDialog(int result) override {
    if (ended_) return;
    ended_ = true;
    result_ = result;
  }
  void SetTimer(int id, unsigned milliseconds) override {
    KillTimer(id);
    auto timer = std::make_unique<Timer>(Timer{this, id, milliseconds / 1000.0});
    Fl::add_timeout(timer->seconds, OnTimer, timer.get());
    timers_[id] = std::move(timer);
  }
  void KillTimer(int id) override {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    Fl::remove_timeout(OnTimer, it->second.get());
    timers_.erase(it);
  }
  void AddListEntry(int id, const char* text) override {
    if (ColumnListBox* list = List(id)) list->Add(text);
  }
  int ListCount(int id) const override {
    ColumnListBox* list = List(id);
    return list ? list->Count() : 0;
  }
  std::string ListEntry(int id, int index) const override {
    ColumnListBox* list = List(id);
    return list && index >= 0 && index < list->Count() ? list->Entry(index) : std::string();
  }
  bool ListSelected(int id, int index) const override {
    ColumnListBox* list = List(id);
    return list && index >= 0 && index < list->Count() && list->Selected(index);
  }
  void SetListSelected(int id, int index, bool selected) override {
    if (ColumnListBox* list = List(id)) list->SetSelected(index, selected);
  }
  void SetListColumnWidth(int id, int width) override {
    if (ColumnListBox* list = List(id)) list->SetColumnWidth(width);
  }
  int ListItemHeight(int id) const override {
    ColumnListBox* list = List(id);
    return list ? list->ItemHeight() : metrics_.baseUnitY;
  }
  int MessageBox(const char* text, const char* caption, uint32_t style) override {
    HideTip();
    return ShowDesktopMessageBox(text ? text : "", caption ? caption : "Error", style, window_);
  }
  bool ClipboardText(std::string* text) override {
    if (!hasClipboard_) return false;
    *text = clipboard_;
    return true;
  }
  void JoinClipboardViewers() override {
    if (joined_) return;
    joined_ = true;
    Fl::add_clipboard_notify(OnClipboardNotify, this);
  }
  void LeaveClipboardViewers() override {
    if (!joined_) return;
    joined_ = false;
    Fl::remove_clipboard_notify(OnClipboardNotify);
  }

  DialogMetrics Metrics() const override { return metrics_; }
  int TextWidth(const char* text) const override {
    fl_font(kDialogFont, DialogFontSize());
    return static_cast<int>(std::ceil(fl_width(text)));
  }
  // The window manager's title font is not known: the dialog font in bold,
  // at the desktop's scale as the window manager's is, and room for the
  // title bar's icon and buttons.
  int CaptionWidth(const char* text) const override {
    fl_font(kDialogFont | FL_BOLD, DialogFontSize());
    return static_cast<int>(std::ceil(fl_width(text))) + kTitleBarLines * fl_height();
  }
  // FLTK fixes the size range of a window that the program resizes; a
  // dialog with a sizing border gets its own range back, so the user can
  // still resize it whatever size the program gave it.
  void SetWindowSize(int width, int height) override {
    window_->size(width - metrics_.windowExtraWidth, height - metrics_.windowExtraHeight);
    if (spec_.resizable) window_->size_range(minimumWidth_, minimumHeight_);
  }
  void SetMinimumWindowSize(int width, int height) override {
    if (!spec_.resizable) return;
    minimumWidth_ = width - metrics_.windowExtraWidth;
    minimumHeight_ = height - metrics_.windowExtraHeight;
    window_->size_range(minimumWidth_, minimumHeight_);
  }
  void MoveControl(int id, int x, int y, int width, int height) override {
    if (Fl_Widget* widget = Widget(id)) widget->resize(x, y, width, height);
    window_->redraw();
  }

  void ShowTip(int id, int index, const char* text) override {
    HideTip();
    ColumnListBox* list = List(id);
    int x, y, width, height;
    if (!list || !window_->shown() || !list->EntryRect(index, &x, &y, &width, &height)) return;
    ShowPopup(window_->x_root() + x, window_->y_root() + y + height, text);
    tipList_ = id;
    tipIndex_ = index;
    window_->cursor(FL_CURSOR_NONE);
  }
  void HideTip() override {
    if (!TipShown()) return;
    tip_->hide();
    tipList_ = 0;
    tipIndex_ = -1;
    window_->cursor(FL_CURSOR_DEFAULT);
  }
  bool TipShown() const override { return tip_ && tip_->shown(); }
  void ShowHelp(const char* helpFile, int) override {
    HideTip();
    std::string note = std::string("Help is not available: the help file \"") + helpFile +
                       "\" is not installed.";
    ShowPopup(helpX_, helpY_, note.c_str());
  }
  uintptr_t ForegroundWindow() const override { return ActiveWindow(); }
  void SetForegroundWindow(uintptr_t window) override { ActivateWindow(window); }

  // --- From the window ---------------------------------------------------------
  // -1 when the window's own handling should follow.
  int PreHandle(int event) {
    switch (event) {
      case FL_PASTE:
        if (!dropping_) return -1;
        dropping_ = false;
        Queue(DropEvent(Fl::event_text()));
        return 1;
      case FL_PUSH:
        return Push();
      case FL_LEAVE:
      case FL_UNFOCUS:
        HideTip();
        return -1;
      case FL_KEYBOARD:
        if (Fl::event_key() != FL_F + 1) return -1;
        SendHelp(FocusedId(), Fl::focus());
        return 1;
      case FL_SHORTCUT:
        return Shortcut();
    }
    return -1;
  }
  void Resized(int width, int height) {
    if (width == lastWidth_ && height == lastHeight_) return;
    lastWidth_ = width;
    lastHeight_ = height;
    HideTip();
    DialogEvent event = Event(DialogEvent::kSize);
    event.width = width;
    event.height = height;
    Send(event);
  }
  void ClipboardArrived(const char* text) {
    for (const std::string& item : CopiedTexts(text ? text : "")) {
      Queue(Event(DialogEvent::kClipboardChange), item);
    }
  }
  void Command(int id, int code) { Send(Event(DialogEvent::kCommand, id, code)); }

 private:
  int RunWindow() {
    Send(Event(DialogEvent::kInit));
    if (!ended_) Show();
    while (!ended_ && window_->shown()) Fl::wait();
    Send(Event(DialogEvent::kDestroy));
    HideTip();
    window_->hide();
    Fl::flush();
    return result_;
  }

  // Every event passes here first: a help note goes with the next key,
  // whichever control takes it; a drag over the window is the window's.
  static int Dispatch(int event, Fl_Window* window) {
    if (event == FL_KEYBOARD && current && current->TipShown() && !current->tipList_) current->HideTip();
    if (IsDragOver(event) && current && window == current->window_) return current->DragOver(event);
    return Fl::handle_(event, window);
  }
  static bool IsDragOver(int event) {
    return event == FL_DND_ENTER || event == FL_DND_DRAG || event == FL_DND_RELEASE;
  }
  // As Windows hands a drop to the window that registered for it, files go
  // to the dialog wherever they are let go: the window, not the control
  // under the pointer, asks for the dropped data, so no field ever takes a
  // file list as typed text. A dialog that takes no files refuses every drop.
  int DragOver(int event) {
    if (!spec_.acceptsFiles || BoxOpen()) return 0;
    Fl::belowmouse(window_);
    if (event == FL_DND_RELEASE) dropping_ = true;
    return 1;
  }
  static DesktopDialog* current;  // the dialog running now

  static DialogEvent Event(DialogEvent::Kind kind, int id = 0, int code = 0) {
    DialogEvent event{};
    event.kind = kind;
    event.id = id;
    event.code = code;
    return event;
  }
  void Send(const DialogEvent& event) { handler_(*this, event); }

  // Events that come in the middle of X's own protocol steps (a drop, a
  // clipboard transfer) reach the handler from the event loop a moment
  // later, one after the other, and never while a message box is open.
  // A message box (the only modal window) waits for its answer.
  static bool BoxOpen() { return Fl::modal() != nullptr; }
  // A clipboard change comes with the clipboard's text at that moment.
  void Queue(const DialogEvent& event, const std::string& clipboard = std::string()) {
    queued_.push_back({event, clipboard});
    if (!Fl::has_timeout(OnQueued, this)) Fl::add_timeout(0, OnQueued, this);
  }
  static void OnQueued(void* data) {
    auto* dialog = static_cast<DesktopDialog*>(data);
    if (BoxOpen()) return Fl::add_timeout(kBusyRetry, OnQueued, data);
    while (!dialog->queued_.empty() && !dialog->ended_ && !BoxOpen()) {
      QueuedEvent queued = dialog->queued_.front();
      dialog->queued_.pop_front();
      dialog->Deliver(queued);
    }
    if (!dialog->queued_.empty() && !dialog->ended_) Fl::add_timeout(kBusyRetry, OnQueued, data);
  }
  void Deliver(const QueuedEvent& queued) {
    if (queued.event.kind == DialogEvent::kClipboardChange) {
      if (!joined_) return;
      clipboard_ = queued.clipboard;
      hasClipboard_ = true;
    }
    HideTip();
    Send(queued.event);
  }
  static DialogEvent DropEvent(const char* uriList) {
    DialogEvent event = Event(DialogEvent::kDropFiles);
    event.files = DroppedFilePaths(uriList ? uriList : "");
    return event;
  }

  void MeasureFont() {
    fl_font(kDialogFont, DialogFontSize());
    int average = static_cast<int>(std::lround(fl_width(kAlphabet) / 26.0));
    int workX, workY, workWidth, workHeight;
    Fl::screen_work_area(workX, workY, workWidth, workHeight, 0);
    int sizingFrame = ScaledPixels(kSizingFrame);
    metrics_ = {(average + 1) / 2, fl_height(), (average + 1) / 2, kDialogFrame, kDialogFrame,
                sizingFrame, sizingFrame, Fl::scrollbar_size(), workWidth, workHeight, 0, 0};
  }
  // The controls' extent in dialog units, with a margin.
  int Extent(bool horizontal) const {
    int extent = 0;
    for (const ControlSpec& control : spec_.controls) {
      int end = horizontal ? control.x + control.width : control.y + control.height;
      if (end > extent) extent = end;
    }
    return extent + kMargin;
  }
  void Build(const ControlSpec& spec) {
    int x = DialogUnitsX(spec.x), y = DialogUnitsY(spec.y);
    int width = DialogUnitsX(spec.width), height = DialogUnitsY(spec.height);
    Fl_Widget* widget = MakeWidget(spec, x, y, width, height);
    if (spec.disabled) widget->deactivate();
    controls_.push_back({spec, widget});
  }
  Fl_Widget* MakeWidget(const ControlSpec& spec, int x, int y, int width, int height) {
    const char* text = spec.text ? spec.text : "";
    switch (spec.kind) {
      case ControlKind::kStatic: return new Label(x, y, width, height, text);
      case ControlKind::kEdit: return new Edit(x, y, width, height, spec.limit, &typing_);
      case ControlKind::kNumberEdit: return new NumberEdit(x, y, width, height, spec.limit, &typing_);
      case ControlKind::kMultiLineEdit:
        return new MultiLineEdit(x, y, width, height, spec.limit, &typing_);
      case ControlKind::kListBox: return MakeList(spec.id, x, y, width, height);
      case ControlKind::kButton:
      case ControlKind::kDefaultButton: break;
    }
    auto* button = new PushButton(x, y, width, height, text, spec.kind == ControlKind::kDefaultButton);
    button->callback(OnButton, static_cast<long>(spec.id));
    return button;
  }
  Fl_Widget* MakeList(int id, int x, int y, int width, int height) {
    auto* list = new ColumnListBox(x, y, width, height);
    list->onSelectionChange = [this, id] { Command(id, 1); };
    list->onRightClick = [this, id](int index) {
      DialogEvent event = Event(DialogEvent::kListRightClick, id);
      event.index = index;
      Send(event);
    };
    list->onPointerOver = [this, id](int index) {
      if (tipList_ == id && index != tipIndex_) HideTip();
    };
    return list;
  }

  void Show() {
    if (spec_.centered) {
      window_->position((Fl::w() - window_->w()) / 2, (Fl::h() - window_->h()) / 2);
    }
    window_->show();
    FocusFirstControl();
    BringForward(window_, false);
  }
  void FocusFirstControl() {
    for (const Control& control : controls_) {
      if (!control.widget->active() || control.spec.kind == ControlKind::kStatic) continue;
      Focus(control.widget);
      return;
    }
  }
  // As the dialog manager does: an edit that takes the focus has its text selected.
  static void Focus(Fl_Widget* widget) {
    widget->take_focus();
    if (auto* input = dynamic_cast<Fl_Input_*>(widget)) input->position(input->size(), 0);
  }

  int Push() {
    int button = Fl::event_button();
    if (button != FL_RIGHT_MOUSE) {
      HideTip();
      return -1;
    }
    const Control* control = ControlAt(Fl::event_x(), Fl::event_y());
    if (control && control->spec.kind == ControlKind::kListBox) return -1;
    SendHelp(control ? control->spec.id : 0, nullptr);
    return 1;
  }
  // Help for a control: a note below the focused control (F1), else at the pointer.
  void SendHelp(int id, Fl_Widget* below) {
    helpX_ = Fl::event_x_root();
    helpY_ = Fl::event_y_root() + ScaledPixels(kPointerHeight);
    if (below && below->window() == window_) {
      helpX_ = window_->x_root() + below->x();
      helpY_ = window_->y_root() + below->y() + below->h();
    }
    Send(Event(DialogEvent::kHelp, id));
  }

  int Shortcut() {
    int key = Fl::event_key();
    if (key == FL_Enter || key == FL_KP_Enter) {
      auto* focused = dynamic_cast<PushButton*>(Fl::focus());
      if (focused && window_->contains(focused)) focused->do_callback();
      else Command(DefaultId(), 0);
      return 1;
    }
    if (key == FL_Escape) {
      Command(kIdCancel, 0);
      return 1;
    }
    if (Fl::event_state(FL_ALT) && FocusLabelTarget(Fl::event_text())) return 1;
    return -1;
  }
  // The default button, else OK, as Windows sends IDOK on Enter.
  int DefaultId() const {
    for (const Control& control : controls_) {
      if (control.spec.kind == ControlKind::kDefaultButton) return control.spec.id;
    }
    return kIdOk;
  }
  // Alt and a label's mnemonic: the focus goes to the control after it.
  bool FocusLabelTarget(const char* text) {
    if (!text || !*text) return false;
    char letter = static_cast<char>(tolower(static_cast<unsigned char>(*text)));
    for (size_t i = 0; i < controls_.size(); ++i) {
      const Control& label = controls_[i];
      if (label.spec.kind != ControlKind::kStatic || MnemonicOf(label.spec.text) != letter) continue;
      for (size_t j = i + 1; j < controls_.size(); ++j) {
        if (controls_[j].spec.kind == ControlKind::kStatic || !controls_[j].widget->active()) continue;
        Focus(controls_[j].widget);
        return true;
      }
    }
    return false;
  }
  int FocusedId() const {
    for (const Control& control : controls_) {
      if (control.widget == Fl::focus()) return control.spec.id;
    }
    return 0;
  }
  const Control* ControlAt(int x, int y) const {
    for (const Control& control : controls_) {
      Fl_Widget* widget = control.widget;
      if (x >= widget->x() && y >= widget->y() && x < widget->x() + widget->w() &&
          y < widget->y() + widget->h()) {
        return &control;
      }
    }
    return nullptr;
  }

  // A typed letter that the field code page has no form for.
  void RefuseLetter(const std::string& letter) {
    HideTip();
    ShowDesktopMessageBox(MissingLetterMessage(letter).c_str(), Caption().c_str(), kMbOk | kMbIconWarning,
                          window_);
  }

  void ShowPopup(int x, int y, const char* text) {
    if (!tip_) {
      Fl_Group* current = Fl_Group::current();
      Fl_Group::current(nullptr);
      tip_ = new TextPopup();
      Fl_Group::current(current);
    }
    tip_->ShowAt(x, y, text);
  }

  const Control* Find(int id) const {
    for (const Control& control : controls_) {
      if (control.spec.id == id) return &control;
    }
    return nullptr;
  }
  Fl_Widget* Widget(int id) const {
    const Control* control = id >= 0 ? Find(id) : nullptr;
    return control ? control->widget : nullptr;
  }
  ColumnListBox* List(int id) const { return dynamic_cast<ColumnListBox*>(Widget(id)); }

  static void OnButton(Fl_Widget* widget, long id) {
    static_cast<DialogWindow*>(widget->window())->Owner()->Command(static_cast<int>(id), 0);
  }
  static void OnClose(Fl_Widget*, void* data) {
    static_cast<DesktopDialog*>(data)->Command(kIdCancel, 0);
  }
  static void OnTimer(void* data) {
    Timer* timer = static_cast<Timer*>(data);
    Fl::repeat_timeout(timer->seconds, OnTimer, data);
    timer->dialog->Send(Event(DialogEvent::kTimer, timer->id));  // may delete the timer
  }
  static void OnClipboardNotify(int source, void* data) {
    auto* dialog = static_cast<DesktopDialog*>(data);
    if (source == 1) Fl::paste(*dialog->receiver_, 1, Fl::clipboard_plain_text);
  }

  const DialogSpec& spec_;
  DialogHandler handler_;
  DialogMetrics metrics_{};
  FieldTyping typing_;
  DialogWindow* window_ = nullptr;
  ClipboardReceiver* receiver_ = nullptr;
  TextPopup* tip_ = nullptr;
  std::vector<Control> controls_;
  std::map<int, std::unique_ptr<Timer>> timers_;
  std::deque<QueuedEvent> queued_;
  std::string clipboard_;
  int tipList_ = 0, tipIndex_ = -1;
  int helpX_ = 0, helpY_ = 0;  // where a help note goes
  int lastWidth_ = -1, lastHeight_ = -1;
  int minimumWidth_ = 1, minimumHeight_ = 1;  // client size the user can shrink it to
  bool hasClipboard_ = false;
  bool joined_ = false;
  bool dropping_ = false;
  bool ended_ = false;
  int result_ = kIdCancel;
};

DesktopDialog* DesktopDialog::current = nullptr;

int DialogWindow::handle(int event) {
  int handled = dialog_->PreHandle(event);
  return handled >= 0 ? handled : Fl_Double_Window::handle(event);
}

void DialogWindow::resize(int x, int y, int width, int height) {
  Fl_Double_Window::resize(x, y, width, height);
  dialog_->Resized(width, height);
}

int ClipboardReceiver::handle(int event) {
  if (event != FL_PASTE) return 0;
  dialog_->ClipboardArrived(Fl::event_text());
  return 1;
}

}  // namespace

int RunDesktopDialog(const DialogSpec& spec, DialogHandler handler) {
  DesktopDialog dialog(spec, handler);
  return dialog.Run();
}

}  // namespace weft_desktop
