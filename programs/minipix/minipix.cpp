#include "programs/minipix/minipix.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "jpeg/make_thumb.h"
#include "jpeg/write_jpeg.h"
#include "platform/attributes.h"
#include "platform/drives.h"
#include "platform/file_replace.h"
#include "platform/files.h"
#include "platform/filetime.h"
#include "platform/listing.h"
#include "platform/processors.h"
#include "programs/minipix/image_messages.h"
#include "shared/chars.h"
#include "shared/config.h"
#include "shared/entry.h"
#include "shared/entry_factory.h"
#include "shared/ordered_work.h"
#include "shared/paths.h"
#include "shared/sitefiles.h"
#include "shared/string.h"
#include "shared/thumb_names.h"

unsigned thumbSize[2] = {100, 100};
unsigned thumbQuality = 75;
bool thumbFast = true;
unsigned thumbSharpness = 0;
bool keywordThumbs = false;

namespace {

constexpr size_t kNameSize = kMaxPath + 1;

// Every new thumbnail is written first under its worker's temporary name:
// "thumbs\temp.$$$" for the first worker, "thumbs\temp1.$$$" and so on for
// the others.
std::string WorkerTempName(size_t worker) {
  if (worker == 0) return "thumbs\\temp.$$$";
  return "thumbs\\temp" + std::to_string(worker) + ".$$$";
}

// "temp.$$$", or "temp" and digits and ".$$$": a worker's temporary name.
bool IsWorkerTempName(const char* name) {
  if (CompareNoCaseN(name, "temp", 4) != 0) return false;
  const char* p = name + 4;
  while (IsDigit(*p)) ++p;
  return strcmp(p, ".$$$") == 0;
}

// One thumbnail queued for deletion by the sweep.
struct DelFile {
  std::string path;
};

void ReadUnsigned(const char* value, unsigned* setting) {
  unsigned number;
  if (sscanf(value, "%u", &number) == 1) *setting = number;
}

void ReadSize(const char* value) {
  unsigned width, height;
  int read = sscanf(value, "%u,%u", &width, &height);
  if (read >= 1) thumbSize[0] = width;
  if (read == 2) thumbSize[1] = height;
}

// The queued path "thumbs\" + name, cut to a path's 260 characters.
std::string ThumbsPath(const char* name) {
  std::string path = std::string("thumbs\\") + name;
  if (path.size() > kMaxPath) path.resize(kMaxPath);
  return path;
}

bool IsOrphan(const char* thumbName) {
  char image[kNameSize];
  if (!ThumbToImageName(thumbName, image, sizeof image)) return false;
  return !(FileExists(image) && NeedsThumb(image));
}

void DeleteQueued(const std::vector<DelFile>& queue) {
  for (const DelFile& file : queue) {
    printf("Deleting orphan thumbnail \"%s\".\n", file.path.c_str());
    if (!DeleteFile(file.path.c_str())) {
      fprintf(stderr, "Warning:  Can't delete orphan thumbnail \"%s\".\n", file.path.c_str());
    }
  }
}

// An existing thumbnail that is at least as new as the image.
bool IsUpToDate(const char* thumbPath, FileTime imageTime) {
  FILE* file = OpenFile(thumbPath, "rb");
  if (!file) return false;
  FindData info;
  bool read = GetFileInfo(thumbPath, &info);
  fclose(file);
  return read && imageTime <= info.writeTime;
}

// Writes the thumbnail under the temporary name and gives it its name only
// when it is complete: the old thumbnail stays until then, and no
// half-written one is ever left.
bool WriteThumbFile(const BitmapInfoHeader* dib, const char* thumbPath, const std::string& temp) {
  FILE* claimed = CreateReplacement(temp.c_str(), "wb");
  if (!claimed) return false;
  fclose(claimed);
  int quality = static_cast<int>(thumbQuality);
  if (WriteThumbDIB(dib, temp.c_str(), quality) && ReplaceFile(temp.c_str(), thumbPath)) return true;
  DiscardReplacement(temp.c_str());
  return false;
}

// Makes and writes one thumbnail; false after an error message.
bool CreateThumb(const char* imageName, const char* thumbPath, const std::string& temp,
                 ImageMessages* messages) {
  messages->Progress("Creating thumbnail \"%s\"...\n", thumbPath);
  messages->BeginPipeline();
  BitmapInfoHeader* dib = MakeThumbDIB(imageName, thumbSize[0], thumbSize[1], thumbFast,
                                       static_cast<int>(thumbSharpness));
  bool written = dib && WriteThumbFile(dib, thumbPath, temp);
  messages->EndPipeline();
  if (!dib) {
    messages->Problem("Error:  Can't read image file \"%s\".\n", imageName);
    return false;
  }
  if (!written) messages->Problem("Error:  Can't create thumbnail \"%s\".\n", thumbPath);
  FreeDIB(dib);
  return written;
}

// Brings the thumbnail of an image that needs one up to date, writing it
// first under `temp`; false after an error message.
bool UpdateThumb(const FindData& image, const std::string& temp, ImageMessages* messages) {
  const char* name = image.name;
  if (ThumbPathLength(name, ".jpg") > kMaxPath) {
    // A cut name would not map back to the image; the sweep would delete it.
    messages->Problem("Warning:  Can't create a thumbnail for \"%s\": its name is too long.\n",
                      name);
    return true;
  }
  char old[kNameSize];
  bool hasOld = ThumbPath(name, nullptr, old, sizeof old) != nullptr;
  if (hasOld && IsUpToDate(old, image.writeTime)) return true;
  if (hasOld && !IsReplaceable(old)) {
    messages->Problem("Warning:  Can't delete old thumbnail \"%s\".\n", old);
    return true;
  }
  char path[kNameSize];
  bool made = CreateThumb(name, ThumbPath(name, ".jpg", path, sizeof path), temp, messages);
  // An old ".gif" thumbnail goes once its ".jpg" successor is in place.
  if (made && hasOld && CompareNoCase(old, path) != 0) DeleteFile(old);
  return made;
}

// Removes the temporary files that a killed run left in "thumbs" (one that
// another running program still writes stays).
void RemoveLeftoverTemps() {
  std::vector<std::string> leftovers;
  FindData data;
  FindState* state = FindFirst("thumbs\\temp*.$$$", &data);
  for (bool more = state != nullptr; more; more = FindNext(state, &data)) {
    if (IsWorkerTempName(data.name)) leftovers.push_back(std::string("thumbs\\") + data.name);
  }
  if (state) FindClose(state);
  for (const std::string& temp : leftovers) {
    FILE* claimed = CreateReplacement(temp.c_str(), "wb");
    if (!claimed) continue;
    fclose(claimed);
    DiscardReplacement(temp.c_str());
  }
}

// The current directory's "*.jpg" images that get a thumbnail, in listing
// order.
std::vector<FindData> ImagesNeedingThumbs() {
  std::vector<FindData> images;
  FindData data;
  FindState* state = FindFirst("*.jpg", &data);
  for (bool more = state != nullptr; more; more = FindNext(state, &data)) {
    if (data.attributes & kAttrDirectory) continue;
    if (NeedsThumb(data.name)) images.push_back(data);
  }
  if (state) FindClose(state);
  return images;
}

// For each image, the latest earlier one whose thumbnail has the same name
// without regard to case (the same file: names are looked up that way), or
// kNoJob: images that share a thumbnail are done one after the other, in
// listing order, as on one worker.
std::vector<size_t> SharedThumbs(const std::vector<FindData>& images) {
  std::vector<size_t> after(images.size(), kNoJob);
  std::unordered_map<std::string, size_t> last;
  for (size_t i = 0; i < images.size(); ++i) {
    char key[kNameSize];
    UpperCase(ThumbPath(images[i].name, ".jpg", key, sizeof key));
    auto [seen, added] = last.emplace(key, i);
    if (!added) {
      after[i] = seen->second;
      seen->second = i;
    }
  }
  return after;
}

void PrintHelp() {
  static const char* const lines[] = {
      "Tessarin Thumbnail Builder, v1.03 by Dunmarrow\n",
      "Builds a thumbnail image file for each image file in the current directory.",
      "This version only supports JPEG image files.\n",
      "MINIPIX\n",
      "The following options are read from the standard configuration files:\n",
      "  reservedFile=filename    Don't generate thumbnails for filename.",
      "  thumbSize=width,height   The maximum thumbnail dimensions (default 100,100).",
      "  thumbQuality=value       The JPEG output quality (default 75).",
      "  thumbFast=yes|no         Enable fast read mode (default yes).",
      "  thumbSharpness=value     Specify thumbnail image sharpness (1 to 100).",
      "  keywordThumbs=yes|no     Build thumbnails only for images with keywords.",
      "\nRead the Tessarin documentation for more information.\n",
  };
  for (const char* line : lines) printf("%s\n", line);
}

}  // namespace

