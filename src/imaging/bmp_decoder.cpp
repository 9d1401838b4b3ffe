#include "imaging/bmp_decoder.h"

#include <algorithm>
#include <bit>
#include <new>

namespace imaging {
namespace {

constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;
constexpr std::size_t kFileHeaderSize = 14;

struct BmpLayout {
  std::uint32_t headerSize = 0;
  std::int64_t width = 0, height = 0;
  bool topDown = false;
  int bits = 0;
  std::uint32_t compression = kRgb;
  std::uint32_t colorsImportant = 0;
  std::uint32_t masks[4] = {};  // red, green, blue, alpha
  std::size_t tableOffset = 0;
  std::size_t tableEntrySize = 4;
  std::size_t tableEntries = 0;
  std::size_t pixelOffset = 0;
};

const char* CompressionName(std::uint32_t compression) {
  switch (compression) {
    case kRle8: return "RLE8";
    case kRle4: return "RLE4";
    case kBitFields: return "bit fields";
    case kAlphaBitFields: return "alpha bit fields";
    default: return "none";
  }
}

bool IsKnownInfoHeaderSize(std::uint32_t size) {
  return size == 40 || size == 52 || size == 56 || size == 64 || size == 108 || size == 124;
}

DecodeError ReadLayout(Bytes file, BmpLayout& layout) {
  if (!Fits(file, 0, kFileHeaderSize + 4) || file[0] != 'B' || file[1] != 'M')
    return DecodeError::Unrecognised;
  layout.pixelOffset = Le32(file, 10);
  layout.headerSize = Le32(file, 14);
  if (!Fits(file, kFileHeaderSize, layout.headerSize)) return DecodeError::Damaged;
  std::size_t maskBytes = 0;
  std::uint32_t colorsUsed = 0;
  if (layout.headerSize == 12) {  // OS/2 and Windows 2 core header
    layout.width = Le16(file, 18);
    layout.height = Le16(file, 20);
    if (Le16(file, 22) != 1) return DecodeError::Damaged;
    layout.bits = Le16(file, 24);
    layout.tableEntrySize = 3;
  } else if (IsKnownInfoHeaderSize(layout.headerSize)) {
    layout.width = static_cast<std::int32_t>(Le32(file, 18));
    layout.height = static_cast<std::int32_t>(Le32(file, 22));
    if (Le16(file, 26) != 1) return DecodeError::Damaged;
    layout.bits = Le16(file, 28);
    layout.compression = Le32(file, 30);
    colorsUsed = Le32(file, 46);
    layout.colorsImportant = Le32(file, 50);
    // The OS/2 2.x header gives 3 and 4 other meanings (Huffman, RLE24).
    if (layout.headerSize == 64 && layout.compression > kRle4) return DecodeError::Unsupported;
    if (layout.compression == kBitFields || layout.compression == kAlphaBitFields) {
      const std::size_t count = layout.compression == kAlphaBitFields ? 4 : 3;
      std::size_t maskOffset = kFileHeaderSize + 40;
      if (layout.headerSize < 52) maskBytes = count * 4;
      if (!Fits(file, maskOffset, count * 4)) return DecodeError::Damaged;
      for (std::size_t i = 0; i < count; ++i) layout.masks[i] = Le32(file, maskOffset + i * 4);
      if (layout.headerSize >= 56 && count == 3) layout.masks[3] = Le32(file, maskOffset + 12);
    }
  } else {
    return DecodeError::Unsupported;
  }
  if (layout.height < 0) {
    layout.topDown = true;
    layout.height = -layout.height;
  }
  switch (layout.compression) {
    case kRgb:
      if (layout.bits != 1 && layout.bits != 2 && layout.bits != 4 && layout.bits != 8 &&
          layout.bits != 16 && layout.bits != 24 && layout.bits != 32)
        return DecodeError::Unsupported;
      break;
    case kRle8:
    case kRle4:
      if (layout.bits != (layout.compression == kRle8 ? 8 : 4) || layout.topDown)
        return DecodeError::Damaged;
      break;
    case kBitFields:
    case kAlphaBitFields:
      if (layout.bits != 16 && layout.bits != 32) return DecodeError::Damaged;
      break;
    default:
      return DecodeError::Unsupported;
  }
  if (layout.width <= 0 || layout.height <= 0) return DecodeError::Damaged;
  if (!SizeAllowed(layout.width, layout.height)) return DecodeError::TooLarge;

  layout.tableOffset = kFileHeaderSize + layout.headerSize + maskBytes;
  if (layout.pixelOffset < layout.tableOffset || layout.pixelOffset > file.size())
    return DecodeError::Damaged;
  if (layout.bits <= 8) {
    const std::size_t full = std::size_t{1} << layout.bits;
    const std::size_t declared = colorsUsed != 0 ? std::min<std::size_t>(colorsUsed, full) : full;
    const std::size_t room = (layout.pixelOffset - layout.tableOffset) / layout.tableEntrySize;
    layout.tableEntries = std::min(declared, room);
    if (layout.tableEntries == 0) return DecodeError::Damaged;
  }
  if (layout.compression != kRle8 && layout.compression != kRle4) {
    const std::uint64_t stride = (static_cast<std::uint64_t>(layout.width) * layout.bits + 31) / 32 * 4;
    if (stride * static_cast<std::uint64_t>(layout.height) > file.size() - layout.pixelOffset)
      return DecodeError::Damaged;
  }
  return DecodeError::None;
}

void FillFacts(const BmpLayout& layout, PictureFacts& facts) {
  facts = {};
  facts.format = PictureFormat::Bmp;
  facts.width = static_cast<int>(layout.width);
  facts.height = static_cast<int>(layout.height);
  facts.bitsPerPixel = layout.bits;
  facts.compression = CompressionName(layout.compression);
  facts.bmpColorsImportant = layout.headerSize == 12 ? 0 : layout.colorsImportant;
  facts.colorTableEntries = static_cast<int>(layout.tableEntries);
}

void ReadTable(Bytes file, const BmpLayout& layout, std::vector<Rgb>& palette) {
  palette.resize(layout.tableEntries);
  for (std::size_t i = 0; i < layout.tableEntries; ++i) {
    const std::size_t at = layout.tableOffset + i * layout.tableEntrySize;
    palette[i] = {file[at + 2], file[at + 1], file[at]};
  }
}

void DecodeIndexedRows(Bytes file, const BmpLayout& layout, Picture& picture) {
  const std::size_t width = static_cast<std::size_t>(layout.width);
  const std::size_t stride = (width * layout.bits + 31) / 32 * 4;
  const unsigned mask = (1u << layout.bits) - 1;
  const int perByte = 8 / layout.bits;
  for (std::size_t row = 0; row < static_cast<std::size_t>(layout.height); ++row) {
    const std::uint8_t* source = file.data() + layout.pixelOffset + row * stride;
    const std::size_t y = layout.topDown ? row : layout.height - 1 - row;
    std::uint8_t* target = picture.indices.data() + y * width;
    for (std::size_t x = 0; x < width; ++x) {
      const int shift = 8 - layout.bits * (1 + static_cast<int>(x % perByte));
      target[x] = static_cast<std::uint8_t>((source[x / perByte] >> shift) & mask);
    }
  }
}

// Run-length data (always bottom-up). Pixels the data never sets keep index 0;
// runs past the row's end are cut off; data that ends without an end marker ends
// the picture there, as other readers do.
void DecodeRunLength(Bytes file, const BmpLayout& layout, Picture& picture) {
  const bool four = layout.compression == kRle4;
  const std::int64_t width = layout.width, height = layout.height;
  std::int64_t x = 0, y = 0;
  auto put = [&](std::uint8_t index) {
    if (x < width && y < height)
      picture.indices[static_cast<std::size_t>((height - 1 - y) * width + x)] = index;
    ++x;
  };
  std::size_t pos = layout.pixelOffset;
  while (y < height && Fits(file, pos, 2)) {
    const std::uint8_t count = file[pos], value = file[pos + 1];
    pos += 2;
    if (count > 0) {
      for (int i = 0; i < count; ++i)
        put(four ? static_cast<std::uint8_t>(i % 2 == 0 ? value >> 4 : value & 15) : value);
    } else if (value == 0) {
      x = 0;
      ++y;
    } else if (value == 1) {
      break;
    } else if (value == 2) {
      if (!Fits(file, pos, 2)) break;
      x += file[pos];
      y += file[pos + 1];
      pos += 2;
    } else {
      const std::size_t bytes = four ? (value + 1u) / 2 : value;
      if (!Fits(file, pos, bytes)) break;
      for (int i = 0; i < value; ++i) {
        const std::uint8_t byte = file[pos + (four ? i / 2 : i)];
        put(four ? static_cast<std::uint8_t>(i % 2 == 0 ? byte >> 4 : byte & 15) : byte);
      }
      pos += (bytes + 1) & ~std::size_t{1};
    }
  }
}

struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  int width = 0;
  std::uint8_t Extract(std::uint32_t pixel) const {
    if (width == 0) return 0;
    const std::uint32_t value = (pixel & mask) >> shift;
    if (width >= 8) return static_cast<std::uint8_t>(value >> (width - 8));
    return static_cast<std::uint8_t>(value * 255 / ((1u << width) - 1));
  }
};

Channel MakeChannel(std::uint32_t mask) {
  Channel channel;
  if (mask == 0) return channel;
  channel.mask = mask;
  channel.shift = std::countr_zero(mask);
  channel.width = std::countr_one(mask >> channel.shift);
  channel.mask = channel.width >= 32 ? mask : (((1u << channel.width) - 1) << channel.shift);
  return channel;
}

void DecodeDirectRows(Bytes file, const BmpLayout& layout, Picture& picture) {
  const std::size_t width = static_cast<std::size_t>(layout.width);
  const std::size_t height = static_cast<std::size_t>(layout.height);
  const std::size_t stride = (width * layout.bits + 31) / 32 * 4;
  const bool masked = layout.compression == kBitFields || layout.compression == kAlphaBitFields;
  std::uint32_t masks[4] = {};
  if (masked) {
    std::copy(std::begin(layout.masks), std::end(layout.masks), masks);
  } else if (layout.bits == 16) {
    masks[0] = 0x7C00; masks[1] = 0x03E0; masks[2] = 0x001F;
  } else {
    masks[0] = 0xFF0000; masks[1] = 0x00FF00; masks[2] = 0x0000FF;
  }
  const Channel red = MakeChannel(masks[0]), green = MakeChannel(masks[1]),
                blue = MakeChannel(masks[2]), alpha = MakeChannel(masks[3]);
  auto read = [&](const std::uint8_t* row, std::size_t x) -> std::uint32_t {
    return layout.bits == 16 ? Le16(Bytes(row + x * 2, 2), 0) : Le32(Bytes(row + x * 4, 4), 0);
  };
  // An alpha channel that is zero everywhere was never meant as one.
  bool useAlpha = false;
  if (alpha.width > 0 && layout.bits != 24) {
    for (std::size_t row = 0; row < height && !useAlpha; ++row) {
      const std::uint8_t* source = file.data() + layout.pixelOffset + row * stride;
      for (std::size_t x = 0; x < width && !useAlpha; ++x) useAlpha = alpha.Extract(read(source, x)) != 0;
    }
  }
  for (std::size_t row = 0; row < height; ++row) {
    const std::uint8_t* source = file.data() + layout.pixelOffset + row * stride;
    const std::size_t y = layout.topDown ? row : height - 1 - row;
    std::uint8_t* target = picture.rgb.get() + y * width * 3;
    for (std::size_t x = 0; x < width; ++x, target += 3) {
      if (layout.bits == 24) {
        target[0] = source[x * 3 + 2];
        target[1] = source[x * 3 + 1];
        target[2] = source[x * 3];
        continue;
      }
      const std::uint32_t pixel = read(source, x);
      target[0] = red.Extract(pixel);
      target[1] = green.Extract(pixel);
      target[2] = blue.Extract(pixel);
      if (useAlpha) {
        const unsigned a = alpha.Extract(pixel);
        for (int c = 0; c < 3; ++c) target[c] = static_cast<std::uint8_t>((target[c] * a + 127) / 255);
      }
    }
  }
}

}  // namespace

