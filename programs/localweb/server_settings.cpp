// The server's settings: options, the configuration file and its rules, and
// the folders found at start-up.
#include "programs/localweb/server_settings.h"

#include <cstdio>
#include <cstring>

#include "platform/drives.h"
#include "platform/env.h"
#include "platform/files.h"
#include "platform/temp_folder.h"
#include "shared/chars.h"
#include "shared/string.h"

ServerSettings serverSettings;

namespace {

// A buffer size in kilobytes as bytes, held just past the largest accepted
// size so that an oversized value stays oversized.
uint64_t BufferBytes(const char* text) {
  int value = ParseNumber(text);
  uint64_t kilobytes = value < 0 ? 0 : static_cast<uint64_t>(value);
  if (kilobytes > kMaxBufferKB) kilobytes = kMaxBufferKB + 1;
  return kilobytes * 1024;
}

// The default configuration file: the program's path with ".cfg" in place of
// its extension (appended when it has none), cut to the 256-byte setting.
void DefaultConfigFile(const char* program, ServerSettings* settings) {
  if (!program) return;
  char* out = settings->configFile;
  size_t size = sizeof settings->configFile;
  CopyBounded(out, program, size);
  char* dot = nullptr;
  for (char* p = out; *p; ++p) {
    if (*p == '.') dot = p;
    if (*p == '\\' || *p == '/' || *p == ':') dot = nullptr;
  }
  size_t keep = dot ? static_cast<size_t>(dot - out) : strlen(out);
  if (keep + 5 > size) keep = size - 5;
  memcpy(out + keep, ".cfg", 5);
}

void ApplyOption(const char* argument, ServerSettings* settings) {
  char letter = ToUpper(argument[1]);
  const char* value = argument[1] && argument[2] == ':' ? argument + 3 : argument + (argument[1] ? 2 : 1);
  switch (letter) {
    case '?': settings->usage = true; break;
    case 'B':
      if (*value >= '1' && *value <= '9') settings->bufferSize = BufferBytes(value);
      break;
    case 'C': CopyBounded(settings->configFile, value, sizeof settings->configFile); break;
    case 'D': settings->debug = true; break;
    case 'G': settings->localMode = false; break;
    case 'L': settings->localMode = true; break;
    case 'P': settings->port = ParseNumber(value); break;
    default: break;
  }
}

// Up to three words of a line, split at blanks, tabs and newlines.
int SplitWords(const char* line, String words[3]) {
  int count = 0;
  const char* p = line;
  while (count < 3) {
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r') ++p;
    if (!*p) break;
    const char* start = p;
    while (*p && *p != ' ' && *p != '\t' && *p != '\n' && *p != '\r') ++p;
    String word(static_cast<size_t>(p - start) + 1);
    memcpy(word.Text(), start, static_cast<size_t>(p - start));
    words[count++] = word;
  }
  return count;
}

// A rule value: cut at the first '*', '/' made '\'.
String RuleValue(const char* value) {
  String result(value);
  for (char* p = result.Text(); p && *p; ++p) {
    if (*p == '*') {
      *p = 0;
      break;
    }
    if (*p == '/') *p = '\\';
  }
  return result;
}

void AddRule(const String words[3], int count, uint8_t stop, ServerSettings* settings) {
  if (count < 2 || settings->ruleCount >= kMaxRules) return;
  UrlRule& rule = settings->rules[settings->ruleCount++];
  rule.prefix = RuleValue(words[1]);
  rule.replacement = count > 2 ? RuleValue(words[2]) : String();
  rule.prefixLength = static_cast<int>(rule.prefix.Length());
  rule.stop = stop;
}

// The folder a Pass rule sends requests to: its replacement up to its last
// '\' (empty when it names no folder, so that it stays in the start folder).
std::string PassFolder(const UrlRule& rule) {
  if (!rule.stop || rule.replacement.IsNull()) return "";
  std::string replacement = rule.replacement.Text();
  size_t separator = replacement.find_last_of('\\');
  if (separator == std::string::npos) return "";
  return GetFullPathString(replacement.substr(0, separator + 1).c_str());
}

}  // namespace

void ParseOptions(int argc, char** argv, ServerSettings* settings) {
  DefaultConfigFile(argc > 0 ? argv[0] : nullptr, settings);
  for (int i = 1; i < argc; ++i) {
    if (argv[i][0] == '-' || argv[i][0] == '/') ApplyOption(argv[i], settings);
  }
}

