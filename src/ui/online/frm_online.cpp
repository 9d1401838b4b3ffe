#include "ui/online/frm_online.h"

#include <algorithm>
#include <vector>

#include "app/shell_helpers.h"
#include "common/handles.h"
#include "ui/common/message_box.h"

namespace ui {
namespace {

constexpr wchar_t kCaption[] = L"Online check";
constexpr wchar_t kInitialStatus[] = L"Press 'Check!' to receive the latest information...";
constexpr wchar_t kCheckingStatus[] = L"Checking the Quillane 2000 website for updates...";
constexpr wchar_t kUpdatedStatus[] = L"Your version is updated!";
constexpr wchar_t kNewVersionStatus[] = L"New version available";
constexpr wchar_t kNoConnectionMessage[] =
    L"Could not connect to web site - are you connected to the Internet?";
constexpr wchar_t kNotFoundMessage[] = L"File not found on Web Server";
constexpr wchar_t kCurrentVersionCaption[] = L"5.00";

// Client area, in twips.
constexpr int kClientWidth = 5295;
constexpr int kClientHeight = 4695;
// Frame origins: the controls inside a frame are placed from its top left corner.
constexpr POINT kFrame1{120, 120};
constexpr POINT kFrame2{120, 1680};

constexpr DWORD kDialogStyle =
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;

struct ControlSpec {
  int id;
  const wchar_t* className;
  const wchar_t* text;
  DWORD style;
  POINT origin;  // of the frame the control sits in, or the dialog's
  RECT place;    // left, top, width, height in twips from the origin
};

constexpr POINT kDialog{0, 0};
constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;
constexpr DWORD kMnemonicLabel = SS_LEFTNOWORDWRAP;  // one line, up to the values

// In creation order, which is the tab order.
const ControlSpec kControls[] = {
    {FrmOnline::kIdFrame1, L"BUTTON", L"Online check", BS_GROUPBOX, kDialog,
     {120, 120, 5055, 1335}},
    {FrmOnline::kIdLabel1, L"STATIC",
     L"Press 'Check!' to receive the latest information about Quillane 2000 over the Internet",
     kLabel, kFrame1, {120, 360, 3360, 600}},
    {FrmOnline::kIdBtnCheck, L"BUTTON", L"C&heck!", BS_DEFPUSHBUTTON | WS_TABSTOP, kFrame1,
     {3600, 360, 1215, 375}},
    {FrmOnline::kIdLabel2, L"STATIC", L"Status:", kLabel, kFrame1, {120, 960, 660, 255}},
    {FrmOnline::kIdLblStatus, L"STATIC", kInitialStatus, kLabel, kFrame1, {840, 960, 4095, 255}},
    {FrmOnline::kIdFrame2, L"BUTTON", L"Quillane 2000", BS_GROUPBOX, kDialog,
     {120, 1680, 5055, 2415}},
    // The value column starts a little right of its usual place: the labels need the
    // room in wider fonts.
    {FrmOnline::kIdLabel4_1, L"STATIC", L"&You are using version:", kMnemonicLabel, kFrame2,
     {120, 360, 2040, 255}},
    {FrmOnline::kIdLblCurVersion, L"STATIC", kCurrentVersionCaption, kLabel, kFrame2,
     {2160, 360, 2775, 255}},
    {FrmOnline::kIdLabel4_2, L"STATIC", L"&Latest version:", kMnemonicLabel, kFrame2,
     {120, 720, 2040, 255}},
    {FrmOnline::kIdLblLatestVersion, L"STATIC", L"", kLabel, kFrame2, {2160, 720, 2775, 255}},
    {FrmOnline::kIdLabel4_0, L"STATIC", L"&Information", kMnemonicLabel, kFrame2,
     {120, 1080, 1800, 255}},
    {FrmOnline::kIdDescript, L"EDIT", L"",
     ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP | WS_BORDER, kFrame2,
     {120, 1320, 4815, 975}},
    {FrmOnline::kIdBtnDownload, L"BUTTON", L"Download from the web", BS_PUSHBUTTON | WS_TABSTOP,
     kDialog, {1800, 4200, 2055, 375}},
    {FrmOnline::kIdBtnClose, L"BUTTON", L"&Close", BS_PUSHBUTTON | WS_TABSTOP, kDialog,
     {3960, 4200, 1215, 375}},
};

// An empty dialog template (the controls are created at the window's DPI when it opens).
std::vector<WORD> DialogTemplate(DWORD style) {
  std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
  auto* header = reinterpret_cast<DLGTEMPLATE*>(words.data());
  header->style = style;
  header->cx = 200;
  header->cy = 150;
  words.push_back(0);  // no menu
  words.push_back(0);  // the standard dialog class
  for (const wchar_t* c = kCaption; *c; ++c) words.push_back(static_cast<WORD>(*c));
  words.push_back(0);
  words.push_back(8);  // font size in points, then its name
  for (const wchar_t* c = L"MS Shell Dlg"; *c; ++c) words.push_back(static_cast<WORD>(*c));
  words.push_back(0);
  return words;
}

std::wstring WindowText(HWND window) {
  const int length = ::GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), length + 1)));
  return text;
}

