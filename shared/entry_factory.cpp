#include "shared/entry_factory.h"

#include <climits>
#include <cstdint>
#include <cstring>

#include "platform/errors.h"
#include "platform/files.h"
#include "platform/names.h"
#include "shared/chars.h"
#include "shared/head_fields.h"
#include "shared/htmltext.h"
#include "shared/image_size.h"
#include "shared/paths.h"
#include "shared/sitefiles.h"
#include "shared/string.h"
#include "shared/tag_edit.h"
#include "shared/url/url.h"

namespace {

constexpr int kNameSize = 17;   // tag and META names: 16 characters
constexpr size_t kHrefSize = 256;  // a forwarded href: 255 characters
// Text outside a title is kept to this many characters (it only matters to
// a stray "</TITLE>"); a title and a META value are kept whole up to the
// largest tag the reader takes (64 MB: nothing a page head holds).
constexpr size_t kStrayText = 255;
constexpr int kLongestTag = 64 << 20;

bool HasText(const char* text) { return text && *text; }


// A head field as the writer stores it: lines joined, entities decoded; a
// reference to a character that is no plain printable one stays as written,
// so that a page rebuilt from its entry keeps it.
String HeadText(char* text) { return HtmlDecodeKeepingString(JoinLines(text)); }

// A target of its own: a scheme or drive, or a rooted path.
bool IsAbsoluteTarget(const char* target) {
  return strchr(target, ':') || target[0] == '/' || target[0] == '\\';
}

// A page's file name as its title, lower-cased when it is all capitals.
String FileNameTitle(const char* path) {
  String title(BaseName(path));
  if (title.Text() && !HasLowerCase(title)) {
    LowerCase(title);
  }
  return title;
}

// The thumbnail of an image and its pixel size (0 and 0 when unreadable).
void SetThumbnailFrom(Entry* entry, const char* thumbPath) {
  entry->SetThumbnail(FileToUrlString(thumbPath));
  uint32_t width = 0, height = 0;
  if (ImageSize(thumbPath, &width, &height) && width <= INT_MAX && height <= INT_MAX) {
    entry->thumbWidth = static_cast<int>(width);
    entry->thumbHeight = static_cast<int>(height);
  }
}

void AttachImageThumbnail(Entry* entry, const char* imagePath) {
  char thumb[kSitePathSize];
  if (FindThumbnail(thumb, imagePath)) SetThumbnailFrom(entry, thumb);
}

// A page entry from its head, read from `stream` (closed here; null when the
// page could not be opened).
Entry* PageEntryFrom(const char* path, FILE* stream, const char* fallbackTitle,
                     String* bodyHolder) {
  Entry* entry = MakePageEntryFrom(path, stream, fallbackTitle, bodyHolder);
  if (stream) fclose(stream);
  return entry;
}

// The page that describes an image: its name with ".htm", when it exists and
// is no directory.
Entry* DescribingPageEntry(const char* imagePath) {
  String page = ChangeExtensionString(imagePath, ".htm");
  if (page.IsNull()) return nullptr;
  // A page that opens is one, and one that is not found is none; only where
  // opening fails otherwise must the lookup tell whether there is a page
  // that cannot be read.
  FILE* stream = OpenFile(page, "r");
  if (!stream && (LastErrorCode() == kErrorFileNotFound || GetPathKind(page) != PathKind::kFile)) {
    return nullptr;
  }
  Entry* entry = PageEntryFrom(page, stream, nullptr, nullptr);
  entry->SetHref(FileToUrlString(imagePath));
  return entry;
}

}  // namespace

// --- Page-head reader ---------------------------------------------------------

InfoParser::InfoParser(FILE* stream, Entry* entry, String* bodyHolder)
    : HTMLStreamParser(stream, tagBuffer_, kTagBufferSize), entry_(entry),
      bodyHolder_(bodyHolder) {
  tagBuffer_[0] = '\0';
  GrowTagsUpTo(kLongestTag);
}

void InfoParser::OnText(int ch) {
  size_t limit = inTitle_ ? static_cast<size_t>(kLongestTag) : kStrayText;
  if (text_.size() < limit) text_ += static_cast<char>(ch);
}

void InfoParser::OnComment(int) {}

void InfoParser::ClearText() {
  text_.clear();
  inTitle_ = false;
}

void InfoParser::OnTag(char* tag) {
  char name[kNameSize];
  TagParser(tag, BufferSize()).TagName(name, sizeof name);
  UpperCase(name);
  if (strcmp(name, "TITLE") == 0) {
    ClearText();
    inTitle_ = true;
  } else if (strcmp(name, "/TITLE") == 0) {
    entry_->SetTitle(HeadText(text_.data()));
    ClearText();
  } else if (strcmp(name, "META") == 0) {
    OnMeta(tag);
    ClearText();
  } else if (strcmp(name, "BODY") == 0) {
    OnBody(tag);
    Stop();
  } else if (strcmp(name, "/HEAD") == 0) {
    // A caller that wants the BODY attributes reads on to the BODY tag.
    if (!bodyHolder_) Stop();
  }
}

