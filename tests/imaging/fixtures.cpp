#include "fixtures.h"

#include <bit>
#include <fstream>
#include <random>
#include <unordered_map>
#include <stdexcept>

#include <stb/stb_image_write.h>

namespace fixtures {
namespace {

void Put16(ByteVector& out, unsigned value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}
void Put32(ByteVector& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}
void Set32(ByteVector& out, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t Pack(std::uint32_t mask, std::uint8_t value) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const int width = std::countr_one(mask >> shift);
  const std::uint32_t v = width >= 8 ? static_cast<std::uint32_t>(value) << (width - 8) : value >> (8 - width);
  return (v << shift) & mask;
}

void AppendRle(const IndexedImage& image, bool four, ByteVector& out) {
  for (int row = 0; row < image.height; ++row) {
    const int y = image.height - 1 - row;
    int x = 0;
    while (x < image.width) {
      const std::uint8_t index = image.indices[static_cast<std::size_t>(y) * image.width + x];
      int run = 1;
      while (x + run < image.width && run < 255 &&
             image.indices[static_cast<std::size_t>(y) * image.width + x + run] == index)
        ++run;
      out.push_back(static_cast<std::uint8_t>(run));
      out.push_back(four ? static_cast<std::uint8_t>((index << 4) | index) : index);
      x += run;
    }
    out.push_back(0);
    out.push_back(row + 1 == image.height ? 1 : 0);
  }
}

void AppendRows(const IndexedImage& image, const BmpOptions& options, ByteVector& out) {
  const std::size_t stride = (static_cast<std::size_t>(image.width) * options.bits + 31) / 32 * 4;
  std::uint32_t masks[4] = {options.masks[0], options.masks[1], options.masks[2], options.masks[3]};
  if (options.compression == Compression::Rgb && options.bits == 16) {
    masks[0] = 0x7C00; masks[1] = 0x03E0; masks[2] = 0x001F;
  } else if (options.compression == Compression::Rgb && options.bits == 32) {
    masks[0] = 0xFF0000; masks[1] = 0xFF00; masks[2] = 0xFF;
  }
  for (int row = 0; row < image.height; ++row) {
    const int y = options.topDown ? row : image.height - 1 - row;
    ByteVector line(stride, 0);
    for (int x = 0; x < image.width; ++x) {
      const std::size_t offset = static_cast<std::size_t>(y) * image.width + x;
      const std::uint8_t index = image.indices[offset];
      const Rgb c = image.palette[index];
      switch (options.bits) {
        case 1: case 2: case 4: case 8: {
          const int perByte = 8 / options.bits;
          line[x / perByte] |= static_cast<std::uint8_t>(index << (8 - options.bits * (1 + x % perByte)));
          break;
        }
        case 24:
          line[x * 3] = c.b; line[x * 3 + 1] = c.g; line[x * 3 + 2] = c.r;
          break;
        default: {
          std::uint32_t v = Pack(masks[0], c.r) | Pack(masks[1], c.g) | Pack(masks[2], c.b);
          if (!options.alpha.empty()) v |= Pack(masks[3], options.alpha[offset]);
          for (int i = 0; i < options.bits / 8; ++i)
            line[x * (options.bits / 8) + i] = static_cast<std::uint8_t>(v >> (8 * i));
        }
      }
    }
    out.insert(out.end(), line.begin(), line.end());
  }
}

}  // namespace

IndexedImage Pattern(int width, int height, int colours) {
  IndexedImage image;
  image.width = width;
  image.height = height;
  for (int i = 0; i < colours; ++i) {
    const int k = i % 8;
    const std::uint8_t extra = static_cast<std::uint8_t>(i / 8 * 16);
    image.palette.push_back({static_cast<std::uint8_t>(k & 1 ? 255 : extra),
                             static_cast<std::uint8_t>(k & 2 ? 255 : extra),
                             static_cast<std::uint8_t>(k & 4 ? 255 : extra)});
  }
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.indices.push_back(static_cast<std::uint8_t>((x + 2 * y) % colours));
  return image;
}

ByteVector MakeBmp(const IndexedImage& image, const BmpOptions& options) {
  ByteVector out;
  const bool indexed = options.bits <= 8;
  const int entries = !indexed ? 0 : options.tableEntries >= 0 ? options.tableEntries : 1 << options.bits;
  const bool core = options.headerSize == 12;
  const bool fields = options.compression == Compression::BitFields;
  const int maskBytes = fields && options.headerSize == 40 ? 12 : 0;
  const std::size_t tableOffset = 14 + options.headerSize + maskBytes;
  const std::size_t pixelOffset = tableOffset + entries * (core ? 3 : 4);
  out.push_back('B');
  out.push_back('M');
  Put32(out, 0);  // size, set below
  Put32(out, 0);
  Put32(out, static_cast<std::uint32_t>(pixelOffset));
  Put32(out, options.headerSize);
  if (core) {
    Put16(out, image.width);
    Put16(out, image.height);
    Put16(out, 1);
    Put16(out, options.bits);
  } else {
    Put32(out, image.width);
    Put32(out, static_cast<std::uint32_t>(options.topDown ? -image.height : image.height));
    Put16(out, 1);
    Put16(out, options.bits);
    Put32(out, static_cast<std::uint32_t>(options.compression));
    Put32(out, 0);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, options.writeColorsUsed ? entries : 0);
    Put32(out, options.colorsImportant);
    if (options.headerSize > 40) {
      for (int i = 0; i < 4; ++i) Put32(out, options.masks[i]);
      out.resize(14 + options.headerSize, 0);
    } else if (fields) {
      for (int i = 0; i < 3; ++i) Put32(out, options.masks[i]);
    }
  }
  for (int i = 0; i < entries; ++i) {
    const Rgb c = i < static_cast<int>(image.palette.size()) ? image.palette[i] : Rgb{};
    out.push_back(c.b);
    out.push_back(c.g);
    out.push_back(c.r);
    if (!core) out.push_back(0);
  }
  if (options.compression == Compression::Rle8 || options.compression == Compression::Rle4)
    AppendRle(image, options.compression == Compression::Rle4, out);
  else
    AppendRows(image, options, out);
  Set32(out, 2, static_cast<std::uint32_t>(out.size()));
  return out;
}

