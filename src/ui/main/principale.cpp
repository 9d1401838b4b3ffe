// The main window: creation, layout, load and unload, message dispatch.
#include "ui/main/principale.h"

#include <ole2.h>
#include <windowsx.h>

#include "app/lifecycle.h"
#include "app/settings.h"
#include "library/random_change.h"
#include "ui/common/dpi.h"
#include "ui/main/drop_target.h"
#include "ui/main/principale_ids.h"

namespace ui {
namespace {

// Client area below the toolbar, in twips, that the controls fill.
constexpr int kClientWidthTwips = 5400;
constexpr int kClientHeightTwips = 5280;

constexpr const wchar_t* kScreenCaptions[] = {
    L"LOGO.SYS\r\nStartup screen",
    L"LOGOW.SYS\r\nWait screen",
    L"LOGOS.SYS\r\nShutdown screen",
};

constexpr const wchar_t* kListIconResources[] = {L"IMAGE",      L"CLOSED",    L"UP",
                                                 L"SINGLELOGO", L"MULTILOGO", L"SYS"};

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
    : state_(state), onUnload_(std::move(onUnload)), random_(library::TimeSeededGenerator()) {}

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
  if (!::CreateWindowExW(0, kClassName, app::kProgramTitle, kWindowStyle, CW_USEDEFAULT,
                         CW_USEDEFAULT, 100, 100, nullptr, nullptr, instance, this))
    return false;
  CenterOnScreen();
  Form_Load();
  return true;
}

// A fixed size that fits the toolbar and the controls, centred on the screen.
void Principale::CenterOnScreen() {
  RECT frame{0, 0, Twips(kClientWidthTwips), top_ + Twips(kClientHeightTwips)};
  ::AdjustWindowRectEx(&frame, kWindowStyle, TRUE, 0);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  ::SetWindowPos(hwnd(), nullptr, work.left + ((work.right - work.left) - width) / 2,
                 work.top + ((work.bottom - work.top) - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  ::SendMessageW(bar_.Toolbar(), TB_AUTOSIZE, 0, 0);  // the toolbar spans the new width
}

void Principale::Show() {
  ::ShowWindow(hwnd(), SW_SHOW);
  ::UpdateWindow(hwnd());
}

void Principale::Form_Load() {
  app::ReadStartupFolder(state_);
  SetScreenLabels();
  bar_.SetProperty(L"ToolTutorial", L"HelpContextID", 30);
  app::SetMsdosSysPath(state_);
  CreateListColumn();
  app::ReadStartupLogoOption(state_);
  app::LoadSettings(state_, *this);
  LeggiDatiDisco();
}

void Principale::Form_Unload() {
  if (dropTarget_) {
    ::RevokeDragDrop(myList_);
    dropTarget_->Release();
    dropTarget_ = nullptr;
  }
  if (onUnload_) onUnload_();
}

void Principale::CreateControls() {
  NONCLIENTMETRICSW metrics{sizeof(metrics)};
  if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
    font_.reset(::CreateFontIndirectW(&metrics.lfMessageFont));
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  auto create = [&](const wchar_t* cls, const wchar_t* text, DWORD style, DWORD exStyle, int x,
                    int y, int w, int h, int id) {
    HWND control = ::CreateWindowExW(
        exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, Twips(x), top_ + Twips(y), Twips(w),
        Twips(h), hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (control && font_)
      ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), 0);
    return control;
  };

  numLogo_ = create(L"STATIC", L"", SS_NOPREFIX, 0, 30, 120, 1950, 240, kIdNumLogo);
  defaultLogo_ = create(L"STATIC", app::kDontKnow, SS_NOPREFIX | SS_NOTIFY, 0, 2040, 120, 2460,
                        240, kIdDefaultLogo);
  // "Multi logo" needs a little more room than the last 840 twips of the line.
  logoType_ = create(L"STATIC", L"", SS_NOPREFIX | SS_RIGHT, 0, 4360, 120, 1000, 240, kIdLogoType);
  myList_ = create(WC_LISTVIEWW, L"",
                   LVS_LIST | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_EDITLABELS | LVS_OWNERDATA |
                       WS_TABSTOP,
                   WS_EX_CLIENTEDGE, 30, 360, 5325, 2895, kIdMyList);
  ListView_SetExtendedListViewStyle(myList_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  ::SetWindowSubclass(myList_, &Principale::ListProcedure, 1, reinterpret_cast<DWORD_PTR>(this));

  constexpr int kFrameLeft[] = {30, 1800, 3600};
  for (int i = 0; i < 3; ++i) {
    imag_[i] = create(L"STATIC", L"", SS_SUNKEN | WS_CLIPSIBLINGS, 0, kFrameLeft[i], 3360, 1695,
                      1335, kIdImag0 + i);
    des_[i] = create(L"STATIC", L"", SS_CENTER | SS_NOPREFIX, 0, kFrameLeft[i] + 60, 4800, 1575,
                     375, kIdDes0 + i);
  }
  // Each view lies in its frame's top left corner, above the frame.
  for (int i = 0; i < 3; ++i) {
    logoImage_[i].Create(hwnd(), kIdLogoImage0 + i, Twips(kFrameLeft[i] + 30),
                         top_ + Twips(3360 + 30), Twips(1620), Twips(1275));
    logoImage_[i].SetAnimate(animate_);
    ::SetWindowPos(logoImage_[i].hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }

  // The installed-set label's tooltip.
  tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(),
                               nullptr, instance, nullptr);
  TTTOOLINFOW tool{sizeof(tool)};
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = hwnd();
  tool.uId = reinterpret_cast<UINT_PTR>(defaultLogo_);
  tool.lpszText = LPSTR_TEXTCALLBACKW;
  ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));

  // The logo views' open-with popup; the third caption follows the settings.
  openWith_.reset(::CreatePopupMenu());
  ::AppendMenuW(openWith_.get(), MF_STRING, kIdItmOpenAct0 + 0, L"&View actual size");
  ::AppendMenuW(openWith_.get(), MF_STRING, kIdItmOpenAct0 + 1, L"&Open Paint");
  ::AppendMenuW(openWith_.get(), MF_STRING, kIdItmOpenAct0 + 2, L"Custom Program");

  CreateImageList();
  dropTarget_ = new ListDropTarget(*this);
  if (FAILED(::RegisterDragDrop(myList_, dropTarget_))) {
    dropTarget_->Release();
    dropTarget_ = nullptr;
  }
}

void Principale::CreateImageList() {
  imageList1_ = ImageList_Create(::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON),
                                 ILC_COLOR32 | ILC_MASK, 6, 0);
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  for (const wchar_t* name : kListIconResources) {
    // A missing icon still takes its place (the shared system one, never destroyed),
    // so that the keys keep their numbers.
    if (HICON icon = static_cast<HICON>(::LoadImageW(instance, name, IMAGE_ICON, 16, 16, 0))) {
      ImageList_AddIcon(imageList1_, icon);
      ::DestroyIcon(icon);
    } else {
      ImageList_AddIcon(imageList1_, ::LoadIconW(nullptr, IDI_APPLICATION));
    }
  }
  ListView_SetImageList(myList_, imageList1_, LVSIL_SMALL);  // the list destroys it
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

void Principale::SetLogoAnimation(bool on) {
  animate_ = on;
  for (ImageView& view : logoImage_) view.SetAnimate(on);
}

void Principale::ApplyViewMode(int index) { ItmViewType_Click(index); }

int Principale::CurrentViewMode() const {
  return (::GetWindowLongPtrW(myList_, GWL_STYLE) & LVS_TYPEMASK) == LVS_LIST ? 0 : 1;
}

void Principale::SetCustomProgramCaption(const std::wstring& caption) {
  ::ModifyMenuW(openWith_.get(), 2, MF_BYPOSITION | MF_STRING, kIdItmOpenAct0 + 2,
                caption.c_str());
}

std::wstring Principale::Caption() const {
  const int length = ::GetWindowTextLengthW(defaultLogo_);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(::GetWindowTextW(defaultLogo_, text.data(), length + 1));
  return text;
}

void Principale::SetCaption(const std::wstring& caption) {
  ::SetWindowTextW(defaultLogo_, caption.c_str());
}

std::wstring Principale::InstalledSetCaption() const {
  return CurrentViewOn() ? savedCaption_ : Caption();
}

std::wstring Principale::DefaultLogoTooltip() const { return defaultLogoTip_; }

void Principale::SetDefaultLogoTooltip(const wchar_t* text) { defaultLogoTip_ = text; }

LRESULT Principale::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateCommandBar();
      CreateControls();
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam));
      return 0;
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_TIMER:
      if (wParam == kIdTimer1) OnTimer();
      return 0;
    case WM_KEYUP:
      if (wParam == VK_F1) ItmContents_Click();
      return 0;
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lParam) == defaultLogo_) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        ::SetTextColor(dc, defaultLogoColor_);
        ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
      }
      return Default(message, wParam, lParam);
    case WM_DESTROY:
      Form_Unload();
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

LRESULT CALLBACK Principale::ListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<Principale*>(data);
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      self->MyList_MouseDown(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      break;
    case WM_KEYUP:
      self->MyList_KeyUp(static_cast<WORD>(wParam));
      break;
    case WM_NCDESTROY:
      ::RemoveWindowSubclass(list, &Principale::ListProcedure, 1);
      break;
  }
  return ::DefSubclassProc(list, message, wParam, lParam);
}

}  // namespace ui
