// Speed of listing a big folder in the hosted control, against the shell work that no
// list can avoid: enumerating the folder with each entry's attributes, and sorting the
// entries with the folder's own comparison. Both are measured in one run, and the
// system's own folder view on the same folder as a third figure.
//   foldrix_bench [files] [screenshot.bmp]
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "foldrix/control_host.h"
#include "foldrix/dispids.h"
#include "support/scratch.h"

#include <commctrl.h>

using namespace foldrix_test;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct ShellWork {
  double enumerate = 0, sort = 0;
  size_t entries = 0;
};

ShellWork MeasureShell(const std::wstring& path) {
  ShellWork work;
  ComPtr<IShellFolder> desktop, folder;
  ::SHGetDesktopFolder(&desktop);
  PIDLIST_ABSOLUTE list = ILCreateFromPathW(path.c_str());
  desktop->BindToObject(list, nullptr, IID_PPV_ARGS(&folder));
  ::CoTaskMemFree(list);
  std::vector<PITEMID_CHILD> entries;
  auto start = Clock::now();
  ComPtr<IEnumIDList> items;
  folder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN, &items);
  PITEMID_CHILD entry = nullptr;
  while (items && items->Next(1, &entry, nullptr) == S_OK) {
    SFGAOF attributes = 0x600B0010;
    PCUITEMID_CHILD one[] = {entry};
    folder->GetAttributesOf(1, one, &attributes);
    entries.push_back(entry);
  }
  work.enumerate = Ms(start);
  start = Clock::now();
  std::sort(entries.begin(), entries.end(), [&](PITEMID_CHILD a, PITEMID_CHILD b) {
    return static_cast<short>(HRESULT_CODE(folder->CompareIDs(0, a, b))) < 0;
  });
  work.sort = Ms(start);
  work.entries = entries.size();
  for (auto e : entries) ::CoTaskMemFree(e);
  return work;
}

bool SaveWindowBitmap(HWND window, const std::wstring& file) {
  RECT area{};
  ::GetWindowRect(window, &area);
  const int width = area.right - area.left, height = area.bottom - area.top;
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB};
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  ::SelectObject(memory, old);
  const DWORD stride = ((width * 3 + 3) & ~3u), size = stride * height;
  BITMAPFILEHEADER header{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + size), 0, 0,
                          sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
  std::string bytes(reinterpret_cast<char*>(&header), sizeof(header));
  bytes.append(reinterpret_cast<char*>(&info.bmiHeader), sizeof(BITMAPINFOHEADER));
  bytes.append(static_cast<char*>(bits), size);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  return testing_support::WriteFileBytes(file, bytes);
}

// Time spent answering the list's requests for texts and icons during a paint, seen
// from a procedure put in front of the control's host window.
struct DispInfoClock {
  WNDPROC old = nullptr;
  double ms = 0;
  int calls = 0;
};
DispInfoClock dispInfo;

LRESULT CALLBACK TimedHost(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == LVN_GETDISPINFOW) {
    const auto start = Clock::now();
    const LRESULT result = ::CallWindowProcW(dispInfo.old, window, message, wParam, lParam);
    dispInfo.ms += Ms(start);
    ++dispInfo.calls;
    return result;
  }
  return ::CallWindowProcW(dispInfo.old, window, message, wParam, lParam);
}

