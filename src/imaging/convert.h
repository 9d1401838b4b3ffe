// ConvertToLogo: any picture into a 320 x 400, 256-colour logo file.
#pragma once

#include <filesystem>
#include <string>

namespace imaging {

struct ConversionResult {
  bool ok = false;
  std::string reason;  // one line, when not ok
};

// Reads the source (the reader is chosen by extension, but each recognises the real
// format), scales it as the boot screen shows it, reduces it to 256 colours and
// writes the logo. On failure the destination is left exactly as it was.
ConversionResult ConvertToLogoWithReason(const std::filesystem::path& source,
                                         const std::filesystem::path& destination);

// The editor's form: no result; the image view shows whether it worked.
void ConvertToLogo(const std::filesystem::path& source, const std::filesystem::path& destination);

}  // namespace imaging
