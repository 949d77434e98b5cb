// infobulk: edit strings for title and description, a sort order and keyword
// operations typed into a dialog are applied to every dropped page; one page
// dropped on empty fields fills them instead.
#include "programs/infobulk/infobulk.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "pagehead/edit_string.h"
#include "pagehead/html_file.h"
#include "pagehead/page_name.h"
#include "platform/dialog.h"
#include "platform/files.h"
#include "shared/keywords.h"
#include "shared/url/url.h"

namespace {

HTMLFile file;
bool keywordsOnly = false;
bool clipboardViewer = false;
std::string baseDir;

enum { kIdClose = 1, kIdTitle = 101, kIdDescription = 102, kIdSortOrder = 103, kIdKeywords = 105,
       kIdClear = 106, kStatusTimer = 1 };

const DialogSpec kMainDialog = {
    "HTML Multi-File Info Editor 1.43",
    {{-1, ControlKind::kStatic, "&Title:", 8, 13, 52, 8},
     {kIdTitle, ControlKind::kEdit, "", 60, 9, 116, 12},
     {-1, ControlKind::kStatic, "&Sort Order:", 8, 34, 52, 8},
     {kIdSortOrder, ControlKind::kNumberEdit, "", 60, 30, 40, 12},
     {-1, ControlKind::kStatic, "&Description:", 8, 57, 52, 8},
     {kIdDescription, ControlKind::kMultiLineEdit, "", 60, 52, 176, 36},
     {-1, ControlKind::kStatic, "&Keywords:", 8, 103, 52, 8},
     {kIdKeywords, ControlKind::kMultiLineEdit, "", 60, 99, 176, 36},
     {kIdClose, ControlKind::kDefaultButton, "Close", 186, 6, 50, 14},
     {kIdClear, ControlKind::kButton, "&Clear", 186, 26, 50, 14}},
    true};

const char* FileNamePart(const char* path) {
  const char* name = path;
  for (const char* p = path; *p; ++p) {
    if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
  }
  return name;
}

bool IsFolder(const char* path) {
  uint32_t attributes = GetAttributes(path);
  return attributes != kInvalidAttributes && (attributes & kAttrDirectory);
}

// Finds and reads the page of a dropped item, creating a missing one.
bool LoadFile(const char* path) {
  String page = IsFolder(path) ? IndexFileName(path) : PageNameString(path);
  CreateMissingPage(page.Text());
  if (file.Read(page.Text())) return true;
  ShowMessageBox(file.ErrorText(), "File Read Error", kMbOk | kMbIconError);
  return false;
}

bool SaveFile() {
  if (file.Write()) return true;
  ShowMessageBox(file.ErrorText(), "File Write Error", kMbOk | kMbIconError);
  return false;
}

struct Fields {
  char title[256];
  char description[512];
  char sortOrder[10];
  char keywords[1024];
  bool Empty() const { return !*title && !*description && !*sortOrder && !*keywords; }
};

void ReadFields(const Dialog& dialog, Fields* fields) {
  GetItemText(dialog, kIdTitle, fields->title, sizeof fields->title);
  GetItemText(dialog, kIdDescription, fields->description, sizeof fields->description);
  GetItemText(dialog, kIdSortOrder, fields->sortOrder, sizeof fields->sortOrder);
  GetItemText(dialog, kIdKeywords, fields->keywords, sizeof fields->keywords);
}

void FillFields(Dialog& dialog) {
  if (!keywordsOnly) {
    dialog.SetItemText(kIdTitle, file.Title().Text());
    dialog.SetItemText(kIdDescription, file.Description().Text());
    dialog.SetItemText(kIdSortOrder, file.SortOrder().Text());
  }
  dialog.SetItemText(kIdKeywords, file.Keywords().Text());
}

// 1 page written, 0 nothing done, -1 fields filled from the page.
int ApplyToFile(Dialog& dialog, const char* path, size_t count, bool confirm) {
  dialog.SetCaption(FileNamePart(path));
  if (!LoadFile(path)) return 0;
  Fields fields;
  ReadFields(dialog, &fields);
  if (fields.Empty()) {
    if (count != 1) return 0;
    FillFields(dialog);
    return -1;
  }
  if (confirm) {
    std::string question = std::string("Modify file information for file\n\"") + path + "\"?";
    if (dialog.MessageBox(question.c_str(), "INFOBULK", kMbYesNo | kMbIconQuestion) != kIdYes) {
      return 0;
    }
  }
  bool changed = false;
  if (*fields.title) changed = file.SetTitle(EditString(file.Title().Text(), fields.title, path));
  // A typed field counts as a change even when the value stays the same.
  if (*fields.description) {
    changed |= file.SetDescription(EditString(file.Description().Text(), fields.description, path));
  }
  if (*fields.sortOrder) changed |= file.SetSortOrder(fields.sortOrder[0] == '0' ? "" : fields.sortOrder);
  if (*fields.keywords) {
    String list = file.Keywords();
    if (ApplyKeywordOps(list, fields.keywords)) {
      file.SetKeywords(list.Text() ? list.Text() : "");
      changed = true;
    }
  }
  if (!changed) return 0;
  SaveFile();
  return 1;
}

void ShowStatus(Dialog& dialog, int n) {
  char text[64];
  if (n >= 2) snprintf(text, sizeof text, "%u files were modified", static_cast<unsigned>(n));
  else if (n == 1) snprintf(text, sizeof text, "1 file was modified");
  else if (n == 0) snprintf(text, sizeof text, "No files were modified");
  else snprintf(text, sizeof text, keywordsOnly ? "Keywords loaded" : "File loaded");
  dialog.SetCaption(text);
  dialog.SetTimer(kStatusTimer, 2000);
}

void ReadClipboard(Dialog& dialog) {
  std::string text;
  if (!dialog.ClipboardText(&text)) return;
  String path = ClipboardUrlToPath(text.c_str(), baseDir.c_str());
  if (!path.Text() || !*path.Text() || !PathExists(path.Text())) return;
  if (!LoadFile(path.Text())) return;
  ShowStatus(dialog, ApplyToFile(dialog, path.Text(), 1, true));
}

void InfoDialogProc(Dialog& dialog, const DialogEvent& event) {
  switch (event.kind) {
    case DialogEvent::kInit:
      dialog.SetTimer(kStatusTimer, 3000);
      if (clipboardViewer) dialog.JoinClipboardViewers();
      return;
    case DialogEvent::kTimer:
      dialog.KillTimer(kStatusTimer);
      dialog.SetCaption("Drop HTML Files Here to Modify File Information");
      return;
    case DialogEvent::kCommand:
      if (event.code != 0) return;
      if (event.id == kIdClose || event.id == kIdCancel) dialog.EndDialog(0);
      if (event.id == kIdClear) {
        for (int id : {kIdTitle, kIdDescription, kIdSortOrder, kIdKeywords}) dialog.SetItemText(id, "");
      }
      return;
    case DialogEvent::kDropFiles: {
      dialog.KillTimer(kStatusTimer);
      int sum = 0;
      for (const std::string& item : event.files) {
        sum += ApplyToFile(dialog, item.c_str(), event.files.size(), false);
      }
      ShowStatus(dialog, sum);
      return;
    }
    case DialogEvent::kClipboardChange:
      if (clipboardViewer) ReadClipboard(dialog);
      return;
    case DialogEvent::kDestroy:
      dialog.KillTimer(kStatusTimer);
      if (clipboardViewer) dialog.LeaveClipboardViewers();
      return;
  }
}

// Base and URL path joined with exactly one '\' between them.
String JoinBase(const char* base, const char* urlPath) {
  std::string joined = base;
  if (!joined.empty() && joined.back() == '\\') ++urlPath;
  else if (*urlPath != '/') joined += '\\';
  String tail = UrlToFileString(urlPath);
  joined += tail.Text() ? tail.Text() : "";
  return String(joined.c_str());
}

}  // namespace

