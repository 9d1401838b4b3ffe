// Identifier-list services: walking, copying, splitting and comparing shell item
// identifier lists, and binding folder objects to them.
#pragma once

#include <windows.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <cstddef>
#include <utility>

#include "common/handles.h"

namespace foldrix {

using Microsoft::WRL::ComPtr;
// Live identifier lists, records and objects of the control, and server locks: tests
// prove with them that nothing leaks. A list counts from the moment one of the owners
// below takes it (made here or handed over by the shell) until FreeList frees it, also
// when it has left the control meanwhile (through a method's result, or to an event
// handler that keeps it), since the caller then frees it with the control's FreePIDL.
struct LiveCounts {
  long itemRecords;
  long comObjects;
  long locks;
  long lists;
};
LiveCounts& Counts();

// Frees a list counted by the owners below (null is fine).
void FreeList(const void* list);
void CountNewList();

// Owns one identifier list of the given kind and frees it with FreeList.
template <typename List>
class CountedPidl {
 public:
  CountedPidl() = default;
  explicit CountedPidl(List list) : list_(list) {
    if (list_) CountNewList();
  }
  ~CountedPidl() { Free(); }
  CountedPidl(const CountedPidl&) = delete;
  CountedPidl& operator=(const CountedPidl&) = delete;
  CountedPidl(CountedPidl&& other) noexcept : list_(std::exchange(other.list_, nullptr)) {}
  CountedPidl& operator=(CountedPidl&& other) noexcept {
    if (this != &other) {
      Free();
      list_ = std::exchange(other.list_, nullptr);
    }
    return *this;
  }

  List get() const { return list_; }
  explicit operator bool() const { return list_ != nullptr; }
  // Hands the list over; it stays counted until someone frees it with FreeList.
  List release() { return std::exchange(list_, nullptr); }
  void reset(List list = nullptr) {
    Free();
    list_ = list;
    if (list_) CountNewList();
  }

  // For out-parameters: what the call writes is taken over when the statement ends.
  class Slot {
   public:
    explicit Slot(CountedPidl& owner) : owner_(owner) {}
    ~Slot() { owner_.reset(written_); }
    Slot(const Slot&) = delete;
    Slot& operator=(const Slot&) = delete;
    operator List*() { return &written_; }

   private:
    CountedPidl& owner_;
    List written_ = nullptr;
  };
  Slot put() {
    Free();
    return Slot(*this);
  }

 private:
  void Free() {
    if (list_) FreeList(std::exchange(list_, nullptr));
  }
  List list_ = nullptr;
};

using Pidl = CountedPidl<PIDLIST_ABSOLUTE>;
using ChildPidl = CountedPidl<PITEMID_CHILD>;

// Entries before the terminator; 0 for a null list.
int IdCount(PCIDLIST_ABSOLUTE list);
// Bytes including the terminator; 0 for a null list or a list that cannot be read.
size_t IdListSize(PCIDLIST_ABSOLUTE list);
inline bool IsValidList(PCIDLIST_ABSOLUTE list) { return IdListSize(list) != 0; }

// A new list holding entry n (from 1); -1 or any n beyond the count means the last.
ChildPidl CopyEntry(PCIDLIST_ABSOLUTE list, int n);
// A new copy of the list, or nothing when it cannot be read.
Pidl ClonePidl(PCIDLIST_ABSOLUTE list);
Pidl CombinePidls(PCIDLIST_ABSOLUTE first, PCUIDLIST_RELATIVE second);
// Parent and last entry; both empty for a null list or the desktop.
bool ParentAndLast(PCIDLIST_ABSOLUTE list, Pidl& parent, ChildPidl& last);

Pidl NewDesktopList();
bool IsDesktop(PCIDLIST_ABSOLUTE list);
// -2: either is null or unreadable; 0: equal; 1: a contains b; -1: anything else.
int ComparePidls(PCIDLIST_ABSOLUTE a, PCIDLIST_ABSOLUTE b);

struct DesktopInfo {
  ComPtr<IShellFolder> folder;
  Pidl list;
};
DesktopInfo DesktopFolder();

// The folder object of an absolute list. A walk that cannot bind an entry stops and
// yields the deepest folder reached; parent receives the folder holding the last entry.
ComPtr<IShellFolder> BindFolder(PCIDLIST_ABSOLUTE list, ComPtr<IShellFolder>* parent = nullptr);

// Lists cross the automation interface as addresses.
inline LONG_PTR ToAddress(PCIDLIST_ABSOLUTE list) { return reinterpret_cast<LONG_PTR>(list); }
inline PCIDLIST_ABSOLUTE FromAddress(LONG_PTR address) {
  return reinterpret_cast<PCIDLIST_ABSOLUTE>(address);
}

}  // namespace foldrix