int WindowDpi(HWND window) {
  HDC dc = ::GetDC(window);
  const int dpi = dc ? ::GetDeviceCaps(dc, LOGPIXELSY) : 96;
  if (dc) ::ReleaseDC(window, dc);
  return dpi > 0 ? dpi : 96;
}

}  // namespace

void ShowOnlineDialog(HWND owner, app::AppState& state) {
  FrmOnline form(state);
  form.ShowModal(owner);
}

FrmOnline::FrmOnline(app::AppState& state, DocumentOpener opener)
    : state_(state), opener_(std::move(opener)) {
  if (!opener_) opener_ = &app::OpenDocument;
}

FrmOnline::~FrmOnline() {
  if (hwnd_ && !modal_) ::DestroyWindow(hwnd_);
}

void FrmOnline::ShowModal(HWND owner) {
  modal_ = true;
  const std::vector<WORD> dialog = DialogTemplate(kDialogStyle);
  ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr),
                            reinterpret_cast<const DLGTEMPLATE*>(dialog.data()), owner,
                            &DialogProcedure, reinterpret_cast<LPARAM>(this));
}

HWND FrmOnline::CreateModeless(HWND owner) {
  modal_ = false;
  const std::vector<WORD> dialog = DialogTemplate(kDialogStyle);
  return ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr),
                                      reinterpret_cast<const DLGTEMPLATE*>(dialog.data()), owner,
                                      &DialogProcedure, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK FrmOnline::DialogProcedure(HWND dialog, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  FrmOnline* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<FrmOnline*>(lParam);
    self->hwnd_ = dialog;
    ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
  } else {
    self = reinterpret_cast<FrmOnline*>(::GetWindowLongPtrW(dialog, DWLP_USER));
  }
  if (!self) return FALSE;
  INT_PTR result = FALSE;
  try {
    result = self->HandleMessage(message, wParam, lParam);
  } catch (...) {
    // Nothing may unwind into the dialog manager; the dialog stays as it was.
  }
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(dialog, DWLP_USER, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

INT_PTR FrmOnline::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      Form_Load();
      ::SetFocus(Control(kIdBtnCheck));
      return FALSE;  // focus set here
    case WM_COMMAND:
      if (HIWORD(wParam) != BN_CLICKED) return FALSE;
      switch (LOWORD(wParam)) {
        case kIdBtnCheck:
          BtnCheck_Click();
          return TRUE;
        case kIdBtnDownload:
          BtnDownload_Click();
          return TRUE;
        case kIdBtnClose:
          BtnClose_Click();
          return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

int FrmOnline::Twips(int twips) const { return ::MulDiv(twips, dpi_, 1440); }

void FrmOnline::Form_Load() {
  dpi_ = WindowDpi(hwnd_);
  updateFound_ = false;
  errorSeen_ = false;
  downloadAddress_.clear();
  CreateControls();
  PlaceWindow(::GetWindow(hwnd_, GW_OWNER));
}

void FrmOnline::CreateControls() {
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  const WPARAM font = static_cast<WPARAM>(::SendMessageW(hwnd_, WM_GETFONT, 0, 0));
  for (const ControlSpec& spec : kControls) {
    const RECT& place = spec.place;
    HWND control = ::CreateWindowExW(
        0, spec.className, spec.text, WS_CHILD | WS_VISIBLE | spec.style,
        Twips(spec.origin.x + place.left), Twips(spec.origin.y + place.top), Twips(place.right),
        Twips(place.bottom), hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)),
        instance, nullptr);
    if (control && font) ::SendMessageW(control, WM_SETFONT, font, FALSE);
  }
  ::ShowWindow(Control(kIdBtnDownload), SW_HIDE);
  ::SendMessageW(hwnd_, DM_SETDEFID, kIdBtnCheck, 0);
}

