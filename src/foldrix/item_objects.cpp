#include "foldrix/item_objects.h"

#include <shlwapi.h>

namespace foldrix {
namespace {

class ItemObject final : public HeapObject<ItemObject, DispatchImpl<::Item>> {
 public:
  explicit ItemObject(ItemPtr item) : item_(std::move(item)) {}

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    static const QITAB table[] = {QITABENT(ItemObject, ::Item), QITABENT(ItemObject, IDispatch), {}};
    return ::QISearch(this, table, iid, out);
  }

  STDMETHODIMP get_Attributes(fdxAttributesConstants flags, LONG* result) override {
    if (!result) return E_POINTER;
    *result = item_->Attributes(static_cast<long>(flags));
    return S_OK;
  }
  STDMETHODIMP get_Checked(VARIANT_BOOL* result) override {
    if (!result) return E_POINTER;
    *result = ToVariantBool(item_->Checked());
    return S_OK;
  }
  STDMETHODIMP put_Checked(VARIANT_BOOL value) override {
    item_->SetChecked(value != VARIANT_FALSE);
    return S_OK;
  }
  STDMETHODIMP get_DisplayName(BSTR* result) override {
    return Guarded([&] { return ToBstr(item_->DisplayName(), result); });
  }
  STDMETHODIMP EnsureVisible(VARIANT_BOOL partialOk, VARIANT_BOOL* result) override {
    if (!result) return E_POINTER;
    *result = ToVariantBool(item_->EnsureVisible(partialOk != VARIANT_FALSE));
    return S_OK;
  }
  STDMETHODIMP EnumContents(fdxEnumContentsConstants flags, VARIANT_BOOL* result) override {
    if (!result) return E_POINTER;
    return Guarded([&] {
      *result = ToVariantBool(item_->EnumContents(static_cast<long>(flags)));
      return S_OK;
    });
  }
  STDMETHODIMP get_FullPath(BSTR* result) override {
    return Guarded([&] { return ToBstr(item_->FullPath(), result); });
  }
  STDMETHODIMP get_Index(LONG* result) override {
    if (!result) return E_POINTER;
    *result = item_->Index();
    return S_OK;
  }
  STDMETHODIMP get_LargeIcon(fdxIconStyleConstants style, IPictureDisp** result) override {
    if (!result) return E_POINTER;
    *result = item_->Icon(style, false).Detach();
    return S_OK;
  }
  STDMETHODIMP get_SmallIcon(fdxIconStyleConstants style, IPictureDisp** result) override {
    if (!result) return E_POINTER;
    *result = item_->Icon(style, true).Detach();
    return S_OK;
  }
  STDMETHODIMP get_pidlFQ(LONG_PTR* result) override {
    if (!result) return E_POINTER;
    *result = ToAddress(item_->pidlFQ());
    return S_OK;
  }
  STDMETHODIMP get_pidlRel(LONG_PTR* result) override {
    if (!result) return E_POINTER;
    *result = reinterpret_cast<LONG_PTR>(item_->pidlRel());
    return S_OK;
  }
  STDMETHODIMP get_isfMe(IUnknown** result) override {
    if (!result) return E_POINTER;
    *result = item_->isfMe().Detach();
    return S_OK;
  }
  STDMETHODIMP get_isfParent(IUnknown** result) override {
    if (!result) return E_POINTER;
    *result = item_->isfParent().Detach();
    return S_OK;
  }
  STDMETHODIMP get_Selected(VARIANT_BOOL* result) override {
    if (!result) return E_POINTER;
    *result = ToVariantBool(item_->Selected());
    return S_OK;
  }
  STDMETHODIMP put_Selected(VARIANT_BOOL value) override {
    item_->SetSelected(value != VARIANT_FALSE);
    return S_OK;
  }

 private:
  friend class HeapObject<ItemObject, DispatchImpl<::Item>>;  // deletes it at the last Release
  ~ItemObject() = default;
  ObjectCount count_;
  ItemPtr item_;
};

class ItemListObject final : public HeapObject<ItemListObject, DispatchImpl<::ItemList>> {
 public:
  ItemListObject(HWND list, bool selectedOnly) : items_(list, selectedOnly) {}
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    static const QITAB table[] = {QITABENT(ItemListObject, ::ItemList),
                                  QITABENT(ItemListObject, IDispatch), {}};
    return ::QISearch(this, table, iid, out);
  }
  STDMETHODIMP get_Item(LONG index, ::Item** result) override {
    return Guarded([&] { return NewItemObject(items_.Item(index), result); });
  }
  STDMETHODIMP get_Count(LONG* result) override {
    if (!result) return E_POINTER;
    *result = items_.Count();
    return S_OK;
  }

 private:
  friend class HeapObject<ItemListObject, DispatchImpl<::ItemList>>;  // deletes it at the last Release
  ~ItemListObject() = default;
  ObjectCount count_;
  ItemListCore items_;
};

}  // namespace

HRESULT NewItemObject(const ItemPtr& item, ::Item** result) {
  if (!result) return E_POINTER;
  *result = item ? new ItemObject(item) : nullptr;
  return S_OK;
}

HRESULT NewItemListObject(HWND list, bool selectedOnly, ::ItemList** result) {
  if (!result) return E_POINTER;
  *result = new ItemListObject(list, selectedOnly);
  return S_OK;
}

}  // namespace foldrix
