// Creation and end of the control object, its interfaces, windows and new-control defaults.
#include "foldrix/control.h"

#include <shlwapi.h>

#include "foldrix/connection_enum.h"
#include "foldrix/connection_point.h"
#include "foldrix/resource_ids.h"

namespace foldrix {
namespace {

constexpr wchar_t kHostClass[] = L"FoldrixHost";
constexpr LONG kDefaultWidthTwips = 4800, kDefaultHeightTwips = 3600;

bool RegisterHostClass() {
  WNDCLASSEXW wc{sizeof(wc)};
  if (::GetClassInfoExW(ThisModule(), kHostClass, &wc)) return true;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = ::DefWindowProcW;
  wc.hInstance = ThisModule();
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kHostClass;
  return ::RegisterClassExW(&wc) != 0;
}

}  // namespace

HRESULT FoldrixControl::Create(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return Guarded([&] {
    auto* control = new FoldrixControl();
    HRESULT hr = control->CreateWindows();
    if (SUCCEEDED(hr)) hr = control->QueryInterface(iid, out);
    control->Release();
    return hr;
  });
}

FoldrixControl::FoldrixControl() {
  // 4800 x 3600 twips in HIMETRIC (1 twip = 2540 / 1440 HIMETRIC).
  extent_ = {::MulDiv(kDefaultWidthTwips, 2540, 1440), ::MulDiv(kDefaultHeightTwips, 2540, 1440)};
  unchecked_ = static_cast<HICON>(::LoadImageW(ThisModule(), MAKEINTRESOURCEW(IDI_UNCHECKEDB),
                                               IMAGE_ICON, 16, 16, 0));
  checked_ = static_cast<HICON>(::LoadImageW(ThisModule(), MAKEINTRESOURCEW(IDI_CHECKEDB),
                                             IMAGE_ICON, 16, 16, 0));
  view_ = std::make_unique<FolderView>(static_cast<FolderViewEvents&>(*this), unchecked_, checked_);
  events_ = new ConnectionPoint(this, DIID___Foldrix, IID_IDispatch);
  propertySinks_ = new ConnectionPoint(this, IID_IPropertyNotifySink, IID_IPropertyNotifySink);
}

FoldrixControl::~FoldrixControl() {
  view_.reset();
  if (host_) ::DestroyWindow(host_);
  if (parking_) ::DestroyWindow(parking_);
  if (unchecked_) ::DestroyIcon(unchecked_);
  if (checked_) ::DestroyIcon(checked_);
  events_->Detach();
  events_->Release();
  propertySinks_->Detach();
  propertySinks_->Release();
}

// The windows exist from creation on, parked in a hidden window until a container
// places the control: a script's control (no container) reads and writes every property.
HRESULT FoldrixControl::CreateWindows() {
  if (!RegisterHostClass()) return HRESULT_FROM_WIN32(::GetLastError());
  parking_ = ::CreateWindowExW(WS_EX_TOOLWINDOW, kHostClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                               nullptr, ThisModule(), nullptr);
  if (!parking_) return HRESULT_FROM_WIN32(::GetLastError());
  SIZE pixels{};
  HDC screen = ::GetDC(nullptr);
  pixels.cx = ::MulDiv(extent_.cx, ::GetDeviceCaps(screen, LOGPIXELSX), 2540);
  pixels.cy = ::MulDiv(extent_.cy, ::GetDeviceCaps(screen, LOGPIXELSY), 2540);
  ::ReleaseDC(nullptr, screen);
  host_ = ::CreateWindowExW(WS_EX_CONTROLPARENT, kHostClass, L"",
                            WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, pixels.cx, pixels.cy,
                            parking_, nullptr, ThisModule(), nullptr);
  if (!host_ || !view_->Create(host_)) return E_FAIL;
  return S_OK;
}

STDMETHODIMP FoldrixControl::QueryInterface(REFIID iid, void** out) {
  static const QITAB table[] = {
      QITABENT(FoldrixControl, _Foldrix),
      QITABENTMULTI(FoldrixControl, IDispatch, _Foldrix),
      QITABENT(FoldrixControl, IOleObject),
      QITABENTMULTI(FoldrixControl, IOleWindow, IOleInPlaceObject),
      QITABENT(FoldrixControl, IOleInPlaceObject),
      QITABENT(FoldrixControl, IOleInPlaceActiveObject),
      QITABENT(FoldrixControl, IOleControl),
      QITABENTMULTI(FoldrixControl, IViewObject, IViewObject2),
      QITABENT(FoldrixControl, IViewObject2),
      QITABENTMULTI(FoldrixControl, IPersist, IPersistStreamInit),
      QITABENT(FoldrixControl, IPersistStreamInit),
      QITABENT(FoldrixControl, IPersistPropertyBag),
      QITABENT(FoldrixControl, IConnectionPointContainer),
      QITABENTMULTI(FoldrixControl, IProvideClassInfo, IProvideClassInfo2),
      QITABENT(FoldrixControl, IProvideClassInfo2),
      QITABENT(FoldrixControl, IQuickActivate),
      {}};
  return ::QISearch(this, table, iid, out);
}

STDMETHODIMP_(ULONG) FoldrixControl::AddRef() { return ::InterlockedIncrement(&refs_); }

STDMETHODIMP_(ULONG) FoldrixControl::Release() {
  const ULONG left = ::InterlockedDecrement(&refs_);
  if (left == 0) delete this;
  return left;
}

STDMETHODIMP FoldrixControl::GetClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = CLSID_Foldrix;
  return S_OK;
}

