// The library as the main window shows it: scan, selection, installation, the
// current-setting view and the random change.
#include <map>

#include "imaging/logo_format.h"
#include "library/logo_library.h"
#include "main_window_fixture.h"

namespace {

using testing_support::MainWindowFixture;
using testing_support::WindowText;

class Library : public MainWindowFixture {};

TEST_F(Library, ScanListsTheSetsInNameOrderWithTheirKindsAndCount) {
  for (const wchar_t* name : {L"Set10", L"Set2", L"blue", L"Old.Sls"}) MakeSet(name);
  testing_support::WriteFileBytes(logos_ / L"loose.sys", "not a set");
  auto& window = Open();
  EXPECT_EQ(window.ListNames(), (std::vector<std::wstring>{L"blue", L"Old.Sls", L"Set2", L"Set10"}));
  EXPECT_EQ(IconOf(L"Old.Sls"), ui::Principale::kIconSingleLogo);
  EXPECT_EQ(IconOf(L"Set2"), ui::Principale::kIconMultiLogo);
  EXPECT_EQ(WindowText(window.NumLogoLabel()), L" 4 logo sets");
  EXPECT_EQ(WindowText(window.DefaultLogoLabel()), L"<Don't know>");
  EXPECT_EQ(state_.settings.DefaultLogoSet, L"<Don't know>");
}

TEST_F(Library, EmptyLogoFolder) {
  auto& window = Open();
  EXPECT_TRUE(window.ListNames().empty());
  EXPECT_EQ(WindowText(window.NumLogoLabel()), L" 0 logo sets");
  EXPECT_EQ(WindowText(window.LogoTypeLabel()), L"");
  EXPECT_EQ(WindowText(window.DefaultLogoLabel()), L"<Don't know>");
}

TEST_F(Library, InstalledSetIsSelectedInTheFoldersLetterCase) {
  MakeSet(L"Blue");
  MakeSet(L"Red");
  Setting(L"DefaultLogoSet", L"blue");
  auto& window = Open();
  EXPECT_EQ(window.SelectedName(), L"Blue");
  EXPECT_EQ(WindowText(window.DefaultLogoLabel()), L"Blue");
  EXPECT_EQ(state_.settings.DefaultLogoSet, L"blue") << "the setting keeps its own letter case";
  EXPECT_EQ(window.LogoFileName(0), logos_ / L"Blue\\LOGO.SYS");
  EXPECT_EQ(window.LogoFileName(2), logos_ / L"Blue\\LOGOS.SYS");
  EXPECT_EQ(WindowText(window.LogoTypeLabel()), L"Multi logo");
}

TEST_F(Library, InstalledSetDeletedOutsideTheProgramIsUnknown) {
  MakeSet(L"Red");
  Setting(L"DefaultLogoSet", L"Gone");
  auto& window = Open();
  EXPECT_EQ(window.SelectedName(), L"");
  EXPECT_EQ(WindowText(window.DefaultLogoLabel()), L"<Don't know>");
  EXPECT_EQ(state_.settings.DefaultLogoSet, L"<Don't know>");
  app::SaveSettings(state_, window);
  EXPECT_EQ(testing_support::GetRegistryValue(HKEY_LOCAL_MACHINE, app::kSettingsKey,
                                              L"DefaultLogoSet").text(), L"");
}

TEST_F(Library, SelectedSetShowsItsThreeLogos) {
  std::vector<uint8_t> indices(imaging::kLogoPixelBytes, 3);
  std::vector<imaging::Rgb> palette(256);
  const auto logo = imaging::BuildLogoFile(
      std::span<const uint8_t, imaging::kLogoPixelBytes>(indices.data(), indices.size()),
      std::span<const imaging::Rgb, 256>(palette.data(), 256), 0);
  const std::string bytes(logo.begin(), logo.end());
  MakeSet(L"Blue", {});
  for (const wchar_t* name : {L"LOGO.SYS", L"LOGOW.SYS", L"LOGOS.SYS"})
    testing_support::WriteFileBytes(logos_ / L"Blue\\" + name, bytes);
  auto& window = Open();
  Select(L"Blue");
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(window.LogoImage(i).ImageStatus(), 2) << i;
    EXPECT_TRUE(::IsWindowVisible(window.LogoImage(i).hwnd())) << i;
  }
}

TEST_F(Library, SingleLogoSetShowsTheLogoFoldersOwnScreens) {
  MakeSet(L"Night.sls", {L"LOGO.SYS"});
  auto& window = Open();
  Select(L"night.SLS");  // found whatever the letter case
  EXPECT_EQ(window.SelectedName(), L"Night.sls");
  EXPECT_EQ(window.LogoFileName(0), logos_ / L"Night.sls\\LOGO.SYS");
  EXPECT_EQ(window.LogoFileName(1), logos_ / L"LOGOW.SYS");
  EXPECT_EQ(window.LogoFileName(2), logos_ / L"LOGOS.SYS");
  EXPECT_EQ(WindowText(window.LogoTypeLabel()), L"Single logo");
}

