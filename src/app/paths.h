// System locations, path text and the existence test.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace app {

// Attribute bits of FileExists' mask (the same values as the file attributes).
enum : uint16_t {
  kMatchHidden = 2,
  kMatchSystem = 4,
  kMatchDirectory = 16,
};

// The Windows folder as Windows returns it (no trailing backslash); "" on failure.
std::wstring GetWindowsFolder();

// The user's Startup folder from the Shell Folders key, with one trailing
// backslash, or "" when the value is missing or empty.
std::wstring GetStartupFolder();

// A new, empty, uniquely named "~tm" file in the temporary folder; "" on failure.
std::wstring MakeTempFileName();

// The path followed by one backslash: when its last character is not a backslash,
// the path with leading and trailing spaces removed, then "\". Empty gives "\".
std::wstring AddBackslash(const std::wstring& path);

// The extension of the last component including its dot, "" when it has none.
std::wstring GetExtension(const std::wstring& path);

// The last component of the path.
std::wstring GetFileName(const std::wstring& path);

// Removes one trailing backslash from path itself, then returns the text after the
// last backslash (the whole text when there is none).
std::wstring LastPathComponent(std::wstring& path);

// The short (8.3) form of an existing path; "" when the system cannot give one.
std::wstring GetShortPath(const std::wstring& path);

// True when the file system holds an entry matching path (wildcards allowed) among
// normal files and, where mask has the bit, hidden, system and directory entries.
// An empty path, or one that cannot be examined, gives false. A path ending in a
// backslash is true, with the directory bit, for an existing folder; without it,
// for a folder holding a matching file. Works at any path length.
bool FileExists(const std::wstring& path, uint16_t mask);

// The path in the form the file functions accept at any length ("\\?\" for long
// absolute paths).
std::wstring LongPathForm(const std::wstring& path);

// The folder of the running executable, with one trailing backslash.
std::wstring GetProgramFolder();

}  // namespace app
