// Life of the engine and its list window: creation, subclassing, check boxes, styles.
#include "foldrix/folder_view.h"

#include "foldrix/namespace.h"

namespace foldrix {
namespace {

constexpr wchar_t kOldProcProperty[] = L"OldWndProc";

LRESULT CALLBACK HostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ListProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

FolderView* ViewOf(HWND window) {
  return reinterpret_cast<FolderView*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK HostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  FolderView* view = ViewOf(window);
  if (view && view->host() == window) return view->HostMessage(message, wParam, lParam);
  auto old = reinterpret_cast<WNDPROC>(::GetPropW(window, kOldProcProperty));
  return old ? ::CallWindowProcW(old, window, message, wParam, lParam)
             : ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK ListProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  FolderView* view = ViewOf(window);
  if (view && view->list() == window) return view->ListMessage(message, wParam, lParam);
  auto old = reinterpret_cast<WNDPROC>(::GetPropW(window, kOldProcProperty));
  return old ? ::CallWindowProcW(old, window, message, wParam, lParam)
             : ::DefWindowProcW(window, message, wParam, lParam);
}

HICON DrawnCheckIcon(bool checked) {
  HDC screen = ::GetDC(nullptr);
  HDC dc = ::CreateCompatibleDC(screen);
  HBITMAP colour = ::CreateCompatibleBitmap(screen, 16, 16);
  HBITMAP mask = ::CreateBitmap(16, 16, 1, 1, nullptr);
  HGDIOBJ old = ::SelectObject(dc, colour);
  RECT box{0, 0, 16, 16};
  ::FillRect(dc, &box, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  RECT inner{1, 1, 14, 14};
  ::DrawFrameControl(dc, &inner, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (checked ? DFCS_CHECKED : 0));
  ::SelectObject(dc, mask);
  ::PatBlt(dc, 0, 0, 16, 16, BLACKNESS);
  ::SelectObject(dc, old);
  ICONINFO info{TRUE, 0, 0, mask, colour};
  HICON icon = ::CreateIconIndirect(&info);
  ::DeleteObject(colour);
  ::DeleteObject(mask);
  ::DeleteDC(dc);
  ::ReleaseDC(nullptr, screen);
  return icon;
}

}  // namespace

ItemRecord* NewItemRecord(PIDLIST_ABSOLUTE fq, PITEMID_CHILD rel, ULONG attributes,
                          IShellFolder* parent) {
  auto record = static_cast<ItemRecord*>(::CoTaskMemAlloc(sizeof(ItemRecord)));
  if (!record) return nullptr;
  *record = ItemRecord{fq, rel, attributes, parent};
  if (parent) parent->AddRef();
  ::InterlockedIncrement(&Counts().itemRecords);
  return record;
}

void FreeItemRecord(ItemRecord* record) {
  if (!record) return;
  if (record->isfParent) record->isfParent->Release();
  FreeList(record->pidlFQ);
  FreeList(record->pidlRel);
  ::CoTaskMemFree(record);
  ::InterlockedDecrement(&Counts().itemRecords);
}

FillTimings& LastFillTimings() {
  static FillTimings timings{};
  return timings;
}

FolderView* FolderViewOf(HWND list) {
  FolderView* view = list ? ViewOf(list) : nullptr;
  return view && view->list() == list ? view : nullptr;
}

FolderView::FolderView(FolderViewEvents& events, HICON unchecked, HICON checked)
    : events_(events) {
  ownStateImages_ = MakeStateImages(unchecked, checked);
  DesktopInfo desktop = DesktopFolder();
  rootFolder_ = desktop.folder;
  currentFolder_ = desktop.folder;
  root_ = std::move(desktop.list);
  start_ = ClonePidl(root_.get());
  current_ = ClonePidl(root_.get());
  rootValue_.vt = VT_BSTR;
  rootValue_.bstrVal = ::SysAllocString(L"Desktop");
  startValue_.vt = VT_BSTR;
  startValue_.bstrVal = ::SysAllocString(L"Desktop");
}

FolderView::~FolderView() {
  Destroy();
  if (ownStateImages_) ::ImageList_Destroy(ownStateImages_);
  if (setAsideStateImages_ && setAsideStateImages_ != ownStateImages_)
    ::ImageList_Destroy(setAsideStateImages_);
  ::VariantClear(&rootValue_);
  ::VariantClear(&startValue_);
}

HIMAGELIST FolderView::MakeStateImages(HICON unchecked, HICON checked) {
  HIMAGELIST images = ::ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 3, 6);
  if (!images) return nullptr;
  HICON drawnUnchecked = unchecked ? nullptr : DrawnCheckIcon(false);
  HICON drawnChecked = checked ? nullptr : DrawnCheckIcon(true);
  HICON off = unchecked ? unchecked : drawnUnchecked;
  HICON on = checked ? checked : drawnChecked;
  ::ImageList_AddIcon(images, off);
  ::ImageList_AddIcon(images, on);
  ::ImageList_AddIcon(images, off);
  if (drawnUnchecked) ::DestroyIcon(drawnUnchecked);
  if (drawnChecked) ::DestroyIcon(drawnChecked);
  return images;
}

bool FolderView::Create(HWND host) {
  if (list_) return true;
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
  ::InitCommonControlsEx(&controls);
  host_ = host;
  RECT client{};
  ::GetClientRect(host, &client);
  list_ = ::CreateWindowExW(
      WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"Marrowby Foldrix",
      WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_EDITLABELS | LVS_AUTOARRANGE |
          LVS_SHAREIMAGELISTS | LVS_SHOWSELALWAYS | LVS_ICON,
      0, 0, client.right, client.bottom, host, reinterpret_cast<HMENU>(kListId),
      reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(host, GWLP_HINSTANCE)), nullptr);
  if (!list_) {
    host_ = nullptr;
    return false;
  }
  ListView_SetImageList(list_, SystemImageList(true), LVSIL_SMALL);
  ListView_SetImageList(list_, SystemImageList(false), LVSIL_NORMAL);
  Subclass(list_, ListProcedure);
  Subclass(host_, HostProcedure);
  ApplyColors();
  return true;
}

