#include "ui/main/principale.h"

#include <commctrl.h>

#include "app/lifecycle.h"
#include "app/settings.h"
#include "ui/common/dpi.h"

namespace ui {
namespace {

// Client area, in twips, that the controls below fill.
constexpr int kClientWidthTwips = 5400;
constexpr int kClientHeightTwips = 5280;

enum ControlId : int {
  kIdMyList = 100,
  kIdNumLogo,
  kIdDefaultLogo,
  kIdLogoType,
  kIdImag0 = 110,
  kIdDes0 = 120,
  kIdItmOpenAct0 = 200,
};

constexpr const wchar_t* kScreenCaptions[] = {
    L"LOGO.SYS\r\nStartup screen",
    L"LOGOW.SYS\r\nWait screen",
    L"LOGOS.SYS\r\nShutdown screen",
};

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

}  // namespace

bool RegisterPrincipaleClass(HINSTANCE instance) {
  WNDCLASSEXW wc{sizeof(wc)};
  if (::GetClassInfoExW(instance, Principale::kClassName, &wc)) return true;
  wc.lpfnWndProc = &WindowBase::Procedure;
  wc.hInstance = instance;
  wc.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(1));
  wc.hIconSm = wc.hIcon;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = Principale::kClassName;
  return ::RegisterClassExW(&wc) != 0;
}

Principale::Principale(app::AppState& state, std::function<void()> onUnload)
    : state_(state), onUnload_(std::move(onUnload)) {}

Principale::~Principale() {
  if (hwnd()) {
    onUnload_ = nullptr;  // an object going away is not the user closing the window
    ::DestroyWindow(hwnd());
  }
}

int Principale::Twips(int twips) const { return TwipsToPixels(twips, dpi_); }

bool Principale::Load() {
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  if (!RegisterPrincipaleClass(instance)) return false;
  dpi_ = ScreenDpi();

  // A fixed-size window, centred on the screen.
  RECT frame{0, 0, Twips(kClientWidthTwips), Twips(kClientHeightTwips)};
  ::AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int x = work.left + ((work.right - work.left) - width) / 2;
  const int y = work.top + ((work.bottom - work.top) - height) / 2;

  if (!::CreateWindowExW(0, kClassName, app::kProgramTitle, kWindowStyle, x, y, width, height,
                         nullptr, nullptr, instance, this))
    return false;
  Form_Load();
  return true;
}

void Principale::Show() {
  ::ShowWindow(hwnd(), SW_SHOW);
  ::UpdateWindow(hwnd());
}

void Principale::Form_Load() {
  app::ReadStartupFolder(state_);
  SetScreenLabels();
  app::SetMsdosSysPath(state_);
  CreateListColumn();
  app::ReadStartupLogoOption(state_);
  app::LoadSettings(state_, *this);
  ScanLibrary();
}

void Principale::Form_Unload() {
  if (onUnload_) onUnload_();
}

void Principale::CreateControls() {
  NONCLIENTMETRICSW metrics{sizeof(metrics)};
  if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
    font_.reset(::CreateFontIndirectW(&metrics.lfMessageFont));
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  auto create = [&](const wchar_t* cls, const wchar_t* text, DWORD style, DWORD exStyle, int x,
                    int y, int w, int h, int id) {
    HWND control = ::CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, Twips(x),
                                     Twips(y), Twips(w), Twips(h), hwnd(),
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                                     nullptr);
    if (control && font_) ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), 0);
    return control;
  };

  numLogo_ = create(L"STATIC", L"", SS_NOPREFIX, 0, 30, 120, 1950, 240, kIdNumLogo);
  defaultLogo_ = create(L"STATIC", app::kDontKnow, SS_NOPREFIX, 0, 2040, 120, 2460, 240,
                        kIdDefaultLogo);
  logoType_ = create(L"STATIC", L"", SS_NOPREFIX, 0, 4560, 120, 800, 240, kIdLogoType);
  myList_ = create(WC_LISTVIEWW, L"",
                   LVS_LIST | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_EDITLABELS | WS_TABSTOP,
                   WS_EX_CLIENTEDGE, 30, 360, 5325, 2895, kIdMyList);
  ListView_SetExtendedListViewStyle(myList_, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);

  constexpr int kFrameLeft[] = {30, 1800, 3600};
  for (int i = 0; i < 3; ++i) {
    imag_[i] = create(L"STATIC", L"", SS_SUNKEN, 0, kFrameLeft[i], 3360, 1695, 1335, kIdImag0 + i);
    des_[i] = create(L"STATIC", L"", SS_CENTER | SS_NOPREFIX, 0, kFrameLeft[i] + 60, 4800, 1575,
                     375, kIdDes0 + i);
  }

  // The logo views' open-with popup; the third caption follows the settings.
  openWith_.reset(::CreatePopupMenu());
  ::AppendMenuW(openWith_.get(), MF_STRING, kIdItmOpenAct0 + 0, L"&View actual size");
  ::AppendMenuW(openWith_.get(), MF_STRING, kIdItmOpenAct0 + 1, L"&Open Paint");
  ::AppendMenuW(openWith_.get(), MF_STRING, kIdItmOpenAct0 + 2, L"Custom Program");
}

void Principale::SetScreenLabels() {
  for (int i = 0; i < 3; ++i) ::SetWindowTextW(des_[i], kScreenCaptions[i]);
}

void Principale::CreateListColumn() {
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = const_cast<wchar_t*>(L"Logoset name");
  column.cx = Twips(5325 - 600);
  ListView_InsertColumn(myList_, 0, &column);
}

void Principale::SetLogoAnimation(bool on) { animate_ = on; }

void Principale::ApplyViewMode(int index) { ItmViewType_Click(index); }

void Principale::ItmViewType_Click(int index) {
  const LONG_PTR style = ::GetWindowLongPtrW(myList_, GWL_STYLE);
  const LONG_PTR view = index == 1 ? LVS_REPORT : LVS_LIST;
  ::SetWindowLongPtrW(myList_, GWL_STYLE, (style & ~LVS_TYPEMASK) | view);
}

int Principale::CurrentViewMode() const {
  return (::GetWindowLongPtrW(myList_, GWL_STYLE) & LVS_TYPEMASK) == LVS_LIST ? 0 : 1;
}

void Principale::SetCustomProgramCaption(const std::wstring& caption) {
  ::ModifyMenuW(openWith_.get(), 2, MF_BYPOSITION | MF_STRING, kIdItmOpenAct0 + 2,
                caption.c_str());
}

std::wstring Principale::InstalledSetCaption() const {
  const int length = ::GetWindowTextLengthW(defaultLogo_);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(::GetWindowTextW(defaultLogo_, text.data(), length + 1));
  return text;
}

void Principale::ScanLibrary() {
  // The logo set library fills the list here.
}

LRESULT Principale::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateControls();
      return 0;
    case WM_DESTROY:
      Form_Unload();
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

}  // namespace ui
