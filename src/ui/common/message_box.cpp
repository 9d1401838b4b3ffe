#include "ui/common/message_box.h"

#include <utility>

namespace ui {
namespace {

MessageHandler& CurrentHandler() {
  static MessageHandler handler;
  return handler;
}

}  // namespace

int ShowMessage(HWND owner, const std::wstring& text, const std::wstring& title, UINT style) {
  if (const MessageHandler& handler = CurrentHandler())
    return handler(MessageRequest{owner, text, title, style});
  return ::MessageBoxW(owner, text.c_str(), title.c_str(), style);
}

ScopedMessageHandler::ScopedMessageHandler(MessageHandler handler)
    : previous_(std::exchange(CurrentHandler(), std::move(handler))) {}

ScopedMessageHandler::~ScopedMessageHandler() { CurrentHandler() = std::move(previous_); }

}  // namespace ui
