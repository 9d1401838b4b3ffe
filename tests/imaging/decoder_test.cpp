// Decoding by content: every bitmap variant, GIF, JPEG, PNG, and hostile files.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "fixtures.h"
#include "imaging/picture_decoder.h"
#include "progressive_jpeg.h"

namespace {

using namespace imaging;
using fixtures::BmpOptions;
using fixtures::Compression;
using fixtures::IndexedImage;

void ExpectPixels(const IndexedImage& expected, const Picture& picture, int tolerance = 0) {
  ASSERT_EQ(picture.width, expected.width);
  ASSERT_EQ(picture.height, expected.height);
  for (int y = 0; y < expected.height; ++y)
    for (int x = 0; x < expected.width; ++x) {
      const Rgb want = expected.At(x, y);
      const Rgb got = picture.PixelAt(static_cast<std::size_t>(y) * expected.width + x);
      ASSERT_NEAR(got.r, want.r, tolerance) << "at " << x << "," << y;
      ASSERT_NEAR(got.g, want.g, tolerance) << "at " << x << "," << y;
      ASSERT_NEAR(got.b, want.b, tolerance) << "at " << x << "," << y;
    }
}

struct BmpCase {
  const char* name;
  int colours;
  BmpOptions options;
  bool indexed;
  const char* compression;
};

BmpOptions Options(int bits, Compression compression = Compression::Rgb, int headerSize = 40,
                   bool topDown = false) {
  BmpOptions options;
  options.bits = bits;
  options.compression = compression;
  options.headerSize = headerSize;
  options.topDown = topDown;
  return options;
}

BmpOptions WithMasks(BmpOptions options, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  options.masks[0] = r;
  options.masks[1] = g;
  options.masks[2] = b;
  return options;
}

TEST(BmpDecoder, DecodesEveryVariant) {
  BmpOptions shortTable = Options(8);
  shortTable.tableEntries = 8;
  BmpOptions shortTableNoCount = Options(4);
  shortTableNoCount.tableEntries = 5;
  shortTableNoCount.writeColorsUsed = false;  // the table's room before the pixels limits it
  const BmpCase cases[] = {
      {"1 bit", 2, Options(1), true, "none"},
      {"2 bits", 4, Options(2), true, "none"},
      {"4 bits", 16, Options(4), true, "none"},
      {"8 bits", 8, Options(8), true, "none"},
      {"8 bits top-down", 8, Options(8, Compression::Rgb, 40, true), true, "none"},
      {"8 bits core header", 8, Options(8, Compression::Rgb, 12), true, "none"},
      {"4 bits core header", 8, Options(4, Compression::Rgb, 12), true, "none"},
      {"8 bits v4 header", 8, Options(8, Compression::Rgb, 108), true, "none"},
      {"8 bits v5 header", 8, Options(8, Compression::Rgb, 124), true, "none"},
      {"8 bits short table", 8, shortTable, true, "none"},
      {"4 bits short table by offset", 5, shortTableNoCount, true, "none"},
      {"RLE8", 8, Options(8, Compression::Rle8), true, "RLE8"},
      {"RLE4", 8, Options(4, Compression::Rle4), true, "RLE4"},
      {"16 bits 5-5-5", 8, Options(16), false, "none"},
      {"16 bits 5-6-5 fields", 8, WithMasks(Options(16, Compression::BitFields), 0xF800, 0x07E0, 0x001F), false, "bit fields"},
      {"16 bits 4-4-4 fields v5", 8, WithMasks(Options(16, Compression::BitFields, 124), 0x0F00, 0x00F0, 0x000F), false, "bit fields"},
      {"24 bits", 8, Options(24), false, "none"},
      {"24 bits top-down", 8, Options(24, Compression::Rgb, 40, true), false, "none"},
      {"32 bits", 8, Options(32), false, "none"},
      {"32 bits BGR fields", 8, WithMasks(Options(32, Compression::BitFields), 0xFF, 0xFF00, 0xFF0000), false, "bit fields"},
      {"32 bits fields v4", 8, WithMasks(Options(32, Compression::BitFields, 108), 0xFF0000, 0xFF00, 0xFF), false, "bit fields"},
  };
  for (const BmpCase& test : cases) {
    SCOPED_TRACE(test.name);
    // Odd widths exercise the row padding; 7 x 5 also leaves half bytes at 4 bits.
    const IndexedImage image = fixtures::Pattern(7, 5, test.colours);
    const auto file = fixtures::MakeBmp(image, test.options);
    Picture picture;
    PictureFacts facts;
    ASSERT_EQ(DecodePicture(file, picture, facts), DecodeError::None);
    EXPECT_EQ(facts.format, PictureFormat::Bmp);
    EXPECT_EQ(facts.bitsPerPixel, test.options.bits);
    EXPECT_EQ(facts.compression, test.compression);
    EXPECT_EQ(picture.IsIndexed(), test.indexed);
    ExpectPixels(image, picture);
    if (test.indexed) {
      EXPECT_EQ(picture.indices, image.indices);
    }
  }
}

TEST(BmpDecoder, ShortTableKeepsItsLengthAndIndicesBeyondItShowBlack) {
  IndexedImage image = fixtures::Pattern(4, 2, 8);
  BmpOptions options = Options(8);
  options.tableEntries = 4;  // indices 4..7 point past the table
  Picture picture;
  PictureFacts facts;
  ASSERT_EQ(DecodePicture(fixtures::MakeBmp(image, options), picture, facts), DecodeError::None);
  EXPECT_EQ(picture.palette.size(), 4u);
  EXPECT_EQ(facts.colorTableEntries, 4);
  EXPECT_EQ(picture.indices, image.indices);
  EXPECT_EQ(picture.PixelAt(3), image.palette[3]);
  for (std::size_t i = 0; i < image.indices.size(); ++i)
    if (image.indices[i] >= 4) {
      EXPECT_EQ(picture.PixelAt(i), Rgb{});
    }
}

TEST(BmpDecoder, AlphaFromBitFieldsIsFlattenedOntoBlackUnlessAllZero) {
  IndexedImage image = fixtures::Pattern(2, 1, 8);
  image.palette[image.indices[0]] = {200, 100, 50};
  BmpOptions options = WithMasks(Options(32, Compression::BitFields, 108), 0xFF0000, 0xFF00, 0xFF);
  options.masks[3] = 0xFF000000;
  options.alpha = {0, 255};
  Picture picture;
  PictureFacts facts;
  ASSERT_EQ(DecodePicture(fixtures::MakeBmp(image, options), picture, facts), DecodeError::None);
  EXPECT_EQ(picture.PixelAt(0), Rgb{});
  EXPECT_EQ(picture.PixelAt(1), image.At(1, 0));

  options.alpha = {0, 0};  // an unused alpha channel: the picture is opaque
  ASSERT_EQ(DecodePicture(fixtures::MakeBmp(image, options), picture, facts), DecodeError::None);
  EXPECT_EQ(picture.PixelAt(0), (Rgb{200, 100, 50}));
}

// Hand-made run-length data: absolute runs with padding, deltas, runs that go past
// the row, data that stops without an end marker.
TEST(BmpDecoder, RunLengthEscapes) {
  IndexedImage blank;
  blank.width = 4;
  blank.height = 3;
  blank.indices.assign(12, 0);
  blank.palette = fixtures::Pattern(1, 1, 8).palette;
  BmpOptions options = Options(8, Compression::Rle8);
  auto file = fixtures::MakeBmp(blank, options);
  const std::size_t pixelOffset = 14 + 40 + 256 * 4;
  file.resize(pixelOffset);
  // Row 0 (bottom): absolute run of 3 (1 2 3, padded), then 1 x 4. Delta (0,1) to row 1,
  // a run of 9 x 5 that overflows the row, EOL; row 2: nothing but a delta far outside.
  const std::uint8_t data[] = {0, 3, 1, 2, 3, 0, 1, 4, 0, 2, 0, 1, 9, 5, 0, 0, 0, 2, 200, 200};
  file.insert(file.end(), std::begin(data), std::end(data));
  Picture picture;
  PictureFacts facts;
  ASSERT_EQ(DecodePicture(file, picture, facts), DecodeError::None);
  // The delta left x at 4 on row 1, past its end, so the run of 5s falls outside.
  const std::vector<std::uint8_t> expected = {0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4};
  EXPECT_EQ(picture.indices, expected);

  // RLE4: absolute run of 3 nibbles (padded to a word), then a run alternating 6/7.
  auto file4 = fixtures::MakeBmp(blank, Options(4, Compression::Rle4));
  file4.resize(14 + 40 + 16 * 4);
  const std::uint8_t data4[] = {0, 3, 0x12, 0x30, 1, 0x67, 0, 1};
  file4.insert(file4.end(), std::begin(data4), std::end(data4));
  ASSERT_EQ(DecodePicture(file4, picture, facts), DecodeError::None);
  EXPECT_EQ(std::vector<std::uint8_t>(picture.indices.begin() + 8, picture.indices.end()),
            (std::vector<std::uint8_t>{1, 2, 3, 6}));
}

TEST(BmpDecoder, RefusesImpossibleAndOversizedHeadersBeforeAllocating) {
  const IndexedImage image = fixtures::Pattern(8, 8, 8);
  struct Case {
    const char* name;
    std::size_t offset;
    std::uint32_t value;
    DecodeError expected;
  } cases[] = {
      {"width over 32767", 18, 32768, DecodeError::TooLarge},
      {"height over 32767", 22, 40000, DecodeError::TooLarge},
      {"over 100 megapixels", 18, 20000, DecodeError::TooLarge},  // with height set below
      {"more rows than the file holds", 22, 30000, DecodeError::Damaged},
      {"zero width", 18, 0, DecodeError::Damaged},
      {"two planes", 26, 2 | (8 << 16), DecodeError::Damaged},
      {"unknown depth", 28, 7, DecodeError::Unsupported},
      {"RLE8 at 4 bits", 28, 4 | (1u << 16), DecodeError::Damaged},
      {"JPEG inside a bitmap", 30, 4, DecodeError::Unsupported},
      {"pixels inside the header", 10, 20, DecodeError::Damaged},
      {"pixels past the end", 10, 100000, DecodeError::Damaged},
      {"unknown header size", 14, 41, DecodeError::Unsupported},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    auto file = fixtures::MakeBmp(image, Options(8));
    for (int i = 0; i < 4; ++i) file[test.offset + i] = static_cast<std::uint8_t>(test.value >> (8 * i));
    if (test.offset == 18 && test.value == 20000) {
      const std::uint32_t height = 20000;
      for (int i = 0; i < 4; ++i) file[22 + i] = static_cast<std::uint8_t>(height >> (8 * i));
    }
    Picture picture;
    PictureFacts facts;
    EXPECT_EQ(DecodePicture(file, picture, facts), test.expected);
  }
  // A top-down run-length bitmap is not a thing.
  auto file = fixtures::MakeBmp(image, Options(8, Compression::Rle8));
  file[25] = 0xFF, file[24] = 0xFF, file[23] = 0xFF, file[22] = 0xF8;
  Picture picture;
  PictureFacts facts;
  EXPECT_EQ(DecodePicture(file, picture, facts), DecodeError::Damaged);
}

TEST(BmpDecoder, SidesUpTo32767PixelsAreRead) {
  IndexedImage line;
  line.width = 32767;
  line.height = 2;
  line.palette = {{0, 0, 0}, {255, 255, 255}};
  line.indices.assign(static_cast<std::size_t>(line.width) * 2, 1);
  Picture picture;
  PictureFacts facts;
  ASSERT_EQ(DecodePicture(fixtures::MakeBmp(line, Options(1)), picture, facts), DecodeError::None);
  EXPECT_EQ(picture.width, 32767);
  EXPECT_EQ(picture.PixelAt(32766), (Rgb{255, 255, 255}));
}

// Every prefix of a file decodes cleanly or fails cleanly.
TEST(Decoder, TruncatedFilesFailCleanly) {
  const IndexedImage image = fixtures::Pattern(9, 7, 8);
  const std::vector<fixtures::ByteVector> files = {
      fixtures::MakeBmp(image, Options(8)), fixtures::MakeBmp(image, Options(8, Compression::Rle8)),
      fixtures::MakeBmp(image, Options(4, Compression::Rle4)), fixtures::MakeBmp(image, Options(24)),
      fixtures::MakeGif(image, 2), fixtures::MakePng(image), fixtures::MakeJpeg(image),
      fixtures::ByteVector(std::begin(kProgressiveJpeg), std::end(kProgressiveJpeg))};
  for (const auto& file : files) {
    for (std::size_t length = 0; length < file.size(); ++length) {
      const fixtures::ByteVector prefix(file.begin(), file.begin() + length);
      Picture picture;
      PictureFacts facts;
      if (DecodePicture(prefix, picture, facts) == DecodeError::None) {
        EXPECT_GT(picture.width, 0);
        EXPECT_EQ(picture.width, facts.width);
      }
    }
  }
}

TEST(Decoder, RecognisesByContentNotName) {
  Picture picture;
  PictureFacts facts;
  EXPECT_EQ(DecodePicture(fixtures::ByteVector{'h', 'e', 'l', 'l', 'o'}, picture, facts), DecodeError::Unrecognised);
  EXPECT_EQ(DecodePicture(fixtures::ByteVector{}, picture, facts), DecodeError::Unrecognised);
}

TEST(GifDecoder, FirstFrameAndWhetherMoreFollow) {
  const IndexedImage image = fixtures::Pattern(13, 6, 8);
  for (int frames : {1, 2}) {
    Picture picture;
    PictureFacts facts;
    ASSERT_EQ(DecodePicture(fixtures::MakeGif(image, frames), picture, facts), DecodeError::None);
    EXPECT_EQ(facts.format, PictureFormat::Gif);
    EXPECT_EQ(facts.moreFrames, frames == 2);
    EXPECT_EQ(facts.bitsPerPixel, 8);
    ExpectPixels(image, picture);
  }
}

IndexedImage Noise(int width, int height, int colours, unsigned seed) {
  IndexedImage image = fixtures::Pattern(width, height, colours);
  std::mt19937 random(seed);
  for (auto& index : image.indices) index = static_cast<std::uint8_t>(random() % colours);
  return image;
}

fixtures::GifOptions GifWith(void (*change)(fixtures::GifOptions&)) {
  fixtures::GifOptions options;
  change(options);
  return options;
}

TEST(GifDecoder, LzwStreamsOfEveryShape) {
  IndexedImage flat = fixtures::Pattern(40, 30, 8);
  std::fill(flat.indices.begin(), flat.indices.end(), 5);  // long runs: codes used as they are defined
  const struct {
    const char* name;
    IndexedImage image;
    fixtures::GifOptions options;
  } cases[] = {
      {"codes widen to 12 bits, table cleared", Noise(150, 120, 256, 1), {}},
      {"full table kept (deferred clear)", Noise(150, 120, 256, 2), GifWith([](auto& o) { o.clearWhenFull = false; })},
      {"runs of one colour", flat, {}},
      {"interlaced, height not a multiple of 8", Noise(17, 37, 256, 3), GifWith([](auto& o) { o.interlaced = true; })},
      {"local colour table", Noise(20, 10, 256, 4), GifWith([](auto& o) { o.localTable = true; })},
      {"two-bit minimum code size", Noise(33, 21, 4, 5), GifWith([](auto& o) { o.minimumCodeSize = 2; })},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Picture picture;
    PictureFacts facts;
    ASSERT_EQ(DecodePicture(fixtures::MakeGif(c.image, c.options), picture, facts), DecodeError::None);
    ExpectPixels(c.image, picture);
  }
}

TEST(GifDecoder, FrameSmallerThanScreenSitsAtItsPlaceOnBlack) {
  const IndexedImage frame = Noise(6, 4, 256, 6);
  fixtures::GifOptions options;
  options.screenWidth = 10, options.screenHeight = 8, options.left = 3, options.top = 2;
  Picture picture;
  PictureFacts facts;
  ASSERT_EQ(DecodePicture(fixtures::MakeGif(frame, options), picture, facts), DecodeError::None);
  ASSERT_EQ(picture.width, 10);
  ASSERT_EQ(picture.height, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 10; ++x) {
      const bool inside = x >= 3 && x < 9 && y >= 2 && y < 6;
      EXPECT_EQ(picture.PixelAt(y * 10u + x), inside ? frame.At(x - 3, y - 2) : Rgb{}) << x << "," << y;
    }
  // A frame reaching past the screen is cut at its edge.
  options.left = 7;
  ASSERT_EQ(DecodePicture(fixtures::MakeGif(frame, options), picture, facts), DecodeError::None);
  EXPECT_EQ(picture.PixelAt(2 * 10u + 9), frame.At(2, 0));
}

TEST(GifDecoder, DataEndingEarlyKeepsWhatWasDrawn) {
  const IndexedImage image = fixtures::Pattern(64, 64, 8);
  fixtures::GifOptions options;
  options.streamBytes = 40;
  Picture picture;
  PictureFacts facts;
  ASSERT_EQ(DecodePicture(fixtures::MakeGif(image, options), picture, facts), DecodeError::None);
  EXPECT_EQ(picture.PixelAt(0), image.At(0, 0));
  EXPECT_EQ(picture.PixelAt(63 * 64u + 63), Rgb{});
}

TEST(GifDecoder, ImpossibleCodesAndTablesAreDamage) {
  const IndexedImage image = fixtures::Pattern(4, 4, 4);
  const struct {
    const char* name;
    fixtures::GifOptions options;
  } cases[] = {
      // 3-bit codes: clear (4), then 7, a code not yet in the table.
      {"code beyond the table", GifWith([](auto& o) { o.minimumCodeSize = 2, o.rawStream = {0x3C, 0x00}; })},
      // clear, then 6: a string code with no string before it.
      {"string code first", GifWith([](auto& o) { o.minimumCodeSize = 2, o.rawStream = {0x34, 0x00}; })},
      {"minimum code size 12", GifWith([](auto& o) { o.minimumCodeSize = 12, o.rawStream = {0x00, 0x10}; })},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Picture picture;
    PictureFacts facts;
    EXPECT_EQ(DecodePicture(fixtures::MakeGif(image, c.options), picture, facts), DecodeError::Damaged);
  }
  // No colour table at all.
  auto file = fixtures::MakeGif(image);
  file[10] &= 0x7F;
  file.erase(file.begin() + 13, file.begin() + 13 + 768);
  Picture picture;
  PictureFacts facts;
  EXPECT_EQ(DecodePicture(file, picture, facts), DecodeError::Damaged);
}

TEST(GifDecoder, TransparentPixelsBecomeBlack) {
  IndexedImage image = fixtures::Pattern(4, 4, 8);
  Picture picture;
  PictureFacts facts;
  ASSERT_EQ(DecodePicture(fixtures::MakeGif(image, 1, 3), picture, facts), DecodeError::None);
  for (std::size_t i = 0; i < image.indices.size(); ++i)
    EXPECT_EQ(picture.PixelAt(i), image.indices[i] == 3 ? Rgb{} : image.palette[image.indices[i]]);
}

TEST(GifDecoder, RefusesHugeScreenInTinyFile) {
  auto file = fixtures::MakeGif(fixtures::Pattern(2, 2, 8));
  file[6] = 0x10, file[7] = 0x27, file[8] = 0x10, file[9] = 0x27;  // 10000 x 10000
  Picture picture;
  PictureFacts facts;
  EXPECT_NE(DecodePicture(file, picture, facts), DecodeError::None);
}

TEST(JpegDecoder, BaselineProgressiveAndExifOrientation) {
  // Left half red, right half blue, 16 x 8.
  IndexedImage image;
  image.width = 16;
  image.height = 8;
  image.palette = {{255, 0, 0}, {0, 0, 255}};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x) image.indices.push_back(x < 8 ? 0 : 1);
  Picture picture;
  PictureFacts facts;
  const auto jpeg = fixtures::MakeJpeg(image);
  ASSERT_EQ(DecodePicture(jpeg, picture, facts), DecodeError::None);
  EXPECT_EQ(facts.compression, "baseline");
  EXPECT_EQ(facts.bitsPerPixel, 24);
  ExpectPixels(image, picture, 40);

