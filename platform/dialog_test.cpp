// The scripted dialog back end: each step reaches the handler, the
// transcript shows what the dialog showed, and without a script nothing runs.
#include "platform/dialog.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/env.h"
#include "platform/message_box.h"
#include "platform/testing/test_support.h"

namespace {

// A handler that reports every event in the dialog's caption.
void EchoHandler(Dialog& dialog, const DialogEvent& event) {
  std::string text;
  switch (event.kind) {
    case DialogEvent::kInit:
      dialog.AddListEntry(5, "one");
      dialog.AddListEntry(5, "two");
      dialog.SetTimer(1, 3000);
      dialog.JoinClipboardViewers();
      return;
    case DialogEvent::kCommand:
      if (event.id == 9) return dialog.EndDialog(7);
      if (event.id == 3) {
        char field[4];
        text = std::string("field ") + GetItemText(dialog, 4, field, sizeof field);
        break;
      }
      if (event.id == 6) {
        int answer = dialog.MessageBox("Sure?", "ASK", kMbYesNo | kMbIconQuestion);
        text = answer == kIdYes ? "yes" : "no";
        break;
      }
      text = "command " + std::to_string(event.id) + " code " + std::to_string(event.code);
      break;
    case DialogEvent::kTimer:
      dialog.KillTimer(event.id);
      text = "timer " + std::to_string(event.id);
      break;
    case DialogEvent::kDropFiles:
      text = "drop";
      for (const std::string& file : event.files) text += " [" + file + "]";
      break;
    case DialogEvent::kClipboardChange:
      dialog.ClipboardText(&text);
      text = "clipboard " + text;
      break;
    case DialogEvent::kSize:
      dialog.MoveControl(5, 1, 2, event.width - 10, event.height - 20);
      return;
    case DialogEvent::kListRightClick:
      if (dialog.TipShown()) return dialog.HideTip();
      return dialog.ShowTip(event.id, event.index, "one\ntwo");
    case DialogEvent::kHelp:
      return dialog.ShowHelp("echo.hlp", event.id);
    case DialogEvent::kDestroy:
      return;
  }
  dialog.SetCaption(text.c_str());
}

const DialogSpec kSpec = {"Echo",
                          {{-1, ControlKind::kStatic, "&Name:", 0, 0, 10, 10},
                           {4, ControlKind::kEdit, "", 0, 0, 10, 10},
                           {3, ControlKind::kButton, "Read", 0, 0, 10, 10},
                           {5, ControlKind::kListBox, "", 0, 0, 10, 10},
                           {6, ControlKind::kButton, "Ask", 0, 0, 10, 10},
                           {8, ControlKind::kButton, "Off", 0, 0, 10, 10, true},
                           {9, ControlKind::kDefaultButton, "End", 0, 0, 10, 10}},
                          true};

class DialogTest : public ::testing::Test {
 protected:
  ~DialogTest() override {
    SetEnv("WEFTDIALOGSCRIPT", nullptr);
    SetEnv("WEFTDIALOGLOG", nullptr);
  }
  int Run(const std::string& script) {
    drive_.Write("script.txt", script);
    SetEnv("WEFTDIALOGSCRIPT", drive_.Win("script.txt").c_str());
    SetEnv("WEFTDIALOGLOG", drive_.Win("log.txt").c_str());
    return RunDialog(kSpec, EchoHandler);
  }
  std::string Log() { return drive_.Read("log.txt"); }
  TempDrive drive_;
};

TEST_F(DialogTest, StepsReachTheHandlerAndTheTranscriptShowsThem) {
  int result = Run(
      "# a comment\n"
      "set 4 abcdef\\tx\n"
      "click 3\n"
      "select 5 1\n"
      "timer\n"
      "timer\n"
      "drop C:\\a.htm|C:\\b c.jpg\n"
      "clipboard file:///C:/a.htm\n"
      "click 8\n"
      "answer no\n"
      "click 6\n"
      "click 6\n"
      "show\n"
      "click 9\n"
      "click 3\n");
  EXPECT_EQ(result, 7);
  EXPECT_EQ(Log(),
            "Dialog \"Echo\"\n"
            "> set 4 abcdef\\tx\n"
            "> click 3\nCaption: field abc\n"
            "> select 5 1\nCaption: command 5 code 1\n"
            "> timer\nCaption: timer 1\n"
            "> timer\n(no timer)\n"
            "> drop C:\\a.htm|C:\\b c.jpg\nCaption: drop [C:\\a.htm] [C:\\b c.jpg]\n"
            "> clipboard file:///C:/a.htm\nCaption: clipboard file:///C:/a.htm\n"
            "> click 8\n(no button 8)\n"
            "> answer no\n"
            "> click 6\nMessageBox \"ASK\" icon=question buttons=Yes No\nSure?\nAnswer: No\n"
            "Caption: no\n"
            "> click 6\nMessageBox \"ASK\" icon=question buttons=Yes No\nSure?\nAnswer: Yes\n"
            "Caption: yes\n"
            "> show\n  4: abcdef\\tx\n  3: Read\n  5:\n    [ ] one\n    [x] two\n  6: Ask\n"
            "  8: Off\n  9: End\n"
            "> click 9\nEndDialog 7\n");
}

// Layout in dialog units, resizing within the minimum size, the pop-up tip
// and help requests.
void LayoutHandler(Dialog& dialog, const DialogEvent& event) {
  if (event.kind == DialogEvent::kInit) {
    dialog.AddListEntry(5, "one");
    std::string units = std::to_string(dialog.DialogUnitsX(68)) + " " +
                        std::to_string(dialog.DialogUnitsY(16)) + " " +
                        std::to_string(dialog.DialogUnitsY(66)) + " " +
                        std::to_string(dialog.DialogUnitsY(6)) + " " +
                        std::to_string(dialog.TextWidth(" Beach "));
    dialog.SetCaption(units.c_str());
    dialog.SetListColumnWidth(5, 57);
    dialog.SetMinimumWindowSize(134, 134);
    dialog.SetWindowSize(158, 134);
    return;
  }
  EchoHandler(dialog, event);
}

TEST_F(DialogTest, LayoutResizingTipsAndHelp) {
  drive_.Write("script.txt",
               "resize 300 200\nresize 10 10\nrightclick 5 0\nrightclick 5 0\n"
               "rightclick 5 7\nclick 3\nhelp 4\n");
  SetEnv("WEFTDIALOGSCRIPT", drive_.Win("script.txt").c_str());
  SetEnv("WEFTDIALOGLOG", drive_.Win("log.txt").c_str());
  RunDialog(kSpec, LayoutHandler);
  EXPECT_EQ(Log(),
            "Dialog \"Echo\"\nCaption: 102 26 107 10 42\n"
            "Column width 5: 57\nMinimum 134x134\nWindow 158x134\nMove 5: 1,2 140x87\n"
            "> resize 300 200\nMove 5: 1,2 290x180\n"
            "> resize 10 10\nMove 5: 1,2 116x87\n"
            "> rightclick 5 0\nTip 5 0: one\\ntwo\n"
            "> rightclick 5 0\nTip hidden\n"
            "> rightclick 5 7\nTip 5 -1: one\\ntwo\n"
            "> click 3\nTip hidden\nCaption: field \n"
            "> help 4\nHelp echo.hlp topic 4\n"
            "Caption: command 2 code 0\nEndDialog 2\n");
}

// Fields in a code page: edit 11 takes five bytes, edit 12 any number;
// button 3 shows what the program reads back, button 13 switches to UTF-8.
const DialogSpec kFieldSpec = {"Fields",
                               {{11, ControlKind::kEdit, "", 0, 0, 10, 10, false, 5},
                                {12, ControlKind::kMultiLineEdit, "", 0, 0, 10, 10},
                                {3, ControlKind::kButton, "Read", 0, 0, 10, 10},
                                {13, ControlKind::kButton, "UTF-8", 0, 0, 10, 10}}};

void FieldHandler(Dialog& dialog, const DialogEvent& event) {
  if (event.kind == DialogEvent::kInit) {
    dialog.SetFieldCodePage(CodePage::kWindows1252);
    dialog.SetItemText(12, "Gr\xFC\xDF");
    return;
  }
  if (event.kind != DialogEvent::kCommand) return;
  if (event.id == 13) dialog.SetFieldCodePage(CodePage::kUtf8);
  if (event.id != 3) return;
  char cut[4];
  std::string text = dialog.ItemText(11) + "|" + dialog.ItemText(12) + "|" + GetItemText(dialog, 11, cut, 4);
  dialog.SetCaption(text.c_str());
}

TEST_F(DialogTest, TypedTextStaysWithinTheLimitAndTheCodePage) {
  drive_.Write("script.txt",
               "show\n"
               "set 11 f\xC3\xBCr \xC5\x91 und\n"   // für ő und: ő has no windows-1252 form
               "click 3\n"
               "click 13\n"
               "set 11 \xC3\xA9\xC3\xA9\xC3\xA9\n"  // ééé: two fit in five bytes of UTF-8
               "set 12 \xC5\x91\n"
               "click 3\n");
  SetEnv("WEFTDIALOGSCRIPT", drive_.Win("script.txt").c_str());
  SetEnv("WEFTDIALOGLOG", drive_.Win("log.txt").c_str());
  RunDialog(kFieldSpec, FieldHandler);
  EXPECT_EQ(Log(),
            "Dialog \"Fields\"\n"
            "> show\n  11: \n  12: Gr\xC3\xBC\xC3\x9F\n  3: Read\n  13: UTF-8\n"
            "> set 11 f\xC3\xBCr \xC5\x91 und\n"
            "MessageBox \"Fields\" icon=warning buttons=OK\n"
            "The letter \"\xC5\x91\" cannot be typed here: this text is kept in the windows-1252 "
            "code page, which has no such letter.\nAnswer: OK\n"
            "(field 11 is full)\n"
            "> click 3\nCaption: f\xFCr  |Gr\xFC\xDF|f\xFCr\n"
            "> click 13\n"
            "> set 11 \xC3\xA9\xC3\xA9\xC3\xA9\n(field 11 is full)\n"
            "> set 12 \xC5\x91\n"
            "> click 3\nCaption: \xC3\xA9\xC3\xA9|\xC5\x91|\xC3\xA9\n"
            "EndDialog 2\n");
}

TEST(FieldTakes, WholeLettersWithinTheLimitNoneWithoutAForm) {
  const std::string e = "\xC3\xA9";
  std::string typed;
  for (int i = 0; i < 150; ++i) typed += e;
  struct Case {
    std::string kept, typed;
    int limit;
    CodePage page;
    size_t taken;
    std::string missing;
  } const cases[] = {
      {"", typed, 255, CodePage::kUtf8, 254, ""},         // 127 letters, no half one
      {"", typed, 255, CodePage::kWindows1252, 300, ""},  // 150 bytes in windows-1252
      {"", typed, 0, CodePage::kUtf8, 300, ""},
      {"abc", "de", 4, CodePage::kUtf8, 1, ""},
      {"abcd", "e", 4, CodePage::kUtf8, 0, ""},
      {"abcde", "f", 4, CodePage::kUtf8, 0, ""},         // already past the limit
      {"ab\xC3\xBC", "\xE2\x82\xAC", 4, CodePage::kWindows1252, 3, ""},  // € is one byte there
      {"", "a\xC5\x91" "b", 10, CodePage::kWindows1252, 0, "\xC5\x91"},
      {"", "a\xC5\x91" "b", 10, CodePage::kUtf8, 4, ""},
  };
  for (const Case& c : cases) {
    TypedText takes = FieldTakes(c.kept, c.typed, c.limit, c.page);
    EXPECT_EQ(takes.taken, c.taken) << c.kept << " + " << c.typed;
    EXPECT_EQ(takes.missing, c.missing) << c.kept << " + " << c.typed;
  }
}

TEST_F(DialogTest, TheEndOfTheScriptClosesTheWindowAsCancel) {
  EXPECT_EQ(Run("close\n"), 2);
  EXPECT_EQ(Log(), "Dialog \"Echo\"\n> close\nCaption: command 2 code 0\n"
            "Caption: command 2 code 0\nEndDialog 2\n");
  drive_.Write("log.txt", "");
  EXPECT_EQ(Run(""), 2);
  EXPECT_EQ(Log(), "Dialog \"Echo\"\nCaption: command 2 code 0\nEndDialog 2\n");
}

TEST_F(DialogTest, WithoutAScriptTheDialogCannotBeShown) {
  SetEnv("WEFTDIALOGSCRIPT", nullptr);
  SetEnv("DISPLAY", nullptr);
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunDialog(kSpec, EchoHandler), -1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Echo: no display to show the dialog on\n");
}

}  // namespace
