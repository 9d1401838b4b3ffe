// The automation objects Item and ItemList over the engine's items.
#pragma once

#include "foldrix/com_base.h"
#include "foldrix/item.h"

namespace foldrix {

// A new Item object for an engine item (null item: null object).
HRESULT NewItemObject(const ItemPtr& item, ::Item** result);
HRESULT NewItemListObject(HWND list, bool selectedOnly, ::ItemList** result);

}  // namespace foldrix
