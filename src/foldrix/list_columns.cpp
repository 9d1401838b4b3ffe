#include "foldrix/list_columns.h"

#include <shlwapi.h>

#include <cstdio>

#include "common/handles.h"

namespace foldrix {

DetailsSource DetailsSource::Of(IShellFolder* folder) {
  DetailsSource source;
  if (!folder) return source;
  if (FAILED(folder->QueryInterface(IID_IShellDetails,
                                     reinterpret_cast<void**>(source.details_.GetAddressOf())))) {
    source.details_.Reset();
    if (FAILED(folder->QueryInterface(IID_PPV_ARGS(&source.folder2_)))) source.folder2_.Reset();
  }
  return source;
}

bool DetailsSource::Get(PCUITEMID_CHILD item, UINT column, SHELLDETAILS* details) const {
  if (details_) return SUCCEEDED(details_->GetDetailsOf(item, column, details));
  if (folder2_) return SUCCEEDED(folder2_->GetDetailsOf(item, column, details));
  return false;
}

bool DetailsSource::ShownByDefault(UINT column) const {
  if (!folder2_) return true;
  SHCOLSTATEF state = 0;
  if (FAILED(folder2_->GetDefaultColumnState(column, &state))) return true;
  return (state & SHCOLSTATE_ONBYDEFAULT) != 0;
}

std::wstring StrRetText(STRRET& text, PCUITEMID_CHILD item) {
  wchar_t* result = nullptr;
  if (FAILED(::StrRetToStrW(&text, item, &result)) || !result) return {};
  std::wstring copy = result;
  ::CoTaskMemFree(result);
  return copy;
}

std::wstring ShellString(UINT id, const wchar_t* fallback) {
  HMODULE shell = ::GetModuleHandleW(L"shell32.dll");
  const wchar_t* text = nullptr;
  const int length = shell ? ::LoadStringW(shell, id, reinterpret_cast<wchar_t*>(&text), 0) : 0;
  if (length > 0 && text) return std::wstring(text, length);
  return fallback;
}

std::wstring SizeTextOfBytes(ULONGLONG bytes) {
  const ULONGLONG kilobytes = bytes / 1024 + (bytes % 1024 ? 1 : 0);
  std::wstring digits = std::to_wstring(kilobytes);
  wchar_t separator[4] = L",";
  ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, 4);
  std::wstring grouped;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += separator;
    grouped += digits[i];
  }
  return grouped + L"KB";
}

namespace {
bool FindFile(const std::wstring& path, WIN32_FIND_DATAW& data) {
  if (path.empty()) return false;
  common::UniqueFindHandle find(::FindFirstFileW(path.c_str(), &data));
  return static_cast<bool>(find);
}
}  // namespace

std::wstring FileSizeText(const std::wstring& path) {
  WIN32_FIND_DATAW data{};
  if (!FindFile(path, data)) return {};
  return SizeTextOfBytes((static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

std::wstring ModifiedText(const std::wstring& path) {
  WIN32_FIND_DATAW data{};
  if (!FindFile(path, data)) return {};
  FILETIME local{};
  SYSTEMTIME time{};
  if (!::FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) ||
      !::FileTimeToSystemTime(&local, &time))
    return {};
  wchar_t date[80] = {};
  if (!::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, date, 80)) return {};
  wchar_t clock[8] = {};
  std::swprintf(clock, 8, L"%02u:%02u", time.wHour, time.wMinute);
  return std::wstring(date) + L" " + clock;
}

}  // namespace foldrix
