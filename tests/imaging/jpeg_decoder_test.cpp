// Our JPEG decoder against stb_image's decode of the same files, its reduced scales
// against a box-filtered full decode, and damaged, truncated and hostile files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "fixtures.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/picture_decoder.h"
#include "jpeg_reference.h"
#include "jpeg_samples.h"

namespace {

using namespace imaging;
using fixtures::ByteVector;

// RGB pixels, 3 bytes each, top-down.
struct Pixels {
  int width = 0, height = 0;
  std::vector<double> rgb;
};

Pixels FromPicture(const Picture& picture) {
  Pixels pixels{picture.width, picture.height, {}};
  const std::size_t count = static_cast<std::size_t>(picture.width) * picture.height * 3;
  pixels.rgb.assign(picture.rgb.get(), picture.rgb.get() + count);
  return pixels;
}

Pixels DecodeWithReference(std::span<const std::uint8_t> file) {
  int width = 0, height = 0;
  unsigned char* data = ReferenceJpegDecode(file.data(), static_cast<int>(file.size()), &width, &height);
  Pixels pixels{width, height, {}};
  if (data) pixels.rgb.assign(data, data + static_cast<std::size_t>(width) * height * 3);
  ReferenceJpegFree(data);
  return pixels;
}

// Averages of factor x factor blocks (partial blocks at the right and bottom edge).
Pixels BoxFilter(const Pixels& source, int factor) {
  Pixels out{(source.width + factor - 1) / factor, (source.height + factor - 1) / factor, {}};
  out.rgb.assign(static_cast<std::size_t>(out.width) * out.height * 3, 0.0);
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x)
      for (int c = 0; c < 3; ++c) {
        double sum = 0;
        int count = 0;
        for (int sy = y * factor; sy < std::min(source.height, (y + 1) * factor); ++sy)
          for (int sx = x * factor; sx < std::min(source.width, (x + 1) * factor); ++sx, ++count)
            sum += source.rgb[(static_cast<std::size_t>(sy) * source.width + sx) * 3 + c];
        out.rgb[(static_cast<std::size_t>(y) * out.width + x) * 3 + c] = sum / count;
      }
  return out;
}

double RmsDifference(const Pixels& a, const Pixels& b) {
  EXPECT_EQ(a.width, b.width);
  EXPECT_EQ(a.height, b.height);
  if (a.rgb.size() != b.rgb.size() || a.rgb.empty()) return 1e9;
  double sum = 0;
  for (std::size_t i = 0; i < a.rgb.size(); ++i) sum += (a.rgb[i] - b.rgb[i]) * (a.rgb[i] - b.rgb[i]);
  return std::sqrt(sum / static_cast<double>(a.rgb.size()));
}

Pixels Decode(std::span<const std::uint8_t> file, int divisor) {
  Picture picture;
  EXPECT_EQ(DecodeJpeg(file, divisor, picture), DecodeError::None) << "divisor " << divisor;
  return picture.rgb ? FromPicture(picture) : Pixels{};
}

// A smooth diagonal gradient through many colours: a photograph's kind of content,
// on which reduced-scale decoding and a box filter agree closely.
fixtures::IndexedImage Gradient(int width, int height) {
  fixtures::IndexedImage image;
  image.width = width;
  image.height = height;
  for (int i = 0; i < 256; ++i)
    image.palette.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                             static_cast<std::uint8_t>(64 + i / 2)});
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.indices.push_back(static_cast<std::uint8_t>((x + y) * 255 / (width + height - 2)));
  return image;
}

struct FileCase {
  std::string name;
  ByteVector bytes;
  bool subsampled;  // colour at lower resolution than brightness
};

// Brightness alone, which the choice of chroma upsampling leaves nearly untouched.
Pixels Luma(const Pixels& source) {
  Pixels out{source.width, source.height, {}};
  for (std::size_t i = 0; i + 2 < source.rgb.size(); i += 3) {
    const double y = 0.299 * source.rgb[i] + 0.587 * source.rgb[i + 1] + 0.114 * source.rgb[i + 2];
    out.rgb.insert(out.rgb.end(), {y, y, y});
  }
  return out;
}

