#include "programs/minipix/image_messages.h"

#include <cstdarg>
#include <cstdio>
#include <utility>

#include "jpeg/jpeg_error.h"

namespace {

std::string Formatted(const char* format, va_list args) {
  va_list again;
  va_copy(again, args);
  int length = vsnprintf(nullptr, 0, format, again);
  va_end(again);
  if (length <= 0) return std::string();
  std::string text(static_cast<size_t>(length) + 1, '\0');
  vsnprintf(text.data(), text.size(), format, args);
  text.pop_back();
  return text;
}

void Write(bool error, const std::string& text) {
  if (error) {
    fputs(text.c_str(), stderr);
    return;
  }
  fputs(text.c_str(), stdout);
  fflush(stdout);
}

}  // namespace

void ImageMessages::Progress(const char* format, ...) {
  va_list args;
  va_start(args, format);
  Add(false, Formatted(format, args));
  va_end(args);
}

void ImageMessages::Problem(const char* format, ...) {
  va_list args;
  va_start(args, format);
  Add(true, Formatted(format, args));
  va_end(args);
}

void ImageMessages::BeginPipeline() {
  if (keep_) CollectJpegMessages(&pipeline_);
}

void ImageMessages::EndPipeline() {
  if (!keep_) return;
  CollectJpegMessages(nullptr);
  if (!pipeline_.empty()) Add(true, std::move(pipeline_));
  pipeline_.clear();
}

void ImageMessages::Print() {
  for (const Line& line : lines_) Write(line.error, line.text);
  lines_.clear();
  lines_.shrink_to_fit();
}

void ImageMessages::Add(bool error, std::string text) {
  if (!keep_) {
    Write(error, text);
    return;
  }
  lines_.push_back({error, std::move(text)});
}
