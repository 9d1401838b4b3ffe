// Colour reduction to at most 256 colours: exact where the picture already has few
// enough, otherwise median cut refined by k-means, with gentle error diffusion.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "imaging/picture.h"

namespace imaging {

// Maps `rgb` (width x height, 3 bytes a pixel) to indices into `palette`.
// With `blackFirst`, palette entry 0 is black (the bands and the screen border).
// Entries the picture does not need are black.
void QuantizePicture(std::span<const std::uint8_t> rgb, int width, int height, bool blackFirst,
                     std::array<Rgb, 256>& palette, std::span<std::uint8_t> indices);

}  // namespace imaging
