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

}  // namespace

int Principale::SelectedIndex() const {
  return ListView_GetNextItem(myList_, -1, LVNI_SELECTED);
}

std::wstring Principale::ItemText(int index) const {
  return index >= 0 && static_cast<size_t>(index) < names_.size() ? names_[index] : L"";
}

std::wstring Principale::SelectedName() const { return ItemText(SelectedIndex()); }

int Principale::FindItem(const std::wstring& name, bool ignoreCase) const {
  for (size_t i = 0; i < names_.size(); ++i)
    if (ignoreCase ? common::EqualsIgnoreCase(names_[i], name) : names_[i] == name)
      return static_cast<int>(i);
  return -1;
}

// The list asks for entries by position (type-ahead, FindItem): exact or prefix
// matches, letter case ignored, from start on and round again.
int Principale::FindFrom(const LVFINDINFOW& find, int start) const {
  if (!(find.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find.psz || names_.empty()) return -1;
  const std::wstring wanted = find.psz;
  const size_t count = names_.size();
  for (size_t step = 0; step < count; ++step) {
    const size_t i = (static_cast<size_t>(start < 0 ? 0 : start) + step) % count;
    const std::wstring& name = names_[i];
    const bool match = (find.flags & LVFI_PARTIAL)
                           ? name.size() >= wanted.size() &&
                                 common::EqualsIgnoreCase(name.substr(0, wanted.size()), wanted)
                           : common::EqualsIgnoreCase(name, wanted);
    if (match) return static_cast<int>(i);
    if (!(find.flags & LVFI_WRAP) && i + 1 == count) break;
  }
  return -1;
}

// The virtual list holds no items of its own: entries change by changing names_, and
// the selection follows its name.
void Principale::SetEntries(std::vector<std::wstring> names) {
  ListView_SetItemState(myList_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  names_ = std::move(names);
  ListView_SetItemCountEx(myList_, static_cast<int>(names_.size()), 0);
}

int Principale::InsertSorted(const std::wstring& name) {
  const std::wstring selected = SelectedName();
  std::vector<std::wstring> names = names_;
  const size_t position = library::SortedPosition(names, name);
  names.insert(names.begin() + static_cast<std::ptrdiff_t>(position), name);
  quietSelection_ = true;
  SetEntries(std::move(names));
  if (const int index = FindItem(selected, false); index >= 0) SelectIndex(index);
  quietSelection_ = false;
  return static_cast<int>(position);
}

void Principale::RemoveEntry(int index) {
  std::vector<std::wstring> names = names_;
  names.erase(names.begin() + index);
  quietSelection_ = true;
  SetEntries(std::move(names));
  quietSelection_ = false;
}

void Principale::SelectIndex(int index) {
  ListView_SetItemState(myList_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetItemState(myList_, index, LVIS_SELECTED | LVIS_FOCUSED,
                        LVIS_SELECTED | LVIS_FOCUSED);
  ListView_EnsureVisible(myList_, index, FALSE);
}

void Principale::ShowLogo(int index, const std::wstring& path) {
  logoImage_[index].SetFileName(path);
}

void Principale::ClearLogos() {
  for (int i = 0; i < 3; ++i) ShowLogo(i, L"");
}

bool Principale::CurrentViewOn() const { return bar_.Checked(L"ToolShowCurrent"); }

void Principale::LeggiDatiDisco() {
  quietSelection_ = true;
  SetEntries({});
  library::ScanResult scan = library::ScanLogoFolder(state_.settings.LogoPath);
  const int installed = library::FindInstalledSet(scan.names, state_.settings.DefaultLogoSet);
  const std::wstring found = scan.complete && installed >= 0 ? scan.names[installed] : L"";
  SetEntries(std::move(scan.names));
  ::InvalidateRect(myList_, nullptr, FALSE);  // drawn once, with every entry
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
