#include "programs/unpost/file_names.h"

#include <cstdio>
#include <cstring>

#include "platform/ascii_case.h"
#include "platform/attributes.h"
#include "platform/console.h"

namespace {

bool IsLower(char c) { return c >= 'a' && c <= 'z'; }
bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string Trim(const std::string& text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

}  // namespace

std::string CleanFileName(const std::string& name) {
  std::string clean;
  for (char c : name) {
    if (c != '"') clean += c;
  }
  size_t slash = clean.find_last_of("\\/");
  if (slash != std::string::npos) clean.erase(0, slash + 1);
  // Trimmed before the replacement, which would turn a tab into '_'.
  clean = Trim(clean);
  for (char& c : clean) {
    if (static_cast<unsigned char>(c) < 32 || strchr(":*?<>|", c)) c = '_';
  }
  // "." and ".." name folders, never a file to write.
  if (clean.find_first_not_of('.') == std::string::npos) return "";
  return clean;
}

std::string FixFileNameCase(const std::string& name) {
  size_t dot = name.rfind('.');
  bool hasLower = false;
  bool upperInBase = false;
  for (size_t i = 0; i < name.size(); ++i) {
    hasLower = hasLower || IsLower(name[i]);
    if (dot != std::string::npos && i < dot) upperInBase = upperInBase || IsUpper(name[i]);
  }
  if (hasLower && (dot == std::string::npos || upperInBase)) return name;
  std::string lower = name;
  for (char& c : lower) c = LowerAscii(c);
  return lower;
}

std::string MakeUniqueFileName(const std::string& name) {
  size_t dot = name.rfind('.');
  if (dot == std::string::npos) dot = name.size();
  std::string base = name.substr(0, dot);
  std::string extension = name.substr(dot);
  if (!base.empty() && IsDigit(base.back())) base += '-';
  std::string candidate = name;
  for (int number = 2; number <= 99 && PathExists(candidate.c_str()); ++number) {
    const char digits[] = {static_cast<char>('0' + number / 10), static_cast<char>('0' + number % 10), '\0'};
    candidate = base + digits + extension;
  }
  return candidate;
}

std::string TextFileName(const std::string& name) {
  size_t dot = name.rfind('.');
  return name.substr(0, dot) + ".txt";
}


bool ConfirmOverwrite(const std::string& path, bool overwrite) {
  if (overwrite || !PathExists(path.c_str())) return true;
  printf("File \"%s\" already exists -- overwrite? (Y/N) ", path.c_str());
  while (KeyWaiting()) ReadKey();
  int key = ReadKey();
  bool yes = key == 'y' || key == 'Y';
  printf(yes ? "Yes\n" : "No\n");
  return yes;
}