void InfoParser::OnMeta(char* tag) {
  TagParser parser(tag, BufferSize());
  char name[kNameSize];
  if (!parser.FindAttribute("NAME", name, sizeof name)) name[0] = '\0';
  HeadMeta field = HeadMetaOf(name);
  // The head writer gives the marker a CONTENT; older pages have none.
  if (field == HeadMeta::kAlias) entry_->alias = 1;
  // The value is never longer than its tag.
  std::string value(strlen(tag) + 1, '\0');
  if (!parser.FindAttribute("CONTENT", value.data(), static_cast<int>(value.size()))) return;
  switch (field) {
    case HeadMeta::kDescription: entry_->SetDescription(HeadText(value.data())); break;
    case HeadMeta::kKeywords: entry_->SetKeywords(HeadText(value.data())); break;
    case HeadMeta::kFileInfo: entry_->SetFileInfo(value.c_str()); break;
    case HeadMeta::kSortOrder: entry_->sortOrder = ParseNumber(value.c_str()); break;
    case HeadMeta::kForward: ApplyForward(entry_, value.c_str()); break;
    default: break;
  }
}

// The BODY tag's attributes: after "<BODY" and its blanks, without the '>'.
void InfoParser::OnBody(const char* tag) {
  if (!bodyHolder_) return;
  size_t length = strlen(tag);
  const char* start = tag + (length < 5 ? length : 5);
  while (IsSpace(*start)) ++start;
  String attributes(start);
  size_t kept = attributes.Length();
  if (kept > 0 && attributes[kept - 1] == '>') attributes[kept - 1] = '\0';
  *bodyHolder_ = attributes;
}

// --- Text helpers ---------------------------------------------------------------

char* JoinLines(char* text) {
  if (!text) return text;
  char* out = text;
  for (const char* in = text; *in;) {
    if (*in != '\n') {
      *out++ = *in++;
      continue;
    }
    *out++ = ' ';
    for (++in; IsSpace(*in); ++in) {
    }
  }
  *out = '\0';
  return text;
}

void ApplyForward(Entry* entry, const char* target) {
  if (!entry || !HasText(target)) return;
  char href[kHrefSize];
  if (IsAbsoluteTarget(target)) {
    CopyBounded(href, target, sizeof href);
  } else {
    CopyBounded(href, entry->href ? entry->href : "", sizeof href);
    char* base = BaseName(href);
    CopyBounded(base, target, sizeof href - static_cast<size_t>(base - href));
  }
  entry->SetHref(href);
  if (IsPageName(href)) return;
  entry->kind = IsImageOrUserFile(href) ? kEntryImage : kEntryFile;
}

// --- Factory ----------------------------------------------------------------------

Entry* MakePageEntry(const char* path, const char* fallbackTitle, String* bodyHolder) {
  return PageEntryFrom(path, OpenFile(path, "r"), fallbackTitle, bodyHolder);
}

Entry* MakePageEntryFrom(const char* path, FILE* stream, const char* fallbackTitle,
                         String* bodyHolder) {
  Entry* entry = new Entry;
  entry->kind = kEntryPage;
  entry->SetHref(FileToUrlString(path));
  if (stream) InfoParser(stream, entry, bodyHolder).Scan();
  if (HasText(entry->title)) return entry;
  entry->SetTitle(HasText(fallbackTitle) ? String(fallbackTitle) : FileNameTitle(path));
  return entry;
}

Entry* MakeImageEntry(const char* path, bool readPage, bool findThumb) {
  Entry* entry = readPage ? DescribingPageEntry(path) : nullptr;
  // Only an image described by its page gets its thumbnail here.
  if (entry && findThumb) AttachImageThumbnail(entry, path);
  if (!entry) entry = MakeFileEntry(path);
  entry->kind = kEntryImage;
  return entry;
}

Entry* MakeFileEntry(const char* path) {
  Entry* entry = new Entry;
  entry->SetHref(FileToUrlString(path));
  entry->SetTitle(TitleFromFileNameString(path));
  return entry;
}

Entry* MakeDirectoryEntry(const char* dir, bool always) {
  char indexPage[kSitePathSize];
  bool hasIndex = FindIndexPage(indexPage, dir);
  if (!hasIndex && !always) return nullptr;
  char name[kSitePathSize];
  DirDisplayName(dir, name, sizeof name);
  char thumb[kSitePathSize];
  bool hasThumb = FolderThumbsOn() && FindFolderThumb(thumb, dir);

  Entry* entry;
  if (hasIndex) {
    entry = MakePageEntry(indexPage, name);
    entry->kind = kEntryIndexedDirectory;
  } else {
    entry = new Entry;
    entry->kind = kEntryDirectory;
    entry->SetHref(FileToUrlString(dir));
    entry->SetTitle(name);
  }
  if (hasThumb) SetThumbnailFrom(entry, thumb);
  return entry;
}

Entry* MakeDirectoryEntryAlways(const char* dir) { return MakeDirectoryEntry(dir, true); }

Entry* MakeDirectoryEntryUnlessHidden(const char* dir, bool always) {
  if (IsHiddenDir(dir)) return nullptr;
  return MakeDirectoryEntry(dir, always);
}

Entry* MakeEntry(const char* name, bool isDirectory, int flags) {
  if (isDirectory) {
    if (!(flags & (kListAllDirs | kListIndexedDirs))) return nullptr;
    return MakeDirectoryEntryUnlessHidden(name, (flags & kListAllDirs) != 0);
  }
  if (IsSpecialName(name)) return nullptr;
  if (IsPageName(name)) return (flags & kListPages) ? MakePageEntry(name) : nullptr;
  if (IsImageOrUserFile(name)) {
    if (!(flags & kListImages)) return nullptr;
    return MakeImageEntry(name, (flags & kListImagePages) != 0,
                          (flags & kListImagePageThumbs) != 0);
  }
  return (flags & kListFiles) ? MakeFileEntry(name) : nullptr;
}