TEST_F(Library, InstallRecordsTheSetAndAFailureIsReported) {
  MakeSet(L"Blue");
  MakeSet(L"Red");
  auto& window = Open();
  Select(L"Red");
  Click(L"ToolSetDefault");
  EXPECT_TRUE(asked_.empty());
  EXPECT_EQ(WindowText(window.DefaultLogoLabel()), L"Red");
  EXPECT_EQ(state_.settings.DefaultLogoSet, L"Red");
  EXPECT_FALSE(state_.SynchronizerPending);
  EXPECT_EQ(testing_support::ReadFileBytes(drive_ / L"LOGO.SYS"), "logo");

  // The set's folder disappears behind the program's back: nothing is recorded.
  Select(L"Blue");
  testing_support::RemoveTree(logos_ / L"Blue");
  Click(L"ToolSetDefault");
  ASSERT_EQ(asked_.size(), 1u);
  EXPECT_EQ(asked_[0].title, L"Quillane 2000");
  EXPECT_EQ(asked_[0].style & MB_ICONMASK, UINT{MB_ICONEXCLAMATION});
  EXPECT_NE(asked_[0].text.find(L"Blue\\LOGO.SYS"), std::wstring::npos) << asked_[0].text;
  EXPECT_EQ(WindowText(window.DefaultLogoLabel()), L"Red");
  EXPECT_EQ(state_.settings.DefaultLogoSet, L"Red");
}

TEST_F(Library, InstallWithTheSynchronizerLeavesTheCopyPending) {
  MakeSet(L"Blue");
  Setting(L"Synchronize logos", L"1");
  auto& window = Open();
  Select(L"Blue");
  window.ItmSetDefault_Click();
  EXPECT_TRUE(state_.SynchronizerPending);
  EXPECT_FALSE(testing_support::PathExists(windows_ / L"LOGOW.SYS"));
}

TEST_F(Library, CurrentSettingViewOnAndOff) {
  MakeSet(L"Blue");
  MakeSet(L"Red");
  Setting(L"DefaultLogoSet", L"Red");
  auto& window = Open();
  Select(L"Blue");

  Click(L"ToolShowCurrent");
  EXPECT_TRUE(window.Bar().Checked(L"ToolShowCurrent"));
  EXPECT_EQ(WindowText(window.DefaultLogoLabel()), L"Current logo setting");
  EXPECT_EQ(window.DefaultLogoColor(), RGB(0, 128, 0));
  EXPECT_EQ(window.DefaultLogoTooltip(), L"Showing current logo setting");
  EXPECT_FALSE(window.Bar().Enabled(L"MnuLogo"));
  EXPECT_FALSE(window.Bar().Enabled(L"ToolRandom"));
  EXPECT_FALSE(::IsWindowEnabled(window.MyList()));
  EXPECT_FALSE(::IsWindowVisible(window.LogoTypeLabel()));
  EXPECT_EQ(window.LogoFileName(0), drive_ / L"LOGO.SYS");
  EXPECT_EQ(window.LogoFileName(1), windows_ / L"LOGOW.SYS");
  EXPECT_EQ(window.InstalledSetCaption(), L"Red") << "what the exit saves";

  Click(L"ToolShowCurrent");
  EXPECT_FALSE(window.Bar().Checked(L"ToolShowCurrent"));
  EXPECT_EQ(WindowText(window.DefaultLogoLabel()), L"Red");
  EXPECT_EQ(window.DefaultLogoColor(), RGB(0, 0, 255));
  EXPECT_EQ(window.DefaultLogoTooltip(), L"Default logo set");
  EXPECT_TRUE(window.Bar().Enabled(L"MnuLogo"));
  EXPECT_TRUE(::IsWindowEnabled(window.MyList()));
  EXPECT_EQ(window.SelectedName(), L"Blue");
  EXPECT_EQ(window.LogoFileName(0), logos_ / L"Blue\\LOGO.SYS");
}

TEST_F(Library, RandomChangeInstallsAnotherSetNeverTheSelectedOne) {
  for (const wchar_t* name : {L"A", L"B", L"C"}) MakeSet(name);
  auto& window = Open();
  window.SeedRandom(7);
  std::map<std::wstring, int> installed;
  for (int i = 0; i < 60; ++i) {
    Select(L"B");
    Click(L"ToolRandom");
    ++installed[state_.settings.DefaultLogoSet];
    EXPECT_EQ(window.SelectedName(), state_.settings.DefaultLogoSet);
  }
  EXPECT_EQ(installed.count(L"B"), 0u);
  EXPECT_GT(installed[L"A"], 10);
  EXPECT_GT(installed[L"C"], 10);
}

TEST_F(Library, RandomChangeWithOneSetDoesNothing) {
  MakeSet(L"Only");
  auto& window = Open();
  Select(L"Only");
  Click(L"ToolRandom");
  EXPECT_EQ(WindowText(window.DefaultLogoLabel()), L"<Don't know>");
}

}  // namespace
