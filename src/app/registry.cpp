#include "app/registry.h"

#include <vector>

#include "app/conversions.h"
#include "common/handles.h"

namespace app {
namespace {

// Reads ask only for read access and writes only for write access, so that a user
// without administrator rights still reads the machine-wide settings.
common::UniqueHKey OpenKey(HKEY root, const std::wstring& subkey, REGSAM access) {
  common::UniqueHKey key;
  if (::RegOpenKeyExW(root, subkey.c_str(), 0, access, key.put()) != ERROR_SUCCESS) key.reset();
  return key;
}

// Expands %VARIABLES% of a REG_EXPAND_SZ text; the text unchanged when that fails.
std::wstring Expand(const std::wstring& text) {
  const std::wstring source = TextOf(RegistryResult(text));
  DWORD needed = ::ExpandEnvironmentStringsW(source.c_str(), nullptr, 0);
  if (needed == 0) return text;
  std::wstring expanded(needed, L'\0');
  needed = ::ExpandEnvironmentStringsW(source.c_str(), expanded.data(), needed);
  if (needed == 0 || needed > expanded.size()) return text;
  expanded.resize(needed);  // keeps the terminating NUL, as a stored REG_SZ text does
  return expanded;
}

}  // namespace

void CreateSettingsKey(HKEY root, const std::wstring& subkey) {
  common::UniqueHKey key;
  ::RegCreateKeyExW(root, subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                    key.put(), nullptr);
}

LONG WriteRegistryValue(HKEY root, const std::wstring& subkey, const std::wstring& name,
                        const RegistryResult& value, DWORD type) {
  common::UniqueHKey key = OpenKey(root, subkey, KEY_SET_VALUE);
  if (!key) return ERROR_FILE_NOT_FOUND;
  return SetValueOnKey(key.get(), name, type, value);
}

LONG SetValueOnKey(HKEY key, const std::wstring& name, DWORD type, const RegistryResult& value) {
  if (type == REG_SZ) {
    const std::wstring text = CutAtNulText(value);
    return ::RegSetValueExW(key, name.c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
  if (type == REG_DWORD) {
    int32_t number = 0;
    if (!Int32Of(value, number)) return ERROR_INVALID_PARAMETER;
    const DWORD data = static_cast<DWORD>(number);
    return ::RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                            sizeof(data));
  }
  return ERROR_SUCCESS;
}

RegistryResult ReadRegistryValue(HKEY root, const std::wstring& subkey, const std::wstring& name) {
  RegistryResult result;
  common::UniqueHKey key = OpenKey(root, subkey, KEY_QUERY_VALUE);
  if (key) QueryValueOnKey(key.get(), name, result);
  return result;
}

LONG QueryValueOnKey(HKEY key, const std::wstring& name, RegistryResult& result) {
  DWORD type = 0;
  DWORD size = 0;
  LONG status = ::RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
  if (status != ERROR_SUCCESS) return status;

  if (type == REG_SZ || type == REG_EXPAND_SZ) {
    // The value may grow between the two calls: ask again until the buffer holds it.
    std::vector<BYTE> buffer;
    do {
      buffer.resize(size + sizeof(wchar_t));
      size = static_cast<DWORD>(buffer.size());
      status = ::RegQueryValueExW(key, name.c_str(), nullptr, &type, buffer.data(), &size);
    } while (status == ERROR_MORE_DATA);
    if (status != ERROR_SUCCESS) return status;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return -1;
    std::wstring text(reinterpret_cast<const wchar_t*>(buffer.data()),
                      (size + 1) / sizeof(wchar_t));
    result = type == REG_EXPAND_SZ ? Expand(text) : text;
    return ERROR_SUCCESS;
  }
  if (type == REG_DWORD) {
    DWORD data = 0;
    size = sizeof(data);
    status = ::RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data),
                                &size);
    if (status != ERROR_SUCCESS) return status;
    if (type != REG_DWORD || size != sizeof(data)) return -1;
    result = static_cast<int32_t>(data);
    return ERROR_SUCCESS;
  }
  return -1;
}

void DeleteRegistryValue(HKEY root, const std::wstring& subkey, const std::wstring& name) {
  common::UniqueHKey key = OpenKey(root, subkey, KEY_SET_VALUE);
  if (key) ::RegDeleteValueW(key.get(), name.c_str());
}

}  // namespace app