void ApplyConfigLine(const char* line, ServerSettings* settings) {
  String words[3];
  int count = SplitWords(line, words);
  if (count == 0) return;
  if (CompareNoCase(words[0], "Map") == 0) return AddRule(words, count, 0, settings);
  if (CompareNoCase(words[0], "Pass") == 0) return AddRule(words, count, 1, settings);
  if (count < 2) return;
  if (CompareNoCase(words[0], "BufferSize") == 0) {
    settings->bufferSize = BufferBytes(words[1]);
  } else if (CompareNoCase(words[0], "Port") == 0) {
    settings->port = ParseNumber(words[1]);
  } else if (CompareNoCase(words[0], "CGITimeLimit") == 0) {
    settings->cgiTimeLimit = ParseNumber(words[1]);
  }
}

void ReadServerConfigFile(const char* path, ServerSettings* settings) {
  FILE* file = OpenFile(path, "r");
  if (!file) return;
  char line[256];
  while (fgets(line, sizeof line, file)) ApplyConfigLine(line, settings);
  fclose(file);
}

void FinishSettings(ServerSettings* settings) {
  if (settings->bufferSize == 0) settings->bufferSize = 1024;
  if (settings->port < 1) settings->port = 80;
  if (settings->cgiTimeLimit < 1) settings->cgiTimeLimit = kDefaultCGITimeLimit;
}

const char* SettingsError(const ServerSettings& settings) {
  if (settings.port > 65535) return "Error:  The port number must be from 1 to 65535.\n";
  if (settings.bufferSize > kMaxBufferKB * 1024) {
    return "Error:  The buffer size must be at most 65536 Kbytes.\n";
  }
  return nullptr;
}

void FindServerFolders(ServerSettings* settings) {
  char folder[kMaxPath + 1];
  settings->startFolder = GetCurrentDir(folder, sizeof folder) ? folder : "";
  settings->cgiFolders.clear();
  if (!settings->startFolder.empty()) settings->cgiFolders.push_back(settings->startFolder);
  for (int i = 0; i < settings->ruleCount; ++i) {
    std::string pass = PassFolder(settings->rules[i]);
    if (!pass.empty()) settings->cgiFolders.push_back(pass);
  }
  settings->tempFolder = GetTempFolder();
}

namespace {

// A drive letter for the example of the message: 'P' (photos) when it is
// free, else the first free one.
char ExampleLetter() {
  if (GetFullPathString("P:\\").empty()) return 'P';
  for (char letter = 'D'; letter <= 'Z'; ++letter) {
    std::string root = std::string(1, letter) + ":\\";
    if (GetFullPathString(root.c_str()).empty()) return letter;
  }
  return 'P';
}

// The message for a site on the host's root: the drive map to use instead
// maps a drive to the folder the server was started in.
std::string SiteOnHostRoot(const std::string& startFolder) {
  std::string host;
  if (!HostPath(startFolder.c_str(), &host) || host == "/") host = "$HOME/photos";
  const char* drives = GetEnv("WEFTDRIVES");
  std::string map = std::string(drives && *drives ? drives : "C=/") + ";" + ExampleLetter() + "=" + host;
  return "Error:  Drive " + startFolder.substr(0, 2) +
         " is the host's root folder \"/\": localweb would serve every file of this machine.\n"
         "        Map a drive to the site's folder and start localweb in that folder, for example:\n"
         "            WEFTDRIVES=\"" + map + "\" localweb\n";
}

// The folder a rule's replacement leads to: its text up to its last '\'
// ("c:" stands for its drive's root); empty when it names none.
std::string RuleFolder(const UrlRule& rule) {
  if (rule.replacement.IsNull()) return "";
  std::string replacement = rule.replacement.Text();
  size_t separator = replacement.find_last_of('\\');
  if (separator != std::string::npos) return replacement.substr(0, separator + 1);
  return !replacement.empty() && replacement.back() == ':' ? replacement + "\\" : "";
}

std::string RuleOnHostRoot(const UrlRule& rule) {
  return std::string("Error:  The rule \"") + (rule.stop ? "Pass " : "Map ") + rule.prefix.Text() + " " +
         rule.replacement.Text() +
         "\" leads to the host's root folder \"/\": localweb would serve every file of this machine.\n"
         "        Let the rule lead to a folder of the site instead.\n";
}

}  // namespace

std::string HostRootError(const ServerSettings& settings) {
  const std::string& start = settings.startFolder;
  if (start.size() >= 3 && IsHostRoot(start.substr(0, 3).c_str())) return SiteOnHostRoot(start);
  for (int i = 0; i < settings.ruleCount; ++i) {
    std::string folder = RuleFolder(settings.rules[i]);
    if (!folder.empty() && IsHostRoot(folder.c_str())) return RuleOnHostRoot(settings.rules[i]);
  }
  return "";
}
