// The built-in command interpreter: one line or one batch file at a time,
// with the commands the suite's batch files use. As in batch files, a
// built-in command that succeeds leaves the error level as it was.
#include "platform/batch_interpreter.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

#include "platform/env.h"
#include "platform/files.h"
#include "platform/host.h"
#include "platform/process.h"

extern char** environ;

namespace weft_batch {
namespace {

constexpr int kNotRecognised = 9009;

struct State {
  bool echo = true;
  int errorLevel = 0;
  bool exitAll = false;     // "exit": the interpreter ends
  std::map<char, std::string> driveDirs;  // current folder of each other drive
};

// One batch file being run: its arguments and whether it should stop.
struct Frame {
  std::vector<std::string> args;  // %0..%9
  bool inBatch = false;
  bool stop = false;
};

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameNoCase(const std::string& a, const char* b) {
  if (a.size() != strlen(b)) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Upper(a[i]) != Upper(b[i])) return false;
  }
  return true;
}

std::string TrimLeft(const std::string& text) {
  size_t start = text.find_first_not_of(" \t");
  return start == std::string::npos ? "" : text.substr(start);
}

std::string TrimRight(const std::string& text) {
  size_t end = text.find_last_not_of(" \t");
  return end == std::string::npos ? "" : text.substr(0, end + 1);
}

// The line's syntax ('<', '>', '|', '&' and quotes) is read from the line as
// written, never from the values put in by %-expansion: while the syntax is
// read, these characters of a value are carried by stand-in bytes, which are
// turned back before the text is used.
constexpr char kSyntaxChars[] = "<>|&\"";
constexpr char kStandIns[] = "\x01\x02\x03\x04\x05";

std::string ProtectSyntax(const std::string& value) {
  std::string out = value;
  for (char& c : out) {
    const char* at = c ? strchr(kSyntaxChars, c) : nullptr;
    if (at) c = kStandIns[at - kSyntaxChars];
  }
  return out;
}

std::string RestoreSyntax(const std::string& text) {
  std::string out = text;
  for (char& c : out) {
    const char* at = c ? strchr(kStandIns, c) : nullptr;
    if (at) c = kSyntaxChars[at - kStandIns];
  }
  return out;
}

// %NAME% by its value, %1..%9 and %0 by the batch arguments, "%%" as one '%'
// in a batch file. An undefined name is empty in a batch file and stays as
// written on a command line. Values come with their syntax characters
// protected (ProtectSyntax).
std::string Expand(const std::string& text, const Frame& frame) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    if (frame.inBatch && i + 1 < text.size() && text[i + 1] == '%') {
      out += '%';
      ++i;
      continue;
    }
    if (frame.inBatch && i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '9') {
      size_t n = static_cast<size_t>(text[i + 1] - '0');
      if (n < frame.args.size()) out += ProtectSyntax(frame.args[n]);
      ++i;
      continue;
    }
    size_t close = text.find('%', i + 1);
    if (close == std::string::npos || close == i + 1) {
      if (!frame.inBatch) out += '%';
      continue;
    }
    std::string name = text.substr(i + 1, close - i - 1);
    const char* value = GetEnv(name.c_str());
    if (value) {
      out += ProtectSyntax(value);
    } else if (!frame.inBatch) {
      out += text.substr(i, close - i + 1);
    }
    i = close;
  }
  return out;
}

// Reads one word: a quoted text (quotes kept) or a run without blanks.
std::string TakeWord(const std::string& text, size_t* pos, const char* stops = " \t") {
  size_t i = *pos;
  bool quoted = false;
  std::string word;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c == '"') quoted = !quoted;
    if (!quoted && strchr(stops, c)) break;
    word += c;
  }
  *pos = i;
  return word;
}

std::string Unquote(const std::string& word) {
  std::string out;
  for (char c : word) {
    if (c != '"') out += c;
  }
  return out;
}

