// Scratch folders and files for tests, removed when the test ends.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

// A new folder under the temporary folder (with a trailing backslash), removed with
// everything in it when the object goes away.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::wstring& hint = L"qtest");
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::wstring& path() const { return path_; }
  // Full path of a name inside the folder.
  std::wstring operator/(const std::wstring& name) const { return path_ + name; }

 private:
  std::wstring path_;
};

// Writes bytes to a file (creating folders is the caller's business).
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
// The whole file, or nothing when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);
bool CreateFolder(const std::wstring& path);
// Removes a folder tree; attributes that would prevent it are cleared first.
void RemoveTree(const std::wstring& path);
bool PathExists(const std::wstring& path);

// The registry key is deleted (with its subkeys) now and again when the test ends.
class RegistryKeyReset {
 public:
  RegistryKeyReset(HKEY root, std::wstring subkey);
  ~RegistryKeyReset();
  RegistryKeyReset(const RegistryKeyReset&) = delete;
  RegistryKeyReset& operator=(const RegistryKeyReset&) = delete;

 private:
  HKEY root_;
  std::wstring subkey_;
};

// A REG_SZ value (created with its key); the text is stored as given, with its NUL.
void SetRegistryString(HKEY root, const std::wstring& subkey, const std::wstring& name,
                       const std::wstring& text);
void SetRegistryDword(HKEY root, const std::wstring& subkey, const std::wstring& name,
                      DWORD value);
// A value's type and raw bytes; type 0 and nothing when it is missing.
struct RawValue {
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
  bool exists() const { return type != REG_NONE || !data.empty(); }
  std::wstring text() const;  // REG_SZ data without the terminating NUL
};
RawValue GetRegistryValue(HKEY root, const std::wstring& subkey, const std::wstring& name);

}  // namespace testing_support

namespace testing_support {

// Under Wine the Recycle Bin is the desktop's trash under XDG_DATA_HOME (kept in the
// build tree by the test runner). Counts the trashed entries that came from an item
// of this name and removes them; -1 when the trash's place is unknown.
int TakeFromRecycleBin(const std::wstring& name);

}  // namespace testing_support
