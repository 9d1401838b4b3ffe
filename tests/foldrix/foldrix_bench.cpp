// Speed of listing a big folder in the hosted control, against the shell work that no
// list can avoid: enumerating the folder with each entry's attributes, and sorting the
// entries with the folder's own comparison. Both are measured in one run.
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
    double controlMs = 0;
    ShellWork shell;
    {
      TestContainer container;
      container.Host(factory.Get(), false);  // no event sink connected
      Pump();
      container.Put(foldrix::kDispView, Long(3));
      container.Put(foldrix::kDispFilter, Text(L"*.*"));
      HWND list = reinterpret_cast<HWND>(PointerOf(container.Get(-515)));
      shell = MeasureShell(scratch.path());
      auto start = Clock::now();
      container.Put(foldrix::kDispFolder, Text(scratch.path().c_str()));
      const double fillMs = Ms(start);
      for (int i = 0; i < 3; ++i) ::UpdateWindow(list);  // the first real paint after the fill
      controlMs = Ms(start);
      std::printf("control: fill %.1f ms, first paint %.1f ms\n", fillMs, controlMs - fillMs);
      const int rows = ListView_GetItemCount(list);
      Pump();
      if (!screenshot.empty()) {
        ::RedrawWindow(container.window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASE);
        Pump();
        SaveWindowBitmap(container.window(), screenshot);
      }
      const double baseline = shell.enumerate + shell.sort;
      std::printf("entries %zu, rows %d\n", shell.entries, rows);
      std::printf("shell: enumeration with attributes %.1f ms, sort %.1f ms, together %.1f ms\n",
                  shell.enumerate, shell.sort, baseline);
      std::printf("control: fill in details view with Filter *.*, sorted, first paint %.1f ms\n", controlMs);
      std::printf("ratio %.2f (limit 2.00)\n", controlMs / baseline);
      container.Unhost();
    }
  }
  ::OleUninitialize();
  return 0;
}