// Redirections taken out of a command.
struct Redirect {
  int fd = -1;
  std::string file;
  bool append = false;
  bool input = false;
};

// Takes '>' '>>' '<' (with an optional 1 or 2 before '>') out of `command`.
// False on syntax the interpreter does not take ('|', '&', a missing name).
bool TakeRedirections(std::string* command, std::vector<Redirect>* redirects) {
  std::string rest;
  bool quoted = false;
  const std::string& text = *command;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '"') quoted = !quoted;
    if (quoted || (c != '>' && c != '<' && c != '|' && c != '&')) {
      rest += c;
      continue;
    }
    if (c == '|' || c == '&') return false;
    Redirect redirect;
    redirect.input = c == '<';
    redirect.fd = redirect.input ? 0 : 1;
    if (!redirect.input && !rest.empty() && (rest.back() == '1' || rest.back() == '2') &&
        (rest.size() == 1 || rest[rest.size() - 2] == ' ' || rest[rest.size() - 2] == '\t')) {
      redirect.fd = rest.back() - '0';
      rest.pop_back();
    }
    if (!redirect.input && i + 1 < text.size() && text[i + 1] == '>') {
      redirect.append = true;
      ++i;
    }
    size_t pos = i + 1;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
    redirect.file = Unquote(TakeWord(text, &pos, " \t<>|&"));
    if (redirect.file.empty()) return false;
    redirects->push_back(redirect);
    i = pos - 1;
  }
  *command = rest;
  return true;
}

// Points the standard streams at the redirection files for one command and
// puts them back afterwards.
class Redirection {
 public:
  bool Apply(const std::vector<Redirect>& redirects) {
    for (const Redirect& redirect : redirects) {
      std::string host;
      if (!HostPath(redirect.file.c_str(), &host)) return Fail(redirect.file);
      int flags = redirect.input ? O_RDONLY
                                 : O_WRONLY | O_CREAT | (redirect.append ? O_APPEND : O_TRUNC);
      int fd = open(host.c_str(), flags, 0644);
      if (fd < 0) return Fail(redirect.file);
      fflush(nullptr);
      saved_.push_back({redirect.fd, dup(redirect.fd)});
      dup2(fd, redirect.fd);
      close(fd);
    }
    return true;
  }
  ~Redirection() {
    fflush(nullptr);
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      dup2(it->second, it->first);
      close(it->second);
    }
  }

 private:
  bool Fail(const std::string& file) {
    fprintf(stderr, "The system cannot find the path specified.\n");
    (void)file;
    return false;
  }
  std::vector<std::pair<int, int>> saved_;
};

int RunFileIn(State* state, const std::string& path, const std::vector<std::string>& args);
int RunCommand(State* state, Frame* frame, const std::string& command);

int DoEcho(State* state, const std::string& rest) {
  std::string text = TrimLeft(rest);
  if (rest.empty() || (rest[0] != '.' && TrimRight(text).empty())) {
    printf("ECHO is %s.\n", state->echo ? "on" : "off");
  } else if (rest[0] == '.') {
    printf("%s\n", rest.substr(1).c_str());
  } else if (SameNoCase(TrimRight(text), "off")) {
    state->echo = false;
  } else if (SameNoCase(TrimRight(text), "on")) {
    state->echo = true;
  } else {
    printf("%s\n", text.c_str());
  }
  return state->errorLevel;
}

int DoSet(State* state, const std::string& rest) {
  std::string text = TrimLeft(rest);
  size_t equals = text.find('=');
  if (equals == std::string::npos) {
    bool found = false;
    std::string prefix = TrimRight(text);
    for (char** entry = environ; *entry; ++entry) {
      std::string line = *entry;
      bool match = line.size() >= prefix.size();
      for (size_t i = 0; match && i < prefix.size(); ++i) match = Upper(line[i]) == Upper(prefix[i]);
      if (!match) continue;
      printf("%s\n", line.c_str());
      found = true;
    }
    if (found) return state->errorLevel;
    fprintf(stderr, "Environment variable %s not defined\n", prefix.c_str());
    return 1;
  }
  std::string name = text.substr(0, equals);
  std::string value = text.substr(equals + 1);
  if (name.empty()) {
    fprintf(stderr, "The syntax of the command is incorrect.\n");
    return 1;
  }
  SetEnv(name.c_str(), value.empty() ? nullptr : value.c_str());
  return state->errorLevel;
}

