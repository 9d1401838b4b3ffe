// The registry interface through which all of the program's registry access goes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <variant>

namespace app {

// What a registry read gives: nothing, a text (REG_SZ, with its terminating NUL when
// one is stored) or a 32-bit integer (REG_DWORD).
using RegistryResult = std::variant<std::monostate, std::wstring, int32_t>;

inline bool IsEmpty(const RegistryResult& result) {
  return std::holds_alternative<std::monostate>(result);
}

// Creates the key if it does not exist, or opens it; closes it at once.
void CreateSettingsKey(HKEY root, const std::wstring& subkey);

// Opens an existing key (never creates it) and writes one value of type REG_SZ or
// REG_DWORD. When the key cannot be opened nothing is written.
LONG WriteRegistryValue(HKEY root, const std::wstring& subkey, const std::wstring& name,
                        const RegistryResult& value, DWORD type);

// REG_SZ: the value as text; REG_DWORD: the value as a 32-bit integer. Any other
// type writes nothing and gives 0.
LONG SetValueOnKey(HKEY key, const std::wstring& name, DWORD type, const RegistryResult& value);

// Reads one value; empty when the key or the value is missing or of another type.
RegistryResult ReadRegistryValue(HKEY root, const std::wstring& subkey, const std::wstring& name);

// Reads one value of an open key into result. Returns the registry's failure code
// when the value cannot be examined, -1 for a type that is neither text nor a
// 32-bit integer (result stays empty), otherwise 0.
LONG QueryValueOnKey(HKEY key, const std::wstring& name, RegistryResult& result);

// Deletes one value; failures are not reported.
void DeleteRegistryValue(HKEY root, const std::wstring& subkey, const std::wstring& name);

}  // namespace app
