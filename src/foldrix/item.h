// One listed shell item (tied to a row or only to an identifier list), and live views
// over the list window's rows.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <memory>
#include <string>

#include "foldrix/events.h"
#include "foldrix/pidl.h"

namespace foldrix {

class ItemCore {
 public:
  // An Item for a row: window, index, then a copy of the row's list.
  static ItemPtr ForRow(HWND list, int row);
  // An Item that knows only an absolute list (Index -1); the list window, when given,
  // names the control that raises its events.
  static ItemPtr ForList(PCIDLIST_ABSOLUTE list, HWND owner = nullptr);

  void SetWindow(HWND list) { list_ = list; }
  void SetIndex(int index);
  void SetList(PCIDLIST_ABSOLUTE list) { fq_ = ClonePidl(list); rel_.reset(); }

  long Attributes(long flags) const;
  bool Checked() const;
  void SetChecked(bool checked);
  std::wstring DisplayName() const;
  bool EnsureVisible(bool partialOk) const;
  bool EnumContents(long flags) const;
  std::wstring FullPath() const;
  long Index() const { return valid_ ? index_ : -1; }
  bool valid() const { return valid_; }
  ComPtr<IPictureDisp> Icon(int style, bool small) const;
  PCIDLIST_ABSOLUTE pidlFQ() const { return fq_.get(); }
  PCUITEMID_CHILD pidlRel();
  ComPtr<IShellFolder> isfMe() const;
  ComPtr<IShellFolder> isfParent() const;
  bool Selected() const;
  void SetSelected(bool selected);

 private:
  HWND list_ = nullptr;
  int index_ = -1;
  bool valid_ = false;
  Pidl fq_;
  ChildPidl rel_;
};

class ItemListCore {
 public:
  ItemListCore(HWND list, bool selectedOnly) : list_(list), selectedOnly_(selectedOnly) {}
  long Count() const;
  // Selected-only: -1 is the focused row, n the n-th selected row from 0. All items:
  // -1 is the focused row too, n the row n.
  ItemPtr Item(long index) const;

 private:
  HWND list_;
  bool selectedOnly_;
};

// The row under a point of the list window (negative coordinates: the cursor's).
ItemPtr HitTest(HWND list, long x, long y, long* element);

}  // namespace foldrix
