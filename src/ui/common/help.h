// Opens the program's help file through the Windows help engine. Tests replace the
// engine with a recorder.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace ui {

struct HelpRequest {
  HWND owner;
  std::wstring file;
  UINT command;  // HELP_CONTENTS, HELP_CONTEXT, ...
  ULONG_PTR data;
};

void OpenHelp(HWND owner, const std::wstring& file, UINT command, ULONG_PTR data);

class ScopedHelpHandler {
 public:
  explicit ScopedHelpHandler(std::function<void(const HelpRequest&)> handler);
  ~ScopedHelpHandler();
  ScopedHelpHandler(const ScopedHelpHandler&) = delete;
  ScopedHelpHandler& operator=(const ScopedHelpHandler&) = delete;

 private:
  std::function<void(const HelpRequest&)> previous_;
};

}  // namespace ui
