#include "platform/dropped_files.h"

#include <cctype>
#include <cstdio>

#include "platform/drives.h"
#include "platform/files.h"
#include "platform/hex_digits.h"

namespace {

// "%XX" decoded; a '%' without two hexadecimal digits stays.
std::string PercentDecoded(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
        HexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
      continue;
    }
    out += text[i];
  }
  return out;
}

// The text's lines that are not empty.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (const std::string& line : TextLines(text)) {
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

// '/C:/...' or '/C:' (a drive path written as a URL path).
bool IsDriveUrlPath(const std::string& path) {
  return path.size() >= 3 && path[0] == '/' && isalpha(static_cast<unsigned char>(path[1])) &&
         path[2] == ':' && (path.size() == 3 || path[3] == '/');
}

// The local path of a "file:" URI, decoded; false for other lines.
bool UriPath(const std::string& line, std::string* path) {
  static const std::string kScheme = "file://";
  if (line.compare(0, kScheme.size(), kScheme) != 0) return false;
  std::string rest = line.substr(kScheme.size());
  if (rest.compare(0, 9, "localhost") == 0) rest.erase(0, 9);
  if (rest.empty() || rest[0] != '/') return false;
  *path = PercentDecoded(rest);
  return true;
}

// The Windows path a line names; false when it names none on a mapped drive.
bool LinePath(const std::string& line, std::string* windowsPath) {
  std::string path;
  if (UriPath(line, &path) && IsDriveUrlPath(path)) {
    path.erase(0, 1);
    for (char& ch : path) ch = ch == '/' ? '\\' : ch;
    if (path.size() == 2) path += '\\';
    *windowsPath = path;
    return true;
  }
  if (path.empty() && !line.empty() && line[0] == '/') path = line;
  return !path.empty() && WindowsPath(path.c_str(), windowsPath);
}

// A line that names a host file (not a drive URL), mapped or not.
bool NamesHostFile(const std::string& line) {
  std::string path;
  if (UriPath(line, &path)) return !IsDriveUrlPath(path);
  return line[0] == '/';
}

// The "file:///" URL of a Windows path: '\' becomes '/', '%' and control
// bytes become "%XX".
std::string FileUrlOfPath(const std::string& path) {
  std::string url = "file:///";
  for (char ch : path) {
    unsigned char byte = static_cast<unsigned char>(ch);
    if (ch == '\\') {
      url += '/';
    } else if (ch == '%' || byte < 0x20 || byte == 0x7F) {
      char escape[4];
      snprintf(escape, sizeof escape, "%%%02X", byte);
      url += escape;
    } else {
      url += ch;
    }
  }
  return url;
}

}  // namespace

std::vector<std::string> DroppedFilePaths(const std::string& uriList) {
  std::vector<std::string> paths;
  for (const std::string& line : Lines(uriList)) {
    std::string path;
    if (LinePath(line, &path)) paths.push_back(path);
  }
  return paths;
}

std::vector<std::string> CopiedTexts(const std::string& text) {
  std::vector<std::string> lines = Lines(text);
  if (!lines.empty() && (lines[0] == "copy" || lines[0] == "cut")) lines.erase(lines.begin());
  if (lines.empty()) return {text};
  for (const std::string& line : lines) {
    if (!NamesHostFile(line)) return {text};
  }
  std::vector<std::string> urls;
  for (const std::string& line : lines) {
    std::string path;
    if (LinePath(line, &path)) urls.push_back(FileUrlOfPath(path));
  }
  return urls;
}