  fixtures::ByteVector progressive(std::begin(kProgressiveJpeg), std::end(kProgressiveJpeg));
  ASSERT_EQ(DecodePicture(progressive, picture, facts), DecodeError::None);
  EXPECT_EQ(facts.compression, "progressive");
  EXPECT_EQ(picture.width, 16);
  EXPECT_GT(picture.PixelAt(0).r, 200);
  EXPECT_GT(picture.PixelAt(15).b, 200);

  // Orientation 6: turn clockwise; the red left half ends up on top.
  for (bool bigEndian : {false, true}) {
    ASSERT_EQ(DecodePicture(fixtures::WithExifOrientation(jpeg, 6, bigEndian), picture, facts), DecodeError::None);
    EXPECT_EQ(picture.width, 8);
    EXPECT_EQ(picture.height, 16);
    EXPECT_EQ(facts.width, 8);
    EXPECT_GT(picture.PixelAt(0).r, 200);
    EXPECT_GT(picture.PixelAt(15 * 8).b, 200);
  }
  ASSERT_EQ(DecodePicture(fixtures::WithExifOrientation(jpeg, 3, false), picture, facts), DecodeError::None);
  EXPECT_GT(picture.PixelAt(0).b, 200);  // turned half way: blue on the left
}

// A Huffman table claiming more than 256 symbols would make the JPEG decoder write
// past its tables; such a file is refused as damaged.
TEST(JpegDecoder, RefusesHuffmanTablesWithTooManySymbols) {
  auto jpeg = fixtures::MakeJpeg(fixtures::Pattern(16, 16, 8));
  std::size_t table = 0;
  for (std::size_t i = 2; i + 1 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC4) {
      table = i;
      break;
    }
  ASSERT_NE(table, 0u);
  jpeg[table + 5 + 14] = 200;  // counts of 15- and 16-bit codes
  jpeg[table + 5 + 15] = 200;
  Picture picture;
  PictureFacts facts;
  EXPECT_EQ(DecodePicture(jpeg, picture, facts), DecodeError::Damaged);
}

