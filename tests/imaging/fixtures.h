// Builders for the pictures the tests decode: bitmaps of every variant, GIFs,
// PNGs and JPEGs, generated in memory.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "imaging/picture.h"

namespace fixtures {

using imaging::Rgb;
using ByteVector = std::vector<std::uint8_t>;

// A picture by indices into a palette; the reference every encoder starts from.
struct IndexedImage {
  int width = 0, height = 0;
  std::vector<std::uint8_t> indices;  // top-down
  std::vector<Rgb> palette;
  Rgb At(int x, int y) const { return palette[indices[static_cast<std::size_t>(y) * width + x]]; }
};

// width x height, index (x + 2y) % colours, palette of the eight {0,255} colours
// (and more for larger counts).
IndexedImage Pattern(int width, int height, int colours);

enum class Compression { Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3 };

struct BmpOptions {
  int bits = 8;
  Compression compression = Compression::Rgb;
  int headerSize = 40;            // 12 core, 40 info, 108 v4, 124 v5
  bool topDown = false;
  int tableEntries = -1;          // -1: 2^bits for indexed depths
  bool writeColorsUsed = true;    // biClrUsed = tableEntries
  std::uint32_t colorsImportant = 0;
  std::uint32_t masks[4] = {};    // bit fields: red, green, blue, alpha
  std::vector<std::uint8_t> alpha;  // per pixel, 32-bit bit fields with an alpha mask
};

ByteVector MakeBmp(const IndexedImage& image, const BmpOptions& options);

struct GifOptions {
  int frames = 1;                // each frame the same picture
  int transparentIndex = -1;     // < 0: none
  bool interlaced = false;
  bool localTable = false;       // the frame's own table instead of a global one
  int screenWidth = 0, screenHeight = 0;  // 0: the picture's size
  int left = 0, top = 0;         // where the frame sits on the screen
  int minimumCodeSize = 8;
  bool clearWhenFull = true;     // false: keep coding with the full table
  int streamBytes = -1;          // >= 0: the coded data cut to this length (still well framed)
  ByteVector rawStream;          // coded data written as given instead
};

// GIF with a real LZW stream (growing code width, full tables).
ByteVector MakeGif(const IndexedImage& image, const GifOptions& options);
ByteVector MakeGif(const IndexedImage& image, int frames = 1, int transparentIndex = -1);

ByteVector MakePng(const IndexedImage& image, const std::vector<std::uint8_t>& alpha = {});
ByteVector MakeJpeg(const IndexedImage& image, int quality = 95);
// Inserts an EXIF block with the given orientation tag after SOI.
ByteVector WithExifOrientation(const ByteVector& jpeg, int orientation, bool bigEndian);

// A fresh folder under the temp folder, removed when the object goes away.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

void WriteFile(const std::filesystem::path& path, const ByteVector& bytes);
ByteVector ReadFile(const std::filesystem::path& path);

}  // namespace fixtures
