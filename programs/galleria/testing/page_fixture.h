// Test fixture of the index page writers: a fresh drive with an icons
// directory and a gallery directory as the current one, the builder's state
// reset, a small set of entries and a captured output stream.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/testing/test_support.h"
#include "programs/galleria/entry_pieces.h"
#include "programs/galleria/index_page_output.h"
#include "programs/galleria/index_run.h"
#include "programs/galleria/index_settings.h"
#include "programs/galleria/navigation.h"
#include "shared/entry.h"
#include "shared/report.h"
#include "shared/sitefiles.h"

namespace page_fixture {

inline std::string Text(const String& s) { return s.Text() ? s.Text() : ""; }

// A GIF header of the given size.
inline std::string Gif(int width, int height) {
  std::string gif = "GIF89a";
  for (int v : {width, height}) {
    gif += static_cast<char>(v & 0xFF);
    gif += static_cast<char>(v >> 8);
  }
  gif += std::string("\0\0\0", 3);
  return gif;
}

struct EntrySpec {
  int kind;
  const char* href;
  const char* title;
  const char* thumbnail = nullptr;
  int thumbWidth = 0;
  int thumbHeight = 0;
  const char* description = nullptr;
  const char* fileInfo = nullptr;
  const char* keywords = nullptr;
};

inline std::unique_ptr<Entry> MakeTestEntry(const EntrySpec& spec) {
  auto entry = std::make_unique<Entry>();
  entry->kind = spec.kind;
  entry->SetHref(spec.href);
  entry->SetTitle(spec.title);
  entry->SetThumbnail(spec.thumbnail);
  entry->thumbWidth = spec.thumbWidth;
  entry->thumbHeight = spec.thumbHeight;
  entry->SetDescription(spec.description);
  entry->SetFileInfo(spec.fileInfo);
  entry->SetKeywords(spec.keywords);
  return entry;
}

// Owned entries and the pointer array that the writers take.
class Entries {
 public:
  Entries() = default;
  explicit Entries(const std::vector<EntrySpec>& specs) {
    for (const EntrySpec& spec : specs) Add(spec);
  }
  Entry* Add(const EntrySpec& spec) {
    owned_.push_back(MakeTestEntry(spec));
    pointers_.push_back(owned_.back().get());
    return pointers_.back();
  }
  Entry** Array() { return pointers_.data(); }
  int Count() const { return static_cast<int>(pointers_.size()); }
  Entry* operator[](int i) { return pointers_[static_cast<size_t>(i)]; }

 private:
  std::vector<std::unique_ptr<Entry>> owned_;
  std::vector<Entry*> pointers_;
};

// Two directories (one with a thumbnail, description and summary), an image
// with a thumbnail and description, and a page; in listing order.
inline std::vector<EntrySpec> GalleryEntries() {
  return {
      {kEntryIndexedDirectory, "rome/index.htm", "Rome (3 of 12)", "rome/thumb.jpg", 80, 60,
       "Eternal city", "12 slides, 1.2MB; {100000, 640, 480, 12, 12, 12, 0}"},
      {kEntryDirectory, "paris", "Paris"},
      {kEntryImage, "beach.jpg", "Beach", "thumbs/tn_beach_jpg.jpg", 100, 75, "Sand & sea"},
      {kEntryPage, "notes.htm", "Notes"},
  };
}

// A stream whose contents the test reads back.
class Capture {
 public:
  Capture() : file_(tmpfile()) {}
  ~Capture() {
    if (file_) fclose(file_);
  }
  Capture(const Capture&) = delete;
  Capture& operator=(const Capture&) = delete;
  FILE* File() const { return file_; }
  // Everything written so far.
  std::string Text() const {
    fflush(file_);
    long end = ftell(file_);
    std::string text(static_cast<size_t>(end), '\0');
    rewind(file_);
    size_t got = fread(text.data(), 1, text.size(), file_);
    text.resize(got);
    fseek(file_, 0, SEEK_END);
    return text;
  }

 private:
  FILE* file_;
};

inline void ResetBuilderState() {
  ResetIndexRun();
  ResetSiteFiles();
  ResetReportForTests();
}

// Runs in C:\site\gallery of a fresh drive, with C:\site\icons.
class PageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetBuilderState();
    drive.Write("site/icons/weft.ini", "");
    drive.MakeDir("site/gallery");
    drive.Chdir("site/gallery");
  }
  void TearDown() override { ResetBuilderState(); }

  // An icon image of the given size in the icons directory.
  void Icon(const std::string& name, int width, int height) {
    drive.Write("site/icons/" + name, Gif(width, height));
  }
  // A file in the gallery directory.
  void File(const std::string& name, const std::string& content) {
    drive.Write("site/gallery/" + name, content);
  }
  std::string Read(const std::string& name) { return drive.Read("site/gallery/" + name); }
  bool Exists(const std::string& name) { return drive.Exists("site/gallery/" + name); }

  TempDrive drive;
};

}  // namespace page_fixture
