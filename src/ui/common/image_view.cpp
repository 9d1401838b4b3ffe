#include "ui/common/image_view.h"

#include <windowsx.h>

#include <algorithm>
#include <filesystem>

#include "common/handles.h"
#include "imaging/logo_format.h"

namespace ui {
namespace {

COLORREF ToColorRef(std::uint32_t oleColour) {
  if (oleColour & 0x80000000u) return ::GetSysColor(static_cast<int>(oleColour & 0xFF));
  return static_cast<COLORREF>(oleColour & 0xFFFFFF);
}

bool RegisterClassOnce() {
  WNDCLASSEXW existing{sizeof(existing)};
  if (::GetClassInfoExW(::GetModuleHandleW(nullptr), ImageView::kClassName, &existing)) return true;
  WNDCLASSEXW wc{sizeof(wc)};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = WindowBase::Procedure;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = ImageView::kClassName;
  return ::RegisterClassExW(&wc) != 0;
}

int ShiftState(WPARAM keys) {
  int shift = 0;
  if (keys & MK_SHIFT) shift |= 1;
  if (keys & MK_CONTROL) shift |= 2;
  if (::GetKeyState(VK_MENU) < 0) shift |= 4;
  return shift;
}

}  // namespace

bool ImageView::Create(HWND parent, int id, const RECT& rect) {
  if (!RegisterClassOnce()) return false;
  return ::CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, rect.left, rect.top,
                           rect.right - rect.left, rect.bottom - rect.top, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr),
                           this) != nullptr;
}

RECT ImageView::FitPicture(int width, int height, const RECT& bounds) {
  const int boundsWidth = bounds.right - bounds.left, boundsHeight = bounds.bottom - bounds.top;
  if (width <= 0 || height <= 0 || boundsWidth <= 0 || boundsHeight <= 0) return {};
  // Shown proportions: a logo covers the 4:3 screen; other pictures have square pixels.
  const bool logo = width == imaging::kLogoWidth && height == imaging::kLogoHeight;
  const std::int64_t shownWidth = logo ? 4 : width, shownHeight = logo ? 3 : height;
  int w = boundsWidth, h = static_cast<int>(boundsWidth * shownHeight / shownWidth);
  if (h > boundsHeight) {
    h = boundsHeight;
    w = static_cast<int>(boundsHeight * shownWidth / shownHeight);
  }
  w = std::max(w, 1);
  h = std::max(h, 1);
  const int left = bounds.left + (boundsWidth - w) / 2, top = bounds.top + (boundsHeight - h) / 2;
  return {left, top, left + w, top + h};
}

RECT ImageView::PictureRect() const {
  RECT client{};
  if (hwnd()) ::GetClientRect(hwnd(), &client);
  if (status_ == 0) return {};
  if (autoResize_) return client;
  return FitPicture(width_, height_, client);
}

