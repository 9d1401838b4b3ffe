#include "support/scratch.h"

#include <shlwapi.h>

#include <atomic>

#include "common/handles.h"

namespace testing_support {

ScratchFolder::ScratchFolder(const std::wstring& hint) {
  static std::atomic<int> counter{0};
  wchar_t temp[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH, temp);
  for (;;) {
    std::wstring candidate = std::wstring(temp) + hint + L"-" +
                             std::to_wstring(::GetCurrentProcessId()) + L"-" +
                             std::to_wstring(counter++);
    if (::CreateDirectoryW(candidate.c_str(), nullptr)) {
      path_ = candidate + L"\\";
      return;
    }
    if (::GetLastError() != ERROR_ALREADY_EXISTS) return;
  }
}

ScratchFolder::~ScratchFolder() {
  if (!path_.empty()) RemoveTree(path_);
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  common::UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) &&
         written == bytes.size();
}

std::string ReadFileBytes(const std::wstring& path) {
  common::UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
  if (!file) return {};
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  while (::ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0)
    bytes.append(buffer, read);
  return bytes;
}

bool CreateFolder(const std::wstring& path) { return ::CreateDirectoryW(path.c_str(), nullptr); }

void RemoveTree(const std::wstring& path) {
  std::wstring folder = path;
  if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  WIN32_FIND_DATAW entry{};
  common::UniqueFindHandle find(::FindFirstFileW((folder + L"\\*").c_str(), &entry));
  if (find) {
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = folder + L"\\" + name;
      ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(child);
      else
        ::DeleteFileW(child.c_str());
    } while (::FindNextFileW(find.get(), &entry));
  }
  find.reset();
  ::SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::RemoveDirectoryW(folder.c_str());
}

bool PathExists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

RegistryKeyReset::RegistryKeyReset(HKEY root, std::wstring subkey)
    : root_(root), subkey_(std::move(subkey)) {
  ::SHDeleteKeyW(root_, subkey_.c_str());
}

RegistryKeyReset::~RegistryKeyReset() { ::SHDeleteKeyW(root_, subkey_.c_str()); }

void SetRegistryString(HKEY root, const std::wstring& subkey, const std::wstring& name,
                       const std::wstring& text) {
  common::UniqueHKey key;
  ::RegCreateKeyExW(root, subkey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(),
                    nullptr);
  ::RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void SetRegistryDword(HKEY root, const std::wstring& subkey, const std::wstring& name,
                      DWORD value) {
  common::UniqueHKey key;
  ::RegCreateKeyExW(root, subkey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(),
                    nullptr);
  ::RegSetValueExW(key.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                   sizeof(value));
}

RawValue GetRegistryValue(HKEY root, const std::wstring& subkey, const std::wstring& name) {
  RawValue value;
  common::UniqueHKey key;
  if (::RegOpenKeyExW(root, subkey.c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
    return value;
  DWORD size = 0;
  if (::RegQueryValueExW(key.get(), name.c_str(), nullptr, &value.type, nullptr, &size) !=
      ERROR_SUCCESS) {
    value.type = REG_NONE;
    return value;
  }
  value.data.resize(size);
  ::RegQueryValueExW(key.get(), name.c_str(), nullptr, &value.type, value.data.data(), &size);
  return value;
}

std::wstring RawValue::text() const {
  std::wstring result(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
  while (!result.empty() && result.back() == L'\0') result.pop_back();
  return result;
}

}  // namespace testing_support

namespace testing_support {

int TakeFromRecycleBin(const std::wstring& name) {
  wchar_t data[MAX_PATH] = {};
  if (!::GetEnvironmentVariableW(L"XDG_DATA_HOME", data, MAX_PATH)) return -1;
  std::wstring trash = L"Z:" + std::wstring(data) + L"\\Trash\\";
  for (wchar_t& c : trash)
    if (c == L'/') c = L'\\';
  // The trash keeps the name, with a suffix when an item of that name is there already.
  int found = 0;
  WIN32_FIND_DATAW entry{};
  common::UniqueFindHandle find(::FindFirstFileW((trash + L"files\\" + name + L"*").c_str(), &entry));
  if (!find) return 0;
  do {
    const std::wstring trashed = entry.cFileName;
    if (trashed != name && trashed.rfind(name + L"-", 0) != 0) continue;
    ++found;
    const std::wstring path = trash + L"files\\" + trashed;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      RemoveTree(path);
    else
      ::DeleteFileW(path.c_str());
    ::DeleteFileW((trash + L"info\\" + trashed + L".trashinfo").c_str());
  } while (::FindNextFileW(find.get(), &entry));
  return found;
}

}  // namespace testing_support
