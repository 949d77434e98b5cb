// infobulk: edit strings for title and description, a sort order and keyword
// operations typed into a dialog are applied to every dropped page, each in
// its own code page; one page dropped on empty fields fills them instead.
#include "programs/infobulk/infobulk.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "pagehead/dropped_page.h"
#include "pagehead/edit_string.h"
#include "pagehead/html_file.h"
#include "platform/attributes.h"
#include "platform/dialog.h"
#include "platform/message_box.h"
#include "shared/keywords.h"
#include "shared/paths.h"

namespace {

HTMLFile file;
bool keywordsOnly = false;
bool clipboardViewer = false;
std::string baseDir;

enum { kDialogId = 100, kIdClose = 1, kIdTitle = 101, kIdDescription = 102, kIdSortOrder = 103,
       kIdKeywords = 105, kIdClear = 106, kStatusTimer = 1 };

const DialogSpec kMainDialog = {
    "HTML Multi-File Info Editor 1.43",
    {{-1, ControlKind::kStatic, "&Title:", 8, 13, 52, 8},
     {kIdTitle, ControlKind::kEdit, "", 60, 9, 116, 12, false, 255},  // empty: kept as is
     {-1, ControlKind::kStatic, "&Sort Order:", 8, 34, 52, 8},
     {kIdSortOrder, ControlKind::kNumberEdit, "", 60, 30, 40, 12, false, 9},  // 0 clears it
     {-1, ControlKind::kStatic, "&Description:", 8, 57, 52, 8},
     {kIdDescription, ControlKind::kMultiLineEdit, "", 60, 52, 176, 36, false, 511},
     {-1, ControlKind::kStatic, "&Keywords:", 8, 103, 52, 8},
     {kIdKeywords, ControlKind::kMultiLineEdit, "", 60, 99, 176, 36, false, 1023},
     {kIdClose, ControlKind::kDefaultButton, "Close", 186, 6, 50, 14},
     {kIdClear, ControlKind::kButton, "&Clear", 186, 26, 50, 14}},  // empties the four fields
    true};

// What the four fields hold, as shown (UTF-8). Typing keeps each within its
// limit; a field filled from a windows-1252 page may hold more bytes of
// UTF-8, and is taken whole.
struct Fields {
  std::string title;
  std::string description;
  std::string sortOrder;
  std::string keywords;
  bool Empty() const { return title.empty() && description.empty() && sortOrder.empty() && keywords.empty(); }
};

void ReadFields(const Dialog& dialog, Fields* fields) {
  fields->title = dialog.ItemText(kIdTitle);
  fields->description = dialog.ItemText(kIdDescription);
  fields->sortOrder = dialog.ItemText(kIdSortOrder);
  fields->keywords = dialog.ItemText(kIdKeywords);
}

void FillFields(Dialog& dialog) {
  if (!keywordsOnly) {
    dialog.SetItemText(kIdTitle, ShownText(file, file.Title().Text()).Text());
    dialog.SetItemText(kIdDescription, ShownText(file, file.Description().Text()).Text());
    dialog.SetItemText(kIdSortOrder, file.SortOrder().Text());
  }
  dialog.SetItemText(kIdKeywords, ShownText(file, file.Keywords().Text()).Text());
}

// A field's edit string applied to the page's value: edited in UTF-8, as
// the field shows it, and stored in the page's code page; false when the
// page cannot hold the result (after its box).
bool SetEdited(bool (HTMLFile::*set)(const char*), const String& current, const std::string& edit,
               const char* path) {
  String edited = EditString(ShownText(file, current.Text()).Text(), edit.c_str(), path);
  String value;
  if (!PageText(file, edited.Text(), &value)) return false;
  (file.*set)(value.Text());
  return true;
}

// The fields' changes on the page read last; false when nothing changed or
// a value could not be stored.
bool EditPage(const Fields& fields, const char* path) {
  bool changed = false;
  // A typed field counts as a change even when the value stays the same.
  if (!fields.title.empty()) {
    if (!SetEdited(&HTMLFile::SetTitle, file.Title(), fields.title, path)) return false;
    changed = true;
  }
  if (!fields.description.empty()) {
    if (!SetEdited(&HTMLFile::SetDescription, file.Description(), fields.description, path)) return false;
    changed = true;
  }
  if (!fields.sortOrder.empty()) {
    changed |= file.SetSortOrder(fields.sortOrder[0] == '0' ? "" : fields.sortOrder.c_str());
  }
  if (!fields.keywords.empty()) {
    String list = ShownText(file, file.Keywords().Text());
    if (ApplyKeywordOps(list, fields.keywords.c_str())) {
      String stored;
      if (!PageText(file, list.Text(), &stored)) return false;
      file.SetKeywords(stored.Text());
      changed = true;
    }
  }
  return changed;
}

// 1 page written, 0 nothing done, -1 fields filled from the page.
int ApplyToFile(Dialog& dialog, const char* path, size_t count, bool confirm) {
  dialog.SetCaption(BaseName(path));
  if (!LoadFile(file, path)) return 0;
  Fields fields;
  ReadFields(dialog, &fields);
  if (fields.Empty()) {
    if (count != 1) return 0;
    FillFields(dialog);
    return -1;
  }
  if (confirm) {
    std::string question = std::string("Modify file information for file\n\"") + path + "\"?";
    uint32_t style = kMbYesNo | kMbIconQuestion | kMbTopmost | kMbSetForeground;
    if (dialog.MessageBox(question.c_str(), "INFOBULK", style) != kIdYes) {
      return 0;
    }
  }
  if (!EditPage(fields, path)) return 0;
  SaveFile(file);
  return 1;
}

void ShowStatus(Dialog& dialog, int n) {
  dialog.SetCaption(DropStatusText(n, keywordsOnly ? "Keywords loaded" : "File loaded").c_str());
  dialog.SetTimer(kStatusTimer, 2000);
}

void ReadClipboard(Dialog& dialog) {
  std::string text;
  if (!dialog.ClipboardText(&text)) return;
  String path = ClipboardUrlToPath(text.c_str(), baseDir.c_str());
  if (!path.Text() || !*path.Text() || !PathExists(path.Text())) return;
  if (!LoadFile(file, path.Text())) return;
  ShowStatus(dialog, ApplyToFile(dialog, path.Text(), 1, true));
}

// The help topic of a control (0 stands for the dialog itself); 0 when the
// help file has none for it.
int HelpTopic(int id) {
  static const int kTopics[][2] = {{kDialogId, 100}, {kIdTitle, 101}, {kIdSortOrder, 103},
                                   {kIdDescription, 102}, {kIdKeywords, 105}, {kIdClear, 106}};
  if (id == 0) id = kDialogId;
  for (const auto& topic : kTopics) {
    if (topic[0] == id) return topic[1];
  }
  return 0;
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
    case DialogEvent::kHelp:
      dialog.ShowHelp("infobulk.hlp", HelpTopic(event.id));
      return;
    case DialogEvent::kDestroy:
      dialog.KillTimer(kStatusTimer);
      if (clipboardViewer) dialog.LeaveClipboardViewers();
      return;
    case DialogEvent::kSize:
    case DialogEvent::kListRightClick:
      return;
  }
}

}  // namespace

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
  // A dialog that cannot be shown did nothing the user asked for.
  return RunDialog(kMainDialog, InfoDialogProc) < 0 ? 1 : 0;
}
