// Our own picture library with the operations the conversion calls, in the
// manner of the ImgDLL it replaces: read, resize, quantise, save. The movable
// memory blocks of that library are plain RAII buffers here.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "imaging/picture.h"
#include "imaging/resample.h"

namespace imaging {

// A decoded source picture, with what its file said about it.
struct SourceBuffer {
  Picture picture;
  PictureFacts facts;
};

// The picture at the logo's size: either resampled RGB (with black bands outside
// `area`), or, for a source that already is 320 x 400, the source itself.
struct ScaledBuffer {
  int width = 0, height = 0;
  PictureArea area;
  std::vector<std::uint8_t> rgb;  // area.width x area.height, when resampled
  Picture unscaled;               // a source mapped 1:1
  std::uint8_t animationStart = 0;
  bool IsUnscaled() const { return unscaled.width != 0; }
};

using SourceHandle = std::unique_ptr<SourceBuffer>;
using ScaledHandle = std::unique_ptr<ScaledBuffer>;

// The size a read picture will be resized to next, when the reader may hand out a
// smaller picture that still resamples as well (a JPEG decoded at reduced scale).
// The logo's size means the picture's area on the boot screen. 0 x 0: full size.
struct ReadTarget {
  int width = 0, height = 0;
};

// Each reader recognises the real format of the file, whatever its name; null when
// the file cannot be read. `error` (optional) says why. width and height are those
// of the picture handed out; its facts keep the file's full size.
SourceHandle ImgDLLReadRGBFromBMP(const std::filesystem::path& path, std::int16_t& width,
                                  std::int16_t& height, DecodeError* error = nullptr, ReadTarget target = {});
SourceHandle ImgDLLReadRGBFromGIF(const std::filesystem::path& path, std::int16_t& width,
                                  std::int16_t& height, DecodeError* error = nullptr, ReadTarget target = {});
SourceHandle ImgDLLReadRGBFromJPG(const std::filesystem::path& path, std::int16_t& width,
                                  std::int16_t& height, DecodeError* error = nullptr, ReadTarget target = {});

// Scales to targetWidth x targetHeight. For the logo size the picture is placed as
// the boot screen will show it (by its full size, also when it was read smaller);
// a 320 x 400 source maps 1:1.
ScaledHandle ImgDLLResizeRGB(const SourceBuffer& source, std::int32_t sourceWidth,
                             std::int32_t sourceHeight, int targetWidth, int targetHeight);

// Fills `indices` (width x height, top-down) and `palette` (colours x 4 bytes:
// red, green, blue, 0). Returns 1 on success.
int ImgDLLQuantizeRGBTo8Bit(const ScaledBuffer& scaled, std::uint8_t* indices, int width, int height,
                            int colours, std::uint8_t* palette);

// Writes the logo file atomically; false when it could not be written (the
// destination is then as it was).
bool ImgDLLSaveColormappedToBMP(const std::filesystem::path& path, const std::uint8_t* indices,
                                int width, int height, int bitsPerPixel, int colours,
                                const std::uint8_t* palette, std::uint8_t animationStart);

}  // namespace imaging