std::string CurrentDir() {
  char buffer[kMaxPath + 1];
  return GetCurrentDir(buffer, sizeof buffer) ? buffer : "";
}

// Makes drive `letter` current, at the folder it had last.
int SwitchDrive(State* state, char letter) {
  letter = Upper(letter);
  std::string current = CurrentDir();
  auto it = state->driveDirs.find(letter);
  std::string target = it != state->driveDirs.end() ? it->second : std::string(1, letter) + ":\\";
  if (!SetCurrentDir(target.c_str())) {
    fprintf(stderr, "The system cannot find the drive specified.\n");
    return 1;
  }
  if (!current.empty()) state->driveDirs[Upper(current[0])] = current;
  return state->errorLevel;
}

int DoChdir(State* state, const std::string& rest) {
  std::string text = TrimRight(TrimLeft(rest));
  bool switchDrive = false;
  if (text.size() >= 2 && text[0] == '/' && Upper(text[1]) == 'D' &&
      (text.size() == 2 || text[2] == ' ')) {
    switchDrive = true;
    text = TrimLeft(text.substr(2));
  }
  text = Unquote(text);
  if (text.empty()) {
    printf("%s\n", CurrentDir().c_str());
    return state->errorLevel;
  }
  std::string current = CurrentDir();
  std::string full = GetFullPathString(text.c_str());
  uint32_t attributes = full.empty() ? kInvalidAttributes : GetAttributes(full.c_str());
  if (attributes == kInvalidAttributes || !(attributes & kAttrDirectory)) {
    fprintf(stderr, "The system cannot find the path specified.\n");
    return 1;
  }
  bool otherDrive = !current.empty() && Upper(full[0]) != Upper(current[0]);
  if (otherDrive && !switchDrive) {
    state->driveDirs[Upper(full[0])] = full;
    return state->errorLevel;
  }
  if (!SetCurrentDir(full.c_str())) {
    fprintf(stderr, "The system cannot find the path specified.\n");
    return 1;
  }
  if (otherDrive) state->driveDirs[Upper(current[0])] = current;
  return state->errorLevel;
}

int DoExit(State* state, Frame* frame, const std::string& rest) {
  size_t pos = 0;
  std::string text = TrimLeft(rest);
  std::string word = TakeWord(text, &pos);
  bool batchOnly = SameNoCase(word, "/b");
  if (batchOnly) {
    text = TrimLeft(text.substr(pos));
    pos = 0;
    word = TakeWord(text, &pos);
  }
  int code = word.empty() ? state->errorLevel : atoi(word.c_str());
  frame->stop = true;
  if (!batchOnly || !frame->inBatch) state->exitAll = true;
  return code;
}

