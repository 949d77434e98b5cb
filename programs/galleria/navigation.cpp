#include "programs/galleria/navigation.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/drives.h"
#include "programs/galleria/entry_pieces.h"
#include "programs/galleria/index_page_output.h"
#include "programs/galleria/index_run.h"
#include "programs/galleria/index_settings.h"
#include "programs/galleria/script_text.h"
#include "programs/galleria/site_url.h"
#include "shared/entry.h"
#include "shared/htmltext.h"
#include "shared/sitefiles.h"

namespace {

constexpr char kDefaultAttributes[] = "BORDER=0 ALIGN=TOP";
constexpr char kNavBarAttributes[] = "BORDER=0 ALIGN=TOP HSPACE=8";
constexpr int kParentRoom = 10;

bool HasText(const char* text) { return text && *text; }
const char* OrDefault(const char* attributes) {
  return HasText(attributes) ? attributes : kDefaultAttributes;
}

bool InCgiMode() { return !pagingState.cgiBaseUrl.IsNull(); }

// Page arithmetic is done in 64 bits: a request may ask for any first entry
// and a page size up to the largest int, and neither may overflow.
int ClampToInt(int64_t value) { return value > INT_MAX ? INT_MAX : static_cast<int>(value); }

// The link target of a page of this index: a CGI request for its window of
// entries, or its static file, wrapped in a history-replacing script when the
// backlink mode is back (so paging does not fill the browser's history).
std::string PageHref(int page) {
  char number[64];
  if (InCgiMode()) {
    snprintf(number, sizeof number, "&amp;first=%d&amp;count=%d",
             ClampToInt((int64_t{page} - 1) * pagingState.pageSize), pagingState.pageSize);
    return std::string(pagingState.cgiBaseUrl.Text()) + number;
  }
  if (page == 1) {
    snprintf(number, sizeof number, "index.htm");
  } else {
    snprintf(number, sizeof number, "index%d.htm", page);
  }
  if (indexSettings.backlink != BacklinkMode::Back) return number;
  return std::string("javascript:window.location.replace('") + number + "'); void(0)";
}

// The given icon, else the first of the named icons found in the icons directory.
String ChooseIcon(const char* given, const char* first, const char* second) {
  if (HasText(given)) return String(given);
  String icon = IconsPathString(first, false);
  if (HasText(icon) || !second) return icon;
  return IconsPathString(second, false);
}

// The image tag of a back-link icon, or the empty text when there is none.
String BackIconTag(const char* given, const char* name, const char* attributes) {
  String icon = ChooseIcon(given, name, "home");
  if (!HasText(icon)) return String();
  String url = PathToUrl(icon);
  return SizedImgTag(url, icon, OrDefault(attributes));
}

bool AtDriveRoot() {
  char dir[kMaxPath + 1];
  size_t length = GetCurrentDir(dir, sizeof dir);
  return length >= 2 && strcmp(dir + length - 2, ":\\") == 0;
}

const char* const kSmartScript[] = {
    "level = 0;",
    "path = document.location + \" \";",
    "for (var i = path.indexOf(\"/\"), j = -2; i >= 0; i = path.indexOf(\"/\", (j = i) + 1))",
    "  if (i > j + 1) level++;",
    "path = document.referrer + \" \";",
    "for (var i = path.indexOf(\"/\"), j = -2; i >= 0; i = path.indexOf(\"/\", (j = i) + 1))",
    "  if (i > j + 1) level--;",
    "if (level > 0 && path != \" \" && path.indexOf(\"controls.htm\") < 0) {",
    "  backlink = document.referrer;",
    "  document.cookie = \"BACK=\" + backlink + \"; PATH=\" + location.pathname;",
    "}",
    "else {",
    "  backlink = \"../index.htm\";",
    "  var i = document.cookie.indexOf(\"BACK=\") + 5;",
    "  if (document.cookie.length > 5 && i >= 5) {",
    "    var j = document.cookie.indexOf(\";\", i);",
    "    if (j < 0)",
    "      j = document.cookie.length;",
    "    backlink = document.cookie.substring(i, j);",
    "  }",
    "}",
};

bool WriteParentLinks(FILE* out, const char* list) {
  Entry* parents[kParentRoom] = {};
  int count = ParentEntries(parents, kParentRoom, list);
  bool wrote = WriteBackToList(out, parents, count);
  for (int i = 0; i < count; ++i) delete parents[i];
  return wrote;
}

// The previous or next link: the icon linked to `page`, or (no such page)
// the no-icon alone.
bool WriteStepLink(FILE* out, const char* icon, const char* noIcon, const char* attributes,
                   const char* iconName, const char* noIconName, bool hasPage, int page) {
  if (!HasText(noIcon) && HasText(icon)) return false;
  String chosenNoIcon = HasText(noIcon) ? String(noIcon) : IconsPathString(noIconName, false);
  String chosenIcon = HasText(icon) ? String(icon) : IconsPathString(iconName, false);
  if (!HasText(chosenIcon) || !HasText(chosenNoIcon)) return false;
  attributes = OrDefault(attributes);
  if (!hasPage) {
    WriteHTML(out, "%s", Chars(IconTag(chosenNoIcon, attributes)));
    return true;
  }
  WriteHTML(out, "<A HREF=\"%s\">%s</A>", PageHref(page).c_str(),
            Chars(IconTag(chosenIcon, attributes)));
  return true;
}

}  // namespace

