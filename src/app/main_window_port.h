// What the start-up, settings and exit code needs of the main window.
#pragma once

#include <string>

namespace app {

class MainWindowPort {
 public:
  virtual ~MainWindowPort() = default;

  // Switches animation of the three logo views on or off.
  virtual void SetLogoAnimation(bool on) = 0;
  // Runs the view command with this index: 0 list, 1 report.
  virtual void ApplyViewMode(int index) = 0;
  // 0 while the list shows the list view, 1 otherwise.
  virtual int CurrentViewMode() const = 0;
  // The caption of the third entry of the logo views' open-with menu.
  virtual void SetCustomProgramCaption(const std::wstring& caption) = 0;
  // The installed set's name as the installed-set label shows it (while the
  // current-setting view is on, the name it showed before).
  virtual std::wstring InstalledSetCaption() const = 0;
  // Rescans the logo folder and refills the list.
  virtual void ScanLibrary() = 0;
};

}  // namespace app
