// The current folder inside the root folder: Folder, RootFolder, StartFolder, Reset,
// going up and entering subfolders, with PathChanging before and PathChanged after.
#include "foldrix/dispids.h"
#include "foldrix/folder_view.h"
#include "foldrix/namespace.h"

namespace foldrix {

struct FolderView::Change {
  Pidl newList, oldList;
  bool hasParent = false;
  Pidl targetList;
  ComPtr<IShellFolder> targetFolder;
};

namespace {

bool CopyVariant(VARIANT& target, const VARIANT& source) {
  VARIANT copy;
  ::VariantInit(&copy);
  if (FAILED(::VariantCopyInd(&copy, const_cast<VARIANT*>(&source)))) return false;
  ::VariantClear(&target);
  target = copy;
  return true;
}

// An empty text, or no usable value at all.
bool IsEmptyValue(const FolderValue& value) {
  return value.kind == FolderValue::Kind::None ||
         (value.kind == FolderValue::Kind::Text && value.text.empty());
}

}  // namespace

// Raises PathChanging; unless cancelled the target becomes current, the list is filled
// and PathChanged follows. With restoreOnFailure a failed fill puts the old folder back.
bool FolderView::Navigate(Change& change, bool restoreOnFailure) {
  bool cancel = false;
  bool hasParent = change.hasParent;
  events_.PathChanging(ToAddress(change.newList.get()), ToAddress(change.oldList.get()), hasParent,
                       cancel);
  if (cancel) return false;
  Pidl previousList = std::move(current_);
  ComPtr<IShellFolder> previousFolder = currentFolder_;
  current_ = std::move(change.targetList);
  currentFolder_ = change.targetFolder;
  const bool filled = FillList(currentFolder_.Get(), current_.get(), false);
  if (!filled && restoreOnFailure) {
    current_ = std::move(previousList);
    currentFolder_ = previousFolder;
    return false;
  }
  hasParent = change.hasParent;
  events_.PathChanged(ToAddress(change.newList.get()), ToAddress(change.oldList.get()), hasParent);
  return true;
}

void FolderView::SetFolder(const VARIANT& value) {
  const FolderValue folder = ReadFolderValue(value);
  if (IsEmptyValue(folder) || stored_.dontChangeFolder) return;
  auto resolved = ResolveFolder(folder, OwnerWindow(host_));
  if (!resolved) return;
  const int inRoot = ComparePidls(root_.get(), resolved->list.get());
  if (inRoot != 0 && inRoot != 1) return;
  Change change;
  change.newList = ClonePidl(resolved->list.get());
  change.oldList = ClonePidl(current_.get());
  change.hasParent = IdCount(resolved->list.get()) - IdCount(root_.get()) > 0;
  change.targetList = std::move(resolved->list);
  change.targetFolder = resolved->folder;
  Navigate(change, false);
  RedrawFrame();
}

void FolderView::SetStartFolder(const VARIANT& value) {
  const FolderValue folder = ReadFolderValue(value);
  if (IsEmptyValue(folder)) return;
  if (folder.kind == FolderValue::Kind::Text && folder.text == FolderValueText(startValue_)) return;
  auto resolved = ResolveFolder(folder, OwnerWindow(host_));
  if (!resolved) return;
  const int inRoot = ComparePidls(root_.get(), resolved->list.get());
  if (inRoot != 0 && inRoot != 1) return;
  const bool containsOld = ComparePidls(resolved->list.get(), start_.get()) == 1;
  start_ = std::move(resolved->list);
  CopyVariant(startValue_, value);
  if (!containsOld) events_.PropertyChanged(kDispStartFolder);
}

void FolderView::ReplaceRoot(Pidl list, ComPtr<IShellFolder> folder) {
  root_ = std::move(list);
  rootFolder_ = std::move(folder);
}

void FolderView::SetRootFolder(const VARIANT& value) {
  const FolderValue folder = ReadFolderValue(value);
  if (IsEmptyValue(folder)) return;
  if (folder.kind == FolderValue::Kind::Text && folder.text == FolderValueText(rootValue_)) return;
  auto resolved = ResolveFolder(folder, OwnerWindow(host_));
  if (!resolved) return;
  const int cmpCurrent = ComparePidls(resolved->list.get(), current_.get());
  const int cmpOld = ComparePidls(root_.get(), resolved->list.get());
  if (cmpOld != 0) {
    if (!events_.RunMode() || !shown_) {
      current_ = ClonePidl(resolved->list.get());
      currentFolder_ = resolved->folder;
      ReplaceRoot(std::move(resolved->list), resolved->folder);
      if (shown_) Reset(true);
      events_.PropertyChanged(kDispRootFolder);
    } else if (cmpCurrent != 0 && cmpCurrent != 1) {
      Pidl newList = ClonePidl(resolved->list.get());
      Pidl oldList = ClonePidl(current_.get());
      bool hasParent = false, cancel = false;
      events_.PathChanging(ToAddress(newList.get()), ToAddress(oldList.get()), hasParent, cancel);
      if (cancel) return;
      ReplaceRoot(std::move(resolved->list), resolved->folder);
      Reset(true);
      hasParent = false;
      events_.PathChanged(ToAddress(newList.get()), ToAddress(oldList.get()), hasParent);
    } else {
      ReplaceRoot(std::move(resolved->list), resolved->folder);
    }
    const int cmpStart = ComparePidls(root_.get(), start_.get());
    if (shown_ && cmpStart != 0 && cmpStart != 1) {
      VARIANT same;
      ::VariantInit(&same);
      if (CopyVariant(same, value)) {
        ::VariantClear(&startValue_);  // let the equal value through
        SetStartFolder(same);
      }
      ::VariantClear(&same);
    }
  }
  CopyVariant(rootValue_, value);
}

bool FolderView::Reset(bool toRoot) {
  PCIDLIST_ABSOLUTE target = toRoot ? root_.get() : start_.get();
  if (ComparePidls(current_.get(), target) == 0) {
    FillList(currentFolder_.Get(), current_.get(), false);
    return true;
  }
  if (stored_.dontChangeFolder) return false;
  Change change;
  change.newList = ClonePidl(target);
  change.oldList = ClonePidl(current_.get());
  change.hasParent = !toRoot && ComparePidls(root_.get(), start_.get()) == 1;
  change.targetList = ClonePidl(target);
  change.targetFolder = (toRoot || ComparePidls(root_.get(), start_.get()) == 0)
                            ? rootFolder_
                            : BindFolder(start_.get());
  bool cancel = false;
  bool hasParent = change.hasParent;
  events_.PathChanging(ToAddress(change.newList.get()), ToAddress(change.oldList.get()), hasParent,
                       cancel);
  if (cancel) return false;
  current_ = std::move(change.targetList);
  currentFolder_ = change.targetFolder;
  FillList(currentFolder_.Get(), current_.get(), false);
  hasParent = change.hasParent;
  events_.PathChanged(ToAddress(change.newList.get()), ToAddress(change.oldList.get()), hasParent);
  return true;
}

bool FolderView::GoUp(long levels) {
  if (stored_.dontChangeFolder) return false;
  return GoUpLevels(levels);
}

bool FolderView::GoUpLevels(long levels) {
  long n = levels < 0 ? -levels : levels;
  if (n == 0) n = 1;
  const long depth = IdCount(current_.get()) - IdCount(root_.get());
  Change change;
  change.oldList = ClonePidl(current_.get());
  if (depth == n) {
    change.newList = ClonePidl(root_.get());
    change.targetList = ClonePidl(root_.get());
    change.targetFolder = rootFolder_;
    change.hasParent = false;
    return Navigate(change, true);
  }
  if (depth - n < 1) return false;
  Pidl target = ClonePidl(current_.get());
  for (long i = 0; i < n && target; ++i) {
    Pidl parent;
    ChildPidl last;
    if (!ParentAndLast(target.get(), parent, last)) return false;
    target = std::move(parent);
  }
  if (!target) return false;
  change.targetFolder = BindFolder(target.get());
  if (!change.targetFolder) return false;
  change.newList = ClonePidl(target.get());
  change.targetList = std::move(target);
  change.hasParent = true;
  return Navigate(change, true);
}

bool FolderView::EnterSubfolder(int row) {
  if (stored_.dontChangeFolder || !currentFolder_) return false;
  ItemRecord* record = RecordOf(row);
  if (!record) return false;
  ComPtr<IShellFolder> folder;
  if (FAILED(currentFolder_->BindToObject(record->pidlRel, nullptr, IID_PPV_ARGS(&folder))) ||
      !folder)
    return false;
  Change change;
  change.oldList = ClonePidl(current_.get());
  change.newList = ClonePidl(record->pidlFQ);
  change.targetList = ClonePidl(record->pidlFQ);
  change.targetFolder = folder;
  change.hasParent = true;
  return Navigate(change, true);
}

}  // namespace foldrix
