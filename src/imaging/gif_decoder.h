// GIF: the first frame, drawn onto the logical screen. Our own LZW reader writes
// straight into the RGB canvas, so a picture costs 3 bytes per screen pixel and
// nothing more; parts of the screen the frame leaves uncovered, and transparent
// pixels, are black.
#pragma once

#include "imaging/byte_reader.h"
#include "imaging/picture.h"

namespace imaging {

DecodeError DecodeGif(Bytes file, Picture& picture, PictureFacts& facts);

}  // namespace imaging