String IndexFileName(const char* dir) {
  static const char* const kNames[] = {"index.htm", "index.html", "welcome.htm", "welcome.html"};
  std::string chosen = std::string(dir) + "\\" + kNames[0];
  for (const char* name : kNames) {
    std::string candidate = std::string(dir) + "\\" + name;
    if (PathExists(candidate.c_str())) {
      chosen = candidate;
      break;
    }
  }
  if (chosen.size() > 259) chosen.resize(259);
  return String(chosen.c_str());
}

String ClipboardUrlToPath(const char* text, const char* baseDir) {
  static const char kFile[] = "file:///";
  static const char kLoopback[] = "http://127.0.0.1/";
  if (strncmp(text, kFile, strlen(kFile)) == 0) return UrlToFileString(text + strlen("file://"));
  if (strncmp(text, kLoopback, strlen(kLoopback)) != 0) return String("");
  const char* urlPath = text + strlen(kLoopback) - 1;
  if (*baseDir) return JoinBase(baseDir, urlPath);
  return UrlToFileString(urlPath);
}

int RunInfoDropTarget(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (arg[0] != '/' && arg[0] != '-') continue;
    char letter = arg[1];
    if (letter == 'K' || letter == 'k') keywordsOnly = true;
    if (letter == 'W' || letter == 'w') {
      clipboardViewer = true;
      baseDir = arg + 2;
    }
  }
  RunDialog(kMainDialog, InfoDialogProc);
  return 0;
}
