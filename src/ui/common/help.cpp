#include "ui/common/help.h"

#include <utility>

namespace ui {
namespace {

std::function<void(const HelpRequest&)>& CurrentHandler() {
  static std::function<void(const HelpRequest&)> handler;
  return handler;
}

}  // namespace

void OpenHelp(HWND owner, const std::wstring& file, UINT command, ULONG_PTR data) {
  if (const auto& handler = CurrentHandler()) {
    handler(HelpRequest{owner, file, command, data});
    return;
  }
  ::WinHelpW(owner, file.c_str(), command, data);
}

ScopedHelpHandler::ScopedHelpHandler(std::function<void(const HelpRequest&)> handler)
    : previous_(std::exchange(CurrentHandler(), std::move(handler))) {}

ScopedHelpHandler::~ScopedHelpHandler() { CurrentHandler() = std::move(previous_); }

}  // namespace ui
