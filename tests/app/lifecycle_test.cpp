#include "app/lifecycle.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/paths.h"
#include "app/registry.h"
#include "app/settings.h"
#include "fake_main_window.h"
#include "support/scratch.h"

namespace {

using testing_support::FakeMainWindow;
using testing_support::GetRegistryValue;
using testing_support::PathExists;
using testing_support::ReadFileBytes;
using testing_support::RegistryKeyReset;
using testing_support::ScratchFolder;
using testing_support::SetRegistryString;
using testing_support::WriteFileBytes;

// A clock that only moves when the program sleeps or a window says loading took time.
class FakeClock final : public app::Clock {
 public:
  uint64_t NowMs() override { return now; }
  void SleepMs(uint32_t ms) override {
    slept.push_back(ms);
    now += ms;
  }
  uint64_t now = 10'000;
  std::vector<uint32_t> slept;
};

class RecordingWindows final : public app::StartupWindows {
 public:
  RecordingWindows(FakeClock& clock, uint64_t loadMs) : clock_(clock), loadMs_(loadMs) {}
  void ShowSplash() override { calls.push_back("ShowSplash"); }
  void CloseSplash() override { calls.push_back("CloseSplash"); }
  void LoadMainWindow() override {
    calls.push_back("LoadMainWindow");
    clock_.now += loadMs_;
  }
  void ShowMainWindow() override { calls.push_back("ShowMainWindow"); }
  std::vector<std::string> calls;

 private:
  FakeClock& clock_;
  uint64_t loadMs_;
};

TEST(Splash, TimeLeftOfTheSevenHundredMilliseconds) {
  struct Case {
    uint64_t shownAt, now;
    uint32_t expected;
  };
  const Case cases[] = {
      {1000, 1200, 500}, {1000, 3000, 0}, {1000, 1700, 0}, {1000, 1699, 1}, {1000, 900, 700},
  };
  for (const Case& c : cases)
    EXPECT_EQ(app::SplashTimeLeft(c.shownAt, c.now), c.expected) << c.shownAt << " " << c.now;
}

class StartUp : public ::testing::Test {
 protected:
  RegistryKeyReset reset_{HKEY_LOCAL_MACHINE, app::kSettingsKey};
  app::AppState state_;
  FakeClock clock_;
};

TEST_F(StartUp, SplashStaysUpSevenHundredMillisecondsInAll) {
  struct Case {
    uint64_t loadMs;
    std::vector<uint32_t> slept;
  };
  const Case cases[] = {{200, {500}}, {2000, {}}, {0, {700}}};
  for (const Case& c : cases) {
    FakeClock clock;
    RecordingWindows windows(clock, c.loadMs);
    app::StartApplication(state_, windows, clock);
    EXPECT_EQ(clock.slept, c.slept) << "load of " << c.loadMs << " ms";
    const std::vector<std::string> order{"ShowSplash", "LoadMainWindow", "CloseSplash",
                                         "ShowMainWindow"};
    EXPECT_EQ(windows.calls, order);
    EXPECT_EQ(state_.settings.ShowSplashScreen, 1) << "absent counts as 1";
  }
}

TEST_F(StartUp, NoSplashWhenSwitchedOff) {
  SetRegistryString(HKEY_LOCAL_MACHINE, app::kSettingsKey, L"ShowSplashScreen", L"0");
  RecordingWindows windows(clock_, 200);
  EXPECT_EQ(app::StartApplication(state_, windows, clock_), 0u);
  EXPECT_TRUE(clock_.slept.empty());
  EXPECT_EQ(windows.calls, (std::vector<std::string>{"LoadMainWindow", "ShowMainWindow"}));
  EXPECT_EQ(state_.settings.ShowSplashScreen, 0);
}

TEST_F(StartUp, FoldersOfTheProgramAndOfWindows) {
  app::InitializeFolders(state_);
  EXPECT_EQ(state_.ProgramFolder, app::GetProgramFolder());
  EXPECT_EQ(state_.WindowsFolder, app::AddBackslash(app::GetWindowsFolder()));
  EXPECT_EQ(state_.HelpFile, state_.ProgramFolder + L"quillane.hlp");
  app::SetMsdosSysPath(state_);
  EXPECT_EQ(state_.MsdosSysPath, state_.WindowsFolder.substr(0, 2) + L"\\msdos.sys");
}

TEST(StartupLogoOption, ReadFromMsdosSys) {
  ScratchFolder scratch;
  struct Case {
    const char* contents;  // nullptr: no file
    int16_t expected;
  };
  const Case cases[] = {
      {nullptr, 1},
      {"[Paths]\r\nWinDir=C:\\WINDOWS\r\n", 1},
      {"[Options]\r\nBootGUI=1\r\n", 1},
      {"[Options]\r\nLogo=0\r\n", 0},
      {"[Options]\r\nBootGUI=1\r\nLogo=1\r\n", 1},
  };
  for (const Case& c : cases) {
    app::AppState state;
    state.MsdosSysPath = scratch / L"msdos.sys";
    ::DeleteFileW(state.MsdosSysPath.c_str());
    if (c.contents) {
      ASSERT_TRUE(WriteFileBytes(state.MsdosSysPath, c.contents));
    }
    state.StartupLogoOption = 7;
    app::ReadStartupLogoOption(state);
    EXPECT_EQ(state.StartupLogoOption, c.expected) << (c.contents ? c.contents : "(no file)");
  }
}

class ExitSequence : public ::testing::Test {
 protected:
  ExitSequence() {
    state_.ProgramFolder = program_.path();
    state_.WindowsFolder = L"C:\\windows\\";
    state_.MsdosSysPath = system_ / L"msdos.sys";
    state_.settings.LogoPath = L"C:\\LOGOS\\";
    state_.settings.StartUpDrive = L"C:\\";
    app::CreateSettingsKey(HKEY_LOCAL_MACHINE, app::kRunKey);
  }
  ~ExitSequence() override {
    app::DeleteRegistryValue(HKEY_LOCAL_MACHINE, app::kRunKey, app::kSynchronizerValue);
  }
  std::wstring Ini() const { return program_ / L"Synchronizer.ini"; }
  std::wstring IniPath() const {
    wchar_t text[1024] = {};
    ::GetPrivateProfileStringW(L"Settings", L"Path", L"(none)", text, 1024, Ini().c_str());
    return text;
  }
  std::wstring RunValue() const {
    return GetRegistryValue(HKEY_LOCAL_MACHINE, app::kRunKey, app::kSynchronizerValue).text();
  }

