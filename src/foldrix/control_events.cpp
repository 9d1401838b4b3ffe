// The event connection point and the raising of __Foldrix events and property changes.
#include "foldrix/connection_enum.h"
#include "foldrix/connection_point.h"
#include "foldrix/control.h"
#include "foldrix/item_objects.h"

#include <shlwapi.h>

#include <algorithm>

namespace foldrix {

ConnectionPoint::ConnectionPoint(IConnectionPointContainer* container, REFIID iid, REFIID fallback)
    : container_(container), iid_(iid), fallback_(fallback) {}

STDMETHODIMP ConnectionPoint::QueryInterface(REFIID iid, void** out) {
  static const QITAB table[] = {QITABENT(ConnectionPoint, IConnectionPoint), {}};
  return ::QISearch(this, table, iid, out);
}
STDMETHODIMP_(ULONG) ConnectionPoint::AddRef() { return ::InterlockedIncrement(&refs_); }
STDMETHODIMP_(ULONG) ConnectionPoint::Release() {
  const ULONG left = ::InterlockedDecrement(&refs_);
  if (left == 0) delete this;
  return left;
}

STDMETHODIMP ConnectionPoint::GetConnectionInterface(IID* iid) {
  if (!iid) return E_POINTER;
  *iid = iid_;
  return S_OK;
}

STDMETHODIMP ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
  if (!container) return E_POINTER;
  *container = container_;
  if (!container_) return E_UNEXPECTED;
  container_->AddRef();
  return S_OK;
}

STDMETHODIMP ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (!sink || !cookie) return E_POINTER;
  *cookie = 0;
  ComPtr<IUnknown> wanted;
  if (FAILED(sink->QueryInterface(iid_, reinterpret_cast<void**>(wanted.GetAddressOf()))) &&
      FAILED(sink->QueryInterface(fallback_, reinterpret_cast<void**>(wanted.GetAddressOf()))))
    return CONNECT_E_CANNOTCONNECT;
  return Guarded([&] {
    for (size_t slot = 0; slot < sinks_.size(); ++slot) {
      if (!sinks_[slot]) {
        sinks_[slot] = wanted;
        *cookie = static_cast<DWORD>(slot + 1);
        return S_OK;
      }
    }
    sinks_.push_back(wanted);
    *cookie = static_cast<DWORD>(sinks_.size());
    return S_OK;
  });
}

STDMETHODIMP ConnectionPoint::Unadvise(DWORD cookie) {
  if (cookie == 0 || cookie > sinks_.size() || !sinks_[cookie - 1]) return CONNECT_E_NOCONNECTION;
  sinks_[cookie - 1].Reset();
  return S_OK;
}

STDMETHODIMP ConnectionPoint::EnumConnections(IEnumConnections** connections) {
  return Guarded([&] {
    std::vector<CONNECTDATA> live;
    for (size_t slot = 0; slot < sinks_.size(); ++slot)
      if (sinks_[slot]) live.push_back({sinks_[slot].Get(), static_cast<DWORD>(slot + 1)});
    return NewConnectionEnum(this, live, connections);
  });
}

std::vector<ComPtr<IUnknown>> ConnectionPoint::Sinks() const {
  std::vector<ComPtr<IUnknown>> live;
  for (const auto& sink : sinks_)
    if (sink) live.push_back(sink);
  return live;
}

bool ConnectionPoint::empty() const {
  for (const auto& sink : sinks_)
    if (sink) return false;
  return true;
}

