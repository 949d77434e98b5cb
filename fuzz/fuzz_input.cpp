#include "fuzz/fuzz_input.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/attributes.h"
#include "platform/files.h"
#include "platform/listing.h"
#include "platform/testing/test_support.h"

uint8_t FuzzInput::Byte() { return used_ < size_ ? data_[used_++] : 0; }

std::string FuzzInput::Text(char separator) {
  size_t start = used_;
  while (used_ < size_ && data_[used_] != static_cast<uint8_t>(separator)) ++used_;
  std::string text(reinterpret_cast<const char*>(data_) + start, used_ - start);
  if (used_ < size_) ++used_;
  return text;
}

std::string FuzzInput::Rest() {
  std::string text(reinterpret_cast<const char*>(data_) + used_, size_ - used_);
  used_ = size_;
  return text;
}

void EnterFuzzDrive() {
  // Static, so that the folder is removed when the fuzzer exits normally.
  static std::unique_ptr<TempDrive> drive;
  if (!drive) drive = std::make_unique<TempDrive>();
}

void WriteFuzzFile(const char* name, const std::string& content) {
  FILE* file = OpenFile(name, "wb");
  FuzzCheck(file != nullptr, "cannot create a file on the fuzz drive");
  fwrite(content.data(), 1, content.size(), file);
  fclose(file);
}

void ClearFuzzDrive() {
  std::vector<std::string> names;
  FindData data;
  FindState* state = FindFirst("*", &data);
  for (bool more = state != nullptr; more; more = FindNext(state, &data)) {
    if (!(data.attributes & kAttrDirectory)) names.push_back(data.name);
  }
  if (state) FindClose(state);
  for (const std::string& name : names) {
    SetAttributes(name.c_str(), kAttrNormal);
    DeleteFile(name.c_str());
  }
}

BoundedCase ReadBoundedCase(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  BoundedCase bounded;
  bounded.smaller = input.Byte();
  bounded.text = input.Text();
  return bounded;
}

void FuzzCheck(bool condition, const char* what) {
  if (condition) return;
  fprintf(stderr, "Fuzz check failed: %s\n", what);
  abort();
}

void CheckBoundedWriter(const char* text, BoundedWriter write, size_t needed,
                        const String& whole, size_t smaller) {
  FuzzCheck(whole.Length() + 1 <= needed, "String form fits the measured size");
  std::vector<char> exact(needed);
  write(text, exact.data(), exact.size());
  FuzzCheck(strcmp(exact.data(), whole.Text() ? whole.Text() : "") == 0, "writer agrees with String");
  std::vector<char> cut(smaller + 1, 'G');  // one guard byte past the size given
  write(text, cut.data(), smaller);
  FuzzCheck(cut[smaller] == 'G', "writer stays within its size");
  if (smaller > 0) FuzzCheck(memchr(cut.data(), '\0', smaller) != nullptr, "cut result terminated");
}

void CheckExactBoundedWriter(const char* text, BoundedWriter write, size_t needed,
                             const String& whole, size_t smaller) {
  CheckBoundedWriter(text, write, needed, whole, smaller);
  FuzzCheck(whole.Length() + 1 == needed, "measured length exact");
}
