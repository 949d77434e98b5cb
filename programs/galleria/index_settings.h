// The index page builder's settings: one process-wide IndexSettings record and
// two ListingSection records, and the handler that sets them from the
// configuration files' key=value lines (command-line options set some first).
#pragma once

// Text limits of the settings (buffer sizes, terminator included).
constexpr int kShortText = 128;    // 127 characters
constexpr int kLongText = 256;     // 255 characters
constexpr int kPathText = 260;     // 259 characters
constexpr int kUrlMapSize = 10;    // URL map entries

enum class IndexMode { Formatted, Searchable, Sequence };
enum class SlidesMode { Simple, Frameset, Window };
enum class LinkMode { Standard, Open };
enum class BacklinkMode { None, Parent, Keywords, Smart, Close, Back, Custom };
enum class HeadingMode { Standard, Text, Title };
enum class TooltipMode { None, Alt, Title, Both };
enum class SortMode { Unsorted, Plain, Natural };
enum class ListingLayout { Table, Simple, Bullet, Thumbnail };
enum class ListingFormat { Auto, List, Column, Compact, Custom };

// One URL map entry: local paths below localPath are published under url.
struct UrlMapEntry {
  char localPath[kPathText] = {};  // ends in '\'
  char url[kPathText] = {};        // no trailing '/'
  int localLength = 0;
};

struct IndexSettings {
  IndexMode index = IndexMode::Formatted;
  SlidesMode slides = SlidesMode::Simple;
  bool slidePages = false;
  LinkMode links = LinkMode::Standard;
  BacklinkMode backlink = BacklinkMode::Parent;
  char backlinkText[kShortText] = {};  // the URL of a custom backlink
  bool tables = true;
  bool thumbnails = true;
  bool javascript = true;
  bool combine = false;   // one listing, directories and files together
  bool weblinks = false;  // URLs in descriptions become links
  bool shuffle = false;   // a request's results in random order
  HeadingMode heading = HeadingMode::Standard;
  TooltipMode tooltips = TooltipMode::Title;
  int pageSize = 0;  // entries per page; 0: no paging (never negative)
  SortMode sort = SortMode::Plain;
  bool symlinkOrder = false;  // alias entries keep their default order
  char bodyAttributes[kShortText] = {};
  char templatePath[kPathText] = {};  // a full path when it can be formed
  char templateName[kPathText] = {};  // as the configuration gave it, for messages
  char indexDb[kShortText] = "index.db";
  bool indexDbGiven = false;
  char cgiUrl[kPathText] = {};  // main sets the program's file name first
  char startDir[kPathText] = {};
  char workingDir[kPathText] = {};
  char startUrl[kPathText] = {};  // no trailing '/'
  UrlMapEntry urlMap[kUrlMapSize];
  int urlMapCount = 0;
  char keyIcons[kPathText] = {};   // key icon file, a full path when found
  char cacheFile[kPathText] = {};  // CGI result cache file ("cachedir")
};

// Section 0 serves listings that include directories, section 1 file-only ones.
struct ListingSection {
  ListingLayout layout = ListingLayout::Table;
  ListingFormat format = ListingFormat::Auto;
  int columns = 0;
  int columnWidth1 = 0;
  int columnWidth2 = 0;
  int iPadding = 8;
  int hPadding = 8;
  int vPadding = 8;
  char text[kLongText] = {};  // entry format of a custom format
  char tableAttributes[kShortText] = {};
  char rowAttributes[kShortText] = {};
  char cellAttributes[kShortText] = {};
};

// The process-wide settings, shared by every module of the index builder.
extern IndexSettings indexSettings;
extern ListingSection listingSections[2];

// Puts every setting above back to its default. The tables of other modules
// that the keys also change are not touched; ResetIndexRun (index_run.h)
// puts back the whole state of a run, these settings with it.
void ResetIndexSettings();

// Handles one configuration line. The key arrives lower-cased and untrimmed
// and is compared exactly; unknown keys and values change nothing, silently.
void IndexOptionKey(const char* key, const char* value);

// Whether key is the section key `name` with an optional section suffix
// ("", "2", "[2]"); on true *section is 0 or 1.
bool IndexOptionSection(const char* key, const char* name, int* section);
