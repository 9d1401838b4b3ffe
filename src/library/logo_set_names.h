// What a logo set's name says about the set.
#pragma once

#include <string>

#include "app/paths.h"
#include "common/text.h"

namespace library {

// A set whose name ends in ".SLS" (any letter case) holds only LOGO.SYS and uses
// the logo folder's own wait and shut-down screens.
inline bool IsSingleLogoSet(const std::wstring& name) {
  return common::ToUpper(app::GetExtension(name)) == L".SLS";
}

}  // namespace library
