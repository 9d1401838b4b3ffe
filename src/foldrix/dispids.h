// Dispatch identifiers of the control's members, shared by the engine and the COM layer.
#pragma once

#include <windows.h>

namespace foldrix {

constexpr DISPID kDispAllowColumnReorder = 0x6803FE2B;
constexpr DISPID kDispAutoUpdate = 0x6803FE2A;
constexpr DISPID kDispCheckBoxes = 0x6803FE29;
constexpr DISPID kDispComctlVer = 0x6803FE28;
constexpr DISPID kDispContextMenu = 0x6803FE27;
constexpr DISPID kDispDontChangeFolder = 0x6803FE26;
constexpr DISPID kDispFilter = 0x6803FE25;
constexpr DISPID kDispFlatHeader = 0x6803FE24;
constexpr DISPID kDispFlatScrollBar = 0x6803FE23;
constexpr DISPID kDispFolder = 0x6803FE22;
constexpr DISPID kDispFullRowSelect = 0x6803FE21;
constexpr DISPID kDispGridLines = 0x6803FE20;
constexpr DISPID kDispHideSelection = 0x6803FE1F;
constexpr DISPID kDispHotTracking = 0x6803FE1E;
constexpr DISPID kDispHoverSelection = 0x6803FE1D;
constexpr DISPID kDispKeyHandling = 0x6803FE1C;
constexpr DISPID kDispLabelEdit = 0x6803FE1B;
constexpr DISPID kDispLabelWrap = 0x6803FE1A;
constexpr DISPID kDispListItems = 0x6803FE19;
constexpr DISPID kDispMultiSelect = 0x6803FE18;
constexpr DISPID kDispRootFolder = 0x6803FE17;
constexpr DISPID kDispSelectedItems = 0x6803FE16;
constexpr DISPID kDispShellExecute = 0x6803FE15;
constexpr DISPID kDispShellVer = 0x6803FE14;
constexpr DISPID kDispShowFiles = 0x6803FE13;
constexpr DISPID kDispShowFolders = 0x6803FE12;
constexpr DISPID kDispShowHidden = 0x6803FE11;
constexpr DISPID kDispShowProps = 0x6803FE10;
constexpr DISPID kDispShowSystem = 0x6803FE0F;
constexpr DISPID kDispShowVirtualFolders = 0x6803FE0E;
constexpr DISPID kDispStartFolder = 0x6803FE0D;
constexpr DISPID kDispView = 0x6803FE0C;
constexpr DISPID kDispDragDrop = 0x6803FE62;

}  // namespace foldrix
