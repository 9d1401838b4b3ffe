// The two subclassed window procedures: messages and list notifications.
#include <windowsx.h>

#include "foldrix/folder_view.h"
#include "foldrix/item.h"
#include "foldrix/namespace.h"

namespace foldrix {
namespace {

short ShiftState() {
  short shift = 0;
  if (::GetKeyState(VK_SHIFT) < 0) shift |= 1;
  if (::GetKeyState(VK_CONTROL) < 0) shift |= 2;
  if (::GetKeyState(VK_MENU) < 0) shift |= 4;
  return shift;
}

short ButtonsOf(WPARAM keys) {
  short buttons = 0;
  if (keys & MK_LBUTTON) buttons |= 1;
  if (keys & MK_RBUTTON) buttons |= 2;
  if (keys & MK_MBUTTON) buttons |= 4;
  return buttons;
}

}  // namespace

LRESULT FolderView::HostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND host = host_;
  try {
    switch (message) {
      case WM_NOTIFY: {
        auto header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom != kListId || header->hwndFrom != list_) break;
        switch (header->code) {
          case LVN_GETDISPINFOW: OnGetDispInfo(*reinterpret_cast<NMLVDISPINFOW*>(lParam)); return 0;
          case LVN_DELETEITEM: OnDeleteItem(*reinterpret_cast<NMLISTVIEW*>(lParam)); return 0;
          case LVN_COLUMNCLICK: ColumnClick(reinterpret_cast<NMLISTVIEW*>(lParam)->iSubItem); return 0;
          case LVN_ITEMCHANGED: OnItemChanged(*reinterpret_cast<NMLISTVIEW*>(lParam)); return 0;
          case LVN_ITEMACTIVATE: OnItemActivate(*reinterpret_cast<NMITEMACTIVATE*>(lParam)); return 0;
          case NM_CLICK:
          case NM_RCLICK: OnClick(*reinterpret_cast<NMITEMACTIVATE*>(lParam)); break;
          default: break;
        }
        break;
      }
      case WM_NCDESTROY: {
        HWND list = list_;
        DeleteAllItems();
        Unsubclass(list);
        Unsubclass(host);
        list_ = nullptr;
        host_ = nullptr;
        return ::DefWindowProcW(host, message, wParam, lParam);
      }
      case WM_SETFOCUS: {
        const LRESULT result = CallOld(host, message, wParam, lParam);
        if (list_) ::SetFocus(list_);
        return result;
      }
      case WM_SIZE: {
        const LRESULT result = CallOld(host, message, wParam, lParam);
        SizeToHost();
        return result;
      }
      default:
        break;
    }
  } catch (...) {
    // Nothing may unwind into the system's code.
  }
  return CallOld(host, message, wParam, lParam);
}

LRESULT FolderView::ListMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND list = list_;
  try {
    switch (message) {
      case WM_DESTROY: {
        DeleteAllItems();
        const LRESULT result = CallOld(list, message, wParam, lParam);
        Unsubclass(list);
        Unsubclass(host_);
        list_ = nullptr;
        host_ = nullptr;
        return result;
      }
      case WM_SETFOCUS: events_.FocusChanged(true); break;
      case WM_KILLFOCUS: events_.FocusChanged(false); break;
      case WM_PAINT: return OnPaint(message, wParam, lParam);
      case WM_ERASEBKGND: return OnEraseBackground(wParam, lParam);
      case WM_SYSCOLORCHANGE: ApplyColors(); break;
      case WM_KEYDOWN: {
        short code = static_cast<short>(wParam), shift = ShiftState();
        events_.KeyDown(code, shift);
        break;
      }
      case WM_KEYUP: {
        short code = static_cast<short>(wParam), shift = ShiftState();
        events_.KeyUp(code, shift);
        break;
      }
      case WM_CHAR: {
        short ascii = static_cast<short>(wParam);
        events_.KeyPress(ascii);
        break;
      }
      case WM_HSCROLL: events_.HScroll(); break;
      case WM_VSCROLL: events_.VScroll(); break;
      case WM_MOUSEMOVE:
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN: RaiseMouse(message, wParam, lParam); break;
      case WM_LBUTTONDBLCLK:
      case WM_RBUTTONDBLCLK:
      case WM_MBUTTONDBLCLK: events_.DblClick(); break;
      case LVM_SETIMAGELIST:
        if (wParam == LVSIL_STATE && !checkBoxGuard_ &&
            OnSetStateImageList(reinterpret_cast<HIMAGELIST>(lParam)))
          return 0;
        break;
      default:
        break;
    }
  } catch (...) {
  }
  return CallOld(list, message, wParam, lParam);
}

void FolderView::RaiseMouse(UINT message, WPARAM wParam, LPARAM lParam) {
  short button = ButtonsOf(wParam), shift = ShiftState();
  float x = static_cast<float>(GET_X_LPARAM(lParam)), y = static_cast<float>(GET_Y_LPARAM(lParam));
  if (message == WM_MOUSEMOVE)
    events_.MouseMove(button, shift, x, y);
  else
    events_.MouseDown(button, shift, x, y);
}

LRESULT FolderView::OnPaint(UINT message, WPARAM wParam, LPARAM lParam) {
  // The first paints after a fill are skipped and the erase after them too: the list
  // appears once, without flashing its background.
  if (skipPaint_) {
    skipPaint_ = false;
    skipErase_ = true;
    return 0;
  }
  if (loaded_) {
    loaded_ = false;
    skipPaint_ = true;
    return 0;
  }
  return CallOld(list_, message, wParam, lParam);
}

LRESULT FolderView::OnEraseBackground(WPARAM wParam, LPARAM lParam) {
  if (skipErase_) {
    skipErase_ = false;
    RedrawFrame();
    return 1;
  }
  return CallOld(list_, WM_ERASEBKGND, wParam, lParam);
}

void FolderView::OnDeleteItem(const NMLISTVIEW& info) {
  FreeItemRecord(reinterpret_cast<ItemRecord*>(info.lParam));
}

void FolderView::OnItemChanged(const NMLISTVIEW& info) {
  if (!(info.uChanged & LVIF_STATE)) return;
  if ((info.uNewState & LVIS_SELECTED) && !(info.uOldState & LVIS_SELECTED) && info.iItem >= 0) {
    if (ItemPtr item = ItemCore::ForRow(list_, info.iItem)) events_.ItemSelected(item);
  }
}

void FolderView::OnItemActivate(const NMITEMACTIVATE& info) {
  ItemPtr item = ItemCore::ForRow(list_, info.iItem);
  if (!item) return;
  events_.ItemActivate(item);
  ItemRecord* record = RecordOf(info.iItem);
  if (record && (record->attributes & SFGAO_FOLDER)) EnterSubfolder(info.iItem);
}

void FolderView::OnClick(const NMITEMACTIVATE& info) {
  LVHITTESTINFO hit{};
  hit.pt = info.ptAction;
  const int row = ListView_SubItemHitTest(list_, &hit);
  if (row >= 0) {
    if (ItemPtr item = ItemCore::ForRow(list_, row)) {
      long location = (hit.flags & LVHT_ONITEMSTATEICON) ? 8
                      : (hit.flags & LVHT_ONITEMLABEL)   ? 4
                      : (hit.flags & LVHT_ONITEMICON)    ? 2
                                                         : 0;
      if (location == 8 && stored_.checkBoxes == kCheckBoxes) ToggleCheck(row);
      events_.ItemClicked(item, location);
    }
  }
  events_.Click();
}

}  // namespace foldrix
