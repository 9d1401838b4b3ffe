#include "ui/main/principale.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "app/settings.h"
#include "support/scratch.h"

namespace {

using testing_support::GetRegistryValue;
using testing_support::RegistryKeyReset;
using testing_support::SetRegistryString;

std::wstring TextOf(HWND window) {
  wchar_t text[256] = {};
  ::GetWindowTextW(window, text, 256);
  return text;
}

std::wstring MenuText(HMENU menu, UINT position) {
  wchar_t text[128] = {};
  ::GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
  return text;
}

class MainWindow : public ::testing::Test {
 protected:
  MainWindow() { state_.WindowsFolder = L"C:\\windows\\"; }
  RegistryKeyReset reset_{HKEY_LOCAL_MACHINE, app::kSettingsKey};
  app::AppState state_;
  int unloads_ = 0;
};

TEST_F(MainWindow, FixedSizeCentredWindowWithItsCaptionLabelsAndColumn) {
  ui::Principale window(state_, [&] { ++unloads_; });
  ASSERT_TRUE(window.Load());
  EXPECT_EQ(TextOf(window.hwnd()), L"Quillane 2000");
  const LONG_PTR style = ::GetWindowLongPtrW(window.hwnd(), GWL_STYLE);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(::IsWindowVisible(window.hwnd())) << "loaded, not yet shown";

  RECT frame{}, work{};
  ::GetWindowRect(window.hwnd(), &frame);
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_NEAR(frame.left - work.left, work.right - frame.right, 1);
  EXPECT_NEAR(frame.top - work.top, work.bottom - frame.bottom, 1);

  EXPECT_EQ(TextOf(window.DescriptionLabel(0)), L"LOGO.SYS\r\nStartup screen");
  EXPECT_EQ(TextOf(window.DescriptionLabel(1)), L"LOGOW.SYS\r\nWait screen");
  EXPECT_EQ(TextOf(window.DescriptionLabel(2)), L"LOGOS.SYS\r\nShutdown screen");
  EXPECT_EQ(TextOf(window.DefaultLogoLabel()), L"<Don't know>");

  wchar_t title[64] = {};
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT;
  column.pszText = title;
  column.cchTextMax = 64;
  ASSERT_TRUE(ListView_GetColumn(window.MyList(), 0, &column));
  EXPECT_STREQ(title, L"Logoset name");
  EXPECT_FALSE(ListView_GetColumn(window.MyList(), 1, &column)) << "a single column";

  window.Show();
  EXPECT_TRUE(::IsWindowVisible(window.hwnd()));
}

TEST_F(MainWindow, LoadAppliesTheStoredSettingsToTheWindow) {
  SetRegistryString(HKEY_LOCAL_MACHINE, app::kSettingsKey, L"View", L"1");
  SetRegistryString(HKEY_LOCAL_MACHINE, app::kSettingsKey, L"CustomProgName", L"GIMP");
  SetRegistryString(HKEY_LOCAL_MACHINE, app::kSettingsKey, L"Display Animation", L"0");
  ui::Principale window(state_, [&] { ++unloads_; });
  ASSERT_TRUE(window.Load());

  EXPECT_EQ(::GetWindowLongPtrW(window.MyList(), GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
  EXPECT_EQ(window.CurrentViewMode(), 1);
  EXPECT_FALSE(window.LogoAnimation());
  EXPECT_EQ(MenuText(window.OpenWithMenu(), 0), L"&View actual size");
  EXPECT_EQ(MenuText(window.OpenWithMenu(), 1), L"&Open Paint");
  EXPECT_EQ(MenuText(window.OpenWithMenu(), 2), L"GIMP");
  EXPECT_EQ(state_.MsdosSysPath, L"C:\\msdos.sys");
  EXPECT_EQ(state_.StartupLogoOption, 1) << "no msdos.sys: the logo counts as shown";
}

TEST_F(MainWindow, ViewModeChangedInTheWindowIsWhatTheSettingsSave) {
  ui::Principale window(state_, [&] { ++unloads_; });
  ASSERT_TRUE(window.Load());
  EXPECT_EQ(window.CurrentViewMode(), 0);
  window.ItmViewType_Click(1);
  app::SaveSettings(state_, window);
  EXPECT_EQ(GetRegistryValue(HKEY_LOCAL_MACHINE, app::kSettingsKey, L"View").text(), L"1");
  window.ItmViewType_Click(0);
  app::SaveSettings(state_, window);
  EXPECT_EQ(GetRegistryValue(HKEY_LOCAL_MACHINE, app::kSettingsKey, L"View").text(), L"0");
}

TEST_F(MainWindow, ClosingTheWindowUnloadsItOnce) {
  ui::Principale window(state_, [&] { ++unloads_; });
  ASSERT_TRUE(window.Load());
  ::SendMessageW(window.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_EQ(unloads_, 1);
  EXPECT_EQ(window.hwnd(), nullptr);
}

}  // namespace
