// The scripted headless dialog back end (WEFTDIALOGSCRIPT, WEFTDIALOGLOG).
#include "platform/scripted_dialog.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>

#include "platform/env.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/message_box_style.h"

namespace {

// Stands for another program's window that had the focus before a box.
constexpr uintptr_t kOtherWindow = 0x100;

// "\n", "\t" and "\\" decoded; any other backslash stands for itself.
std::string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    char ch = text[i];
    if (ch == '\\' && i + 1 < text.size()) {
      char next = text[i + 1];
      if (next == 'n' || next == 't' || next == '\\') {
        out += next == 'n' ? '\n' : next == 't' ? '\t' : '\\';
        ++i;
        continue;
      }
    }
    out += ch;
  }
  return out;
}

// For the transcript: line breaks and TABs written as escapes, so that each
// shown text stays on one line (backslashes stay as they are, paths read well).
std::string Escape(const std::string& text) {
  std::string out;
  for (char ch : text) {
    if (ch == '\n') out += "\\n";
    else if (ch == '\t') out += "\\t";
    else if (ch == '\r') out += "\\r";
    else out += ch;
  }
  return out;
}

DialogEvent Event(DialogEvent::Kind kind, int id = 0, int code = 0) {
  DialogEvent event{};
  event.kind = kind;
  event.id = id;
  event.code = code;
  return event;
}

// Two numbers after a step's verb ("101 3", "300 200"); false when missing.
bool TwoNumbers(const std::string& rest, int* first, int* second) {
  return sscanf(rest.c_str(), "%d %d", first, second) == 2;
}

bool IsEdit(ControlKind kind) {
  return kind == ControlKind::kEdit || kind == ControlKind::kMultiLineEdit ||
         kind == ControlKind::kNumberEdit;
}

struct Control {
  ControlSpec spec;
  std::string text;  // as shown: an edit's in UTF-8
  std::vector<std::string> entries;
  std::vector<bool> selected;
};

class ScriptedDialog : public Dialog {
 public:
  ScriptedDialog(const DialogSpec& spec, DialogHandler handler, const char* log)
      : spec_(spec), handler_(handler), caption_(spec.caption ? spec.caption : "") {
    if (log && *log) log_ = OpenFile(log, "a");
    for (const ControlSpec& control : spec.controls) {
      if (control.id < 0) continue;
      order_.push_back(control.id);
      controls_[control.id] = Control{control, control.text ? control.text : "", {}, {}};
    }
  }
  ~ScriptedDialog() override {
    if (log_) fclose(log_);
  }

  int Run(const std::vector<std::string>& steps) {
    Log("Dialog \"%s\"\n", Escape(caption_).c_str());
    Send(Event(DialogEvent::kInit));
    for (size_t i = 0; i < steps.size() && !ended_; ++i) {
      Log("> %s\n", steps[i].c_str());
      Step(steps[i]);
    }
    if (!ended_) Send(Event(DialogEvent::kCommand, 2, 0));
    if (!ended_) EndDialog(2);  // a window that ignores Cancel still closes
    Send(Event(DialogEvent::kDestroy));
    Log("EndDialog %d\n", result_);
    return result_;
  }

  void SetCaption(const char* text) override {
    caption_ = text ? text : "";
    Log("Caption: %s\n", Escape(caption_).c_str());
  }
  std::string Caption() const override { return caption_; }
  void SetItemText(int id, const char* text) override {
    Control* control = Find(id);
    if (!control) return;
    control->text = text ? text : "";
    if (IsEdit(control->spec.kind)) control->text = ToUtf8(control->text, FieldCodePage());
  }
  std::string ItemText(int id) const override {
    const Control* control = Find(id);
    if (!control) return std::string();
    std::string text;
    if (!IsEdit(control->spec.kind) || !FromUtf8(control->text, FieldCodePage(), &text)) {
      return control->text;
    }
    return text;
  }
  void EndDialog(int result) override {
    if (ended_) return;
    ended_ = true;
    result_ = result;
  }
  void SetTimer(int id, unsigned) override {
    KillTimer(id);
    timers_.push_back(id);
  }
  void KillTimer(int id) override {
    for (size_t i = 0; i < timers_.size(); ++i) {
      if (timers_[i] == id) timers_.erase(timers_.begin() + i);
    }
  }
  void AddListEntry(int id, const char* text) override {
    if (Control* control = Find(id)) {
      control->entries.push_back(text ? text : "");
      control->selected.push_back(false);
    }
  }
  int ListCount(int id) const override {
    const Control* control = Find(id);
    return control ? static_cast<int>(control->entries.size()) : 0;
  }
  std::string ListEntry(int id, int index) const override {
    if (!HasEntry(id, index)) return std::string();
    return Find(id)->entries[index];
  }
  bool ListSelected(int id, int index) const override {
    return HasEntry(id, index) && Find(id)->selected[index];
  }
  void SetListSelected(int id, int index, bool selected) override {
    if (HasEntry(id, index)) Find(id)->selected[index] = selected;
  }
  void SetListColumnWidth(int id, int width) override { Log("Column width %d: %d\n", id, width); }
  int ListItemHeight(int) const override { return kScriptedMetrics.baseUnitY; }
  int MessageBox(const char* text, const char* caption, uint32_t style) override {
    int answer = 0;
    if (!answers_.empty()) {
      answer = MessageBoxAnswerNamed(answers_.front().c_str(), style);
      answers_.pop_front();
    }
    if (!answer) answer = MessageBoxDefaultAnswer(style);
    Log("%s", MessageBoxTranscript(text ? text : "", caption ? caption : "Error", style, answer)
                  .c_str());
    return answer;
  }
  bool ClipboardText(std::string* text) override {
    if (!hasClipboard_) return false;
    *text = clipboard_;
    return true;
  }
  void JoinClipboardViewers() override { viewer_ = true; }
  void LeaveClipboardViewers() override { viewer_ = false; }

