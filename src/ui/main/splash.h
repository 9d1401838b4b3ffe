// The splash window shown while the main window loads.
#pragma once

#include <windows.h>

#include "common/handles.h"
#include "ui/common/window_base.h"

namespace ui {

class FrmSplash final : public WindowBase {
 public:
  static constexpr wchar_t kClassName[] = L"QuillaneSplash";
  static constexpr wchar_t kVersionText[] = L"5.00\r\n25th October 2000";

  FrmSplash() = default;
  ~FrmSplash() override;

  // Creates the window centred on the screen, shows it without activating the
  // program's other windows, and paints it at once.
  bool Show();
  void Close();
  HWND VerInfo() const { return verInfo_; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void OnPaint();

  common::UniqueGdiObject picture_;
  common::UniqueGdiObject font_;
  common::UniqueGdiObject labelBrush_;
  HWND verInfo_ = nullptr;
  SIZE size_{};
};

}  // namespace ui
