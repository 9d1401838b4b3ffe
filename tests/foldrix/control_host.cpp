#include "foldrix/control_host.h"

#include <olectl.h>

#include <algorithm>

namespace foldrix_test {

std::wstring OcxPath() {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L'\\') + 1) + L"foldrix.ocx";
}

VARIANT Long(LONG value) {
  VARIANT v;
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}
VARIANT Bool(bool value) {
  VARIANT v;
  v.vt = VT_BOOL;
  v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}
VARIANT Text(const wchar_t* text) {
  VARIANT v;
  v.vt = VT_BSTR;
  v.bstrVal = ::SysAllocString(text);
  return v;
}
VARIANT Pointer(LONG_PTR value) {
  VARIANT v;
  v.vt = VT_I8;
  v.llVal = value;
  return v;
}
LONG_PTR PointerOf(const VARIANT& value) {
  VARIANT copy;
  ::VariantInit(&copy);
  if (FAILED(::VariantChangeType(&copy, const_cast<VARIANT*>(&value), 0, VT_I8))) return 0;
  return static_cast<LONG_PTR>(copy.llVal);
}

STDMETHODIMP EventSink::QueryInterface(REFIID iid, void** out) {
  if (iid == IID_IUnknown || iid == IID_IDispatch) {
    *out = static_cast<IDispatch*>(this);
  } else if (iid == IID_IPropertyNotifySink) {
    *out = static_cast<IPropertyNotifySink*>(this);
  } else {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) EventSink::Release() {
  const ULONG left = --refs_;
  if (!left) delete this;
  return left;
}

STDMETHODIMP EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                               EXCEPINFO*, UINT*) {
  ids.push_back(id);
  if (handler) {
    std::vector<VARIANT> ordered(params->rgvarg, params->rgvarg + params->cArgs);
    std::reverse(ordered.begin(), ordered.end());
    handler(id, ordered.data(), params->cArgs);
  }
  return S_OK;
}

TestContainer::TestContainer() {
  window_ = ::CreateWindowExW(0, L"STATIC", L"Foldrix test form", WS_OVERLAPPEDWINDOW | WS_VISIBLE |
                              WS_CLIPCHILDREN, 0, 0, 700, 500, nullptr, nullptr, nullptr, nullptr);
}

TestContainer::~TestContainer() {
  Unhost();
  if (window_) ::DestroyWindow(window_);
}

STDMETHODIMP TestContainer::QueryInterface(REFIID iid, void** out) {
  if (iid == IID_IUnknown || iid == IID_IOleClientSite)
    *out = static_cast<IOleClientSite*>(this);
  else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
    *out = static_cast<IOleInPlaceSite*>(this);
  else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
    *out = static_cast<IOleInPlaceFrame*>(this);
  else if (iid == IID_IOleControlSite)
    *out = static_cast<IOleControlSite*>(this);
  else if (iid == IID_IDispatch)
    *out = static_cast<IDispatch*>(this);
  else {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) TestContainer::Release() { return --refs_; }  // lives on the stack

STDMETHODIMP TestContainer::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                             LPRECT position, LPRECT clip,
                                             LPOLEINPLACEFRAMEINFO info) {
  *frame = this;
  AddRef();
  *doc = nullptr;
  ::SetRect(position, 10, 10, 610, 410);
  ::SetRect(clip, 10, 10, 610, 410);
  info->fMDIApp = FALSE;
  info->hwndFrame = window_;
  info->haccel = nullptr;
  info->cAccelEntries = 0;
  return S_OK;
}

STDMETHODIMP TestContainer::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result,
                                   EXCEPINFO*, UINT*) {
  if (id == DISPID_AMBIENT_USERMODE && result) {
    *result = Bool(userMode);
    return S_OK;
  }
  return DISP_E_MEMBERNOTFOUND;
}

HRESULT TestContainer::Host(IClassFactory* factory, bool connectEvents) {
  ComPtr<IUnknown> control;
  HRESULT hr = factory->CreateInstance(nullptr, IID_PPV_ARGS(&control));
  if (FAILED(hr)) return hr;
  return Host(control.Get(), connectEvents);
}

