#include "programs/viewreel/slide_run.h"

#include <cstdio>
#include <memory>
#include <string>
#include <unordered_map>

#include "platform/assert.h"
#include "platform/files.h"
#include "programs/viewreel/frameset.h"
#include "programs/viewreel/slide_settings.h"
#include "programs/viewreel/slide_writer.h"
#include "shared/config.h"
#include "shared/entry_factory.h"
#include "shared/entry_list.h"
#include "shared/paths.h"
#include "shared/report.h"
#include "shared/sitefiles.h"
#include "shared/url/url.h"

namespace {

constexpr char kFramesetName[] = "frameset.htm";

bool IsAlias(const Entry* entry) { return (entry->kind & kEntryAlias) != 0; }

std::string FileOf(const Entry* entry) {
  String file = UrlToFileString(entry->href);
  return file.IsNull() ? std::string() : std::string(file.Text());
}

// In frame mode alias entries get no slide: the frameset shows their own.
bool GetsSlide(const Entry* entry) { return !(slideSettings.frames && IsAlias(entry)); }

// The name that a slide may not take, or null.
const char* ReservedName(const std::string& name) {
  if (IsIndexName(name.c_str())) return name.c_str();
  if (slideSettings.frames && CompareNoCase(name.c_str(), kFramesetName) == 0) return kFramesetName;
  return nullptr;
}

// The entries in slide order, without those whose slide would replace the
// index page, the frameset or a slide written before it in this run.
std::vector<int> SlideSequence(Entry* const* entries, int count,
                               const std::vector<std::string>& names) {
  std::vector<int> sequence;
  // Each slide name taken so far (lower-cased) and the entry that took it.
  std::unordered_map<std::string, int> taken;
  for (int i = 0; i < count; ++i) {
    if (!GetsSlide(entries[i])) {
      sequence.push_back(i);
      continue;
    }
    std::string image = FileOf(entries[i]);
    if (const char* reserved = ReservedName(names[i])) {
      Report(1000, "Warning:  Slide for \"%s\" would replace \"%s\".  Slide was not written.\n",
             image.c_str(), reserved);
      continue;
    }
    auto [earlier, isNew] = taken.emplace(NoCaseKey(names[i].c_str()), i);
    if (!isNew) {
      Report(1000,
             "Warning:  Slide for \"%s\" would replace the slide \"%s\" of \"%s\".  Slide was "
             "not written.\n",
             image.c_str(), names[i].c_str(), FileOf(entries[earlier->second]).c_str());
      continue;
    }
    sequence.push_back(i);
  }
  return sequence;
}

// The forwarding index leads to the first image of this directory (an
// alias's image lies elsewhere), or to the first slide when all are aliases.
String ForwardTarget(Entry* const* entries, int count, const std::vector<std::string>& names) {
  if (slideSettings.frames) return String(kFramesetName);
  for (int i = 0; i < count; ++i) {
    if (!IsAlias(entries[i])) return String(BaseName(entries[i]->href));
  }
  return FileToUrlString(names[0].c_str());
}

String UrlOf(const std::string& name) { return FileToUrlString(name.c_str()); }

int ListingFlags() {
  int flags = kListImages | kListAliases | kListImagePages;
  if (slideSettings.sortMode == kSortNone) flags |= kListUnsorted;
  if (slideSettings.sortMode == kSortNatural) flags |= kListNaturalSort;
  if (slideSettings.symlinkOrder) flags |= kListAliasDefaultOrder;
  return flags;
}

void AdjustSettings() {
  if (!slideSettings.javascript) {
    slideSettings.frames = false;
    slideSettings.frameset = false;
  }
  if (!slideSettings.frameset) slideSettings.slideIndexLinks = false;
  if (slideSettings.pageSize != 0) SetNumberedIndexes(true);
}

// The title for every slide: the given one, or the directory's own.
bool SlideTitle(std::string* title) {
  if (!slideSettings.titleGiven) return false;
  if (!slideSettings.title.empty()) {
    *title = slideSettings.title;
    return true;
  }
  std::unique_ptr<Entry> entry(MakeDirectoryEntryAlways("."));
  if (!entry) AssertionFailed("pEntry", __FILE__, __LINE__);
  *title = entry->title ? entry->title : "";
  return true;
}

std::string HomePage(const EntryList& list) {
  if (slideSettings.homeGiven) return slideSettings.home.empty() ? "index.htm" : slideSettings.home;
  return MakeSlideNames(list.entries, 1)[0];
}

// The button icons, or text links when one of them is missing.
bool FindButtons() {
  ButtonIcons& icons = slideSettings.icons;
  icons.prev = LocalUrl(IconsPathString("prev.gif", false));
  icons.next = LocalUrl(IconsPathString("next.gif", false));
  icons.home = LocalUrl(IconsPathString("home.gif", false));
  icons.noPrev = LocalUrl(IconsPathString("noprev.gif", false));
  icons.noNext = LocalUrl(IconsPathString("nonext.gif", false));
  for (const String* icon : {&icons.prev, &icons.next, &icons.home, &icons.noPrev, &icons.noNext}) {
    if (icon->Length() == 0) {
      Report(1000, "Warning:  Button icons were not found -- using text links.\n");
      return false;
    }
  }
  return true;
}

}  // namespace

