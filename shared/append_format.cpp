#include "shared/append_format.h"

#include <cstdarg>
#include <cstdio>

void AppendFormat(std::string* text, const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int length = vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (length > 0) {
    size_t at = text->size();
    text->resize(at + static_cast<size_t>(length) + 1);
    vsnprintf(text->data() + at, static_cast<size_t>(length) + 1, format, args);
    text->resize(at + static_cast<size_t>(length));
  }
  va_end(args);
}
