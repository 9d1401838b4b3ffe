#include "imaging/picture_decoder.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <new>

#include <stb/stb_image.h>

#include "imaging/bmp_decoder.h"
#include "imaging/gif_decoder.h"
#include "imaging/jpeg_decoder.h"

namespace imaging {
namespace {

constexpr std::uint64_t kMaxFileBytes = 1ull << 30;

// The most pixels each compressed format can describe per byte of file (with
// generous margins): a size beyond that is a lie, refused before any allocation.
constexpr std::uint64_t kPngPixelsPerByte = 8300;   // deflate's 1032:1 on 1-bit rows
constexpr std::uint64_t kJpegPixelsPerByte = 8192;  // one bit per block, 4x4 subsampling

bool CanHold(Bytes file, const PictureFacts& facts, std::uint64_t pixelsPerByte) {
  const std::uint64_t pixels = static_cast<std::uint64_t>(facts.width) * facts.height;
  return pixels <= (file.size() + 64) * pixelsPerByte;
}

bool StartsWith(Bytes file, const char* magic, std::size_t length) {
  return file.size() >= length && std::memcmp(file.data(), magic, length) == 0;
}

int ExifOrientation(Bytes segment) {
  // segment: "Exif\0\0" then a TIFF header.
  if (segment.size() < 6 + 8 || std::memcmp(segment.data(), "Exif\0\0", 6) != 0) return 1;
  const Bytes tiff = segment.subspan(6);
  const bool little = tiff[0] == 'I' && tiff[1] == 'I';
  if (!little && !(tiff[0] == 'M' && tiff[1] == 'M')) return 1;
  auto u16 = [&](std::size_t at) { return little ? Le16(tiff, at) : Be16(tiff, at); };
  auto u32 = [&](std::size_t at) { return little ? Le32(tiff, at) : Be32(tiff, at); };
  const std::size_t ifd = u32(4);
  if (!Fits(tiff, ifd, 2)) return 1;
  const std::size_t entries = u16(ifd);
  for (std::size_t i = 0; i < entries; ++i) {
    const std::size_t at = ifd + 2 + i * 12;
    if (!Fits(tiff, at, 12)) return 1;
    if (u16(at) == 0x0112 && u16(at + 2) == 3) {
      const int value = u16(at + 8);
      return value >= 1 && value <= 8 ? value : 1;
    }
  }
  return 1;
}

DecodeError ReadPngFacts(Bytes file, PictureFacts& facts) {
  if (!Fits(file, 0, 33) || std::memcmp(file.data() + 12, "IHDR", 4) != 0) return DecodeError::Damaged;
  const std::uint32_t width = Be32(file, 16), height = Be32(file, 20);
  const int depth = file[24], colorType = file[25];
  static constexpr int kChannels[7] = {1, 0, 3, 1, 2, 0, 4};
  if (colorType > 6 || kChannels[colorType] == 0) return DecodeError::Damaged;
  if (width == 0 || height == 0) return DecodeError::Damaged;
  if (!SizeAllowed(width, height)) return DecodeError::TooLarge;
  facts = {};
  facts.format = PictureFormat::Png;
  facts.width = static_cast<int>(width);
  facts.height = static_cast<int>(height);
  facts.bitsPerPixel = depth * kChannels[colorType];
  facts.compression = "deflate";
  return CanHold(file, facts, kPngPixelsPerByte) ? DecodeError::None : DecodeError::Damaged;
}

// An alpha channel, or a tRNS chunk (a transparent grey level or colour, or palette
// alpha) before the image data.
bool PngHasTransparency(Bytes file) {
  const int colorType = file[25];
  if (colorType == 4 || colorType == 6) return true;
  for (std::size_t pos = 8; Fits(file, pos, 8);) {
    const std::uint32_t length = Be32(file, pos);
    if (std::memcmp(file.data() + pos + 4, "tRNS", 4) == 0) return true;
    if (std::memcmp(file.data() + pos + 4, "IDAT", 4) == 0) return false;
    if (length > file.size()) return false;
    pos += 12 + static_cast<std::size_t>(length);
  }
  return false;
}

// Keeps the colour of each RGBA pixel as it would show over black, in place.
void FlattenOntoBlack(std::uint8_t* pixels, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned a = pixels[i * 4 + 3];
    for (int c = 0; c < 3; ++c)
      pixels[i * 3 + c] = static_cast<std::uint8_t>((pixels[i * 4 + c] * a + 127) / 255);
  }
}

DecodeError DecodeWithStb(Bytes file, const PictureFacts& facts, bool alpha, Picture& picture) {
  if (file.size() > static_cast<std::size_t>(INT32_MAX)) return DecodeError::TooLarge;
  int width = 0, height = 0, channels = 0;
  const int wanted = alpha ? 4 : 3;
  MallocBlock pixels(stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &width,
                                           &height, &channels, wanted));
  if (!pixels) return DecodeError::Damaged;
  if (!SizeAllowed(width, height) || width != facts.width || height != facts.height)
    return DecodeError::Damaged;
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (alpha) {
    FlattenOntoBlack(pixels.get(), count);
    if (void* smaller = std::realloc(pixels.get(), count * 3)) {
      (void)pixels.release();
      pixels.reset(static_cast<std::uint8_t*>(smaller));
    }
  }
  picture = {};
  picture.width = width;
  picture.height = height;
  picture.rgb = std::move(pixels);
  return DecodeError::None;
}

}  // namespace

