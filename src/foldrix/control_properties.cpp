// The control's properties: stored values, window styles read back, error 380.
#include "foldrix/control.h"
#include "foldrix/dispids.h"
#include "foldrix/item_objects.h"
#include "foldrix/namespace.h"

namespace foldrix {
namespace {

#define FDX_GET(expression)       \
  if (!r) return E_POINTER;       \
  *r = (expression);              \
  return S_OK

VARIANT_BOOL B(bool value) { return ToVariantBool(value); }

}  // namespace

// Stored Booleans ignore a value equal to the stored one.
HRESULT FoldrixControl::SetBool(bool& stored, VARIANT_BOOL value, DISPID id) {
  const bool flag = value != VARIANT_FALSE;
  if (flag == stored) return S_OK;
  stored = flag;
  PropertyChanged(id);
  return S_OK;
}

// The Show flags refresh the list when ShowProps says they count.
HRESULT FoldrixControl::SetShowFlag(bool& stored, VARIANT_BOOL value, DISPID id) {
  const bool flag = value != VARIANT_FALSE;
  if (flag == stored) return S_OK;
  stored = flag;
  if (view_->stored().showProps) view_->Refresh();
  PropertyChanged(id);
  return S_OK;
}

// Style-backed Booleans always rewrite the style and report.
HRESULT FoldrixControl::SetStyleBool(DWORD mask, bool set, DISPID id) {
  view_->SetListExStyleBits(mask, set ? mask : 0);
  PropertyChanged(id);
  return S_OK;
}

STDMETHODIMP FoldrixControl::get_AllowColumnReorder(VARIANT_BOOL* r) {
  FDX_GET(B(view_->ListExStyle() & LVS_EX_HEADERDRAGDROP));
}
STDMETHODIMP FoldrixControl::put_AllowColumnReorder(VARIANT_BOOL v) {
  return SetStyleBool(LVS_EX_HEADERDRAGDROP, v != VARIANT_FALSE, kDispAllowColumnReorder);
}

STDMETHODIMP FoldrixControl::get_Appearance(fdxAppearanceConstants* r) {
  const DWORD style = view_->ExStyle();
  FDX_GET(!(style & WS_EX_CLIENTEDGE) ? fdxFlat
          : (style & WS_EX_DLGMODALFRAME) ? fdx3DModal
                                          : fdx3D);
}
STDMETHODIMP FoldrixControl::put_Appearance(fdxAppearanceConstants v) {
  static const DWORD bits[] = {0, WS_EX_CLIENTEDGE, WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME};
  if (v < fdxFlat || v > fdx3DModal) return InvalidPropertyValue();
  view_->SetExStyleBits(WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME, bits[v]);
  PropertyChanged(DISPID_APPEARANCE);
  return S_OK;
}

STDMETHODIMP FoldrixControl::get_AutoUpdate(VARIANT_BOOL* r) { FDX_GET(B(view_->stored().autoUpdate)); }
STDMETHODIMP FoldrixControl::put_AutoUpdate(VARIANT_BOOL v) {
  return SetBool(view_->stored().autoUpdate, v, kDispAutoUpdate);
}

STDMETHODIMP FoldrixControl::get_BackColor(OLE_COLOR* r) { FDX_GET(view_->stored().backColor); }
STDMETHODIMP FoldrixControl::put_BackColor(OLE_COLOR v) {
  if (v == view_->stored().backColor) return S_OK;
  view_->SetBackColor(v);
  PropertyChanged(DISPID_BACKCOLOR);
  return S_OK;
}

STDMETHODIMP FoldrixControl::get_BorderStyle(fdxBorderStyleConstants* r) {
  FDX_GET((view_->Style() & WS_BORDER) ? fdxFixedSingle : fdxNone);
}
STDMETHODIMP FoldrixControl::put_BorderStyle(fdxBorderStyleConstants v) {
  if (v != fdxNone && v != fdxFixedSingle) return InvalidPropertyValue();
  view_->SetStyleBits(WS_BORDER, v == fdxFixedSingle ? WS_BORDER : 0);
  PropertyChanged(DISPID_BORDERSTYLE);
  return S_OK;
}

STDMETHODIMP FoldrixControl::get_CheckBoxes(fdxCheckBoxesConstants* r) {
  FDX_GET(static_cast<fdxCheckBoxesConstants>(view_->stored().checkBoxes));
}
STDMETHODIMP FoldrixControl::put_CheckBoxes(fdxCheckBoxesConstants v) {
  if (v < fdxNoCheckBoxes || v > fdxNoCheckBoxesPreserveState) return InvalidPropertyValue();
  view_->SetCheckBoxes(v);
  PropertyChanged(kDispCheckBoxes);
  return S_OK;
}

STDMETHODIMP FoldrixControl::get_ComctlVer(FLOAT* r) { FDX_GET(ComponentVersion(L"comctl32.dll")); }
STDMETHODIMP FoldrixControl::get_ShellVer(FLOAT* r) { FDX_GET(ComponentVersion(L"shell32.dll")); }

STDMETHODIMP FoldrixControl::get_ContextMenu(VARIANT_BOOL* r) { FDX_GET(B(view_->stored().contextMenu)); }
STDMETHODIMP FoldrixControl::put_ContextMenu(VARIANT_BOOL v) {
  return SetBool(view_->stored().contextMenu, v, kDispContextMenu);
}
STDMETHODIMP FoldrixControl::get_DragDrop(VARIANT_BOOL* r) { FDX_GET(B(view_->stored().dragDrop)); }
STDMETHODIMP FoldrixControl::put_DragDrop(VARIANT_BOOL v) {
  return SetBool(view_->stored().dragDrop, v, kDispDragDrop);
}
STDMETHODIMP FoldrixControl::get_DontChangeFolder(VARIANT_BOOL* r) {
  FDX_GET(B(view_->stored().dontChangeFolder));
}
STDMETHODIMP FoldrixControl::put_DontChangeFolder(VARIANT_BOOL v) {
  return SetBool(view_->stored().dontChangeFolder, v, kDispDontChangeFolder);
}

STDMETHODIMP FoldrixControl::get_Enabled(VARIANT_BOOL* r) { FDX_GET(B(!(view_->Style() & WS_DISABLED))); }
STDMETHODIMP FoldrixControl::put_Enabled(VARIANT_BOOL v) {
  view_->SetStyleBits(WS_DISABLED, v != VARIANT_FALSE ? 0 : WS_DISABLED);
  PropertyChanged(DISPID_ENABLED);
  return S_OK;
}

STDMETHODIMP FoldrixControl::get_Filter(BSTR* r) {
  return Guarded([&] { return ToBstr(view_->stored().filter, r); });
}
STDMETHODIMP FoldrixControl::put_Filter(BSTR v) {
  return Guarded([&] {
    std::wstring text(v ? v : L"", ::SysStringLen(v));
    if (text == view_->stored().filter) return S_OK;
    view_->stored().filter = text;
    view_->Refresh();
    PropertyChanged(kDispFilter);
    return S_OK;
  });
}

STDMETHODIMP FoldrixControl::get_FlatHeader(VARIANT_BOOL* r) { FDX_GET(B(view_->FlatHeader())); }
STDMETHODIMP FoldrixControl::put_FlatHeader(VARIANT_BOOL v) {
  view_->SetFlatHeader(v != VARIANT_FALSE);
  PropertyChanged(kDispFlatHeader);
  return S_OK;
}

STDMETHODIMP FoldrixControl::get_FlatScrollBar(VARIANT_BOOL* r) {
  FDX_GET(B(view_->ListExStyle() & LVS_EX_FLATSB));
}
STDMETHODIMP FoldrixControl::put_FlatScrollBar(VARIANT_BOOL v) {
  return SetStyleBool(LVS_EX_FLATSB, v != VARIANT_FALSE, kDispFlatScrollBar);
}

STDMETHODIMP FoldrixControl::get_Folder(VARIANT* r) {
  if (!r) return E_POINTER;
  ::VariantInit(r);
#ifdef _WIN64
  r->vt = VT_I8;
  r->llVal = ToAddress(view_->current());
#else
  r->vt = VT_I4;
  r->lVal = ToAddress(view_->current());
#endif
  return S_OK;
}
STDMETHODIMP FoldrixControl::put_Folder(VARIANT v) {
  return Guarded([&] {
    view_->SetFolder(v);
    return S_OK;
  });
}

STDMETHODIMP FoldrixControl::get_FullRowSelect(VARIANT_BOOL* r) {
  FDX_GET(B(view_->ListExStyle() & LVS_EX_FULLROWSELECT));
}
STDMETHODIMP FoldrixControl::put_FullRowSelect(VARIANT_BOOL v) {
  return SetStyleBool(LVS_EX_FULLROWSELECT, v != VARIANT_FALSE, kDispFullRowSelect);
}

STDMETHODIMP FoldrixControl::get_ForeColor(OLE_COLOR* r) { FDX_GET(view_->stored().foreColor); }
STDMETHODIMP FoldrixControl::put_ForeColor(OLE_COLOR v) {
  if (v == view_->stored().foreColor) return S_OK;
  view_->SetForeColor(v);
  PropertyChanged(DISPID_FORECOLOR);
  return S_OK;
}

STDMETHODIMP FoldrixControl::get_GridLines(VARIANT_BOOL* r) { FDX_GET(B(view_->ListExStyle() & LVS_EX_GRIDLINES)); }
STDMETHODIMP FoldrixControl::put_GridLines(VARIANT_BOOL v) {
  return SetStyleBool(LVS_EX_GRIDLINES, v != VARIANT_FALSE, kDispGridLines);
}

STDMETHODIMP FoldrixControl::get_HideSelection(VARIANT_BOOL* r) {
  FDX_GET(B(!(view_->Style() & LVS_SHOWSELALWAYS)));
}
STDMETHODIMP FoldrixControl::put_HideSelection(VARIANT_BOOL v) {
  view_->SetStyleBits(LVS_SHOWSELALWAYS, v != VARIANT_FALSE ? 0 : LVS_SHOWSELALWAYS);
  PropertyChanged(kDispHideSelection);
  return S_OK;
}

STDMETHODIMP FoldrixControl::get_HotTracking(VARIANT_BOOL* r) {
  FDX_GET(B(view_->ListExStyle() & (LVS_EX_UNDERLINEHOT | LVS_EX_ONECLICKACTIVATE)));
}
STDMETHODIMP FoldrixControl::put_HotTracking(VARIANT_BOOL v) {
  return SetStyleBool(LVS_EX_UNDERLINEHOT | LVS_EX_ONECLICKACTIVATE, v != VARIANT_FALSE,
                      kDispHotTracking);
}

STDMETHODIMP FoldrixControl::get_HoverSelection(VARIANT_BOOL* r) {
  FDX_GET(B(view_->ListExStyle() & LVS_EX_TRACKSELECT));
}
STDMETHODIMP FoldrixControl::put_HoverSelection(VARIANT_BOOL v) {
  return SetStyleBool(LVS_EX_TRACKSELECT, v != VARIANT_FALSE, kDispHoverSelection);
}

STDMETHODIMP FoldrixControl::get_hWnd(LONG_PTR* r) { FDX_GET(reinterpret_cast<LONG_PTR>(view_->list())); }

STDMETHODIMP FoldrixControl::get_KeyHandling(VARIANT_BOOL* r) { FDX_GET(B(view_->stored().keyHandling)); }
STDMETHODIMP FoldrixControl::put_KeyHandling(VARIANT_BOOL v) {
  return SetBool(view_->stored().keyHandling, v, kDispKeyHandling);
}

STDMETHODIMP FoldrixControl::get_LabelEdit(fdxLabelEditConstants* r) {
  FDX_GET((view_->Style() & LVS_EDITLABELS) ? fdxAutomatic : fdxManual);
}
STDMETHODIMP FoldrixControl::put_LabelEdit(fdxLabelEditConstants v) {
  if (v != fdxManual && v != fdxAutomatic) return InvalidPropertyValue();
  view_->SetStyleBits(LVS_EDITLABELS, v == fdxAutomatic ? LVS_EDITLABELS : 0);
  PropertyChanged(kDispLabelEdit);
  return S_OK;
}

STDMETHODIMP FoldrixControl::get_LabelWrap(VARIANT_BOOL* r) { FDX_GET(B(!(view_->Style() & LVS_NOLABELWRAP))); }
STDMETHODIMP FoldrixControl::put_LabelWrap(VARIANT_BOOL v) {
  view_->SetStyleBits(LVS_NOLABELWRAP, v != VARIANT_FALSE ? 0 : LVS_NOLABELWRAP);
  PropertyChanged(kDispLabelWrap);
  return S_OK;
}

STDMETHODIMP FoldrixControl::get_ListItems(::ItemList** r) {
  return Guarded([&] { return NewItemListObject(view_->list(), false, r); });
}
STDMETHODIMP FoldrixControl::get_SelectedItems(::ItemList** r) {
  return Guarded([&] { return NewItemListObject(view_->list(), true, r); });
}

STDMETHODIMP FoldrixControl::get_MultiSelect(VARIANT_BOOL* r) { FDX_GET(B(!(view_->Style() & LVS_SINGLESEL))); }
STDMETHODIMP FoldrixControl::put_MultiSelect(VARIANT_BOOL v) {
  view_->SetStyleBits(LVS_SINGLESEL, v != VARIANT_FALSE ? 0 : LVS_SINGLESEL);
  PropertyChanged(kDispMultiSelect);
  return S_OK;
}

STDMETHODIMP FoldrixControl::get_RootFolder(VARIANT* r) {
  if (!r) return E_POINTER;
  ::VariantInit(r);
  return ::VariantCopy(r, const_cast<VARIANT*>(&view_->rootValue()));
}
STDMETHODIMP FoldrixControl::put_RootFolder(VARIANT v) {
  return Guarded([&] {
    view_->SetRootFolder(v);
    return S_OK;
  });
}
STDMETHODIMP FoldrixControl::get_StartFolder(VARIANT* r) {
  if (!r) return E_POINTER;
  ::VariantInit(r);
  return ::VariantCopy(r, const_cast<VARIANT*>(&view_->startValue()));
}
STDMETHODIMP FoldrixControl::put_StartFolder(VARIANT v) {
  return Guarded([&] {
    view_->SetStartFolder(v);
    return S_OK;
  });
}

STDMETHODIMP FoldrixControl::get_ShellExecute(VARIANT_BOOL* r) { FDX_GET(B(view_->stored().shellExecute)); }
STDMETHODIMP FoldrixControl::put_ShellExecute(VARIANT_BOOL v) {
  return SetBool(view_->stored().shellExecute, v, kDispShellExecute);
}

STDMETHODIMP FoldrixControl::get_ShowFiles(VARIANT_BOOL* r) { FDX_GET(B(view_->stored().showFiles)); }
STDMETHODIMP FoldrixControl::put_ShowFiles(VARIANT_BOOL v) {
  return Guarded([&] { return SetShowFlag(view_->stored().showFiles, v, kDispShowFiles); });
}
STDMETHODIMP FoldrixControl::get_ShowFolders(VARIANT_BOOL* r) { FDX_GET(B(view_->stored().showFolders)); }
STDMETHODIMP FoldrixControl::put_ShowFolders(VARIANT_BOOL v) {
  return Guarded([&] { return SetShowFlag(view_->stored().showFolders, v, kDispShowFolders); });
}
STDMETHODIMP FoldrixControl::get_ShowHidden(VARIANT_BOOL* r) { FDX_GET(B(view_->stored().showHidden)); }
STDMETHODIMP FoldrixControl::put_ShowHidden(VARIANT_BOOL v) {
  return Guarded([&] { return SetShowFlag(view_->stored().showHidden, v, kDispShowHidden); });
}
STDMETHODIMP FoldrixControl::get_ShowProps(VARIANT_BOOL* r) { FDX_GET(B(view_->stored().showProps)); }
STDMETHODIMP FoldrixControl::put_ShowProps(VARIANT_BOOL v) {
  return SetBool(view_->stored().showProps, v, kDispShowProps);
}
STDMETHODIMP FoldrixControl::get_ShowSystem(VARIANT_BOOL* r) { FDX_GET(B(view_->stored().showSystem)); }
STDMETHODIMP FoldrixControl::put_ShowSystem(VARIANT_BOOL v) {
  return Guarded([&] { return SetShowFlag(view_->stored().showSystem, v, kDispShowSystem); });
}
STDMETHODIMP FoldrixControl::get_ShowVirtualFolders(VARIANT_BOOL* r) {
  FDX_GET(B(view_->stored().showVirtualFolders));
}
STDMETHODIMP FoldrixControl::put_ShowVirtualFolders(VARIANT_BOOL v) {
  return Guarded(
      [&] { return SetShowFlag(view_->stored().showVirtualFolders, v, kDispShowVirtualFolders); });
}

STDMETHODIMP FoldrixControl::get_View(fdxViewConstants* r) {
  FDX_GET(static_cast<fdxViewConstants>(view_->View()));
}
STDMETHODIMP FoldrixControl::put_View(fdxViewConstants v) {
  if (v < fdxIcons || v > fdxDetails) return InvalidPropertyValue();
  view_->SetView(v);
  PropertyChanged(kDispView);
  return S_OK;
}

}  // namespace foldrix
