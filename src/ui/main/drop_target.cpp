#include "ui/main/drop_target.h"

#include <shellapi.h>
#include <shlwapi.h>

#include "ui/main/principale.h"

namespace ui {
namespace {

FORMATETC FileListFormat() { return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

}  // namespace

IFACEMETHODIMP ListDropTarget::QueryInterface(REFIID riid, void** object) {
  static const QITAB table[] = {
      QITABENT(ListDropTarget, IDropTarget),
      {nullptr, 0},
  };
  return ::QISearch(this, table, riid, object);
}

IFACEMETHODIMP_(ULONG) ListDropTarget::AddRef() { return ::InterlockedIncrement(&references_); }

IFACEMETHODIMP_(ULONG) ListDropTarget::Release() {
  const LONG count = ::InterlockedDecrement(&references_);
  if (count == 0) delete this;
  return count;
}

IFACEMETHODIMP ListDropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  FORMATETC format = FileListFormat();
  acceptable_ = data && data->QueryGetData(&format) == S_OK;
  *effect = acceptable_ ? DROPEFFECT_COPY : DROPEFFECT_NONE;
  return S_OK;
}

IFACEMETHODIMP ListDropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
  *effect = acceptable_ ? DROPEFFECT_COPY : DROPEFFECT_NONE;
  return S_OK;
}

IFACEMETHODIMP ListDropTarget::DragLeave() {
  acceptable_ = false;
  return S_OK;
}

IFACEMETHODIMP ListDropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  const std::vector<std::wstring> paths = DroppedPaths(data);
  *effect = paths.empty() ? DROPEFFECT_NONE : DROPEFFECT_COPY;
  acceptable_ = false;
  if (!paths.empty()) window_.MyList_OLEDragDrop(paths);
  return S_OK;
}

std::vector<std::wstring> ListDropTarget::DroppedPaths(IDataObject* data) {
  std::vector<std::wstring> paths;
  FORMATETC format = FileListFormat();
  STGMEDIUM medium{};
  if (!data || FAILED(data->GetData(&format, &medium))) return paths;
  if (auto drop = static_cast<HDROP>(::GlobalLock(medium.hGlobal))) {
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
      std::wstring path(::DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
      path.resize(::DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
      paths.push_back(path);
    }
    ::GlobalUnlock(medium.hGlobal);
  }
  ::ReleaseStgMedium(&medium);
  return paths;
}

}  // namespace ui
