// Identifier-list services: walking, copying, splitting and comparing shell item
// identifier lists, and binding folder objects to them.
#pragma once

#include <windows.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <cstddef>

#include "common/handles.h"

namespace foldrix {

using Microsoft::WRL::ComPtr;
using Pidl = common::UniqueAbsolutePidl;
using ChildPidl = common::UniqueChildPidl;

// Live identifier lists created by the control's own owners (Pidl objects are not
// counted; lists that leave the control through its interface are the caller's).
// Counted records and objects let tests prove nothing leaks.
struct LiveCounts {
  long itemRecords;
  long comObjects;
  long locks;
};
LiveCounts& Counts();

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