// "if [not] exist name command", "if [not] errorlevel n command",
// "if [not] text1==text2 command".
int DoIf(State* state, Frame* frame, const std::string& rest) {
  std::string text = TrimLeft(rest);
  size_t pos = 0;
  std::string word = TakeWord(text, &pos);
  bool negate = SameNoCase(word, "not");
  if (negate) {
    text = TrimLeft(text.substr(pos));
    pos = 0;
    word = TakeWord(text, &pos);
  }
  bool condition = false;
  if (SameNoCase(word, "exist") || SameNoCase(word, "errorlevel")) {
    text = TrimLeft(text.substr(pos));
    pos = 0;
    std::string operand = TakeWord(text, &pos);
    if (operand.empty()) return fprintf(stderr, "The syntax of the command is incorrect.\n"), 1;
    if (SameNoCase(word, "exist")) {
      condition = PathExists(Unquote(RestoreSyntax(operand)).c_str());
    } else {
      condition = state->errorLevel >= atoi(operand.c_str());
    }
  } else {
    size_t equals = text.find("==");
    if (equals == std::string::npos) {
      fprintf(stderr, "The syntax of the command is incorrect.\n");
      return 1;
    }
    std::string left = TrimRight(text.substr(0, equals));
    std::string right = TrimLeft(text.substr(equals + 2));
    pos = 0;
    std::string rightWord = TakeWord(right, &pos);
    condition = RestoreSyntax(left) == RestoreSyntax(rightWord);
    text = right;
  }
  std::string command = TrimLeft(text.substr(pos));
  if (command.empty()) {
    fprintf(stderr, "The syntax of the command is incorrect.\n");
    return 1;
  }
  if (condition == negate) return state->errorLevel;
  return RunCommand(state, frame, command);
}

int NotRecognised(const std::string& name) {
  fprintf(stderr,
          "'%s' is not recognized as an internal or external command,\n"
          "operable program or batch file.\n",
          name.c_str());
  return kNotRecognised;
}

// A program or batch file. Without "call" a batch file ends the one that
// started it, as the command interpreter does.
int RunExternal(State* state, Frame* frame, const std::string& command, bool call) {
  size_t pos = 0;
  std::string name = Unquote(TakeWord(command, &pos, " \t"));
  std::vector<std::string> args = SplitArguments(command.substr(pos));
  std::string path;
  if (!FindProgram(name.c_str(), &path)) return NotRecognised(name);
  size_t dot = path.rfind('.');
  if (dot != std::string::npos && SameNoCase(path.substr(dot), ".bat")) {
    // A batch file sees its arguments as written, quotes included.
    std::vector<std::string> batchArgs = {name};
    std::string rest = command.substr(pos);
    for (size_t at = 0; at < rest.size();) {
      while (at < rest.size() && (rest[at] == ' ' || rest[at] == '\t')) ++at;
      if (at < rest.size()) batchArgs.push_back(TakeWord(rest, &at));
    }
    int code = RunFileIn(state, path, batchArgs);
    if (!call) frame->stop = true;
    return code;
  }
  int code = RunProgramDirect(path.c_str(), args);
  if (code == kCannotStart) {
    fprintf(stderr, "%s\n", LastErrorText());
    return 1;
  }
  return code;
}

int RunBuiltIn(State* state, Frame* frame, const std::string& word, const std::string& rest,
               bool* handled) {
  *handled = true;
  if (SameNoCase(word, "rem")) return state->errorLevel;
  if (SameNoCase(word, "echo")) return DoEcho(state, rest);
  if (SameNoCase(word, "set")) return DoSet(state, rest);
  if (SameNoCase(word, "cd") || SameNoCase(word, "chdir")) return DoChdir(state, rest);
  if (SameNoCase(word, "exit")) return DoExit(state, frame, rest);
  if (SameNoCase(word, "if")) return DoIf(state, frame, rest);
  if (SameNoCase(word, "call")) {
    std::string command = TrimLeft(rest);
    if (command.empty()) return state->errorLevel;
    return RunExternal(state, frame, command, true);
  }
  if (word.size() == 2 && word[1] == ':' && TrimLeft(rest).empty()) return SwitchDrive(state, word[0]);
  *handled = false;
  return 0;
}

// Splits off the command word: it ends at a blank, or for echo and the
// like at '.', so that "echo." works.
std::string CommandWord(const std::string& command, size_t* pos) {
  size_t i = 0;
  if (command.size() >= 4 && SameNoCase(command.substr(0, 4), "echo") &&
      (command.size() == 4 || strchr(" \t.", command[4]))) {
    *pos = command.size() > 4 && command[4] != '.' ? 5 : 4;
    return command.substr(0, 4);
  }
  std::string word = TakeWord(command, &i);
  *pos = i < command.size() ? i + 1 : i;
  return word;
}

