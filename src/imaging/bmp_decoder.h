// Our own Windows bitmap reader: 1/2/4/8/16/24/32 bits, RLE4 and RLE8, bottom-up
// and top-down rows, core, info, v2-v5 headers, bit-field masks, short colour tables.
#pragma once

#include "imaging/byte_reader.h"
#include "imaging/picture.h"

namespace imaging {

// Reads the headers only: size, depth, compression. Refuses what the file cannot
// hold or what exceeds the size limits, before anything is allocated.
DecodeError ReadBmpFacts(Bytes file, PictureFacts& facts);

// Decodes the whole picture. Indexed depths (up to 8 bits) keep their indices and
// table; deeper ones become RGB, alpha (where the masks give one) flattened onto black.
DecodeError DecodeBmp(Bytes file, Picture& picture, PictureFacts& facts);

}  // namespace imaging