namespace {

#ifdef _WIN64
constexpr VARTYPE kPointerType = VT_I8;
#else
constexpr VARTYPE kPointerType = VT_I4;
#endif

VARIANTARG BoolByRef(VARIANT_BOOL* value) {
  VARIANTARG v;
  v.vt = VT_BOOL | VT_BYREF;
  v.pboolVal = value;
  return v;
}
VARIANTARG ByRef(LONG* value) {
  VARIANTARG v;
  v.vt = VT_I4 | VT_BYREF;
  v.plVal = value;
  return v;
}
VARIANTARG ByRef(SHORT* value) {
  VARIANTARG v;
  v.vt = VT_I2 | VT_BYREF;
  v.piVal = value;
  return v;
}
VARIANTARG ByRef(FLOAT* value) {
  VARIANTARG v;
  v.vt = VT_R4 | VT_BYREF;
  v.pfltVal = value;
  return v;
}
VARIANTARG ByRef(BSTR* value) {
  VARIANTARG v;
  v.vt = VT_BSTR | VT_BYREF;
  v.pbstrVal = value;
  return v;
}
VARIANTARG PointerByRef(LONG_PTR* value) {
  VARIANTARG v;
  v.vt = kPointerType | VT_BYREF;
#ifdef _WIN64
  v.pllVal = reinterpret_cast<LONGLONG*>(value);
#else
  v.plVal = reinterpret_cast<LONG*>(value);
#endif
  return v;
}
VARIANTARG ByRef(IDispatch** value) {
  VARIANTARG v;
  v.vt = VT_DISPATCH | VT_BYREF;
  v.ppdispVal = value;
  return v;
}

// An Item object for one event, released after the handlers ran.
class EventItem {
 public:
  explicit EventItem(const ItemPtr& item) {
    ::Item* object = nullptr;
    NewItemObject(item, &object);
    dispatch_ = object;
  }
  ~EventItem() {
    if (dispatch_) dispatch_->Release();
  }
  EventItem(const EventItem&) = delete;
  EventItem& operator=(const EventItem&) = delete;
  IDispatch** slot() { return &dispatch_; }

 private:
  IDispatch* dispatch_ = nullptr;
};

struct FlagArg {
  explicit FlagArg(bool value) : flag(ToVariantBool(value)) {}
  VARIANT_BOOL flag;
  bool value() const { return flag != VARIANT_FALSE; }
};

}  // namespace

bool FoldrixControl::HasEventSinks() const { return events_ && !events_->empty(); }

void FoldrixControl::Fire(DISPID id, VARIANTARG* arguments, UINT count) {
  if (freezeCount_ > 0 || !events_) return;
  // Arguments come in order; DISPPARAMS wants them last first.
  std::vector<VARIANTARG> reversed(arguments, arguments + count);
  std::reverse(reversed.begin(), reversed.end());
  DISPPARAMS params{reversed.data(), nullptr, count, 0};
  AddRef();  // a handler may release the control
  for (const auto& sink : events_->Sinks()) {
    ComPtr<IDispatch> dispatch;
    if (SUCCEEDED(sink.As(&dispatch)))
      dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                       nullptr, nullptr);
  }
  Release();
}

bool FoldrixControl::WantsItemEvents() { return HasEventSinks() && freezeCount_ == 0; }

void FoldrixControl::AddingColumn(long& index, std::wstring& title, bool& usePrevious, bool& cancel) {
  if (!HasEventSinks()) return;
  LONG i = index;
  BSTR text = ::SysAllocStringLen(title.data(), static_cast<UINT>(title.size()));
  FlagArg use(usePrevious), stop(cancel);
  VARIANTARG args[] = {ByRef(&i), ByRef(&text), BoolByRef(&use.flag), BoolByRef(&stop.flag)};
  Fire(2, args, 4);
  if (text) title.assign(text, ::SysStringLen(text));
  ::SysFreeString(text);
  usePrevious = use.value();
  cancel = stop.value();
}

void FoldrixControl::AddingItem(const ItemPtr& item, bool& cancel) {
  EventItem object(item);
  FlagArg stop(cancel);
  VARIANTARG args[] = {ByRef(object.slot()), BoolByRef(&stop.flag)};
  Fire(3, args, 2);
  cancel = stop.value();
}

void FoldrixControl::AddedItem(const ItemPtr& item) {
  EventItem object(item);
  VARIANTARG args[] = {ByRef(object.slot())};
  Fire(1, args, 1);
}

