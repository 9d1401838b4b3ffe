// Installing a logo set as the system's logos, all or nothing.
#pragma once

#include <windows.h>

#include <string>

#include "app/app_state.h"

namespace library {

struct InstallOutcome {
  bool installed = false;
  std::wstring failedFile;  // the file that could not be read or written
  DWORD error = ERROR_SUCCESS;
  std::wstring Message(const std::wstring& setName) const;
};

// Copies the set's logos to their system places: LOGO.SYS always, LOGOW.SYS and
// LOGOS.SYS only when the companion does not synchronise them later. A logo the
// set lacks leaves its installed file removed. Either every file is in place or the
// installed files are exactly as before (contents and attributes). Records nothing.
InstallOutcome InstallLogoSet(const app::AppState& state, const std::wstring& name);

// Clears the attributes of the installed logos that an installation replaces, so
// that read-only, hidden and system attributes do not stop it. Missing files are
// passed over.
void ToggleReadOnlyAttrib(const app::AppState& state);

}  // namespace library
