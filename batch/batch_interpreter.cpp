// The command interpreter: runs parsed lines, one batch file (or label call)
// per frame. As in batch files, a built-in command that succeeds leaves the
// error level as it was, except the file commands, which set it to 0 or 1.
#include "batch/batch_interpreter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

#include "batch/batch_file_commands.h"
#include "batch/batch_syntax.h"
#include "cmdline/cmdline.h"
#include "platform/ascii_case.h"
#include "platform/attributes.h"
#include "platform/console.h"
#include "platform/drives.h"
#include "platform/env.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/listing.h"
#include "platform/process.h"
#include "platform/program_search.h"
#include "platform/std_handles.h"

namespace weft_batch {
namespace {

constexpr int kNotRecognised = 9009;
// Lines longer than this are refused, as Windows refuses them; it also bounds
// how deep a parsed line nests.
constexpr size_t kMaxLine = 8191;
// Batch files (and label calls) running inside each other at the most, so
// that one that calls itself ends with a message, not a crash.
constexpr int kMaxDepth = 256;
const char kSyntaxError[] = "The syntax of the command is incorrect.\n";

struct State {
  bool echo = true;
  int errorLevel = 0;
  bool exitAll = false;                   // "exit": the interpreter ends
  int depth = 0;                          // batch frames running
  std::map<char, std::string> driveDirs;  // current folder of each other drive
};

// One batch file, or one "call :label" into it, being run.
struct Frame {
  const State* state = nullptr;   // for %ERRORLEVEL%
  std::vector<std::string> args;  // %0..%9
  bool inBatch = false;
  const std::vector<std::string>* lines = nullptr;
  size_t next = 0;      // the next line to run
  bool stop = false;    // the frame ends: exit /b, goto :eof, a batch file chained
  bool jumped = false;  // goto: the rest of the current line is passed over
};

bool Abandoned(const State& state, const Frame& frame) {
  return state.exitAll || frame.stop || frame.jumped;
}

std::string TrimLeft(const std::string& text) {
  size_t start = text.find_first_not_of(" \t");
  return start == std::string::npos ? "" : text.substr(start);
}

std::string CurrentDir() {
  char buffer[kMaxPath + 1];
  return GetCurrentDir(buffer, sizeof buffer) ? buffer : "";
}

// The value of %NAME%: the variable, or where none is set the interpreter's
// own ERRORLEVEL and CD. Null when there is none.
const char* VariableValue(const std::string& name, const Frame& frame, std::string* own) {
  const char* value = GetEnv(name.c_str());
  if (value) return value;
  if (IsKeyword(name, "errorlevel") && frame.state) *own = std::to_string(frame.state->errorLevel);
  else if (IsKeyword(name, "cd")) *own = CurrentDir();
  else return nullptr;
  return own->c_str();
}

// %NAME% by its value, %0..%9 by the batch arguments and "%%" by '%' in a
// batch file; there an undefined name or a lone '%' gives nothing, on a
// command line they stay as written. With `dropQuotes` the double quotes of
// the text (never those of a value) are left out.
std::string Expand(const std::string& text, const Frame& frame, bool dropQuotes = false) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '"' && dropQuotes) continue;
    if (c != '%') {
      out += c;
      continue;
    }
    char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (frame.inBatch && next == '%') {
      out += '%';
      ++i;
      continue;
    }
    if (frame.inBatch && next >= '0' && next <= '9') {
      size_t n = static_cast<size_t>(next - '0');
      if (n < frame.args.size()) out += frame.args[n];
      ++i;
      continue;
    }
    size_t close = text.find('%', i + 1);
    if (close == std::string::npos || close == i + 1) {
      if (!frame.inBatch) out += '%';
      continue;
    }
    std::string own;
    const char* value = VariableValue(text.substr(i + 1, close - i - 1), frame, &own);
    if (value) out += value;
    else if (!frame.inBatch) out += text.substr(i, close - i + 1);
    i = close;
  }
  return out;
}

Arguments ExpandWords(const std::string& text, const Frame& frame) {
  Arguments args;
  for (const RawWord& word : SplitRawWords(text)) {
    args.push_back({Expand(word.text, frame), Expand(word.text, frame, true)});
  }
  return args;
}

