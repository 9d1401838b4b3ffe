// Replacing a file so that readers see either the old or the complete new content.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace imaging {

// Writes the complete content to a temporary file beside the destination, then
// replaces the destination with it. On any failure the destination is unchanged
// and the temporary file is removed.
bool WriteFileAtomically(const std::filesystem::path& destination,
                         std::span<const std::uint8_t> content);

}  // namespace imaging
