#include "app/settings.h"

#include <cwctype>
#include <limits>

#include "app/conversions.h"
#include "app/paths.h"
#include "app/registry.h"
#include "common/text.h"

namespace app {
namespace {

constexpr wchar_t kCustomProgramCaption[] = L"Custom Program";

RegistryResult Read(const wchar_t* name) {
  return ReadRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, name);
}

void Write(const wchar_t* name, const std::wstring& text) {
  WriteRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, name, text, REG_SZ);
}

void Write(const wchar_t* name, int16_t number) { Write(name, std::to_wstring(number)); }

// A number setting read from the leading digits of its text; a number that does
// not fit the field leaves it unchanged.
void ReadNumber(const wchar_t* name, int16_t& field) {
  const int32_t number = NumberOf(TextOf(Read(name)));
  if (number >= std::numeric_limits<int16_t>::min() &&
      number <= std::numeric_limits<int16_t>::max())
    field = static_cast<int16_t>(number);
}

void ReadInteger(const wchar_t* name, int16_t& field) { IntegerOf(Read(name), field); }

std::wstring DriveLetterOf(const std::wstring& folder) {
  return folder.empty() ? std::wstring() : folder.substr(0, 1);
}

// The start-up drive as a root: the stored letter followed by ":\", or the Windows
// folder's drive when nothing usable is stored.
std::wstring StartUpDriveRoot(const std::wstring& stored, const std::wstring& windowsFolder) {
  const std::wstring letter = DriveLetterOf(common::TrimSpaces(common::CutAtNul(stored)));
  if (!letter.empty() && std::iswalpha(letter[0])) return letter + L":\\";
  return DriveLetterOf(windowsFolder) + L":\\";
}

}  // namespace

void LoadSettings(AppState& state, MainWindowPort& window) {
  Settings& s = state.settings;
  ReadNumber(L"Synchronize logos", s.SynchronizeLogos);

  s.DefaultLogoSet = CutAtNulText(Read(L"DefaultLogoSet"));
  s.StartUpDrive = StartUpDriveRoot(TextOf(Read(L"StartUpDrive")), state.WindowsFolder);
  s.SearchLogoPath = CutAtNulText(Read(L"SearchLogoPath"));

  ReadInteger(L"ActionOnDoubleClick", s.ActionOnDoubleClick);

  s.LogoPath = CutAtNulText(Read(L"LogoPath"));
  if (!s.LogoPath.empty()) s.LogoPath = AddBackslash(s.LogoPath);
  if (s.LogoPath.empty() || !FileExists(s.LogoPath, kMatchDirectory))
    s.LogoPath = state.ProgramFolder;

  s.CustomProgName = CutAtNulText(Read(L"CustomProgName"));
  s.CustomProgPath = CutAtNulText(Read(L"CustomProgPath"));
  ReadInteger(L"DefaultAction", s.DefaultAction);
  ReadInteger(L"Display Animation", s.DisplayAnimation);
  if (s.DisplayAnimation == 0) window.SetLogoAnimation(false);

  ReadInteger(L"Show All Files", s.ShowAllFiles);
  if (s.DefaultAction > 2 || s.DefaultAction < 0) s.DefaultAction = 0;

  int view = NumberOf(TextOf(Read(L"View")));
  if (view > 1 || view < 0) view = 0;
  window.ApplyViewMode(view);

  window.SetCustomProgramCaption(s.CustomProgName.empty() ? kCustomProgramCaption
                                                          : s.CustomProgName);

  ReadInteger(L"DeleteInTheRecycleBin", s.DeleteInTheRecycleBin);
  ReadInteger(L"ConfirmLogosetDelete", s.ConfirmLogosetDelete);
  ReadInteger(L"ConfirmLogoTypeChange", s.ConfirmLogoTypeChange);
}

void SaveSettings(const AppState& state, const MainWindowPort& window) {
  const Settings& s = state.settings;
  CreateSettingsKey(HKEY_LOCAL_MACHINE, kSettingsKey);
  Write(L"SearchLogoPath", s.SearchLogoPath);
  Write(L"View", window.CurrentViewMode() == 0 ? L"0" : L"1");
  Write(L"Synchronize logos", s.SynchronizeLogos);
  Write(L"Display Animation", s.DisplayAnimation);
  Write(L"Show All Files", s.ShowAllFiles);

  std::wstring drive = DriveLetterOf(s.StartUpDrive);
  if (common::TrimSpaces(drive).empty() || drive[0] == L'\0')
    drive = DriveLetterOf(state.WindowsFolder);
  Write(L"StartUpDrive", drive);

  const std::wstring installed = window.InstalledSetCaption();
  Write(L"DefaultLogoSet", installed == kDontKnow ? std::wstring() : installed);

  Write(L"DefaultAction", s.DefaultAction);
  Write(L"CustomProgName", s.CustomProgName);
  Write(L"CustomProgPath", s.CustomProgPath);
  Write(L"DeleteInTheRecycleBin", s.DeleteInTheRecycleBin);
  Write(L"ConfirmLogosetDelete", s.ConfirmLogosetDelete);
  Write(L"ConfirmLogoTypeChange", s.ConfirmLogoTypeChange);
  Write(L"ShowSplashScreen", s.ShowSplashScreen);
  Write(L"LogoPath", s.LogoPath);
  Write(L"ActionOnDoubleClick", s.ActionOnDoubleClick);
}

int16_t ReadShowSplashScreen() {
  if (CutAtNulText(Read(L"ShowSplashScreen")).empty()) return 1;
  int16_t value = 1;
  ReadNumber(L"ShowSplashScreen", value);
  return value;
}

}  // namespace app
