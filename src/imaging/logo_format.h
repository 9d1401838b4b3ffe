// The boot-logo format: what makes a file a logo that is stored and installed
// byte for byte (image status 2), palette animation, and the bytes we write.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "imaging/byte_reader.h"
#include "imaging/picture.h"

namespace imaging {

inline constexpr int kLogoWidth = 320;
inline constexpr int kLogoHeight = 400;
inline constexpr std::size_t kLogoPixelBytes = 320 * 400;
inline constexpr std::size_t kLogoPixelOffset = 14 + 40 + 256 * 4;  // 1078
inline constexpr std::size_t kLogoFileSize = kLogoPixelOffset + kLogoPixelBytes;

// 0 nothing shown (missing, unreadable), 1 a picture not yet a logo, 2 a logo.
enum class ImageStatus : std::uint8_t { None = 0, Picture = 1, Logo = 2 };

// True only for the exact layout Windows shows at boot: a 40-byte info header,
// 320 x 400 bottom-up, 1 plane, 8 bits, uncompressed, 0 or 256 colours used,
// pixels at 1078 and all 128,000 of them present.
bool IsLogoFile(Bytes file);

// The first animated palette index (1-255) of an 8-bit 320 x 400 bitmap, else 0.
int AnimationStart(const PictureFacts& facts);

// Everything the image view and `logoconv --info` report about a file.
struct PictureReport {
  ImageStatus status = ImageStatus::None;
  DecodeError error = DecodeError::Unrecognised;
  PictureFacts facts;
  int animationStart = 0;  // 0: not animated
};

// Decodes the whole file to be sure it shows; `picture` receives it when given.
PictureReport InspectPicture(Bytes file, Picture* picture = nullptr);
PictureReport InspectPictureFile(const std::filesystem::path& path, Picture* picture = nullptr);

// The complete bytes of a logo file from top-down indices and a 256-colour table.
std::vector<std::uint8_t> BuildLogoFile(std::span<const std::uint8_t, kLogoPixelBytes> indices,
                                        std::span<const Rgb, 256> palette,
                                        std::uint8_t animationStart);

// Writes a logo atomically: on failure the destination stays as it was.
bool WriteLogoFile(const std::filesystem::path& destination,
                   std::span<const std::uint8_t, kLogoPixelBytes> indices,
                   std::span<const Rgb, 256> palette, std::uint8_t animationStart);

}  // namespace imaging
