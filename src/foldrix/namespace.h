// Resolving folder values (names, paths, numbers, list addresses) and asking the shell
// about items: names, paths, attributes, icons, component versions.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <ocidl.h>
#include <oleauto.h>

#include <optional>
#include <string>

#include "foldrix/pidl.h"

namespace foldrix {

// What a folder value given to the control stands for.
struct FolderValue {
  enum class Kind { None, Text, Number, Address } kind = Kind::None;
  std::wstring text;
  int number = 0;       // a special folder number, 0-255
  LONG_PTR address = 0; // an identifier list's address
};
// Texts are names or paths; whole numbers (of any integer type, or a double with an
// integral value) from 0 to 255 are folder numbers, others list addresses; an object
// with a pidlFQ member gives that list's address.
FolderValue ReadFolderValue(const VARIANT& value);
// The value as text ("" for objects and empty values), as the folder setters compare.
std::wstring FolderValueText(const VARIANT& value);

// The special folder number of a name (any letter case), or -1.
int SpecialFolderNumber(std::wstring_view name);
// The list of a special folder name or number; nullopt when the text is no special
// name; an empty list when the shell knows no such folder.
std::optional<Pidl> SpecialFolderFromValue(const FolderValue& value, HWND owner);
Pidl SpecialFolderList(int number, HWND owner);
bool IsSpecialFolder(PCIDLIST_ABSOLUTE list, int number, HWND owner);

// True for an existing directory (a drive like "C:" accepted as its root with fixRoot);
// adjusted receives the text the shell can make a list from.
bool IsFolderPath(const std::wstring& text, bool fixRoot, std::wstring* adjusted = nullptr);

struct ResolvedFolder {
  Pidl list;
  ComPtr<IShellFolder> folder;
};
// The list and folder object of a folder value; nothing when it names no folder.
std::optional<ResolvedFolder> ResolveFolder(const FolderValue& value, HWND owner);

std::wstring DisplayNameOf(PCIDLIST_ABSOLUTE list);
std::wstring PathOf(PCIDLIST_ABSOLUTE list);
std::wstring NameInFolder(IShellFolder* folder, PCUITEMID_CHILD item, SHGDNF flags);
// The same name as the shell hands it out (a wide string from the task allocator), for
// callers that need no copy; empty when there is none.
common::UniqueTaskMem ShellName(IShellFolder* folder, PCUITEMID_CHILD item, SHGDNF flags);
ULONG AttributesOf(PCIDLIST_ABSOLUTE list, ULONG mask);
HIMAGELIST SystemImageList(bool small);
int SystemIconIndex(PCIDLIST_ABSOLUTE list, bool open = false);

enum IconStyle { kNormalIcon = 0, kOpenIcon = 1, kSelected = 2, kShareOverlay = 4, kShortcutOverlay = 8 };
// The item's system icon as a picture object that owns the icon; null for an invalid list.
ComPtr<IPictureDisp> IconPicture(PCIDLIST_ABSOLUTE list, int style, bool small);

// major + minor / 100 of a system DLL's version resource; 0 without one.
float ComponentVersion(const wchar_t* dll);

// The top-level ancestor of a window: the owner of shell calls.
HWND OwnerWindow(HWND window);

}  // namespace foldrix