const char* DescribeDecodeError(DecodeError error) {
  switch (error) {
    case DecodeError::None: return "no error";
    case DecodeError::Unrecognised: return "not a picture in a known format (BMP, GIF, JPEG, PNG)";
    case DecodeError::TooLarge: return "the picture is too large (over 32767 pixels a side or 100 megapixels)";
    case DecodeError::Damaged: return "the picture file is damaged or truncated";
    case DecodeError::Unsupported: return "this kind of picture is not supported";
    case DecodeError::NoMemory: return "not enough memory for the picture";
  }
  return "unknown error";
}

DecodeError ReadJpegFacts(Bytes file, PictureFacts& facts, int* orientation, int divisor) {
  if (!StartsWith(file, "\xFF\xD8\xFF", 3)) return DecodeError::Unrecognised;
  int foundOrientation = 1;
  std::size_t pos = 2;
  while (Fits(file, pos, 4)) {
    if (file[pos] != 0xFF) return DecodeError::Damaged;
    const std::uint8_t marker = file[pos + 1];
    if (marker == 0xFF) { ++pos; continue; }  // fill byte
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) { pos += 2; continue; }
    const std::size_t length = Be16(file, pos + 2);
    if (length < 2 || !Fits(file, pos + 2, length)) return DecodeError::Damaged;
    const Bytes segment = file.subspan(pos + 4, length - 2);
    if (marker == 0xE1) foundOrientation = ExifOrientation(segment) ;
    if (marker == 0xC0 || marker == 0xC1 || marker == 0xC2) {
      if (segment.size() < 6) return DecodeError::Damaged;
      facts = {};
      facts.format = PictureFormat::Jpeg;
      facts.height = Be16(segment, 1);
      facts.width = Be16(segment, 3);
      facts.bitsPerPixel = segment[0] * segment[5];
      facts.compression = marker == 0xC2 ? "progressive" : "baseline";
      if (facts.width == 0 || facts.height == 0) return DecodeError::Damaged;
      if (facts.width > kMaxSide || facts.height > kMaxSide ||
          !SizeAllowed((facts.width + divisor - 1) / divisor, (facts.height + divisor - 1) / divisor))
        return DecodeError::TooLarge;
      if (!CanHold(file, facts, kJpegPixelsPerByte)) return DecodeError::Damaged;
      if (foundOrientation >= 5) std::swap(facts.width, facts.height);
      if (orientation) *orientation = foundOrientation;
      return DecodeError::None;
    }
    if ((marker >= 0xC3 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC))
      return DecodeError::Unsupported;  // lossless, hierarchical, arithmetic
    if (marker == 0xDA || marker == 0xD9) return DecodeError::Damaged;  // no frame header
    pos += 2 + length;
  }
  return DecodeError::Damaged;
}

