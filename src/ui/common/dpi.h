// Layout units: twips and 96-DPI pixels scaled to the screen's DPI.
#pragma once

#include <windows.h>

namespace ui {

// The screen's logical DPI (the whole program is system-DPI aware).
inline int ScreenDpi() {
  HDC screen = ::GetDC(nullptr);
  const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

// 1440 twips to the inch.
inline int TwipsToPixels(int twips, int dpi) { return ::MulDiv(twips, dpi, 1440); }

}  // namespace ui