int CurrentPage() {
  if (pagingState.pageSize <= 0) return 1;
  int64_t first = pagingState.first > 0 ? pagingState.first : 0;  // a negative start is the start
  return ClampToInt(first / pagingState.pageSize + 1);
}

int PageCount() {
  if (pagingState.pageSize <= 0) return 1;
  if (pagingState.total <= 0) return 0;
  return ClampToInt((int64_t{pagingState.total} + pagingState.pageSize - 1) / pagingState.pageSize);
}

bool WriteBackToList(FILE* out, Entry* const* entries, int count) {
  if (count <= 0) return false;
  WriteHTML(out, "Back to\n");
  for (int i = 0; i < count; ++i) {
    if (i > 0) WriteHTML(out, ",\n");
    WriteHTML(out, "<A HREF=\"%s\">%s</A>", entries[i]->href ? entries[i]->href : "",
              Chars(HtmlEncodePageString(entries[i]->title)));
  }
  return true;
}

bool WriteUrlBackLink(FILE* out, const char* icon, const char* attributes) {
  String tag = BackIconTag(icon, "back", attributes);
  const char* url = indexSettings.backlinkText;
  if (HasText(tag)) {
    WriteHTML(out, "<A HREF=\"%s\">%s</A>", url, tag.Text());
  } else {
    WriteHTML(out, "<A HREF=\"%s\">Back</A>", url);
  }
  return true;
}

bool WriteHistoryBackLink(FILE* out, const char* icon, const char* attributes) {
  String tag = BackIconTag(icon, "back", attributes);
  WriteHTML(out, "<A HREF=\"javascript:window.history.back()\">%s</A>",
            HasText(tag) ? tag.Text() : "Back");
  return true;
}

bool WriteCloseLink(FILE* out, const char* icon, const char* attributes) {
  String tag = BackIconTag(icon, "close", attributes);
  if (HasText(tag)) {
    WriteHTML(out, "<A HREF=\"javascript:void(0)\" onClick=\"window.close()\">%s</A>", tag.Text());
  } else {
    WriteHTML(out, "<FORM>\n");
    WriteHTML(out, "<INPUT TYPE=\"button\" VALUE=\"  Close  \" onClick=\"window.close()\">\n");
    WriteHTML(out, "</FORM>");
  }
  return true;
}

