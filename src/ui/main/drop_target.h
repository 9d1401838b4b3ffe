// Accepts folders dragged from the shell onto the list of logo sets.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <string>
#include <vector>

namespace ui {

class Principale;

class ListDropTarget final : public IDropTarget {
 public:
  explicit ListDropTarget(Principale& window) : window_(window) {}

  // IUnknown
  IFACEMETHODIMP QueryInterface(REFIID riid, void** object) override;
  IFACEMETHODIMP_(ULONG) AddRef() override;
  IFACEMETHODIMP_(ULONG) Release() override;

  // IDropTarget
  IFACEMETHODIMP DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;
  IFACEMETHODIMP DragOver(DWORD keys, POINTL point, DWORD* effect) override;
  IFACEMETHODIMP DragLeave() override;
  IFACEMETHODIMP Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;

  // The paths of a shell file list (clipboard format CF_HDROP); empty for other data.
  static std::vector<std::wstring> DroppedPaths(IDataObject* data);

 private:
  ~ListDropTarget() = default;

  Principale& window_;
  LONG references_ = 1;
  bool acceptable_ = false;
};

}  // namespace ui
