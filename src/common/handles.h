// One non-copyable owner per kind of Windows handle.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <utility>

namespace common {

// Owns a value of Traits::Type and releases it with Traits::Close.
template <typename Traits>
class UniqueResource {
 public:
  using Type = typename Traits::Type;

  UniqueResource() = default;
  explicit UniqueResource(Type value) : value_(value) {}
  ~UniqueResource() { reset(); }

  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;
  UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  Type get() const { return value_; }
  explicit operator bool() const { return Traits::IsValid(value_); }

  Type release() { return std::exchange(value_, Traits::Invalid()); }
  void reset(Type value = Traits::Invalid()) {
    Type old = std::exchange(value_, value);
    if (Traits::IsValid(old)) Traits::Close(old);
  }
  // For out-parameters: releases what is held and hands out the slot.
  Type* put() {
    reset();
    return &value_;
  }

 private:
  Type value_ = Traits::Invalid();
};

struct KernelHandleTraits {  // CreateFile, CreateEvent, ... (invalid: INVALID_HANDLE_VALUE or null)
  using Type = HANDLE;
  static Type Invalid() { return nullptr; }
  static bool IsValid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Type h) { ::CloseHandle(h); }
};

struct FindHandleTraits {
  using Type = HANDLE;
  static Type Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Type h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void Close(Type h) { ::FindClose(h); }
};

struct RegKeyTraits {
  using Type = HKEY;
  static Type Invalid() { return nullptr; }
  static bool IsValid(Type h) { return h != nullptr; }
  static void Close(Type h) { ::RegCloseKey(h); }
};

struct GdiObjectTraits {
  using Type = HGDIOBJ;
  static Type Invalid() { return nullptr; }
  static bool IsValid(Type h) { return h != nullptr; }
  static void Close(Type h) { ::DeleteObject(h); }
};

struct WindowTraits {
  using Type = HWND;
  static Type Invalid() { return nullptr; }
  static bool IsValid(Type h) { return h != nullptr; }
  static void Close(Type h) {
    if (::IsWindow(h)) ::DestroyWindow(h);
  }
};

struct MenuTraits {
  using Type = HMENU;
  static Type Invalid() { return nullptr; }
  static bool IsValid(Type h) { return h != nullptr; }
  static void Close(Type h) { ::DestroyMenu(h); }
};

struct TaskMemTraits {  // memory from the shell's task allocator, identifier lists included
  using Type = void*;
  static Type Invalid() { return nullptr; }
  static bool IsValid(Type p) { return p != nullptr; }
  static void Close(Type p) { ::CoTaskMemFree(p); }
};

using UniqueHandle = UniqueResource<KernelHandleTraits>;
using UniqueFindHandle = UniqueResource<FindHandleTraits>;
using UniqueHKey = UniqueResource<RegKeyTraits>;
using UniqueGdiObject = UniqueResource<GdiObjectTraits>;
using UniqueWindow = UniqueResource<WindowTraits>;
using UniqueMenu = UniqueResource<MenuTraits>;
using UniqueTaskMem = UniqueResource<TaskMemTraits>;

// An identifier list of the given kind, freed with the task allocator.
template <typename Pidl>
class UniquePidl {
 public:
  UniquePidl() = default;
  explicit UniquePidl(Pidl pidl) : pidl_(pidl) {}
  ~UniquePidl() { reset(); }
  UniquePidl(const UniquePidl&) = delete;
  UniquePidl& operator=(const UniquePidl&) = delete;
  UniquePidl(UniquePidl&& other) noexcept : pidl_(other.release()) {}
  UniquePidl& operator=(UniquePidl&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  Pidl get() const { return pidl_; }
  explicit operator bool() const { return pidl_ != nullptr; }
  Pidl release() { return std::exchange(pidl_, nullptr); }
  void reset(Pidl pidl = nullptr) {
    Pidl old = std::exchange(pidl_, pidl);
    if (old) ::CoTaskMemFree(const_cast<void*>(static_cast<const void*>(old)));
  }
  Pidl* put() {
    reset();
    return &pidl_;
  }

 private:
  Pidl pidl_ = nullptr;
};

using UniqueAbsolutePidl = UniquePidl<PIDLIST_ABSOLUTE>;
using UniqueRelativePidl = UniquePidl<PIDLIST_RELATIVE>;
using UniqueChildPidl = UniquePidl<PITEMID_CHILD>;

// Selects a GDI object into a device context for the lifetime of the scope.
class ScopedSelectObject {
 public:
  ScopedSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
  ~ScopedSelectObject() {
    if (old_) ::SelectObject(dc_, old_);
  }
  ScopedSelectObject(const ScopedSelectObject&) = delete;
  ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// A memory device context.
class UniqueMemoryDC {
 public:
  explicit UniqueMemoryDC(HDC compatible) : dc_(::CreateCompatibleDC(compatible)) {}
  ~UniqueMemoryDC() {
    if (dc_) ::DeleteDC(dc_);
  }
  UniqueMemoryDC(const UniqueMemoryDC&) = delete;
  UniqueMemoryDC& operator=(const UniqueMemoryDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// BeginPaint/EndPaint.
class PaintScope {
 public:
  explicit PaintScope(HWND window) : window_(window) { dc_ = ::BeginPaint(window, &ps_); }
  ~PaintScope() { ::EndPaint(window_, &ps_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  HDC dc() const { return dc_; }
  const RECT& area() const { return ps_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT ps_{};
  HDC dc_ = nullptr;
};

// A COM apartment for the calling thread.
class ComApartment {
 public:
  explicit ComApartment(DWORD model = COINIT_APARTMENTTHREADED)
      : hr_(::CoInitializeEx(nullptr, model)) {}
  ~ComApartment() {
    if (SUCCEEDED(hr_)) ::CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  HRESULT result() const { return hr_; }

 private:
  HRESULT hr_;
};

// Shows the hourglass pointer for the lifetime of the scope, and always restores it.
class WaitCursor {
 public:
  WaitCursor() : old_(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
  ~WaitCursor() { ::SetCursor(old_); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  HCURSOR old_;
};

}  // namespace common
