#include "library/logo_library.h"

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>

#include "app/paths.h"
#include "common/handles.h"
#include "common/text.h"

namespace library {

std::array<std::wstring, 3> SetLogoPaths(const std::wstring& logoPath, const std::wstring& name) {
  const std::wstring setFolder = logoPath + name + L"\\";
  const std::wstring& shared = IsSingleLogoSet(name) ? logoPath : setFolder;
  return {setFolder + kLogoFileNames[0], shared + kLogoFileNames[1], shared + kLogoFileNames[2]};
}

std::array<std::wstring, 3> InstalledLogoPaths(const app::AppState& state) {
  return {state.settings.StartUpDrive + kLogoFileNames[0], state.WindowsFolder + kLogoFileNames[1],
          state.WindowsFolder + kLogoFileNames[2]};
}

bool NameComesBefore(const std::wstring& a, const std::wstring& b) {
  const int order = ::StrCmpLogicalW(a.c_str(), b.c_str());
  return order != 0 ? order < 0 : a < b;  // names equal to Explorer keep a stable order
}

size_t SortedPosition(const std::vector<std::wstring>& sortedNames, const std::wstring& name) {
  return static_cast<size_t>(
      std::upper_bound(sortedNames.begin(), sortedNames.end(), name, NameComesBefore) -
      sortedNames.begin());
}

ScanResult ScanLogoFolder(const std::wstring& logoPath) {
  ScanResult result;
  WIN32_FIND_DATAW entry{};
  common::UniqueFindHandle find(::FindFirstFileExW(app::LongPathForm(logoPath + L"*").c_str(),
                                                   FindExInfoBasic, &entry, FindExSearchNameMatch,
                                                   nullptr, FIND_FIRST_EX_LARGE_FETCH));
  if (!find) {
    result.complete = ::GetLastError() == ERROR_FILE_NOT_FOUND;  // an empty drive root
    return result;
  }
  do {
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    const std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    result.names.push_back(name);
  } while (::FindNextFileW(find.get(), &entry));
  if (::GetLastError() != ERROR_NO_MORE_FILES) result.complete = false;
  std::sort(result.names.begin(), result.names.end(), NameComesBefore);
  return result;
}

int FindInstalledSet(const std::vector<std::wstring>& names, const std::wstring& defaultLogoSet) {
  for (size_t i = 0; i < names.size(); ++i)
    if (common::EqualsIgnoreCase(names[i], defaultLogoSet)) return static_cast<int>(i);
  return -1;
}

bool IsValidFolderName(const std::wstring& name) {
  if (name.empty() || name == L"." || name == L".." || name.size() > 255) return false;
  for (wchar_t c : name)
    if (c < 32 || std::wstring_view(L"<>:\"/\\|?*").find(c) != std::wstring_view::npos) return false;
  if (name.back() == L'.' || name.back() == L' ') return false;
  // Device names stay devices whatever extension follows them.
  const std::wstring stem = common::ToUpper(name.substr(0, name.find(L'.')));
  static const wchar_t* const kDevices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
  for (const wchar_t* device : kDevices)
    if (stem == device) return false;
  if (stem.size() == 4 && (stem.rfind(L"COM", 0) == 0 || stem.rfind(L"LPT", 0) == 0) &&
      stem[3] >= L'1' && stem[3] <= L'9')
    return false;
  return true;
}

std::wstring LogoSetCountText(size_t count) {
  return L" " + std::to_wstring(count) + (count == 1 ? L" logo set" : L" logo sets");
}

}  // namespace library
