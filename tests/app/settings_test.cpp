#include "app/settings.h"

#include <gtest/gtest.h>

#include <array>

#include "app/paths.h"
#include "support/scratch.h"
#include "fake_main_window.h"

namespace {

using testing_support::FakeMainWindow;
using testing_support::GetRegistryValue;
using testing_support::RegistryKeyReset;
using testing_support::ScratchFolder;
using testing_support::SetRegistryDword;
using testing_support::SetRegistryString;

const HKEY kRoot = HKEY_LOCAL_MACHINE;
constexpr const wchar_t* kKey = app::kSettingsKey;

class Settings : public ::testing::Test {
 protected:
  Settings() {
    state_.ProgramFolder = program_.path();
    state_.WindowsFolder = L"C:\\windows\\";
  }
  void Store(const wchar_t* name, const std::wstring& text) { SetRegistryString(kRoot, kKey, name, text); }
  std::wstring Saved(const wchar_t* name) { return GetRegistryValue(kRoot, kKey, name).text(); }
  void Load() { app::LoadSettings(state_, window_); }
  void Save() { app::SaveSettings(state_, window_); }

  RegistryKeyReset reset_{kRoot, kKey};
  ScratchFolder program_{L"program"};
  app::AppState state_;
  FakeMainWindow window_;
};

TEST_F(Settings, FirstRunTakesTheDefaultsAndTheFirstExitWritesAllSixteenValues) {
  Load();
  const app::Settings& s = state_.settings;
  EXPECT_EQ(s.SearchLogoPath, L"");
  EXPECT_EQ(s.SynchronizeLogos, 0);
  EXPECT_EQ(s.DisplayAnimation, 0);
  EXPECT_EQ(s.ShowAllFiles, 0);
  EXPECT_EQ(s.StartUpDrive, L"C:\\");
  EXPECT_EQ(s.DefaultLogoSet, L"");
  EXPECT_EQ(s.DefaultAction, 0);
  EXPECT_EQ(s.CustomProgName, L"");
  EXPECT_EQ(s.CustomProgPath, L"");
  EXPECT_EQ(s.DeleteInTheRecycleBin, 0);
  EXPECT_EQ(s.ConfirmLogosetDelete, 0);
  EXPECT_EQ(s.ConfirmLogoTypeChange, 0);
  EXPECT_EQ(s.LogoPath, program_.path());
  EXPECT_EQ(s.ActionOnDoubleClick, 0);
  EXPECT_EQ(window_.viewCommands, std::vector<int>{0});
  EXPECT_EQ(window_.animation, std::vector<bool>{false});  // animation off by default
  EXPECT_EQ(window_.customCaption, L"Custom Program");

  Save();
  const std::array<std::pair<const wchar_t*, std::wstring>, 16> expected{{
      {L"SearchLogoPath", L""},
      {L"View", L"0"},
      {L"Synchronize logos", L"0"},
      {L"Display Animation", L"0"},
      {L"Show All Files", L"0"},
      {L"StartUpDrive", L"C"},
      {L"DefaultLogoSet", L""},
      {L"DefaultAction", L"0"},
      {L"CustomProgName", L""},
      {L"CustomProgPath", L""},
      {L"DeleteInTheRecycleBin", L"0"},
      {L"ConfirmLogosetDelete", L"0"},
      {L"ConfirmLogoTypeChange", L"0"},
      {L"ShowSplashScreen", L"1"},
      {L"LogoPath", program_.path()},
      {L"ActionOnDoubleClick", L"0"},
  }};
  for (const auto& [name, text] : expected) {
    const auto value = GetRegistryValue(kRoot, kKey, name);
    EXPECT_EQ(value.type, DWORD{REG_SZ}) << testing::PrintToString(std::wstring(name));
    EXPECT_EQ(value.text(), text) << testing::PrintToString(std::wstring(name));
  }
}

TEST_F(Settings, StoredValuesAreReadAndWrittenBackUnchanged) {
  ScratchFolder logos{L"logos"};
  Store(L"SearchLogoPath", L"C:\\Pictures");
  Store(L"View", L"1");
  Store(L"Synchronize logos", L"1");
  Store(L"Display Animation", L"1");
  Store(L"Show All Files", L"1");
  Store(L"StartUpDrive", L"D");
  Store(L"DefaultLogoSet", L"Blue");
  Store(L"DefaultAction", L"2");
  Store(L"CustomProgName", L"Paint Shop");
  Store(L"CustomProgPath", L"C:\\PSP\\psp.exe");
  Store(L"DeleteInTheRecycleBin", L"1");
  Store(L"ConfirmLogosetDelete", L"1");
  Store(L"ConfirmLogoTypeChange", L"1");
  Store(L"LogoPath", logos.path());
  Store(L"ActionOnDoubleClick", L"1");
  Load();
  const app::Settings& s = state_.settings;
  EXPECT_EQ(s.StartUpDrive, L"D:\\");  // installation writes D:\LOGO.SYS
  EXPECT_EQ(s.DefaultLogoSet, L"Blue");
  EXPECT_EQ(s.DefaultAction, 2);
  EXPECT_EQ(s.LogoPath, logos.path());
  EXPECT_TRUE(window_.animation.empty()) << "animation stays on";
  EXPECT_EQ(window_.viewCommands, std::vector<int>{1});
  EXPECT_EQ(window_.customCaption, L"Paint Shop");

  window_.installedSet = L"Blue";
  Save();
  EXPECT_EQ(Saved(L"StartUpDrive"), L"D");
  EXPECT_EQ(Saved(L"View"), L"1");
  EXPECT_EQ(Saved(L"CustomProgName"), L"Paint Shop");
  EXPECT_EQ(Saved(L"CustomProgPath"), L"C:\\PSP\\psp.exe");
  EXPECT_EQ(Saved(L"DefaultLogoSet"), L"Blue");
  EXPECT_EQ(Saved(L"Synchronize logos"), L"1");
  EXPECT_EQ(Saved(L"ConfirmLogoTypeChange"), L"1");
  EXPECT_EQ(Saved(L"LogoPath"), logos.path());
}

TEST_F(Settings, LogoPathGetsItsBackslashAndFallsBackToTheProgramFolder) {
  ScratchFolder logos{L"logos"};
  std::wstring withoutBackslash = logos.path();
  withoutBackslash.pop_back();
  struct Case {
    std::wstring stored;
    std::wstring expected;
  };
  const Case cases[] = {
      {withoutBackslash, logos.path()},
      {logos.path(), logos.path()},
      {logos / L"deleted since", program_.path()},
      {L"", program_.path()},
      {std::wstring(L"\0", 1), program_.path()},  // an empty text with its NUL is still empty
  };
  for (const Case& c : cases) {
    Store(L"LogoPath", c.stored);
    Load();
    EXPECT_EQ(state_.settings.LogoPath, c.expected) << testing::PrintToString(c.stored);
  }
  Save();
  EXPECT_EQ(Saved(L"LogoPath"), program_.path()) << "the fallback is written back at exit";
}

TEST_F(Settings, OutOfRangeAndForeignValues) {
  Store(L"DefaultAction", L"7");
  Store(L"View", L"5");
  Store(L"StartUpDrive", L" ");
  SetRegistryDword(kRoot, kKey, L"ActionOnDoubleClick", 3);
  SetRegistryDword(kRoot, kKey, L"Synchronize logos", 1);
  Store(L"ConfirmLogosetDelete", L"yes");  // not a number: keeps the previous value
  state_.settings.ConfirmLogosetDelete = 1;
  Load();
  EXPECT_EQ(state_.settings.DefaultAction, 0);
  EXPECT_EQ(window_.viewCommands, std::vector<int>{0});
  EXPECT_EQ(state_.settings.StartUpDrive, L"C:\\");
  EXPECT_EQ(state_.settings.ActionOnDoubleClick, 3);
  EXPECT_EQ(state_.settings.SynchronizeLogos, 1);
  EXPECT_EQ(state_.settings.ConfirmLogosetDelete, 1);

  Save();  // values read as numbers go back as strings
  const auto value = GetRegistryValue(kRoot, kKey, L"ActionOnDoubleClick");
  EXPECT_EQ(value.type, DWORD{REG_SZ});
  EXPECT_EQ(value.text(), L"3");
  EXPECT_EQ(Saved(L"Synchronize logos"), L"1");
}

TEST_F(Settings, EmptyCustomProgramNameShowsTheDefaultCaptionAndIsWrittenEmpty) {
  Store(L"CustomProgName", L"");
  Load();
  EXPECT_EQ(window_.customCaption, L"Custom Program");
  EXPECT_EQ(state_.settings.CustomProgName, L"");
  Save();
  const auto value = GetRegistryValue(kRoot, kKey, L"CustomProgName");
  EXPECT_TRUE(value.exists());
  EXPECT_EQ(value.text(), L"");
}

TEST_F(Settings, UnknownInstalledSetIsWrittenEmpty) {
  state_.settings.DefaultLogoSet = L"<Don't know>";
  window_.installedSet = L"<Don't know>";
  Save();
  EXPECT_EQ(Saved(L"DefaultLogoSet"), L"");
  window_.installedSet = L"night.SLS";  // the label's letter case is what is saved
  Save();
  EXPECT_EQ(Saved(L"DefaultLogoSet"), L"night.SLS");
}

TEST_F(Settings, SplashSettingIsOneUnlessStoredOtherwise) {
  EXPECT_EQ(app::ReadShowSplashScreen(), 1);
  struct Case {
    const wchar_t* stored;
    int16_t expected;
  };
  const Case cases[] = {{L"0", 0}, {L"1", 1}, {L"", 1}, {L"off", 0}, {L"1 please", 1}};
  for (const Case& c : cases) {
    Store(L"ShowSplashScreen", c.stored);
    EXPECT_EQ(app::ReadShowSplashScreen(), c.expected) << c.stored;
  }
}

}  // namespace
