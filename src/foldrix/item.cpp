#include "foldrix/item.h"

#include <commctrl.h>

#include "foldrix/folder_view.h"
#include "foldrix/namespace.h"

namespace foldrix {

ItemPtr ItemCore::ForRow(HWND list, int row) {
  FolderView* view = FolderViewOf(list);
  ItemRecord* record = view ? view->RecordOf(row) : nullptr;
  if (!record) return nullptr;
  auto item = std::make_shared<ItemCore>();
  item->SetWindow(list);
  item->SetIndex(row);
  item->SetList(record->pidlFQ);
  return item;
}

ItemPtr ItemCore::ForList(PCIDLIST_ABSOLUTE list, HWND owner) {
  auto item = std::make_shared<ItemCore>();
  item->SetWindow(owner);
  item->SetList(list);
  return item;
}

void ItemCore::SetIndex(int index) {
  index_ = index;
  valid_ = list_ && index >= 0 && index < ListView_GetItemCount(list_);
}

long ItemCore::Attributes(long flags) const {
  if (!fq_) return 0;
  return static_cast<long>(AttributesOf(fq_.get(), static_cast<ULONG>(flags)));
}

bool ItemCore::Checked() const {
  if (!valid_) return false;
  return (ListView_GetItemState(list_, index_, LVIS_STATEIMAGEMASK) >> 12) == 2;
}

void ItemCore::SetChecked(bool checked) {
  if (!valid_ || checked == Checked()) return;
  if (FolderView* view = FolderViewOf(list_)) view->ToggleCheck(index_);
}

std::wstring ItemCore::DisplayName() const { return fq_ ? DisplayNameOf(fq_.get()) : L""; }

bool ItemCore::EnsureVisible(bool partialOk) const {
  return valid_ && ListView_EnsureVisible(list_, index_, partialOk ? TRUE : FALSE);
}

bool ItemCore::EnumContents(long flags) const {
  if (!fq_ || flags == 0) return false;
  ComPtr<IShellFolder> folder = isfMe();
  if (!folder) return false;
  ComPtr<IEnumIDList> items;
  const HRESULT hr = folder->EnumObjects(OwnerWindow(list_), static_cast<SHCONTF>(flags), &items);
  if (FAILED(hr) || hr == S_FALSE || !items) return false;
  FolderView* view = FolderViewOf(list_);
  for (;;) {
    PITEMID_CHILD entry = nullptr;
    if (items->Next(1, &entry, nullptr) != S_OK || !entry) return true;
    ChildPidl relative(entry);
    Pidl absolute = CombinePidls(fq_.get(), relative.get());
    if (!absolute) return false;
    bool dontFree = false, continueEnum = false;
    if (view)
      view->events().EnumContentsProc(ToAddress(absolute.get()),
                                      reinterpret_cast<LONG_PTR>(relative.get()), dontFree,
                                      continueEnum);
    if (dontFree) {  // the handler owns both lists now
      absolute.release();
      relative.release();
    }
    if (!continueEnum) return true;
  }
}

std::wstring ItemCore::FullPath() const { return PathOf(fq_.get()); }

ComPtr<IPictureDisp> ItemCore::Icon(int style, bool small) const {
  if (!valid_) return nullptr;
  FolderView* view = FolderViewOf(list_);
  ItemRecord* record = view ? view->RecordOf(index_) : nullptr;
  if (!record) return nullptr;
  return IconPicture(record->pidlFQ, style, small);
}

PCUITEMID_CHILD ItemCore::pidlRel() {
  if (!rel_ && fq_ && IdCount(fq_.get()) > 0) rel_ = CopyEntry(fq_.get(), -1);
  return rel_.get();
}

ComPtr<IShellFolder> ItemCore::isfMe() const { return fq_ ? BindFolder(fq_.get()) : nullptr; }

ComPtr<IShellFolder> ItemCore::isfParent() const {
  if (!fq_) return nullptr;
  ComPtr<IShellFolder> parent;
  BindFolder(fq_.get(), &parent);
  return parent;
}

bool ItemCore::Selected() const {
  return valid_ && (ListView_GetItemState(list_, index_, LVIS_SELECTED) & LVIS_SELECTED);
}

void ItemCore::SetSelected(bool selected) {
  if (valid_) ListView_SetItemState(list_, index_, selected ? LVIS_SELECTED : 0, LVIS_SELECTED);
}

long ItemListCore::Count() const {
  if (!list_) return 0;
  return selectedOnly_ ? ListView_GetSelectedCount(list_) : ListView_GetItemCount(list_);
}

ItemPtr ItemListCore::Item(long index) const {
  if (!list_) return nullptr;
  int row = -1;
  if (index == -1) {
    row = ListView_GetNextItem(list_, -1, LVNI_FOCUSED);
  } else if (selectedOnly_) {
    for (long step = 0; step <= index; ++step) {
      row = ListView_GetNextItem(list_, row, LVNI_SELECTED);
      if (row < 0) break;
    }
  } else {
    row = index;
  }
  if (row < 0) return nullptr;
  return ItemCore::ForRow(list_, row);
}

ItemPtr HitTest(HWND list, long x, long y, long* element) {
  POINT point{};
  ::GetCursorPos(&point);
  ::ScreenToClient(list, &point);
  if (x >= 0) point.x = x;
  if (y >= 0) point.y = y;
  LVHITTESTINFO hit{};
  hit.pt = point;
  const int row = ListView_HitTest(list, &hit);
  if (row < 0) return nullptr;
  ItemPtr item = ItemCore::ForRow(list, row);
  if (item && element)
    *element = (hit.flags & LVHT_ONITEMSTATEICON) ? 8
               : (hit.flags & LVHT_ONITEMLABEL)   ? 4
               : (hit.flags & LVHT_ONITEMICON)    ? 2
                                                  : 0;
  return item;
}

}  // namespace foldrix