bool WriteSmartBackLink(FILE* out, const char* icon, const char* attributes) {
  if (AtDriveRoot()) return false;
  WriteHTML(out, "<SCRIPT LANGUAGE=\"JavaScript1.1\">\n<!--\n");
  for (const char* line : kSmartScript) WriteHTML(out, "%s\n", line);
  String tag = BackIconTag(icon, "back", attributes);
  WriteHTML(out, "document.writeln('<A HREF=\"' + backlink + '\">%s<\\/A>');\n",
            HasText(tag) ? Chars(EndTagsEscaped(tag)) : "Back to Parent");
  WriteHTML(out, "// -->\n</SCRIPT>");
  return true;
}

bool WriteBackLink(FILE* out, Entry* pageEntry, const char* icon, const char* attributes) {
  switch (indexSettings.backlink) {
    case BacklinkMode::None:
      return false;
    case BacklinkMode::Parent:
      return WriteParentLinks(out, nullptr);
    case BacklinkMode::Keywords:
      return WriteParentLinks(out, pageEntry ? pageEntry->keywords : nullptr);
    case BacklinkMode::Smart:
      return WriteSmartBackLink(out, icon, attributes);
    case BacklinkMode::Close:
      return WriteCloseLink(out, icon, attributes);
    case BacklinkMode::Custom:
      return WriteUrlBackLink(out, icon, attributes);
    case BacklinkMode::Back:
      return WriteHistoryBackLink(out, icon, attributes);
  }
  return false;
}

bool WritePrevLink(FILE* out, const char* icon, const char* noIcon, const char* attributes) {
  int page = CurrentPage();
  return WriteStepLink(out, icon, noIcon, attributes, "prev", "noprev", page > 1, page - 1);
}

bool WriteNextLink(FILE* out, const char* icon, const char* noIcon, const char* attributes) {
  int page = CurrentPage();
  bool hasNext = page < PageCount();
  return WriteStepLink(out, icon, noIcon, attributes, "next", "nonext", hasNext,
                       hasNext ? page + 1 : page);
}

bool WriteNavBar(FILE* out, Entry* pageEntry, bool centred) {
  if (indexSettings.backlink == BacklinkMode::None) return false;
  bool paged = PageCount() > 1;
  bool wrote = false;
  if (centred) WriteHTML(out, "<CENTER>\n");
  if (paged && WritePrevLink(out, nullptr, nullptr, kNavBarAttributes)) {
    WriteHTML(out, "\n");
    wrote = true;
  }
  if (WriteBackLink(out, pageEntry, nullptr, kNavBarAttributes)) {
    WriteHTML(out, "\n");
    wrote = true;
  }
  if (paged && WriteNextLink(out, nullptr, nullptr, kNavBarAttributes)) {
    WriteHTML(out, "\n");
    wrote = true;
  }
  if (centred) WriteHTML(out, "</CENTER>\n");
  return wrote;
}

bool WritePageLinks(FILE* out, const char* prefix, const char* suffix) {
  int pages = PageCount();
  if (pages <= 1) return false;
  int current = CurrentPage();
  WriteHTML(out, InCgiMode() ? "%s<STRONG>Result Pages:</STRONG>&nbsp;"
                             : "%s<STRONG>Pages:</STRONG>&nbsp;",
            prefix ? prefix : "");
  if (current > 1) {
    WriteHTML(out, "\n <STRONG><A HREF=\"%s\">[<< Prev]</A></STRONG>&nbsp;&nbsp;",
              PageHref(current - 1).c_str());
  }
  for (int page = 1; page <= pages; ++page) {
    if (page == current) {
      WriteHTML(out, "\n <STRONG>%d</STRONG>", page);
    } else {
      WriteHTML(out, "\n <A HREF=\"%s\">%d</A>", PageHref(page).c_str(), page);
    }
  }
  if (current < pages) {
    WriteHTML(out, "&nbsp;&nbsp;\n <STRONG><A HREF=\"%s\">[Next >>]</A></STRONG>",
              PageHref(current + 1).c_str());
  }
  if (suffix) WriteHTML(out, "%s", suffix);
  return true;
}