  DialogMetrics Metrics() const override { return kScriptedMetrics; }
  int TextWidth(const char* text) const override {
    return kScriptedCharWidth * static_cast<int>(strlen(text));
  }
  int CaptionWidth(const char* text) const override {
    return TextWidth(text) + kScriptedTitleBarExtra;
  }
  void SetWindowSize(int width, int height) override {
    Log("Window %dx%d\n", width, height);
    Resize(width - kScriptedMetrics.windowExtraWidth, height - kScriptedMetrics.windowExtraHeight);
  }
  void SetMinimumWindowSize(int width, int height) override {
    Log("Minimum %dx%d\n", width, height);
    minimumWidth_ = width;
    minimumHeight_ = height;
  }
  void MoveControl(int id, int x, int y, int width, int height) override {
    Log("Move %d: %d,%d %dx%d\n", id, x, y, width, height);
  }

  void ShowTip(int id, int index, const char* text) override {
    HideTip();
    tipShown_ = true;
    Log("Tip %d %d: %s\n", id, index, Escape(text).c_str());
  }
  void HideTip() override {
    if (!tipShown_) return;
    tipShown_ = false;
    Log("Tip hidden\n");
  }
  bool TipShown() const override { return tipShown_; }
  void ShowHelp(const char* helpFile, int topic) override {
    Log("Help %s topic %d\n", helpFile, topic);
  }
  uintptr_t ForegroundWindow() const override { return kOtherWindow; }
  void SetForegroundWindow(uintptr_t window) override {
    Log("Foreground 0x%lx\n", static_cast<unsigned long>(window));
  }

 private:
  void Log(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    if (!log_) return;
    va_list args;
    va_start(args, format);
    vfprintf(log_, format, args);
    va_end(args);
    fflush(log_);
  }
  Control* Find(int id) {
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : &it->second;
  }
  const Control* Find(int id) const {
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : &it->second;
  }
  bool HasEntry(int id, int index) const { return index >= 0 && index < ListCount(id); }
  void Send(const DialogEvent& event) { handler_(*this, event); }
  void Resize(int clientWidth, int clientHeight) {
    DialogEvent event = Event(DialogEvent::kSize);
    event.width = clientWidth;
    event.height = clientHeight;
    Send(event);
  }

