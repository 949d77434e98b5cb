#include "programs/viewreel/slide_settings.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "shared/config.h"
#include "shared/entry.h"
#include "shared/paths.h"
#include "shared/sitefiles.h"
#include "shared/string.h"

SlideSettings Settings;

namespace {

constexpr int kMarkerUnknown = -2;
int cachedMarkerDepth = kMarkerUnknown;

bool Is(const char* key, const char* name) { return strcmp(key, name) == 0; }

void SetFrameMode(const char* value) {
  bool frameset = CompareNoCase(value, "frameset") == 0;
  bool window = CompareNoCase(value, "window") == 0;
  Settings.frames = frameset || window;
  Settings.frameset = frameset;
}

void SetSlideBody(const char* value) {
  Settings.hasSlideBody = true;
  std::string body = CompareNoCase(value, "none") == 0 ? "" : value;
  Settings.slideBody = body.substr(0, kSlideBodyMax);
}

void SetSortMode(const char* value) {
  if (CompareNoCase(value, "numeric") == 0) {
    Settings.sortMode = kSortNatural;
  } else if (CompareNoCase(value, "string") == 0) {
    Settings.sortMode = kSortPlain;
  } else {
    Settings.sortMode = ParseBool(value, false) ? kSortPlain : kSortNone;
  }
}

}  // namespace

void SetScale(const char* value) {
  if (!strchr(value, ',')) {
    Settings.scaleHeightText = value;
    return;
  }
  sscanf(value, "%u,%u", &Settings.scaleWidth, &Settings.scaleHeight);
}

void ResetSlideSettings() {
  Settings = SlideSettings();
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
    Settings.javascript = ParseBool(value, Settings.javascript);
  } else if (Is(key, "slideindexlinks")) {
    Settings.slideIndexLinks = ParseBool(value, Settings.slideIndexLinks);
  } else if (strncmp(key, "reservedfile", 12) == 0) {
    AddSpecialName(value);
  } else if (Is(key, "embed") || strncmp(key, "movie", 5) == 0) {
    AddUserExt(value);
  } else if (Is(key, "markerfile")) {
    Settings.markerFile = std::string(value).substr(0, kMarkerFileMax);
  } else if (Is(key, "pagesize")) {
    Settings.pageSize = atoi(value);
  } else if (Is(key, "defaultorder")) {
    DefaultSortOrder = atoi(value);
  } else if (Is(key, "symlinkorder")) {
    Settings.symlinkOrder = value[0] == 'd' || value[0] == 'n';
  } else if (Is(key, "sort")) {
    SetSortMode(value);
  }
}

int MarkerDepth() {
  if (cachedMarkerDepth != kMarkerUnknown) return cachedMarkerDepth;
  cachedMarkerDepth = -1;
  if (Settings.markerFile.empty()) return cachedMarkerDepth;
  std::string path = Settings.markerFile;
  for (int depth = 0; depth <= 3; ++depth) {
    if (FileExists(path.c_str())) return cachedMarkerDepth = depth;
    path = "..\\" + path;
  }
  return cachedMarkerDepth;
}
