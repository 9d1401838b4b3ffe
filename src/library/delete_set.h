// Deleting a logo set, into the Recycle Bin or for good.
#pragma once

#include <windows.h>

#include <string>

#include "app/app_state.h"

namespace library {

// The main window's installed-set label, which a deletion may reset.
class InstalledSetLabel {
 public:
  virtual ~InstalledSetLabel() = default;
  virtual std::wstring Caption() const = 0;
  virtual void SetCaption(const std::wstring& caption) = 0;
};

// Asks first when the settings want it ("Confirm deletions"), then removes the files
// directly in the set folder (into the Recycle Bin when the settings say so) and the
// folder itself when it is then empty. Subfolders stay. Returns false only when the
// user declined; files or a folder that could not be removed stay in place silently.
bool EliminaLogoSet(HWND owner, const std::wstring& folderToKill, const std::wstring& logoName,
                    const app::Settings& settings, InstalledSetLabel& label);

}  // namespace library
