// Windows message boxes, also for programs without a window of their own.
// With WEFTDIALOGSCRIPT the box takes the next answer from that file; else,
// with an X display (DISPLAY), it is a modal window on the desktop; with
// neither it prints its caption and text on standard error and takes its
// default answer. WEFTDIALOGLOG names a transcript file to which every box
// appends what it showed and how it was answered.
//
// Script: one answer a line ("OK", "Cancel", "Abort", "Retry", "Ignore",
// "Yes", "No"; letter case ignored); empty lines and lines beginning with '#'
// are skipped. When the answers run out, or an answer is not one of the box's
// buttons, the default answer is taken.
#pragma once

#include <cstdint>

// Buttons (low four bits of the style).
constexpr uint32_t kMbOk = 0x0;  // also any value not listed here
constexpr uint32_t kMbOkCancel = 0x1;
constexpr uint32_t kMbAbortRetryIgnore = 0x2;
constexpr uint32_t kMbYesNoCancel = 0x3;
constexpr uint32_t kMbYesNo = 0x4;  // like Abort/Retry/Ignore: Esc does nothing
constexpr uint32_t kMbRetryCancel = 0x5;
// Icons.
constexpr uint32_t kMbIconError = 0x10;     // a white cross on red
constexpr uint32_t kMbIconQuestion = 0x20;  // "?" on blue
constexpr uint32_t kMbIconWarning = 0x30;  // exclamation
constexpr uint32_t kMbIconInformation = 0x40;  // "i" on blue
// Default button (the first one unless said).
constexpr uint32_t kMbDefaultButton2 = 0x100;
constexpr uint32_t kMbDefaultButton3 = 0x200;
// The box takes the focus from other programs' windows, and stays above them.
constexpr uint32_t kMbSetForeground = 0x10000;
constexpr uint32_t kMbTopmost = 0x40000;

// Answers.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;  // also Esc and the close box, where the box has Cancel
constexpr int kIdAbort = 3;
constexpr int kIdRetry = 4;
constexpr int kIdIgnore = 5;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

// Shows `text` under `caption` with the buttons and icon of `style`; returns
// the answer.
int ShowMessageBox(const char* text, const char* caption, uint32_t style);
