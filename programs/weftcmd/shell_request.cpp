#include "programs/weftcmd/shell_request.h"

#include <cstdio>

#include "batch/batch_interpreter.h"
#include "batch/batch_syntax.h"
#include "platform/ascii_case.h"
#include "platform/env.h"
#include "platform/process.h"

namespace {

const char* const kHelp[] = {
    "WEFTCMD, Tessarin Command Interpreter, Version 1.00",
    "",
    "Runs batch files and command lines as the Windows command interpreter does,",
    "with the programs of the suite, the current folder and PATH (Windows folders",
    "separated by \";\" or Linux folders separated by \":\").",
    "",
    "Usage:  WEFTCMD [/C line | batchfile [arguments]]",
    "",
    " /C line      Runs one command line and ends.",
    " batchfile    Runs a batch file (\".bat\" may be left out); its arguments are",
    "              %1 to %9.",
    "",
    "Without either, command lines are read from standard input, up to its end or",
    "\"exit\".  The exit code is the error level at the end.",
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string WithoutQuotes(const std::string& word) {
  std::string out;
  for (char c : word) {
    if (c != '"') out += c;
  }
  return out;
}

bool IsSwitch(const std::string& word, char letter) {
  return word.size() >= 2 && word[0] == '/' && LowerAscii(word[1]) == letter;
}

// The text after "/C" on the raw line, as the Windows interpreter takes it.
std::string LineAfterSwitch(const std::string& rawLine, size_t switchAt) {
  size_t start = switchAt + 2;
  while (start < rawLine.size() && IsBlank(rawLine[start])) ++start;
  std::string line = rawLine.substr(start);
  if (line.empty() || line[0] != '"') return line;
  size_t last = line.rfind('"');
  return last == 0 ? line.substr(1) : line.substr(1, last - 1) + line.substr(last + 1);
}

ShellRequest FromRawLine(const std::string& rawLine) {
  ShellRequest request;
  std::vector<weft_batch::RawWord> words = weft_batch::SplitRawWords(rawLine);
  if (words.size() < 2) return request;
  const std::string& first = words[1].text;
  if (IsSwitch(first, 'c')) {
    request.mode = ShellRequest::Mode::kLine;
    request.line = LineAfterSwitch(rawLine, words[1].start);
    return request;
  }
  if (first[0] == '/') {
    request.mode = ShellRequest::Mode::kHelp;
    return request;
  }
  request.mode = ShellRequest::Mode::kFile;
  request.file = WithoutQuotes(first);
  for (size_t i = 2; i < words.size(); ++i) request.args.push_back(words[i].text);
  return request;
}

ShellRequest FromArguments(int argc, char** argv) {
  ShellRequest request;
  if (argc < 2) return request;
  std::string first = argv[1];
  if (IsSwitch(first, 'c') && first.size() == 2) {
    request.mode = ShellRequest::Mode::kLine;
    for (int i = 2; i < argc; ++i) request.line += (i > 2 ? " " : "") + std::string(argv[i]);
    return request;
  }
  if (first.empty() || first[0] == '/') {
    request.mode = ShellRequest::Mode::kHelp;
    return request;
  }
  request.mode = ShellRequest::Mode::kFile;
  request.file = first;
  for (int i = 2; i < argc; ++i) request.args.push_back(CommandLineWord(argv[i]));
  return request;
}

// An exit status holds 8 bits: a non-zero level never comes out as 0.
int ExitStatus(int level) {
  int status = level & 0xFF;
  return status == 0 && level != 0 ? 1 : status;
}

// The error level at the end of the run the request asks for.
int RunRequest(const ShellRequest& request) {
  switch (request.mode) {
    case ShellRequest::Mode::kHelp:
      for (const char* line : kHelp) printf("%s\n", line);
      return 0;
    case ShellRequest::Mode::kLine:
      return weft_batch::RunLine(request.line);
    case ShellRequest::Mode::kFile:
      return weft_batch::RunFile(request.file, request.args);
    case ShellRequest::Mode::kInteractive:
      break;
  }
  return weft_batch::RunInteractive();
}

}  // namespace

ShellRequest ReadShellRequest(int argc, char** argv, const std::string& rawLine, bool fromInterpreter) {
  return fromInterpreter ? FromRawLine(rawLine) : FromArguments(argc, argv);
}

int RunShell(int argc, char** argv) {
  // A caller that started this run for a command line or a batch file takes
  // the whole level, which an exit status cannot carry.
  TakeErrorLevelChannel();
  ShellRequest request = ReadShellRequest(argc, argv, GetCommandLineText(), CommandLineFromInterpreter());
  int level = RunRequest(request);
  HandBackErrorLevel(level);
  return ExitStatus(level);
}
