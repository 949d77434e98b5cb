#include "programs/viewreel/slide_writer.h"

#include <cstdarg>
#include <cstring>
#include <memory>
#include <string>

#include "platform/assert.h"
#include "platform/clock.h"
#include "platform/drives.h"
#include "platform/file_replace.h"
#include "platform/files.h"
#include "programs/viewreel/slide_settings.h"
#include "shared/banner.h"
#include "shared/chars.h"
#include "shared/entry_factory.h"
#include "shared/file_section.h"
#include "shared/head_writer.h"
#include "shared/htmltext.h"
#include "shared/image_size.h"
#include "shared/paths.h"
#include "shared/report.h"
#include "shared/sitefiles.h"
#include "shared/url/url.h"

namespace {

constexpr size_t kFileInfoSize = 96;  // 95 characters and the terminator
constexpr size_t kTitleMax = 255;  // a numbered title, as the page-head editors keep titles
constexpr char kScriptStart[] = "<SCRIPT LANGUAGE=\"JavaScript1.1\">\n<!--";
constexpr char kScriptEnd[] = "// -->\n</SCRIPT>";
constexpr char kScriptType[] =
    "<META HTTP-EQUIV=\"Content-Script-Type\" CONTENT=\"text/javascript\">\n";

bool HasText(const char* text) { return text && *text; }
const char* TextOr(const char* text) { return text ? text : ""; }

// A page being written: every failed write sets the error flag, which is
// tested when the page is closed.
class PageOutput {
 public:
  explicit PageOutput(FILE* file) : file_(file) {}

  void WriteHTML(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    va_list args;
    va_start(args, format);
    if (vfprintf(file_, format, args) < 0) error_ = true;
    va_end(args);
  }
  void Put(const char* text) {
    if (fputs(text, file_) < 0) error_ = true;
  }
  void Check(bool ok) {
    if (!ok) error_ = true;
  }

  FILE* File() const { return file_; }
  bool* ErrorFlag() { return &error_; }
  bool Error() const { return error_; }

