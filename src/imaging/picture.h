// A decoded picture, as every reader hands it on: top-down rows, either colour
// indices with their table or 8-bit RGB (transparency already flattened onto black).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace imaging {

// Sizes a picture may have: a side fits a 16-bit signed value, and no picture over
// 100 megapixels is decoded (counted at the scale actually decoded).
inline constexpr int kMaxSide = 32767;
inline constexpr std::uint64_t kMaxPixels = 100'000'000;

inline bool SizeAllowed(std::int64_t width, std::int64_t height) {
  return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
         static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) <= kMaxPixels;
}

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A block from malloc: the JPEG, PNG and GIF decoders hand out such blocks, and
// keeping them avoids a second copy of a large picture.
struct FreeDeleter {
  void operator()(std::uint8_t* block) const { std::free(block); }
};
using MallocBlock = std::unique_ptr<std::uint8_t[], FreeDeleter>;

enum class PictureFormat { Bmp, Gif, Jpeg, Png };

struct Picture {
  int width = 0;
  int height = 0;
  // Indexed pictures: one index per pixel and the file's own table (which may be
  // shorter than the indices reach; such pixels show black).
  std::vector<std::uint8_t> indices;
  std::vector<Rgb> palette;
  // Direct-colour pictures: 3 bytes per pixel (r, g, b).
  MallocBlock rgb;

  bool IsIndexed() const { return !palette.empty(); }
  Rgb PixelAt(std::size_t offset) const {
    if (IsIndexed()) {
      const std::uint8_t index = indices[offset];
      return index < palette.size() ? palette[index] : Rgb{};
    }
    const std::uint8_t* p = rgb.get() + offset * 3;
    return {p[0], p[1], p[2]};
  }
};

// What a file says about itself, for the image view and `logoconv --info`.
struct PictureFacts {
  PictureFormat format = PictureFormat::Bmp;
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
  std::string compression;        // "none", "RLE8", "RLE4", "bit fields", "LZW", ...
  std::uint32_t bmpColorsImportant = 0;  // biClrImportant of info headers, else 0
  int colorTableEntries = 0;      // entries actually read from the file's table
  bool moreFrames = false;        // GIF: another frame follows the first
};

enum class DecodeError { None, Unrecognised, TooLarge, Damaged, Unsupported, NoMemory };

const char* DescribeDecodeError(DecodeError error);

}  // namespace imaging