// The least a folder view needs from its browser: a parent window.
class MiniBrowser : public IShellBrowser {
 public:
  explicit MiniBrowser(HWND window) : window_(window) {}
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IOleWindow || iid == IID_IShellBrowser) {
      *out = static_cast<IShellBrowser*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }   // lives on the stack
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP GetWindow(HWND* window) override { *window = window_; return S_OK; }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP InsertMenusSB(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
  STDMETHODIMP SetMenuSB(HMENU, HOLEMENU, HWND) override { return E_NOTIMPL; }
  STDMETHODIMP RemoveMenusSB(HMENU) override { return E_NOTIMPL; }
  STDMETHODIMP SetStatusTextSB(LPCOLESTR) override { return E_NOTIMPL; }
  STDMETHODIMP EnableModelessSB(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP TranslateAcceleratorSB(MSG*, WORD) override { return E_NOTIMPL; }
  STDMETHODIMP BrowseObject(PCUIDLIST_RELATIVE, UINT) override { return E_NOTIMPL; }
  STDMETHODIMP GetViewStateStream(DWORD, IStream**) override { return E_NOTIMPL; }
  STDMETHODIMP GetControlWindow(UINT, HWND* window) override { *window = nullptr; return E_NOTIMPL; }
  STDMETHODIMP SendControlMsg(UINT, UINT, WPARAM, LPARAM, LRESULT* result) override {
    if (result) *result = 0;
    return E_NOTIMPL;
  }
  STDMETHODIMP QueryActiveShellView(IShellView**) override { return E_NOTIMPL; }
  STDMETHODIMP OnViewWindowActive(IShellView*) override { return E_NOTIMPL; }
  STDMETHODIMP SetToolbarItems(LPTBBUTTONSB, UINT, UINT) override { return E_NOTIMPL; }

 private:
  HWND window_;
};

void PaintNow(HWND window) {
  ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// The system's folder view on the same folder, details view, until its first paint.
double MeasureShellView(const std::wstring& path, HWND parent) {
  ComPtr<IShellFolder> desktop, folder;
  ::SHGetDesktopFolder(&desktop);
  PIDLIST_ABSOLUTE list = ILCreateFromPathW(path.c_str());
  desktop->BindToObject(list, nullptr, IID_PPV_ARGS(&folder));
  ::CoTaskMemFree(list);
  if (!folder) return -1;
  MiniBrowser browser(parent);
  const auto start = Clock::now();
  ComPtr<IShellView> view;
  if (FAILED(folder->CreateViewObject(parent, IID_PPV_ARGS(&view)))) return -1;
  FOLDERSETTINGS settings{FVM_DETAILS, 0};
  RECT area{10, 10, 610, 410};
  HWND window = nullptr;
  if (FAILED(view->CreateViewWindow(nullptr, &settings, &browser, &area, &window)) || !window) return -1;
  view->UIActivate(SVUIA_ACTIVATE_NOFOCUS);
  for (int i = 0; i < 3; ++i) PaintNow(window);
  const double ms = Ms(start);
  view->UIActivate(SVUIA_DEACTIVATE);
  view->DestroyViewWindow();
  return ms;
}

void Pump() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int files = argc > 1 ? _wtoi(argv[1]) : 10000;
  const std::wstring screenshot = argc > 2 ? argv[2] : L"";
  ::OleInitialize(nullptr);
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
  ::InitCommonControlsEx(&controls);
  {
    testing_support::ScratchFolder scratch(L"fdx-bench");
    for (int i = 0; i < files; ++i) {
      wchar_t name[32];
      swprintf(name, 32, L"file%05d.txt", (i * 7919) % files);
      testing_support::WriteFileBytes(scratch / name, i % 3 ? "" : "some bytes");
    }
    HMODULE module = ::LoadLibraryW(OcxPath().c_str());
    auto getClassObject = reinterpret_cast<HRESULT(__stdcall*)(REFCLSID, REFIID, void**)>(
        reinterpret_cast<void*>(::GetProcAddress(module, "DllGetClassObject")));
    CLSID clsid{};
    ::CLSIDFromString(L"{5FEFBBB8-2283-466A-9591-E7D3DEFEE84A}", &clsid);
    ComPtr<IClassFactory> factory;
    if (!getClassObject || FAILED(getClassObject(clsid, IID_PPV_ARGS(&factory)))) {
      std::fprintf(stderr, "cannot load foldrix.ocx\n");
      return 1;
    }
    using FillTimingsFunction = void(__stdcall*)(double*, int);
    auto fillTimings = reinterpret_cast<FillTimingsFunction>(
        reinterpret_cast<void*>(::GetProcAddress(module, "FoldrixFillTimings")));
    TestContainer container;
    container.Host(factory.Get(), false);  // no event sink connected
    Pump();
    container.Put(foldrix::kDispView, Long(3));
    container.Put(foldrix::kDispFilter, Text(L"*.*"));
    HWND list = reinterpret_cast<HWND>(PointerOf(container.Get(-515)));
    HWND host = ::GetParent(list);
    const ShellWork shell = MeasureShell(scratch.path());
    auto start = Clock::now();
    container.Put(foldrix::kDispFolder, Text(scratch.path().c_str()));
    const double fillMs = Ms(start);
    // Put in front of the host only now, so that it weighs on the paint alone.
    const auto hostProcedure = reinterpret_cast<LONG_PTR>(TimedHost);
    dispInfo.old = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(host, GWLP_WNDPROC, hostProcedure));
    // The first paints after a fill are held back (no flashing): paint until one happens.
    for (int i = 0; i < 3; ++i) ::UpdateWindow(list);
    const double controlMs = Ms(start);
    const int rows = ListView_GetItemCount(list);
    double phases[5] = {};
    if (fillTimings) fillTimings(phases, 5);
    Pump();
    if (!screenshot.empty()) {
      ::RedrawWindow(container.window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASE);
      Pump();
      SaveWindowBitmap(container.window(), screenshot);
    }
    ::SetWindowLongPtrW(host, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(dispInfo.old));
    container.Unhost();
    const double viewMs = MeasureShellView(scratch.path(), container.window());

    const double baseline = shell.enumerate + shell.sort;
    std::printf("entries %zu, rows %d\n", shell.entries, rows);
    std::printf("shell work: enumeration with attributes %.1f ms, sort %.1f ms, together %.1f ms\n",
                shell.enumerate, shell.sort, baseline);
    std::printf("control: fill %.1f ms (columns %.1f, enumeration %.1f, paths and filter %.1f, "
                "sort %.1f, rows %.1f, rest %.1f), first paint %.1f ms (texts and icons %.1f ms "
                "in %d requests)\n",
                fillMs, phases[0], phases[1], phases[2], phases[3], phases[4],
                fillMs - (phases[0] + phases[1] + phases[2] + phases[3] + phases[4]),
                controlMs - fillMs, dispInfo.ms, dispInfo.calls);
    std::printf("control: fill in details view with Filter *.*, sorted, first paint %.1f ms\n", controlMs);
    std::printf("ratio %.2f (limit 2.00)\n", controlMs / baseline);
    if (viewMs >= 0)
      std::printf("system folder view (details, first paint) %.1f ms, ratio %.2f\n", viewMs, viewMs / baseline);
  }
  ::OleUninitialize();
  return 0;
}
