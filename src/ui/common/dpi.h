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

// HIMETRIC: 0.01 mm, 2540 to the inch (the unit forms store control sizes in).
inline int HimetricToPixels(int himetric, int dpi) { return ::MulDiv(himetric, dpi, 2540); }
inline int PixelsToHimetric(int pixels, int dpi) { return ::MulDiv(pixels, 2540, dpi); }

}  // namespace ui
