// Embedding: client site, verbs, in-place activation, sizing, focus and drawing.
#include "foldrix/control.h"

namespace foldrix {

void FoldrixControl::ReadUserMode() {
  userMode_ = true;
  ComPtr<IDispatch> ambient;
  if (!site_ || FAILED(site_.As(&ambient))) return;
  DISPPARAMS none{};
  VARIANT result;
  ::VariantInit(&result);
  if (SUCCEEDED(ambient->Invoke(DISPID_AMBIENT_USERMODE, IID_NULL, LOCALE_USER_DEFAULT,
                                DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr)) &&
      result.vt == VT_BOOL)
    userMode_ = result.boolVal != VARIANT_FALSE;
  ::VariantClear(&result);
}

STDMETHODIMP FoldrixControl::SetClientSite(IOleClientSite* site) {
  if (!site) InPlaceDeactivate();
  site_ = site;
  ReadUserMode();
  return S_OK;
}

STDMETHODIMP FoldrixControl::GetClientSite(IOleClientSite** site) {
  if (!site) return E_POINTER;
  *site = site_.Get();
  if (*site) (*site)->AddRef();
  return S_OK;
}

STDMETHODIMP FoldrixControl::Close(DWORD) {
  InPlaceDeactivate();
  if (adviseHolder_) adviseHolder_->SendOnClose();
  return S_OK;
}

STDMETHODIMP FoldrixControl::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                                    LPCRECT position) {
  return Guarded([&]() -> HRESULT {
    if (site && !site_) SetClientSite(site);
    switch (verb) {
      case OLEIVERB_PRIMARY:
      case OLEIVERB_SHOW:
      case OLEIVERB_UIACTIVATE:
        return ActivateInPlace(true, parent, position);
      case OLEIVERB_INPLACEACTIVATE:
        return ActivateInPlace(false, parent, position);
      case OLEIVERB_HIDE:
        ::ShowWindow(host_, SW_HIDE);
        return S_OK;
      default:
        return verb > 0 ? S_OK : E_NOTIMPL;
    }
  });
}

HRESULT FoldrixControl::ActivateInPlace(bool uiActivate, HWND parentGiven, LPCRECT positionGiven) {
  if (!site_) return E_UNEXPECTED;
  if (!inPlace_) {
    if (FAILED(site_.As(&inPlaceSite_))) return E_NOINTERFACE;
    if (inPlaceSite_->CanInPlaceActivate() != S_OK) return E_FAIL;
    inPlaceSite_->OnInPlaceActivate();
    HWND parent = parentGiven;
    if (FAILED(inPlaceSite_->GetWindow(&parent)) || !parent) parent = parentGiven;
    ComPtr<IOleInPlaceUIWindow> document;
    RECT position{}, clip{};
    OLEINPLACEFRAMEINFO frameInfo{sizeof(frameInfo)};
    frame_.Reset();
    inPlaceSite_->GetWindowContext(&frame_, &document, &position, &clip, &frameInfo);
    if (positionGiven) position = *positionGiven;
    ::SetParent(host_, parent);
    ::MoveWindow(host_, position.left, position.top, position.right - position.left,
                 position.bottom - position.top, TRUE);
    inPlace_ = true;
  }
  ::ShowWindow(host_, SW_SHOW);
  view_->Show();  // the first time: the start folder at run time, the root in design mode
  if (uiActivate && !uiActive_) {
    uiActive_ = true;
    inPlaceSite_->OnUIActivate();
    ::SetFocus(view_->list());
    if (frame_) frame_->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), nullptr);
  }
  return S_OK;
}

STDMETHODIMP FoldrixControl::InPlaceDeactivate() {
  if (!inPlace_) return S_OK;
  UIDeactivate();
  inPlace_ = false;
  ::ShowWindow(host_, SW_HIDE);
  ::SetParent(host_, parking_);
  if (inPlaceSite_) inPlaceSite_->OnInPlaceDeactivate();
  inPlaceSite_.Reset();
  frame_.Reset();
  return S_OK;
}

STDMETHODIMP FoldrixControl::UIDeactivate() {
  if (!uiActive_) return S_OK;
  uiActive_ = false;
  if (frame_) frame_->SetActiveObject(nullptr, nullptr);
  if (inPlaceSite_) inPlaceSite_->OnUIDeactivate(FALSE);
  return S_OK;
}

