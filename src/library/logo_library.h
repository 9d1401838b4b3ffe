// What a logo set is on disk: the logo folder's set folders and their logo files.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "library/logo_set_names.h"

namespace library {

inline constexpr const wchar_t* kLogoFileNames[3] = {L"LOGO.SYS", L"LOGOW.SYS", L"LOGOS.SYS"};

// The three logos of the set named name in the logo folder (with its trailing
// backslash): start-up, wait and shut-down. A single-logo set takes its wait and
// shut-down screens from the logo folder itself.
std::array<std::wstring, 3> SetLogoPaths(const std::wstring& logoPath, const std::wstring& name);

// Where the installed logos live: LOGO.SYS in the root of the start-up drive,
// LOGOW.SYS and LOGOS.SYS in the Windows folder.
std::array<std::wstring, 3> InstalledLogoPaths(const app::AppState& state);

struct ScanResult {
  std::vector<std::wstring> names;  // set folder names, in the order Explorer sorts names
  bool complete = true;             // false when the folder could not be listed
};

// Lists the set folders of the logo folder.
ScanResult ScanLogoFolder(const std::wstring& logoPath);

// Explorer's order of names: letter case ignored, digits by value ("Set2" < "Set10").
bool NameComesBefore(const std::wstring& a, const std::wstring& b);

// A key whose byte order is that name order, for sorting many names quickly.
std::string NameSortKey(const std::wstring& name);

// Sorts names in that order.
void SortNames(std::vector<std::wstring>& names);

// Where a new name goes in a sorted list of names.
size_t SortedPosition(const std::vector<std::wstring>& sortedNames, const std::wstring& name);

// The entry whose name equals the installed set's name, letter case ignored; -1 when
// there is none.
int FindInstalledSet(const std::vector<std::wstring>& names, const std::wstring& defaultLogoSet);

// Whether a name can name a folder on Windows: not empty, none of <>:"/\|?* or control
// characters, no trailing dot or space, not a device name (CON, NUL, COM1, ...).
bool IsValidFolderName(const std::wstring& name);

// The count label: a space, the number, then " logo set" or " logo sets".
std::wstring LogoSetCountText(size_t count);

}  // namespace library
