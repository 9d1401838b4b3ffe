// The control's methods: identifier-list conversions, icons, navigation, sorting.
#include "foldrix/control.h"
#include "foldrix/item_objects.h"
#include "foldrix/namespace.h"

namespace foldrix {
namespace {

HRESULT HandOut(Pidl list, LONG_PTR* result) {
  if (!result) return E_POINTER;
  *result = ToAddress(list.release());
  return S_OK;
}

long LongOf(const VARIANT* value, long fallback) {
  if (!value || value->vt == VT_ERROR || value->vt == VT_EMPTY) return fallback;
  VARIANT converted;
  ::VariantInit(&converted);
  long result = fallback;
  if (SUCCEEDED(::VariantChangeType(&converted, const_cast<VARIANT*>(value), 0, VT_I4)))
    result = converted.lVal;
  return result;
}

}  // namespace

STDMETHODIMP FoldrixControl::AboutBox() { return S_OK; }

STDMETHODIMP FoldrixControl::CombinePIDLs(LONG_PTR first, LONG_PTR second, LONG_PTR* r) {
  if (!IsValidList(FromAddress(first)) || !IsValidList(FromAddress(second))) return HandOut({}, r);
  return HandOut(CombinePidls(FromAddress(first), reinterpret_cast<PCUIDLIST_RELATIVE>(second)), r);
}

STDMETHODIMP FoldrixControl::CopyPIDL(LONG_PTR list, LONG_PTR* r) {
  return HandOut(ClonePidl(FromAddress(list)), r);
}

STDMETHODIMP FoldrixControl::DeleteAllItems() {
  view_->DeleteAllItems();
  return S_OK;
}

STDMETHODIMP FoldrixControl::DisplayNameFromPIDL(LONG_PTR list, BSTR* r) {
  return Guarded([&] { return ToBstr(DisplayNameOf(FromAddress(list)), r); });
}

STDMETHODIMP FoldrixControl::FreePIDL(LONG_PTR list) {
  FreeList(reinterpret_cast<void*>(list));
  return S_OK;
}

STDMETHODIMP FoldrixControl::GetParentPIDL(LONG_PTR list, LONG_PTR* r) {
  Pidl parent;
  ChildPidl last;
  ParentAndLast(FromAddress(list), parent, last);
  return HandOut(std::move(parent), r);
}

STDMETHODIMP FoldrixControl::GetRelativePIDL(LONG_PTR list, LONG_PTR* r) {
  Pidl parent;
  ChildPidl last;
  ParentAndLast(FromAddress(list), parent, last);
  if (!r) return E_POINTER;
  *r = reinterpret_cast<LONG_PTR>(last.release());
  return S_OK;
}

STDMETHODIMP FoldrixControl::ISFFromPIDL(LONG_PTR list, IUnknown** r) {
  if (!r) return E_POINTER;
  *r = IsValidList(FromAddress(list)) ? BindFolder(FromAddress(list)).Detach() : nullptr;
  return S_OK;
}

STDMETHODIMP FoldrixControl::HitTest(VARIANT* x, VARIANT* y, VARIANT* element, ::Item** r) {
  return Guarded([&] {
    long where = 0;
    ItemPtr item = foldrix::HitTest(view_->list(), LongOf(x, -1), LongOf(y, -1), &where);
    if (item && element && (element->vt & VT_BYREF)) {
      VARIANT value;
      value.vt = VT_I4;
      value.lVal = where;
      VARIANT* target = element->vt == (VT_BYREF | VT_VARIANT) ? element->pvarVal : nullptr;
      if (target) {
        ::VariantClear(target);
        *target = value;
      } else if (element->vt == (VT_BYREF | VT_I4)) {
        *element->plVal = where;
      }
    }
    return NewItemObject(item, r);
  });
}

STDMETHODIMP FoldrixControl::LargeIconFromPIDL(LONG_PTR list, fdxIconStyleConstants style,
                                               IPictureDisp** r) {
  if (!r) return E_POINTER;
  *r = IconPicture(FromAddress(list), style, false).Detach();
  return S_OK;
}

STDMETHODIMP FoldrixControl::SmallIconFromPIDL(LONG_PTR list, fdxIconStyleConstants style,
                                               IPictureDisp** r) {
  if (!r) return E_POINTER;
  *r = IconPicture(FromAddress(list), style, true).Detach();
  return S_OK;
}

STDMETHODIMP FoldrixControl::GoUp(LONG levels, VARIANT_BOOL* r) {
  return Guarded([&] {
    const bool moved = view_->GoUp(levels);
    if (r) *r = ToVariantBool(moved);
    return S_OK;
  });
}

STDMETHODIMP FoldrixControl::PathFromPIDL(LONG_PTR list, BSTR* r) {
  return Guarded([&] { return ToBstr(PathOf(FromAddress(list)), r); });
}

STDMETHODIMP FoldrixControl::PIDLFromPath(BSTR path, LONG_PTR* r) {
  if (!path || ::SysStringLen(path) == 0) return HandOut({}, r);
  return HandOut(Pidl(ILCreateFromPathW(path)), r);
}

STDMETHODIMP FoldrixControl::Refresh() {
  return Guarded([&] {
    view_->Refresh();
    return S_OK;
  });
}

STDMETHODIMP FoldrixControl::Reset(VARIANT_BOOL root, VARIANT_BOOL* r) {
  return Guarded([&] {
    const bool done = view_->Reset(root != VARIANT_FALSE);
    if (r) *r = ToVariantBool(done);
    return S_OK;
  });
}

STDMETHODIMP FoldrixControl::ReSort(VARIANT_BOOL resetInfo) {
  view_->ReSort(resetInfo != VARIANT_FALSE);
  return S_OK;
}

STDMETHODIMP FoldrixControl::SpecialFolderPIDL(fdxSpecialFolderConstants folder, BSTR* r) {
  return Guarded([&] {
    Pidl list = SpecialFolderList(static_cast<int>(folder), OwnerWindow(host_));
    return ToBstr(std::to_wstring(ToAddress(list.release())), r);
  });
}

STDMETHODIMP FoldrixControl::FindItemByPIDL(LONG_PTR list, LONG* r) {
  if (!r) return E_POINTER;
  *r = view_->FindItemByPIDL(FromAddress(list));
  return S_OK;
}

}  // namespace foldrix
