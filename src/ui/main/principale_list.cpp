// Events of the list of logo sets: selection, mouse, keys, rename, delete and drop.
#include <windows.h>
#include <shellapi.h>

#include "app/paths.h"
#include "library/logo_library.h"
#include "ui/common/message_box.h"
#include "ui/main/principale.h"

namespace ui {
namespace {

constexpr wchar_t kRenameFailed[] =
    L"Cannot rename folder. The folder already exists or has an invalid name";

}  // namespace

LRESULT Principale::OnListNotify(const NMHDR& header) {
  switch (header.code) {
    case LVN_GETDISPINFOW: {
      auto& info = const_cast<NMLVDISPINFOW&>(reinterpret_cast<const NMLVDISPINFOW&>(header));
      const std::wstring name = ItemText(info.item.iItem);
      if (info.item.mask & LVIF_TEXT)
        ::lstrcpynW(info.item.pszText, name.c_str(), info.item.cchTextMax);
      if (info.item.mask & LVIF_IMAGE)
        info.item.iImage = library::IsSingleLogoSet(name) ? kIconSingleLogo : kIconMultiLogo;
      return 0;
    }
    case LVN_ODFINDITEMW: {
      const auto& find = reinterpret_cast<const NMLVFINDITEMW&>(header);
      return FindFrom(find.lvfi, find.iStart);
    }
    case LVN_ITEMCHANGED: {
      const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
      if (!quietSelection_ && (change.uChanged & LVIF_STATE) &&
          (change.uNewState & LVIS_SELECTED) && !(change.uOldState & LVIS_SELECTED))
        MyList_ItemClick();
      return 0;
    }
    case NM_CLICK:
    case NM_RCLICK: {
      POINT screen{};
      ::GetCursorPos(&screen);
      MyList_MouseUp(header.code == NM_RCLICK ? 2 : 1, screen);
      return 0;
    }
    case NM_DBLCLK:
      MyList_DblClick();
      return 0;
    case LVN_BEGINLABELEDITW:
      MyList_BeforeLabelEdit();
      return FALSE;
    case LVN_ENDLABELEDITW: {
      const auto& edit = reinterpret_cast<const NMLVDISPINFOW&>(header);
      if (edit.item.pszText) MyList_AfterLabelEdit(edit.item.pszText);
      return FALSE;  // the handler has already set the text (and the sorted place)
    }
    default:
      return 0;
  }
}

void Principale::MyList_ItemClick() { ShowListaLogo(); }

void Principale::MyList_MouseDown(POINT point) { pressPoint_ = point; }

// The set tools follow the selection after every click in the list.
void Principale::UpdateSetTools() {
  const bool selected = ListView_GetItemCount(myList_) > 0 && SelectedIndex() >= 0;
  for (const wchar_t* tool : {L"ToolRename", L"ToolDelete", L"ToolSetDefault"})
    bar_.SetEnabled(tool, selected);
}

void Principale::MyList_MouseUp(int button, POINT screen) {
  UpdateSetTools();
  if (button == 2) {
    const std::wstring tool = bar_.PopupBand(L"LogoBand", screen);
    if (!tool.empty()) ActiveBar1_Click(tool);
  }
}

void Principale::MyList_DblClick() {
  LVHITTESTINFO hit{};
  hit.pt = pressPoint_;
  if (ListView_HitTest(myList_, &hit) < 0 || !(hit.flags & LVHT_ONITEM)) return;
  if (state_.settings.ActionOnDoubleClick == 0)
    ActiveBar1_Click(L"ToolSetDefault");
  else
    ActiveBar1_Click(L"ToolBrowser");
}

void Principale::ItmRename_Click() {
  const int index = SelectedIndex();
  if (index < 0) return;
  ::SetFocus(myList_);
  ListView_EditLabel(myList_, index);
}

void Principale::MyList_BeforeLabelEdit() { oldName_ = SelectedName(); }

bool Principale::MyList_AfterLabelEdit(const std::wstring& newName) {
  if (newName == oldName_) return false;  // an edit that changed nothing renames nothing
  const bool wasSingle = library::IsSingleLogoSet(oldName_);
  const bool isSingle = library::IsSingleLogoSet(newName);
  if (wasSingle != isSingle && state_.settings.ConfirmLogoTypeChange == 1) {
    const wchar_t* question =
        wasSingle ? L"Would you like to change your logoset format from Single Logo to Multi Logo?"
                  : L"Would you like to change your logoset format from Multi Logo to Single Logo?";
    if (ShowMessage(hwnd(), question, app::kProgramTitle, MB_YESNO | MB_ICONQUESTION) != IDYES)
      return false;
  }
  const std::wstring& logoPath = state_.settings.LogoPath;
  const int index = FindItem(oldName_, false);
  if (index < 0 || !library::IsValidFolderName(newName) ||
      !::MoveFileW(app::LongPathForm(logoPath + oldName_).c_str(),
                   app::LongPathForm(logoPath + newName).c_str())) {
    ShowMessage(hwnd(), kRenameFailed, app::kProgramTitle, MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  // The entry takes its place in the name order under its new name.
  RemoveEntry(index);
  InsertSorted(newName);
  SelItem(newName);
  if (common::EqualsIgnoreCase(oldName_, state_.settings.DefaultLogoSet)) {
    state_.settings.DefaultLogoSet = newName;
    SetCaption(newName);
  }
  return true;
}

void Principale::ItmDelete_Click() {
  const int index = SelectedIndex();
  if (index < 0) return;
  const std::wstring name = ItemText(index);
  if (!library::EliminaLogoSet(hwnd(), state_.settings.LogoPath + name, name, state_.settings,
                               *this))
    return;
  if (common::EqualsIgnoreCase(name, state_.settings.DefaultLogoSet)) {
    state_.settings.DefaultLogoSet = app::kDontKnow;
    SetCaption(app::kDontKnow);
  }
  RemoveEntry(index);
  const int count = ListView_GetItemCount(myList_);
  if (count == 0)
    ClearLogos();
  else
    SelItem(ItemText(index < count ? index : count - 1));
  VisualizzaNumLogo();
}

void Principale::MyList_OLEDragDrop(const std::vector<std::wstring>& paths) {
  const std::wstring& logoPath = state_.settings.LogoPath;
  int lastItem = -1;
  bool lastAccepted = false;
  for (const std::wstring& dropped : paths) {
    lastAccepted = false;
    if (!app::FileExists(app::AddBackslash(dropped), app::kMatchDirectory)) continue;
    std::wstring path = dropped;
    const std::wstring name = app::LastPathComponent(path);
    const bool exists = app::FileExists(app::AddBackslash(logoPath + name), app::kMatchDirectory);
    if (exists) {
      const std::wstring question = L"The selected folder '" + name +
                                    L"' already exist in your logo folder. Would you like to "
                                    L"overwrite the existing files?";
      if (ShowMessage(hwnd(), question, app::kProgramTitle,
                      MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        continue;
    }
    // The shell copies the folder with everything in it into the logo folder.
    std::wstring from = path + L'\0' + L'\0';
    std::wstring to = logoPath + L'\0' + L'\0';
    SHFILEOPSTRUCTW copy{};
    copy.wFunc = FO_COPY;
    copy.pFrom = from.c_str();
    copy.pTo = to.c_str();
    copy.fFlags = FOF_NOCONFIRMATION;
    ::SHFileOperationW(&copy);

    lastItem = exists ? FindItem(name, false) : InsertSorted(name);
    lastAccepted = true;
  }
  if (lastAccepted && lastItem >= 0) {
    quietSelection_ = true;
    SelectIndex(lastItem);
    quietSelection_ = false;
    ShowListaLogo();
  }
  VisualizzaNumLogo();
}

}  // namespace ui
