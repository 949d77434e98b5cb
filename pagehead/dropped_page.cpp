#include "pagehead/dropped_page.h"

#include <cstdio>
#include <cstring>

#include "pagehead/page_name.h"
#include "platform/attributes.h"
#include "platform/code_page.h"
#include "platform/message_box.h"
#include "shared/url/url.h"

namespace {

bool IsFolder(const char* path) {
  uint32_t attributes = GetAttributes(path);
  return attributes != kInvalidAttributes && (attributes & kAttrDirectory);
}

// Base and URL path joined with exactly one '\' between them.
String JoinBase(const char* base, const char* urlPath) {
  std::string joined = base;
  if (!joined.empty() && joined.back() == '\\') ++urlPath;
  else if (*urlPath != '/') joined += '\\';
  String tail = UrlToFileString(urlPath);
  joined += tail.Text() ? tail.Text() : "";
  return String(joined.c_str());
}

}  // namespace

String IndexFileName(const char* dir) {
  static const char* const kNames[] = {"index.htm", "index.html", "welcome.htm", "welcome.html"};
  std::string chosen = std::string(dir) + "\\" + kNames[0];
  for (const char* name : kNames) {
    std::string candidate = std::string(dir) + "\\" + name;
    if (PathExists(candidate.c_str())) {
      chosen = candidate;
      break;
    }
  }
  if (chosen.size() > 259) chosen.resize(259);
  return String(chosen.c_str());
}

bool LoadFile(HTMLFile& file, const char* path) {
  String page = IsFolder(path) ? IndexFileName(path) : PageNameString(path);
  CreateMissingPage(page.Text());
  if (file.Read(page.Text())) return true;
  ShowMessageBox(file.ErrorText(), "File Read Error", kMbOk | kMbIconError);
  return false;
}

bool SaveFile(HTMLFile& file) {
  if (file.Write()) return true;
  ShowMessageBox(file.ErrorText(), "File Write Error", kMbOk | kMbIconError);
  return false;
}

String ShownText(const HTMLFile& file, const char* value) {
  return String(ToUtf8(value ? value : "", file.HeadCodePage()).c_str());
}

bool PageText(const HTMLFile& file, const char* shown, String* text) {
  std::string converted, missing;
  if (FromUtf8(shown ? shown : "", file.HeadCodePage(), &converted, &missing)) {
    *text = String(converted.c_str());
    return true;
  }
  std::string message = "The letter \"" + missing + "\" cannot be stored in file \"" + file.InputName() +
                        "\": its head is in the windows-1252 code page, which has no such letter";
  ShowMessageBox(message.c_str(), "File Write Error", kMbOk | kMbIconError);
  return false;
}

String ClipboardUrlToPath(const char* text, const char* baseDir) {
  static const char kFile[] = "file:///";
  static const char kLoopback[] = "http://127.0.0.1/";
  if (strncmp(text, kFile, strlen(kFile)) == 0) return UrlToFileString(text + strlen("file://"));
  if (strncmp(text, kLoopback, strlen(kLoopback)) != 0) return String("");
  const char* urlPath = text + strlen(kLoopback) - 1;
  if (*baseDir) return JoinBase(baseDir, urlPath);
  return UrlToFileString(urlPath);
}

std::string DropStatusText(int count, const char* loadedText) {
  if (count < 0) return loadedText;
  if (count == 0) return "No files were modified";
  if (count == 1) return "1 file was modified";
  char text[64];
  snprintf(text, sizeof text, "%u files were modified", static_cast<unsigned>(count));
  return text;
}
