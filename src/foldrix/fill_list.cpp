// Filling the list from a folder: enumeration, filters, item events, columns.
#include "common/handles.h"

#include <shlwapi.h>

#include <algorithm>
#include <vector>

#include "foldrix/folder_view.h"
#include "foldrix/item.h"
#include "foldrix/namespace.h"

namespace foldrix {

// One fill: turns redrawing off and shows the wait cursor, and always restores both.
class FillRun {
 public:
  explicit FillRun(FolderView& view) : view_(view) {
    view.loaded_ = view.skipPaint_ = view.skipErase_ = false;
    ::SendMessageW(view.list_, WM_SETREDRAW, FALSE, 0);
    oldCursor_ = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    ::SetCapture(view.host_);
  }
  ~FillRun() {
    ::SetCursor(oldCursor_);
    if (::GetCapture() == view_.host_) ::ReleaseCapture();
    if (ListView_GetItemCount(view_.list_) > 0) view_.loaded_ = true;
    ::SendMessageW(view_.list_, WM_SETREDRAW, TRUE, 0);
  }
  FillRun(const FillRun&) = delete;
  FillRun& operator=(const FillRun&) = delete;

  void SaveWidths();
  void AddNameColumn(IShellFolder* folder);
  void AddDetailColumns();
  bool Keep(ULONG attributes, const wchar_t* path) const;
  bool NeedsPath() const;
  // One enumerated entry and its attributes.
  struct Entry {
    ChildPidl list;
    SFGAOF attributes;
  };
  static std::vector<Entry> Enumerate(IShellFolder* folder, IEnumIDList* entries);
  // A row for the record at index; the row takes the record over when it is made.
  bool InsertRow(int index, RecordPtr& record);

