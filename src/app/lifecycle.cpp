#include "app/lifecycle.h"

#include <windows.h>

#include "app/paths.h"
#include "app/registry.h"
#include "app/settings.h"
#include "library/logo_set_names.h"

namespace app {
namespace {

std::wstring SynchronizerIni(const AppState& state) {
  return state.ProgramFolder + L"Synchronizer.ini";
}

// Writes the "Logo" key when the preferences changed it; otherwise leaves msdos.sys
// read-only alone. A missing msdos.sys is left missing.
void WriteStartupLogoOption(const AppState& state) {
  const std::wstring& path = state.MsdosSysPath;
  if (!state.StartupLogoOptionChanged) {
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    return;
  }
  if (!::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL)) return;
  ::WritePrivateProfileStringW(L"Options", L"Logo",
                               std::to_wstring(state.StartupLogoOption).c_str(), path.c_str());
}

}  // namespace

uint64_t SystemClock::NowMs() { return ::GetTickCount64(); }
void SystemClock::SleepMs(uint32_t ms) { ::Sleep(ms); }

void InitializeFolders(AppState& state) {
  state.ProgramFolder = GetProgramFolder();
  state.WindowsFolder = AddBackslash(GetWindowsFolder());
  state.HelpFile = state.ProgramFolder + L"quillane.hlp";
}

uint32_t SplashTimeLeft(uint64_t shownAtMs, uint64_t nowMs) {
  const uint64_t elapsed = nowMs >= shownAtMs ? nowMs - shownAtMs : 0;
  return elapsed >= kSplashMinimumMs ? 0 : static_cast<uint32_t>(kSplashMinimumMs - elapsed);
}

uint32_t StartApplication(AppState& state, StartupWindows& windows, Clock& clock) {
  state.settings.ShowSplashScreen = ReadShowSplashScreen();
  const bool splash = state.settings.ShowSplashScreen == 1;
  uint64_t shownAt = 0;
  if (splash) {
    windows.ShowSplash();
    shownAt = clock.NowMs();
  }
  windows.LoadMainWindow();
  uint32_t waited = 0;
  if (splash) {
    waited = SplashTimeLeft(shownAt, clock.NowMs());
    if (waited > 0) clock.SleepMs(waited);
    windows.CloseSplash();
  }
  windows.ShowMainWindow();
  return waited;
}

void ReadStartupFolder(AppState& state) { state.StartupFolder = GetStartupFolder(); }

void SetMsdosSysPath(AppState& state) {
  state.MsdosSysPath = state.WindowsFolder.substr(0, 2) + L"\\msdos.sys";
}

void ReadStartupLogoOption(AppState& state) {
  const UINT value =
      ::GetPrivateProfileIntW(L"Options", L"Logo", 1, state.MsdosSysPath.c_str());
  state.StartupLogoOption = static_cast<int16_t>(value);
}

std::wstring SynchronizerPath(const AppState& state, const std::wstring& installedSet) {
  const std::wstring& logoPath = state.settings.LogoPath;
  return library::IsSingleLogoSet(installedSet) ? logoPath : logoPath + installedSet;
}

std::wstring SynchronizerCommand(const std::wstring& programFolder) {
  // A folder with spaces is quoted, so that the system cannot take a part of it for
  // another program.
  const std::wstring program = programFolder + L"synchronizer.exe";
  if (program.find(L' ') == std::wstring::npos) return program + L" /auto";
  return L"\"" + program + L"\" /auto";
}

void RunExitSequence(const AppState& state, const MainWindowPort& window) {
  WriteStartupLogoOption(state);
  SaveSettings(state, window);
  if (state.SynchronizerPending) {
    WriteRegistryValue(HKEY_LOCAL_MACHINE, kRunKey, kSynchronizerValue,
                       SynchronizerCommand(state.ProgramFolder), REG_SZ);
    const std::wstring path = SynchronizerPath(state, window.InstalledSetCaption());
    ::WritePrivateProfileStringW(L"Settings", L"Path", path.c_str(),
                                 SynchronizerIni(state).c_str());
  } else {
    ::DeleteFileW(SynchronizerIni(state).c_str());
    DeleteRegistryValue(HKEY_LOCAL_MACHINE, kRunKey, kSynchronizerValue);
  }
}

void CloseAll(const AppState& state, const MainWindowPort& window) {
  RunExitSequence(state, window);
  ::ExitProcess(0);
}

}  // namespace app