TEST(Orientation, AllEightMatchTheirTransforms) {
  // 3 x 2 picture with distinct pixels; compare against the transform definitions.
  auto make = [] {
    Picture p;
    p.width = 3;
    p.height = 2;
    p.rgb.reset(static_cast<std::uint8_t*>(std::malloc(18)));
    for (int i = 0; i < 18; ++i) p.rgb[i] = static_cast<std::uint8_t>(i / 3);  // pixel number
    return p;
  };
  // Expected pixel numbers (row-major) after each orientation is applied.
  const std::vector<std::vector<int>> expected = {
      {0, 1, 2, 3, 4, 5}, {2, 1, 0, 5, 4, 3}, {5, 4, 3, 2, 1, 0}, {3, 4, 5, 0, 1, 2},
      {0, 3, 1, 4, 2, 5}, {3, 0, 4, 1, 5, 2}, {5, 2, 4, 1, 3, 0}, {2, 5, 1, 4, 0, 3}};
  for (int orientation = 1; orientation <= 8; ++orientation) {
    SCOPED_TRACE(orientation);
    Picture p = make();
    ApplyOrientation(p, orientation);
    std::vector<int> got;
    for (int i = 0; i < 6; ++i) got.push_back(p.rgb[i * 3]);
    EXPECT_EQ(got, expected[orientation - 1]);
  }
}

