// Keeps a picture of a window, as the screen shows it, for people to look at.
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

// Writes the window's screen area as a 24-bit BMP into the build's artifacts folder
// (the folder above the test program's, "artifacts"); returns the file's path, or ""
// when it could not be written.
std::wstring SaveWindowScreenshot(HWND window, const std::wstring& fileName);

}  // namespace testing_support