void FrmOnline::PlaceWindow(HWND owner) {
  RECT frame{0, 0, Twips(kClientWidth), Twips(kClientHeight)};
  ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  RECT centre = work;
  if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) ::GetWindowRect(owner, &centre);
  int x = centre.left + ((centre.right - centre.left) - width) / 2;
  int y = centre.top + ((centre.bottom - centre.top) - height) / 2;
  // Keep the whole dialog on the work area.
  x = std::max<int>(work.left, std::min<int>(x, work.right - width));
  y = std::max<int>(work.top, std::min<int>(y, work.bottom - height));
  ::SetWindowPos(hwnd_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void FrmOnline::BtnCheck_Click() {
  HWND check = Control(kIdBtnCheck);
  HWND status = Control(kIdLblStatus);
  updateFound_ = false;
  errorSeen_ = false;
  ::SetWindowTextW(status, kCheckingStatus);
  const bool hadFocus = ::GetFocus() == check;
  ::EnableWindow(check, FALSE);
  ::UpdateWindow(hwnd_);  // the check blocks the dialog: show the status first
  {
    common::WaitCursor wait;
    webVrChk1_.Check();
  }
  ::EnableWindow(check, TRUE);
  if (hadFocus) ::SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(check), TRUE);
  if (!updateFound_ && !errorSeen_) {
    ::SetWindowTextW(status, kUpdatedStatus);
    ::SetWindowTextW(Control(kIdLblLatestVersion), WindowText(Control(kIdLblCurVersion)).c_str());
  }
}

void FrmOnline::BtnDownload_Click() {
  if (!downloadAddress_.empty()) opener_(downloadAddress_, hwnd_, state_.ProgramFolder);
}

void FrmOnline::BtnClose_Click() {
  if (modal_)
    ::EndDialog(hwnd_, IDCANCEL);
  else
    ::DestroyWindow(hwnd_);
}

void FrmOnline::UpdateAvailable(const std::wstring& sNewVersion,
                                const std::wstring& sDownloadURL, const std::wstring&,
                                const std::wstring& sCustomData) {
  WebVrChk1_UpdateAvailable(sNewVersion, sDownloadURL, sCustomData);
}

void FrmOnline::ErrorInDownload(int32_t Error) { WebVrChk1_ErrorInDownload(Error); }

void FrmOnline::WebVrChk1_UpdateAvailable(const std::wstring& sNewVersion,
                                          const std::wstring& sDownloadURL,
                                          const std::wstring& sCustomData) {
  updateFound_ = true;
  ::SetWindowTextW(Control(kIdLblLatestVersion), sNewVersion.c_str());
  ::ShowWindow(Control(kIdBtnDownload), SW_SHOW);
  downloadAddress_ = sDownloadURL;
  ::SetWindowTextW(Control(kIdDescript), sCustomData.c_str());
  ::SetWindowTextW(Control(kIdLblStatus), kNewVersionStatus);
}

void FrmOnline::WebVrChk1_ErrorInDownload(int32_t Error) {
  errorSeen_ = true;
  if (Error == online::kErrorNoConnection)
    ShowMessage(hwnd_, kNoConnectionMessage, app::kProgramTitle, MB_OK);
  else if (Error == online::kErrorFileNotFound)
    ShowMessage(hwnd_, kNotFoundMessage, app::kProgramTitle, MB_OK);
  ::SetWindowTextW(Control(kIdLblStatus), kInitialStatus);
}

}  // namespace ui