STDMETHODIMP FoldrixControl::GetSizeMax(ULARGE_INTEGER* size) {
  if (!size) return E_POINTER;
  size->QuadPart = 0;
  return S_OK;
}

// A newly placed control: every property gets its new-control default.
STDMETHODIMP FoldrixControl::InitNew() {
  return Guarded([&] {
    StoredProperties& stored = view_->stored();
    stored = StoredProperties{};
    put_Appearance(fdx3D);
    put_BorderStyle(fdxFixedSingle);
    view_->SetCheckBoxes(kNoCheckBoxes);
    view_->SetStyleBits(WS_DISABLED, 0);
    view_->SetStyleBits(LVS_EDITLABELS | LVS_NOLABELWRAP | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                        LVS_EDITLABELS | LVS_SHOWSELALWAYS);
    view_->SetListExStyleBits(LVS_EX_HEADERDRAGDROP | LVS_EX_FLATSB | LVS_EX_FULLROWSELECT |
                                  LVS_EX_GRIDLINES | LVS_EX_UNDERLINEHOT |
                                  LVS_EX_ONECLICKACTIVATE | LVS_EX_TRACKSELECT,
                              0);
    view_->SetView(fdxIcons);
    view_->ApplyColors();
    return S_OK;
  });
}

STDMETHODIMP FoldrixControl::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (!point) return E_POINTER;
  *point = nullptr;
  if (iid == DIID___Foldrix)
    *point = events_;
  else if (iid == IID_IPropertyNotifySink)
    *point = propertySinks_;
  else
    return CONNECT_E_NOCONNECTION;
  (*point)->AddRef();
  return S_OK;
}

STDMETHODIMP FoldrixControl::EnumConnectionPoints(IEnumConnectionPoints** points) {
  return Guarded([&] {
    const std::vector<IConnectionPoint*> all{events_, propertySinks_};
    return NewConnectionPointEnum(static_cast<IConnectionPointContainer*>(this), all, points);
  });
}

STDMETHODIMP FoldrixControl::GetClassInfo(ITypeInfo** info) {
  if (!info) return E_POINTER;
  return LoadOwnTypeInfo(CLSID_Foldrix, info);
}

STDMETHODIMP FoldrixControl::GetGUID(DWORD kind, GUID* guid) {
  if (!guid) return E_POINTER;
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
  *guid = DIID___Foldrix;
  return S_OK;
}

}  // namespace foldrix
