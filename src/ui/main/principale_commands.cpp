// The main window's menu bar, toolbar, keys and command dispatch.
#include <windows.h>
#include <shellapi.h>

#include "ui/common/help.h"
#include "ui/main/principale.h"
#include "ui/main/principale_ids.h"

namespace ui {
namespace {

const ToolSpec kTools[] = {
    {L"MnuLogo", L"&Logo", nullptr, -1},
    {L"MnuOptions", L"&Options", nullptr, -1},
    {L"MnuHelp", L"&Help", nullptr, -1},
    {L"MnuExit", L"E&xit", nullptr, -1},
    {L"ToolRename", L"&Rename", L"Rename selected logo set", StandardImage(STD_PROPERTIES)},
    {L"ToolDelete", L"D&elete", L"Delete selected logo set", StandardImage(STD_DELETE)},
    {L"ToolSetDefault", L"Set as default", L"Set as default", HistoryImage(HIST_ADDTOFAVORITES)},
    {L"ToolBrowser", L"Choose &logos...", L"Choose logos", StandardImage(STD_FILEOPEN)},
    {L"ToolExplore", L"&Explore", L"Opens the folder in Explorer", ViewImage(VIEW_PARENTFOLDER)},
    {L"ToolRefresh", L"&Refresh", L"Refreshed the logo sets list", StandardImage(STD_REDOW)},
    {L"ToolListView", L"View as l&ist", nullptr, ViewImage(VIEW_LIST)},
    {L"ToolReportView", L"View as &report", nullptr, ViewImage(VIEW_DETAILS)},
    {L"ToolShowCurrent", L"Show current &logo setting", L"Show current logo setting",
     StandardImage(STD_PRINTPRE)},
    {L"ToolRandom", L"Rando&m Change", L"Random change", StandardImage(STD_REPLACE)},
    {L"ToolPrefer", L"&Preferences...", nullptr, StandardImage(STD_PROPERTIES)},
    {L"Online", L"&Online check...", nullptr, -1},
    {L"ToolContents", L"Contents", L"Contents", StandardImage(STD_HELP)},
    {L"ToolTutorial", L"Tutorial", nullptr, -1},
};

const BandSpec kBands[] = {
    {L"MainMenu", L"Main", {L"MnuLogo", L"MnuOptions", L"MnuHelp", L"MnuExit"}},
    {L"LogoBand", L"Logo",
     {L"ToolRename", L"ToolDelete", L"ToolSetDefault", L"/", L"ToolBrowser", L"ToolExplore",
      L"ToolRefresh"}},
    {L"OptionsBand", L"Options",
     {L"ToolListView", L"ToolReportView", L"/", L"ToolShowCurrent", L"/", L"ToolRandom", L"/",
      L"ToolPrefer", L"Online"}},
    {L"HelpBand", L"Help", {L"ToolContents", L"ToolTutorial"}},
    {L"BarMain", L"Main",
     {L"ToolRename", L"ToolDelete", L"ToolSetDefault", L"ToolBrowser", L"ToolRefresh", L"/",
      L"ToolShowCurrent", L"ToolRandom", L"/", L"ToolContents"}},
};

const DropDown kDropDowns[] = {
    {L"MnuLogo", L"LogoBand"}, {L"MnuOptions", L"OptionsBand"}, {L"MnuHelp", L"HelpBand"}};

}  // namespace

int Principale::ToolCommandId(const std::wstring& tool) {
  for (size_t i = 0; i < std::size(kTools); ++i)
    if (tool == kTools[i].name) return CommandBar::kFirstCommand + static_cast<int>(i);
  return 0;
}

void Principale::CreateCommandBar() {
  bar_.Create(hwnd(), kTools, kBands, L"MainMenu", kDropDowns, L"BarMain");
  top_ = bar_.ToolbarHeight();
}

void Principale::OnCommand(int command) {
  if (command >= kIdItmOpenAct0 && command < kIdItmOpenAct0 + 3) return;  // image actions
  const std::wstring tool = bar_.ToolName(command);
  if (!tool.empty()) ActiveBar1_Click(tool);
}

// One dispatch for every tool, whichever menu, toolbar button or key it came from.
void Principale::ActiveBar1_Click(const std::wstring& tool) {
  if (tool == L"ToolRename") {
    ItmRename_Click();
  } else if (tool == L"ToolDelete") {
    ItmDelete_Click();
  } else if (tool == L"ToolRefresh") {
    itmRefresh_Click();
  } else if (tool == L"ToolSetDefault") {
    ItmSetDefault_Click();
  } else if (tool == L"ToolBrowser") {
    ItmLogoManager_Click();
  } else if (tool == L"ToolExplore") {
    ItmExplore_Click();
  } else if (tool == L"ToolListView") {
    ItmViewType_Click(0);
  } else if (tool == L"ToolReportView") {
    ItmViewType_Click(1);
  } else if (tool == L"ToolShowCurrent") {
    bar_.SetChecked(L"ToolShowCurrent", !bar_.Checked(L"ToolShowCurrent"));
    ItmViewDefOrActual_Click();
  } else if (tool == L"ToolRandom") {
    ItmRandomSpin_Click();
  } else if (tool == L"ToolPrefer") {
    ItmPref_Click();
  } else if (tool == L"Online") {
    if (openOnline_) openOnline_();
  } else if (tool == L"ToolContents") {
    ItmContents_Click();
  } else if (tool == L"ToolTutorial") {
    OpenHelp(hwnd(), state_.HelpFile, HELP_CONTEXT,
             static_cast<ULONG_PTR>(bar_.Property(L"ToolTutorial", L"HelpContextID")));
  } else if (tool == L"MnuExit") {
    ItmExit_Click();
  }
}

void Principale::ItmViewType_Click(int index) {
  const LONG_PTR style = ::GetWindowLongPtrW(myList_, GWL_STYLE);
  const LONG_PTR view = index == 1 ? LVS_REPORT : LVS_LIST;
  ::SetWindowLongPtrW(myList_, GWL_STYLE, (style & ~LVS_TYPEMASK) | view);
  bar_.SetChecked(L"ToolListView", index != 1);
  bar_.SetChecked(L"ToolReportView", index == 1);
}

// The editor opens from a one-shot timer, so that the command that asked for it ends first.
void Principale::ItmLogoManager_Click() { ::SetTimer(hwnd(), kIdTimer1, 10, nullptr); }

void Principale::OnTimer() {
  ::KillTimer(hwnd(), kIdTimer1);
  common::WaitCursor wait;
  if (openEditor_) openEditor_();
}

void Principale::ItmPref_Click() {
  if (openPreferences_) openPreferences_();
}

void Principale::ItmContents_Click() { OpenHelp(hwnd(), state_.HelpFile, HELP_CONTENTS, 0); }

void Principale::ItmExit_Click() { ::SendMessageW(hwnd(), WM_CLOSE, 0, 0); }

std::wstring Principale::ExploreTarget() const {
  const std::wstring name = SelectedName();
  if (bar_.Enabled(L"ToolDelete") && !name.empty()) return state_.settings.LogoPath + name;
  return state_.settings.LogoPath;
}

void Principale::ItmExplore_Click() {
  ::ShellExecuteW(hwnd(), nullptr, ExploreTarget().c_str(), nullptr,
                  state_.ProgramFolder.c_str(), SW_SHOWNORMAL);
}

// Keys act on release, and only while the tool they stand for is enabled.
void Principale::MyList_KeyUp(WORD key) {
  switch (key) {
    case VK_F1:
      ItmContents_Click();
      break;
    case VK_DELETE:
      if (bar_.Enabled(L"ToolDelete")) ItmDelete_Click();
      break;
    case VK_F2:
      if (bar_.Enabled(L"ToolRename")) ItmRename_Click();
      break;
    case VK_F5:
      itmRefresh_Click();
      break;
  }
}

LRESULT Principale::OnNotify(const NMHDR& header) {
  if (header.hwndFrom == myList_) return OnListNotify(header);
  if (header.hwndFrom == tooltip_ && header.code == TTN_GETDISPINFOW) {
    auto& info = const_cast<NMTTDISPINFOW&>(reinterpret_cast<const NMTTDISPINFOW&>(header));
    info.lpszText = const_cast<wchar_t*>(defaultLogoTip_.c_str());
    return 0;
  }
  bar_.OnNotify(header);
  return 0;
}

}  // namespace ui