STDMETHODIMP FoldrixControl::SetObjectRects(LPCRECT position, LPCRECT) {
  if (!position) return E_POINTER;
  ::MoveWindow(host_, position->left, position->top, position->right - position->left,
               position->bottom - position->top, TRUE);
  return S_OK;
}

STDMETHODIMP FoldrixControl::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = host_;
  return host_ ? S_OK : E_FAIL;
}

STDMETHODIMP FoldrixControl::EnumVerbs(IEnumOLEVERB** verbs) {
  return ::OleRegEnumVerbs(CLSID_Foldrix, verbs);
}

STDMETHODIMP FoldrixControl::GetUserClassID(CLSID* clsid) { return GetClassID(clsid); }

STDMETHODIMP FoldrixControl::GetUserType(DWORD form, LPOLESTR* type) {
  if (!type) return E_POINTER;
  if (SUCCEEDED(::OleRegGetUserType(CLSID_Foldrix, form, type))) return S_OK;
  *type = static_cast<LPOLESTR>(::CoTaskMemAlloc(sizeof(L"Foldrix")));
  if (!*type) return E_OUTOFMEMORY;
  ::lstrcpyW(*type, L"Foldrix");
  return S_OK;
}

STDMETHODIMP FoldrixControl::SetExtent(DWORD aspect, SIZEL* size) {
  if (!size) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  extent_ = *size;
  return S_OK;
}

STDMETHODIMP FoldrixControl::GetExtent(DWORD aspect, SIZEL* size) {
  if (!size) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  *size = extent_;
  return S_OK;
}

STDMETHODIMP FoldrixControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
  return GetExtent(aspect, size);
}

STDMETHODIMP FoldrixControl::Advise(IAdviseSink* sink, DWORD* cookie) {
  if (!adviseHolder_ && FAILED(::CreateOleAdviseHolder(&adviseHolder_))) return E_OUTOFMEMORY;
  return adviseHolder_->Advise(sink, cookie);
}

STDMETHODIMP FoldrixControl::Unadvise(DWORD cookie) {
  return adviseHolder_ ? adviseHolder_->Unadvise(cookie) : OLE_E_NOCONNECTION;
}

STDMETHODIMP FoldrixControl::EnumAdvise(IEnumSTATDATA** advises) {
  if (!advises) return E_POINTER;
  *advises = nullptr;
  return adviseHolder_ ? adviseHolder_->EnumAdvise(advises) : S_OK;
}

STDMETHODIMP FoldrixControl::GetMiscStatus(DWORD, DWORD* status) {
  if (!status) return E_POINTER;
  *status = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
            OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST;
  return S_OK;
}

STDMETHODIMP FoldrixControl::GetControlInfo(CONTROLINFO* info) {
  if (!info) return E_POINTER;
  info->hAccel = nullptr;
  info->cAccel = 0;
  info->dwFlags = 0;
  return S_OK;
}

STDMETHODIMP FoldrixControl::OnAmbientPropertyChange(DISPID id) {
  if (id == DISPID_AMBIENT_USERMODE || id == DISPID_UNKNOWN) ReadUserMode();
  return S_OK;
}

STDMETHODIMP FoldrixControl::FreezeEvents(BOOL freeze) {
  freezeCount_ += freeze ? 1 : -1;
  if (freezeCount_ < 0) freezeCount_ = 0;
  return S_OK;
}

// Drawn by the container while the control is not active: the list as it stands.
STDMETHODIMP FoldrixControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC draw,
                                  LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                                  ULONG_PTR) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!draw || !bounds) return E_INVALIDARG;
  RECT area{bounds->left, bounds->top, bounds->right, bounds->bottom};
  ::FillRect(draw, &area, ::GetSysColorBrush(COLOR_WINDOW));
  ::DrawEdge(draw, &area, EDGE_SUNKEN, BF_RECT);
  return S_OK;
}

STDMETHODIMP FoldrixControl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
  viewAspects_ = aspects;
  viewFlags_ = flags;
  viewSink_ = sink;
  return S_OK;
}

STDMETHODIMP FoldrixControl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
  if (aspects) *aspects = viewAspects_;
  if (flags) *flags = viewFlags_;
  if (sink) {
    *sink = viewSink_.Get();
    if (*sink) (*sink)->AddRef();
  }
  return S_OK;
}

}  // namespace foldrix
