#include "programs/cat2tag/index_to_keywords.h"

#include <cstring>

#include "shared/line_reader.h"
#include "shared/paths.h"
#include "shared/sitefiles.h"

namespace {

// Field n (from 1) of the line, ended at the next TAB in place; null when the
// line has fewer fields.
char* CutField(char* line, int n) {
  char* field = line;
  for (int i = 1; i < n; ++i) {
    field = strchr(field, '\t');
    if (!field) return nullptr;
    ++field;
  }
  return field;
}

void EndAtTab(char* field) {
  char* tab = strchr(field, '\t');
  if (tab) *tab = '\0';
}

}  // namespace

bool KeywordLineOf(char* line, std::string* output) {
  char* cr = strchr(line, '\r');
  if (cr) *cr = '\0';
  char* path = CutField(line, 2);
  char* keywords = path ? CutField(path, 3) : nullptr;
  if (!keywords) return false;
  EndAtTab(path);
  EndAtTab(keywords);
  if (!*keywords) return false;
  size_t length = strlen(path);
  output->assign(path, length);
  if (!IsPageName(path)) {
    // An image's record is named by its slide page.
    output->resize(length + sizeof ".htm");
    ChangeExtension(output->data(), ".htm", output->size());
    output->resize(strlen(output->c_str()));
  }
  *output += '\t';
  *output += keywords;
  return true;
}

ConvertResult ConvertDatabase(FILE* in, FILE* out) {
  LineReader reader(in);
  std::string output;
  while (reader.Next()) {
    if (!KeywordLineOf(reader.Text(), &output)) continue;
    output += '\n';
    if (fwrite(output.data(), 1, output.size(), out) != output.size()) return kConvertWriteError;
  }
  if (reader.Failed()) return kConvertReadError;
  if (fflush(out) != 0 || ferror(out)) return kConvertWriteError;
  return kConvertDone;
}
