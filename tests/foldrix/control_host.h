// A small container of our own: hosts the control in a window the way a form does
// (client site, in-place site and frame, ambient properties) and drives it only
// through IDispatch by dispatch identifier; an event sink records events in order.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <wrl/client.h>

#include <functional>
#include <string>
#include <vector>

namespace foldrix_test {

using Microsoft::WRL::ComPtr;

// The control's DLL beside the test program.
std::wstring OcxPath();
using LiveCountsFunction = void(__stdcall*)(LONG*, LONG*, LONG*);

template <typename Function>
Function Export(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// The control's class object straight from the loaded DLL, without registration.
inline HRESULT FoldrixClassObject(HMODULE module, IClassFactory** factory) {
  auto getClassObject = Export<HRESULT(__stdcall*)(REFCLSID, REFIID, void**)>(module, "DllGetClassObject");
  if (!getClassObject) return E_NOINTERFACE;
  CLSID clsid{};
  ::CLSIDFromString(L"{5FEFBBB8-2283-466A-9591-E7D3DEFEE84A}", &clsid);
  return getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory));
}

struct RecordedEvent {
  DISPID id;
  std::vector<VARIANT> arguments;  // as given (by reference), in declaration order
};

// Receives __Foldrix events through IDispatch and IPropertyNotifySink changes.
class EventSink : public IDispatch, public IPropertyNotifySink {
 public:
  EventSink() = default;
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP GetTypeInfoCount(UINT* count) override { *count = 0; return S_OK; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                      UINT*) override;
  STDMETHODIMP OnChanged(DISPID id) override { changes.push_back(id); return S_OK; }
  STDMETHODIMP OnRequestEdit(DISPID) override { return S_OK; }

  std::vector<DISPID> ids;      // events in order
  std::vector<DISPID> changes;  // property changes in order
  // Called inside each event with its arguments (declaration order) to answer them.
  std::function<void(DISPID, VARIANT*, UINT)> handler;
  void Clear() { ids.clear(); changes.clear(); }

 private:
  virtual ~EventSink() = default;
  ULONG refs_ = 1;
};

class TestContainer : public IOleClientSite,
                      public IOleInPlaceSite,
                      public IOleInPlaceFrame,
                      public IOleControlSite,
                      public IDispatch {
 public:
  TestContainer();
  // Creates the control from a class object, places it in the window and activates it.
  HRESULT Host(IClassFactory* factory, bool connectEvents = true);
  HRESULT Host(IUnknown* control, bool connectEvents = true);
  // The same through IQuickActivate: site, event sink, property sink and ambient
  // values in one call; answer receives the control's reply.
  HRESULT HostQuickly(IClassFactory* factory, QACONTROL* answer);
  void Unhost();
  HWND window() const { return window_; }

  // Late-bound access by dispatch identifier.
  HRESULT Put(DISPID id, VARIANT value, EXCEPINFO* error = nullptr);
  VARIANT Get(DISPID id, std::vector<VARIANT> arguments = {});
  HRESULT Call(DISPID id, std::vector<VARIANT> arguments, VARIANT* result,
               EXCEPINFO* error = nullptr, WORD flags = DISPATCH_METHOD);
  IDispatch* control() const { return dispatch_.Get(); }
  EventSink* sink() const { return sink_; }

  bool userMode = true;
  int focusGained = 0, focusLost = 0;
  IOleInPlaceActiveObject* activeObject = nullptr;  // not held: identity only

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override;
  // IOleClientSite
  STDMETHODIMP SaveObject() override { return S_OK; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP GetContainer(IOleContainer** c) override { *c = nullptr; return E_NOINTERFACE; }
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
  // IOleWindow, IOleInPlaceSite
  STDMETHODIMP GetWindow(HWND* w) override { *w = window_; return S_OK; }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnUIActivate() override { return S_OK; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
  STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
  STDMETHODIMP DiscardUndoState() override { return S_OK; }
  STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
  STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }
  // IOleInPlaceUIWindow, IOleInPlaceFrame
  STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
  STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override {
    activeObject = object;
    return S_OK;
  }
  STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
  STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  STDMETHODIMP RemoveMenus(HMENU) override { return S_OK; }
  STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
  STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }
  // IOleControlSite
  STDMETHODIMP OnControlInfoChanged() override { return S_OK; }
  STDMETHODIMP LockInPlaceActive(BOOL) override { return S_OK; }
  STDMETHODIMP GetExtendedControl(IDispatch** d) override { *d = nullptr; return E_NOTIMPL; }
  STDMETHODIMP TransformCoords(POINTL*, POINTF*, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP TranslateAccelerator(LPMSG, DWORD) override { return S_FALSE; }
  STDMETHODIMP OnFocus(BOOL got) override {
    (got ? focusGained : focusLost)++;
    return S_OK;
  }
  STDMETHODIMP ShowPropertyFrame() override { return E_NOTIMPL; }
  // IDispatch: the ambient properties
  STDMETHODIMP GetTypeInfoCount(UINT* count) override { *count = 0; return S_OK; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                      UINT*) override;

  ~TestContainer();

 private:
  HWND window_ = nullptr;
  ULONG refs_ = 1;
  ComPtr<IOleObject> object_;
  ComPtr<IDispatch> dispatch_;
  EventSink* sink_ = nullptr;
  DWORD eventCookie_ = 0, propertyCookie_ = 0;
};

VARIANT Long(LONG value);
VARIANT Bool(bool value);
VARIANT Text(const wchar_t* text);
VARIANT Pointer(LONG_PTR value);
LONG_PTR PointerOf(const VARIANT& value);

}  // namespace foldrix_test
