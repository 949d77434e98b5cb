#include "platform/message_box_style.h"

#include "platform/ascii_case.h"
#include "platform/message_box.h"

namespace {

const char* const kAnswerNames[] = {"?", "OK", "Cancel", "Abort", "Retry", "Ignore", "Yes", "No"};

// "error", "question", "warning", "information" or "none".
const char* MessageBoxIconName(uint32_t style) {
  switch (style & 0xF0) {
    case kMbIconError: return "error";
    case kMbIconQuestion: return "question";
    case kMbIconWarning: return "warning";
    case kMbIconInformation: return "information";
  }
  return "none";
}

}  // namespace

std::vector<int> MessageBoxButtons(uint32_t style) {
  switch (style & 0xF) {
    case kMbOkCancel: return {kIdOk, kIdCancel};
    case kMbAbortRetryIgnore: return {kIdAbort, kIdRetry, kIdIgnore};
    case kMbYesNoCancel: return {kIdYes, kIdNo, kIdCancel};
    case kMbYesNo: return {kIdYes, kIdNo};
    case kMbRetryCancel: return {kIdRetry, kIdCancel};
  }
  return {kIdOk};
}

int MessageBoxDefaultAnswer(uint32_t style) {
  std::vector<int> buttons = MessageBoxButtons(style);
  size_t index = (style & kMbDefaultButton3) ? 2 : (style & kMbDefaultButton2) ? 1 : 0;
  return buttons[index < buttons.size() ? index : 0];
}

const char* MessageBoxAnswerName(int answer) {
  if (answer < kIdOk || answer > kIdNo) return kAnswerNames[0];
  return kAnswerNames[answer];
}

int MessageBoxAnswerNamed(const char* name, uint32_t style) {
  for (int button : MessageBoxButtons(style)) {
    if (name && SameNoCase(name, MessageBoxAnswerName(button))) return button;
  }
  return 0;
}

std::string MessageBoxTranscript(const char* text, const char* caption, uint32_t style,
                                 int answer) {
  std::string buttons;
  for (int button : MessageBoxButtons(style)) {
    if (!buttons.empty()) buttons += ' ';
    buttons += MessageBoxAnswerName(button);
  }
  std::string flags;
  if (style & kMbTopmost) flags += " topmost";
  if (style & kMbSetForeground) flags += " foreground";
  return std::string("MessageBox \"") + caption + "\" icon=" + MessageBoxIconName(style) +
         " buttons=" + buttons + flags + "\n" + text + "\nAnswer: " + MessageBoxAnswerName(answer) +
         "\n";
}