// Opens a redirection's file for one command: the standard handles point at
// it, as the layer opens files (never a FIFO or a device, but NUL), until
// Restore puts them back.
class Redirection {
 public:
  bool Apply(const std::vector<Redirect>& redirects, const Frame& frame) {
    for (const Redirect& redirect : redirects) {
      if (redirect.kind == Redirect::Kind::kDuplicate) {
        if (!handles_.ToHandle(redirect.handle, redirect.duplicateOf)) return false;
      } else if (!Open(redirect, frame)) {
        return false;
      }
    }
    return true;
  }

  // Puts the handles back, after what the command wrote through them went
  // out; false (the cause in the last error) when a write through a
  // redirected output handle failed.
  bool Restore() { return handles_.Restore(); }

 private:
  bool Open(const Redirect& redirect, const Frame& frame) {
    std::string name = Expand(redirect.target, frame, true);
    StdRedirection::Mode mode = redirect.kind == Redirect::Kind::kRead     ? StdRedirection::Mode::kRead
                                : redirect.kind == Redirect::Kind::kAppend ? StdRedirection::Mode::kAppend
                                                                           : StdRedirection::Mode::kWrite;
    bool null = IsKeyword(name, "nul") || IsKeyword(name, "nul:");
    std::string host;
    uint32_t attributes = GetAttributes(name.c_str());
    bool writing = redirect.kind != Redirect::Kind::kRead;
    bool refused = attributes != kInvalidAttributes && (attributes & (kAttrReadOnly | kAttrDirectory));
    if (!null && writing && refused) {
      fprintf(stderr, "Access is denied.\n");
      return false;
    }
    if (!null && (!HostPath(name.c_str(), &host) || host.empty())) {
      fprintf(stderr, "The system cannot find the path specified.\n");
      return false;
    }
    if (handles_.ToFile(redirect.handle, name, mode)) return true;
    fprintf(stderr, "%s\n", LastErrorText());
    return false;
  }

  StdRedirection handles_;
};

int RunFrame(State* state, Frame* frame);
int RunNode(State* state, Frame* frame, const Node& node);
int RunSimple(State* state, Frame* frame, const std::string& text, bool call);

// A command's name and the rest of its text, both as written. A built-in's
// name may run straight into its argument: "echo.", "cd..", "cd\", "del/q".
struct CommandParts {
  std::string name;
  std::string rest;
};

bool IsBuiltInName(const std::string& name);

CommandParts SplitCommandWord(const std::string& text) {
  if (text.size() > 4 && IsKeyword(text.substr(0, 4), "echo") && text[4] == '.') {
    return {text.substr(0, 4), text.substr(4)};
  }
  std::vector<RawWord> words = SplitRawWords(text);
  std::string word = words.empty() ? "" : words[0].text;
  if (!IsBuiltInName(word)) {
    size_t cut = word.find_first_of("./\\");
    std::string prefix = word.substr(0, cut);
    bool attached = cut != std::string::npos && cut > 0 && IsBuiltInName(prefix) &&
                    (word[cut] == '/' || IsKeyword(prefix, "cd") || IsKeyword(prefix, "chdir"));
    if (attached) return {prefix, text.substr(cut)};
  }
  return {word, text.substr(word.size())};
}

// ---- Built-in commands ---------------------------------------------------

// What a built-in command is given.
struct Invocation {
  State* state;
  Frame* frame;
  std::string rest;  // the text after the command's name, expanded, as written
  Arguments args;    // its words, expanded
};

int SyntaxError() {
  fputs(kSyntaxError, stderr);
  return 1;
}

int DoRem(Invocation&) { return 0; }

int DoEcho(Invocation& call) {
  const std::string& rest = call.rest;
  if (!rest.empty() && rest[0] == '.') {
    printf("%s\n", rest.substr(1).c_str());
    return 0;
  }
  std::string text = rest.empty() ? "" : rest.substr(1);
  std::string word = TrimBlanksAndTabs(text);
  if (word.empty()) {
    printf("ECHO is %s.\n", call.state->echo ? "on" : "off");
  } else if (IsKeyword(word, "off") || IsKeyword(word, "on")) {
    call.state->echo = IsKeyword(word, "on");
  } else {
    printf("%s\n", text.c_str());
  }
  return 0;
}

