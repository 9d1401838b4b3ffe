// A loaded main window over a scratch logo folder, with message boxes and help
// answered by the test.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/settings.h"
#include "support/scratch.h"
#include "ui/common/help.h"
#include "ui/common/message_box.h"
#include "ui/main/principale.h"

namespace testing_support {

inline std::wstring WindowText(HWND window) {
  wchar_t text[512] = {};
  ::GetWindowTextW(window, text, 512);
  return text;
}

class MainWindowFixture : public ::testing::Test {
 protected:
  MainWindowFixture() {
    state_.WindowsFolder = windows_.path();
    SetRegistryString(HKEY_LOCAL_MACHINE, app::kSettingsKey, L"LogoPath", logos_.path());
    SetRegistryString(HKEY_LOCAL_MACHINE, app::kSettingsKey, L"StartUpDrive", L"C");
  }

  // A set folder with the given logo files, each holding its own name.
  void MakeSet(const std::wstring& name, std::initializer_list<const wchar_t*> files = {
                                             L"LOGO.SYS", L"LOGOW.SYS", L"LOGOS.SYS"}) {
    CreateFolder(logos_ / name);
    for (const wchar_t* file : files) WriteFileBytes(logos_ / name + L"\\" + file, "logo");
  }
  void Setting(const wchar_t* name, const std::wstring& text) {
    SetRegistryString(HKEY_LOCAL_MACHINE, app::kSettingsKey, name, text);
  }

  ui::Principale& Open() {
    window_ = std::make_unique<ui::Principale>(state_, [this] { ++unloads_; });
    EXPECT_TRUE(window_->Load());
    // Installation in tests goes to scratch folders, never to the prefix's C:\.
    state_.settings.StartUpDrive = drive_.path();
    return *window_;
  }
  void Click(const wchar_t* tool) {
    ::SendMessageW(window_->hwnd(), WM_COMMAND, window_->Bar().Command(tool), 0);
  }
  void KeyUp(WORD key) { ::SendMessageW(window_->MyList(), WM_KEYUP, key, 0xC0000001); }
  void Select(const std::wstring& name) { window_->SelItem(name); }
  // A click in the list, as the list reports it once the button is released.
  void ClickList() { window_->MyList_MouseUp(1, POINT{0, 0}); }
  int IconOf(const std::wstring& name) {
    LVFINDINFOW find{LVFI_STRING, name.c_str()};
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = ListView_FindItem(window_->MyList(), -1, &find);
    ListView_GetItem(window_->MyList(), &item);
    return item.iImage;
  }
  // Answers the next questions in order; unscripted ones get OK or No.
  void Answer(std::initializer_list<int> buttons) { answers_.assign(buttons); }

  RegistryKeyReset reset_{HKEY_LOCAL_MACHINE, app::kSettingsKey};
  ScratchFolder logos_{L"logos"};
  ScratchFolder drive_{L"drive"};
  ScratchFolder windows_{L"windows"};
  app::AppState state_;
  std::unique_ptr<ui::Principale> window_;
  int unloads_ = 0;
  std::vector<ui::MessageRequest> asked_;
  std::vector<int> answers_;
  ui::ScopedMessageHandler messages_{[this](const ui::MessageRequest& request) {
    asked_.push_back(request);
    if (answers_.empty()) return (request.style & MB_YESNO) ? IDNO : IDOK;
    const int answer = answers_.front();
    answers_.erase(answers_.begin());
    return answer;
  }};
  std::vector<ui::HelpRequest> help_;
  ui::ScopedHelpHandler helpRecorder_{[this](const ui::HelpRequest& r) { help_.push_back(r); }};
};

}  // namespace testing_support
