// Writes one slide page (head, navigation, picture or movie block, caption,
// text block), decides whether an existing slide is up to date, replaces it
// safely, and writes the forwarding "index.htm".
#pragma once

#include <cstdint>
#include <cstdio>

#include "platform/filetime.h"
#include "shared/entry.h"
#include "shared/string.h"

// The temporary file every page of viewreel is written to before it takes
// its name; a killed run's leftover is made afresh by the next run.
constexpr char kTempName[] = "temp.$$$";

// One slide to write. Links are URLs; null previous or next means none.
struct SlideRequest {
  const char* naturalPage = nullptr;  // the image's own ".htm" (directory kept)
  const char* outputName = nullptr;   // the slide name to write
  const char* imageFile = nullptr;
  const char* previous = nullptr;
  const char* next = nullptr;
  const char* home = nullptr;
  bool buttons = false;
  int number = 1;  // 1-based
  int count = 1;
  bool textConversion = true;
  const char* title = nullptr;  // replaces the page's title when given
  bool indexLinks = false;
};

enum SlideResult {
  kSlideWritten,
  kSlideUpToDate,
  kSlideNotWritten,  // could not be created; reported, the run goes on
  kSlideAborted,     // a replacement failed; reported, the run must end (exit 3)
};

// Writes one slide page.
SlideResult WriteSlide(const SlideRequest& request);

// Size in bytes and pixel size (0 when unknown) of the slide's image.
struct ImageFacts {
  uint32_t size = 0;
  uint32_t width = 0;
  uint32_t height = 0;
  int iconsDepth = -1;  // of a movie slide that uses icons, else -1
};

// The FILEINFO text. date is the slide file's write time (0: none); it is
// written only in frame mode.
String FileInfoText(FileTime date, const ImageFacts& facts, bool hasKeywords);

// The time a slide carries: its write time in the two-second, local-time
// form that the FILEINFO date keeps, or 0 when that form cannot hold it.
FileTime SlideTime(FileTime writeTime);

// The head of a slide ("<HTML>\n" is the caller's) without "</HEAD>": the
// title (numbered by number and count when that applies), the generator, the
// entry's fields, the FILEINFO and the alias target. False on a write error.
bool SlideHead(FILE* file, const Entry* entry, int number, int count, const ImageFacts& facts,
               FileTime date, const char* aliasTarget);

// The slide title with its number: "%s (%*d of %d)" when that fits in 255
// characters; a longer title stays as it is, unnumbered, so that the page
// keeps the whole title its author gave it.
String NumberedTitle(const char* title, int number, int count);
// Cuts, in place, a trailing page number group " (N of M)" that an earlier
// run added, with the blanks before it.
void CutPageNumber(char* title);

// "Tessarin Slide Builder, v2.10 by Dunmarrow" from the version block.
const char* VersionBanner();

// Shrinks (or doubles) width and height to fit the box by 2/1, 1/1, 1/2, 1/3
// or 1/4; returns the percent. 100 and no change when any number is 0.
int ScaleToFit(uint32_t* width, uint32_t* height, uint32_t boxWidth, uint32_t boxHeight);

// The placeholder images of a movie slide (empty when absent).
struct EmbedPaths {
  String smovie1;
  String smovie2;
  String poster;
  bool posterFromIcons = false;
};

// The icon "<name>_<ext>" in the icons directory, else "<name>"; empty when
// neither exists.
String MovieIcon(const char* name, const char* movieExt);
// Fills the placeholders of a movie; iconsDepth becomes the icons directory's
// depth when an icon is used.
void FindMovieImages(const char* movieFile, EmbedPaths* paths, int* iconsDepth);

// The link that opens a movie, through the MovieLink script when withScript.
// False on a write error.
bool MovieLinkTag(FILE* file, const char* href, bool withScript);

// The image's ".txt" file as a "<PRE>" block. Returns the path it used, or
// the empty String when there is none; sets *error on a write failure.
String WriteTextFileAsPre(const char* imageFile, FILE* output, bool* error);

// The URL of a local file (an icon, a poster), relative to the current
// directory so the pages work wherever the site is placed; empty for none.
String LocalUrl(const char* path);

// The forwarding "index.htm" that sends a visitor to target (a URL).
void WriteForwardIndex(const char* target, const char* title);
