// One listed item of a directory (page, image, other file, directory, alias)
// and the attribute interface through which queries and templates read it.
#pragma once

// Named attributes of an item, as keyword expressions, queries and
// templates ask for them.
class AttributeStore {
 public:
  // True when the attribute is present (for keywords: the list holds it).
  virtual bool HasAttribute(const char* name) = 0;
  // The attribute's text, or null. The text may live in a buffer that the
  // next call overwrites: callers copy what they keep.
  virtual const char* GetAttribute(const char* name) = 0;
  virtual ~AttributeStore() = default;
};

// Entry kinds; kEntryAlias is added to an entry that comes from the alias list.
constexpr int kEntryPage = 1;
constexpr int kEntryImage = 2;  // also a file with a user extension
constexpr int kEntryFile = 4;
constexpr int kEntryDirectory = 16;         // directory without index page
constexpr int kEntryIndexedDirectory = 32;  // directory with index page
constexpr int kEntryAlias = 0x40;

// The kind masks that listings and requests select entries by: an entry
// belongs when its kind has a bit in common with the mask.
constexpr int kFileKinds = 0x0F;       // pages, images and other files
constexpr int kDirectoryKinds = 0x30;  // directories with and without index page
constexpr int kAllKinds = kFileKinds | kDirectoryKinds;

// The sortOrder a new Entry takes ("defaultorder" changes it).
constexpr int kInitialSortOrder = 50;
extern int DefaultSortOrder;
// Sets DefaultSortOrder from the number of a "defaultorder" key, read as
// ParseNumber reads it: the one reading for every program that has the key.
// Set while the options are read, before any worker thread makes entries.
void SetDefaultSortOrder(const char* value);

class Entry : public AttributeStore {
 public:
  Entry();
  Entry(const Entry& other);  // copies every text
  Entry& operator=(const Entry& other);
  ~Entry() override;

  // Each frees the old text and keeps its own copy; null clears the field.
  void SetTitle(const char* text);
  void SetHref(const char* text);
  void SetThumbnail(const char* text);
  void SetDescription(const char* text);
  void SetFileInfo(const char* text);  // the FILEINFO text, kept unparsed
  void SetKeywords(const char* text);

  // TITLE, DESCRIPTION/DESC, TITLEDESC/TDESC, HREF, THUMBNAIL/THUMB,
  // THUMBWIDTH, THUMBHEIGHT, COUNT, SETS, SIZE, "*", "#"; any other name
  // is a keyword of the list. Numbers and TITLEDESC come in a buffer of the
  // calling thread's own, so worker threads may ask entries side by side.
  bool HasAttribute(const char* name) override;
  const char* GetAttribute(const char* name) override;

  // The texts are owned (null when absent); change them only through the
  // setters. The numbers are plain fields that the builders set directly.
  int kind = kEntryFile;
  char* href = nullptr;
  char* thumbnail = nullptr;
  int thumbWidth = 0;
  int thumbHeight = 0;
  char* title = nullptr;
  char* description = nullptr;
  char* fileInfo = nullptr;  // the FILEINFO text as read, unparsed
  char* keywords = nullptr;  // keyword list
  int sortOrder;             // DefaultSortOrder at construction
  unsigned char alias = 0;   // 1 when the page head carries the ALIAS marker
  int slideIndex = -1;       // place in a slide sequence, -1 none
};
