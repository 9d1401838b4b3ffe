#include "ui/online/screenshot.h"

#include <vector>

#include "common/handles.h"

namespace testing_support {
namespace {

std::wstring ArtifactsFolder() {
  std::wstring path(MAX_PATH, L'\0');
  DWORD length;
  while ((length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) ==
         path.size())
    path.resize(path.size() * 2);
  path.resize(length);
  path.resize(path.find_last_of(L'\\'));  // the program's folder
  path.resize(path.find_last_of(L'\\') + 1);
  path += L"artifacts\\";
  ::CreateDirectoryW(path.c_str(), nullptr);
  return path;
}

}  // namespace

std::wstring SaveWindowScreenshot(HWND window, const std::wstring& fileName) {
  RECT area{};
  if (!::GetWindowRect(window, &area)) return {};
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return {};
  ::RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);

  HDC screen = ::GetDC(nullptr);
  common::UniqueMemoryDC memory(screen);
  common::UniqueGdiObject bitmap(::CreateCompatibleBitmap(screen, width, height));
  {
    common::ScopedSelectObject select(memory.get(), bitmap.get());
    ::BitBlt(memory.get(), 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  }
  BITMAPINFOHEADER info{sizeof(info)};
  info.biWidth = width;
  info.biHeight = height;  // bottom-up, as BMP files store rows
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
  std::vector<BYTE> pixels(static_cast<size_t>(stride) * static_cast<size_t>(height));
  const int rows = ::GetDIBits(memory.get(), static_cast<HBITMAP>(bitmap.get()), 0, height,
                               pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
                               DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, screen);
  if (rows != height) return {};

  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  const std::wstring path = ArtifactsFolder() + fileName;
  common::UniqueHandle out(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!out) return {};
  DWORD written = 0;
  const bool ok = ::WriteFile(out.get(), &file, sizeof(file), &written, nullptr) &&
                  ::WriteFile(out.get(), &info, sizeof(info), &written, nullptr) &&
                  ::WriteFile(out.get(), pixels.data(), static_cast<DWORD>(pixels.size()),
                              &written, nullptr);
  return ok ? path : std::wstring();
}

}  // namespace testing_support
