#include "ui/common/image_view.h"

#include "ui/common/dpi.h"

#include <windowsx.h>

#include <algorithm>
#include <filesystem>

namespace ui {
namespace {

constexpr UINT_PTR kAnimationTimer = 1;

bool RegisterImageViewClass(HINSTANCE instance) {
  WNDCLASSEXW wc{sizeof(wc)};
  if (::GetClassInfoExW(instance, ImageView::kClassName, &wc)) return true;
  wc.lpfnWndProc = &WindowBase::Procedure;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = ImageView::kClassName;
  return ::RegisterClassExW(&wc) != 0;
}

COLORREF ToColorRef(uint32_t colour) {
  return (colour & 0x80000000u) ? ::GetSysColor(static_cast<int>(colour & 0xFF))
                                : static_cast<COLORREF>(colour & 0xFFFFFF);
}

// Shift and Ctrl as the mouse message carries them; Alt is not in the message.
int ShiftState(WPARAM keys) {
  return ((keys & MK_SHIFT) ? 1 : 0) | ((keys & MK_CONTROL) ? 2 : 0) |
         (::GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

// Width over height of the picture as it will be seen: a 320 x 400 picture fills the
// 640 x 480 boot screen, so its pixels are 5:3; other pictures have square pixels.
double ShownAspect(int width, int height) {
  if (width == imaging::kLogoWidth && height == imaging::kLogoHeight) return 4.0 / 3.0;
  return static_cast<double>(width) / height;
}

}  // namespace

ImageView::~ImageView() {
  if (hwnd()) ::DestroyWindow(hwnd());
}

bool ImageView::Create(HWND parent, int id, int x, int y, int width, int height) {
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  if (!RegisterImageViewClass(instance)) return false;
  return ::CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, x, y,
                           width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                           this) != nullptr;
}

void ImageView::SetFileName(const std::wstring& path) {
  fileName_ = path;
  Clear();
  if (!path.empty()) Load();
  UpdateTimer();
  if (autoResize_) FitWindowToPicture();
  if (hwnd()) ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void ImageView::Clear() {
  status_ = imaging::ImageStatus::None;
  colorBits_ = width_ = height_ = animationStart_ = steps_ = 0;
  bits_.clear();
  palette_.clear();
  bitmapWidth_ = bitmapHeight_ = bitmapBits_ = 0;
}

// Reads the file and keeps a drawable copy no larger than the view needs.
void ImageView::Load() {
  imaging::Picture picture;
  const imaging::PictureReport report =
      imaging::InspectPictureFile(std::filesystem::path(fileName_), &picture);
  if (report.status == imaging::ImageStatus::None || picture.width <= 0) return;
  status_ = report.status;
  colorBits_ = report.facts.bitsPerPixel;
  width_ = picture.width;
  height_ = picture.height;
  animationStart_ = report.animationStart;

  // Large pictures are reduced to the view's size (area average); logos and small
  // pictures are kept as they are.
  RECT client{};
  if (hwnd()) ::GetClientRect(hwnd(), &client);
  int targetWidth = width_, targetHeight = height_;
  if (!autoResize_ && client.right > 0 && client.bottom > 0 &&
      (width_ > 2 * client.right || height_ > 2 * client.bottom)) {
    const double scale = std::min(2.0 * client.right / width_, 2.0 * client.bottom / height_);
    targetWidth = std::max(1, static_cast<int>(width_ * scale));
    targetHeight = std::max(1, static_cast<int>(height_ * scale));
  }
  bitmapWidth_ = targetWidth;
  bitmapHeight_ = targetHeight;

  if (picture.IsIndexed()) {
    bitmapBits_ = 8;
    palette_.assign(256, RGBQUAD{});
    for (size_t i = 0; i < picture.palette.size() && i < 256; ++i)
      palette_[i] = RGBQUAD{picture.palette[i].b, picture.palette[i].g, picture.palette[i].r, 0};
    const int stride = (targetWidth + 3) & ~3;
    bits_.assign(static_cast<size_t>(stride) * targetHeight, 0);
    for (int y = 0; y < targetHeight; ++y) {
      const size_t sourceRow = static_cast<size_t>(y) * height_ / targetHeight;
      uint8_t* row = bits_.data() + static_cast<size_t>(targetHeight - 1 - y) * stride;
      for (int x = 0; x < targetWidth; ++x)
        row[x] = picture.indices[sourceRow * width_ + static_cast<size_t>(x) * width_ / targetWidth];
    }
    return;
  }
  bitmapBits_ = 32;
  bits_.assign(static_cast<size_t>(targetWidth) * targetHeight * 4, 0);
  for (int y = 0; y < targetHeight; ++y) {
    const int y0 = static_cast<int>(static_cast<int64_t>(y) * height_ / targetHeight);
    const int y1 = std::max(y0 + 1, static_cast<int>(static_cast<int64_t>(y + 1) * height_ / targetHeight));
    uint8_t* row = bits_.data() + static_cast<size_t>(targetHeight - 1 - y) * targetWidth * 4;
    for (int x = 0; x < targetWidth; ++x) {
      const int x0 = static_cast<int>(static_cast<int64_t>(x) * width_ / targetWidth);
      const int x1 = std::max(x0 + 1, static_cast<int>(static_cast<int64_t>(x + 1) * width_ / targetWidth));
      uint32_t r = 0, g = 0, b = 0, n = 0;
      for (int sy = y0; sy < y1; ++sy)
        for (int sx = x0; sx < x1; ++sx) {
          const imaging::Rgb p = picture.PixelAt(static_cast<size_t>(sy) * width_ + sx);
          r += p.r;
          g += p.g;
          b += p.b;
          ++n;
        }
      row[x * 4 + 0] = static_cast<uint8_t>(b / n);
      row[x * 4 + 1] = static_cast<uint8_t>(g / n);
      row[x * 4 + 2] = static_cast<uint8_t>(r / n);
    }
  }
}

void ImageView::SetAnimate(bool on) {
  animate_ = on;
  UpdateTimer();
}

void ImageView::SetAutoResize(bool on) {
  autoResize_ = on;
  if (on && status_ != imaging::ImageStatus::None) SetFileName(fileName_);
}

void ImageView::SetBackColor(uint32_t colour) {
  backColor_ = colour;
  if (hwnd()) ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void ImageView::UpdateTimer() {
  if (!hwnd()) return;
  const bool run = animate_ && IsAnimated();
  if (run && !timerRunning_) ::SetTimer(hwnd(), kAnimationTimer, kAnimationStepMs, nullptr);
  if (!run && timerRunning_) ::KillTimer(hwnd(), kAnimationTimer);
  timerRunning_ = run;
}

// Every entry from the first animated one takes the colour of the entry above it;
// the lowest one's colour goes to 255, so colours move right to left.
void ImageView::StepAnimation() {
  if (!IsAnimated() || palette_.size() != 256) return;
  std::rotate(palette_.begin() + animationStart_, palette_.begin() + animationStart_ + 1,
              palette_.end());
  ++steps_;
  if (hwnd()) ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void ImageView::FitWindowToPicture() {
  if (!hwnd() || width_ <= 0) return;
  ::SetWindowPos(hwnd(), nullptr, 0, 0, width_, height_,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ImageView::SetExtent(int extentX, int extentY) {
  if (!hwnd() || extentX < 0 || extentY < 0) return;
  const int dpi = ScreenDpi();
  ::SetWindowPos(hwnd(), nullptr, 0, 0, HimetricToPixels(extentX, dpi), HimetricToPixels(extentY, dpi),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int ImageView::ExtentX() const {
  RECT bounds{};
  if (hwnd()) ::GetWindowRect(hwnd(), &bounds);
  return PixelsToHimetric(bounds.right - bounds.left, ScreenDpi());
}

int ImageView::ExtentY() const {
  RECT bounds{};
  if (hwnd()) ::GetWindowRect(hwnd(), &bounds);
  return PixelsToHimetric(bounds.bottom - bounds.top, ScreenDpi());
}

RECT ImageView::FitPicture(int width, int height, RECT bounds) {
  if (width <= 0 || height <= 0) return RECT{};
  const int boundsWidth = bounds.right - bounds.left, boundsHeight = bounds.bottom - bounds.top;
  const double aspect = ShownAspect(width, height);
  int w = boundsWidth, h = static_cast<int>(boundsWidth / aspect + 0.5);
  if (h > boundsHeight) {
    h = boundsHeight;
    w = static_cast<int>(boundsHeight * aspect + 0.5);
  }
  const int x = bounds.left + (boundsWidth - w) / 2, y = bounds.top + (boundsHeight - h) / 2;
  return RECT{x, y, x + w, y + h};
}

RECT ImageView::PictureRect() const {
  if (width_ <= 0 || height_ <= 0) return RECT{};
  if (autoResize_) return RECT{0, 0, width_, height_};
  RECT client{};
  if (hwnd()) ::GetClientRect(hwnd(), &client);
  return FitPicture(width_, height_, client);
}

// Drawn into a memory bitmap first, so that a frame never flickers.
void ImageView::OnPaint() {
  common::PaintScope paint(hwnd());
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  common::UniqueMemoryDC memory(paint.dc());
  common::UniqueGdiObject canvas(::CreateCompatibleBitmap(paint.dc(), client.right, client.bottom));
  common::ScopedSelectObject select(memory.get(), canvas.get());
  common::UniqueGdiObject back(::CreateSolidBrush(ToColorRef(backColor_)));
  ::FillRect(memory.get(), &client, static_cast<HBRUSH>(back.get()));

  if (!bits_.empty()) {
    struct {
      BITMAPINFOHEADER header;
      RGBQUAD colours[256];
    } info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = bitmapWidth_;
    info.header.biHeight = bitmapHeight_;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bitmapBits_);
    info.header.biCompression = BI_RGB;
    if (bitmapBits_ == 8) {
      info.header.biClrUsed = 256;
      std::copy(palette_.begin(), palette_.end(), info.colours);
    }
    const RECT target = PictureRect();
    ::SetStretchBltMode(memory.get(), HALFTONE);
    ::SetBrushOrgEx(memory.get(), 0, 0, nullptr);
    ::StretchDIBits(memory.get(), target.left, target.top, target.right - target.left,
                    target.bottom - target.top, 0, 0, bitmapWidth_, bitmapHeight_, bits_.data(),
                    reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, SRCCOPY);
  }
  ::BitBlt(paint.dc(), 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
}

void ImageView::OnMouse(UINT code, WPARAM keys, LPARAM point, int button) {
  if (status_ == imaging::ImageStatus::None) return;  // nothing shown: mouse ignored
  ImageViewMouse mouse{};
  mouse.header.hwndFrom = hwnd();
  mouse.header.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(hwnd()));
  mouse.header.code = code;
  mouse.button = button;
  mouse.shift = ShiftState(keys);
  mouse.x = GET_X_LPARAM(point);
  mouse.y = GET_Y_LPARAM(point);
  ::SendMessageW(::GetParent(hwnd()), WM_NOTIFY, mouse.header.idFrom,
                 reinterpret_cast<LPARAM>(&mouse));
}

LRESULT ImageView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE:
      ::InvalidateRect(hwnd(), nullptr, FALSE);
      return 0;
    case WM_TIMER:
      if (wParam == kAnimationTimer) StepAnimation();
      return 0;
    case WM_LBUTTONUP:
      OnMouse(kImageViewMouseUp, wParam, lParam, 1);
      return 0;
    case WM_RBUTTONUP:
      OnMouse(kImageViewMouseUp, wParam, lParam, 2);
      return 0;
    case WM_MBUTTONUP:
      OnMouse(kImageViewMouseUp, wParam, lParam, 4);
      return 0;
    case WM_MOUSEMOVE: {
      const int button = (wParam & MK_LBUTTON ? 1 : 0) | (wParam & MK_RBUTTON ? 2 : 0) |
                         (wParam & MK_MBUTTON ? 4 : 0);
      OnMouse(kImageViewMouseMove, wParam, lParam, button);
      return 0;
    }
    case WM_DESTROY:
      if (timerRunning_) ::KillTimer(hwnd(), kAnimationTimer);
      timerRunning_ = false;
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

}  // namespace ui
