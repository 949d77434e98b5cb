#include "programs/tagpick/keyword_file.h"

#include <cstdio>
#include <string>

#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "shared/line_reader.h"

namespace {

constexpr size_t kLineLength = 255;  // longer lines are cut

// The text up to the first TAB or the end.
std::string UpToTab(const char* text) {
  const char* end = text;
  while (*end && *end != '\t') ++end;
  return std::string(text, static_cast<size_t>(end - text));
}

// "\\", "\n" and "\t" decoded; a backslash before anything else stays.
std::string DecodeEscapes(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (text[i] == '\\' && (next == '\\' || next == 'n' || next == 't')) {
      out += next == 'n' ? '\n' : next == 't' ? '\t' : '\\';
      ++i;
      continue;
    }
    out += text[i];
  }
  return out;
}

String TextOrEmpty(const std::string& text) { return text.empty() ? String() : String(text.c_str()); }

}  // namespace

void KeywordFile::Clear() {
  for (int i = 0; i < keywordCount_; ++i) {
    keywords_[i].Release();
    descriptions_[i].Release();
  }
  for (int i = 0; i < operationCount_; ++i) operations_[i].Release();
  keywordCount_ = 0;
  operationCount_ = 0;
  lastKeywordKept_ = false;
}

int KeywordFile::Read(const char* fileName) {
  Clear();
  FILE* stream = OpenFile(fileName, "r");
  if (!stream) {
    ShowMessageBox("Can't open keyword list file.", "Error", kMbOk | kMbIconWarning);
    return 0;
  }
  LineReader reader(stream);
  Utf8Check utf8;
  while (reader.Next()) {
    for (size_t i = 0; i < reader.Length(); ++i) utf8.Add(static_cast<unsigned char>(reader.Text()[i]));
    if (reader.Length() > kLineLength) reader.Text()[kLineLength] = '\0';
    AddLine(reader.Text());
  }
  fclose(stream);
  if (!utf8.Valid()) ConvertFromWindows1252();
  return keywordCount_;
}

void KeywordFile::ConvertFromWindows1252() {
  auto convert = [](String& text) {
    if (!text.IsNull()) text = String(Windows1252ToUtf8(text.Text()).c_str());
  };
  for (int i = 0; i < keywordCount_; ++i) {
    convert(keywords_[i]);
    convert(descriptions_[i]);
  }
  for (int i = 0; i < operationCount_; ++i) convert(operations_[i]);
}

void KeywordFile::AddLine(const char* line) {
  unsigned char first = static_cast<unsigned char>(line[0]);
  if (first == '?' || first == '!') {
    if (operationCount_ < kMaxOperations) operations_[operationCount_++] = UpToTab(line).c_str();
    return;
  }
  if (first == '\t') return ContinueDescription(line);
  // Comments and empty lines; bytes from 128 on start keywords (UTF-8 words).
  if (first == '#' || first < ' ') return;
  AddKeyword(line);
}

void KeywordFile::AddKeyword(const char* line) {
  lastKeywordKept_ = keywordCount_ < kMaxKeywords;
  if (!lastKeywordKept_) return;
  std::string keyword = UpToTab(line);
  const char* rest = line + keyword.size();
  while (*rest == '\t') ++rest;
  keywords_[keywordCount_] = keyword.c_str();
  descriptions_[keywordCount_] = TextOrEmpty(DecodeEscapes(UpToTab(rest)));
  ++keywordCount_;
}

// A further line of the last keyword's description; a keyword without one
// takes it as its description.
void KeywordFile::ContinueDescription(const char* line) {
  if (!lastKeywordKept_) return;
  while (*line == '\t') ++line;
  std::string text = DecodeEscapes(UpToTab(line));
  String& description = descriptions_[keywordCount_ - 1];
  if (description.IsNull()) description = TextOrEmpty(text);
  else description = Concat6(description.Text(), "\n", text.c_str());
}

void KeywordFile::MergeDescriptions(const KeywordFile& other) {
  for (int i = 0; i < keywordCount_; ++i) {
    if (descriptions_[i].Length() > 0) continue;
    for (int j = 0; j < other.keywordCount_; ++j) {
      if (CompareNoCase(keywords_[i].Text(), other.keywords_[j].Text()) == 0) {
        descriptions_[i] = other.descriptions_[j];
      }
    }
  }
}

bool KeywordFile::HasIndentedKeywords() const {
  for (int i = 0; i < keywordCount_; ++i) {
    if (keywords_[i].Text()[0] == ' ') return true;
  }
  return false;
}
