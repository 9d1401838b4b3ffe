// The program's main window.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <string>

#include "app/app_state.h"
#include "app/main_window_port.h"
#include "common/handles.h"
#include "ui/common/window_base.h"

namespace ui {

class Principale final : public WindowBase, public app::MainWindowPort {
 public:
  static constexpr wchar_t kClassName[] = L"QuillanePrincipale";

  // onUnload runs when the window is destroyed (the program's exit sequence).
  Principale(app::AppState& state, std::function<void()> onUnload);
  ~Principale() override;

  // Creates the window, hidden, and runs its load steps.
  bool Load();
  void Show();

  // app::MainWindowPort
  void SetLogoAnimation(bool on) override;
  void ApplyViewMode(int index) override;
  int CurrentViewMode() const override;
  void SetCustomProgramCaption(const std::wstring& caption) override;
  std::wstring InstalledSetCaption() const override;
  void ScanLibrary() override;

  // Controls, for the library and the tests.
  HWND MyList() const { return myList_; }
  HWND DefaultLogoLabel() const { return defaultLogo_; }
  HWND NumLogoLabel() const { return numLogo_; }
  HWND LogoTypeLabel() const { return logoType_; }
  HWND DescriptionLabel(int index) const { return des_[index]; }
  HMENU OpenWithMenu() const { return openWith_.get(); }
  bool LogoAnimation() const { return animate_; }

  void ItmViewType_Click(int index);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Form_Load();
  void Form_Unload();
  void CreateControls();
  void SetScreenLabels();
  void CreateListColumn();
  int Twips(int twips) const;

  app::AppState& state_;
  std::function<void()> onUnload_;
  int dpi_ = 96;
  bool animate_ = true;
  HWND myList_ = nullptr;
  HWND numLogo_ = nullptr;
  HWND defaultLogo_ = nullptr;
  HWND logoType_ = nullptr;
  std::array<HWND, 3> imag_{};
  std::array<HWND, 3> des_{};
  common::UniqueMenu openWith_;
  common::UniqueGdiObject font_;
};

// Registers the window class once per process.
bool RegisterPrincipaleClass(HINSTANCE instance);

}  // namespace ui
