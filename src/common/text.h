// Small text helpers over UTF-16 strings.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace common {

// The text up to, not including, its first NUL character.
inline std::wstring CutAtNul(std::wstring_view text) {
  const size_t nul = text.find(L'\0');
  return std::wstring(nul == std::wstring_view::npos ? text : text.substr(0, nul));
}

// Removes leading and trailing spaces (only the space character, as the program's
// settings and path texts expect).
inline std::wstring TrimSpaces(std::wstring_view text) {
  const size_t first = text.find_first_not_of(L' ');
  if (first == std::wstring_view::npos) return {};
  const size_t last = text.find_last_not_of(L' ');
  return std::wstring(text.substr(first, last - first + 1));
}

// Upper-cases with the system's rules (the same the file system uses for names).
inline std::wstring ToUpper(std::wstring_view text) {
  std::wstring result(text);
  if (!result.empty()) ::CharUpperBuffW(result.data(), static_cast<DWORD>(result.size()));
  return result;
}

// Compares two names the way the file system does: letter case ignored.
inline bool EqualsIgnoreCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  if (a.empty()) return true;
  return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// The system's message text for an error code, without the trailing line break.
inline std::wstring SystemErrorText(DWORD error) {
  wchar_t* buffer = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text(buffer ? buffer : L"", length);
  if (buffer) ::LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
    text.pop_back();
  if (text.empty()) text = L"Error " + std::to_wstring(error);
  return text;
}

}  // namespace common