namespace {

// A real LZW stream: the table grows, codes widen up to 12 bits, and a full table is
// either cleared or kept (a "deferred clear").
ByteVector LzwEncode(const std::vector<std::uint8_t>& pixels, int minimumCodeSize, bool clearWhenFull) {
  ByteVector stream;
  std::uint32_t bitBuffer = 0;
  int bitCount = 0;
  const unsigned clear = 1u << minimumCodeSize, end = clear + 1;
  unsigned next = clear + 2;
  int width = minimumCodeSize + 1;
  auto emit = [&](unsigned code) {
    bitBuffer |= code << bitCount;
    bitCount += width;
    while (bitCount >= 8) {
      stream.push_back(static_cast<std::uint8_t>(bitBuffer));
      bitBuffer >>= 8;
      bitCount -= 8;
    }
  };
  std::unordered_map<std::uint32_t, unsigned> table;
  emit(clear);
  int prefix = -1;
  for (std::uint8_t pixel : pixels) {
    if (prefix < 0) {
      prefix = pixel;
      continue;
    }
    const std::uint32_t key = (static_cast<std::uint32_t>(prefix) << 8) | pixel;
    if (auto found = table.find(key); found != table.end()) {
      prefix = static_cast<int>(found->second);
      continue;
    }
    emit(static_cast<unsigned>(prefix));
    if (next < 4096) {
      table[key] = next++;
      if (next > (1u << width) && width < 12) ++width;
    } else if (clearWhenFull) {
      emit(clear);
      table.clear();
      next = clear + 2;
      width = minimumCodeSize + 1;
    }
    prefix = pixel;
  }
  if (prefix >= 0) emit(static_cast<unsigned>(prefix));
  emit(end);
  if (bitCount > 0) stream.push_back(static_cast<std::uint8_t>(bitBuffer));
  return stream;
}

// The image's indices in the order the file stores its rows.
std::vector<std::uint8_t> RowsInFileOrder(const IndexedImage& image, bool interlaced) {
  std::vector<int> rows;
  if (interlaced) {
    static constexpr int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
      for (int y = kStart[pass]; y < image.height; y += kStep[pass]) rows.push_back(y);
  } else {
    for (int y = 0; y < image.height; ++y) rows.push_back(y);
  }
  std::vector<std::uint8_t> pixels;
  for (int y : rows) {
    const auto row = image.indices.begin() + static_cast<std::ptrdiff_t>(y) * image.width;
    pixels.insert(pixels.end(), row, row + image.width);
  }
  return pixels;
}

void AppendColorTable(const IndexedImage& image, ByteVector& out) {
  for (int i = 0; i < 256; ++i) {
    const Rgb c = i < static_cast<int>(image.palette.size()) ? image.palette[i] : Rgb{};
    out.insert(out.end(), {c.r, c.g, c.b});
  }
}

}  // namespace

