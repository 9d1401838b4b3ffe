// The Foldrix control object: the dual _Foldrix interface over the engine, and the OLE
// interfaces a container needs to embed, activate in place, size, focus and draw it.
#pragma once

#include <ocidl.h>

#include <memory>
#include <vector>

#include "foldrix/com_base.h"
#include "foldrix/folder_view.h"

namespace foldrix {

class ConnectionPoint;

class FoldrixControl final : public DispatchImpl<_Foldrix>,
                             public IOleObject,
                             public IOleInPlaceObject,
                             public IOleInPlaceActiveObject,
                             public IOleControl,
                             public IViewObject2,
                             public IPersistStreamInit,
                             public IPersistPropertyBag,
                             public IConnectionPointContainer,
                             public IProvideClassInfo2,
                             public IQuickActivate,
                             private FolderViewEvents {
 public:
  static HRESULT Create(REFIID iid, void** out);

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

#include "foldrix/control_members.inc"

  // IOleObject
  STDMETHODIMP SetClientSite(IOleClientSite* site) override;
  STDMETHODIMP GetClientSite(IOleClientSite** site) override;
  STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP Close(DWORD saveOption) override;
  STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
  STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                      LPCRECT position) override;
  STDMETHODIMP EnumVerbs(IEnumOLEVERB** verbs) override;
  STDMETHODIMP Update() override { return S_OK; }
  STDMETHODIMP IsUpToDate() override { return S_OK; }
  STDMETHODIMP GetUserClassID(CLSID* clsid) override;
  STDMETHODIMP GetUserType(DWORD form, LPOLESTR* type) override;
  STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
  STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
  STDMETHODIMP Advise(IAdviseSink* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;
  STDMETHODIMP EnumAdvise(IEnumSTATDATA** advises) override;
  STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
  STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

  // IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP InPlaceDeactivate() override;
  STDMETHODIMP UIDeactivate() override;
  STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT clip) override;
  STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }
  STDMETHODIMP TranslateAccelerator(LPMSG) override { return S_FALSE; }
  STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
  STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }

  // IOleControl
  STDMETHODIMP GetControlInfo(CONTROLINFO* info) override;
  STDMETHODIMP OnMnemonic(MSG*) override { return E_NOTIMPL; }
  STDMETHODIMP OnAmbientPropertyChange(DISPID id) override;
  STDMETHODIMP FreezeEvents(BOOL freeze) override;

  // IViewObject2
  STDMETHODIMP Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC draw,
                    LPCRECTL bounds, LPCRECTL, BOOL (STDMETHODCALLTYPE*)(ULONG_PTR),
                    ULONG_PTR) override;
  STDMETHODIMP GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP Unfreeze(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
  STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
  STDMETHODIMP GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) override;

  // IPersist, IPersistStreamInit, IPersistPropertyBag
  STDMETHODIMP GetClassID(CLSID* clsid) override;
  STDMETHODIMP IsDirty() override { return S_FALSE; }
  STDMETHODIMP Load(LPSTREAM) override { return S_OK; }
  STDMETHODIMP Save(LPSTREAM, BOOL) override { return S_OK; }
  STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
  STDMETHODIMP InitNew() override;
  STDMETHODIMP Load(IPropertyBag*, IErrorLog*) override { return S_OK; }
  STDMETHODIMP Save(IPropertyBag*, BOOL, BOOL) override { return S_OK; }

  // IConnectionPointContainer, IProvideClassInfo2
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override;
  STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;
  STDMETHODIMP GetClassInfo(ITypeInfo** info) override;
  STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;

  // IQuickActivate
  STDMETHODIMP QuickActivate(QACONTAINER* container, QACONTROL* control) override;
  STDMETHODIMP SetContentExtent(LPSIZEL size) override;
  STDMETHODIMP GetContentExtent(LPSIZEL size) override;

 private:
  FoldrixControl();
  ~FoldrixControl();
  HRESULT CreateWindows();
  HRESULT ActivateInPlace(bool uiActivate, HWND parent, LPCRECT position);
  bool HasEventSinks() const;
  void Fire(DISPID id, VARIANTARG* arguments, UINT count);
  HRESULT SetBool(bool& stored, VARIANT_BOOL value, DISPID id);
  HRESULT SetStyleBool(DWORD mask, bool set, DISPID id);
  HRESULT SetShowFlag(bool& stored, VARIANT_BOOL value, DISPID id);
  void ReadUserMode();

  // FolderViewEvents: raised as __Foldrix events.
  bool WantsItemEvents() override;
  void AddingColumn(long& index, std::wstring& title, bool& usePreviousWidth, bool& cancel) override;
  void AddingItem(const ItemPtr& item, bool& cancel) override;
  void AddedItem(const ItemPtr& item) override;
  void PathChanging(LONG_PTR newPidl, LONG_PTR oldPidl, bool& hasParent, bool& cancel) override;
  void PathChanged(LONG_PTR newPidl, LONG_PTR oldPidl, bool& hasParent) override;
  void ItemSelected(const ItemPtr& item) override;
  void ItemActivate(const ItemPtr& item) override;
  void ItemClicked(const ItemPtr& item, long& location) override;
  void EnumContentsProc(LONG_PTR absolute, LONG_PTR relative, bool& dontFree, bool& go) override;
  void Click() override;
  void DblClick() override;
  void KeyDown(short& keyCode, short& shift) override;
  void KeyUp(short& keyCode, short& shift) override;
  void KeyPress(short& keyAscii) override;
  void MouseDown(short& button, short& shift, float& x, float& y) override;
  void MouseMove(short& button, short& shift, float& x, float& y) override;
  void HScroll() override;
  void VScroll() override;
  void PropertyChanged(DISPID id) override;
  void FocusChanged(bool gained) override;
  bool RunMode() override { return userMode_; }

  ObjectCount count_;
  LONG refs_ = 1;
  HWND parking_ = nullptr;  // hidden owner of the host window while not in place
  HWND host_ = nullptr;
  std::unique_ptr<FolderView> view_;
  ComPtr<IOleClientSite> site_;
  ComPtr<IOleInPlaceSite> inPlaceSite_;
  ComPtr<IOleInPlaceFrame> frame_;
  ComPtr<IOleAdviseHolder> adviseHolder_;
  ComPtr<IAdviseSink> viewSink_;
  DWORD viewAspects_ = 0, viewFlags_ = 0;
  SIZEL extent_{};  // HIMETRIC
  bool inPlace_ = false, uiActive_ = false;
  bool userMode_ = true;
  int freezeCount_ = 0;
  ConnectionPoint* events_ = nullptr;
  ConnectionPoint* propertySinks_ = nullptr;
  HICON unchecked_ = nullptr, checked_ = nullptr;
};

}  // namespace foldrix
