// A stand-in for the main window that records what the core asks of it.
#pragma once

#include <string>
#include <vector>

#include "app/main_window_port.h"

namespace testing_support {

class FakeMainWindow final : public app::MainWindowPort {
 public:
  void SetLogoAnimation(bool on) override { animation.push_back(on); }
  void ApplyViewMode(int index) override {
    viewCommands.push_back(index);
    viewMode = index;
  }
  int CurrentViewMode() const override { return viewMode; }
  void SetCustomProgramCaption(const std::wstring& caption) override { customCaption = caption; }
  std::wstring InstalledSetCaption() const override { return installedSet; }
  void ScanLibrary() override { ++scans; }

  std::vector<bool> animation;
  std::vector<int> viewCommands;
  int viewMode = 0;
  std::wstring customCaption = L"(unset)";
  std::wstring installedSet = L"<Don't know>";
  int scans = 0;
};

}  // namespace testing_support
