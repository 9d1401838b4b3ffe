#include "support/dialog_answerer.h"

#include <algorithm>

namespace testing_support {
namespace {

struct Search {
  DWORD processId;
  std::vector<HWND> dialogs;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  wchar_t className[64] = {};
  ::GetClassNameW(window, className, 64);
  if (processId == search->processId && ::IsWindowVisible(window) &&
      std::wstring(className) == L"#32770")
    search->dialogs.push_back(window);
  return TRUE;
}

}  // namespace

DialogAnswerer::DialogAnswerer(int commandId)
    : commandId_(commandId), thread_([this] { Watch(); }) {}

DialogAnswerer::~DialogAnswerer() { stop(); }

void DialogAnswerer::stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

void DialogAnswerer::Watch() {
  std::vector<HWND> answered;
  while (!stop_) {
    Search search{::GetCurrentProcessId(), {}};
    ::EnumWindows(&CollectDialog, reinterpret_cast<LPARAM>(&search));
    for (HWND dialog : search.dialogs) {
      if (std::find(answered.begin(), answered.end(), dialog) != answered.end()) continue;
      wchar_t title[256] = {};
      ::GetWindowTextW(dialog, title, 256);
      titles_.push_back(title);
      answered.push_back(dialog);
      ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(commandId_, BN_CLICKED), 0);
    }
    ::Sleep(20);
  }
}

}  // namespace testing_support
