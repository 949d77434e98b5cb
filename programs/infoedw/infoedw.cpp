// infoedw: shows a page's title, sort order, forwarding URL, description and
// keywords in a dialog and writes the page when OK changed something; the
// typed text is stored in the page's own code page.
#include "programs/infoedw/infoedw.h"

#include <cstring>

#include "pagehead/html_file.h"
#include "pagehead/page_name.h"
#include "platform/dialog.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "shared/paths.h"
#include "shared/string.h"

namespace {

HTMLFile file;

enum { kIdTitle = 101, kIdDescription = 102, kIdSortOrder = 103, kIdForward = 104,
       kIdKeywords = 105, kIdHelp = 9 };

const DialogSpec kEditInfoDialog = {
    "",
    {{-1, ControlKind::kStatic, "&Title:", 8, 13, 52, 8},
     {kIdTitle, ControlKind::kEdit, "", 60, 9, 116, 12, false, 255},
     {-1, ControlKind::kStatic, "&Sort Order:", 8, 34, 52, 8},
     {kIdSortOrder, ControlKind::kNumberEdit, "", 60, 30, 40, 12, false, 9},
     {-1, ControlKind::kStatic, "&Forward URL:", 8, 56, 52, 8},
     {kIdForward, ControlKind::kEdit, "", 60, 52, 116, 12, false, 511},
     {-1, ControlKind::kStatic, "&Description:", 8, 78, 52, 8},
     {kIdDescription, ControlKind::kMultiLineEdit, "", 60, 73, 176, 36, false, 511},
     {-1, ControlKind::kStatic, "&Keywords:", 8, 124, 52, 8},
     {kIdKeywords, ControlKind::kMultiLineEdit, "", 60, 120, 176, 36, false, 1023},
     {kIdOk, ControlKind::kButton, "OK", 186, 6, 50, 14},
     {kIdCancel, ControlKind::kButton, "Cancel", 186, 26, 50, 14},
     {kIdHelp, ControlKind::kButton, "Help", 186, 46, 50, 14, true}},
    false,
    false,
    true};

struct Field {
  int id;
  size_t size;  // the field's buffer: at most size - 1 characters are read
  String (HTMLFile::*get)() const;
  bool (HTMLFile::*set)(const char*);
};

const Field kFields[] = {
    {kIdTitle, 256, &HTMLFile::Title, &HTMLFile::SetTitle},
    {kIdDescription, 512, &HTMLFile::Description, &HTMLFile::SetDescription},
    {kIdSortOrder, 10, &HTMLFile::SortOrder, &HTMLFile::SetSortOrder},
    {kIdForward, 512, &HTMLFile::Forward, &HTMLFile::SetForward},
    {kIdKeywords, 1024, &HTMLFile::Keywords, &HTMLFile::SetKeywords},
};

// OK: every field whose text differs from the page's value is stored.
bool StoreChangedFields(const Dialog& dialog) {
  bool stored = false;
  char buffer[1024];
  for (const Field& field : kFields) {
    GetItemText(dialog, field.id, buffer, field.size);
    if (strcmp(buffer, (file.*field.get)().Text()) == 0) continue;
    (file.*field.set)(buffer);
    stored = true;
  }
  return stored;
}

void EditInfoDialogProc(Dialog& dialog, const DialogEvent& event) {
  if (event.kind == DialogEvent::kInit) {
    dialog.SetCaption(BaseName(file.InputName()));
    // The fields speak the page's code page: a windows-1252 head stays so.
    dialog.SetFieldCodePage(file.HeadCodePage());
    for (const Field& field : kFields) dialog.SetItemText(field.id, (file.*field.get)().Text());
    return;
  }
  if (event.kind != DialogEvent::kCommand || event.code != 0) return;
  if (event.id == kIdCancel) dialog.EndDialog(0);
  if (event.id == kIdOk) dialog.EndDialog(StoreChangedFields(dialog) ? 1 : 0);
}

// The page name: the argument cut to 260 characters, with the page ending.
String PageOf(const char* argument) {
  char cut[261];
  size_t length = strlen(argument) < 260 ? strlen(argument) : 260;
  memcpy(cut, argument, length);
  cut[length] = '\0';
  return PageNameString(cut);
}

}  // namespace

int EditFileInformationDialog(int argc, char** argv) {
  if (argc < 2) return 0;
  String page = PageOf(argv[1]);
  bool created = false;
  CreateMissingPage(page.Text(), &created);
  if (!file.Read(page.Text())) {
    ShowMessageBox(file.ErrorText(), "File Read Error", kMbOk | kMbIconError);
    if (created) DeleteFile(page.Text());
    return 1;
  }
  int result = RunDialog(kEditInfoDialog, EditInfoDialogProc);
  if (result != 1) {
    if (created) DeleteFile(page.Text());
    return result < 0 ? 1 : 0;
  }
  if (!file.Write()) {
    ShowMessageBox(file.ErrorText(), "File Write Error", kMbOk | kMbIconError);
    return 1;
  }
  return 0;
}