void ApplyOrientation(Picture& picture, int orientation) {
  if (orientation <= 1 || orientation > 8 || picture.IsIndexed()) return;
  const std::size_t w = static_cast<std::size_t>(picture.width), h = static_cast<std::size_t>(picture.height);
  const bool swap = orientation >= 5;
  const std::size_t outW = swap ? h : w, outH = swap ? w : h;
  MallocBlock turned(static_cast<std::uint8_t*>(std::malloc(w * h * 3)));
  if (!turned) throw std::bad_alloc();
  for (std::size_t v = 0; v < outH; ++v) {
    for (std::size_t u = 0; u < outW; ++u) {
      std::size_t x = u, y = v;
      switch (orientation) {
        case 2: x = w - 1 - u; break;
        case 3: x = w - 1 - u; y = h - 1 - v; break;
        case 4: y = h - 1 - v; break;
        case 5: x = v; y = u; break;
        case 6: x = v; y = h - 1 - u; break;
        case 7: x = w - 1 - v; y = h - 1 - u; break;
        case 8: x = w - 1 - v; y = u; break;
      }
      std::memcpy(turned.get() + (v * outW + u) * 3, picture.rgb.get() + (y * w + x) * 3, 3);
    }
  }
  picture.rgb = std::move(turned);
  picture.width = static_cast<int>(outW);
  picture.height = static_cast<int>(outH);
}

DecodeError ReadPictureFacts(Bytes file, PictureFacts& facts) {
  if (StartsWith(file, "BM", 2)) return ReadBmpFacts(file, facts);
  if (StartsWith(file, "GIF8", 4)) return ReadGifFacts(file, facts);
  if (StartsWith(file, "\xFF\xD8\xFF", 3)) return ReadJpegFacts(file, facts, nullptr);
  if (StartsWith(file, "\x89PNG\r\n\x1A\n", 8)) return ReadPngFacts(file, facts);
  return DecodeError::Unrecognised;
}

DecodeError DecodePicture(Bytes file, Picture& picture, PictureFacts& facts, const DecodeOptions& options) {
  try {
    if (StartsWith(file, "BM", 2)) return DecodeBmp(file, picture, facts);
    if (StartsWith(file, "GIF8", 4)) return DecodeGif(file, picture, facts);
    if (StartsWith(file, "\xFF\xD8\xFF", 3)) {
      // The size first (at the smallest scale, so only the side limit applies yet),
      // then the scale; the pixel limit counts the picture at that scale.
      int orientation = 1;
      if (const DecodeError error = ReadJpegFacts(file, facts, &orientation, 8); error != DecodeError::None)
        return error;
      const bool turned = orientation >= 5;
      const int divisor = ChooseJpegDivisor(turned ? facts.height : facts.width, turned ? facts.width : facts.height,
                                            turned ? options.neededHeight : options.neededWidth,
                                            turned ? options.neededWidth : options.neededHeight);
      if (const DecodeError error = ReadJpegFacts(file, facts, &orientation, divisor); error != DecodeError::None)
        return error;
      if (const DecodeError error = DecodeJpeg(file, divisor, picture); error != DecodeError::None) return error;
      ApplyOrientation(picture, orientation);
      return DecodeError::None;
    }
    if (StartsWith(file, "\x89PNG\r\n\x1A\n", 8)) {
      if (const DecodeError error = ReadPngFacts(file, facts); error != DecodeError::None) return error;
      return DecodeWithStb(file, facts, PngHasTransparency(file), picture);
    }
  } catch (const std::bad_alloc&) {
    return DecodeError::NoMemory;
  }
  return DecodeError::Unrecognised;
}

bool ReadWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  file.seekg(0, std::ios::end);
  const std::streamoff size = file.tellg();
  if (size < 0 || static_cast<std::uint64_t>(size) > kMaxFileBytes) return false;
  file.seekg(0, std::ios::beg);
  try {
    bytes.resize(static_cast<std::size_t>(size));
  } catch (const std::bad_alloc&) {
    return false;
  }
  return size == 0 || static_cast<bool>(file.read(reinterpret_cast<char*>(bytes.data()), size));
}

}  // namespace imaging
