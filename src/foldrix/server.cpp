// The in-process server: class factory, unloading, registration.
#include <shlwapi.h>

#include <string>

#include "foldrix/control.h"

namespace foldrix {
namespace {

class ClassFactory final : public HeapObject<ClassFactory, IClassFactory> {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    static const QITAB table[] = {QITABENT(ClassFactory, IClassFactory), {}};
    return ::QISearch(this, table, iid, out);
  }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return FoldrixControl::Create(iid, out);
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    if (lock)
      ::InterlockedIncrement(&Counts().locks);
    else
      ::InterlockedDecrement(&Counts().locks);
    return S_OK;
  }

 private:
  friend class HeapObject<ClassFactory, IClassFactory>;  // deletes it at the last Release
  ~ClassFactory() = default;
  ObjectCount count_;
};

std::wstring GuidText(REFGUID guid) {
  wchar_t text[40] = {};
  ::StringFromGUID2(guid, text, 40);
  return text;
}

struct RegistryEntry {
  std::wstring key, name, value;
};

std::vector<RegistryEntry> Entries() {
  const std::wstring clsid = L"CLSID\\" + GuidText(CLSID_Foldrix);
  const std::wstring path = ModulePath();
  const std::wstring misc = std::to_wstring(OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE |
                                            OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE |
                                            OLEMISC_SETCLIENTSITEFIRST);
  return {
      {L"FoldrixCtl.Foldrix", L"", L"Marrowby Foldrix"},
      {L"FoldrixCtl.Foldrix\\CLSID", L"", GuidText(CLSID_Foldrix)},
      {L"FoldrixCtl.Foldrix\\CurVer", L"", L"FoldrixCtl.Foldrix.1"},
      {L"FoldrixCtl.Foldrix.1", L"", L"Marrowby Foldrix"},
      {L"FoldrixCtl.Foldrix.1\\CLSID", L"", GuidText(CLSID_Foldrix)},
      {clsid, L"", L"Marrowby Foldrix"},
      {clsid + L"\\InprocServer32", L"", path},
      {clsid + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
      {clsid + L"\\ProgID", L"", L"FoldrixCtl.Foldrix.1"},
      {clsid + L"\\VersionIndependentProgID", L"", L"FoldrixCtl.Foldrix"},
      {clsid + L"\\Control", L"", L""},
      {clsid + L"\\MiscStatus", L"", L"0"},
      {clsid + L"\\MiscStatus\\1", L"", misc},
      {clsid + L"\\ToolboxBitmap32", L"", path + L", 30000"},
      {clsid + L"\\TypeLib", L"", GuidText(LIBID_FoldrixCtl)},
      {clsid + L"\\Version", L"", L"5.1"},
  };
}

HRESULT Unregister() {
  ::SHDeleteKeyW(HKEY_CLASSES_ROOT, (L"CLSID\\" + GuidText(CLSID_Foldrix)).c_str());
  ::SHDeleteKeyW(HKEY_CLASSES_ROOT, L"FoldrixCtl.Foldrix");
  ::SHDeleteKeyW(HKEY_CLASSES_ROOT, L"FoldrixCtl.Foldrix.1");
#ifdef _WIN64
  ::UnRegisterTypeLib(LIBID_FoldrixCtl, 5, 1, 0x409, SYS_WIN64);
#else
  ::UnRegisterTypeLib(LIBID_FoldrixCtl, 5, 1, 0x409, SYS_WIN32);
#endif
  return S_OK;
}

HRESULT Register() {
  for (const auto& entry : Entries()) {
    const LSTATUS status = ::SHSetValueW(
        HKEY_CLASSES_ROOT, entry.key.c_str(), entry.name.empty() ? nullptr : entry.name.c_str(),
        REG_SZ, entry.value.c_str(), static_cast<DWORD>((entry.value.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  }
  ComPtr<ITypeLib> library;
  HRESULT hr = ::LoadTypeLibEx(ModulePath().c_str(), REGKIND_REGISTER, &library);
  return FAILED(hr) ? hr : S_OK;
}

}  // namespace
}  // namespace foldrix

using namespace foldrix;

extern "C" {

HRESULT __stdcall DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (clsid != CLSID_Foldrix) return CLASS_E_CLASSNOTAVAILABLE;
  return Guarded([&] {
    auto* factory = new ClassFactory();
    const HRESULT hr = factory->QueryInterface(iid, out);
    factory->Release();
    return hr;
  });
}

HRESULT __stdcall DllCanUnloadNow() {
  return Counts().comObjects == 0 && Counts().locks == 0 ? S_OK : S_FALSE;
}

HRESULT __stdcall DllRegisterServer() {
  return Guarded([] {
    const HRESULT hr = foldrix::Register();
    if (FAILED(hr)) foldrix::Unregister();  // nothing half-registered stays behind
    return hr;
  });
}

HRESULT __stdcall DllUnregisterServer() {
  return Guarded([] { return foldrix::Unregister(); });
}

// Live item records, COM objects and server locks, for tests that prove nothing leaks.
void __stdcall FoldrixLiveCounts(LONG* records, LONG* objects, LONG* locks) {
  if (records) *records = Counts().itemRecords;
  if (objects) *objects = Counts().comObjects;
  if (locks) *locks = Counts().locks;
}

// Identifier lists the control made or took over and nobody has freed yet.
LONG __stdcall FoldrixLiveLists() { return Counts().lists; }

// Where the last fill spent its time: columns, enumeration, selection, sorting and
// inserting, in milliseconds (for the benchmark).
void __stdcall FoldrixFillTimings(double* values, int count) {
  const FillTimings& timings = LastFillTimings();
  const double all[] = {timings.columns, timings.enumerate, timings.select, timings.sort,
                        timings.insert};
  for (int i = 0; i < count && i < 5; ++i) values[i] = all[i];
}

}  // extern "C"