// Every kind of file: the samples made with libjpeg's encoder (progressive,
// restart intervals, every usual sampling, grey, RGB) and stb_image_write's
// baseline files (4:4:4 at quality 95, 4:2:0 below), odd sizes among them.
std::vector<FileCase> AllKinds() {
  std::vector<FileCase> cases;
  for (const JpegSample& sample : kJpegSamples) {
    const std::string name(sample.name);
    const bool full = name.starts_with("grey") || name.starts_with("rgb") || name.starts_with("ycc444");
    cases.push_back({name, ByteVector(sample.bytes.begin(), sample.bytes.end()), !full});
  }
  cases.push_back({"stb 4:4:4 1x1", fixtures::MakeJpeg(fixtures::Pattern(1, 1, 8), 95), false});
  cases.push_back({"stb 4:4:4 17x9", fixtures::MakeJpeg(fixtures::Pattern(17, 9, 8), 95), false});
  cases.push_back({"stb 4:2:0 33x65", fixtures::MakeJpeg(Gradient(33, 65), 80), true});
  cases.push_back({"stb 4:2:0 203x141", fixtures::MakeJpeg(Gradient(203, 141), 85), true});
  return cases;
}

// At full size the pixels are stb_image's. Where colour is subsampled the two
// upsample it differently (stb_image interpolates, we repeat), so there brightness
// is compared closely and colour loosely.
TEST(JpegDecoder, FullSizeMatchesTheReferenceDecoder) {
  for (const FileCase& file : AllKinds()) {
    SCOPED_TRACE(file.name);
    const Pixels ours = Decode(file.bytes, 1);
    const Pixels reference = DecodeWithReference(file.bytes);
    ASSERT_FALSE(reference.rgb.empty());
    EXPECT_LT(RmsDifference(Luma(ours), Luma(reference)), 1.0);
    EXPECT_LT(RmsDifference(ours, reference), file.subsampled ? 8.0 : 1.0);
  }
}

TEST(JpegDecoder, ReducedScalesMatchABoxFilteredFullDecode) {
  struct Case {
    const char* name;
    ByteVector bytes;
    double tolerance;  // rms, 0-255
  };
  const auto sample = [](std::string_view name) {
    for (const JpegSample& s : kJpegSamples)
      if (s.name == name) return ByteVector(s.bytes.begin(), s.bytes.end());
    ADD_FAILURE() << "no sample " << name;
    return ByteVector{};
  };
  // Smooth content agrees closely; the samples' checkerboard has detail a reduced
  // transform and a box filter treat differently, hence the wider margin there.
  const Case cases[] = {
      {"gradient 4:4:4", fixtures::MakeJpeg(Gradient(203, 141), 95), 1.5},
      {"gradient 4:2:0", fixtures::MakeJpeg(Gradient(203, 141), 80), 2.0},
      {"progressive 4:4:4 with refinement", sample("ycc444-progressive"), 8.0},
      {"progressive 4:1:1 with restarts", sample("ycc411-progressive-restart"), 8.0},
      {"progressive grey", sample("grey-progressive-restart"), 8.0},
      {"mixed sampling", sample("mixed-sampling"), 8.0},
  };
  for (const Case& c : cases) {
    const Pixels full = Decode(c.bytes, 1);
    for (int divisor : {2, 4, 8}) {
      SCOPED_TRACE(std::string(c.name) + " at 1/" + std::to_string(divisor));
      const Pixels reduced = Decode(c.bytes, divisor);
      EXPECT_LT(RmsDifference(reduced, BoxFilter(full, divisor)), c.tolerance);
    }
  }
}