HRESULT TestContainer::Host(IUnknown* control, bool connectEvents) {
  HRESULT hr = control->QueryInterface(IID_PPV_ARGS(&object_));
  if (FAILED(hr)) return hr;
  control->QueryInterface(IID_PPV_ARGS(&dispatch_));
  object_->SetClientSite(this);
  ComPtr<IPersistStreamInit> persist;
  if (SUCCEEDED(control->QueryInterface(IID_PPV_ARGS(&persist)))) persist->InitNew();
  sink_ = new EventSink();
  ComPtr<IConnectionPointContainer> points;
  if (connectEvents && SUCCEEDED(control->QueryInterface(IID_PPV_ARGS(&points)))) {
    ComPtr<IProvideClassInfo2> info;
    GUID events{};
    if (SUCCEEDED(control->QueryInterface(IID_PPV_ARGS(&info))))
      info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events);
    ComPtr<IConnectionPoint> point;
    if (SUCCEEDED(points->FindConnectionPoint(events, &point)))
      point->Advise(static_cast<IDispatch*>(sink_), &eventCookie_);
    point.Reset();
    if (SUCCEEDED(points->FindConnectionPoint(IID_IPropertyNotifySink, &point)))
      point->Advise(static_cast<IPropertyNotifySink*>(sink_), &propertyCookie_);
  }
  RECT position{10, 10, 610, 410};
  return object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, window_, &position);
}

HRESULT TestContainer::HostQuickly(IClassFactory* factory, QACONTROL* answer) {
  ComPtr<IQuickActivate> quick;
  HRESULT hr = factory->CreateInstance(nullptr, IID_PPV_ARGS(&quick));
  if (FAILED(hr)) return hr;
  quick.As(&object_);
  quick.As(&dispatch_);
  if (!object_ || !dispatch_) return E_NOINTERFACE;
  sink_ = new EventSink();
  QACONTAINER info{};
  info.cbSize = sizeof(info);
  info.pClientSite = this;
  info.pPropertyNotifySink = sink_;
  info.pUnkEventSink = static_cast<IDispatch*>(sink_);
  info.dwAmbientFlags = userMode ? QACONTAINER_USERMODE : 0;
  QACONTROL reply{};
  reply.cbSize = sizeof(reply);
  hr = quick->QuickActivate(&info, &reply);
  if (FAILED(hr)) return hr;
  eventCookie_ = reply.dwEventCookie;
  propertyCookie_ = reply.dwPropNotifyCookie;
  if (answer) *answer = reply;
  ComPtr<IPersistStreamInit> persist;
  if (SUCCEEDED(quick.As(&persist))) persist->InitNew();
  RECT position{10, 10, 610, 410};
  return object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, window_, &position);
}

void TestContainer::Unhost() {
  if (!object_) return;
  ComPtr<IConnectionPointContainer> points;
  if (SUCCEEDED(object_.As(&points))) {
    ComPtr<IConnectionPoint> point;
    ComPtr<IProvideClassInfo2> info;
    GUID events{};
    if (SUCCEEDED(object_.As(&info))) info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events);
    if (eventCookie_ && SUCCEEDED(points->FindConnectionPoint(events, &point)))
      point->Unadvise(eventCookie_);
    point.Reset();
    if (propertyCookie_ && SUCCEEDED(points->FindConnectionPoint(IID_IPropertyNotifySink, &point)))
      point->Unadvise(propertyCookie_);
  }
  object_->Close(OLECLOSE_NOSAVE);
  object_->SetClientSite(nullptr);
  object_.Reset();
  dispatch_.Reset();
  if (sink_) sink_->Release();
  sink_ = nullptr;
}

HRESULT TestContainer::Put(DISPID id, VARIANT value, EXCEPINFO* error) {
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{&value, &named, 1, 1};
  EXCEPINFO local{};
  const HRESULT hr = dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT,
                                       &params, nullptr, error ? error : &local, nullptr);
  ::VariantClear(&value);
  if (!error) {
    ::SysFreeString(local.bstrDescription);
    ::SysFreeString(local.bstrSource);
    ::SysFreeString(local.bstrHelpFile);
  }
  return hr;
}

VARIANT TestContainer::Get(DISPID id, std::vector<VARIANT> arguments) {
  VARIANT result;
  ::VariantInit(&result);
  Call(id, std::move(arguments), &result, nullptr, DISPATCH_PROPERTYGET | DISPATCH_METHOD);
  return result;
}

HRESULT TestContainer::Call(DISPID id, std::vector<VARIANT> arguments, VARIANT* result,
                            EXCEPINFO* error, WORD flags) {
  std::reverse(arguments.begin(), arguments.end());
  DISPPARAMS params{arguments.data(), nullptr, static_cast<UINT>(arguments.size()), 0};
  EXCEPINFO local{};
  VARIANT ignored;
  ::VariantInit(&ignored);
  const HRESULT hr = dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                       result ? result : &ignored, error ? error : &local, nullptr);
  ::VariantClear(&ignored);
  for (auto& argument : arguments) ::VariantClear(&argument);
  if (!error) {
    ::SysFreeString(local.bstrDescription);
    ::SysFreeString(local.bstrSource);
    ::SysFreeString(local.bstrHelpFile);
  }
  return hr;
}

}  // namespace foldrix_test
