// The main window's commands: dispatch by tool name, tool states, keys, help.
#include "main_window_fixture.h"
#include "support/message_pump.h"

namespace {

using testing_support::MainWindowFixture;

class Commands : public MainWindowFixture {};

UINT MenuBarState(HMENU menu, UINT position) { return ::GetMenuState(menu, position, MF_BYPOSITION); }

TEST_F(Commands, MenuBarAndToolbarFromTheBands) {
  auto& window = Open();
  HMENU bar = window.Bar().MenuBar();
  ASSERT_EQ(::GetMenu(window.hwnd()), bar);
  ASSERT_EQ(::GetMenuItemCount(bar), 4);
  wchar_t text[64];
  const wchar_t* captions[] = {L"&Logo", L"&Options", L"&Help", L"E&xit"};
  for (int i = 0; i < 4; ++i) {
    ::GetMenuStringW(bar, i, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, captions[i]);
  }
  HMENU logo = ::GetSubMenu(bar, 0);
  ASSERT_EQ(::GetMenuItemCount(logo), 7);  // three tools, a separator, three tools
  EXPECT_TRUE(MenuBarState(logo, 3) & MF_SEPARATOR);
  ::GetMenuStringW(logo, 4, text, 64, MF_BYPOSITION);
  EXPECT_STREQ(text, L"Choose &logos...");
  HMENU options = ::GetSubMenu(bar, 1);
  EXPECT_EQ(::GetMenuItemCount(options), 9);
  EXPECT_TRUE(MenuBarState(options, 0) & MF_CHECKED) << "list view applied at start";
  EXPECT_EQ(::SendMessageW(window.Bar().Toolbar(), TB_BUTTONCOUNT, 0, 0), 10);
  EXPECT_EQ(window.Bar().Property(L"ToolTutorial", L"HelpContextID"), 30);
}

TEST_F(Commands, ViewToolsSwitchTheListAndTheirChecksInMenuAndToolbar) {
  auto& window = Open();
  Click(L"ToolReportView");
  EXPECT_EQ(window.CurrentViewMode(), 1);
  EXPECT_TRUE(window.Bar().Checked(L"ToolReportView"));
  EXPECT_FALSE(window.Bar().Checked(L"ToolListView"));
  HMENU options = ::GetSubMenu(window.Bar().MenuBar(), 1);
  EXPECT_TRUE(MenuBarState(options, 1) & MF_CHECKED);
  EXPECT_FALSE(MenuBarState(options, 0) & MF_CHECKED);
  Click(L"ToolListView");
  EXPECT_EQ(window.CurrentViewMode(), 0);
  EXPECT_TRUE(window.Bar().Checked(L"ToolListView"));
}

TEST_F(Commands, ViewModeSurvivesARestart) {
  {
    auto& window = Open();
    Click(L"ToolReportView");
    app::SaveSettings(state_, window);
  }
  auto& window = Open();
  EXPECT_EQ(window.CurrentViewMode(), 1);
  EXPECT_TRUE(window.Bar().Checked(L"ToolReportView"));
}

TEST_F(Commands, SetToolsFollowTheSelectionAfterAClick) {
  auto& empty = Open();
  for (const wchar_t* tool : {L"ToolRename", L"ToolDelete", L"ToolSetDefault"})
    EXPECT_TRUE(empty.Bar().Enabled(tool)) << "all tools start enabled";
  ClickList();
  for (const wchar_t* tool : {L"ToolRename", L"ToolDelete", L"ToolSetDefault"}) {
    EXPECT_FALSE(empty.Bar().Enabled(tool));
    EXPECT_FALSE(::SendMessageW(empty.Bar().Toolbar(), TB_ISBUTTONENABLED,
                                empty.Bar().Command(tool), 0));
  }
  KeyUp(VK_DELETE);
  KeyUp(VK_F2);
  EXPECT_TRUE(asked_.empty());

  MakeSet(L"Blue");
  KeyUp(VK_F5);  // refresh
  EXPECT_EQ(empty.ListNames(), std::vector<std::wstring>{L"Blue"});
  Select(L"Blue");
  ClickList();
  for (const wchar_t* tool : {L"ToolRename", L"ToolDelete", L"ToolSetDefault"})
    EXPECT_TRUE(empty.Bar().Enabled(tool));
}

TEST_F(Commands, UnknownToolsDoNothingAndExitCloses) {
  MakeSet(L"Blue");
  auto& window = Open();
  Select(L"Blue");
  window.ActiveBar1_Click(L"MnuLogo");
  window.ActiveBar1_Click(L"NoSuchTool");
  EXPECT_EQ(window.CurrentViewMode(), 0);
  EXPECT_TRUE(asked_.empty());
  EXPECT_TRUE(help_.empty());
  EXPECT_EQ(unloads_, 0);
  Click(L"MnuExit");
  EXPECT_EQ(unloads_, 1);
}

TEST_F(Commands, HelpContentsTutorialTopicAndF1) {
  auto& window = Open();
  Click(L"ToolContents");
  Click(L"ToolTutorial");
  KeyUp(VK_F1);
  ::SendMessageW(window.hwnd(), WM_KEYUP, VK_F1, 0xC0000001);
  ASSERT_EQ(help_.size(), 4u);
  EXPECT_EQ(help_[0].command, UINT{HELP_CONTENTS});
  EXPECT_EQ(help_[0].file, state_.HelpFile);
  EXPECT_EQ(help_[0].owner, window.hwnd());
  EXPECT_EQ(help_[1].command, UINT{HELP_CONTEXT});
  EXPECT_EQ(help_[1].data, ULONG_PTR{30});
  EXPECT_EQ(help_[2].command, UINT{HELP_CONTENTS});
  EXPECT_EQ(help_[3].command, UINT{HELP_CONTENTS});
}

TEST_F(Commands, ChooseLogosOpensTheEditorOnceFromTheTimer) {
  auto& window = Open();
  int opened = 0;
  window.SetEditorOpener([&] { ++opened; });
  Click(L"ToolBrowser");
  EXPECT_EQ(opened, 0) << "not inside the command";
  EXPECT_TRUE(testing_support::PumpMessagesUntil([&] { return opened > 0; }));
  EXPECT_EQ(opened, 1);
}

TEST_F(Commands, ExploreOpensTheSelectedSetOrTheLogoFolder) {
  MakeSet(L"Blue");
  auto& window = Open();
  EXPECT_EQ(window.ExploreTarget(), logos_.path());
  Select(L"Blue");
  EXPECT_EQ(window.ExploreTarget(), logos_ / L"Blue");
  window.Bar().SetEnabled(L"ToolDelete", false);
  EXPECT_EQ(window.ExploreTarget(), logos_.path());
}

}  // namespace
