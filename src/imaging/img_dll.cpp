#include "imaging/img_dll.h"

#include <algorithm>
#include <array>
#include <new>
#include <span>

#include "imaging/logo_format.h"
#include "imaging/picture_decoder.h"
#include "imaging/quantize.h"

namespace imaging {
namespace {

// A picture placed on the boot screen needs its area there; other targets their size.
DecodeOptions OptionsFor(Bytes file, ReadTarget target) {
  if (target.width <= 0 || target.height <= 0) return {};
  // A JPEG's pixel limit counts at the scale decoded: its size is read as if at the
  // smallest, so one over the limit at full size can still be converted.
  PictureFacts facts;
  const bool jpeg = file.size() >= 3 && file[0] == 0xFF && file[1] == 0xD8 && file[2] == 0xFF;
  if ((jpeg ? ReadJpegFacts(file, facts, nullptr, 8) : ReadPictureFacts(file, facts)) != DecodeError::None)
    return {};
  if (target.width == kLogoWidth && target.height == kLogoHeight) {
    const PictureArea area = BootScreenArea(facts.width, facts.height);
    return {area.width, area.height};
  }
  return {target.width, target.height};
}

// Whether the picture was read smaller than the file's full size.
bool ReadReduced(const SourceBuffer& source) {
  return source.facts.format == PictureFormat::Jpeg &&
         (source.facts.width != source.picture.width || source.facts.height != source.picture.height);
}

SourceHandle ReadAnyPicture(const std::filesystem::path& path, std::int16_t& width, std::int16_t& height,
                            DecodeError* error, ReadTarget target) {
  DecodeError ignored;
  DecodeError& result = error ? *error : ignored;
  std::vector<std::uint8_t> bytes;
  if (!ReadWholeFile(path, bytes)) {
    result = DecodeError::Unrecognised;
    return nullptr;
  }
  auto source = std::make_unique<SourceBuffer>();
  result = DecodePicture(bytes, source->picture, source->facts, OptionsFor(bytes, target));
  if (result != DecodeError::None) return nullptr;
  width = static_cast<std::int16_t>(source->picture.width);
  height = static_cast<std::int16_t>(source->picture.height);
  return source;
}

// An 8-bit bitmap's animation byte survives when it names an entry of its table.
std::uint8_t CarriedAnimation(const SourceBuffer& source) {
  const PictureFacts& facts = source.facts;
  if (facts.format != PictureFormat::Bmp || facts.bitsPerPixel != 8) return 0;
  const std::uint32_t first = facts.bmpColorsImportant;
  return first >= 1 && first < source.picture.palette.size() && first <= 255
             ? static_cast<std::uint8_t>(first)
             : 0;
}

}  // namespace

SourceHandle ImgDLLReadRGBFromBMP(const std::filesystem::path& path, std::int16_t& width,
                                  std::int16_t& height, DecodeError* error, ReadTarget target) {
  return ReadAnyPicture(path, width, height, error, target);
}
SourceHandle ImgDLLReadRGBFromGIF(const std::filesystem::path& path, std::int16_t& width,
                                  std::int16_t& height, DecodeError* error, ReadTarget target) {
  return ReadAnyPicture(path, width, height, error, target);
}
SourceHandle ImgDLLReadRGBFromJPG(const std::filesystem::path& path, std::int16_t& width,
                                  std::int16_t& height, DecodeError* error, ReadTarget target) {
  return ReadAnyPicture(path, width, height, error, target);
}

ScaledHandle ImgDLLResizeRGB(const SourceBuffer& source, std::int32_t sourceWidth,
                             std::int32_t sourceHeight, int targetWidth, int targetHeight) {
  const Picture& picture = source.picture;
  if (sourceWidth != picture.width || sourceHeight != picture.height || targetWidth <= 0 ||
      targetHeight <= 0 || !SizeAllowed(targetWidth, targetHeight))
    return nullptr;
  try {
    auto scaled = std::make_unique<ScaledBuffer>();
    scaled->width = targetWidth;
    scaled->height = targetHeight;
    const bool reduced = ReadReduced(source);
    if (sourceWidth == targetWidth && sourceHeight == targetHeight && !reduced) {
      // Already in the target's pixel space: nothing to scale.
      scaled->area = {0, 0, targetWidth, targetHeight};
      scaled->unscaled.width = picture.width;
      scaled->unscaled.height = picture.height;
      scaled->unscaled.palette = picture.palette;
      scaled->unscaled.indices = picture.indices;
      if (picture.rgb) {
        const std::size_t bytes = static_cast<std::size_t>(picture.width) * picture.height * 3;
        scaled->unscaled.rgb.reset(static_cast<std::uint8_t*>(std::malloc(bytes)));
        if (!scaled->unscaled.rgb) return nullptr;
        std::copy_n(picture.rgb.get(), bytes, scaled->unscaled.rgb.get());
      }
      scaled->animationStart = CarriedAnimation(source);
      return scaled;
    }
    const bool logo = targetWidth == kLogoWidth && targetHeight == kLogoHeight;
    scaled->area = logo ? BootScreenArea(reduced ? source.facts.width : sourceWidth,
                                         reduced ? source.facts.height : sourceHeight)
                        : PictureArea{0, 0, targetWidth, targetHeight};
    scaled->rgb = ResampleLanczos(picture, scaled->area.width, scaled->area.height);
    return scaled;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

int ImgDLLQuantizeRGBTo8Bit(const ScaledBuffer& scaled, std::uint8_t* indices, int width, int height,
                            int colours, std::uint8_t* palette) {
  if (!indices || !palette || width != scaled.width || height != scaled.height || colours != 256) return 0;
  try {
    std::array<Rgb, 256> table{};
    const std::size_t pixels = static_cast<std::size_t>(width) * height;
    std::span<std::uint8_t> out(indices, pixels);
    if (scaled.IsUnscaled() && scaled.unscaled.IsIndexed()) {
      // A colour-mapped source keeps its table and every pixel's index.
      std::copy(scaled.unscaled.palette.begin(),
                scaled.unscaled.palette.begin() + std::min<std::size_t>(256, scaled.unscaled.palette.size()),
                table.begin());
      std::copy_n(scaled.unscaled.indices.begin(), pixels, out.begin());
    } else if (scaled.IsUnscaled()) {
      QuantizePicture({scaled.unscaled.rgb.get(), pixels * 3}, width, height, false, table, out);
    } else {
      // Bands and the screen border take entry 0, black.
      std::fill(out.begin(), out.end(), 0);
      const PictureArea& area = scaled.area;
      std::vector<std::uint8_t> areaIndices(static_cast<std::size_t>(area.width) * area.height);
      QuantizePicture(scaled.rgb, area.width, area.height, true, table, areaIndices);
      for (int y = 0; y < area.height; ++y)
        std::copy_n(areaIndices.begin() + static_cast<std::ptrdiff_t>(y) * area.width, area.width,
                    out.begin() + static_cast<std::ptrdiff_t>(area.y + y) * width + area.x);
    }
    for (std::size_t i = 0; i < 256; ++i) {
      palette[i * 4] = table[i].r;
      palette[i * 4 + 1] = table[i].g;
      palette[i * 4 + 2] = table[i].b;
      palette[i * 4 + 3] = 0;
    }
    return 1;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

bool ImgDLLSaveColormappedToBMP(const std::filesystem::path& path, const std::uint8_t* indices,
                                int width, int height, int bitsPerPixel, int colours,
                                const std::uint8_t* palette, std::uint8_t animationStart) {
  if (width != kLogoWidth || height != kLogoHeight || bitsPerPixel != 8 || colours != 256) return false;
  std::array<Rgb, 256> table{};
  for (std::size_t i = 0; i < 256; ++i) table[i] = {palette[i * 4], palette[i * 4 + 1], palette[i * 4 + 2]};
  return WriteLogoFile(path, std::span<const std::uint8_t, kLogoPixelBytes>(indices, kLogoPixelBytes), table,
                       animationStart);
}

}  // namespace imaging
