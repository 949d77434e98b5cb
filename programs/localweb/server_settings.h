// The local web server's settings: the command-line options, the
// configuration file with its Map and Pass rules, and the folders found at
// start-up. Fixed before the first connection.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shared/string.h"

constexpr int kMaxRules = 20;
// The largest buffer size accepted, in kilobytes.
constexpr uint64_t kMaxBufferKB = 65536;
// The CGI time limit unless the configuration sets one, and the output limit.
constexpr int kDefaultCGITimeLimit = 60;
constexpr uint64_t kCGIOutputLimit = 64ull << 20;

// One Map or Pass line of the configuration file.
struct UrlRule {
  String prefix;
  String replacement;  // empty String: the prefix is only cut off
  int prefixLength = 0;
  uint8_t stop = 0;  // 1 for Pass, 0 for Map
};

struct ServerSettings {
  uint64_t bufferSize = 1024;
  int port = 80;
  bool localMode = true;
  bool debug = false;
  bool usage = false;  // /? was given
  int cgiTimeLimit = kDefaultCGITimeLimit;  // seconds
  char configFile[256] = {};
  UrlRule rules[kMaxRules];
  int ruleCount = 0;
  // Found at start-up: the folder the server was started in, the folders
  // whose programs may run as CGI scripts (that folder and the target folder
  // of each Pass rule) and the folder for CGI response files.
  std::string startFolder;
  std::vector<std::string> cgiFolders;
  std::string tempFolder;
};

// The settings of this server.
extern ServerSettings serverSettings;

// Applies the options of the command line to `settings`.
void ParseOptions(int argc, char** argv, ServerSettings* settings);
// Applies one configuration line (key, value1, value2).
void ApplyConfigLine(const char* line, ServerSettings* settings);
// Reads the server's configuration file, whose lines are words (key,
// value1, value2) as ApplyConfigLine takes them; a missing file is no error.
void ReadServerConfigFile(const char* path, ServerSettings* settings);
// Replaces a buffer size of 0 and a port below 1 by their defaults.
void FinishSettings(ServerSettings* settings);
// The error message for settings the server cannot run with, or null.
const char* SettingsError(const ServerSettings& settings);
// Fills in the start folder, the CGI folders and the temporary folder.
void FindServerFolders(ServerSettings* settings);
// The error message when the site (the root of the start folder's drive) or
// a rule's target folder is the host's root folder "/", which would serve
// every file of the machine to anyone who can connect; empty otherwise.
std::string HostRootError(const ServerSettings& settings);
