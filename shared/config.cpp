#include "shared/config.h"

#include <cstdio>
#include <cstring>

#include "platform/files.h"
#include "shared/chars.h"
#include "shared/sitefiles.h"
#include "shared/string.h"

namespace {

// A configuration line is read into 255 bytes; a longer one is handled as
// several lines.
constexpr size_t kLineSize = 255;
constexpr size_t kConfigFileNameSize = 128;  // 127 characters

ConfigKeyHandler keyHandler = nullptr;
char configFileName[kConfigFileNameSize] = "";

// Skips to the line after "[section]"; false at the end of the file.
bool SkipToSection(FILE* file, const char* section) {
  size_t length = strlen(section);
  char line[kLineSize];
  while (fgets(line, sizeof line, file)) {
    if (line[0] == '[' && CompareNoCaseN(line + 1, section, length) == 0 && line[1 + length] == ']')
      return true;
  }
  return false;
}

}  // namespace

void SetConfigKeyHandler(ConfigKeyHandler handler) { keyHandler = handler; }

bool ParseBool(const char* text, bool defaultValue) {
  if (!text) return defaultValue;
  if (defaultValue) {
    return !(CompareNoCase(text, "no") == 0 || CompareNoCase(text, "false") == 0 ||
             CompareNoCase(text, "off") == 0 || strcmp(text, "0") == 0);
  }
  return CompareNoCase(text, "yes") == 0 || CompareNoCase(text, "true") == 0 ||
         CompareNoCase(text, "on") == 0 || strcmp(text, "1") == 0;
}

void ConfigLine(char* line) {
  char* key = line;
  while (*key == '=') ++key;
  char* equals = strchr(key, '=');
  if (!*key || !equals) return;
  *equals = '\0';
  char* value = equals + 1;
  while (*value == '\n') ++value;
  if (char* end = strchr(value, '\n')) *end = '\0';
  if (!*value) return;
  // Keys match without regard to case; neither part is trimmed.
  LowerCase(key);
  if (strcmp(key, "configfile") == 0) {
    CopyBounded(configFileName, value, sizeof configFileName);
    return;
  }
  if (keyHandler) keyHandler(key, value);
}

bool ReadConfigFile(const char* path, const char* section) {
  FILE* file = OpenFile(path, "r");
  if (!file) return false;
  if (section && !SkipToSection(file, section)) {
    fclose(file);
    return false;
  }
  char line[kLineSize];
  while (fgets(line, sizeof line, file) && line[0] != '[') ConfigLine(line);
  fclose(file);
  return true;
}

bool ReadConfig() {
  char path[kSitePathSize];
  bool result = IconsPath("weft.ini", path, true) && ReadConfigFile(path);
  if (configFileName[0]) {
    // A "configfile" line in the chained file only replaces the stored name:
    // chaining is one level deep.
    char chained[kConfigFileNameSize];
    strcpy(chained, configFileName);
    result = ReadConfigFile(chained) || result;
  }
  return result;
}

// For the tests (testing/config_state.h).
const char* ConfigFileName() { return configFileName; }

void ResetConfigReader() {
  keyHandler = nullptr;
  configFileName[0] = '\0';
}
