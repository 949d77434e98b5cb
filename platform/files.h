// The Windows view of the file system: drive-letter paths with '\', letter
// case ignored on lookup, file attributes, find-first/next listings and
// Windows file times, over the host's POSIX file system.
//
// Every path argument is a Windows path ('C:\dir\file', 'dir/file',
// '\rooted', 'relative'); '/' and '\' are both separators. Drives come from
// the environment variable WEFTDRIVES ("C=/;D=/mnt/photos"; unset: "C=/").
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// Paths are at most this long, terminator excluded (Windows MAX_PATH - 1).
constexpr int kMaxPath = 260;

// File attributes as Windows reports them.
constexpr uint32_t kAttrReadOnly = 0x01;
constexpr uint32_t kAttrHidden = 0x02;
constexpr uint32_t kAttrSystem = 0x04;
constexpr uint32_t kAttrDirectory = 0x10;
constexpr uint32_t kAttrArchive = 0x20;
constexpr uint32_t kAttrNormal = 0x80;
constexpr uint32_t kInvalidAttributes = 0xFFFFFFFFu;

// Windows file time: 100-nanosecond intervals since 1601-01-01 UTC.
using FileTime = uint64_t;

// Broken-down time, as Windows' SYSTEMTIME (month 1..12, dayOfWeek 0 = Sunday).
struct SystemTime {
  int year = 0, month = 0, dayOfWeek = 0, day = 0;
  int hour = 0, minute = 0, second = 0, milliseconds = 0;
};

// One entry of a listing.
struct FindData {
  uint32_t attributes = 0;
  uint64_t size = 0;
  FileTime creationTime = 0, accessTime = 0, writeTime = 0;
  char name[kMaxPath + 1] = {};
};

// --- Paths -----------------------------------------------------------------

// Full Windows path of `path` ('X:\...', '\' only, '.' and '..' resolved, never
// above the drive root) into `buffer` of `size` bytes. Returns the length, or 0
// when the path is on no mapped drive, is too long (over 260) or does not fit.
size_t GetFullPath(const char* path, char* buffer, size_t size);
std::string GetFullPathString(const char* path);  // empty on failure

// The current directory as a full Windows path. Returns the length or 0.
size_t GetCurrentDir(char* buffer, size_t size);
bool SetCurrentDir(const char* path);

// The host path of a Windows path, with each component looked up without
// regard to letter case (exact name first). Components that do not exist are
// kept as written, so the result can name a file to be created. False when the
// path is on no mapped drive.
bool HostPath(const char* path, std::string* host);

// The Windows path of a host path (on the drive whose folder is its longest
// prefix). False when it is on no mapped drive.
bool WindowsPath(const char* hostPath, std::string* path);

// --- Attributes and existence ------------------------------------------------

// Attributes of a file or directory, or kInvalidAttributes when it does not exist.
uint32_t GetAttributes(const char* path);
// Sets read-only, hidden and archive as given (directory bit ignored).
bool SetAttributes(const char* path, uint32_t attributes);
// The C library's access(path, 0): true when the file or directory exists.
bool PathExists(const char* path);

// Size and times of a file or directory; false when it does not exist.
bool GetFileInfo(const char* path, FindData* data);

// --- Listing ---------------------------------------------------------------

// find-first/next over the entries of one directory that match the last
// component of `pattern` (Windows wildcards, letter case ignored, "*.*" matches
// every name). Order: names compared byte by byte after ASCII upper-casing;
// "." and ".." first except at a drive root. Names Windows cannot hold are
// left out. FindFirst returns null when nothing matches.
struct FindState;
FindState* FindFirst(const char* pattern, FindData* data);
bool FindNext(FindState* state, FindData* data);
void FindClose(FindState* state);

// Windows wildcard match of one name (used by FindFirst; '*' and '?').
bool NameMatchesWildcard(const char* name, const char* pattern);

// --- Files -----------------------------------------------------------------

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

bool DeleteFile(const char* path);  // fails on a read-only file or a directory
bool CreateDir(const char* path);
bool RemoveDir(const char* path);  // empty directories only

// Moves or renames; fails when the target exists unless `replace` is set
// (a read-only target is never replaced). Within one device the rename is one
// step; across devices the file is copied, then the source removed.
bool MoveFile(const char* from, const char* to, bool replace = false);
bool CopyFile(const char* from, const char* to, bool failIfExists);

// A fresh, not yet existing file name "<dir>\<prefix>XXXX.tmp", created empty
// and readable by its owner only. Returns false when none can be made.
bool MakeTempFile(const char* dir, const char* prefix, std::string* path);

// The folder for temporary files as a full Windows path that this process
// and the programs it starts can write, never the current folder: TEMP, then
// TMP (when they name a writable folder), then the host's temporary folder
// (TMPDIR or /tmp) through the drive map. When no drive holds that folder it
// gets a drive of its own ('T:' or another free letter, added to WEFTDRIVES
// so that started programs see it too); call this before starting threads.
// Empty only when no letter is free.
std::string GetTempFolder();

// --- Times -----------------------------------------------------------------

// Null pointers leave a time unread or unchanged.
bool GetFileTimes(const char* path, FileTime* creation, FileTime* access, FileTime* write);
bool SetFileTimes(const char* path, const FileTime* creation, const FileTime* access,
                  const FileTime* write);

FileTime FileTimeNow();
FileTime UnixToFileTime(int64_t seconds, int64_t nanoseconds = 0);
int64_t FileTimeToUnix(FileTime time);  // whole seconds
// UTC <-> local time by the host's time zone (the TZ variable applies).
FileTime FileTimeToLocal(FileTime utc);
FileTime LocalToFileTime(FileTime local);
SystemTime FileTimeToSystem(FileTime time);
FileTime SystemToFileTime(const SystemTime& time);

// --- Errors ----------------------------------------------------------------

// Text of the last failure of a call above (for messages); empty when none.
const char* LastErrorText();
