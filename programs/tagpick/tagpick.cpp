// tagpick: the user selects keywords in a list read from a file (headings,
// descriptions as tips, operation lines that extend the selection) and drops
// pages, images or folders on the dialog; each page gets the selected
// keywords. One page dropped with nothing selected shows its keywords.
#include "programs/tagpick/tagpick.h"

#include <algorithm>
#include <string>
#include <vector>

#include "pagehead/dropped_page.h"
#include "pagehead/html_file.h"
#include "platform/attributes.h"
#include "platform/dialog.h"
#include "platform/message_box.h"
#include "programs/tagpick/keyword_file.h"
#include "shared/keywords.h"
#include "shared/paths.h"

namespace {

HTMLFile file;
KeywordFile keywordFile;
bool headings = false;
bool clipboardViewer = false;
std::string baseDir;

enum { kIdCopy = 1, kIdClose = 2, kIdList = 101, kIdClear = 102, kStatusTimer = 1 };

// Dialog units: the button column right of the list, the smallest window.
constexpr int kButtonAreaWidth = 68, kButtonAreaHeight = 16;
constexpr int kButtonsFromRight = 54, kButtonWidth = 50, kButtonHeight = 14;
constexpr int kListX = 8, kListY = 8;
constexpr int kMinimumWidth = 84, kMinimumHeight = 66;
constexpr int kButtonTops[] = {6, 26, 46};  // Close, Clear, Copy

const DialogSpec kKeywordDialog = {"Keyword List Creator 1.34",
                                   {{kIdList, ControlKind::kListBox, "", kListX, kListY, 172, 104},
                                    {kIdClose, ControlKind::kDefaultButton, "Close", 186, 6, 50, 14},
                                    {kIdClear, ControlKind::kButton, "C&lear", 186, 26, 50, 14},
                                    {kIdCopy, ControlKind::kButton, "&Copy", 186, 46, 50, 14}},
                                   true,
                                   true,
                                   false,
                                   240,
                                   120};

const char kPrompt[] = "Drop HTML Files Here to Add Selected Keywords";

// The dialog's own captions; its window is wide enough for its title bar to
// show each whole (a window manager cuts a longer one in the middle).
const char* const kCaptions[] = {kKeywordDialog.caption, kPrompt, "No files were modified",
                                 "1 file was modified", "Keywords loaded"};

const char* SkipBlanks(const char* text) {
  while (*text == ' ') ++text;
  return text;
}

// In headings mode the unindented entries are headings.
bool IsHeading(int index) { return headings && keywordFile.Keyword(index).Text()[0] != ' '; }

// Selects the entry of every keyword of the list text; deselects nothing.
void SelectKeywords(Dialog& dialog, const char* text) {
  const char* cursor = text ? text : "";
  for (String item = NextKeyword(cursor); !item.IsNull(); item = NextKeyword(cursor)) {
    for (int i = 0; i < keywordFile.KeywordCount(); ++i) {
      if (IsHeading(i) || CompareNoCase(SkipBlanks(keywordFile.Keyword(i).Text()), item.Text()) != 0) {
        continue;
      }
      dialog.SetListSelected(kIdList, i, true);
      break;
    }
  }
}

// The selected keywords joined by ", ", with the operation lines applied
// (whose added keywords get selected too); selected headings are deselected.
String SelectionString(Dialog& dialog) {
  std::string joined;
  for (int i = 0; i < dialog.ListCount(kIdList) && i < kMaxKeywords; ++i) {
    if (!dialog.ListSelected(kIdList, i)) continue;
    if (IsHeading(i)) {
      dialog.SetListSelected(kIdList, i, false);
      continue;
    }
    if (!joined.empty()) joined += ", ";
    joined += SkipBlanks(keywordFile.Keyword(i).Text());
  }
  String selection(joined.c_str());
  bool changed = false;
  for (int i = 0; i < keywordFile.OperationCount(); ++i) {
    changed |= ApplyKeywordOps(selection, keywordFile.Operation(i).Text());
  }
  if (changed) SelectKeywords(dialog, selection.Text());
  return selection;
}

bool IsEmpty(const String& text) { return !text.Text() || !*text.Text(); }

// Adds the selection to the page read last, in the page's code page; true
// when its keywords changed (the page is then saved, also when saving fails
// after its message box). A windows-1252 page that cannot hold a selected
// keyword is left alone after a message box.
bool AddSelection(const String& selection) {
  String list = ShownText(file, file.Keywords().Text());
  if (!ApplyKeywordOps(list, selection.Text())) return false;
  String stored;
  if (!PageText(file, list.Text(), &stored)) return false;
  file.SetKeywords(stored.Text());
  SaveFile(file);
  return true;
}

// The page's keywords selected, as the list shows them (UTF-8).
void SelectPageKeywords(Dialog& dialog) {
  SelectKeywords(dialog, ShownText(file, file.Keywords().Text()).Text());
}

void ShowStatus(Dialog& dialog, const std::string& text) {
  dialog.SetCaption(text.c_str());
  dialog.SetTimer(kStatusTimer, 2000);
}

void DropFiles(Dialog& dialog, const std::vector<std::string>& items) {
  dialog.KillTimer(kStatusTimer);
  int count = 0;
  for (const std::string& item : items) {
    dialog.SetCaption(BaseName(item.c_str()));
    if (!LoadFile(file, item.c_str())) continue;
    String selection = SelectionString(dialog);
    if (!IsEmpty(selection)) {
      if (AddSelection(selection)) ++count;
    } else if (items.size() == 1) {
      SelectPageKeywords(dialog);
      count = -1;
    }
  }
  ShowStatus(dialog, DropStatusText(count, "Keywords loaded"));
}

void AskAndAddSelection(Dialog& dialog, const char* path, const String& selection) {
  std::string question = std::string("Add selected keywords to file\n\"") + path + "\"?";
  uintptr_t previous = dialog.ForegroundWindow();
  int answer = dialog.MessageBox(question.c_str(), "TAGPICK",
                                 kMbYesNo | kMbIconQuestion | kMbTopmost | kMbSetForeground);
  bool modified = answer == kIdYes && AddSelection(selection);
  dialog.SetForegroundWindow(previous);
  dialog.SetCaption(modified ? "1 file was modified" : "No files were modified");
}

void AddKeywordsFromClipboard(Dialog& dialog) {
  std::string text;
  if (!dialog.ClipboardText(&text)) return;
  String path = ClipboardUrlToPath(text.c_str(), baseDir.c_str());
  if (IsEmpty(path) || !PathExists(path.Text())) return;
  if (!LoadFile(file, path.Text())) return;
  String selection = SelectionString(dialog);
  if (IsEmpty(selection)) {
    SelectPageKeywords(dialog);
    dialog.SetCaption("Keywords loaded");
  } else {
    AskAndAddSelection(dialog, path.Text(), selection);
  }
  dialog.SetTimer(kStatusTimer, 2000);
}

int WindowWidthOf(const Dialog& dialog, int clientWidth) {
  return clientWidth + dialog.Metrics().windowExtraWidth;
}
int WindowHeightOf(const Dialog& dialog, int clientHeight) {
  return clientHeight + dialog.Metrics().windowExtraHeight;
}

// The smallest window: room for the list and the buttons, and for the
// captions.
int MinimumWindowWidth(const Dialog& dialog) {
  int width = WindowWidthOf(dialog, dialog.DialogUnitsX(kMinimumWidth));
  for (const char* caption : kCaptions) width = std::max(width, dialog.CaptionWidth(caption));
  return width;
}
int MinimumWindowHeight(const Dialog& dialog) {
  return WindowHeightOf(dialog, dialog.DialogUnitsY(kMinimumHeight));
}

// The list box sized to show every entry in one column, when the screen
// has room for that; else the dialog keeps its size and the list scrolls.
// Either way the window stays resizable.
void LayoutKeywordList(Dialog& dialog) {
  DialogMetrics metrics = dialog.Metrics();
  int itemWidth = 8 * metrics.averageCharWidth;
  int count = dialog.ListCount(kIdList);
  for (int i = 0; i < count; ++i) {
    itemWidth = std::max(itemWidth, dialog.TextWidth(dialog.ListEntry(kIdList, i).c_str()));
  }
  dialog.SetListColumnWidth(kIdList, itemWidth + 3 * metrics.averageCharWidth);
  int width = WindowWidthOf(dialog, itemWidth + 2 * metrics.dialogFrameWidth) +
              dialog.DialogUnitsX(kButtonAreaWidth);
  int height = WindowHeightOf(dialog, metrics.scrollBarHeight + dialog.ListItemHeight(kIdList) * count +
                                          2 * metrics.dialogFrameHeight) +
               dialog.DialogUnitsY(kButtonAreaHeight);
  width = std::max(width, MinimumWindowWidth(dialog));
  height = std::max(height, MinimumWindowHeight(dialog));
  if (width < metrics.workWidth - 2 * metrics.sizingFrameWidth &&
      height < metrics.workHeight - 2 * metrics.sizingFrameHeight) {
    dialog.SetWindowSize(width, height);
  }
}

// The list takes the client size but the button column; the buttons keep
// their distance from the right edge.
void MoveControls(Dialog& dialog, int width, int height) {
  dialog.MoveControl(kIdList, dialog.DialogUnitsX(kListX), dialog.DialogUnitsY(kListY),
                     width - dialog.DialogUnitsX(kButtonAreaWidth),
                     height - dialog.DialogUnitsY(kButtonAreaHeight));
  const int ids[] = {kIdClose, kIdClear, kIdCopy};
  for (int i = 0; i < 3; ++i) {
    dialog.MoveControl(ids[i], width - dialog.DialogUnitsX(kButtonsFromRight),
                       dialog.DialogUnitsY(kButtonTops[i]), dialog.DialogUnitsX(kButtonWidth),
                       dialog.DialogUnitsY(kButtonHeight));
  }
}

void InitDialog(Dialog& dialog) {
  for (int i = 0; i < keywordFile.KeywordCount(); ++i) {
    std::string entry = std::string(" ") + keywordFile.Keyword(i).Text() + " ";
    dialog.AddListEntry(kIdList, entry.c_str());
  }
  headings = keywordFile.HasIndentedKeywords();
  dialog.SetMinimumWindowSize(MinimumWindowWidth(dialog), MinimumWindowHeight(dialog));
  LayoutKeywordList(dialog);
  dialog.SetTimer(kStatusTimer, 3000);
  if (clipboardViewer) dialog.JoinClipboardViewers();
}

// The list box's own events: a right click shows the entry's description
// as a tip, or takes a shown tip away. (The dialog layer takes a tip away
// when the pointer leaves its entry, on a click or when the focus goes.)
void KeywordListProc(Dialog& dialog, int index) {
  if (dialog.TipShown()) return dialog.HideTip();
  if (index < 0 || index >= keywordFile.KeywordCount()) return;
  const String& description = keywordFile.Description(index);
  if (!IsEmpty(description)) dialog.ShowTip(kIdList, index, description.Text());
}

void Command(Dialog& dialog, const DialogEvent& event) {
  if (event.code == 1 && event.id == kIdList) {
    SelectionString(dialog);
    return;
  }
  if (event.code != 0) return;
  if (event.id == kIdClose) dialog.EndDialog(0);
  if (event.id == kIdCopy) SelectionString(dialog);
  if (event.id == kIdClear) {
    for (int i = 0; i < dialog.ListCount(kIdList); ++i) dialog.SetListSelected(kIdList, i, false);
  }
}

void KeywordDialogProc(Dialog& dialog, const DialogEvent& event) {
  switch (event.kind) {
    case DialogEvent::kInit: return InitDialog(dialog);
    case DialogEvent::kTimer:
      dialog.KillTimer(kStatusTimer);
      dialog.SetCaption(kPrompt);
      return;
    case DialogEvent::kCommand: return Command(dialog, event);
    case DialogEvent::kSize: return MoveControls(dialog, event.width, event.height);
    case DialogEvent::kListRightClick: return KeywordListProc(dialog, event.index);
    case DialogEvent::kDropFiles: return DropFiles(dialog, event.files);
    case DialogEvent::kClipboardChange:
      if (clipboardViewer) AddKeywordsFromClipboard(dialog);
      return;
    case DialogEvent::kDestroy:
      dialog.KillTimer(kStatusTimer);
      if (clipboardViewer) dialog.LeaveClipboardViewers();
      return;
    case DialogEvent::kHelp: return;
  }
}

// The keyword list, and the descriptions of a second list; false when the
// list holds no keyword.
bool LoadKeywordFiles(const std::vector<const char*>& names) {
  if (keywordFile.Read(names.empty() ? "tagpick.txt" : names[0]) == 0) return false;
  if (names.size() < 2) return true;
  KeywordFile descriptions;
  if (descriptions.Read(names[1]) > 0) keywordFile.MergeDescriptions(descriptions);
  return true;
}

}  // namespace

int RunKeywordPicker(int argc, char** argv) {
  std::vector<const char*> names(argv + 1, argv + argc);
  if (!names.empty() && names[0][0] == '/' && (names[0][1] == 'W' || names[0][1] == 'w')) {
    clipboardViewer = true;
    baseDir = names[0] + 2;
    names.erase(names.begin());
  }
  if (!LoadKeywordFiles(names)) return 0;
  return RunDialog(kKeywordDialog, KeywordDialogProc) < 0 ? 1 : 0;
}
