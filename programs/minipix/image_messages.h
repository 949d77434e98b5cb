// The messages of one image's work: printed at once, or kept and printed in
// the image's turn, so that images made side by side on several workers
// print what a run of one image after another prints, in its order.
#pragma once

#include <string>
#include <vector>

class ImageMessages {
 public:
  // `keep`: hold the lines until Print; else print each at once.
  explicit ImageMessages(bool keep) : keep_(keep) {}

  // A progress line on standard output, flushed so that it stands before
  // any error line that follows it.
  void Progress(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // A warning or error line on standard error.
  void Problem(const char* format, ...) __attribute__((format(printf, 2, 3)));

  // Between these two the image pipeline's own messages (the JPEG library's
  // warnings and errors) go where these lines go.
  void BeginPipeline();
  void EndPipeline();

  // Prints the kept lines in the order they came, and forgets them.
  void Print();

 private:
  struct Line {
    bool error;
    std::string text;
  };
  void Add(bool error, std::string text);

  bool keep_;
  std::vector<Line> lines_;
  std::string pipeline_;
};
