// The library in the main window: scan, selection, the three logos, installation,
// the current-setting view and the random change.
#include "library/install.h"
#include "library/logo_library.h"
#include "library/random_change.h"
#include "ui/common/message_box.h"
#include "ui/main/principale.h"

namespace ui {
namespace {

constexpr COLORREF kInstalledColour = RGB(0, 0, 255);
constexpr COLORREF kCurrentViewColour = RGB(0, 128, 0);

// Locks a window's drawing for the scope and repaints it once afterwards.
class RedrawLock {
 public:
  explicit RedrawLock(HWND window) : window_(window) {
    ::SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
  }
  ~RedrawLock() {
    ::SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
    ::RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_ERASE);
  }
  RedrawLock(const RedrawLock&) = delete;
  RedrawLock& operator=(const RedrawLock&) = delete;

 private:
  HWND window_;
};

int IconOf(const std::wstring& name) {
  return library::IsSingleLogoSet(name) ? Principale::kIconSingleLogo : Principale::kIconMultiLogo;
}

}  // namespace

int Principale::SelectedIndex() const {
  return ListView_GetNextItem(myList_, -1, LVNI_SELECTED);
}

std::wstring Principale::ItemText(int index) const {
  if (index < 0) return {};
  std::wstring text(256, L'\0');
  for (;;) {
    LVITEMW item{};
    item.iSubItem = 0;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    const int length = static_cast<int>(
        ::SendMessageW(myList_, LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item)));
    if (length < static_cast<int>(text.size()) - 1) {
      text.resize(length);
      return text;
    }
    text.resize(text.size() * 2);
  }
}

std::wstring Principale::SelectedName() const { return ItemText(SelectedIndex()); }

std::vector<std::wstring> Principale::ListNames() const {
  std::vector<std::wstring> names;
  const int count = ListView_GetItemCount(myList_);
  for (int i = 0; i < count; ++i) names.push_back(ItemText(i));
  return names;
}

int Principale::FindItem(const std::wstring& name, bool ignoreCase) const {
  const int count = ListView_GetItemCount(myList_);
  for (int i = 0; i < count; ++i) {
    const std::wstring text = ItemText(i);
    if (ignoreCase ? common::EqualsIgnoreCase(text, name) : text == name) return i;
  }
  return -1;
}

// Adds an entry at its place in the name order.
int Principale::InsertSorted(const std::wstring& name) {
  const size_t position = library::SortedPosition(ListNames(), name);
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE;
  item.iItem = static_cast<int>(position);
  item.pszText = const_cast<wchar_t*>(name.c_str());
  item.iImage = IconOf(name);
  return ListView_InsertItem(myList_, &item);
}