void ResetThumbSettings() {
  thumbSize[0] = thumbSize[1] = 100;
  thumbQuality = 75;
  thumbFast = true;
  thumbSharpness = 0;
  keywordThumbs = false;
}

void ThumbOptionKey(const char* key, const char* value) {
  if (strncmp(key, "reservedfile", 12) == 0) {
    AddSpecialName(value);
  } else if (strcmp(key, "thumbsize") == 0) {
    ReadSize(value);
  } else if (strcmp(key, "thumbquality") == 0) {
    ReadUnsigned(value, &thumbQuality);
  } else if (strcmp(key, "thumbfast") == 0) {
    thumbFast = ParseBool(value, thumbFast);
  } else if (strcmp(key, "thumbsharpness") == 0) {
    ReadUnsigned(value, &thumbSharpness);
  } else if (strcmp(key, "keywordthumbs") == 0) {
    keywordThumbs = ParseBool(value, keywordThumbs);
  }
}

bool NeedsThumb(const char* imageName) {
  if (IsSpecialName(imageName)) return false;
  if (!keywordThumbs) return true;
  // The image's entry as the lister builds it: same-named page read, no
  // thumbnail lookup.
  Entry* entry = MakeImageEntry(imageName, true, false);
  bool hasKeywords = entry && entry->keywords && *entry->keywords;
  delete entry;
  return hasKeywords;
}

