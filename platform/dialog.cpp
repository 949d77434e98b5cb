// The scripted headless dialog back end (WEFTDIALOGSCRIPT, WEFTDIALOGLOG).
#include "platform/dialog.h"

#include <strings.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>

#include "platform/env.h"
#include "platform/files.h"

namespace {

const char* AnswerName(int id) {
  switch (id) {
    case kIdOk: return "OK";
    case kIdCancel: return "Cancel";
    case kIdAbort: return "Abort";
    case kIdRetry: return "Retry";
    case kIdIgnore: return "Ignore";
    case kIdYes: return "Yes";
    case kIdNo: return "No";
  }
  return "?";
}

// The buttons of a message box style, in the order shown.
std::vector<int> Buttons(uint32_t style) {
  switch (style & 0xF) {
    case kMbOkCancel: return {kIdOk, kIdCancel};
    case kMbAbortRetryIgnore: return {kIdAbort, kIdRetry, kIdIgnore};
    case kMbYesNoCancel: return {kIdYes, kIdNo, kIdCancel};
    case kMbYesNo: return {kIdYes, kIdNo};
    case kMbRetryCancel: return {kIdRetry, kIdCancel};
  }
  return {kIdOk};
}

const char* IconName(uint32_t style) {
  switch (style & 0xF0) {
    case kMbIconError: return "error";
    case kMbIconQuestion: return "question";
    case kMbIconWarning: return "warning";
    case kMbIconInformation: return "information";
  }
  return "none";
}

int DefaultAnswer(uint32_t style) {
  std::vector<int> buttons = Buttons(style);
  size_t index = (style & kMbDefaultButton3) ? 2 : (style & kMbDefaultButton2) ? 1 : 0;
  return buttons[index < buttons.size() ? index : 0];
}

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

struct Control {
  ControlSpec spec;
  std::string text;
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
    if (Control* control = Find(id)) control->text = text ? text : "";
  }
  std::string ItemText(int id) const override {
    auto it = controls_.find(id);
    return it == controls_.end() ? std::string() : it->second.text;
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
    auto it = controls_.find(id);
    return it == controls_.end() ? 0 : static_cast<int>(it->second.entries.size());
  }
  std::string ListEntry(int id, int index) const override {
    auto it = controls_.find(id);
    if (it == controls_.end() || index < 0 || index >= ListCount(id)) return std::string();
    return it->second.entries[index];
  }
  bool ListSelected(int id, int index) const override {
    auto it = controls_.find(id);
    if (it == controls_.end() || index < 0 || index >= ListCount(id)) return false;
    return it->second.selected[index];
  }
  void SetListSelected(int id, int index, bool selected) override {
    Control* control = Find(id);
    if (control && index >= 0 && index < ListCount(id)) control->selected[index] = selected;
  }
  int MessageBox(const char* text, const char* caption, uint32_t style) override {
    int answer = DefaultAnswer(style);
    std::vector<int> buttons = Buttons(style);
    if (!answers_.empty()) {
      for (int button : buttons) {
        if (strcasecmp(answers_.front().c_str(), AnswerName(button)) == 0) answer = button;
      }
      answers_.pop_front();
    }
    std::string names;
    for (int button : buttons) names += std::string(names.empty() ? "" : " ") + AnswerName(button);
    Log("MessageBox \"%s\" icon=%s buttons=%s\n%s\nAnswer: %s\n", caption ? caption : "Error",
        IconName(style), names.c_str(), text ? text : "", AnswerName(answer));
    return answer;
  }
  bool ClipboardText(std::string* text) override {
    if (!hasClipboard_) return false;
    *text = clipboard_;
    return true;
  }
  void JoinClipboardViewers() override { viewer_ = true; }
  void LeaveClipboardViewers() override { viewer_ = false; }

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
  void Send(const DialogEvent& event) { handler_(*this, event); }

  void Step(const std::string& line) {
    size_t blank = line.find(' ');
    std::string verb = line.substr(0, blank);
    std::string rest = blank == std::string::npos ? "" : line.substr(blank + 1);
    if (verb == "set") return StepSet(rest);
    if (verb == "click") return StepCommand(atoi(rest.c_str()), 0);
    if (verb == "select" || verb == "unselect") return StepSelect(rest, verb == "select");
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
    control->text = blank == std::string::npos ? "" : Unescape(rest.substr(blank + 1));
  }
  void StepCommand(int id, int code) {
    Control* control = Find(id);
    if (id != 2 && (!control || control->spec.disabled)) return Log("(no button %d)\n", id);
    Send(Event(DialogEvent::kCommand, id, code));
  }
  void StepSelect(const std::string& rest, bool selected) {
    size_t blank = rest.find(' ');
    int id = atoi(rest.substr(0, blank).c_str());
    int index = blank == std::string::npos ? -1 : atoi(rest.c_str() + blank + 1);
    if (index < 0 || index >= ListCount(id)) return Log("(no entry)\n");
    SetListSelected(id, index, selected);
    Send(Event(DialogEvent::kCommand, id, 1));
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
  bool hasClipboard_ = false;
  bool viewer_ = false;
  bool ended_ = false;
  int result_ = 2;
};

bool ReadScript(const char* path, std::vector<std::string>* steps) {
  std::string text;
  if (!ReadWholeFile(path, &text)) return false;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] != '#') steps->push_back(line);
    start = end + 1;
  }
  return true;
}

}  // namespace

char* GetItemText(const Dialog& dialog, int id, char* buffer, size_t size) {
  if (size == 0) return buffer;
  std::string text = dialog.ItemText(id);
  size_t length = text.size() < size - 1 ? text.size() : size - 1;
  memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return buffer;
}

int RunDialog(const DialogSpec& spec, DialogHandler handler) {
  const char* script = GetEnv("WEFTDIALOGSCRIPT");
  if (!script || !*script) {
    fprintf(stderr, "%s: no display to show the dialog on\n", spec.caption ? spec.caption : "");
    return -1;
  }
  std::vector<std::string> steps;
  if (!ReadScript(script, &steps)) {
    fprintf(stderr, "Can't read dialog script %s\n", script);
    return -1;
  }
  ScriptedDialog dialog(spec, handler, GetEnv("WEFTDIALOGLOG"));
  return dialog.Run(steps);
}
