// The page of an item dropped or copied onto the drop-target editors: a
// folder stands for its index page and an image for its ".htm" page, which
// is created when missing; the page is read and saved with a message box on
// failure; its values go to the dialogs in UTF-8 and come back in the page's
// own code page. Also the local path of a copied URL and the status texts.
#pragma once

#include <string>

#include "pagehead/html_file.h"
#include "shared/string.h"

// The folder's index page: dir + "\" + the first index name that exists,
// else "index.htm" (cut to 259 characters).
String IndexFileName(const char* dir);

// Finds and reads the page of a dropped item into `file`, creating a missing
// page with the skeleton; false after the "File Read Error" box.
bool LoadFile(HTMLFile& file, const char* path);
// Writes `file` in place; false after the "File Write Error" box.
bool SaveFile(HTMLFile& file);

// A value of the page read last as the dialogs show and edit it: in UTF-8.
String ShownText(const HTMLFile& file, const char* value);
// A shown (UTF-8) text in the code page of the page read last, into `text`;
// false after the "File Write Error" box when a letter has no form there, so
// that a windows-1252 page never gets a letter it cannot hold.
bool PageText(const HTMLFile& file, const char* shown, String* text);

// The local path of a copied URL ("file:///..." or the loopback HTTP URL,
// whose path is taken below `baseDir` when that is not empty); empty when
// the text is not one.
String ClipboardUrlToPath(const char* text, const char* baseDir);

// The status text after a drop: "%u files were modified", "1 file was
// modified", "No files were modified", or `loadedText` for a count below 0.
std::string DropStatusText(int count, const char* loadedText);
