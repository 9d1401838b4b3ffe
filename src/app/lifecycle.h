// The program's life from its entry point to its exit.
#pragma once

#include <cstdint>

#include "app/app_state.h"
#include "app/main_window_port.h"

namespace app {

inline constexpr wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kSynchronizerValue[] = L"Synchronizer";
inline constexpr uint32_t kSplashMinimumMs = 700;

// A source of time, replaceable in tests.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual uint64_t NowMs() = 0;
  virtual void SleepMs(uint32_t ms) = 0;
};

class SystemClock final : public Clock {
 public:
  uint64_t NowMs() override;
  void SleepMs(uint32_t ms) override;
};

// The windows that the start-up sequence drives.
class StartupWindows {
 public:
  virtual ~StartupWindows() = default;
  virtual void ShowSplash() = 0;       // shown modeless and painted at once
  virtual void CloseSplash() = 0;      // closed and destroyed
  virtual void LoadMainWindow() = 0;   // created and loaded, not shown
  virtual void ShowMainWindow() = 0;
};

// Entry point steps 1 to 3: program folder, Windows folder, help file.
void InitializeFolders(AppState& state);

// How long the splash must still stay up, shown at shownAtMs, when it is nowMs.
uint32_t SplashTimeLeft(uint64_t shownAtMs, uint64_t nowMs);

// The splash, load and show sequence. Returns the milliseconds it waited for the splash.
uint32_t StartApplication(AppState& state, StartupWindows& windows, Clock& clock);

// Steps of the main window's load that belong to the program core.
void ReadStartupFolder(AppState& state);
void SetMsdosSysPath(AppState& state);
void ReadStartupLogoOption(AppState& state);

// Exit steps 1 to 4: msdos.sys, the settings, the companion's Run value and profile.
void RunExitSequence(const AppState& state, const MainWindowPort& window);

// The exit sequence, then the end of the process.
[[noreturn]] void CloseAll(const AppState& state, const MainWindowPort& window);

// The single-logo rule and Path value the companion reads from Synchronizer.ini.
std::wstring SynchronizerPath(const AppState& state, const std::wstring& installedSet);

// The Run value that starts the companion at the next logon.
std::wstring SynchronizerCommand(const std::wstring& programFolder);

}  // namespace app