void Principale::SelectIndex(int index) {
  ListView_SetItemState(myList_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetItemState(myList_, index, LVIS_SELECTED | LVIS_FOCUSED,
                        LVIS_SELECTED | LVIS_FOCUSED);
  ListView_EnsureVisible(myList_, index, FALSE);
}

void Principale::ShowLogo(int index, const std::wstring& path) { logoFiles_[index] = path; }

void Principale::ClearLogos() {
  for (int i = 0; i < 3; ++i) ShowLogo(i, L"");
}

bool Principale::CurrentViewOn() const { return bar_.Checked(L"ToolShowCurrent"); }

void Principale::LeggiDatiDisco() {
  quietSelection_ = true;
  ListView_DeleteAllItems(myList_);
  std::wstring found;
  {
    // The entries are known in order: they are added one after the other, drawn once.
    RedrawLock lock(myList_);
    const library::ScanResult scan = library::ScanLogoFolder(state_.settings.LogoPath);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    for (const std::wstring& name : scan.names) {
      item.pszText = const_cast<wchar_t*>(name.c_str());
      item.iImage = IconOf(name);
      ListView_InsertItem(myList_, &item);
      ++item.iItem;
    }
    const int installed = library::FindInstalledSet(scan.names, state_.settings.DefaultLogoSet);
    if (scan.complete && installed >= 0) found = scan.names[installed];
  }
  quietSelection_ = false;
  ClearLogos();
  VisualizzaNumLogo();
  if (found.empty()) {
    SetCaption(app::kDontKnow);
    state_.settings.DefaultLogoSet = app::kDontKnow;
  } else {
    SelItem(found);
    SetCaption(found);
  }
}

void Principale::SelItem(const std::wstring& name) {
  const int index = FindItem(name, true);
  if (index >= 0) {
    quietSelection_ = true;
    SelectIndex(index);
    quietSelection_ = false;
  }
  ShowListaLogo();
}

void Principale::ShowListaLogo() {
  common::WaitCursor wait;
  const std::wstring name = SelectedName();
  RedrawLock lock(hwnd());
  const auto paths = library::SetLogoPaths(state_.settings.LogoPath, name);
  for (int i = 0; i < 3; ++i) ShowLogo(i, paths[i]);
  ::SetWindowTextW(logoType_, library::IsSingleLogoSet(name) ? L"Single logo" : L"Multi logo");
}

void Principale::VisualizzaNumLogo() {
  const int count = ListView_GetItemCount(myList_);
  ::SetWindowTextW(numLogo_, library::LogoSetCountText(static_cast<size_t>(count)).c_str());
  if (count == 0) ::SetWindowTextW(logoType_, L"");
}

void Principale::ItmSetDefault_Click() {
  const std::wstring name = SelectedName();
  if (name.empty()) return;  // an empty library installs nothing
  library::InstallOutcome outcome;
  {
    common::WaitCursor wait;
    outcome = library::InstallLogoSet(state_, name);
  }
  if (!outcome.installed) {
    ShowMessage(hwnd(), outcome.Message(name), app::kProgramTitle, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  state_.SynchronizerPending = state_.settings.SynchronizeLogos != 0;
  state_.settings.DefaultLogoSet = name;
  if (CurrentViewOn()) {
    savedCaption_ = name;
    ItmViewDefOrActual_Click();  // the views of the installed files read them again
  } else {
    SetCaption(name);
  }
}

void Principale::ItmViewDefOrActual_Click() {
  common::WaitCursor wait;
  if (CurrentViewOn()) {
    SetDefaultLogoTooltip(L"Showing current logo setting");
    bar_.SetEnabled(L"MnuLogo", false);
    bar_.SetEnabled(L"ToolRandom", false);
    ::ShowWindow(logoType_, SW_HIDE);
    if (defaultLogoColor_ == kInstalledColour) {  // switching on, not refreshing
      savedCaption_ = Caption();
      savedSetName_ = SelectedName();
    }
    ::EnableWindow(myList_, FALSE);
    RedrawLock lock(hwnd());
    const auto installed = library::InstalledLogoPaths(state_);
    for (int i = 0; i < 3; ++i) {
      ShowLogo(i, L"");  // read again from disk
      ShowLogo(i, installed[i]);
    }
    SetCaption(L"");
    defaultLogoColor_ = kCurrentViewColour;
    SetCaption(L"Current logo setting");
  } else {
    SetDefaultLogoTooltip(L"Default logo set");
    bar_.SetEnabled(L"MnuLogo", true);
    bar_.SetEnabled(L"ToolRandom", true);
    defaultLogoColor_ = kInstalledColour;
    SetCaption(savedCaption_);
    ::EnableWindow(myList_, TRUE);
    SelItem(savedSetName_);
    ::SetFocus(myList_);
    ::ShowWindow(logoType_, SW_SHOW);
  }
}

void Principale::LogoRandomChange() {
  const int count = ListView_GetItemCount(myList_);
  const int picked = library::PickRandomOther(count, SelectedIndex() + 1, random_);
  if (picked == 0) return;
  SelItem(ItemText(picked - 1));
  ItmSetDefault_Click();
}

}  // namespace ui
