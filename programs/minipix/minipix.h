// The thumbnail builder: keeps a thumbnail in "thumbs" for every JPEG image
// of the current directory that needs one, rebuilding stale ones, and deletes
// the thumbnails whose image is gone or needs none any more.
#pragma once

// Settings from the configuration (defaults in brackets).
extern unsigned thumbSize[2];   // maximum width and height [100, 100]
extern unsigned thumbQuality;   // JPEG quality [75]
extern bool thumbFast;          // decoder downscales first [yes]
extern unsigned thumbSharpness; // 1 to 100; 0 means 10 [0]
extern bool keywordThumbs;      // only images whose page has keywords [no]

// Back to the defaults; for tests that run several configurations.
void ResetThumbSettings();

// The configuration key handler (keys arrive lower-cased).
void ThumbOptionKey(const char* key, const char* value);

// True when the image gets a thumbnail: not a special or reserved name, and
// with keywordThumbs on, its same-named page has keywords.
bool NeedsThumb(const char* imageName);

// Deletes the thumbnails in "thumbs" whose image is gone or needs none.
void DeleteOrphanThumbs();

// Builds the missing and stale thumbnails of the current directory's
// "*.jpg" images. False when an image could not be read or its thumbnail
// not written (the other images are still done).
bool BuildThumbs();

// The whole program: help for any argument, else the check for "thumbs",
// the configuration, the sweep and the build. Returns the exit code.
int RunMinipix(int argc, char** argv);
