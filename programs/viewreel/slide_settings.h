// The slide builder's run settings: filled by the command line, then by the
// configuration keys, then adjusted; read by the slide and frameset writers.
#pragma once

#include <string>

#include "shared/string.h"

// Bytes kept of the configured BODY attributes and of the marker file name.
constexpr size_t kSlideBodyMax = 127;
constexpr size_t kMarkerFileMax = 63;

// Listing order of the slides.
enum SlideSortMode { kSortNone = 0, kSortPlain = 1, kSortNatural = 2 };

// URLs of the five navigation buttons in the icons directory.
struct ButtonIcons {
  String prev, next, home, noPrev, noNext;
};

struct SlideSettings {
  bool frames = false;       // slides for the frame mode
  bool frameset = true;      // in frame mode: write "frameset.htm"
  bool slidesToo = true;     // in frame mode: write the slides
  bool javascript = true;
  bool slideIndexLinks = false;
  bool updateOnlyIfNecessary = false;  // /U
  bool deleteTextFiles = false;        // /D
  bool pageNumbers = true;             // "(N of M)" in slide titles
  bool textConversion = true;          // ".txt" files become the text block
  bool buttons = false;
  bool forwardIndex = false;
  int verbose = 0;  // 0, 1 or 2

  unsigned scaleWidth = 0, scaleHeight = 0;  // the box of /S:w,h
  std::string scaleHeightText;               // /S:h as written ("400", "80%")

  bool hasSlideBody = false;  // a BODY was configured ("none" leaves it empty)
  std::string slideBody;
  std::string markerFile;
  int pageSize = 0;
  int sortMode = kSortPlain;
  bool symlinkOrder = false;

  bool homeGiven = false;  // /H; an empty home means "index.htm"
  std::string home;
  bool titleGiven = false;  // /T; an empty title means the directory's title
  std::string title;

  ButtonIcons icons;
};

// The slide settings of this run.
extern SlideSettings slideSettings;

// Back to the start state (settings, cached marker depth); for tests.
void ResetSlideSettings();

// The key handler of the configuration reader (key lower-cased).
void SlideOptionKey(const char* key, const char* value);

// A scale value: "w,h" sets the box, anything else is the height text.
void SetScale(const char* value);

// Levels (0 to 3) above the current directory at which the marker file lies,
// or -1 when there is none or no marker file is configured. Cached.
int MarkerDepth();