ByteVector MakeGif(const IndexedImage& image, const GifOptions& options) {
  ByteVector out{'G', 'I', 'F', '8', '9', 'a'};
  Put16(out, options.screenWidth ? options.screenWidth : image.width);
  Put16(out, options.screenHeight ? options.screenHeight : image.height);
  out.push_back(options.localTable ? 0x00 : 0xF7);  // global table of 256 entries, or none
  out.push_back(0);
  out.push_back(0);
  if (!options.localTable) AppendColorTable(image, out);
  ByteVector stream = !options.rawStream.empty()
                          ? options.rawStream
                          : LzwEncode(RowsInFileOrder(image, options.interlaced), options.minimumCodeSize,
                                      options.clearWhenFull);
  if (options.streamBytes >= 0) stream.resize(std::min<std::size_t>(stream.size(), options.streamBytes));
  for (int frame = 0; frame < options.frames; ++frame) {
    if (options.transparentIndex >= 0)
      out.insert(out.end(), {0x21, 0xF9, 4, 1, 0, 0, static_cast<std::uint8_t>(options.transparentIndex), 0});
    out.push_back(0x2C);
    Put16(out, options.left);
    Put16(out, options.top);
    Put16(out, image.width);
    Put16(out, image.height);
    out.push_back(static_cast<std::uint8_t>((options.localTable ? 0x87 : 0) | (options.interlaced ? 0x40 : 0)));
    if (options.localTable) AppendColorTable(image, out);
    out.push_back(static_cast<std::uint8_t>(options.minimumCodeSize));
    for (std::size_t at = 0; at < stream.size(); at += 255) {
      const std::size_t length = std::min<std::size_t>(255, stream.size() - at);
      out.push_back(static_cast<std::uint8_t>(length));
      out.insert(out.end(), stream.begin() + static_cast<std::ptrdiff_t>(at),
                 stream.begin() + static_cast<std::ptrdiff_t>(at + length));
    }
    out.push_back(0);
  }
  out.push_back(0x3B);
  return out;
}

ByteVector MakeGif(const IndexedImage& image, int frames, int transparentIndex) {
  GifOptions options;
  options.frames = frames;
  options.transparentIndex = transparentIndex;
  return MakeGif(image, options);
}

namespace {
void AppendTo(void* context, void* data, int size) {
  auto* out = static_cast<ByteVector*>(context);
  out->insert(out->end(), static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
}
ByteVector Channels(const IndexedImage& image, const std::vector<std::uint8_t>& alpha) {
  ByteVector pixels;
  for (std::size_t i = 0; i < image.indices.size(); ++i) {
    const Rgb c = image.palette[image.indices[i]];
    pixels.insert(pixels.end(), {c.r, c.g, c.b});
    if (!alpha.empty()) pixels.push_back(alpha[i]);
  }
  return pixels;
}
}  // namespace

ByteVector MakePng(const IndexedImage& image, const std::vector<std::uint8_t>& alpha) {
  ByteVector out;
  const ByteVector pixels = Channels(image, alpha);
  const int channels = alpha.empty() ? 3 : 4;
  stbi_write_png_to_func(AppendTo, &out, image.width, image.height, channels, pixels.data(),
                         image.width * channels);
  return out;
}

ByteVector MakeJpeg(const IndexedImage& image, int quality) {
  ByteVector out;
  const ByteVector pixels = Channels(image, {});
  stbi_write_jpg_to_func(AppendTo, &out, image.width, image.height, 3, pixels.data(), quality);
  return out;
}

ByteVector WithExifOrientation(const ByteVector& jpeg, int orientation, bool bigEndian) {
  ByteVector tiff = bigEndian ? ByteVector{'M', 'M', 0, 42, 0, 0, 0, 8, 0, 1, 0x01, 0x12, 0, 3, 0, 0, 0, 1,
                                           0, static_cast<std::uint8_t>(orientation), 0, 0, 0, 0, 0, 0}
                              : ByteVector{'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0,
                                           static_cast<std::uint8_t>(orientation), 0, 0, 0, 0, 0, 0, 0};
  ByteVector segment{'E', 'x', 'i', 'f', 0, 0};
  segment.insert(segment.end(), tiff.begin(), tiff.end());
  const std::size_t length = segment.size() + 2;
  ByteVector out(jpeg.begin(), jpeg.begin() + 2);
  out.insert(out.end(), {0xFF, 0xE1, static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)});
  out.insert(out.end(), segment.begin(), segment.end());
  out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
  return out;
}

ScratchFolder::ScratchFolder() {
  std::random_device random;
  path_ = std::filesystem::temp_directory_path() / ("quillane-imaging-" + std::to_string(random()));
  std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

void WriteFile(const std::filesystem::path& path, const ByteVector& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write fixture " + path.string());
}

ByteVector ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return ByteVector(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace fixtures
