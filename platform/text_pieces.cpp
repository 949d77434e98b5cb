#include "platform/text_pieces.h"

std::vector<std::string> SplitAt(const std::string& text, const std::string& separator) {
  std::vector<std::string> pieces;
  size_t start = 0;
  for (;;) {
    size_t end = text.find(separator, start);
    if (end == std::string::npos) break;
    pieces.push_back(text.substr(start, end - start));
    start = end + separator.size();
  }
  pieces.push_back(text.substr(start));
  return pieces;
}
