// Texts and icons on demand, sorting, and finding a row by its identifier list.
#include "foldrix/folder_view.h"

#include <shellapi.h>

#include <algorithm>

#include "foldrix/namespace.h"

namespace foldrix {

std::wstring FolderView::DetailText(const ItemRecord& record, int column) const {
  if (columns_.details.available()) {
    if (column < 1 || column >= static_cast<int>(columns_.shellColumn.size())) return {};
    SHELLDETAILS details{};
    if (!columns_.details.Get(record.pidlRel, columns_.shellColumn[column], &details)) return {};
    return StrRetText(details.str, record.pidlRel);
  }
  const bool folder = (record.attributes & SFGAO_FOLDER) != 0;
  if (column == columns_.sizeColumn) {
    if (folder) return {};
    return FileSizeText(PathOf(record.pidlFQ));
  }
  if (column == columns_.typeColumn) {
    const std::wstring path = (record.attributes & SFGAO_FILESYSTEM) ? PathOf(record.pidlFQ) : L"";
    if (path.empty()) return ShellString(9402, L"System Folder");
    SHFILEINFOW info{};
    if (!::SHGetFileInfoW(path.c_str(), 0, &info, sizeof(info), SHGFI_TYPENAME)) return {};
    return info.szTypeName;
  }
  if (column == columns_.modifiedColumn) {
    const std::wstring path = PathOf(record.pidlFQ);
    if (path.size() <= 3 || path.ends_with(L":\\")) return {};
    return ModifiedText(path);
  }
  return {};
}

void FolderView::OnGetDispInfo(NMLVDISPINFOW& info) {
  LVITEMW& item = info.item;
  if (item.iSubItem != 0) return;
  auto record = reinterpret_cast<ItemRecord*>(item.lParam);
  if (!record) record = RecordOf(item.iItem);
  if (!record) return;
  if (item.mask & LVIF_IMAGE) {
    // Through the parent folder: an absolute list would be bound from the desktop again
    // for every row.
    item.iImage = SHMapPIDLToSystemImageListIndex(record->isfParent, record->pidlRel, nullptr);
    if (item.iImage < 0) item.iImage = SystemIconIndex(record->pidlFQ);
    for (int column = 1; column <= columns_.lastColumn; ++column) {
      std::wstring text = DetailText(*record, column);
      ListView_SetItemText(list_, item.iItem, column, text.data());
    }
  }
  if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
    const std::wstring name = NameInFolder(record->isfParent, record->pidlRel, SHGDN_NORMAL);
    const size_t length = std::min<size_t>(name.size(), static_cast<size_t>(item.cchTextMax - 1));
    name.copy(item.pszText, length);
    item.pszText[length] = L'\0';
  }
  item.mask |= LVIF_DI_SETITEM;
}

namespace {
struct SortContext {
  long key;
  UINT column;
};

// The folder's own order for the sort column, reversed for a negative key.
int CompareRecords(const ItemRecord* a, const ItemRecord* b, const SortContext& sort) {
  if (!a || !b || !a->isfParent) return 0;
  const HRESULT hr = a->isfParent->CompareIDs(sort.column, a->pidlRel, b->pidlRel);
  if (FAILED(hr)) return 0;
  const int code = static_cast<short>(HRESULT_CODE(hr));
  return sort.key < 0 ? -code : code;
}

int CALLBACK CompareRows(LPARAM first, LPARAM second, LPARAM context) {
  return CompareRecords(reinterpret_cast<ItemRecord*>(first), reinterpret_cast<ItemRecord*>(second),
                        *reinterpret_cast<const SortContext*>(context));
}

SortContext ContextOf(long key, const ListColumns& columns) {
  const long column = key == kFirstColumnKey ? 0 : (key < 0 ? -key : key);
  SortContext context{key, static_cast<UINT>(column)};
  if (columns.details.available() && column < static_cast<long>(columns.shellColumn.size()))
    context.column = columns.shellColumn[column];
  return context;
}
}  // namespace

void FolderView::Sort() {
  if (!list_) return;
  SortContext context = ContextOf(sortKey_, columns_);
  ListView_SortItems(list_, CompareRows, reinterpret_cast<LPARAM>(&context));
}

void FolderView::SortRecords(std::vector<RecordPtr>& records) const {
  const SortContext context = ContextOf(sortKey_, columns_);
  // A merge sort: fewer comparisons, and safe with a folder whose comparison is not
  // a strict order.
  std::stable_sort(records.begin(), records.end(), [&](const RecordPtr& a, const RecordPtr& b) {
    return CompareRecords(a.get(), b.get(), context) < 0;
  });
}

void FolderView::ReSort(bool resetInfo) {
  if (resetInfo) sortKey_ = kFirstColumnKey;
  Sort();
}

void FolderView::ColumnClick(int column) {
  const long key = column == 0 ? kFirstColumnKey : column;
  sortKey_ = key == sortKey_ ? -key : key;
  Sort();
}

int FolderView::FindItemByPIDL(PCIDLIST_ABSOLUTE list) const {
  if (!list_ || !IsValidList(list)) return -1;
  const std::wstring name = DisplayNameOf(list);
  for (int index = 0;; ++index) {
    wchar_t text[261] = {};
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = index;
    item.pszText = text;
    item.cchTextMax = 260;
    if (!ListView_GetItem(list_, &item)) return -1;
    auto record = reinterpret_cast<ItemRecord*>(item.lParam);
    if (name == text || (record && ComparePidls(record->pidlFQ, list) == 0)) return index;
  }
}

}  // namespace foldrix
