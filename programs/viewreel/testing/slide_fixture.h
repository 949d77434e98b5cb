// A site on a temporary drive for the slide builder's tests: "site/icons"
// and the gallery "site/pics" as the current directory, with every
// process-wide table of the library and the builder back at its start.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/testing/test_support.h"
#include "programs/viewreel/slide_settings.h"
#include "shared/config.h"
#include "shared/entry.h"
#include "shared/report.h"
#include "shared/sitefiles.h"

// The bytes of a GIF header that gives the image its pixel size.
inline std::string GifOf(unsigned width, unsigned height) {
  std::string bytes = "GIF89a";
  for (unsigned value : {width, height}) {
    bytes += static_cast<char>(value & 0xFF);
    bytes += static_cast<char>(value >> 8);
  }
  bytes += std::string(3, '\0');
  return bytes;
}

class SlideTest : public testing::Test {
 protected:
  SlideTest() {
    ResetAll();
    drive.MakeDir("site/icons");
    drive.MakeDir("site/pics");
    drive.Chdir("site/pics");
  }
  ~SlideTest() override { ResetAll(); }

  // Paths inside the gallery directory.
  void Write(const std::string& name, const std::string& content) const {
    drive.Write("site/pics/" + name, content);
  }
  std::string Read(const std::string& name) const { return drive.Read("site/pics/" + name); }
  bool Exists(const std::string& name) const { return drive.Exists("site/pics/" + name); }

  static void ResetAll() {
    ResetSlideSettings();
    ResetSiteFiles();
    ResetConfigReader();
    ResetReportForTests();
    DefaultSortOrder = 50;
  }

  TempDrive drive;
};
