#include "foldrix/com_base.h"

#include <vector>

namespace foldrix {

HMODULE ThisModule() {
  HMODULE module = nullptr;
  ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

std::wstring ModulePath() {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(ThisModule(), path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) return std::wstring(path.data(), length);
    path.resize(path.size() * 2);
  }
}

HRESULT LoadOwnTypeInfo(REFGUID guid, ITypeInfo** info) {
  // Loaded per thread of use would be overkill: the control is apartment-threaded.
  static ITypeLib* library = nullptr;
  if (!library) {
    HRESULT hr = ::LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, &library);
    if (FAILED(hr)) return hr;
  }
  return library->GetTypeInfoOfGuid(guid, info);
}

HRESULT InvalidPropertyValue() {
  ComPtr<ICreateErrorInfo> create;
  if (SUCCEEDED(::CreateErrorInfo(&create))) {
    create->SetGUID(IID__Foldrix);
    create->SetSource(const_cast<LPOLESTR>(L"FoldrixCtl.Foldrix"));
    create->SetDescription(const_cast<LPOLESTR>(L"Invalid property value"));
    ComPtr<IErrorInfo> error;
    if (SUCCEEDED(create.As(&error))) ::SetErrorInfo(0, error.Get());
  }
  return CTL_E_INVALIDPROPERTYVALUE;
}

HRESULT ToBstr(const std::wstring& text, BSTR* result) {
  if (!result) return E_POINTER;
  *result = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *result ? S_OK : E_OUTOFMEMORY;
}

}  // namespace foldrix