void ImageView::SetFileName(const std::wstring& path) {
  fileName_ = path;
  Clear();
  if (!path.empty()) Load();
  if (autoResize_ && status_ != 0 && hwnd())
    ::SetWindowPos(hwnd(), nullptr, 0, 0, width_, height_, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  UpdateTimer();
  if (hwnd()) ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void ImageView::Clear() {
  status_ = 0;
  colorBits_ = width_ = height_ = animationStart_ = step_ = 0;
  picture_ = {};
  palette_.clear();
  pixels_.clear();
}

void ImageView::Load() {
  try {
    const imaging::PictureReport report = imaging::InspectPictureFile(std::filesystem::path(fileName_), &picture_);
    if (report.status == imaging::ImageStatus::None) return;
    status_ = static_cast<std::uint8_t>(report.status);
    colorBits_ = report.facts.bitsPerPixel;
    width_ = picture_.width;
    height_ = picture_.height;
    animationStart_ = report.animationStart;
    palette_ = picture_.palette;
    if (picture_.IsIndexed()) palette_.resize(std::max<std::size_t>(palette_.size(), 256));
    RenderPixels();
  } catch (const std::exception&) {
    Clear();  // out of memory: show nothing rather than half a picture
  }
}

void ImageView::RenderPixels() {
  const std::size_t count = static_cast<std::size_t>(width_) * height_;
  pixels_.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    imaging::Rgb c;
    if (picture_.IsIndexed())
      c = palette_[picture_.indices[i]];
    else
      c = picture_.PixelAt(i);
    pixels_[i] = (static_cast<std::uint32_t>(c.r) << 16) | (c.g << 8) | c.b;
  }
}

void ImageView::SetAnimate(bool animate) {
  animate_ = animate;
  UpdateTimer();
}

void ImageView::SetAutoResize(bool autoResize) {
  autoResize_ = autoResize;
  if (autoResize_ && status_ != 0 && hwnd())
    ::SetWindowPos(hwnd(), nullptr, 0, 0, width_, height_, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ImageView::SetBackColor(std::uint32_t oleColour) {
  backColour_ = oleColour;
  if (hwnd()) ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void ImageView::UpdateTimer() {
  const bool wanted = animate_ && IsAnimated() && hwnd();
  if (wanted && !timerRunning_) timerRunning_ = ::SetTimer(hwnd(), kAnimationTimer, kAnimationInterval, nullptr) != 0;
  if (!wanted && timerRunning_) {
    if (hwnd()) ::KillTimer(hwnd(), kAnimationTimer);
    timerRunning_ = false;
  }
}

// One step of the cycle: every animated entry takes the colour of the entry above
// it, and the last takes the first's, so colours move from right to left.
void ImageView::OnTimer() {
  if (!IsAnimated() || palette_.size() < 256) return;
  std::rotate(palette_.begin() + animationStart_, palette_.begin() + animationStart_ + 1, palette_.begin() + 256);
  ++step_;
  RenderPixels();
  ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void ImageView::OnPaint() {
  common::PaintScope paint(hwnd());
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  const int w = client.right, h = client.bottom;
  if (w <= 0 || h <= 0) return;
  // Drawn off screen, then copied in one go: no flicker.
  common::UniqueMemoryDC memory(paint.dc());
  common::UniqueResource<common::GdiObjectTraits> bitmap(::CreateCompatibleBitmap(paint.dc(), w, h));
  if (!memory.get() || !bitmap) return;
  common::ScopedSelectObject select(memory.get(), bitmap.get());
  common::UniqueResource<common::GdiObjectTraits> brush(::CreateSolidBrush(ToColorRef(backColour_)));
  ::FillRect(memory.get(), &client, static_cast<HBRUSH>(brush.get()));
  const RECT target = PictureRect();
  if (status_ != 0 && !pixels_.empty()) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    ::SetStretchBltMode(memory.get(), HALFTONE);
    ::SetBrushOrgEx(memory.get(), 0, 0, nullptr);
    ::StretchDIBits(memory.get(), target.left, target.top, target.right - target.left, target.bottom - target.top,
                    0, 0, width_, height_, pixels_.data(), &info, DIB_RGB_COLORS, SRCCOPY);
  }
  ::BitBlt(paint.dc(), 0, 0, w, h, memory.get(), 0, 0, SRCCOPY);
}

void ImageView::Notify(UINT code, int button, WPARAM keys, LPARAM position) {
  const HWND parent = ::GetParent(hwnd());
  if (!parent) return;
  ImageViewMouse event{};
  event.header.hwndFrom = hwnd();
  event.header.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(hwnd()));
  event.header.code = code;
  event.button = button;
  event.shift = ShiftState(keys);
  event.x = GET_X_LPARAM(position);
  event.y = GET_Y_LPARAM(position);
  ::SendMessageW(parent, WM_NOTIFY, event.header.idFrom, reinterpret_cast<LPARAM>(&event));
}

// One click, one event: MouseUp, never ImageMouseUp as well; nothing while empty.
void ImageView::OnMouseUp(int button, WPARAM keys, LPARAM position) {
  if (status_ == 0) return;
  Notify(kImageViewMouseUp, button, keys, position);
}

void ImageView::OnMouseMove(WPARAM keys, LPARAM position) {
  if (status_ == 0) return;
  int buttons = 0;
  if (keys & MK_LBUTTON) buttons |= 1;
  if (keys & MK_RBUTTON) buttons |= 2;
  if (keys & MK_MBUTTON) buttons |= 4;
  Notify(kImageViewMouseMove, buttons, keys, position);
}

LRESULT ImageView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    switch (message) {
      case WM_CREATE: UpdateTimer(); return 0;
      case WM_ERASEBKGND: return 1;  // painted whole in WM_PAINT
      case WM_PAINT: OnPaint(); return 0;
      case WM_TIMER:
        if (wParam == kAnimationTimer) OnTimer();
        return 0;
      case WM_LBUTTONUP: OnMouseUp(1, wParam, lParam); return 0;
      case WM_RBUTTONUP: OnMouseUp(2, wParam, lParam); return 0;
      case WM_MOUSEMOVE: OnMouseMove(wParam, lParam); return 0;
      case WM_DESTROY:
        if (timerRunning_) ::KillTimer(hwnd(), kAnimationTimer);
        timerRunning_ = false;
        return 0;
    }
  } catch (...) {
    return 0;  // nothing may unwind into the system's code
  }
  return Default(message, wParam, lParam);
}

}  // namespace ui
