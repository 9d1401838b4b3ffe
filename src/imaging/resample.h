// Placing a picture on the boot screen and resampling it into that place.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/picture.h"

namespace imaging {

// The part of a width x height logo that shows the picture; the rest is bands.
struct PictureArea {
  int x = 0, y = 0, width = 0, height = 0;
  friend bool operator==(const PictureArea&, const PictureArea&) = default;
};

// The boot screen is 640 x 480 and shows each of the 320 x 400 logo pixels 2 wide
// and 1.2 high. A 4:3 picture fills the logo; a wider one gets bands above and below,
// a taller one at the sides, so that it keeps its proportions on the screen.
PictureArea BootScreenArea(int sourceWidth, int sourceHeight);

// Lanczos-3 resampling to width x height, RGB, 3 bytes a pixel. Large reductions
// first average whole blocks of source pixels, which keeps the cost low and changes
// nothing visible: the filter still spans at least two source blocks per output pixel.
std::vector<std::uint8_t> ResampleLanczos(const Picture& source, int width, int height);

}  // namespace imaging
