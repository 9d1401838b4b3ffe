// The process-wide state of the program and its persisted settings.
#pragma once

#include <cstdint>
#include <string>

namespace app {

// The settings, named after their registry values, in the order they are saved.
// The list's view mode is not held here: it lives in the list itself.
struct Settings {
  std::wstring SearchLogoPath;
  int16_t SynchronizeLogos = 0;
  int16_t DisplayAnimation = 0;
  int16_t ShowAllFiles = 0;
  std::wstring StartUpDrive;    // a drive root such as "C:\"; stored as the letter alone
  std::wstring DefaultLogoSet;  // "<Don't know>" while the installed set is not in the library
  int16_t DefaultAction = 0;    // 0 actual size, 1 Paint, 2 the custom program
  std::wstring CustomProgName;
  std::wstring CustomProgPath;
  int16_t DeleteInTheRecycleBin = 0;
  int16_t ConfirmLogosetDelete = 0;
  int16_t ConfirmLogoTypeChange = 0;
  int16_t ShowSplashScreen = 1;
  std::wstring LogoPath;  // always with one trailing backslash
  int16_t ActionOnDoubleClick = 0;
};

struct AppState {
  std::wstring ProgramFolder;  // each folder with one trailing backslash
  std::wstring WindowsFolder;
  std::wstring StartupFolder;
  std::wstring MsdosSysPath;
  std::wstring HelpFile;
  int16_t StartupLogoOption = 1;  // "Logo" of [Options] in msdos.sys
  bool StartupLogoOptionChanged = false;
  bool SynchronizerPending = false;
  Settings settings;
};

inline constexpr wchar_t kDontKnow[] = L"<Don't know>";
inline constexpr wchar_t kProgramTitle[] = L"Quillane 2000";

}  // namespace app