void DeleteOrphanThumbs() {
  std::vector<DelFile> queue;
  FindData data;
  FindState* state = FindFirst("thumbs\\*.jpg", &data);
  for (bool more = state != nullptr; more; more = FindNext(state, &data)) {
    if (data.attributes & kAttrDirectory) continue;
    if (IsOrphan(data.name)) queue.push_back({ThumbsPath(data.name)});
  }
  if (state) FindClose(state);
  DeleteQueued(queue);
}

bool BuildThumbs() {
  RemoveLeftoverTemps();
  std::vector<FindData> images = ImagesNeedingThumbs();
  size_t workers = ProcessorCount();
  bool keep = workers > 1 && images.size() > 1;
  std::vector<ImageMessages> messages(images.size(), ImageMessages(keep));
  std::vector<char> made(images.size(), 0);
  RunInOrder(
      images.size(), workers,
      [&](size_t image, size_t worker) {
        made[image] = UpdateThumb(images[image], WorkerTempName(worker), &messages[image]);
      },
      [&](size_t image) { messages[image].Print(); }, SharedThumbs(images));
  return std::find(made.begin(), made.end(), 0) == made.end();
}

int RunMinipix(int argc, char** /*argv*/) {
  if (argc > 1) {
    PrintHelp();
    return 0;
  }
  if (!DirExists("thumbs")) {
    fprintf(stderr, "Error:  Thumbnail directory \"thumbs\" does not exist.\n");
    return 1;
  }
  SetConfigKeyHandler(ThumbOptionKey);
  ReadConfig();
  DeleteOrphanThumbs();
  return BuildThumbs() ? 0 : 1;
}