// "set" alone or with a prefix lists the variables, sorted by name.
int ListVariables(const std::string& prefix) {
  std::vector<std::string> lines;
  for (const std::string& entry : EnvironmentStrings()) {
    if (StartsNoCase(entry, prefix)) lines.push_back(entry);
  }
  std::sort(lines.begin(), lines.end(),
            [](const std::string& a, const std::string& b) { return CompareNoCase(a, b) < 0; });
  for (const std::string& line : lines) printf("%s\n", line.c_str());
  if (!lines.empty()) return 0;
  fprintf(stderr, "Environment variable %s not defined\n", prefix.c_str());
  return 1;
}

int DoSet(Invocation& call) {
  std::string text = TrimLeft(call.rest);
  if (!text.empty() && text[0] == '"') {
    // set "NAME=value": the quotes mark where the value ends.
    size_t last = text.rfind('"');
    text = last > 0 ? text.substr(1, last - 1) : text.substr(1);
  }
  size_t equals = text.find('=');
  if (equals == std::string::npos) return ListVariables(TrimBlanksAndTabs(text));
  std::string name = text.substr(0, equals);
  std::string value = text.substr(equals + 1);
  if (name.empty()) return SyntaxError();
  if (name[0] == '/') {
    fprintf(stderr, "The /A and /P switches of set are not supported.\n");
    return 1;
  }
  if (SetEnv(name.c_str(), value.empty() ? nullptr : value.c_str())) return 0;
  fprintf(stderr, "%s\n", LastErrorText());
  return 1;
}

// Makes drive `letter` current, at the folder it had last.
int SwitchDrive(State* state, char letter) {
  letter = UpperAscii(letter);
  std::string current = CurrentDir();
  auto it = state->driveDirs.find(letter);
  std::string target = it != state->driveDirs.end() ? it->second : std::string(1, letter) + ":\\";
  if (!SetCurrentDir(target.c_str())) {
    fprintf(stderr, "The system cannot find the drive specified.\n");
    return 1;
  }
  if (!current.empty()) state->driveDirs[UpperAscii(current[0])] = current;
  return 0;
}

int DoChdir(Invocation& call) {
  State* state = call.state;
  std::string text = TrimBlanksAndTabs(call.rest);
  bool switchDrive = false;
  if (text.size() >= 2 && text[0] == '/' && UpperAscii(text[1]) == 'D' && (text.size() == 2 || text[2] == ' ')) {
    switchDrive = true;
    text = TrimLeft(text.substr(2));
  }
  text.erase(std::remove(text.begin(), text.end(), '"'), text.end());
  if (text.empty()) {
    printf("%s\n", CurrentDir().c_str());
    return 0;
  }
  std::string current = CurrentDir();
  std::string full = GetFullPathString(text.c_str());
  uint32_t attributes = full.empty() ? kInvalidAttributes : GetAttributes(full.c_str());
  if (attributes == kInvalidAttributes || !(attributes & kAttrDirectory)) {
    fprintf(stderr, "The system cannot find the path specified.\n");
    return 1;
  }
  bool otherDrive = !current.empty() && UpperAscii(full[0]) != UpperAscii(current[0]);
  if (otherDrive && !switchDrive) {
    state->driveDirs[UpperAscii(full[0])] = full;
    return 0;
  }
  if (!SetCurrentDir(full.c_str())) {
    fprintf(stderr, "The system cannot find the path specified.\n");
    return 1;
  }
  if (otherDrive) state->driveDirs[UpperAscii(current[0])] = current;
  return 0;
}

int DoExit(Invocation& call) {
  Arguments args = call.args;
  bool batchOnly = !args.empty() && IsKeyword(args[0].plain, "/b");
  if (batchOnly) args.erase(args.begin());
  int code = args.empty() ? call.state->errorLevel : atoi(args[0].plain.c_str());
  call.frame->stop = true;
  if (!batchOnly || !call.frame->inBatch) call.state->exitAll = true;
  call.state->errorLevel = code;
  return code;
}

bool IsLabelLine(const std::string& line, const std::string& label) {
  std::string text = TrimLeft(line);
  if (text.empty() || text[0] != ':') return false;
  size_t end = text.find_first_of(" \t", 1);
  return IsKeyword(text.substr(1, end == std::string::npos ? std::string::npos : end - 1), label.c_str());
}

// The line after the label, searched from the current line on and then from
// the top, as the Windows interpreter searches.
bool FindLabel(const Frame& frame, const std::string& label, size_t* next) {
  const std::vector<std::string>& lines = *frame.lines;
  for (size_t n = 0; n < lines.size(); ++n) {
    size_t index = (frame.next + n) % lines.size();
    if (!IsLabelLine(lines[index], label)) continue;
    *next = index + 1;
    return true;
  }
  return false;
}

