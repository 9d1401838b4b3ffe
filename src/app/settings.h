// Reading the settings at start and writing them back at exit.
#pragma once

#include "app/app_state.h"
#include "app/main_window_port.h"

namespace app {

inline constexpr wchar_t kSettingsKey[] = L"SOFTWARE\\Veltrano\\Quillane";

// Fills the settings (all but ShowSplashScreen) from the registry under
// HKEY_LOCAL_MACHINE, and applies the view mode, the animation switch and the
// custom program's menu caption to the main window. Missing values take their
// defaults; no failure is reported.
void LoadSettings(AppState& state, MainWindowPort& window);

// Writes all sixteen values, creating the key when it does not exist. A write that
// fails leaves that value as it was and the others are still written.
void SaveSettings(const AppState& state, const MainWindowPort& window);

// The ShowSplashScreen value as the start-up reads it: 1 when absent or empty,
// otherwise the number its text starts with.
int16_t ReadShowSplashScreen();

}  // namespace app
