// The control's engine: the list window inside a host window, filled from a shell
// folder, with navigation inside a root folder. Plain C++ under the COM layer.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <oleauto.h>

#include <memory>
#include <string>
#include <vector>

#include "foldrix/events.h"
#include "foldrix/list_columns.h"
#include "foldrix/pidl.h"

namespace foldrix {

constexpr int kListId = 1000;
constexpr long kFirstColumnKey = 1000000;
constexpr ULONG kRecordAttributeMask = 0x600B0010;

// Kept with every row (its address is the row's parameter); released on delete-item.
struct ItemRecord {
  PIDLIST_ABSOLUTE pidlFQ;
  PITEMID_CHILD pidlRel;
  ULONG attributes;
  IShellFolder* isfParent;
};
ItemRecord* NewItemRecord(PIDLIST_ABSOLUTE fq, PITEMID_CHILD rel, ULONG attributes,
                          IShellFolder* parent);
void FreeItemRecord(ItemRecord* record);
struct ItemRecordFree {
  void operator()(ItemRecord* record) const { FreeItemRecord(record); }
};
// A record not yet handed to a row.
using RecordPtr = std::unique_ptr<ItemRecord, ItemRecordFree>;

// Where the last fill spent its time, in milliseconds (for the benchmark).
struct FillTimings {
  double columns, enumerate, select, sort, insert;
};
FillTimings& LastFillTimings();

// Milliseconds between laps, from the performance counter.
class Stopwatch {
 public:
  Stopwatch() { ::QueryPerformanceCounter(&last_); }
  double Lap() {
    LARGE_INTEGER now, frequency;
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    const double ms = 1000.0 * static_cast<double>(now.QuadPart - last_.QuadPart) /
                      static_cast<double>(frequency.QuadPart);
    last_ = now;
    return ms;
  }

 private:
  LARGE_INTEGER last_;
};

enum CheckBoxMode { kNoCheckBoxes = 0, kCheckBoxes = 1, kNoCheckBoxesPreserveState = 2 };

// The properties the control stores itself (the others live in the window styles).
struct StoredProperties {
  bool autoUpdate = true, contextMenu = true, dragDrop = true, dontChangeFolder = false;
  bool keyHandling = true, shellExecute = true;
  bool showFiles = true, showFolders = true, showHidden = true, showProps = true;
  bool showSystem = true, showVirtualFolders = true;
  OLE_COLOR backColor = 0x80000005, foreColor = 0x80000008;
  std::wstring filter;
  int checkBoxes = kNoCheckBoxes;
};

class FolderView {
 public:
  // checkIcons: unchecked and checked 16 x 16 icons from the control's resources;
  // without them the boxes are drawn.
  FolderView(FolderViewEvents& events, HICON unchecked = nullptr, HICON checked = nullptr);
  ~FolderView();
  FolderView(const FolderView&) = delete;
  FolderView& operator=(const FolderView&) = delete;

  // Creates the list window in the host window and subclasses both.
  bool Create(HWND host);
  void Destroy();
  HWND host() const { return host_; }
  HWND list() const { return list_; }
  // The first Show lists the start folder at run time, the root in design mode.
  void Show();
  bool shown() const { return shown_; }
  void SizeToHost();
  void RedrawFrame();

  StoredProperties& stored() { return stored_; }
  FolderViewEvents& events() { return events_; }

  // Folders (navigation).
  PCIDLIST_ABSOLUTE current() const { return current_.get(); }
  PCIDLIST_ABSOLUTE root() const { return root_.get(); }
  PCIDLIST_ABSOLUTE start() const { return start_.get(); }
  IShellFolder* currentFolder() const { return currentFolder_.Get(); }
  const VARIANT& rootValue() const { return rootValue_; }
  const VARIANT& startValue() const { return startValue_; }
  void SetFolder(const VARIANT& value);
  void SetRootFolder(const VARIANT& value);
  void SetStartFolder(const VARIANT& value);
  bool Reset(bool toRoot);
  bool GoUp(long levels);
  bool GoUpLevels(long levels);
  bool EnterSubfolder(int row);