std::string LabelName(const std::string& word) {
  std::string label = word;
  if (!label.empty() && label[0] == ':') label.erase(0, 1);
  return label;
}

int DoGoto(Invocation& call) {
  Frame* frame = call.frame;
  if (!frame->inBatch) {
    fprintf(stderr, "Invalid attempt to call batch label outside of batch script.\n");
    return 1;
  }
  std::string label = call.args.empty() ? "" : LabelName(call.args[0].plain);
  if (IsKeyword(label, "eof")) {
    frame->stop = true;
    return 0;
  }
  size_t next = 0;
  if (label.empty() || !FindLabel(*frame, label, &next)) {
    fprintf(stderr, "The system cannot find the batch label specified - %s\n", label.c_str());
    frame->stop = true;
    return 1;
  }
  frame->next = next;
  frame->jumped = true;
  return 0;
}

// "call :label args" runs the batch file from the label on as a batch of its
// own, up to its end, "exit /b" or "goto :eof".
int CallLabel(Invocation& call) {
  Frame* caller = call.frame;
  std::string label = LabelName(call.args[0].plain);
  if (!caller->inBatch) {
    fprintf(stderr, "Invalid attempt to call batch label outside of batch script.\n");
    return 1;
  }
  Frame frame;
  frame.state = call.state;
  frame.inBatch = true;
  frame.lines = caller->lines;
  frame.next = caller->next;
  if (!FindLabel(frame, label, &frame.next)) {
    fprintf(stderr, "The system cannot find the batch label specified - %s\n", label.c_str());
    return 1;
  }
  for (const Argument& arg : call.args) frame.args.push_back(arg.written);
  return RunFrame(call.state, &frame);
}

int DoCall(Invocation& call) {
  if (call.args.empty()) return 0;
  if (call.args[0].written[0] == ':') return CallLabel(call);
  return RunSimple(call.state, call.frame, TrimLeft(call.rest), true);
}

int DoPause(Invocation&) {
  printf("Press any key to continue . . . ");
  ReadKey();
  printf("\n");
  return 0;
}

int DoCopy(Invocation& call) { return CopyFiles(call.args, call.frame->inBatch); }
int DoMove(Invocation& call) { return MoveFiles(call.args, call.frame->inBatch); }
int DoDelete(Invocation& call) { return DeleteFiles(call.args); }
int DoMakeDir(Invocation& call) { return MakeDirectories(call.args); }
int DoRemoveDir(Invocation& call) { return RemoveDirectories(call.args); }
int DoRename(Invocation& call) { return RenameFiles(call.args); }
int DoType(Invocation& call) { return TypeFiles(call.args); }

struct BuiltIn {
  const char* name;
  int (*run)(Invocation&);
  bool setsErrorLevel;  // the result becomes the error level even on success
};

const BuiltIn kBuiltIns[] = {
    {"rem", DoRem, false},       {"echo", DoEcho, false},      {"set", DoSet, false},
    {"cd", DoChdir, false},      {"chdir", DoChdir, false},    {"exit", DoExit, true},
    {"goto", DoGoto, false},     {"call", DoCall, true},       {"pause", DoPause, false},
    {"copy", DoCopy, true},      {"move", DoMove, true},       {"del", DoDelete, true},
    {"erase", DoDelete, true},   {"md", DoMakeDir, true},      {"mkdir", DoMakeDir, true},
    {"rd", DoRemoveDir, true},   {"rmdir", DoRemoveDir, true}, {"ren", DoRename, true},
    {"rename", DoRename, true},  {"type", DoType, true},
};

const BuiltIn* FindBuiltIn(const std::string& name) {
  for (const BuiltIn& builtIn : kBuiltIns) {
    if (IsKeyword(name, builtIn.name)) return &builtIn;
  }
  return nullptr;
}

bool IsBuiltInName(const std::string& name) { return FindBuiltIn(name) != nullptr; }

// ---- Programs and batch files ----------------------------------------------

int NotRecognised(const std::string& name) {
  fprintf(stderr,
          "'%s' is not recognized as an internal or external command,\n"
          "operable program or batch file.\n",
          name.c_str());
  return kNotRecognised;
}

