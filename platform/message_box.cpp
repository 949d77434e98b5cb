// Message boxes: the answer from a script, a window on the desktop, or the
// caption and text on standard error; a transcript records every box.
#include "platform/message_box.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/desktop.h"
#include "platform/env.h"
#include "platform/files.h"
#include "platform/message_box_style.h"

namespace {

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

int ScriptedAnswer(const char* script, uint32_t style) {
  std::string line;
  int answer = NextScriptAnswer(script, &line) ? MessageBoxAnswerNamed(line.c_str(), style) : 0;
  return answer ? answer : MessageBoxDefaultAnswer(style);
}

int PrintedAnswer(const char* text, const char* caption, uint32_t style) {
  fprintf(stderr, "%s\n%s\n", caption, text);
  fflush(stderr);
  return MessageBoxDefaultAnswer(style);
}

void WriteTranscript(const char* log, const char* text, const char* caption, uint32_t style,
                     int answer) {
  FILE* stream = OpenFile(log, "a");
  if (!stream) return;
  fputs(MessageBoxTranscript(text, caption, style, answer).c_str(), stream);
  fclose(stream);
}

}  // namespace

int ShowMessageBox(const char* text, const char* caption, uint32_t style) {
  if (!text) text = "";
  if (!caption) caption = "Error";
  const char* script = GetEnv("WEFTDIALOGSCRIPT");
  int answer;
  if (script && *script) answer = ScriptedAnswer(script, style);
  else if (weft_desktop::DesktopAvailable()) answer = weft_desktop::ShowDesktopMessageBox(text, caption, style, nullptr);
  else answer = PrintedAnswer(text, caption, style);
  const char* log = GetEnv("WEFTDIALOGLOG");
  if (log && *log) WriteTranscript(log, text, caption, style, answer);
  return answer;
}
