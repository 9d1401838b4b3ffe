#include "app/shell_helpers.h"

#include <shellapi.h>
#include <shlobj.h>

#include "common/handles.h"
#include "common/text.h"

namespace app {

int RecycleFiles(const std::vector<std::wstring>& paths) {
  // Each path followed by a NUL, the whole list by one more.
  std::wstring list;
  for (const std::wstring& path : paths) {
    list += common::CutAtNul(path);
    list += L'\0';
  }
  if (list.empty()) return 0;
  list += L'\0';

  SHFILEOPSTRUCTW operation{};
  operation.hwnd = nullptr;
  operation.wFunc = FO_DELETE;
  operation.pFrom = list.c_str();
  operation.pTo = nullptr;
  operation.fFlags = FOF_ALLOWUNDO;
  return ::SHFileOperationW(&operation);
}

std::wstring BrowseForFolder(HWND owner, const std::wstring& title) {
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.pidlRoot = nullptr;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  common::UniqueAbsolutePidl chosen(::SHBrowseForFolderW(&info));
  if (!chosen) return {};

  // The name query gives a path of any length, where a fixed buffer would cut it.
  common::UniqueTaskMem path;
  if (FAILED(::SHGetNameFromIDList(chosen.get(), SIGDN_FILESYSPATH,
                                   reinterpret_cast<PWSTR*>(path.put()))))
    return {};
  return common::CutAtNul(static_cast<const wchar_t*>(path.get()));
}

void OpenDocument(const std::wstring& pathOrAddress, HWND window,
                  const std::wstring& programFolder) {
  ::ShellExecuteW(window, nullptr, pathOrAddress.c_str(), nullptr, programFolder.c_str(),
                  SW_SHOWMAXIMIZED);
}

void EnableControls(bool enabled, std::span<const HWND> controls) {
  for (HWND control : controls) ::EnableWindow(control, enabled ? TRUE : FALSE);
}

void SelectAllText(HWND edit) {
  const int length = ::GetWindowTextLengthW(edit);
  ::SendMessageW(edit, EM_SETSEL, 0, length);
}

}  // namespace app
