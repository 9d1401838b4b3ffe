// Our own JPEG decoder: baseline, extended (8-bit) and progressive Huffman-coded
// pictures with one component (grey) or three (YCbCr, or RGB where Adobe's marker
// or the component names say so), any sampling factors, restart intervals. It
// decodes at full size or at 1/2, 1/4 or 1/8 scale, in the DCT domain.
#pragma once

#include "imaging/byte_reader.h"
#include "imaging/picture.h"

namespace imaging {

// `divisor` is 1, 2, 4 or 8: the picture comes out ceil(width / divisor) x
// ceil(height / divisor), in the orientation it is stored (EXIF not applied).
// Data that ends early or turns out damaged inside a scan is decoded as far as it
// goes: the rest of the picture stays grey (or at the precision earlier scans
// reached). Damaged headers and tables fail. Throws only std::bad_alloc.
DecodeError DecodeJpeg(Bytes file, int divisor, Picture& picture);

// The largest divisor whose picture is still at least kJpegScaleMargin times the
// needed size on each side (a needed size of 0 means full size). The margin leaves
// the resampler's own filtering as much picture as it uses at full size.
inline constexpr double kJpegScaleMargin = 2.0;
int ChooseJpegDivisor(int width, int height, int neededWidth, int neededHeight);

}  // namespace imaging
