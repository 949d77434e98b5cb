// Wildcard arguments expanded into the names of the files they match.
#include "shared/wild_args.h"

#include <cstring>

#include "platform/attributes.h"
#include "platform/listing.h"
#include "shared/paths.h"

bool IsWildPattern(const char* argument) {
  if (strcmp(argument, "/?") == 0) return false;
  return strpbrk(BaseName(argument), "*?") != nullptr;
}

std::vector<std::string> MatchingFiles(const char* pattern, uint32_t skip) {
  std::string dirPart(pattern, BaseName(pattern) - pattern);
  std::vector<std::string> names;
  FindData data;
  FindState* state = FindFirst(pattern, &data);
  for (bool found = state != nullptr; found; found = FindNext(state, &data)) {
    if (data.attributes & skip) continue;
    names.push_back(dirPart + data.name);
  }
  if (state) FindClose(state);
  return names;
}

std::vector<std::string> ExpandWildArgument(const char* argument) {
  if (!IsWildPattern(argument)) return {argument};
  std::vector<std::string> names = MatchingFiles(argument, kAttrDirectory);
  if (names.empty()) names.push_back(argument);
  return names;
}

WildArgs::WildArgs(int argc, char** argv) {
  if (argc > 0) texts_.push_back(argv[0]);
  for (int i = 1; i < argc; ++i) {
    for (std::string& name : ExpandWildArgument(argv[i])) texts_.push_back(std::move(name));
  }
  for (std::string& text : texts_) pointers_.push_back(text.data());
  pointers_.push_back(nullptr);
}