  RegistryKeyReset reset_{HKEY_LOCAL_MACHINE, app::kSettingsKey};
  ScratchFolder program_{L"program"};
  ScratchFolder system_{L"system"};
  app::AppState state_;
  FakeMainWindow window_;
};

constexpr char kMsdos[] = "[Options]\r\nBootGUI=1\r\nLogo=1\r\n";

TEST_F(ExitSequence, UnchangedLogoOptionLeavesMsdosSysReadOnlyAlone) {
  ASSERT_TRUE(WriteFileBytes(state_.MsdosSysPath, kMsdos));
  ::SetFileAttributesW(state_.MsdosSysPath.c_str(),
                       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
  state_.StartupLogoOption = 0;  // not changed by the preferences: not written
  app::RunExitSequence(state_, window_);
  constexpr DWORD kBootAttributes =
      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY;
  EXPECT_EQ(::GetFileAttributesW(state_.MsdosSysPath.c_str()) & kBootAttributes,
            DWORD{FILE_ATTRIBUTE_READONLY});
  EXPECT_EQ(ReadFileBytes(state_.MsdosSysPath), kMsdos);
  EXPECT_TRUE(GetRegistryValue(HKEY_LOCAL_MACHINE, app::kSettingsKey, L"LogoPath").exists())
      << "the settings are saved";
  ::SetFileAttributesW(state_.MsdosSysPath.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ExitSequence, ChangedLogoOptionIsWrittenToMsdosSys) {
  ASSERT_TRUE(WriteFileBytes(state_.MsdosSysPath, kMsdos));
  ::SetFileAttributesW(state_.MsdosSysPath.c_str(),
                       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
  state_.StartupLogoOptionChanged = true;
  state_.StartupLogoOption = 0;
  app::RunExitSequence(state_, window_);
  const DWORD attributes = ::GetFileAttributesW(state_.MsdosSysPath.c_str());
  EXPECT_EQ(attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY),
            0u);
  EXPECT_EQ(::GetPrivateProfileIntW(L"Options", L"Logo", 9, state_.MsdosSysPath.c_str()), 0u);
  EXPECT_EQ(::GetPrivateProfileIntW(L"Options", L"BootGUI", 9, state_.MsdosSysPath.c_str()), 1u);
}

TEST_F(ExitSequence, MissingMsdosSysIsNotCreated) {
  for (bool changed : {false, true}) {
    state_.StartupLogoOptionChanged = changed;
    app::RunExitSequence(state_, window_);
    EXPECT_FALSE(PathExists(state_.MsdosSysPath)) << "changed " << changed;
    EXPECT_TRUE(GetRegistryValue(HKEY_LOCAL_MACHINE, app::kSettingsKey, L"View").exists());
  }
}

TEST_F(ExitSequence, PendingSynchronizerIsRegisteredWithTheInstalledSetsFolder) {
  struct Case {
    const wchar_t* installed;
    const wchar_t* path;
  };
  const Case cases[] = {{L"Blue", L"C:\\LOGOS\\Blue"}, {L"Blue.sls", L"C:\\LOGOS\\"},
                        {L"night.SLS", L"C:\\LOGOS\\"}};
  for (const Case& c : cases) {
    state_.SynchronizerPending = true;
    window_.installedSet = c.installed;
    app::RunExitSequence(state_, window_);
    EXPECT_EQ(IniPath(), c.path) << c.installed;
    EXPECT_EQ(RunValue(), program_.path() + L"synchronizer.exe /auto");
  }
}

TEST_F(ExitSequence, NoPendingSynchronizerRemovesItsRunValueAndProfile) {
  state_.SynchronizerPending = true;
  window_.installedSet = L"Blue";
  app::RunExitSequence(state_, window_);
  ASSERT_TRUE(PathExists(Ini()));

  state_.SynchronizerPending = false;
  app::RunExitSequence(state_, window_);
  EXPECT_FALSE(PathExists(Ini()));
  EXPECT_FALSE(GetRegistryValue(HKEY_LOCAL_MACHINE, app::kRunKey, app::kSynchronizerValue).exists());
  app::RunExitSequence(state_, window_);  // nothing to remove: nothing reported, nothing breaks
  EXPECT_FALSE(PathExists(Ini()));
}

TEST(Synchronizer, CommandQuotesAProgramFolderWithSpaces) {
  EXPECT_EQ(app::SynchronizerCommand(L"C:\\Quillane\\"), L"C:\\Quillane\\synchronizer.exe /auto");
  EXPECT_EQ(app::SynchronizerCommand(L"C:\\Program Files\\Quillane\\"),
            L"\"C:\\Program Files\\Quillane\\synchronizer.exe\" /auto");
}

}  // namespace
