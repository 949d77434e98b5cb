// The configuration reader: "weft.ini" in the icons directory, the one file
// its "configfile" key names, and named "[section]"s of other files. Every
// key other than "configfile" goes to the running program's key handler.
// It is read at start-up, before any worker thread runs.
#pragma once

// A program's handler for one configuration line: the key (lower-cased, not
// trimmed) and its value (not trimmed).
using ConfigKeyHandler = void (*)(const char* key, const char* value);

// Binds the running program's key handler; a program calls it once in main
// before reading any configuration. Null (the start state) drops the keys.
void SetConfigKeyHandler(ConfigKeyHandler handler);

// The yes/no value of an option value. With defaultValue true only "no",
// "false", "off" (any case) or "0" give false; with defaultValue false only
// "yes", "true", "on" (any case) or "1" give true. Null gives the default.
bool ParseBool(const char* text, bool defaultValue);

// Handles one line "key=value" (the line is modified in place): the key is
// lower-cased; "configfile" sets the chained file name (at most 127
// characters), any other key goes to the key handler. Lines without a key or
// a value are ignored.
void ConfigLine(char* line);

// Reads one file of "key=value" lines (each through ConfigLine): without a
// section, its lines before the first line that begins with '['; with one,
// the lines after the line "[section]" (name in any case) up to the next '['
// line. False when the file cannot be opened or the section is not there.
bool ReadConfigFile(const char* path, const char* section = nullptr);

// Reads "weft.ini" in the icons directory, then the chained file (relative
// to the current directory). True when at least one of them was read.
bool ReadConfig();

// Returns the reader to its start state (no handler, no chained file name);
// for tests that run several configurations in one process.
void ResetConfigReader();
