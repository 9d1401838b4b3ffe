// The inverse DCT of one block, at full size or reduced: from the top-left
// width x height coefficients, width x height samples (each 8, 4, 2 or 1), which is
// how a JPEG decodes at 1/2, 1/4 or 1/8 scale without ever making the full picture.
#pragma once

#include <cstddef>
#include <cstdint>

namespace imaging::jpeg {

// Dequantised coefficients, height rows of width in natural order, each within
// +-4095. Writes level-shifted samples clamped to 0..255, rows `stride` bytes apart.
void InverseDct(const std::int32_t* coefficients, int width, int height, std::uint8_t* out,
                std::ptrdiff_t stride);

}  // namespace imaging::jpeg
