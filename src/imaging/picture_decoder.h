// Decoding by content, whatever the file's name says: BMP, GIF (first frame) and JPEG
// (EXIF orientation applied) by our own readers, PNG through stb_image.
#pragma once

#include <filesystem>
#include <vector>

#include "imaging/byte_reader.h"
#include "imaging/picture.h"

namespace imaging {

// Headers only: what kind of picture, how large, how deep, compressed how.
// Applies the size limits and refuses sizes the file cannot possibly hold.
DecodeError ReadPictureFacts(Bytes file, PictureFacts& facts);

// What the caller will do with the picture. One that will only be shrunk to
// neededWidth x neededHeight (as shown, orientation applied) may come out smaller
// than its full size: a JPEG then decodes at 1/2, 1/4 or 1/8 scale. 0: full size.
struct DecodeOptions {
  int neededWidth = 0;
  int neededHeight = 0;
};

// The whole picture (the first frame of a GIF). `facts` keep the full size.
DecodeError DecodePicture(Bytes file, Picture& picture, PictureFacts& facts,
                          const DecodeOptions& options = {});

// Reads a whole file into memory; false when it cannot be read or is absurdly large.
bool ReadWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes);

// Internal steps, exposed for tests.
DecodeError ReadGifFacts(Bytes file, PictureFacts& facts);
// `divisor`: the scale the picture would be decoded at, for the pixel limit.
DecodeError ReadJpegFacts(Bytes file, PictureFacts& facts, int* orientation, int divisor = 1);
void ApplyOrientation(Picture& picture, int orientation);

}  // namespace imaging
