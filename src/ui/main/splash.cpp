#include "ui/main/splash.h"


namespace ui {
namespace {

// The picture leaves a flat band of this colour where the version label sits.
constexpr COLORREF kLabelBackground = RGB(16, 20, 48);
constexpr COLORREF kLabelText = RGB(224, 228, 255);

bool RegisterSplashClass(HINSTANCE instance) {
  WNDCLASSEXW wc{sizeof(wc)};
  if (::GetClassInfoExW(instance, FrmSplash::kClassName, &wc)) return true;
  wc.lpfnWndProc = &WindowBase::Procedure;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_WAIT);
  wc.lpszClassName = FrmSplash::kClassName;
  return ::RegisterClassExW(&wc) != 0;
}

}  // namespace

FrmSplash::~FrmSplash() { Close(); }

bool FrmSplash::Show() {
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  if (!RegisterSplashClass(instance)) return false;
  picture_.reset(::LoadImageW(instance, L"SPLASH", IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
  BITMAP info{};
  if (!picture_ || !::GetObjectW(picture_.get(), sizeof(info), &info)) return false;
  size_ = {info.bmWidth, info.bmHeight};

  RECT frame{0, 0, size_.cx, size_.cy};
  constexpr DWORD kStyle = WS_POPUP | WS_BORDER;
  ::AdjustWindowRectEx(&frame, kStyle, FALSE, WS_EX_TOOLWINDOW);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  if (!::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClassName, L"Quillane 2000", kStyle,
                         work.left + ((work.right - work.left) - width) / 2,
                         work.top + ((work.bottom - work.top) - height) / 2, width, height,
                         nullptr, nullptr, instance, this))
    return false;

  NONCLIENTMETRICSW metrics{sizeof(metrics)};
  if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
    font_.reset(::CreateFontIndirectW(&metrics.lfMessageFont));
  labelBrush_.reset(::CreateSolidBrush(kLabelBackground));
  verInfo_ = ::CreateWindowExW(0, L"STATIC", kVersionText, WS_CHILD | WS_VISIBLE | SS_RIGHT |
                                   SS_NOPREFIX,
                               size_.cx - 190, size_.cy - 52, 176, 40, hwnd(), nullptr, instance,
                               nullptr);
  if (font_) ::SendMessageW(verInfo_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), 0);

  ::ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
  ::UpdateWindow(hwnd());
  return true;
}

void FrmSplash::Close() {
  if (hwnd()) ::DestroyWindow(hwnd());
  verInfo_ = nullptr;
}

void FrmSplash::OnPaint() {
  common::PaintScope paint(hwnd());
  common::UniqueMemoryDC memory(paint.dc());
  common::ScopedSelectObject select(memory.get(), picture_.get());
  ::BitBlt(paint.dc(), 0, 0, size_.cx, size_.cy, memory.get(), 0, 0, SRCCOPY);
}

LRESULT FrmSplash::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the picture covers the whole window
    case WM_CTLCOLORSTATIC:
      ::SetTextColor(reinterpret_cast<HDC>(wParam), kLabelText);
      ::SetBkColor(reinterpret_cast<HDC>(wParam), kLabelBackground);
      return reinterpret_cast<LRESULT>(labelBrush_.get());
    default:
      return Default(message, wParam, lParam);
  }
}

}  // namespace ui
