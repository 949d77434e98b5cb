// The Windows file calls: opening with text mode, deleting, making and
// removing folders, moving, copying and fresh temporary files, each with
// Windows rules over the host's POSIX file system.
//
// Every path argument is a Windows path ('C:\dir\file', 'dir/file',
// '\rooted', 'relative'); '/' and '\' are both separators. Drives come from
// the environment variable WEFTDRIVES ("C=/;D=/mnt/photos"; unset: "C=/").
// A call that fails records why, for LastErrorText and LastErrorCode
// (errors.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

// fopen with Windows rules. Mode as in C ("r", "rb", "w", "a+", "rt", ...);
// without 'b' reading is text mode: a CR before an LF is dropped (tell and
// seek stay consistent within the stream). Writing never adds CR. Opening a
// directory or anything but a regular file fails; creating a file whose name
// exists in another letter case reuses the existing name; a read-only file
// cannot be opened for writing.
FILE* OpenFile(const char* path, const char* mode);

// A regular file opened for reading by the system's own calls (such as
// TransmitFile, which sends it over a socket), with its size: never a
// directory, a FIFO or a device. kInvalidFile when it cannot be opened.
using FileHandle = int;
constexpr FileHandle kInvalidFile = -1;
FileHandle OpenFileHandle(const char* path, uint64_t* size);
void CloseFileHandle(FileHandle file);
// Reads `size` bytes from `offset`; false when they cannot all be read.
bool ReadFileHandle(FileHandle file, uint64_t offset, char* buffer, size_t size);

// Read a whole file into `text` (binary). False when it cannot be read.
bool ReadWholeFile(const char* path, std::string* text);
// The lines of a text read whole: split at LF, a CR at a line's end dropped; a
// last line without LF counts, an LF at the end starts no further line.
std::vector<std::string> TextLines(const std::string& text);

bool DeleteFile(const char* path);  // fails on a read-only file or a directory
bool CreateDir(const char* path);
bool RemoveDir(const char* path);  // empty directories only
// Removes a folder with everything below it, never through a symbolic link:
// a link below it goes itself, never what it shows. A read-only file stays,
// and so does every folder above one that stays; `refused` is told each
// with its full Windows path and why. False when anything stayed, or when
// the folder cannot be read.
using TreeRefusal = std::function<void(const std::string& path, const std::string& why)>;
bool RemoveTree(const char* path, const TreeRefusal& refused);

// Moves or renames; fails when the target exists unless `replace` is set
// (a read-only target is never replaced). Within one device the rename is one
// step; across devices the file is copied, then the source removed.
bool MoveFile(const char* from, const char* to, bool replace = false);
bool CopyFile(const char* from, const char* to, bool failIfExists);

// A fresh, not yet existing file name "<dir>\<prefix>XXXX.tmp", created empty
// and readable by its owner only. Returns false when none can be made.
bool MakeTempFile(const char* dir, const char* prefix, std::string* path);
