// Message boxes without a window: standard error and default answers, the
// answer script and the transcript.
#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/env.h"
#include "platform/testing/test_support.h"

namespace {

class MessageBoxTest : public ::testing::Test {
 protected:
  MessageBoxTest() {
    SetEnv("WEFTDIALOGSCRIPT", nullptr);
    SetEnv("WEFTDIALOGLOG", nullptr);
    SetEnv("DISPLAY", nullptr);  // no desktop: boxes print
  }
  ~MessageBoxTest() override {
    SetEnv("WEFTDIALOGSCRIPT", nullptr);
    SetEnv("WEFTDIALOGLOG", nullptr);
  }
  TempDrive drive_;
};

TEST_F(MessageBoxTest, WithoutScriptPrintsAndTakesTheDefault) {
  struct Case {
    uint32_t style;
    int answer;
  } cases[] = {
      {kMbOk | kMbIconInformation, kIdOk},
      {kMbOkCancel, kIdOk},
      {kMbYesNo | kMbDefaultButton2, kIdNo},
      {kMbYesNoCancel | kMbDefaultButton3, kIdCancel},
      {kMbRetryCancel | kMbDefaultButton3, kIdRetry},  // no third button
      {kMbAbortRetryIgnore | kMbDefaultButton2, kIdRetry},
  };
  for (const Case& c : cases) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(ShowMessageBox("Line one\nLine two", "Caption", c.style), c.answer);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Caption\nLine one\nLine two\n");
  }
}

TEST_F(MessageBoxTest, ScriptAnswersInTurnAndTranscript) {
  drive_.Write("answers.txt", "# answers\nno\n\nYES\nCancel\nretry\n");
  SetEnv("WEFTDIALOGSCRIPT", "C:\\answers.txt");
  SetEnv("WEFTDIALOGLOG", "C:\\dialog.log");
  testing::internal::CaptureStderr();
  EXPECT_EQ(ShowMessageBox("Replace?", "First", kMbYesNo | kMbIconQuestion), kIdNo);
  EXPECT_EQ(ShowMessageBox("Again?", "Second", kMbYesNoCancel), kIdYes);
  EXPECT_EQ(ShowMessageBox("Done.", "Third", kMbOk | kMbIconWarning), kIdOk);  // not a button
  EXPECT_EQ(ShowMessageBox("Try?", "Fourth", kMbRetryCancel | kMbIconError), kIdRetry);
  EXPECT_EQ(ShowMessageBox("Out of answers", "Fifth", kMbOkCancel | kMbDefaultButton2),
            kIdCancel);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(drive_.Read("dialog.log"),
            "MessageBox \"First\" icon=question buttons=Yes No\nReplace?\nAnswer: No\n"
            "MessageBox \"Second\" icon=none buttons=Yes No Cancel\nAgain?\nAnswer: Yes\n"
            "MessageBox \"Third\" icon=warning buttons=OK\nDone.\nAnswer: OK\n"
            "MessageBox \"Fourth\" icon=error buttons=Retry Cancel\nTry?\nAnswer: Retry\n"
            "MessageBox \"Fifth\" icon=none buttons=OK Cancel\nOut of answers\nAnswer: Cancel\n");
}

TEST_F(MessageBoxTest, ADisplayThatCannotBeOpenedPrints) {
  SetEnv("DISPLAY", ":65000");
  testing::internal::CaptureStderr();
  EXPECT_EQ(ShowMessageBox("Text", "Caption", kMbYesNo | kMbDefaultButton2), kIdNo);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Caption\nText\n");
}

TEST_F(MessageBoxTest, TranscriptWithoutScriptStillPrints) {
  SetEnv("WEFTDIALOGLOG", "C:\\dialog.log");
  testing::internal::CaptureStderr();
  EXPECT_EQ(ShowMessageBox("Text", "Caption", kMbOk | kMbIconInformation), kIdOk);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Caption\nText\n");
  EXPECT_EQ(drive_.Read("dialog.log"),
            "MessageBox \"Caption\" icon=information buttons=OK\nText\nAnswer: OK\n");
}

}  // namespace
