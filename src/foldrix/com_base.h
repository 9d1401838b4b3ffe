// Small helpers shared by the control's COM classes: the module, its type library,
// dispatch through the type library, object counting and error 380.
#pragma once

#include <windows.h>
#include <oleauto.h>
#include <olectl.h>

#include <new>
#include <string>

#include "foldrix/pidl.h"
#include "foldrix_h.h"

namespace foldrix {

HMODULE ThisModule();
std::wstring ModulePath();
// The type library embedded in this DLL (loaded from our own file, registered or not).
HRESULT LoadOwnTypeInfo(REFGUID guid, ITypeInfo** info);
// Automation error 380, described through IErrorInfo as containers expect.
HRESULT InvalidPropertyValue();
// Runs a COM method body: no C++ exception leaves it.
template <typename Body>
HRESULT Guarded(Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}
inline VARIANT_BOOL ToVariantBool(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }
HRESULT ToBstr(const std::wstring& text, BSTR* result);

// Live objects and server locks: DllCanUnloadNow answers from these.
class ObjectCount {
 public:
  ObjectCount() { ::InterlockedIncrement(&Counts().comObjects); }
  ~ObjectCount() { ::InterlockedDecrement(&Counts().comObjects); }
  ObjectCount(const ObjectCount&) = delete;
  ObjectCount& operator=(const ObjectCount&) = delete;
};

// AddRef and Release of an object on the heap that goes at its last Release; it
// starts with one reference, its creator's.
template <typename Derived, typename Interface>
class HeapObject : public Interface {
 public:
  STDMETHODIMP_(ULONG) AddRef() override { return ::InterlockedIncrement(&refs_); }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = ::InterlockedDecrement(&refs_);
    if (left == 0) delete static_cast<Derived*>(this);
    return left;
  }

 private:
  LONG refs_ = 1;
};

// IDispatch of a dual interface, answered by the interface's type information.
template <typename Interface>
class DispatchImpl : public Interface {
 public:
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    return LoadOwnTypeInfo(__uuidof(Interface), info);
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    ComPtr<ITypeInfo> info;
    HRESULT hr = LoadOwnTypeInfo(__uuidof(Interface), &info);
    if (FAILED(hr)) return hr;
    return info->GetIDsOfNames(names, count, ids);
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* argError) override {
    ComPtr<ITypeInfo> info;
    HRESULT hr = LoadOwnTypeInfo(__uuidof(Interface), &info);
    if (FAILED(hr)) return hr;
    ::SetErrorInfo(0, nullptr);
    return info->Invoke(static_cast<Interface*>(this), id, flags, params, result, exception,
                        argError);
  }
};

}  // namespace foldrix
