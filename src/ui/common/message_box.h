// Every message box of the program goes through ShowMessage, so that tests can answer
// them with scripted replies and see what was asked.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace ui {

struct MessageRequest {
  HWND owner;
  std::wstring text;
  std::wstring title;
  UINT style;  // MB_ICONEXCLAMATION, MB_YESNO | MB_ICONQUESTION, ...
};

// Answers a request with the button pressed (IDOK, IDYES, IDNO, ...).
using MessageHandler = std::function<int(const MessageRequest&)>;

// Shows a message box (MessageBoxW) unless a handler is installed.
int ShowMessage(HWND owner, const std::wstring& text, const std::wstring& title, UINT style);

// Installs a handler for the lifetime of the object (tests); restores the previous
// one when it goes away.
class ScopedMessageHandler {
 public:
  explicit ScopedMessageHandler(MessageHandler handler);
  ~ScopedMessageHandler();
  ScopedMessageHandler(const ScopedMessageHandler&) = delete;
  ScopedMessageHandler& operator=(const ScopedMessageHandler&) = delete;

 private:
  MessageHandler previous_;
};

}  // namespace ui
