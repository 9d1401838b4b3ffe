// Quillane's entry point.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "app/lifecycle.h"
#include "ui/main/principale.h"
#include "ui/main/splash.h"
#include "ui/online/frm_online.h"

namespace {

class ProgramWindows final : public app::StartupWindows {
 public:
  explicit ProgramWindows(ui::Principale& main) : main_(main) {}
  void ShowSplash() override { splash_.Show(); }
  void CloseSplash() override { splash_.Close(); }
  void LoadMainWindow() override { main_.Load(); }
  void ShowMainWindow() override { main_.Show(); }

 private:
  ui::Principale& main_;
  ui::FrmSplash splash_;
};

class OleSession {
 public:
  OleSession() : result_(::OleInitialize(nullptr)) {}
  ~OleSession() {
    if (SUCCEEDED(result_)) ::OleUninitialize();
  }
  OleSession(const OleSession&) = delete;
  OleSession& operator=(const OleSession&) = delete;

 private:
  HRESULT result_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES |
                                                      ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  OleSession ole;

  app::AppState state;
  app::InitializeFolders(state);
  ui::Principale principale(state, [&] { app::CloseAll(state, principale); });
  principale.SetOnlineOpener([&] { ui::ShowOnlineDialog(principale.hwnd(), state); });
  ProgramWindows windows(principale);
  app::SystemClock clock;
  app::StartApplication(state, windows, clock);
  if (!principale.hwnd()) return 1;

  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return 0;
}