void FoldrixControl::PathChanging(LONG_PTR newPidl, LONG_PTR oldPidl, bool& hasParent, bool& cancel) {
  FlagArg parent(hasParent), stop(cancel);
  VARIANTARG args[] = {PointerByRef(&newPidl), PointerByRef(&oldPidl), BoolByRef(&parent.flag),
                       BoolByRef(&stop.flag)};
  Fire(20, args, 4);
  cancel = stop.value();
}

void FoldrixControl::PathChanged(LONG_PTR newPidl, LONG_PTR oldPidl, bool& hasParent) {
  FlagArg parent(hasParent);
  VARIANTARG args[] = {PointerByRef(&newPidl), PointerByRef(&oldPidl), BoolByRef(&parent.flag)};
  Fire(19, args, 3);
}

void FoldrixControl::ItemSelected(const ItemPtr& item) {
  EventItem object(item);
  VARIANTARG args[] = {ByRef(object.slot())};
  Fire(12, args, 1);
}

void FoldrixControl::ItemActivate(const ItemPtr& item) {
  EventItem object(item);
  VARIANTARG args[] = {ByRef(object.slot())};
  Fire(10, args, 1);
}

void FoldrixControl::ItemClicked(const ItemPtr& item, long& location) {
  EventItem object(item);
  LONG where = location;
  VARIANTARG args[] = {ByRef(object.slot()), ByRef(&where)};
  Fire(11, args, 2);
}

void FoldrixControl::EnumContentsProc(LONG_PTR absolute, LONG_PTR relative, bool& dontFree,
                                      bool& go) {
  FlagArg keep(dontFree), more(go);
  VARIANTARG args[] = {PointerByRef(&absolute), PointerByRef(&relative), BoolByRef(&keep.flag),
                       BoolByRef(&more.flag)};
  Fire(8, args, 4);
  dontFree = keep.value();
  go = more.value();
}

void FoldrixControl::Click() { Fire(5, nullptr, 0); }
void FoldrixControl::DblClick() { Fire(6, nullptr, 0); }
void FoldrixControl::HScroll() { Fire(9, nullptr, 0); }
void FoldrixControl::VScroll() { Fire(21, nullptr, 0); }

void FoldrixControl::KeyDown(short& keyCode, short& shift) {
  VARIANTARG args[] = {ByRef(&keyCode), ByRef(&shift)};
  Fire(14, args, 2);
}
void FoldrixControl::KeyUp(short& keyCode, short& shift) {
  VARIANTARG args[] = {ByRef(&keyCode), ByRef(&shift)};
  Fire(16, args, 2);
}
void FoldrixControl::KeyPress(short& keyAscii) {
  VARIANTARG args[] = {ByRef(&keyAscii)};
  Fire(15, args, 1);
}
void FoldrixControl::MouseDown(short& button, short& shift, float& x, float& y) {
  VARIANTARG args[] = {ByRef(&button), ByRef(&shift), ByRef(&x), ByRef(&y)};
  Fire(17, args, 4);
}
void FoldrixControl::MouseMove(short& button, short& shift, float& x, float& y) {
  VARIANTARG args[] = {ByRef(&button), ByRef(&shift), ByRef(&x), ByRef(&y)};
  Fire(18, args, 4);
}

void FoldrixControl::PropertyChanged(DISPID id) {
  if (!propertySinks_) return;
  for (const auto& sink : propertySinks_->Sinks()) {
    ComPtr<IPropertyNotifySink> notify;
    if (SUCCEEDED(sink.As(&notify))) notify->OnChanged(id);
  }
}

void FoldrixControl::FocusChanged(bool gained) {
  // The container raises its own GotFocus/LostFocus and routes keys to the active object.
  ComPtr<IOleControlSite> controlSite;
  if (site_ && SUCCEEDED(site_.As(&controlSite))) controlSite->OnFocus(gained ? TRUE : FALSE);
  if (gained && frame_) frame_->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), nullptr);
}

}  // namespace foldrix
