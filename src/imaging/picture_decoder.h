// Decoding by content, whatever the file's name says: BMP and GIF (first frame) by our
// own readers, JPEG (EXIF orientation applied) and PNG through stb_image.
#pragma once

#include <filesystem>
#include <vector>

#include "imaging/byte_reader.h"
#include "imaging/picture.h"

namespace imaging {

// Headers only: what kind of picture, how large, how deep, compressed how.
// Applies the size limits and refuses sizes the file cannot possibly hold.
DecodeError ReadPictureFacts(Bytes file, PictureFacts& facts);

// The whole picture (the first frame of a GIF).
DecodeError DecodePicture(Bytes file, Picture& picture, PictureFacts& facts);

// Reads a whole file into memory; false when it cannot be read or is absurdly large.
bool ReadWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes);

// Internal steps, exposed for tests.
DecodeError ReadGifFacts(Bytes file, PictureFacts& facts);
DecodeError ReadJpegFacts(Bytes file, PictureFacts& facts, int* orientation);
void ApplyOrientation(Picture& picture, int orientation);

}  // namespace imaging
