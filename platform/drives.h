// Drive letters over host folders: full Windows paths, the current
// directory, and the host path of a Windows path and back. Letter case is
// ignored on lookup.
//
// Every path argument is a Windows path ('C:\dir\file', 'dir/file',
// '\rooted', 'relative'); '/' and '\' are both separators. Drives come from
// the environment variable WEFTDRIVES ("C=/;D=/mnt/photos"; unset: "C=/").
#pragma once

#include <cstddef>
#include <string>

// Paths are at most this long, terminator excluded (Windows MAX_PATH - 1).
constexpr int kMaxPath = 260;

// Full Windows path of `path` ('X:\...', '\' only, '.' and '..' resolved, never
// above the drive root) into `buffer` of `size` bytes. Returns the length, or 0
// when the path is on no mapped drive, is too long (over 260) or does not fit.
size_t GetFullPath(const char* path, char* buffer, size_t size);
std::string GetFullPathString(const char* path);  // empty on failure

// The current directory as a full Windows path. Returns the length or 0.
// The layer asks the system for it once and keeps it until SetCurrentDir
// changes it, so that resolving a relative path costs no system call.
size_t GetCurrentDir(char* buffer, size_t size);
bool SetCurrentDir(const char* path);
// For code that changed the process's directory without SetCurrentDir (test
// helpers): the next lookup asks the system again.
void ForgetCurrentDir();

// The host path of a Windows path, with each component looked up without
// regard to letter case (exact name first). Components that do not exist are
// kept as written, so the result can name a file to be created. False when the
// path is on no mapped drive.
bool HostPath(const char* path, std::string* host);

// The Windows path of a host path (on the drive whose folder is its longest
// prefix). False when it is on no mapped drive.
bool WindowsPath(const char* hostPath, std::string* path);

// True when a Windows path names the host's root folder "/" (symbolic links
// resolved): the whole disk, every account's files.
bool IsHostRoot(const char* path);

// Where the last name of a Windows path as written starts: after its last
// '\', '/' or ':' (0 when it has none).
size_t NameStart(const std::string& path);