  // Filling and sorting.
  bool FillList(IShellFolder* folder, PCIDLIST_ABSOLUTE list, bool useRoot);
  bool Refresh();
  void Sort();
  // Puts records in the order Sort gives their rows.
  void SortRecords(std::vector<RecordPtr>& records) const;
  void ReSort(bool resetInfo);
  void ColumnClick(int column);
  long sortKey() const { return sortKey_; }
  int FindItemByPIDL(PCIDLIST_ABSOLUTE list) const;
  void DeleteAllItems();
  // The detail texts of a row (from the details interface or the fallback columns).
  std::wstring DetailText(const ItemRecord& record, int column) const;
  ItemRecord* RecordOf(int row) const;

  // Check boxes.
  void SetCheckBoxes(int mode);
  void ToggleCheck(int row);

  // Colours (stored form kept; system colours applied by index).
  void SetBackColor(OLE_COLOR color);
  void SetForeColor(OLE_COLOR color);
  void ApplyColors();
  // Styles of the list window.
  DWORD Style() const;
  void SetStyleBits(DWORD mask, DWORD bits);
  DWORD ExStyle() const;
  void SetExStyleBits(DWORD mask, DWORD bits);
  DWORD ListExStyle() const;
  void SetListExStyleBits(DWORD mask, DWORD bits);
  // FlatHeader: header-backed, with the header-missing rule.
  bool FlatHeader() const;
  void SetFlatHeader(bool flat);
  void SetView(int view);  // fdx values 0-3, checked by the caller
  int View() const;

  // Dispatch of the subclassed windows' messages (public for the static procedures).
  LRESULT HostMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT ListMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  friend class FillRun;
  struct Change;
  bool Navigate(Change& change, bool restoreOnFailure);
  void ReplaceRoot(Pidl list, ComPtr<IShellFolder> folder);
  void OnDeleteItem(const NMLISTVIEW& info);
  void OnGetDispInfo(NMLVDISPINFOW& info);
  void OnItemChanged(const NMLISTVIEW& info);
  void OnItemActivate(const NMITEMACTIVATE& info);
  void OnClick(const NMITEMACTIVATE& info);
  bool OnSetStateImageList(HIMAGELIST images);
  LRESULT OnPaint(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnEraseBackground(WPARAM wParam, LPARAM lParam);
  void RaiseMouse(UINT message, WPARAM wParam, LPARAM lParam);
  void SetAllStateImages(int image);
  LRESULT CallOld(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const;
  void Subclass(HWND window, WNDPROC procedure);
  void Unsubclass(HWND window);
  HIMAGELIST MakeStateImages(HICON unchecked, HICON checked);

  FolderViewEvents& events_;
  HWND host_ = nullptr;
  HWND list_ = nullptr;
  bool shown_ = false;
  StoredProperties stored_;

  Pidl root_, start_, current_;
  ComPtr<IShellFolder> rootFolder_, currentFolder_;
  VARIANT rootValue_{}, startValue_{};

  long sortKey_ = kFirstColumnKey;
  ListColumns columns_;
  bool showingMyComputer_ = false;

  HIMAGELIST ownStateImages_ = nullptr;
  HIMAGELIST setAsideStateImages_ = nullptr;
  bool checkBoxGuard_ = false;
  bool headerMissing_ = false;
  bool flatHeader_ = true;
  bool loaded_ = false, skipPaint_ = false, skipErase_ = false;
  // The previous procedures, also kept in the windows' "OldWndProc" property; cached
  // because reading a window property is a round trip to the window server on Wine.
  WNDPROC oldListProc_ = nullptr, oldHostProc_ = nullptr;
};

// The engine that owns a list window (through the window's user data).
FolderView* FolderViewOf(HWND list);

}  // namespace foldrix