  void Step(const std::string& line) {
    size_t blank = line.find(' ');
    std::string verb = line.substr(0, blank);
    std::string rest = blank == std::string::npos ? "" : line.substr(blank + 1);
    // A left click anywhere takes a pop-up tip away first.
    if (verb == "click" || verb == "select" || verb == "unselect" || verb == "close") HideTip();
    if (verb == "set") return StepSet(rest);
    if (verb == "click") return StepCommand(atoi(rest.c_str()), 0);
    if (verb == "select" || verb == "unselect") return StepSelect(rest, verb == "select");
    if (verb == "rightclick") return StepRightClick(rest);
    if (verb == "resize") return StepResize(rest);
    if (verb == "help") return Send(Event(DialogEvent::kHelp, atoi(rest.c_str())));
    if (verb == "drop") return StepDrop(rest);
    if (verb == "clipboard") return StepClipboard(Unescape(rest));
    if (verb == "timer") return StepTimer();
    if (verb == "answer") return answers_.push_back(rest);
    if (verb == "show") return Show();
    if (verb == "close") return StepCommand(2, 0);
    Log("(unknown step)\n");
  }
  void StepSet(const std::string& rest) {
    size_t blank = rest.find(' ');
    int id = atoi(rest.substr(0, blank).c_str());
    Control* control = Find(id);
    if (!control) return Log("(no control %d)\n", id);
    std::string typed = blank == std::string::npos ? "" : Unescape(rest.substr(blank + 1));
    if (!IsEdit(control->spec.kind)) {
      control->text = typed;
      return;
    }
    control->text.clear();
    bool full = false;
    for (size_t i = 0; i < typed.size();) {
      std::string letter = typed.substr(i, Utf8LetterLength(typed, i));
      i += letter.size();
      TypedText takes = FieldTakes(control->text, letter, control->spec.limit, FieldCodePage());
      if (!takes.missing.empty()) {
        MessageBox(MissingLetterMessage(takes.missing).c_str(), caption_.c_str(), kMbOk | kMbIconWarning);
      } else if (takes.taken == 0) {
        full = true;  // the desktop beeps
      } else {
        control->text += letter;
      }
    }
    if (full) Log("(field %d is full)\n", id);
  }
  void StepCommand(int id, int code) {
    Control* control = Find(id);
    if (id != 2 && (!control || control->spec.disabled)) return Log("(no button %d)\n", id);
    Send(Event(DialogEvent::kCommand, id, code));
  }
  void StepSelect(const std::string& rest, bool selected) {
    int id = 0, index = -1;
    if (!TwoNumbers(rest, &id, &index) || !HasEntry(id, index)) return Log("(no entry)\n");
    SetListSelected(id, index, selected);
    Send(Event(DialogEvent::kCommand, id, 1));
  }
  void StepRightClick(const std::string& rest) {
    int id = 0, index = -1;
    if (!TwoNumbers(rest, &id, &index) || !Find(id)) return Log("(no list)\n");
    DialogEvent event = Event(DialogEvent::kListRightClick, id);
    event.index = HasEntry(id, index) ? index : -1;
    Send(event);
  }
  void StepResize(const std::string& rest) {
    int width = 0, height = 0;
    if (!TwoNumbers(rest, &width, &height)) return Log("(no size)\n");
    int minimumWidth = minimumWidth_ - kScriptedMetrics.windowExtraWidth;
    int minimumHeight = minimumHeight_ - kScriptedMetrics.windowExtraHeight;
    Resize(width < minimumWidth ? minimumWidth : width, height < minimumHeight ? minimumHeight : height);
  }
  void StepDrop(const std::string& rest) {
    if (!spec_.acceptsFiles) return Log("(drop refused)\n");
    DialogEvent event = Event(DialogEvent::kDropFiles);
    size_t start = 0;
    while (start <= rest.size()) {
      size_t bar = rest.find('|', start);
      if (bar == std::string::npos) bar = rest.size();
      if (bar > start) event.files.push_back(rest.substr(start, bar - start));
      start = bar + 1;
    }
    Send(event);
  }
  void StepClipboard(const std::string& text) {
    clipboard_ = text;
    hasClipboard_ = true;
    if (viewer_) Send(Event(DialogEvent::kClipboardChange));
  }
  void StepTimer() {
    if (timers_.empty()) return Log("(no timer)\n");
    Send(Event(DialogEvent::kTimer, timers_.front(), 0));
  }
  void Show() {
    for (int id : order_) {
      const Control& control = controls_[id];
      if (control.spec.kind != ControlKind::kListBox) {
        Log("  %d: %s\n", id, Escape(control.text).c_str());
        continue;
      }
      Log("  %d:\n", id);
      for (size_t i = 0; i < control.entries.size(); ++i) {
        Log("    [%c] %s\n", control.selected[i] ? 'x' : ' ', Escape(control.entries[i]).c_str());
      }
    }
  }

  const DialogSpec& spec_;
  DialogHandler handler_;
  std::string caption_;
  FILE* log_ = nullptr;
  std::map<int, Control> controls_;
  std::vector<int> order_;
  std::vector<int> timers_;  // running timers, in the order they were started
  std::deque<std::string> answers_;
  std::string clipboard_;
  int minimumWidth_ = 0, minimumHeight_ = 0;  // window size
  bool hasClipboard_ = false;
  bool viewer_ = false;
  bool tipShown_ = false;
  bool ended_ = false;
  int result_ = 2;
};

bool ReadScript(const char* path, std::vector<std::string>* steps) {
  std::string text;
  if (!ReadWholeFile(path, &text)) return false;
  for (const std::string& line : TextLines(text)) {
    if (!line.empty() && line[0] != '#') steps->push_back(line);
  }
  return true;
}

}  // namespace

namespace weft_scripted {

int RunScriptedDialog(const DialogSpec& spec, DialogHandler handler, const char* script) {
  std::vector<std::string> steps;
  if (!ReadScript(script, &steps)) {
    fprintf(stderr, "Can't read dialog script %s\n", script);
    return -1;
  }
  ScriptedDialog dialog(spec, handler, GetEnv("WEFTDIALOGLOG"));
  return dialog.Run(steps);
}

}  // namespace weft_scripted
