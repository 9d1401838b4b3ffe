#include "library/logo_library.h"

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <unordered_map>

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
  return std::make_pair(NameSortKey(a), a) < std::make_pair(NameSortKey(b), b);
}

namespace {

// The sort key of one character, letter case ignored; each ends in a NUL, so keys put
// one after the other compare character by character.
const std::string& CharacterKey(wchar_t c) {
  static std::unordered_map<wchar_t, std::string> cache;
  auto [it, inserted] = cache.try_emplace(c);
  if (inserted) {
    const int size = ::LCMapStringEx(LOCALE_NAME_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, &c,
                                     1, nullptr, 0, nullptr, nullptr, 0);
    it->second.assign(static_cast<size_t>(size > 0 ? size : 1), '\0');
    if (size > 0)
      ::LCMapStringEx(LOCALE_NAME_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, &c, 1,
                      reinterpret_cast<wchar_t*>(it->second.data()), size, nullptr, nullptr, 0);
  }
  return it->second;
}

bool IsDigitChar(wchar_t c) { return c >= L'0' && c <= L'9'; }

}  // namespace

// Digit runs compare by value and before other characters; other characters compare
// one by one as the system compares them, letter case ignored.
std::string NameSortKey(const std::wstring& name) {
  std::string key;
  size_t i = 0;
  while (i < name.size()) {
    if (!IsDigitChar(name[i])) {
      key += '\x02';
      key += CharacterKey(name[i++]);
      continue;
    }
    size_t end = i;
    while (end < name.size() && IsDigitChar(name[end])) ++end;
    size_t first = i;
    while (first + 1 < end && name[first] == L'0') ++first;  // leading zeros do not count
    const size_t digits = end - first;
    key += '\x01';
    key += static_cast<char>((digits >> 8) & 0xFF);
    key += static_cast<char>(digits & 0xFF);
    for (size_t d = first; d < end; ++d) key += static_cast<char>(name[d]);
    i = end;
  }
  return key;
}

void SortNames(std::vector<std::wstring>& names) {
  std::vector<std::pair<std::string, std::wstring>> keyed;
  keyed.reserve(names.size());
  for (std::wstring& name : names) keyed.emplace_back(NameSortKey(name), std::move(name));
  std::sort(keyed.begin(), keyed.end());
  for (size_t i = 0; i < names.size(); ++i) names[i] = std::move(keyed[i].second);
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
  SortNames(result.names);
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
