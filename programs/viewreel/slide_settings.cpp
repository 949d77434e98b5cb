#include "programs/viewreel/slide_settings.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "shared/config.h"
#include "shared/entry.h"
#include "shared/paths.h"
#include "shared/sitefiles.h"
#include "shared/string.h"

SlideSettings slideSettings;

namespace {

constexpr int kMarkerUnknown = -2;
int cachedMarkerDepth = kMarkerUnknown;

bool Is(const char* key, const char* name) { return strcmp(key, name) == 0; }

void SetFrameMode(const char* value) {
  bool frameset = CompareNoCase(value, "frameset") == 0;
  bool window = CompareNoCase(value, "window") == 0;
  slideSettings.frames = frameset || window;
  slideSettings.frameset = frameset;
}

void SetSlideBody(const char* value) {
  slideSettings.hasSlideBody = true;
  std::string body = CompareNoCase(value, "none") == 0 ? "" : value;
  slideSettings.slideBody = body.substr(0, kSlideBodyMax);
}

void SetSortMode(const char* value) {
  if (CompareNoCase(value, "numeric") == 0) {
    slideSettings.sortMode = kSortNatural;
  } else if (CompareNoCase(value, "string") == 0) {
    slideSettings.sortMode = kSortPlain;
  } else {
    slideSettings.sortMode = ParseBool(value, false) ? kSortPlain : kSortNone;
  }
}

}  // namespace

void SetScale(const char* value) {
  if (!strchr(value, ',')) {
    slideSettings.scaleHeightText = value;
    return;
  }
  sscanf(value, "%u,%u", &slideSettings.scaleWidth, &slideSettings.scaleHeight);
}

void ResetSlideSettings() {
  slideSettings = SlideSettings();
  cachedMarkerDepth = kMarkerUnknown;
}

void SlideOptionKey(const char* key, const char* value) {
  if (Is(key, "slides")) {
    SetFrameMode(value);
  } else if (Is(key, "body") || Is(key, "slidebody")) {
    SetSlideBody(value);
  } else if (Is(key, "scale")) {
    SetScale(value);
  } else if (Is(key, "javascript")) {
    slideSettings.javascript = ParseBool(value, slideSettings.javascript);
  } else if (Is(key, "slideindexlinks")) {
    slideSettings.slideIndexLinks = ParseBool(value, slideSettings.slideIndexLinks);
  } else if (strncmp(key, "reservedfile", 12) == 0) {
    AddSpecialName(value);
  } else if (Is(key, "embed") || strncmp(key, "movie", 5) == 0) {
    AddUserExt(value);
  } else if (Is(key, "markerfile")) {
    slideSettings.markerFile = std::string(value).substr(0, kMarkerFileMax);
  } else if (Is(key, "pagesize")) {
    slideSettings.pageSize = atoi(value);
  } else if (Is(key, "defaultorder")) {
    SetDefaultSortOrder(value);
  } else if (Is(key, "symlinkorder")) {
    slideSettings.symlinkOrder = value[0] == 'd' || value[0] == 'n';
  } else if (Is(key, "sort")) {
    SetSortMode(value);
  }
}

int MarkerDepth() {
  if (cachedMarkerDepth != kMarkerUnknown) return cachedMarkerDepth;
  cachedMarkerDepth = -1;
  if (slideSettings.markerFile.empty()) return cachedMarkerDepth;
  std::string path = slideSettings.markerFile;
  for (int depth = 0; depth <= 3; ++depth) {
    if (FileExists(path.c_str())) return cachedMarkerDepth = depth;
    path = "..\\" + path;
  }
  return cachedMarkerDepth;
}
