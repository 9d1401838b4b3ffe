// A logo folder, a start-up drive root and a Windows folder in scratch space.
#pragma once

#include <windows.h>

#include <string>

#include "app/app_state.h"
#include "support/scratch.h"

namespace testing_support {

class LibraryFixture {
 public:
  LibraryFixture() {
    state.settings.LogoPath = logos_.path();
    state.settings.StartUpDrive = drive_.path();
    state.WindowsFolder = windows_.path();
  }

  // A set folder holding the given logo files, each containing its own path's text.
  void MakeSet(const std::wstring& name, std::initializer_list<const wchar_t*> files) {
    CreateFolder(logos_ / name);
    for (const wchar_t* file : files) WriteFileBytes(logos_ / name + L"\\" + file, Contents(name, file));
  }
  static std::string Contents(const std::wstring& set, const std::wstring& file) {
    std::string text = "logo ";
    for (wchar_t c : set + L"/" + file) text += static_cast<char>(c < 128 ? c : '?');
    return text;
  }

  std::wstring Logos() const { return logos_.path(); }
  std::wstring Drive() const { return drive_.path(); }
  std::wstring Windows() const { return windows_.path(); }

  app::AppState state;

 private:
  ScratchFolder logos_{L"logos"};
  ScratchFolder drive_{L"drive"};
  ScratchFolder windows_{L"windows"};
};

}  // namespace testing_support