 private:
  FILE* file_;
  bool error_ = false;
};

// The DOS form of a file time: local time, two-second steps, 1980 to 2107.
bool DosTime(FileTime time, SystemTime* fields) {
  if (time == 0) return false;
  *fields = FileTimeToSystem(FileTimeToLocal(time));
  if (fields->year < 1980 || fields->year > 2107) return false;
  fields->second &= ~1;
  fields->milliseconds = 0;
  return true;
}

// Appends a formatted piece to the text in buffer, within its size.
void Append(char* buffer, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
void Append(char* buffer, size_t size, const char* format, ...) {
  size_t used = strlen(buffer);
  if (used + 1 >= size) return;
  va_list args;
  va_start(args, format);
  vsnprintf(buffer + used, size - used, format, args);
  va_end(args);
}

// A trailing "(" blanks digits " of " digits ")" starting at open.
bool IsPageNumberGroup(const char* open) {
  const char* p = open + 1;
  while (*p == ' ') ++p;
  if (!IsDigit(*p)) return false;
  while (IsDigit(*p)) ++p;
  if (strncmp(p, " of ", 4) != 0) return false;
  p += 4;
  if (!IsDigit(*p)) return false;
  while (IsDigit(*p)) ++p;
  return strcmp(p, ")") == 0;
}

// The size of a file open for reading, its position moved to the end.
uint32_t FileSize(FILE* file) {
  long size = fseek(file, 0, SEEK_END) == 0 ? ftell(file) : 0;
  if (size < 0) return 0;
  return static_cast<uint64_t>(size) > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(size);
}

// One opening of the image serves its pixel size and its file size.
ImageFacts ReadImageFacts(const char* imageFile) {
  ImageFacts facts;
  FILE* file = OpenFile(imageFile, "rb");
  if (!file) return facts;
  if (!ImageSizeOf(file, &facts.width, &facts.height)) facts.width = facts.height = 0;
  facts.size = FileSize(file);
  fclose(file);
  return facts;
}

FileTime WriteTimeOf(const char* path) {
  FileTime write = 0;
  if (!GetFileTimes(path, nullptr, nullptr, &write)) return 0;
  return write;
}

bool RemoveFile(const char* path) { return DeleteFile(path) || !FileExists(path); }

// What one slide is made of, gathered before the page is written.
struct Slide {
  const SlideRequest* request = nullptr;
  std::unique_ptr<Entry> entry;
  String body;  // the existing page's BODY attributes (null: none)
  ImageFacts facts;
  bool movie = false;
  EmbedPaths embed;
  bool withScript = false;
  bool alias = false;
  String imageUrl;
  FILE* existing = nullptr;
  int percent = 0;  // of a scaled picture, 0 when not scaled
  String textFileUsed;
};

void PrepareSlide(const SlideRequest& request, Slide* slide) {
  slide->request = &request;
  slide->movie = !IsImageFile(request.imageFile);
  if (slide->movie) FindMovieImages(request.imageFile, &slide->embed, &slide->facts.iconsDepth);
  ImageFacts facts = ReadImageFacts(request.imageFile);
  slide->facts.size = facts.size;
  slide->facts.width = facts.width;
  slide->facts.height = facts.height;
  // One opening of the page serves its head and, read again from its start,
  // the rest of the existing slide.
  slide->existing = OpenFile(request.naturalPage, "r");
  slide->entry.reset(MakePageEntryFrom(request.naturalPage, slide->existing,
                                       TitleFromFileNameString(request.imageFile), &slide->body));
  if (slide->existing) rewind(slide->existing);
  if (request.title) slide->entry->SetTitle(request.title);
  if (slide->entry->title) CutPageNumber(slide->entry->title);
  slide->alias = strcmp(request.outputName, request.naturalPage) != 0;
  slide->imageUrl = FileToUrlString(request.imageFile);
}

bool HasKeywords(const Slide& slide) { return HasText(slide.entry->keywords); }

// The existing slide stays when its FILEINFO (with its own date) and its
// BODY are what this run would write.
bool IsUpToDate(const Slide& slide) {
  if (!slide.existing || !slideSettings.frames || !slideSettings.updateOnlyIfNecessary) return false;
  if (!HasText(slide.entry->fileInfo)) return false;
  String info = FileInfoText(WriteTimeOf(slide.request->naturalPage), slide.facts,
                             HasKeywords(slide));
  if (strcmp(TextOr(info), slide.entry->fileInfo) != 0) return false;
  if (!slideSettings.hasSlideBody) return true;
  return !slide.body.IsNull() && slideSettings.slideBody == slide.body.Text();
}

void WriteBody(PageOutput* out, const Slide& slide) {
  const char* attributes = slideSettings.hasSlideBody ? slideSettings.slideBody.c_str() : slide.body.Text();
  if (HasText(attributes)) {
    out->WriteHTML("<BODY %s>\n", attributes);
  } else {
    out->Put("<BODY>\n");
  }
}

void WriteButtonNavigation(PageOutput* out, const SlideRequest& request, bool sequence,
                           bool homePart) {
  const ButtonIcons& icons = slideSettings.icons;
  if (sequence) {
    if (request.previous) {
      out->WriteHTML("<A HREF=\"%s\"><IMG BORDER=0 SRC=\"%s\"></A>&nbsp; &nbsp; &nbsp; &nbsp;",
                     request.previous, TextOr(icons.prev));
    } else {
      out->WriteHTML("<IMG SRC=\"%s\">&nbsp; &nbsp; &nbsp; &nbsp;", TextOr(icons.noPrev));
    }
  }
  // The home link is a URL already.
  if (homePart) {
    out->WriteHTML("<A HREF=\"%s\"><IMG BORDER=0 SRC=\"%s\"></A>", TextOr(request.home),
                   TextOr(icons.home));
  }
  if (!sequence) return;
  if (request.next) {
    out->WriteHTML("&nbsp; &nbsp; &nbsp; &nbsp;<A HREF=\"%s\"><IMG BORDER=0 SRC=\"%s\"></A>",
                   request.next, TextOr(icons.next));
  } else {
    out->WriteHTML("&nbsp; &nbsp; &nbsp; &nbsp;<IMG SRC=\"%s\">", TextOr(icons.noNext));
  }
}

void WriteTextNavigation(PageOutput* out, const SlideRequest& request, bool sequence,
                         bool homePart) {
  if (sequence) {
    if (request.previous) {
      out->WriteHTML("&lt;&lt;&nbsp; <A HREF=\"%s\">Prev</A>&nbsp; &nbsp;|&nbsp; &nbsp;",
                     request.previous);
    } else {
      out->Put("<FONT COLOR=GRAY>&lt;&lt;&nbsp; Prev</FONT>&nbsp; &nbsp;|&nbsp; &nbsp;");
    }
  }
  if (homePart) out->WriteHTML("<A HREF=\"%s\">Home</A>", TextOr(request.home));
  if (!sequence) return;
  if (request.next) {
    out->WriteHTML("&nbsp; &nbsp;|&nbsp; &nbsp;<A HREF=\"%s\">Next</A> &nbsp;&gt;&gt;",
                   request.next);
  } else {
    out->Put("&nbsp; &nbsp;|&nbsp; &nbsp;<FONT COLOR=GRAY>Next &nbsp;&gt;&gt;</FONT>");
  }
}

// Previous, home and next, outside the frame mode. A single slide that is
// its own home gets no line at all.
void WriteNavigation(PageOutput* out, const SlideRequest& request) {
  if (slideSettings.frames) return;
  bool sequence = request.count > 1;
  String self = FileToUrlString(request.outputName);
  bool homePart = sequence || strcmp(TextOr(request.home), TextOr(self)) != 0;
  if (!sequence && !homePart) return;
  if (request.buttons) {
    WriteButtonNavigation(out, request, sequence, homePart);
  } else {
    WriteTextNavigation(out, request, sequence, homePart);
  }
  out->Put("<BR>\n");
}

void WriteMovieNotice(PageOutput* out, const EmbedPaths& embed) {
  out->Put("<P>\n<TABLE BORDER=0 CELLPADDING=0 CELLSPACING=0 ALIGN=CENTER>\n<TR>\n");
  if (!embed.smovie1.IsNull()) {
    out->WriteHTML("  <TD><IMG SRC=\"%s\"></TD>\n", LocalUrl(embed.smovie1).Text());
    out->Put("  <TD WIDTH=16>&nbsp;</TD>\n");
  }
  out->Put("  <TH><BIG>This&nbsp;is&nbsp;a&nbsp;Movie&nbsp;File.&nbsp;\n");
  out->Put(
      "      Click&nbsp;the&nbsp;image&nbsp;below&nbsp;to&nbsp;view&nbsp;the&nbsp;movie.</BIG>"
      "</TD>\n");
  if (!embed.smovie2.IsNull()) {
    out->Put("  <TD WIDTH=16>&nbsp;</TD>\n");
    out->WriteHTML("  <TD><IMG SRC=\"%s\"></TD>\n", LocalUrl(embed.smovie2).Text());
  }
  out->Put("</TR>\n</TABLE>\n<P>\n");
}

void WriteMoviePicture(PageOutput* out, const Slide& slide) {
  WriteMovieNotice(out, slide.embed);
  const char* poster = slide.embed.poster.Text();
  if (poster) {
    out->Check(MovieLinkTag(out->File(), slide.imageUrl, slide.withScript));
    out->WriteHTML("<IMG SRC=\"%s\"", LocalUrl(poster).Text());
    uint32_t width = 0, height = 0;
    if (ImageSize(poster, &width, &height)) out->WriteHTML(" WIDTH=%u HEIGHT=%u", width, height);
    out->Put(" BORDER=0></A>\n");
  } else {
    out->Put("<TABLE BORDER=4 CELLPADDING=40 BGCOLOR=GRAY>\n<TR><TH>");
    out->Check(MovieLinkTag(out->File(), slide.imageUrl, slide.withScript));
    out->Put("<FONT SIZE=6 COLOR=WHITE>Click Here<BR>To View</FONT></A></TH></TR>\n</TABLE>\n");
  }
  out->Put("<P>\n");
}

// The frame mode's picture: drawn by the controls frame when it is there.
void WriteFramePicture(PageOutput* out, const Slide& slide) {
  const char* margin = slideSettings.slideBody.find("MARGIN") != std::string::npos ? ",0,0" : "";
  const char* url = slide.imageUrl.Text();
  if (slide.request->indexLinks) out->Put("<A HREF=\"index.htm\" TARGET=\"_top\">");
  out->Put(kScriptStart);
  out->Put("\n");
  if (HasKeywords(slide) && MarkerDepth() > 0) out->WriteHTML("markerDepth=%d;\n", MarkerDepth());
  out->Put("if (parent.inputFrameLoaded) {\n");
  out->WriteHTML("  parent.inputFrame.writeImgTag(self,'%s',%u,%u%s);\n", TextOr(url),
                 slide.facts.width, slide.facts.height, margin);
  out->Put("  parent.contentStale=false;\n}\nelse {\n");
  out->WriteHTML("  document.write('<IMG SRC=\"%s\">');\n", TextOr(url));
  out->Put("  parent.contentStale=true;\n}\n");
  out->Put(kScriptEnd);
  out->WriteHTML("<NOSCRIPT><IMG SRC=\"%s\"></NOSCRIPT>", TextOr(url));
  if (slide.request->indexLinks) out->Put("</A>");
  out->Put("\n<BR>\n");
}

// Fitted into the box, linked to the full image when its size changed.
void WriteBoxedPicture(PageOutput* out, Slide* slide) {
  uint32_t width = slide->facts.width, height = slide->facts.height;
  slide->percent = ScaleToFit(&width, &height, slideSettings.scaleWidth, slideSettings.scaleHeight);
  const char* url = TextOr(slide->imageUrl);
  if (slide->percent != 100) out->WriteHTML("<A HREF=\"%s\">", url);
  if (width && height) {
    out->WriteHTML("<IMG BORDER=2 VSPACE=3 WIDTH=\"%u\" HEIGHT=\"%u\" SRC=\"%s\">", width, height,
                   url);
  } else {
    out->WriteHTML("<IMG BORDER=2 VSPACE=3 SRC=\"%s\">", url);
  }
  if (slide->percent != 100) out->Put("</A>");
  out->Put("<BR>\n");
}

void WritePlainPicture(PageOutput* out, Slide* slide) {
  const char* url = TextOr(slide->imageUrl);
  if (slideSettings.scaleWidth && slideSettings.scaleHeight) {
    WriteBoxedPicture(out, slide);
  } else if (!slideSettings.scaleHeightText.empty()) {
    out->WriteHTML("<A HREF=\"%s\">", url);
    out->WriteHTML("<IMG BORDER=2 VSPACE=3 HEIGHT=\"%s\" SRC=\"%s\">",
                   slideSettings.scaleHeightText.c_str(), url);
    out->Put("</A><BR>\n");
  } else {
    const char* next = slide->request->next;
    if (next) out->WriteHTML("<A HREF=\"%s\">", next);
    out->WriteHTML("<IMG BORDER=2 VSPACE=3 SRC=\"%s\">", url);
    if (next) out->Put("</A>");
    out->Put("<BR>\n");
  }
}

void WritePicture(PageOutput* out, Slide* slide) {
  if (slide->movie) {
    WriteMoviePicture(out, *slide);
  } else if (slideSettings.frames) {
    WriteFramePicture(out, *slide);
  } else {
    WritePlainPicture(out, slide);
  }
}

void WriteCaption(PageOutput* out, const Slide& slide) {
  const char* title = TextOr(slide.entry->title);
  if (slide.movie) out->Check(MovieLinkTag(out->File(), slide.imageUrl, slide.withScript));
  out->WriteHTML("<B>%s</B>", TextOr(HtmlEncodePageString(title)));
  if (slide.movie) out->Put("</A>");
  const char* baseName = BaseName(slide.request->imageFile);
  if (CompareNoCase(title, baseName) != 0) {
    out->WriteHTML(" <SMALL>[%s]</SMALL>", TextOr(Utf8ReferencesString(baseName)));
  }
  if (!slide.movie) {
    if (slideSettings.frames) {
      out->WriteHTML("\n%s\n", kScriptStart);
      out->Put("if (parent.inputFrameLoaded)\n  parent.inputFrame.writeImgScale(self);\n");
      out->Put(kScriptEnd);
    } else if (slide.percent != 0 && slide.percent != 100) {
      out->WriteHTML(
          "<BR>\n<SMALL>(scaled to %d%% of actual size -- click image for unscaled image)"
          "</SMALL>",
          slide.percent);
    }
  }
  const SlideRequest& request = *slide.request;
  if (request.count > 1 && !slideSettings.frames) {
    out->WriteHTML("<BR>\n<SMALL>%d of %d</SMALL>", request.number, request.count);
  }
  out->Put("\n");
}

// An alias slide names the set its image belongs to.
void WriteMainSetLink(PageOutput* out, const Slide& slide) {
  if (!slide.alias) return;
  char dir[kMaxPath + 1];
  DirPart(slide.request->naturalPage, dir, sizeof dir);
  std::unique_ptr<Entry> set(MakeDirectoryEntryUnlessHidden(dir, false));
  if (!set) return;
  out->WriteHTML("<P>Main set is <A HREF=\"%s\">%s</A>\n", TextOr(set->href),
                 TextOr(HtmlEncodePageString(set->title)));
}

void Verbose(const char* text) {
  if (slideSettings.verbose) fputs(text, stdout);
}

// The first of: the old page's marked text, its preformatted text, the
// image's ".txt" file, the description.
void WriteTextBlock(PageOutput* out, Slide* slide) {
  if (slide->existing) {
    if (CopySectionFrom(out->ErrorFlag(), slide->existing, out->File(), "<!-- BEGIN TEXT -->",
                        "<!-- END TEXT -->", "\n")) {
      Verbose("  Using existing text in HTML file.\n");
      return;
    }
    if (CopySectionFrom(out->ErrorFlag(), slide->existing, out->File(), "<PRE>", "</PRE>",
                        "\n")) {
      Verbose("  Using preformatted text in HTML file.\n");
      return;
    }
  }
  if (slide->request->textConversion) {
    slide->textFileUsed = WriteTextFileAsPre(slide->request->imageFile, out->File(),
                                             out->ErrorFlag());
    if (!slide->textFileUsed.IsNull()) {
      Verbose("  Using preformatted text in TXT file.\n");
      return;
    }
  }
  if (HasText(slide->entry->description)) {
    out->WriteHTML("<P>\n<CENTER>\n%s\n</CENTER>\n",
                   HtmlEncodePageString(slide->entry->description).Text());
  }
}

void WritePage(PageOutput* out, Slide* slide, FileTime date) {
  out->Put("<HTML>\n");
  String aliasTarget;
  if (slide->alias) aliasTarget = FileToUrlString(slide->request->naturalPage);
  const SlideRequest& request = *slide->request;
  out->Check(SlideHead(out->File(), slide->entry.get(), request.number, request.count,
                       slide->facts, date, aliasTarget));
  if (slideSettings.frames) out->Put(kScriptType);
  if (slide->movie && slideSettings.javascript) {
    String script = IconsPathString("movie.js", false);
    if (!script.IsNull()) {
      out->WriteHTML("<SCRIPT LANGUAGE=\"JavaScript1.1\" SRC=\"%s\"></SCRIPT>\n",
                     LocalUrl(script).Text());
      slide->withScript = true;
    }
  }
  out->Put("</HEAD>\n\n");
  WriteBody(out, *slide);
  out->Put("<CENTER>\n");
  WriteNavigation(out, request);
  WritePicture(out, slide);
  WriteCaption(out, *slide);
  WriteMainSetLink(out, *slide);
  out->Put("</CENTER>\n");
  WriteTextBlock(out, slide);
  out->Put("</BODY>\n</HTML>\n");
}

SlideResult Abort(const char* temp) {
  Report(0, "        Program aborted.\n");
  if (temp) DiscardReplacement(temp);
  return kSlideAborted;
}

// The new page takes the old one's place in one step; the old stays until
// then, and a failed replace leaves the new page under its temporary name.
// Only a failed replace asks why: an old slide that may not be replaced
// (read-only, or no file) is reported as such and the new page discarded.
SlideResult ReplaceOldSlide(const char* outputName) {
  if (ReplaceFile(kTempName, outputName)) return kSlideWritten;
  if (!IsReplaceable(outputName)) {
    Report(3000, "\nError:  Can't delete the old slide file (\"%s\").\n", outputName);
    return Abort(kTempName);
  }
  Report(3000, "\nError:  Can't rename the new slide file to \"%s\".\n", outputName);
  Report(0, "        The new slide file is named \"%s\".\n", kTempName);
  return Abort(nullptr);
}

void DeleteTextFile(const Slide& slide) {
  if (!slideSettings.deleteTextFiles || slide.alias || slide.textFileUsed.IsNull()) return;
  const char* path = slide.textFileUsed.Text();
  if (slideSettings.verbose) printf("  Deleting text file \"%s\".\n", path);
  if (!RemoveFile(path)) Report(1000, "Warning:  Can't delete the text file \"%s\".\n", path);
}

// Every slide, a new one too, is written to the temporary file first and
// takes its name only when it is complete.
FILE* CreateOutput(const Slide& slide, bool updating) {
  const SlideRequest& request = *slide.request;
  FILE* file = CreateReplacement(kTempName, "w");
  if (updating) {
    if (!file) {
      Report(2000, "Error:  Can't create file \"%s\".  Slide was not written.\n", kTempName);
      return nullptr;
    }
    Verbose("  Updating existing file.\n");
    return file;
  }
  if (!file) {
    Report(2000, "Error:  Can't create file \"%s\".  Slide was not written.\n",
           request.outputName);
    return nullptr;
  }
  if (slideSettings.verbose) {
    printf("  Creating \"%s\"", request.outputName);
    if (slide.alias) printf(" from \"%s\"", request.naturalPage);
    printf("\n");
  }
  return file;
}

}  // namespace

// --- Pieces ----------------------------------------------------------------------

String LocalUrl(const char* path) {
  if (!path || !*path) return String();
  char relative[kMaxPath + 1];
  if (!RelativePath(".", path, relative, sizeof relative, true)) return FileToUrlString(path);
  return FileToUrlString(relative);
}

String FileInfoText(FileTime date, const ImageFacts& facts, bool hasKeywords) {
  if (facts.size == 0) return String();
  char text[kFileInfoSize] = {};
  uint32_t kb = static_cast<uint32_t>((static_cast<uint64_t>(facts.size) + 1023) >> 10);
  if (facts.width && facts.height) {
    Append(text, sizeof text, "%u&times;%u, %uKB; {%u, %u, %u}", facts.width, facts.height, kb,
           facts.size, facts.width, facts.height);
  } else {
    Append(text, sizeof text, "%uKB; {%u}", kb, facts.size);
  }
  SystemTime time;
  if (!slideSettings.frames || !DosTime(date, &time)) return String(text);
  Append(text, sizeof text, "; %d %02d/%02d/%02d %02d:%02d:%02d", 4, time.month, time.day,
         time.year % 100, time.hour, time.minute, time.second);
  if (facts.iconsDepth >= 0 && facts.iconsDepth <= 99) {
    Append(text, sizeof text, " %d", facts.iconsDepth);
  }
  if (hasKeywords && MarkerDepth() > 0) Append(text, sizeof text, " M%d", MarkerDepth());
  if (hasKeywords && slideSettings.slideIndexLinks) Append(text, sizeof text, " L");
  return String(text);
}

FileTime SlideTime(FileTime writeTime) {
  SystemTime time;
  if (!DosTime(writeTime, &time)) return 0;
  return LocalToFileTime(SystemToFileTime(time));
}

const char* VersionBanner() {
  static std::string banner;
  if (!banner.empty()) return banner.c_str();
  ProgramVersionInfo info;
  size_t descriptionLength = 0, versionLength = 0;
  const char* description =
      info.QueryValue("\\StringFileInfo\\040904E4\\FileDescription", &descriptionLength);
  const char* version = info.QueryValue("\\StringFileInfo\\040904E4\\FileVersion", &versionLength);
  banner.assign(description ? description : "", description ? descriptionLength : 0);
  banner += ", v";
  banner.append(version ? version : "", version ? versionLength : 0);
  banner += " by Dunmarrow";
  return banner.c_str();
}

String NumberedTitle(const char* title, int number, int count) {
  int width = count >= 100 ? 3 : count > 9 ? 2 : 1;
  char group[64];
  snprintf(group, sizeof group, " (%*d of %d)", width, number, count);
  std::string text(TextOr(title));
  if (text.size() + strlen(group) > kTitleMax) return String(text.c_str());
  return String((text + group).c_str());
}

void CutPageNumber(char* title) {
  char* open = strrchr(title, '(');
  if (!open || open == title || open[-1] != ' ' || !IsPageNumberGroup(open)) return;
  while (open > title && open[-1] == ' ') --open;
  *open = '\0';
}

bool SlideHead(FILE* file, const Entry* entry, int number, int count, const ImageFacts& facts,
               FileTime date, const char* aliasTarget) {
  if (!entry) AssertionFailed("pEntry", __FILE__, __LINE__);
  String title;
  if (HasText(entry->title) && count > 0 && slideSettings.pageNumbers && !slideSettings.frames) {
    title = NumberedTitle(entry->title, number, count);
  } else if (entry->title) {
    title = entry->title;
  }
  String fileInfo = FileInfoText(date, facts, HasText(entry->keywords));
  return WriteHead(file, false, title, VersionBanner(), entry->description, entry->keywords,
                   entry->sortOrder, fileInfo, aliasTarget);
}

int ScaleToFit(uint32_t* width, uint32_t* height, uint32_t boxWidth, uint32_t boxHeight) {
  if (!*width || !*height || !boxWidth || !boxHeight) return 100;
  static const uint32_t kFactors[][2] = {{2, 1}, {1, 1}, {1, 2}, {1, 3}, {1, 4}};
  const uint32_t* factor = kFactors[4];
  for (const uint32_t* candidate : kFactors) {
    uint64_t w = static_cast<uint64_t>(*width) * candidate[0] / candidate[1];
    uint64_t h = static_cast<uint64_t>(*height) * candidate[0] / candidate[1];
    if (boxWidth >= w && boxHeight >= h) {
      factor = candidate;
      break;
    }
  }
  *width = static_cast<uint32_t>(static_cast<uint64_t>(*width) * factor[0] / factor[1]);
  *height = static_cast<uint32_t>(static_cast<uint64_t>(*height) * factor[0] / factor[1]);
  return static_cast<int>(factor[0] * 100 / factor[1]);
}

String MovieIcon(const char* name, const char* movieExt) {
  std::string specific = std::string(name) + "_" + TextOr(movieExt);
  String path = IconsPathString(specific.c_str(), false);
  if (!path.IsNull()) return path;
  return IconsPathString(name, false);
}

void FindMovieImages(const char* movieFile, EmbedPaths* paths, int* iconsDepth) {
  const char* ext = Extension(BaseName(movieFile));
  if (*ext == '.') ++ext;
  paths->smovie1 = MovieIcon("smovie1", ext);
  paths->smovie2 = MovieIcon("smovie2", ext);
  if (!paths->smovie1.IsNull() && paths->smovie2.IsNull()) paths->smovie2 = paths->smovie1;
  char poster[kSitePathSize];
  if (FindImageFile(poster, movieFile)) {
    paths->poster = poster;
    paths->posterFromIcons = false;
  } else {
    paths->poster = MovieIcon("smovie", ext);
    paths->posterFromIcons = !paths->poster.IsNull();
  }
  if (paths->posterFromIcons || !paths->smovie1.IsNull()) *iconsDepth = FindIconsDir();
}

bool MovieLinkTag(FILE* file, const char* href, bool withScript) {
  const char* url = TextOr(href);
  if (!withScript) return fprintf(file, "<A HREF=\"%s\">", url) >= 0;
  return fprintf(file,
                 "<A HREF=\"%s\" onClick=\"return typeof MovieLink == 'function' ? "
                 "MovieLink('%s') : true;\">",
                 url, url) >= 0;
}

String WriteTextFileAsPre(const char* imageFile, FILE* output, bool* error) {
  String path = ChangeExtensionString(imageFile, ".txt");
  FILE* input = path.IsNull() ? nullptr : OpenFile(path, "r");
  if (!input) return String();
  bool ok = fputs("<PRE>\n", output) >= 0;
  for (int ch; (ch = fgetc(input)) != EOF;) {
    switch (ch) {
      case '&': ok = fputs("&amp;", output) >= 0 && ok; break;
      case '<': ok = fputs("&lt;", output) >= 0 && ok; break;
      case '>': ok = fputs("&gt;", output) >= 0 && ok; break;
      default: ok = fputc(ch, output) != EOF && ok; break;
    }
  }
  ok = fputs("</PRE>\n", output) >= 0 && ok;
  fclose(input);
  if (!ok) *error = true;
  return path;
}

// --- The slide -------------------------------------------------------------------

SlideResult WriteSlide(const SlideRequest& request) {
  Slide slide;
  PrepareSlide(request, &slide);
  if (IsUpToDate(slide)) {
    if (slideSettings.verbose >= 2) printf("%s:\n  File is already up to date.\n", request.naturalPage);
    fclose(slide.existing);
    return kSlideUpToDate;
  }
  if (slideSettings.verbose) printf("%s:\n", request.naturalPage);

  bool updating = slide.existing && !slide.alias;
  const char* written = updating ? kTempName : request.outputName;
  FILE* file = CreateOutput(slide, updating);
  if (!file) {
    if (slide.existing) fclose(slide.existing);
    return kSlideNotWritten;
  }
  // The slide carries the instant of its writing, and keeps it as its
  // modification time, so the up-to-date test sees no change later.
  FileTime date = slideSettings.frames ? SlideTime(WriteTimeOf(kTempName)) : 0;
  if (slideSettings.frames && date == 0) date = SlideTime(FileTimeNow());

  PageOutput out(file);
  WritePage(&out, &slide, date);
  if (slide.existing) fclose(slide.existing);
  bool closed = fclose(file) == 0;
  if (!closed || out.Error()) {
    Report(3000, "\nError:  Can't write to the new slide file (\"%s\").\n", written);
    return Abort(kTempName);
  }
  if (ReplaceOldSlide(request.outputName) == kSlideAborted) return kSlideAborted;
  if (date) SetFileTimes(request.outputName, nullptr, nullptr, &date);
  DeleteTextFile(slide);
  return kSlideWritten;
}

// --- Forwarding index ---------------------------------------------------------------

void WriteForwardIndex(const char* target, const char* title) {
  std::unique_ptr<Entry> entry(MakeDirectoryEntryAlways("."));
  if (!entry) AssertionFailed("pEntry", __FILE__, __LINE__);
  if (title) entry->SetTitle(title);
  FILE* file = CreateReplacement(kTempName, "w");
  if (!file) return;
  PageOutput out(file);
  out.Put("<HTML>\n");
  out.Check(SlideHead(file, entry.get(), 0, -1, ImageFacts(), 0, nullptr));
  out.Check(WriteMetaLine(file, HeadMeta::kForward, TextOr(target)));
  out.Put("</HEAD>\n\n<BODY>\n");
  out.WriteHTML("<H1 ALIGN=CENTER>%s</H1>\n", TextOr(HtmlEncodePageString(entry->title)));
  out.Put("<CENTER>\n");
  if (HasText(entry->description)) {
    out.WriteHTML("<P>%s\n", HtmlEncodePageString(entry->description).Text());
  }
  out.WriteHTML("<P>Click <A HREF=\"%s\">Here</A> to view the first picture.\n", TextOr(target));
  out.Put("</CENTER>\n</BODY>\n</HTML>\n");
  CommitReplacement(file, !out.Error(), kTempName, "index.htm");
}