void FolderView::Destroy() {
  if (!list_) return;
  HWND list = list_;
  DeleteAllItems();
  Unsubclass(list);
  Unsubclass(host_);
  list_ = nullptr;
  host_ = nullptr;
  ::DestroyWindow(list);
}

void FolderView::Subclass(HWND window, WNDPROC procedure) {
  ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  auto old = ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
  ::SetPropW(window, kOldProcProperty, reinterpret_cast<HANDLE>(old));
  (window == list_ ? oldListProc_ : oldHostProc_) = reinterpret_cast<WNDPROC>(old);
}

void FolderView::Unsubclass(HWND window) {
  if (!window || !::IsWindow(window)) return;
  auto old = ::GetPropW(window, kOldProcProperty);
  if (old) ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
  ::RemovePropW(window, kOldProcProperty);
  ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
}

LRESULT FolderView::CallOld(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const {
  WNDPROC old = window == list_ ? oldListProc_ : window == host_ ? oldHostProc_ : nullptr;
  if (!old) old = reinterpret_cast<WNDPROC>(::GetPropW(window, kOldProcProperty));
  return old ? ::CallWindowProcW(old, window, message, wParam, lParam)
             : ::DefWindowProcW(window, message, wParam, lParam);
}

void FolderView::Show() {
  if (!shown_) {
    Reset(!events_.RunMode());
    if (headerMissing_) SetFlatHeader(flatHeader_);
  }
  shown_ = true;
}

void FolderView::SizeToHost() {
  if (!list_) return;
  RECT client{};
  ::GetClientRect(host_, &client);
  ::MoveWindow(list_, 0, 0, client.right, client.bottom, TRUE);
}

void FolderView::RedrawFrame() {
  if (list_)
    ::SetWindowPos(list_, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

ItemRecord* FolderView::RecordOf(int row) const {
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  if (!list_ || row < 0 || !ListView_GetItem(list_, &item)) return nullptr;
  return reinterpret_cast<ItemRecord*>(item.lParam);
}

void FolderView::DeleteAllItems() {
  if (list_) ListView_DeleteAllItems(list_);
}

void FolderView::SetAllStateImages(int image) {
  LVITEMW state{};
  state.stateMask = LVIS_STATEIMAGEMASK;
  state.state = INDEXTOSTATEIMAGEMASK(image);
  ::SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
}

void FolderView::SetCheckBoxes(int mode) {
  if (!list_) {
    stored_.checkBoxes = mode;
    return;
  }
  checkBoxGuard_ = true;
  if (mode == kCheckBoxes) {
    if (stored_.checkBoxes == kNoCheckBoxes) SetAllStateImages(1);
    if (!setAsideStateImages_) setAsideStateImages_ = ownStateImages_;
    ListView_SetImageList(list_, setAsideStateImages_, LVSIL_STATE);
    setAsideStateImages_ = nullptr;
  } else {
    if (mode == kNoCheckBoxes) SetAllStateImages(1);
    HIMAGELIST current = ListView_SetImageList(list_, nullptr, LVSIL_STATE);
    if (current) setAsideStateImages_ = current;
  }
  stored_.checkBoxes = mode;
  checkBoxGuard_ = false;
}

bool FolderView::OnSetStateImageList(HIMAGELIST images) {
  // Someone else hands the list a state image list: keep it aside unless boxes are on.
  if (images) setAsideStateImages_ = images;
  return stored_.checkBoxes != kCheckBoxes;  // true: swallow the message
}

void FolderView::ToggleCheck(int row) {
  const UINT state = ListView_GetItemState(list_, row, LVIS_STATEIMAGEMASK) >> 12;
  ListView_SetItemState(list_, row, INDEXTOSTATEIMAGEMASK(state == 1 ? 2 : 1),
                        LVIS_STATEIMAGEMASK);
  RedrawFrame();
}

namespace {
COLORREF ToColorRef(OLE_COLOR color) {
  if (color & 0x80000000) return ::GetSysColor(static_cast<int>(color & 0xFF));
  return static_cast<COLORREF>(color);
}
}  // namespace

void FolderView::ApplyColors() {
  if (!list_) return;
  ListView_SetBkColor(list_, ToColorRef(stored_.backColor));
  ListView_SetTextBkColor(list_, ToColorRef(stored_.backColor));
  ListView_SetTextColor(list_, ToColorRef(stored_.foreColor));
  if (shown_) ::InvalidateRect(list_, nullptr, TRUE);
}

void FolderView::SetBackColor(OLE_COLOR color) {
  stored_.backColor = color;
  ApplyColors();
}

void FolderView::SetForeColor(OLE_COLOR color) {
  stored_.foreColor = color;
  ApplyColors();
}

DWORD FolderView::Style() const {
  return list_ ? static_cast<DWORD>(::GetWindowLongPtrW(list_, GWL_STYLE)) : 0;
}

void FolderView::SetStyleBits(DWORD mask, DWORD bits) {
  if (!list_) return;
  const DWORD style = (Style() & ~mask) | (bits & mask);
  ::SetWindowLongPtrW(list_, GWL_STYLE, static_cast<LONG_PTR>(style));
  RedrawFrame();
}

DWORD FolderView::ExStyle() const {
  return list_ ? static_cast<DWORD>(::GetWindowLongPtrW(list_, GWL_EXSTYLE)) : 0;
}

void FolderView::SetExStyleBits(DWORD mask, DWORD bits) {
  if (!list_) return;
  const DWORD style = (ExStyle() & ~mask) | (bits & mask);
  ::SetWindowLongPtrW(list_, GWL_EXSTYLE, static_cast<LONG_PTR>(style));
  RedrawFrame();
}

DWORD FolderView::ListExStyle() const {
  return list_ ? ListView_GetExtendedListViewStyle(list_) : 0;
}

void FolderView::SetListExStyleBits(DWORD mask, DWORD bits) {
  if (list_) ListView_SetExtendedListViewStyleEx(list_, mask, bits);
}

bool FolderView::FlatHeader() const {
  HWND header = list_ ? ListView_GetHeader(list_) : nullptr;
  if (!header) return true;
  return (::GetWindowLongPtrW(header, GWL_STYLE) & HDS_BUTTONS) == 0;
}

void FolderView::SetFlatHeader(bool flat) {
  HWND header = list_ ? ListView_GetHeader(list_) : nullptr;
  headerMissing_ = header == nullptr;
  if (header) {
    LONG_PTR style = ::GetWindowLongPtrW(header, GWL_STYLE);
    style = flat ? (style & ~HDS_BUTTONS) : (style | HDS_BUTTONS);
    ::SetWindowLongPtrW(header, GWL_STYLE, style);
  }
  flatHeader_ = flat;
  RedrawFrame();
}

namespace {
constexpr DWORD kViewStyles[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
}

void FolderView::SetView(int view) {
  SetStyleBits(LVS_TYPEMASK, kViewStyles[view & 3]);
  if (view == 3 && headerMissing_) SetFlatHeader(flatHeader_);
}

int FolderView::View() const {
  switch (Style() & LVS_TYPEMASK) {
    case LVS_SMALLICON: return 1;
    case LVS_LIST: return 2;
    case LVS_REPORT: return 3;
    default: return 0;
  }
}

}  // namespace foldrix
