#include "programs/taglist/keyword_output.h"

#include "platform/env.h"
#include "shared/cgi/cgi.h"
#include "shared/chars.h"
#include "shared/htmltext.h"
#include "shared/url/url.h"

namespace {

template <typename Visit>
void ForEachKeyword(const KeywordIndex& index, Visit visit) {
  for (const Node* node = index.Keywords(); node; node = node->pNext) {
    visit(*static_cast<const ContainerNode*>(node));
  }
}

template <typename Visit>
void ForEachFile(const ContainerNode& keyword, Visit visit) {
  for (const Node* file = keyword.Files(); file; file = file->pNext) visit(file->Name());
}

bool HasDrive(const char* path) { return IsAlpha(path[0]) && path[1] == ':'; }

}  // namespace

void WritePlainList(const KeywordIndex& index, FILE* out) {
  ForEachKeyword(index, [out](const ContainerNode& keyword) {
    fprintf(out, "%s\n", keyword.Name());
    ForEachFile(keyword, [out](const char* file) { fprintf(out, "   %s\n", file); });
    fputc('\n', out);
  });
}

void WriteFormattedList(const KeywordIndex& index, const std::string& format, FILE* out) {
  ForEachKeyword(index, [&](const ContainerNode& keyword) {
    SetEnv("KEYWORD", keyword.Name());
    SetEnv("KEYHTML", HtmlEncodePageString(keyword.Name()));
    SetEnv("KEYFORM", FormEncodeString(keyword.Name()));
    SetEnv("COUNT", std::to_string(keyword.FileCount()).c_str());
    fputs(ExpandEnvironmentString(format.c_str()).c_str(), out);
  });
}

long WriteCrossReference(const KeywordIndex& index, FILE* out) {
  long invalid = 0;
  ForEachKeyword(index, [&](const ContainerNode& keyword) {
    fputs(Chars(Utf8ReferencesString(keyword.Name())), out);
    int number = 0;
    ForEachFile(keyword, [&](const char* file) {
      if (!HasDrive(file)) {
        ++invalid;
        return;
      }
      String url = FileToUrlString(file);
      fprintf(out, ",\n <A HREF=\"file:///%c:%s\">%d</A>", file[0], Chars(url),
              ++number);
    });
    fputs("<BR>\n", out);
  });
  return invalid;
}