// Runs one expanded command (redirections included); sets the error level.
int RunCommand(State* state, Frame* frame, const std::string& text) {
  std::string command = TrimLeft(text);
  while (!command.empty() && command[0] == '@') command = TrimLeft(command.substr(1));
  if (command.empty() || command[0] == ':') return state->errorLevel;
  size_t pos = 0;
  std::string word = CommandWord(command, &pos);
  if (SameNoCase(word, "rem")) return state->errorLevel;
  bool isIf = SameNoCase(word, "if");
  std::vector<Redirect> redirects;
  if (!isIf && !TakeRedirections(&command, &redirects)) {
    fprintf(stderr, "The syntax of the command is incorrect.\n");
    return state->errorLevel = 1;
  }
  // An "if" keeps its stand-ins for the command it runs, which reads its
  // own redirections.
  if (!isIf) command = RestoreSyntax(command);
  for (Redirect& redirect : redirects) redirect.file = RestoreSyntax(redirect.file);
  command = TrimRight(command);
  word = CommandWord(command, &pos);
  std::string rest = pos <= command.size() ? command.substr(pos) : "";
  Redirection redirection;
  if (!redirection.Apply(redirects)) return state->errorLevel = 1;
  bool handled = false;
  int code = RunBuiltIn(state, frame, word, rest, &handled);
  if (!handled) code = RunExternal(state, frame, command, false);
  state->errorLevel = code;
  return code;
}

void EchoCommand(const std::string& line) {
  printf("\n%s>%s\n", CurrentDir().c_str(), line.c_str());
}

int RunFileIn(State* state, const std::string& path, const std::vector<std::string>& args) {
  std::string text;
  if (!ReadWholeFile(path.c_str(), &text)) {
    fprintf(stderr, "The batch file cannot be found.\n");
    return state->errorLevel = 1;
  }
  Frame frame;
  frame.inBatch = true;
  frame.args = args;
  size_t start = 0;
  while (start < text.size() && !frame.stop && !state->exitAll) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string expanded = Expand(line, frame);
    std::string shown = TrimLeft(expanded);
    if (shown.empty() || shown[0] == ':') continue;
    if (state->echo && shown[0] != '@') EchoCommand(RestoreSyntax(shown));
    RunCommand(state, &frame, expanded);
  }
  return state->errorLevel;
}

}  // namespace

std::vector<std::string> SplitArguments(const std::string& text) {
  std::vector<std::string> args;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i >= text.size()) break;
    std::string arg;
    bool quoted = false;
    for (; i < text.size(); ++i) {
      char c = text[i];
      if (!quoted && (c == ' ' || c == '\t')) break;
      if (c == '\\') {
        size_t count = 0;
        while (i < text.size() && text[i] == '\\') ++count, ++i;
        if (i < text.size() && text[i] == '"') {
          arg.append(count / 2, '\\');
          if (count % 2) {
            arg += '"';
            continue;
          }
          --i;
          continue;
        }
        arg.append(count, '\\');
        --i;
        continue;
      }
      if (c == '"') {
        if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
          arg += '"';
          ++i;
          continue;
        }
        quoted = !quoted;
        continue;
      }
      arg += c;
    }
    args.push_back(arg);
  }
  return args;
}

int RunLine(const std::string& commandLine) {
  State state;
  Frame frame;
  return RunCommand(&state, &frame, Expand(commandLine, frame));
}

int RunFile(const std::string& path, const std::vector<std::string>& args) {
  State state;
  std::vector<std::string> batchArgs = {path};
  batchArgs.insert(batchArgs.end(), args.begin(), args.end());
  return RunFileIn(&state, path, batchArgs);
}

}  // namespace weft_batch
