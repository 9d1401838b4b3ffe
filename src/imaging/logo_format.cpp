#include "imaging/logo_format.h"

#include <algorithm>

#include "imaging/atomic_file.h"
#include "imaging/picture_decoder.h"

namespace imaging {
namespace {

void PutLe16(std::vector<std::uint8_t>& out, std::size_t at, std::uint16_t value) {
  out[at] = static_cast<std::uint8_t>(value);
  out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}
void PutLe32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
  PutLe16(out, at, static_cast<std::uint16_t>(value));
  PutLe16(out, at + 2, static_cast<std::uint16_t>(value >> 16));
}

}  // namespace

bool IsLogoFile(Bytes file) {
  if (file.size() < kLogoFileSize || file[0] != 'B' || file[1] != 'M') return false;
  const std::uint32_t colorsUsed = Le32(file, 46);
  return Le32(file, 10) == kLogoPixelOffset && Le32(file, 14) == 40 &&
         static_cast<std::int32_t>(Le32(file, 18)) == kLogoWidth &&
         static_cast<std::int32_t>(Le32(file, 22)) == kLogoHeight && Le16(file, 26) == 1 &&
         Le16(file, 28) == 8 && Le32(file, 30) == 0 && (colorsUsed == 0 || colorsUsed == 256);
}

int AnimationStart(const PictureFacts& facts) {
  if (facts.format != PictureFormat::Bmp || facts.bitsPerPixel != 8 || facts.width != kLogoWidth ||
      facts.height != kLogoHeight)
    return 0;
  return facts.bmpColorsImportant >= 1 && facts.bmpColorsImportant <= 255
             ? static_cast<int>(facts.bmpColorsImportant)
             : 0;
}

PictureReport InspectPicture(Bytes file, Picture* picture) {
  PictureReport report;
  Picture decoded;
  report.error = DecodePicture(file, decoded, report.facts);
  if (report.error != DecodeError::None) return report;
  report.status = IsLogoFile(file) ? ImageStatus::Logo : ImageStatus::Picture;
  report.animationStart = AnimationStart(report.facts);
  if (picture) *picture = std::move(decoded);
  return report;
}

PictureReport InspectPictureFile(const std::filesystem::path& path, Picture* picture) {
  std::vector<std::uint8_t> bytes;
  if (!ReadWholeFile(path, bytes)) return {};
  return InspectPicture(bytes, picture);
}

std::vector<std::uint8_t> BuildLogoFile(std::span<const std::uint8_t, kLogoPixelBytes> indices,
                                        std::span<const Rgb, 256> palette,
                                        std::uint8_t animationStart) {
  std::vector<std::uint8_t> out(kLogoFileSize, 0);
  out[0] = 'B';
  out[1] = 'M';
  PutLe32(out, 2, static_cast<std::uint32_t>(kLogoFileSize));
  PutLe32(out, 10, static_cast<std::uint32_t>(kLogoPixelOffset));
  PutLe32(out, 14, 40);
  PutLe32(out, 18, kLogoWidth);
  PutLe32(out, 22, kLogoHeight);  // positive: bottom-up rows
  PutLe16(out, 26, 1);
  PutLe16(out, 28, 8);
  PutLe32(out, 30, 0);  // BI_RGB
  PutLe32(out, 34, static_cast<std::uint32_t>(kLogoPixelBytes));
  PutLe32(out, 46, 256);
  PutLe32(out, 50, animationStart);
  for (std::size_t i = 0; i < 256; ++i) {
    out[54 + i * 4] = palette[i].b;
    out[54 + i * 4 + 1] = palette[i].g;
    out[54 + i * 4 + 2] = palette[i].r;
  }
  for (std::size_t row = 0; row < kLogoHeight; ++row) {
    const std::size_t y = kLogoHeight - 1 - row;
    std::copy_n(indices.data() + y * kLogoWidth, kLogoWidth,
                out.begin() + static_cast<std::ptrdiff_t>(kLogoPixelOffset + row * kLogoWidth));
  }
  return out;
}

bool WriteLogoFile(const std::filesystem::path& destination,
                   std::span<const std::uint8_t, kLogoPixelBytes> indices,
                   std::span<const Rgb, 256> palette, std::uint8_t animationStart) {
  const std::vector<std::uint8_t> bytes = BuildLogoFile(indices, palette, animationStart);
  return WriteFileAtomically(destination, bytes);
}

}  // namespace imaging
