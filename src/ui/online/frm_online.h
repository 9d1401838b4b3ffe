// The online check dialog: asks the maker's web server whether a newer version exists
// and offers to open its download page.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "app/app_state.h"
#include "ui/online/web_version_check.h"

namespace ui {

// Shows the online check dialog modally over the owner; returns when it is closed.
void ShowOnlineDialog(HWND owner, app::AppState& state);

class FrmOnline final : private online::WebVrChkEvents {
 public:
  // Opens an address in the web browser (app::OpenDocument unless a test replaces it).
  using DocumentOpener =
      std::function<void(const std::wstring& address, HWND window, const std::wstring& folder)>;

  explicit FrmOnline(app::AppState& state, DocumentOpener opener = {});
  ~FrmOnline() override;
  FrmOnline(const FrmOnline&) = delete;
  FrmOnline& operator=(const FrmOnline&) = delete;

  // Runs the dialog modally; returns when it is closed.
  void ShowModal(HWND owner);
  // Creates the dialog modeless and hidden (tests drive it through its controls);
  // closing it destroys the window.
  HWND CreateModeless(HWND owner);

  HWND hwnd() const { return hwnd_; }
  online::WebVrChk& WebVrChk1() { return webVrChk1_; }

  // Control identifiers, for tests and keyboard handling.
  enum ControlId : int {
    kIdBtnClose = IDCANCEL,  // Esc closes the dialog
    kIdFrame1 = 100,
    kIdLabel1,
    kIdBtnCheck,
    kIdLabel2,
    kIdLblStatus,
    kIdFrame2,
    kIdLabel4_1,
    kIdLblCurVersion,
    kIdLabel4_2,
    kIdLblLatestVersion,
    kIdLabel4_0,
    kIdDescript,
    kIdBtnDownload,
  };
  HWND Control(ControlId id) const { return ::GetDlgItem(hwnd_, id); }

  // Command handlers (the buttons).
  void BtnCheck_Click();
  void BtnDownload_Click();
  void BtnClose_Click();

 private:
  static INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam,
                                          LPARAM lParam);
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Form_Load();
  void CreateControls();
  void PlaceWindow(HWND owner);
  int Twips(int twips) const;

  // online::WebVrChkEvents
  void UpdateAvailable(const std::wstring& sNewVersion, const std::wstring& sDownloadURL,
                       const std::wstring& sAbstract, const std::wstring& sCustomData) override;
  void ErrorInDownload(int32_t Error) override;
  void WebVrChk1_UpdateAvailable(const std::wstring& sNewVersion,
                                 const std::wstring& sDownloadURL,
                                 const std::wstring& sCustomData);
  void WebVrChk1_ErrorInDownload(int32_t Error);

  app::AppState& state_;
  DocumentOpener opener_;
  online::WebVrChk webVrChk1_{*this};
  HWND hwnd_ = nullptr;
  bool modal_ = false;
  int dpi_ = 96;
  bool updateFound_ = false;
  bool errorSeen_ = false;
  std::wstring downloadAddress_;  // the download button's tag
};

}  // namespace ui
