// The whole program, started as a user starts it and closed with its close box.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/lifecycle.h"
#include "app/paths.h"
#include "app/registry.h"
#include "app/settings.h"
#include "common/handles.h"
#include "support/scratch.h"
#include "ui/main/principale.h"

namespace {

using testing_support::GetRegistryValue;
using testing_support::RegistryKeyReset;
using testing_support::SetRegistryString;

struct Started {
  common::UniqueHandle process;
  HWND window = nullptr;
  ~Started() {  // a failed test leaves no program running
    if (process && ::WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT)
      ::TerminateProcess(process.get(), 1);
  }
};

// Starts quillane.exe and waits (bounded) for its main window to be shown.
void StartProgram(Started& started) {
  const std::wstring program = app::GetProgramFolder() + L"quillane.exe";
  STARTUPINFOW startup{sizeof(startup)};
  PROCESS_INFORMATION info{};
  std::wstring commandLine = L"\"" + program + L"\"";
  if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info))
    return;
  ::CloseHandle(info.hThread);
  started.process.reset(info.hProcess);
  for (int attempt = 0; attempt < 300 && !started.window; ++attempt) {
    HWND window = ::FindWindowW(L"QuillanePrincipale", L"Quillane 2000");
    if (window && ::IsWindowVisible(window)) started.window = window;
    else if (::WaitForSingleObject(started.process.get(), 50) == WAIT_OBJECT_0) break;
  }
}

class Program : public ::testing::Test {
 protected:
  void SetUp() override {
    app::CreateSettingsKey(HKEY_LOCAL_MACHINE, app::kRunKey);
    SetRegistryString(HKEY_LOCAL_MACHINE, app::kRunKey, app::kSynchronizerValue, L"stale");
  }
  RegistryKeyReset reset_{HKEY_LOCAL_MACHINE, app::kSettingsKey};
};

TEST_F(Program, FirstRunShowsTheWindowAndItsExitWritesTheSettings) {
  SetRegistryString(HKEY_LOCAL_MACHINE, app::kSettingsKey, L"ShowSplashScreen", L"0");
  SetRegistryString(HKEY_LOCAL_MACHINE, app::kSettingsKey, L"View", L"1");
  Started program;
  StartProgram(program);
  ASSERT_TRUE(program.window) << "the main window was not shown";

  ::PostMessageW(program.window, WM_CLOSE, 0, 0);
  ASSERT_EQ(::WaitForSingleObject(program.process.get(), 20000), WAIT_OBJECT_0);
  DWORD exitCode = 99;
  ::GetExitCodeProcess(program.process.get(), &exitCode);
  EXPECT_EQ(exitCode, 0u);

  EXPECT_EQ(GetRegistryValue(HKEY_LOCAL_MACHINE, app::kSettingsKey, L"View").text(), L"1");
  EXPECT_EQ(GetRegistryValue(HKEY_LOCAL_MACHINE, app::kSettingsKey, L"LogoPath").text(),
            app::GetProgramFolder());
  EXPECT_EQ(GetRegistryValue(HKEY_LOCAL_MACHINE, app::kSettingsKey, L"ShowSplashScreen").text(),
            L"0");
  EXPECT_FALSE(GetRegistryValue(HKEY_LOCAL_MACHINE, app::kRunKey, app::kSynchronizerValue).exists())
      << "no installation pending: the companion's Run value is removed";
}

TEST_F(Program, StartsWithTheSplashWhenNothingIsStored) {
  Started program;
  StartProgram(program);
  ASSERT_TRUE(program.window);
  EXPECT_FALSE(::IsWindow(::FindWindowW(L"QuillaneSplash", nullptr)))
      << "the splash is gone once the main window shows";
  ::PostMessageW(program.window, WM_CLOSE, 0, 0);
  ASSERT_EQ(::WaitForSingleObject(program.process.get(), 20000), WAIT_OBJECT_0);
  EXPECT_EQ(GetRegistryValue(HKEY_LOCAL_MACHINE, app::kSettingsKey, L"ShowSplashScreen").text(),
            L"1");
}

TEST_F(Program, TheOnlineToolOpensTheOnlineCheckOverTheMainWindow) {
  SetRegistryString(HKEY_LOCAL_MACHINE, app::kSettingsKey, L"ShowSplashScreen", L"0");
  Started program;
  StartProgram(program);
  ASSERT_TRUE(program.window);
  // The window gets the Online tool's command as from its menu entry.
  const int onlineCommand = ui::Principale::ToolCommandId(L"Online");
  ASSERT_NE(onlineCommand, 0);
  ::PostMessageW(program.window, WM_COMMAND, onlineCommand, 0);
  HWND dialog = nullptr;
  for (int attempt = 0; attempt < 200 && !dialog; ++attempt) {
    dialog = ::FindWindowW(nullptr, L"Online check");
    if (!dialog) ::WaitForSingleObject(program.process.get(), 50);
  }
  ASSERT_TRUE(dialog) << "no online check dialog";
  EXPECT_EQ(::GetWindow(dialog, GW_OWNER), program.window);
  EXPECT_FALSE(::IsWindowEnabled(program.window)) << "modal over the main window";
  ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  for (int attempt = 0; attempt < 100 && ::IsWindow(dialog); ++attempt)
    ::WaitForSingleObject(program.process.get(), 50);
  ::PostMessageW(program.window, WM_CLOSE, 0, 0);
  ASSERT_EQ(::WaitForSingleObject(program.process.get(), 20000), WAIT_OBJECT_0);
}

}  // namespace