int RunBatchIn(State* state, const std::string& text, const std::vector<std::string>& args) {
  std::vector<std::string> lines = TextLines(text);
  Frame frame;
  frame.state = state;
  frame.inBatch = true;
  frame.lines = &lines;
  frame.args = args;
  return RunFrame(state, &frame);
}

// A batch file runs in this interpreter, so what it sets stays set; without
// "call" it ends the batch file that started it, as the Windows interpreter
// does. A program sees the command's own text as its command line.
int RunExternal(State* state, Frame* frame, const CommandParts& parts, const std::string& text,
                bool call) {
  std::string name = Expand(parts.name, *frame, true);
  ProgramFile file;
  if (!LocateProgram(name, &file)) return NotRecognised(name);
  if (file.batch) {
    std::string body;
    if (!ReadProgramFile(file, &body)) {
      fprintf(stderr, "The batch file cannot be found.\n");
      return 1;
    }
    std::vector<std::string> args = {Expand(parts.name, *frame)};
    for (const Argument& arg : ExpandWords(parts.rest, *frame)) args.push_back(arg.written);
    int code = RunBatchIn(state, body, args);
    if (!call) frame->stop = true;
    return code;
  }
  ProcessOptions options;
  options.commandLine = Expand(text, *frame);
  int code = RunProgramFile(file, name, SplitArguments(Expand(parts.rest, *frame)), options);
  if (code != kCannotStart) return code;
  fprintf(stderr, "%s\n", LastErrorText());
  return 1;
}

// One command's text, after its redirections: a built-in or a program.
int RunSimple(State* state, Frame* frame, const std::string& text, bool call) {
  CommandParts parts = SplitCommandWord(text);
  std::string name = Expand(parts.name, *frame, true);
  if (name.size() == 2 && name[1] == ':' && TrimBlanksAndTabs(parts.rest).empty()) {
    int code = SwitchDrive(state, name[0]);
    if (code) state->errorLevel = code;
    return code;
  }
  const BuiltIn* builtIn = FindBuiltIn(name);
  if (!builtIn) return state->errorLevel = RunExternal(state, frame, parts, text, call);
  Invocation invocation{state, frame, Expand(parts.rest, *frame), ExpandWords(parts.rest, *frame)};
  if (IsKeyword(name, "rem")) invocation.args.clear();
  int code = builtIn->run(invocation);
  if (builtIn->setsErrorLevel || code != 0) state->errorLevel = code;
  return code;
}

// A command whose output through its redirection did not all reach the
// file has failed, whatever it did besides: half a file is no success.
int RunCommand(State* state, Frame* frame, const Node& node) {
  Redirection redirection;
  if (!redirection.Apply(node.redirects, *frame)) {
    redirection.Restore();
    return state->errorLevel = 1;
  }
  int code = node.text.empty() ? 0 : RunSimple(state, frame, node.text, false);
  if (redirection.Restore()) return code;
  fprintf(stderr, "%s\n", LastErrorText());
  return state->errorLevel = 1;
}

bool PatternExists(const std::string& name) {
  if (name.find_first_of("*?") == std::string::npos) return PathExists(name.c_str());
  FindData data;
  FindState* find = FindFirst(name.c_str(), &data);
  bool found = false;
  for (bool more = find != nullptr; more && !found; more = FindNext(find, &data)) {
    found = strcmp(data.name, ".") != 0 && strcmp(data.name, "..") != 0;
  }
  if (find) FindClose(find);
  return found;
}

bool IsNumber(const std::string& text) {
  size_t start = !text.empty() && text[0] == '-' ? 1 : 0;
  return text.size() > start && text.find_first_not_of("0123456789", start) == std::string::npos;
}

// The test of an "if", its operands expanded only now. False on a bad operand.
bool Test(const State& state, const Frame& frame, const Node& node, bool* result) {
  switch (node.test) {
    case Node::Test::kExist:
      *result = PatternExists(Expand(node.left, frame, true));
      return true;
    case Node::Test::kErrorLevel: {
      std::string level = Expand(node.left, frame, true);
      if (!IsNumber(level)) return false;
      *result = state.errorLevel >= atoi(level.c_str());
      return true;
    }
    case Node::Test::kCompare:
      *result = Expand(node.left, frame) == Expand(node.right, frame);
      return true;
  }
  return false;
}

