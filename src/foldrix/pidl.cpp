#include "foldrix/pidl.h"

#include <cstring>

namespace foldrix {
namespace {

constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                            PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;

// Asks the memory manager instead of touching the bytes, so that a wrong address
// given by a client gives "invalid" instead of a crash.
class ReadableRange {
 public:
  bool Covers(const void* p, size_t bytes) {
    const auto start = reinterpret_cast<uintptr_t>(p);
    const uintptr_t end = start + bytes;
    if (end < start) return false;
    if (start >= begin_ && end <= end_) return true;
    uintptr_t at = start;
    while (at < end) {
      MEMORY_BASIC_INFORMATION info{};
      if (!::VirtualQuery(reinterpret_cast<void*>(at), &info, sizeof(info))) return false;
      if (info.State != MEM_COMMIT || (info.Protect & (PAGE_GUARD | PAGE_NOACCESS)) ||
          !(info.Protect & kReadable))
        return false;
      const uintptr_t regionEnd = reinterpret_cast<uintptr_t>(info.BaseAddress) + info.RegionSize;
      if (at == start) begin_ = start;
      end_ = regionEnd;
      at = regionEnd;
    }
    return true;
  }

 private:
  uintptr_t begin_ = 1;
  uintptr_t end_ = 0;
};

}  // namespace

LiveCounts& Counts() {
  static LiveCounts counts{};
  return counts;
}

void CountNewList() { ::InterlockedIncrement(&Counts().lists); }

void FreeList(const void* list) {
  if (!list) return;
  ::InterlockedDecrement(&Counts().lists);
  ::CoTaskMemFree(const_cast<void*>(list));
}

size_t IdListSize(PCIDLIST_ABSOLUTE list) {
  if (!list) return 0;
  ReadableRange range;
  auto bytes = reinterpret_cast<const BYTE*>(list);
  size_t size = 0;
  for (;;) {
    if (!range.Covers(bytes + size, sizeof(USHORT))) return 0;
    USHORT cb;
    std::memcpy(&cb, bytes + size, sizeof(cb));
    if (cb == 0) return size + sizeof(USHORT);
    if (cb < sizeof(USHORT) || !range.Covers(bytes + size, cb)) return 0;
    size += cb;
  }
}

int IdCount(PCIDLIST_ABSOLUTE list) {
  if (!IsValidList(list)) return 0;
  int count = 0;
  for (PCUIDLIST_RELATIVE at = list; !ILIsEmpty(at); at = ILNext(at)) ++count;
  return count;
}

ChildPidl CopyEntry(PCIDLIST_ABSOLUTE list, int n) {
  const int count = IdCount(list);
  if (count == 0) return {};
  if (n < 1 || n > count) n = count;
  PCUIDLIST_RELATIVE entry = list;
  for (int i = 1; i < n; ++i) entry = ILNext(entry);
  const USHORT cb = entry->mkid.cb;
  auto block = static_cast<BYTE*>(::CoTaskMemAlloc(cb + sizeof(USHORT)));
  if (!block) return {};
  std::memcpy(block, entry, cb);
  std::memset(block + cb, 0, sizeof(USHORT));
  return ChildPidl(reinterpret_cast<PITEMID_CHILD>(block));
}

Pidl ClonePidl(PCIDLIST_ABSOLUTE list) {
  if (!IsValidList(list)) return {};
  return Pidl(ILCloneFull(list));
}

Pidl CombinePidls(PCIDLIST_ABSOLUTE first, PCUIDLIST_RELATIVE second) {
  return Pidl(ILCombine(first, second));
}

bool ParentAndLast(PCIDLIST_ABSOLUTE list, Pidl& parent, ChildPidl& last) {
  parent.reset();
  last.reset();
  const int count = IdCount(list);
  if (count == 0) return false;
  Pidl built = NewDesktopList();
  for (int i = 1; i < count && built; ++i) {
    ChildPidl entry = CopyEntry(list, i);
    if (!entry) return false;
    built = CombinePidls(built.get(), entry.get());
  }
  last = CopyEntry(list, -1);
  if (!built || !last) {
    last.reset();
    return false;
  }
  parent = std::move(built);
  return true;
}

Pidl NewDesktopList() {
  auto block = static_cast<BYTE*>(::CoTaskMemAlloc(sizeof(USHORT)));
  if (!block) return {};
  std::memset(block, 0, sizeof(USHORT));
  return Pidl(reinterpret_cast<PIDLIST_ABSOLUTE>(block));
}

bool IsDesktop(PCIDLIST_ABSOLUTE list) {
  if (!list) return false;
  Pidl desktop = NewDesktopList();
  return ComparePidls(list, desktop.get()) == 0;
}

int ComparePidls(PCIDLIST_ABSOLUTE a, PCIDLIST_ABSOLUTE b) {
  if (!IsValidList(a) || !IsValidList(b)) return -2;
  if (ILIsEqual(a, b)) return 0;
  if (ILIsParent(a, b, FALSE)) return 1;
  return -1;
}

DesktopInfo DesktopFolder() {
  DesktopInfo info;
  ::SHGetDesktopFolder(&info.folder);
  info.list = NewDesktopList();
  return info;
}

ComPtr<IShellFolder> BindFolder(PCIDLIST_ABSOLUTE list, ComPtr<IShellFolder>* parent) {
  if (parent) parent->Reset();
  const int count = IdCount(list);
  const bool desktop = IsDesktop(list);
  if (count == 0 && !desktop) return nullptr;
  ComPtr<IShellFolder> reached;
  if (FAILED(::SHGetDesktopFolder(&reached))) return nullptr;
  for (int i = 1; i <= count; ++i) {
    if (i == count && parent) *parent = reached;
    ChildPidl entry = CopyEntry(list, i);
    if (!entry) break;
    ComPtr<IShellFolder> next;
    if (FAILED(reached->BindToObject(entry.get(), nullptr, IID_PPV_ARGS(&next))) || !next) break;
    reached = next;
  }
  return reached;
}

}  // namespace foldrix