TEST(JpegDecoder, ChoosesTheSmallestScaleThatLeavesTwiceTheNeededSize) {
  struct Case {
    int width, height, neededWidth, neededHeight, divisor;
  };
  const Case cases[] = {
      {4000, 3000, 320, 400, 2},  // 2000 x 1500; at 1/4 750 rows would be under 800
      {4000, 3000, 320, 240, 4},
      {1024, 768, 320, 400, 1},
      {8000, 6000, 320, 300, 8},
      {5120, 640, 320, 40, 8},
      {4000, 3000, 0, 0, 1},  // full size asked for
      {641, 801, 320, 400, 1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ChooseJpegDivisor(c.width, c.height, c.neededWidth, c.neededHeight), c.divisor)
        << c.width << "x" << c.height << " for " << c.neededWidth << "x" << c.neededHeight;
}

std::size_t FindMarker(const ByteVector& file, std::uint8_t marker, std::size_t from = 2);

// The conversion asks for the size it needs; the facts keep the full size, the
// orientation applies to the reduced picture as to a full one.
TEST(JpegDecoder, DecodePictureReducesForTheNeededSizeAndKeepsFullFacts) {
  const ByteVector jpeg = fixtures::MakeJpeg(Gradient(1000, 750), 90);
  Picture picture;
  PictureFacts facts;
  ASSERT_EQ(DecodePicture(jpeg, picture, facts, {100, 75}), DecodeError::None);
  EXPECT_EQ(picture.width, 250);
  EXPECT_EQ(picture.height, 188);
  EXPECT_EQ(facts.width, 1000);
  EXPECT_EQ(facts.height, 750);

  const ByteVector turned = fixtures::WithExifOrientation(jpeg, 6, false);
  ASSERT_EQ(DecodePicture(turned, picture, facts, {75, 100}), DecodeError::None);
  EXPECT_EQ(picture.width, 188);
  EXPECT_EQ(picture.height, 250);
  EXPECT_EQ(facts.width, 750);
  EXPECT_EQ(facts.height, 1000);
  // Turned clockwise: the stored top-left corner (red 0, green 255) is now top-right.
  const Rgb corner = picture.PixelAt(187);
  EXPECT_LT(corner.r, 40);
  EXPECT_GT(corner.g, 215);

  ASSERT_EQ(DecodePicture(jpeg, picture, facts), DecodeError::None);
  EXPECT_EQ(picture.width, 1000);
}

// The 100-megapixel limit counts the picture at the scale it is decoded: 12000 x
// 9000 is refused at full size and decoded at 1/8 for a small needed size.
TEST(JpegDecoder, PixelLimitCountsAtTheScaleDecoded) {
  ByteVector jpeg = fixtures::MakeJpeg(Gradient(16, 16), 90);
  const std::size_t frame = FindMarker(jpeg, 0xC0);
  jpeg[frame + 5] = 9000 >> 8;
  jpeg[frame + 6] = 9000 & 0xFF;
  jpeg[frame + 7] = 12000 >> 8;
  jpeg[frame + 8] = 12000 & 0xFF;
  // Padding, so the file is large enough to describe that many pixels at all.
  ByteVector padding{0xFF, 0xEF, 0x40, 0x00};
  padding.resize(2 + 0x4000, 0);
  jpeg.insert(jpeg.begin() + 2, padding.begin(), padding.end());
  Picture picture;
  PictureFacts facts;
  EXPECT_EQ(DecodePicture(jpeg, picture, facts), DecodeError::TooLarge);
  ASSERT_EQ(DecodePicture(jpeg, picture, facts, {320, 240}), DecodeError::None);
  EXPECT_EQ(picture.width, 1500);
  EXPECT_EQ(picture.height, 1125);
  EXPECT_EQ(facts.width, 12000);
}

ByteVector CutAt(const ByteVector& file, std::size_t length) { return ByteVector(file.begin(), file.begin() + length); }

std::size_t FindMarker(const ByteVector& file, std::uint8_t marker, std::size_t from) {
  for (std::size_t i = from; i + 1 < file.size(); ++i)
    if (file[i] == 0xFF && file[i + 1] == marker) return i;
  ADD_FAILURE() << "no marker " << static_cast<int>(marker);
  return 0;
}

// A file that ends inside its picture data decodes as far as the data goes; the
// rest is grey. One that ends before any picture data is damaged.
TEST(JpegDecoder, TruncatedFilesDecodeWhatIsThereAndFillTheRestGrey) {
  const ByteVector jpeg = fixtures::MakeJpeg(Gradient(64, 64), 95);
  const Pixels full = Decode(jpeg, 1);
  const std::size_t scan = FindMarker(jpeg, 0xDA);
  const ByteVector cut = CutAt(jpeg, scan + (jpeg.size() - scan) / 2);
  Picture picture;
  PictureFacts facts;
  ASSERT_EQ(DecodePicture(cut, picture, facts), DecodeError::None);
  ASSERT_EQ(picture.width, 64);
  const Pixels partial = FromPicture(picture);
  for (int x = 0; x < 64; ++x) {
    for (int c = 0; c < 3; ++c) {
      EXPECT_EQ(partial.rgb[static_cast<std::size_t>(x) * 3 + c], full.rgb[static_cast<std::size_t>(x) * 3 + c]);
      EXPECT_EQ(partial.rgb[(63 * 64 + static_cast<std::size_t>(x)) * 3 + c], 128) << "bottom row, x " << x;
    }
  }
  for (int divisor : {2, 8}) {
    Picture reduced;
    EXPECT_EQ(DecodeJpeg(cut, divisor, reduced), DecodeError::None);
  }
  for (const JpegSample& sample : kJpegSamples) {
    const ByteVector bytes(sample.bytes.begin(), sample.bytes.end());
    const std::size_t firstScan = FindMarker(bytes, 0xDA);
    EXPECT_EQ(DecodePicture(CutAt(bytes, bytes.size() * 2 / 3), picture, facts), DecodeError::None) << sample.name;
    EXPECT_EQ(DecodePicture(CutAt(bytes, firstScan), picture, facts), DecodeError::Damaged) << sample.name;
  }
}

// Damaged data inside one restart interval spoils that interval only: decoding
// resumes at the next restart marker.
TEST(JpegDecoder, DamagedDataSpoilsOnlyItsRestartInterval) {
  const std::span<const std::uint8_t> clean = k_ycc420_restart;  // one MCU per interval
  ByteVector damaged(clean.begin(), clean.end());
  const std::size_t first = FindMarker(damaged, 0xD0);
  const std::size_t second = FindMarker(damaged, 0xD1, first + 2);
  ASSERT_GT(second, first + 4);
  for (std::size_t i = first + 2; i < second; ++i) damaged[i] = 0xA5;  // MCU 1 (16..31, 0..15)
  const Pixels good = Decode(clean, 1);
  const Pixels spoilt = Decode(damaged, 1);
  ASSERT_EQ(spoilt.width, good.width);
  int differing = 0;
  for (int y = 0; y < good.height; ++y)
    for (int x = 0; x < good.width; ++x)
      for (int c = 0; c < 3; ++c) {
        const std::size_t at = (static_cast<std::size_t>(y) * good.width + x) * 3 + c;
        const bool inSpoiltMcu = x >= 16 && x < 32 && y < 16;
        if (!inSpoiltMcu) {
          EXPECT_EQ(spoilt.rgb[at], good.rgb[at]) << x << "," << y;
        }
        differing += spoilt.rgb[at] != good.rgb[at];
      }
  EXPECT_GT(differing, 0);
}

// Headers and tables that cannot be right are refused as damaged; kinds of JPEG we
// do not decode (arithmetic coding, lossless, 12-bit, CMYK) as unsupported.
TEST(JpegDecoder, RefusesDamagedHeadersAndUnsupportedKinds) {
  const ByteVector base = fixtures::MakeJpeg(fixtures::Pattern(24, 16, 8), 95);
  const std::size_t frame = FindMarker(base, 0xC0);
  const std::size_t huffman = FindMarker(base, 0xC4);
  const std::size_t quant = FindMarker(base, 0xDB);
  const std::size_t scan = FindMarker(base, 0xDA);
  struct Case {
    const char* name;
    std::size_t at;
    std::uint8_t value;
    DecodeError expected;
  };
  const Case cases[] = {
      {"Huffman code lengths over-subscribed", huffman + 5, 3, DecodeError::Damaged},
      {"Huffman table class 2", huffman + 4, 0x20, DecodeError::Damaged},
      {"quantisation table precision 2", quant + 4, 0x20, DecodeError::Damaged},
      {"sampling factor 0", frame + 11, 0x01, DecodeError::Damaged},
      {"sampling factor 5", frame + 11, 0x51, DecodeError::Damaged},
      {"quantisation table 4", frame + 12, 4, DecodeError::Damaged},
      {"two components with one id", frame + 13, 1, DecodeError::Damaged},
      {"scan names no such component", scan + 5, 9, DecodeError::Damaged},
      {"scan uses an undefined Huffman table", scan + 6, 0x33, DecodeError::Damaged},
      {"no components", frame + 9, 0, DecodeError::Damaged},
      {"two components", frame + 9, 2, DecodeError::Unsupported},
      {"12-bit samples", frame + 4, 12, DecodeError::Unsupported},
      {"lossless", frame + 1, 0xC3, DecodeError::Unsupported},
      {"arithmetic coding", frame + 1, 0xC9, DecodeError::Unsupported},
  };
  for (const Case& c : cases) {
    ByteVector file = base;
    file[c.at] = c.value;
    Picture picture;
    PictureFacts facts;
    EXPECT_EQ(DecodePicture(file, picture, facts), c.expected) << c.name;
  }
}

// Inputs found by fuzzing that made other decoders read out of bounds: they decode
// or fail cleanly (the fuzz run, with the sanitizers, checks no byte is over-read).
TEST(JpegDecoder, FuzzingFindsFailCleanly) {
  const ByteVector faulty(std::begin(k_stb_jpeg_huff_decode_read), std::end(k_stb_jpeg_huff_decode_read));
  for (int divisor : {1, 2, 4, 8}) {
    Picture picture;
    const DecodeError error = DecodeJpeg(faulty, divisor, picture);
    EXPECT_TRUE(error == DecodeError::None || error == DecodeError::Damaged) << static_cast<int>(error);
  }
}

}  // namespace