std::vector<std::string> MakeSlideNames(Entry* const* entries, int count) {
  std::vector<std::string> names;
  unsigned aliasCount = 0;
  for (int i = 0; i < count; ++i) {
    if (IsAlias(entries[i])) {
      char name[32];
      snprintf(name, sizeof name, "$%06u$.htm", ++aliasCount);
      names.push_back(name);
      continue;
    }
    String name = ChangeExtensionString(BaseName(FileOf(entries[i]).c_str()), ".htm");
    names.push_back(name.IsNull() ? std::string() : std::string(name.Text()));
  }
  return names;
}

void DeleteAliasSlides(const char* prefix) {
  if (!FileExists("symlinks.txt")) return;
  if (prefix) printf("%sDeleting alias files...  ", prefix);
  EntryList pages;
  pages.Read(kListPages);
  int deleted = 0;
  for (int i = 0; i < pages.Count(); ++i) {
    if (!pages[i]->alias) continue;
    if (DeleteFile(FileOf(pages[i]).c_str())) ++deleted;
  }
  if (prefix) printf("%d files deleted.\n", deleted);
}

bool WriteSlides(Entry* const* entries, int count, const char* home, bool buttons,
                 const char* title, bool textConversion, bool forwardIndex) {
  if (slideSettings.frames) {
    if (slideSettings.frameset) WriteFrameset(entries, count);
    if (!slideSettings.slidesToo) return true;
  }
  std::vector<std::string> names = MakeSlideNames(entries, count);
  if (forwardIndex) WriteForwardIndex(ForwardTarget(entries, count, names), title);

  std::vector<int> sequence = SlideSequence(entries, count, names);
  String homeUrl = FileToUrlString(BaseName(home));
  int slides = static_cast<int>(sequence.size());
  for (int k = 0; k < slides; ++k) {
    const Entry* entry = entries[sequence[k]];
    if (!GetsSlide(entry)) continue;
    std::string image = FileOf(entry);
    String natural = ChangeExtensionString(image.c_str(), ".htm");
    String previous = k > 0 ? UrlOf(names[sequence[k - 1]]) : String();
    String next = k + 1 < slides ? UrlOf(names[sequence[k + 1]]) : String();

    SlideRequest request;
    request.naturalPage = natural;
    request.outputName = names[sequence[k]].c_str();
    request.imageFile = image.c_str();
    request.previous = previous;
    request.next = next;
    request.home = homeUrl;
    request.buttons = buttons;
    request.number = k + 1;
    request.count = slides;
    request.textConversion = textConversion;
    request.title = title;
    request.indexLinks = slideSettings.slideIndexLinks && entry->keywords && *entry->keywords;
    if (WriteSlide(request) == kSlideAborted) return false;
  }
  return true;
}

int RunSlideBuilder() {
  SetConfigKeyHandler(SlideOptionKey);
  ReadConfig();
  AdjustSettings();
  std::string title;
  bool hasTitle = SlideTitle(&title);
  if (!slideSettings.frames) DeleteAliasSlides(slideSettings.verbose ? "" : nullptr);

  EntryList list;
  bool success = list.Read(ListingFlags());
  if (!success) AssertionFailed("fSuccess", __FILE__, __LINE__);
  if (list.Count() == 0) {
    if (slideSettings.verbose >= 2) printf("No image files were found.\n");
    return MaxSeverity;
  }
  std::string home = HomePage(list);
  if (slideSettings.buttons && !FindButtons()) slideSettings.buttons = false;
  WriteSlides(list.entries, list.Count(), home.c_str(), slideSettings.buttons,
              hasTitle ? title.c_str() : nullptr, slideSettings.textConversion,
              slideSettings.forwardIndex);
  return MaxSeverity;
}