TEST(PngDecoder, AlphaFlattenedOntoBlack) {
  IndexedImage image = fixtures::Pattern(3, 1, 8);
  image.palette[image.indices[1]] = {100, 200, 40};
  Picture picture;
  PictureFacts facts;
  ASSERT_EQ(DecodePicture(fixtures::MakePng(image, {255, 128, 0}), picture, facts), DecodeError::None);
  EXPECT_EQ(facts.format, PictureFormat::Png);
  EXPECT_EQ(picture.PixelAt(0), image.At(0, 0));
  EXPECT_EQ(picture.PixelAt(1), (Rgb{50, 100, 20}));
  EXPECT_EQ(picture.PixelAt(2), Rgb{});
}

// A tRNS chunk names one colour of an RGB picture as transparent.
fixtures::ByteVector WithTransparentColour(const fixtures::ByteVector& png, Rgb colour) {
  const fixtures::ByteVector chunk{0, 0, 0, 6, 't', 'R', 'N', 'S', 0, colour.r, 0, colour.g, 0, colour.b};
  std::uint32_t crc = 0xFFFFFFFF;
  for (std::size_t i = 4; i < chunk.size(); ++i) {
    crc ^= chunk[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  crc = ~crc;
  fixtures::ByteVector out(png.begin(), png.begin() + 33);  // signature and IHDR
  out.insert(out.end(), chunk.begin(), chunk.end());
  out.insert(out.end(), {static_cast<std::uint8_t>(crc >> 24), static_cast<std::uint8_t>(crc >> 16),
                         static_cast<std::uint8_t>(crc >> 8), static_cast<std::uint8_t>(crc)});
  out.insert(out.end(), png.begin() + 33, png.end());
  return out;
}

TEST(PngDecoder, TransparentColourFlattenedOntoBlack) {
  const IndexedImage image = fixtures::Pattern(5, 3, 8);
  const Rgb transparent = image.At(1, 0);
  Picture picture;
  PictureFacts facts;
  ASSERT_EQ(DecodePicture(WithTransparentColour(fixtures::MakePng(image), transparent), picture, facts),
            DecodeError::None);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x)
      EXPECT_EQ(picture.PixelAt(y * 5u + x), image.At(x, y) == transparent ? Rgb{} : image.At(x, y));
}

}  // namespace
