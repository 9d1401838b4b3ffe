// Work handed to the Windows shell, and two small control helpers.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <span>
#include <string>
#include <vector>

namespace app {

// Sends files or folders to the Recycle Bin in one shell operation (the shell shows
// its own confirmation and progress). Returns the shell's result code, 0 for success.
int RecycleFiles(const std::vector<std::wstring>& paths);

// The shell's folder picker over the whole namespace, file-system folders only.
// The chosen folder's path without trailing backslash, or "" when cancelled.
std::wstring BrowseForFolder(HWND owner, const std::wstring& title);

// Opens a document or address with its default verb, maximised, in the program folder.
void OpenDocument(const std::wstring& pathOrAddress, HWND window,
                  const std::wstring& programFolder);

// Sets the enabled state of every control.
void EnableControls(bool enabled, std::span<const HWND> controls);
inline void EnableControls(bool enabled, std::initializer_list<HWND> controls) {
  EnableControls(enabled, std::span<const HWND>(controls.begin(), controls.size()));
}

// Selects the whole text of an edit control.
void SelectAllText(HWND edit);

}  // namespace app
