// The program's main window: the library of logo sets, the three logos of the
// selected set, the menu bar and the toolbar.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/main_window_port.h"
#include "common/handles.h"
#include "library/delete_set.h"
#include "ui/common/command_bar.h"
#include "ui/common/image_view.h"
#include "ui/common/window_base.h"

namespace ui {

class ListDropTarget;

class Principale final : public WindowBase,
                         public app::MainWindowPort,
                         public library::InstalledSetLabel {
 public:
  static constexpr wchar_t kClassName[] = L"QuillanePrincipale";

  // Small icons of ImageList1, in the order of their keys.
  enum ListIcon { kIconImage, kIconClosed, kIconUp, kIconSingleLogo, kIconMultiLogo, kIconSys };

  // onUnload runs when the window is destroyed (the program's exit sequence).
  Principale(app::AppState& state, std::function<void()> onUnload);
  ~Principale() override;

  // Creates the window, hidden, and runs its load steps.
  bool Load();
  void Show();

  // Windows that other parts of the program open from here.
  void SetEditorOpener(std::function<void()> open) { openEditor_ = std::move(open); }
  void SetPreferencesOpener(std::function<void()> open) { openPreferences_ = std::move(open); }
  void SetOnlineOpener(std::function<void()> open) { openOnline_ = std::move(open); }

  // app::MainWindowPort
  void SetLogoAnimation(bool on) override;
  void ApplyViewMode(int index) override;
  int CurrentViewMode() const override;
  void SetCustomProgramCaption(const std::wstring& caption) override;
  std::wstring InstalledSetCaption() const override;
  void ScanLibrary() override { LeggiDatiDisco(); }

  // library::InstalledSetLabel: the installed-set label DefaultLogo.
  std::wstring Caption() const override;
  void SetCaption(const std::wstring& caption) override;

  // The command id a tool's menu entry and button send (the same in every window).
  static int ToolCommandId(const std::wstring& tool);

  // Commands, dispatched by tool name.
  void ActiveBar1_Click(const std::wstring& tool);
  void ItmRename_Click();
  void ItmDelete_Click();
  void itmRefresh_Click() { LeggiDatiDisco(); }
  void ItmSetDefault_Click();
  void ItmLogoManager_Click();
  void ItmExplore_Click();
  void ItmViewType_Click(int index);
  void ItmViewDefOrActual_Click();
  void ItmRandomSpin_Click() { LogoRandomChange(); }
  void ItmPref_Click();
  void ItmContents_Click();
  void ItmExit_Click();

  // The library in the list.
  void LeggiDatiDisco();
  void SelItem(const std::wstring& name);
  void ShowListaLogo();
  void VisualizzaNumLogo();
  void LogoRandomChange();

  // Events of the list.
  void MyList_ItemClick();
  void MyList_MouseDown(POINT point);
  void MyList_MouseUp(int button, POINT screen);
  void MyList_DblClick();
  void MyList_KeyUp(WORD key);
  void MyList_BeforeLabelEdit();
  bool MyList_AfterLabelEdit(const std::wstring& newName);  // false: the edit is undone
  void MyList_OLEDragDrop(const std::vector<std::wstring>& paths);

  // What the window shows, for the tests and the other windows.
  HWND MyList() const { return myList_; }
  HWND DefaultLogoLabel() const { return defaultLogo_; }
  HWND NumLogoLabel() const { return numLogo_; }
  HWND LogoTypeLabel() const { return logoType_; }
  HWND DescriptionLabel(int index) const { return des_[index]; }
  HMENU OpenWithMenu() const { return openWith_.get(); }
  CommandBar& Bar() { return bar_; }
  const std::wstring& LogoFileName(int index) const { return logoImage_[index].FileName(); }
  ImageView& LogoImage(int index) { return logoImage_[index]; }
  bool LogoAnimation() const { return animate_; }
  COLORREF DefaultLogoColor() const { return defaultLogoColor_; }
  std::wstring DefaultLogoTooltip() const;
  const std::vector<std::wstring>& ListNames() const { return names_; }
  std::wstring SelectedName() const;  // "" when no entry is selected
  std::wstring ExploreTarget() const;
  void SeedRandom(uint32_t seed) { random_.seed(seed); }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Form_Load();
  void Form_Unload();
  void CreateControls();
  void CreateCommandBar();
  void CreateImageList();
  void SetScreenLabels();
  void CreateListColumn();
  int Twips(int twips) const;
  void CenterOnScreen();

  LRESULT OnNotify(const NMHDR& header);
  LRESULT OnListNotify(const NMHDR& header);
  void OnCommand(int command);
  void OnTimer();
  static LRESULT CALLBACK ListProcedure(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

  int SelectedIndex() const;
  std::wstring ItemText(int index) const;
  int FindItem(const std::wstring& name, bool ignoreCase) const;
  int InsertSorted(const std::wstring& name);
  void RemoveEntry(int index);
  void SetEntries(std::vector<std::wstring> names);
  int FindFrom(const LVFINDINFOW& find, int start) const;
  void SelectIndex(int index);
  void ShowLogo(int index, const std::wstring& path);
  void ClearLogos();
  void UpdateSetTools();
  void SetDefaultLogoTooltip(const wchar_t* text);
  bool CurrentViewOn() const;

  app::AppState& state_;
  std::function<void()> onUnload_;
  std::function<void()> openEditor_;
  std::function<void()> openPreferences_;
  std::function<void()> openOnline_;
  int dpi_ = 96;
  int top_ = 0;  // height of the toolbar above the controls
  bool animate_ = true;
  bool quietSelection_ = false;

  HWND myList_ = nullptr;
  HWND numLogo_ = nullptr;
  HWND defaultLogo_ = nullptr;
  HWND logoType_ = nullptr;
  HWND tooltip_ = nullptr;
  std::array<HWND, 3> imag_{};
  std::array<HWND, 3> des_{};
  std::array<ImageView, 3> logoImage_;
  std::vector<std::wstring> names_;  // the list's entries, in name order (a virtual list)
  HIMAGELIST imageList1_ = nullptr;  // owned by the list (shared flag off)
  CommandBar bar_;
  common::UniqueMenu openWith_;
  common::UniqueGdiObject font_;
  COLORREF defaultLogoColor_ = RGB(0, 0, 255);
  std::wstring defaultLogoTip_ = L"Default logo set";

  std::wstring oldName_;  // the name an in-place edit started from
  POINT pressPoint_{};
  std::wstring savedCaption_;  // the installed-set caption while the current view is on
  std::wstring savedSetName_;
  std::mt19937 random_;
  ListDropTarget* dropTarget_ = nullptr;
};

// Registers the window class once per process.
bool RegisterPrincipaleClass(HINSTANCE instance);

}  // namespace ui