 private:
  int InsertColumn(int index, const std::wstring& title, int format, int width);
  FolderView& view_;
  HCURSOR oldCursor_ = nullptr;
};

void FillRun::SaveWidths() {
  HWND list = view_.list_;
  int count = 0;
  for (;;) {
    wchar_t title[260] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = title;
    column.cchTextMax = 260;
    if (!ListView_GetColumn(list, count + 1, &column) || title[0] == 0) break;
    ++count;
  }
  auto& widths = view_.columns_.savedWidths;
  widths.clear();
  for (int i = 0; i <= count; ++i) widths.push_back(ListView_GetColumnWidth(list, i));
}

int FillRun::InsertColumn(int index, const std::wstring& title, int format, int width) {
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH | LVCF_SUBITEM;
  column.fmt = format & LVCFMT_JUSTIFYMASK;
  column.cx = width;
  column.pszText = const_cast<wchar_t*>(title.c_str());
  column.iSubItem = index;
  return ListView_InsertColumn(view_.list_, index, &column);
}

namespace {
int RepeatedWidth(HWND list, wchar_t letter, int count) {
  const std::wstring text(static_cast<size_t>(count), letter);
  return ListView_GetStringWidth(list, text.c_str());
}
}  // namespace

void FillRun::AddNameColumn(IShellFolder* folder) {
  HWND list = view_.list_;
  auto& columns = view_.columns_;
  columns.details = DetailsSource::Of(folder);
  std::wstring title;
  int format = LVCFMT_LEFT, characters = 0;
  SHELLDETAILS details{};
  if (columns.details.available() && columns.details.Get(nullptr, 0, &details)) {
    title = StrRetText(details.str, nullptr);
    format = details.fmt;
    characters = details.cxChar;
  } else {
    title = ShellString(8976, L"Name");
  }
  while (ListView_DeleteColumn(list, 0)) {
  }
  long index = 0;
  bool usePrevious = false, cancel = false;
  view_.events_.AddingColumn(index, title, usePrevious, cancel);
  int width = characters > 0 ? RepeatedWidth(list, L'W', characters) : 245;
  if (usePrevious && view_.shown_ && !columns.savedWidths.empty()) width = columns.savedWidths[0];
  InsertColumn(0, title, format, width);  // the name column stays whatever the handler says
}

void FillRun::AddDetailColumns() {
  HWND list = view_.list_;
  auto& columns = view_.columns_;
  while (ListView_DeleteColumn(list, 1)) {
  }
  columns.sizeColumn = columns.typeColumn = columns.modifiedColumn = 0;
  columns.shellColumn.assign(1, 0);
  int next = 1;
  if (columns.details.available()) {
    SHELLDETAILS details{};
    for (UINT shell = 1; columns.details.Get(nullptr, shell, &details); ++shell) {
      std::wstring title = StrRetText(details.str, nullptr);
      if (!columns.details.ShownByDefault(shell)) continue;
      long index = next;
      bool usePrevious = false, cancel = false;
      view_.events_.AddingColumn(index, title, usePrevious, cancel);
      if (cancel) continue;
      int width = RepeatedWidth(list, L'F', details.cxChar);
      if (usePrevious && view_.shown_ && next < static_cast<int>(columns.savedWidths.size()))
        width = columns.savedWidths[next];
      if (InsertColumn(next, title, details.fmt, width) >= 0) {
        columns.shellColumn.push_back(shell);
        ++next;
      }
    }
  } else {
    struct Fallback { UINT id; const wchar_t* text; int format, width; int* index; };
    const Fallback fallbacks[] = {
        {8978, L"Size", LVCFMT_RIGHT, 60, &columns.sizeColumn},
        {8979, L"Type", LVCFMT_LEFT, 120, &columns.typeColumn},
        {8980, L"Modified", LVCFMT_LEFT, 120, &columns.modifiedColumn}};
    for (const auto& fallback : fallbacks) {
      std::wstring title = ShellString(fallback.id, fallback.text);
      long index = next;
      bool usePrevious = false, cancel = false;
      view_.events_.AddingColumn(index, title, usePrevious, cancel);
      if (cancel) continue;
      if (InsertColumn(next, title, fallback.format, fallback.width) >= 0) {
        *fallback.index = next;
        columns.shellColumn.push_back(static_cast<UINT>(next));
        ++next;
      }
    }
  }
  columns.lastColumn = next - 1;
}

bool FillRun::NeedsPath() const {
  const auto& stored = view_.stored_;
  return !stored.filter.empty() || (stored.showProps && !stored.showSystem);
}

// path: the entry's file-system path, or null for an item without one.
bool FillRun::Keep(ULONG attributes, const wchar_t* path) const {
  const auto& stored = view_.stored_;
  const bool folder = (attributes & SFGAO_FOLDER) != 0;
  const bool hasPath = path && *path;
  if (stored.showProps) {
    if (!(attributes & SFGAO_FILESYSTEM) && !stored.showVirtualFolders) return false;
    if (folder && !stored.showFolders) return false;
    if (!folder && !stored.showFiles) return false;
    if (!stored.showSystem && hasPath && !view_.showingMyComputer_) {
      const DWORD fileAttributes = ::GetFileAttributesW(path);
      if (fileAttributes != INVALID_FILE_ATTRIBUTES && (fileAttributes & FILE_ATTRIBUTE_SYSTEM))
        return false;
    }
  }
  if (!stored.filter.empty() && hasPath)
    return ::PathMatchSpecExW(path, stored.filter.c_str(), PMSF_MULTIPLE) == S_OK;
  return true;
}

std::vector<FillRun::Entry> FillRun::Enumerate(IShellFolder* folder, IEnumIDList* entries) {
  std::vector<Entry> found;
  for (;;) {
    PITEMID_CHILD raw = nullptr;
    if (entries->Next(1, &raw, nullptr) != S_OK || !raw) break;
    Entry entry{ChildPidl(raw), kRecordAttributeMask};
    PCUITEMID_CHILD one[] = {raw};
    if (FAILED(folder->GetAttributesOf(1, one, &entry.attributes))) entry.attributes = 0;
    entry.attributes &= kRecordAttributeMask | SFGAO_FILESYSTEM | SFGAO_FOLDER;
    found.push_back(std::move(entry));
  }
  return found;
}

bool FillRun::InsertRow(int index, RecordPtr& record) {
  LVITEMW row{};
  row.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
  row.iItem = index;
  row.pszText = LPSTR_TEXTCALLBACKW;
  row.iImage = I_IMAGECALLBACK;
  row.lParam = reinterpret_cast<LPARAM>(record.get());
  // Every row starts with the unchecked box: set here, not by a pass over all rows
  // afterwards, which costs a notification per row.
  row.stateMask = LVIS_CUT | LVIS_OVERLAYMASK | LVIS_STATEIMAGEMASK;
  row.state = INDEXTOSTATEIMAGEMASK(1);
  const ULONG attributes = record->attributes;
  if (attributes & SFGAO_GHOSTED) row.state |= LVIS_CUT;
  if (attributes & SFGAO_SHARE)
    row.state |= INDEXTOOVERLAYMASK(1);
  else if (attributes & SFGAO_LINK)
    row.state |= INDEXTOOVERLAYMASK(2);
  if (ListView_InsertItem(view_.list_, &row) < 0) return false;  // record still frees it
  record.release();  // the row owns it now; released on delete-item
  return true;
}

bool FolderView::FillList(IShellFolder* folder, PCIDLIST_ABSOLUTE list, bool useRoot) {
  if (!list_) return false;
  Stopwatch clock;
  FillTimings& timings = LastFillTimings();
  timings = {};
  FillRun run(*this);
  if (useRoot) {
    folder = rootFolder_.Get();
    list = root_.get();
  }
  if (!folder || !list) return false;
  ComPtr<IShellFolder> keepFolder(folder);  // a handler may navigate during the fill
  Pidl keepList = ClonePidl(list);
  if (!keepList) return false;
  list = keepList.get();
  SHCONTF flags = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS;
  if (!stored_.showProps || stored_.showHidden) flags |= SHCONTF_INCLUDEHIDDEN;
  timings.columns = clock.Lap();  // setting up counts with the columns
  ComPtr<IEnumIDList> entries;
  const HRESULT enumResult = folder->EnumObjects(OwnerWindow(host_), flags, &entries);
  if (FAILED(enumResult) || enumResult == S_FALSE || !entries) {
    DeleteAllItems();
    return false;
  }
  try {
    timings.enumerate = clock.Lap();
    run.SaveWidths();
    run.AddNameColumn(folder);
    run.AddDetailColumns();
    DeleteAllItems();
    showingMyComputer_ = IsSpecialFolder(list, CSIDL_DRIVES, OwnerWindow(host_));
    timings.columns += clock.Lap();
    std::vector<FillRun::Entry> found = run.Enumerate(folder, entries.Get());
    timings.enumerate += clock.Lap();

    // With item handlers each row is inserted as its events say and the list window
    // sorts the rows afterwards; without them the kept records are sorted first and
    // inserted in their final order, in one pass.
    const bool wantItems = events_.WantsItemEvents();
    const bool needsPath = run.NeedsPath();
    std::vector<RecordPtr> kept;
    if (!wantItems) kept.reserve(found.size());
    int index = 0, reserved = 0;
    for (auto& entry : found) {
      Pidl fq = CombinePidls(list, entry.list.get());
      if (!fq) continue;
      common::UniqueTaskMem path;  // the shell's own string, used without a copy
      if (needsPath && (entry.attributes & SFGAO_FILESYSTEM))
        path = ShellName(folder, entry.list.get(), SHGDN_FORPARSING);
      ItemPtr item;
      if (wantItems) {
        item = ItemCore::ForList(fq.get(), list_);
        bool cancel = false;
        events_.AddingItem(item, cancel);
        if (cancel) continue;
      }
      if (!run.Keep(entry.attributes, static_cast<const wchar_t*>(path.get()))) continue;
      RecordPtr record(NewItemRecord(fq.get(), entry.list.get(), entry.attributes, folder));
      if (!record) continue;
      fq.release();
      entry.list.release();
      if (!wantItems) {
        kept.push_back(std::move(record));
        continue;
      }
      if (index >= reserved) {  // room for the rows ahead, in doubling steps
        reserved = std::max(64, index * 2);
        ListView_SetItemCount(list_, reserved);
      }
      if (!run.InsertRow(index, record)) continue;
      ++index;
      events_.AddedItem(item);
    }
    timings.select = clock.Lap();
    if (wantItems) {
      Sort();
      timings.sort = clock.Lap();
    } else {
      SortRecords(kept);
      timings.sort = clock.Lap();
      ListView_SetItemCount(list_, static_cast<int>(kept.size()));
      for (auto& record : kept)
        if (run.InsertRow(index, record)) ++index;
      timings.insert = clock.Lap();
    }
    ListView_SetItemState(list_, 0, LVIS_FOCUSED, LVIS_FOCUSED);
    return true;
  } catch (const std::exception&) {
    ::MessageBoxW(host_, L"Run-time error 7: \nOut of memory", L"Foldrix", MB_ICONINFORMATION);
    return false;
  }
}

bool FolderView::Refresh() {
  const bool filled = FillList(currentFolder_.Get(), current_.get(), false);
  RedrawFrame();
  return filled;
}

}  // namespace foldrix