DecodeError ReadBmpFacts(Bytes file, PictureFacts& facts) {
  BmpLayout layout;
  const DecodeError error = ReadLayout(file, layout);
  if (error == DecodeError::None) FillFacts(layout, facts);
  return error;
}

DecodeError DecodeBmp(Bytes file, Picture& picture, PictureFacts& facts) {
  BmpLayout layout;
  if (const DecodeError error = ReadLayout(file, layout); error != DecodeError::None) return error;
  FillFacts(layout, facts);
  Picture result;
  result.width = static_cast<int>(layout.width);
  result.height = static_cast<int>(layout.height);
  const std::size_t pixels = static_cast<std::size_t>(layout.width) * static_cast<std::size_t>(layout.height);
  try {
    if (layout.bits <= 8) {
      ReadTable(file, layout, result.palette);
      result.indices.assign(pixels, 0);
      if (layout.compression == kRgb)
        DecodeIndexedRows(file, layout, result);
      else
        DecodeRunLength(file, layout, result);
    } else {
      result.rgb.reset(static_cast<std::uint8_t*>(std::malloc(pixels * 3)));
      if (!result.rgb) return DecodeError::NoMemory;
      DecodeDirectRows(file, layout, result);
    }
  } catch (const std::bad_alloc&) {
    return DecodeError::NoMemory;
  }
  picture = std::move(result);
  return DecodeError::None;
}

}  // namespace imaging
