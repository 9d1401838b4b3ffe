#include "foldrix/namespace.h"

#include <shellapi.h>
#include <olectl.h>
#include <shlwapi.h>

#include <vector>

#include "common/text.h"

namespace foldrix {
namespace {

struct SpecialName {
  const wchar_t* name;
  int number;
};

constexpr SpecialName kSpecialNames[] = {
    {L"desktop", 0}, {L"internet", 1}, {L"programs", 2}, {L"controlpanel", 3},
    {L"control panel", 3}, {L"controls", 3}, {L"printers", 4}, {L"documents", 5},
    {L"mydocuments", 5}, {L"my documents", 5}, {L"mydoc", 5}, {L"favorites", 6},
    {L"startup", 7}, {L"recent", 8}, {L"sendto", 9}, {L"send to", 9}, {L"recycled", 10},
    {L"recyclebin", 10}, {L"recycle bin", 10}, {L"startmenu", 11}, {L"start menu", 11},
    {L"desktopdir", 16}, {L"mycomputer", 17}, {L"my computer", 17}, {L"mycomp", 17},
    {L"network", 18}, {L"network neighborhood", 18}, {L"nethood", 19}, {L"fonts", 20},
    {L"shellnew", 21}, {L"templates", 21}, {L"commonstartmenu", 22}, {L"commonprograms", 23},
    {L"commonstartup", 24}, {L"commondesktopdir", 25}, {L"appdata", 26}, {L"printhood", 27},
    {L"altstartup", 29}, {L"commonaltstartup", 30}, {L"commonfavorites", 31},
    {L"internetcache", 32}, {L"internet cache", 32}, {L"cookies", 33}, {L"history", 34},
};

std::wstring Lower(std::wstring_view text) {
  std::wstring result(text);
  if (!result.empty()) ::CharLowerBuffW(result.data(), static_cast<DWORD>(result.size()));
  return result;
}

// The system, temporary or Windows folder path for the names that stand for them.
std::optional<std::wstring> SystemPathOf(const std::wstring& lower) {
  std::vector<wchar_t> buffer(MAX_PATH + 1);
  UINT length = 0;
  if (lower == L"system")
    length = ::GetSystemDirectoryW(buffer.data(), MAX_PATH);
  else if (lower == L"temp")
    length = ::GetTempPathW(MAX_PATH, buffer.data());
  else if (lower == L"windows")
    length = ::GetWindowsDirectoryW(buffer.data(), MAX_PATH);
  else
    return std::nullopt;
  if (length == 0 || length > MAX_PATH) return std::wstring();
  return common::CutAtNul(std::wstring_view(buffer.data(), length));
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

int SpecialFolderNumber(std::wstring_view name) {
  const std::wstring lower = Lower(name);
  for (const auto& entry : kSpecialNames)
    if (entry.number >= 0 && lower == entry.name) return entry.number;
  return -1;
}

Pidl SpecialFolderList(int number, HWND owner) {
  // The shell reads only the low byte of the number: never hand it anything else.
  if (number < 0 || number > 255) return {};
  Pidl list;
  if (FAILED(::SHGetFolderLocation(owner, number, nullptr, 0, list.put()))) list.reset();
  return list;
}

bool IsSpecialFolder(PCIDLIST_ABSOLUTE list, int number, HWND owner) {
  Pidl special = SpecialFolderList(number, owner);
  return special && ComparePidls(list, special.get()) == 0;
}

std::optional<Pidl> SpecialFolderFromValue(const FolderValue& value, HWND owner) {
  if (value.kind == FolderValue::Kind::Number) return SpecialFolderList(value.number, owner);
  if (value.kind != FolderValue::Kind::Text) return std::nullopt;
  const std::wstring lower = Lower(value.text);
  if (auto path = SystemPathOf(lower)) {
    if (path->empty()) return Pidl();
    return Pidl(ILCreateFromPathW(path->c_str()));
  }
  const int number = SpecialFolderNumber(lower);
  if (number < 0) return std::nullopt;
  return SpecialFolderList(number, owner);
}

bool IsFolderPath(const std::wstring& text, bool fixRoot, std::wstring* adjusted) {
  if (text.empty() || !Exists(text)) return false;
  std::wstring path = text;
  if (!::PathIsRootW(path.c_str())) {
    if (fixRoot && path.size() == 2 && path[1] == L':') {
      path += L'\\';
      if (!Exists(path)) return false;
    } else if (fixRoot && path.size() > 5 && path.back() == L'\\') {
      path.pop_back();
      if (!Exists(path)) return false;
    }
  }
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
    return false;
  if (adjusted) *adjusted = path;
  return true;
}

std::optional<ResolvedFolder> ResolveFolder(const FolderValue& value, HWND owner) {
  Pidl list;
  if (auto special = SpecialFolderFromValue(value, owner)) list = std::move(*special);
  if (!list) {
    std::wstring path;
    if (value.kind == FolderValue::Kind::Text && IsFolderPath(value.text, true, &path))
      list.reset(ILCreateFromPathW(path.c_str()));
    else if (value.kind == FolderValue::Kind::Address)
      list = ClonePidl(FromAddress(value.address));
  }
  if (!list) return std::nullopt;
  ResolvedFolder resolved;
  resolved.folder = BindFolder(list.get());
  if (!resolved.folder) return std::nullopt;
  resolved.list = std::move(list);
  return resolved;
}

std::wstring DisplayNameOf(PCIDLIST_ABSOLUTE list) {
  if (!IsValidList(list)) return {};
  SHFILEINFOW info{};
  if (!::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(list), 0, &info, sizeof(info),
                        SHGFI_PIDL | SHGFI_DISPLAYNAME))
    return {};
  return common::CutAtNul(std::wstring_view(info.szDisplayName, MAX_PATH));
}

std::wstring PathOf(PCIDLIST_ABSOLUTE list) {
  if (!IsValidList(list)) return {};
  wchar_t path[MAX_PATH + 1] = {};
  if (!::SHGetPathFromIDListW(list, path)) return {};
  return common::CutAtNul(std::wstring_view(path, MAX_PATH));
}

common::UniqueTaskMem ShellName(IShellFolder* folder, PCUITEMID_CHILD item, SHGDNF flags) {
  if (!folder || !item) return {};
  STRRET name{};
  if (FAILED(folder->GetDisplayNameOf(item, flags, &name))) return {};
  if (name.uType == STRRET_WSTR) return common::UniqueTaskMem(name.pOleStr);
  // Reads the other kinds of string record: narrow inline, narrow inside the list.
  wchar_t* text = nullptr;
  if (FAILED(::StrRetToStrW(&name, item, &text))) return {};
  return common::UniqueTaskMem(text);
}

std::wstring NameInFolder(IShellFolder* folder, PCUITEMID_CHILD item, SHGDNF flags) {
  common::UniqueTaskMem text = ShellName(folder, item, flags);
  return text ? std::wstring(static_cast<const wchar_t*>(text.get())) : std::wstring();
}

ULONG AttributesOf(PCIDLIST_ABSOLUTE list, ULONG mask) {
  if (!IsValidList(list)) return 0;
  SHFILEINFOW info{};
  info.dwAttributes = mask;
  if (!::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(list), 0, &info, sizeof(info),
                        SHGFI_PIDL | SHGFI_ATTRIBUTES | SHGFI_ATTR_SPECIFIED))
    return 0;
  return info.dwAttributes;
}

HIMAGELIST SystemImageList(bool small) {
  SHFILEINFOW info{};
  return reinterpret_cast<HIMAGELIST>(::SHGetFileInfoW(
      L"C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | (small ? SHGFI_SMALLICON : 0)));
}

int SystemIconIndex(PCIDLIST_ABSOLUTE list, bool open) {
  SHFILEINFOW info{};
  if (!::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(list), 0, &info, sizeof(info),
                        SHGFI_PIDL | SHGFI_SYSICONINDEX | (open ? SHGFI_OPENICON : 0)))
    return -1;
  return info.iIcon;
}

ComPtr<IPictureDisp> IconPicture(PCIDLIST_ABSOLUTE list, int style, bool small) {
  if (!IsValidList(list)) return nullptr;
  const int index = SystemIconIndex(list, (style & kOpenIcon) != 0);
  HIMAGELIST images = SystemImageList(small);
  if (index < 0 || !images) return nullptr;
  UINT flags = ILD_NORMAL;
  if (style & kSelected) flags |= ILD_BLEND25;
  if (style & kShareOverlay)
    flags |= INDEXTOOVERLAYMASK(1);
  else if (style & kShortcutOverlay)
    flags |= INDEXTOOVERLAYMASK(2);
  HICON icon = ::ImageList_GetIcon(images, index, flags);
  if (!icon) return nullptr;
  PICTDESC description{sizeof(description), PICTYPE_ICON};
  description.icon.hicon = icon;
  ComPtr<IPictureDisp> picture;
  if (FAILED(::OleCreatePictureIndirect(&description, IID_IPictureDisp, TRUE,
                                        reinterpret_cast<void**>(picture.GetAddressOf())))) {
    ::DestroyIcon(icon);
    return nullptr;
  }
  return picture;
}

float ComponentVersion(const wchar_t* dll) {
  DWORD handle = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(dll, &handle);
  if (size == 0) return 0;
  std::vector<BYTE> data(size);
  if (!::GetFileVersionInfoW(dll, 0, size, data.data())) return 0;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || !fixed)
    return 0;
  return static_cast<float>(HIWORD(fixed->dwFileVersionMS)) +
         static_cast<float>(LOWORD(fixed->dwFileVersionMS)) / 100.0f;
}

HWND OwnerWindow(HWND window) {
  HWND owner = window;
  while (owner) {
    HWND parent = ::GetParent(owner);
    if (!parent) break;
    owner = parent;
  }
  return owner;
}

}  // namespace foldrix