int RunNode(State* state, Frame* frame, const Node& node) {
  switch (node.kind) {
    case Node::Kind::kCommand:
      return RunCommand(state, frame, node);
    case Node::Kind::kIf: {
      bool result = false;
      if (!Test(*state, *frame, node, &result)) return state->errorLevel = SyntaxError();
      return result != node.negate ? RunNode(state, frame, *node.first) : 0;
    }
    case Node::Kind::kThen:
      RunNode(state, frame, *node.first);
      return Abandoned(*state, *frame) ? state->errorLevel : RunNode(state, frame, *node.second);
    case Node::Kind::kAnd:
    case Node::Kind::kOr: {
      int code = RunNode(state, frame, *node.first);
      if (Abandoned(*state, *frame) || (code == 0) != (node.kind == Node::Kind::kAnd)) return code;
      return RunNode(state, frame, *node.second);
    }
  }
  return 0;
}

// Parses and runs one line; a syntax error is shown and sets error level 1.
bool RunText(State* state, Frame* frame, const std::string& line) {
  if (line.size() > kMaxLine) {
    fprintf(stderr, "The input line is too long.\n");
    state->errorLevel = 1;
    return false;
  }
  std::string error;
  std::unique_ptr<Node> node = ParseLine(line, &error);
  if (!error.empty()) {
    fprintf(stderr, "%s\n", error.c_str());
    state->errorLevel = 1;
    return false;
  }
  if (node) RunNode(state, frame, *node);
  return true;
}

void RunBatchLine(State* state, Frame* frame, const std::string& line) {
  std::string text = TrimLeft(line);
  if (text.empty() || text[0] == ':') return;
  if (state->echo && text[0] != '@') printf("\n%s>%s\n", CurrentDir().c_str(), Expand(text, *frame).c_str());
  frame->jumped = false;
  // A line that cannot be read ends the batch file, as in Windows.
  if (!RunText(state, frame, line)) frame->stop = true;
}

int RunFrame(State* state, Frame* frame) {
  if (state->depth >= kMaxDepth) {
    fprintf(stderr, "Batch recursion exceeds stack limits.\n");
    state->exitAll = true;
    return state->errorLevel = 1;
  }
  ++state->depth;
  while (frame->next < frame->lines->size() && !frame->stop && !state->exitAll) {
    const std::string& line = (*frame->lines)[frame->next++];
    RunBatchLine(state, frame, line);
  }
  --state->depth;
  return state->errorLevel;
}

// Questions and programs read standard input where the interpreter left it.
void Prepare() { setvbuf(stdin, nullptr, _IONBF, 0); }

bool ReadLine(std::string* line) {
  line->clear();
  int c;
  while ((c = getc(stdin)) != EOF && c != '\n') *line += static_cast<char>(c);
  if (!line->empty() && line->back() == '\r') line->pop_back();
  return c != EOF || !line->empty();
}

}  // namespace

std::vector<std::string> SplitArguments(const std::string& text) {
  std::vector<CommandWord> words;
  SplitCommandWords(std::string_view(text), kArgProgramArgv | kArgDoubledQuote, "", &words);
  std::vector<std::string> args;
  for (CommandWord& word : words) args.push_back(std::move(word.text));
  return args;
}

int RunLine(const std::string& commandLine) {
  Prepare();
  State state;
  Frame frame;
  frame.state = &state;
  RunText(&state, &frame, commandLine);
  return state.errorLevel;
}

int RunBatchText(const std::string& text, const std::string& name,
                 const std::vector<std::string>& args) {
  Prepare();
  State state;
  std::vector<std::string> batchArgs = {name};
  batchArgs.insert(batchArgs.end(), args.begin(), args.end());
  return RunBatchIn(&state, text, batchArgs);
}

int RunFile(const std::string& path, const std::vector<std::string>& args) {
  ProgramFile file;
  std::string text;
  if (!LocateProgram(path, &file) || !file.batch || !ReadProgramFile(file, &text)) {
    fprintf(stderr, "The batch file cannot be found.\n");
    return 1;
  }
  return RunBatchText(text, path, args);
}

int RunInteractive() {
  Prepare();
  State state;
  Frame frame;
  frame.state = &state;
  bool terminal = IsConsoleInput();
  std::string line;
  for (;;) {
    if (terminal) {
      printf("\n%s>", CurrentDir().c_str());
      fflush(stdout);
    }
    if (!ReadLine(&line)) break;
    RunText(&state, &frame, line);
    if (state.exitAll) break;
  }
  return state.errorLevel;
}

}  // namespace weft_batch
