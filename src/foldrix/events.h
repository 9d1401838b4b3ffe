// What the list engine tells its owner (the control raises these as automation events).
#pragma once

#include <windows.h>

#include <memory>
#include <string>

namespace foldrix {

class ItemCore;
using ItemPtr = std::shared_ptr<ItemCore>;

class FolderViewEvents {
 public:
  virtual ~FolderViewEvents() = default;
  // False when nobody listens: the fill then makes no Item objects.
  virtual bool WantsItemEvents() { return true; }
  virtual void AddingColumn(long& /*index*/, std::wstring& /*title*/, bool& /*usePreviousWidth*/, bool& /*cancel*/) {}
  virtual void AddingItem(const ItemPtr& /*item*/, bool& /*cancel*/) {}
  virtual void AddedItem(const ItemPtr& /*item*/) {}
  virtual void PathChanging(LONG_PTR /*newPidl*/, LONG_PTR /*oldPidl*/, bool& /*hasParent*/, bool& /*cancel*/) {}
  virtual void PathChanged(LONG_PTR /*newPidl*/, LONG_PTR /*oldPidl*/, bool& /*hasParent*/) {}
  virtual void ItemSelected(const ItemPtr& /*item*/) {}
  virtual void ItemActivate(const ItemPtr& /*item*/) {}
  virtual void ItemClicked(const ItemPtr& /*item*/, long& /*location*/) {}
  virtual void EnumContentsProc(LONG_PTR /*absolute*/, LONG_PTR /*relative*/, bool& /*dontFreePidls*/, bool& /*continueEnum*/) {}
  virtual void Click() {}
  virtual void DblClick() {}
  virtual void KeyDown(short& /*keyCode*/, short& /*shift*/) {}
  virtual void KeyUp(short& /*keyCode*/, short& /*shift*/) {}
  virtual void KeyPress(short& /*keyAscii*/) {}
  virtual void MouseDown(short& /*button*/, short& /*shift*/, float& /*x*/, float& /*y*/) {}
  virtual void MouseMove(short& /*button*/, short& /*shift*/, float& /*x*/, float& /*y*/) {}
  virtual void HScroll() {}
  virtual void VScroll() {}
  // A property changed (the container marks its form as modified).
  virtual void PropertyChanged(DISPID /*id*/) {}
  // The list window gained or lost the keyboard focus.
  virtual void FocusChanged(bool /*gained*/) {}
  // The container's ambient UserMode; True without a container.
  virtual bool RunMode() { return true; }
};

}  // namespace foldrix
