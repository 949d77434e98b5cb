#include "programs/aliasgen/alias_lines.h"

#include <cstring>

#include "shared/chars.h"
#include "shared/config.h"
#include "shared/line_reader.h"
#include "shared/paths.h"
#include "shared/relative_path.h"
#include "shared/sitefiles.h"

namespace {

// The configuration reader calls a plain function: the options it fills.
AliasOptions* configTarget = nullptr;

void AliasOptionKey(const char* key, const char* value) {
  if (strcmp(key, "embed") != 0 && strncmp(key, "movie", 5) != 0) return;
  if (*value == '.') ++value;
  if (*value) AddMovieExt(configTarget, value);
}

// The first movie of the same name that exists, else the path itself.
std::string MovieOrPath(const std::string& path, const AliasOptions& options) {
  for (const std::string& ext : options.movieExts) {
    String movie = ChangeExtensionString(path.c_str(), ext.c_str());
    if (FileExists(movie)) return movie.Text();
  }
  return path;
}

}  // namespace

void AddMovieExt(AliasOptions* options, const std::string& ext) {
  if (options->movieExts.size() < kMaxMovieExts) options->movieExts.push_back("." + ext);
}

bool ParseAliasArgs(int argc, char** argv, AliasOptions* options) {
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (arg[0] != '/' && arg[0] != '-') return false;
    switch (ToUpper(arg[1])) {
      case 'E':
        AddMovieExt(options, arg + (arg[2] == ':' ? 3 : 2));
        break;
      case 'I':
        options->indexOnly = true;
        break;
      case 'S':
        options->slidesOnly = true;
        break;
      default:
        return false;
    }
  }
  return true;
}

void ReadAliasConfig(AliasOptions* options) {
  configTarget = options;
  SetConfigKeyHandler(AliasOptionKey);
  ReadConfig();
  SetConfigKeyHandler(nullptr);
  configTarget = nullptr;
}

bool AliasLine(const char* path, const AliasOptions& options, std::string* line) {
  bool isIndex = IsIndexName(path);
  if (isIndex ? options.slidesOnly : options.indexOnly) return false;
  // A directory stands for its index page, with its trailing '\'.
  std::string target = isIndex ? std::string(path, BaseName(path)) : std::string(path);
  std::string relative = RelativeToCurrentDir(target.c_str());
  // Only what lies outside the current directory is an alias here.
  if (relative.empty() || relative[0] != '.') return false;
  *line = isIndex ? relative : MovieOrPath(relative, options);
  return true;
}

AliasListResult WriteAliasList(FILE* in, FILE* out, const AliasOptions& options) {
  LineReader reader(in);
  std::string line;
  while (reader.Next()) {
    char* text = reader.Text();
    char* tab = strchr(text, '\t');
    if (!tab) continue;
    *tab = '\0';
    if (!AliasLine(text, options, &line)) continue;
    if (fprintf(out, "%s\n", line.c_str()) < 0) return kAliasListWriteError;
  }
  if (reader.Failed()) return kAliasListReadError;
  if (fflush(out) != 0 || ferror(out)) return kAliasListWriteError;
  return kAliasListDone;
}
