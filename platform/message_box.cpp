// Message boxes without a window: the caption and text go to standard error,
// or the answer comes from a script; a transcript records every box.
#include "platform/message_box.h"

#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/env.h"
#include "platform/files.h"

namespace {

struct ButtonSet {
  int ids[3];
  int count;
};

// The buttons of each style, in the order Windows shows them.
constexpr ButtonSet kButtonSets[] = {
    {{kIdOk}, 1},
    {{kIdOk, kIdCancel}, 2},
    {{kIdAbort, kIdRetry, kIdIgnore}, 3},
    {{kIdYes, kIdNo, kIdCancel}, 3},
    {{kIdYes, kIdNo}, 2},
    {{kIdRetry, kIdCancel}, 2},
};

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

const char* IconName(uint32_t style) {
  switch (style & 0xF0) {
    case kMbIconError: return "error";
    case kMbIconQuestion: return "question";
    case kMbIconWarning: return "warning";
    case kMbIconInformation: return "information";
  }
  return "none";
}

const ButtonSet& ButtonsOf(uint32_t style) {
  uint32_t index = style & 0xF;
  return index < sizeof kButtonSets / sizeof kButtonSets[0] ? kButtonSets[index] : kButtonSets[0];
}

int DefaultAnswer(uint32_t style) {
  const ButtonSet& buttons = ButtonsOf(style);
  int index = (style & kMbDefaultButton3) ? 2 : (style & kMbDefaultButton2) ? 1 : 0;
  return buttons.ids[index < buttons.count ? index : 0];
}

// The next answer line of the script; the position is kept across boxes
// (and starts again when another script is named).
bool NextScriptAnswer(const char* script, std::string* answer) {
  static std::string scriptName;
  static long position = 0;
  if (scriptName != script) {
    scriptName = script;
    position = 0;
  }
  FILE* stream = OpenFile(script, "r");
  if (!stream) return false;
  bool found = false;
  char line[256];
  if (fseek(stream, position, SEEK_SET) == 0) {
    while (!found && fgets(line, sizeof line, stream)) {
      line[strcspn(line, "\r\n")] = '\0';
      found = line[0] != '\0' && line[0] != '#';
      if (found) *answer = line;
    }
    position = ftell(stream);
  }
  fclose(stream);
  return found;
}

// The script's answer when it names one of the box's buttons, else 0.
int ScriptedAnswer(const std::string& answer, uint32_t style) {
  const ButtonSet& buttons = ButtonsOf(style);
  for (int i = 0; i < buttons.count; ++i) {
    if (strcasecmp(answer.c_str(), AnswerName(buttons.ids[i])) == 0) return buttons.ids[i];
  }
  return 0;
}

void WriteTranscript(const char* log, const char* text, const char* caption, uint32_t style,
                     int answer) {
  FILE* stream = OpenFile(log, "a");
  if (!stream) return;
  std::string buttons;
  const ButtonSet& set = ButtonsOf(style);
  for (int i = 0; i < set.count; ++i) {
    if (i) buttons += ' ';
    buttons += AnswerName(set.ids[i]);
  }
  fprintf(stream, "MessageBox \"%s\" icon=%s buttons=%s\n%s\nAnswer: %s\n", caption,
          IconName(style), buttons.c_str(), text, AnswerName(answer));
  fclose(stream);
}

}  // namespace

int ShowMessageBox(const char* text, const char* caption, uint32_t style) {
  if (!text) text = "";
  if (!caption) caption = "Error";
  int answer = DefaultAnswer(style);
  const char* script = GetEnv("WEFTDIALOGSCRIPT");
  if (script && *script) {
    std::string line;
    if (NextScriptAnswer(script, &line)) {
      int scripted = ScriptedAnswer(line, style);
      if (scripted) answer = scripted;
    }
  } else {
    fprintf(stderr, "%s\n%s\n", caption, text);
    fflush(stderr);
  }
  const char* log = GetEnv("WEFTDIALOGLOG");
  if (log && *log) WriteTranscript(log, text, caption, style, answer);
  return answer;
}
