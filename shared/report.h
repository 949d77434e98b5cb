// Messages of the console site tools: each goes to standard error and, when
// the environment variable WEFTLOG names a file, is appended to that log,
// which collects the runs of many tools (each run's header names its program
// by the program file's base name). The run's highest severity becomes
// the program's exit code. Only the main thread reports: worker threads hand
// what they found back to it, which reports it in order.
#pragma once

#include <cstdarg>

// The first argument of every message: 0 continues the message before, 1000
// is a warning, 2000 an error (one output was not made), 3000 a fatal error.
// The severity of a code is code / 1000.
using ReportCode = int;

// The highest severity reported in this run (0 at start); each program that
// reports through this module ends with it as its exit code.
extern int MaxSeverity;

// Formats and reports one message; returns the number of characters written
// to standard error.
int Report(ReportCode code, const char* format, ...) __attribute__((format(printf, 2, 3)));
int VReport(ReportCode code, const char* format, va_list args);
// Report(code, "%s", text).
int ReportText(ReportCode code, const char* text);

// Closes the log file, if open; later messages of this run are not logged.
void CloseLog();

// For tests only: closes the log and returns the module to its state at
// program start (no title, no log attempt yet, MaxSeverity 0).
void ResetReportForTests();
