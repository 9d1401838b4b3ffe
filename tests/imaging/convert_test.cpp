// ConvertToLogo: geometry on the boot screen, lossless logo-sized inputs, failures.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "fixtures.h"
#include "imaging/convert.h"
#include "imaging/logo_format.h"
#include "imaging/picture_decoder.h"
#include "imaging/resample.h"

namespace {

using namespace imaging;
using fixtures::BmpOptions;
using fixtures::Compression;
using fixtures::IndexedImage;

IndexedImage Solid(int width, int height, Rgb colour) {
  IndexedImage image;
  image.width = width;
  image.height = height;
  image.palette = {colour};
  image.indices.assign(static_cast<std::size_t>(width) * height, 0);
  return image;
}

BmpOptions Bits(int bits, Compression compression = Compression::Rgb) {
  BmpOptions options;
  options.bits = bits;
  options.compression = compression;
  return options;
}

struct Logo {
  PictureReport report;
  Picture picture;
};

Logo ReadLogo(const std::filesystem::path& path) {
  Logo logo;
  logo.report = InspectPictureFile(path, &logo.picture);
  return logo;
}

// The picture area one colour (within tolerance), everything around it entry 0.
void ExpectColourInAreaBlackBands(const Logo& logo, const PictureArea& area, Rgb colour, int tolerance) {
  for (int y = 0; y < 400; ++y)
    for (int x = 0; x < 320; ++x) {
      const bool inside = x >= area.x && x < area.x + area.width && y >= area.y && y < area.y + area.height;
      const std::size_t at = static_cast<std::size_t>(y) * 320 + x;
      if (inside) {
        const Rgb got = logo.picture.PixelAt(at);
        ASSERT_NEAR(got.r, colour.r, tolerance) << x << "," << y;
        ASSERT_NEAR(got.g, colour.g, tolerance) << x << "," << y;
        ASSERT_NEAR(got.b, colour.b, tolerance) << x << "," << y;
      } else {
        ASSERT_EQ(logo.picture.indices[at], 0) << x << "," << y;
      }
    }
}

TEST(BootScreenArea, KeepsProportionsOnTheScreen) {
  struct Case {
    int width, height;
    PictureArea area;
  } cases[] = {
      {640, 480, {0, 0, 320, 400}},   {64, 48, {0, 0, 320, 400}},   {4000, 3000, {0, 0, 320, 400}},
      {1920, 1080, {0, 50, 320, 300}}, {1000, 100, {0, 173, 320, 53}}, {600, 800, {70, 0, 180, 400}},
      {100, 100, {40, 0, 240, 400}},  {1, 30000, {159, 0, 1, 400}},  {30000, 1, {0, 199, 320, 1}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(std::to_string(test.width) + " x " + std::to_string(test.height));
    EXPECT_EQ(BootScreenArea(test.width, test.height), test.area);
  }
}

TEST(ConvertToLogo, PicturesFillOrGetBandsOfEntryZero) {
  fixtures::ScratchFolder scratch;
  const Rgb colour{200, 60, 30};
  struct Case {
    int width, height;
  } cases[] = {{640, 480}, {64, 48}, {1600, 900}, {300, 400}, {100, 100}};
  for (const Case& test : cases) {
    SCOPED_TRACE(std::to_string(test.width) + " x " + std::to_string(test.height));
    const auto source = scratch / "picture.bmp";
    const auto destination = scratch / "LOGO.SYS";
    fixtures::WriteFile(source, fixtures::MakeBmp(Solid(test.width, test.height, colour), Bits(24)));
    ASSERT_TRUE(ConvertToLogoWithReason(source, destination).ok);
    const Logo logo = ReadLogo(destination);
    ASSERT_EQ(logo.report.status, ImageStatus::Logo);
    EXPECT_EQ(logo.report.animationStart, 0);
    ASSERT_EQ(logo.picture.palette.size(), 256u);
    EXPECT_EQ(logo.picture.palette[0], Rgb{});
    const PictureArea area = BootScreenArea(test.width, test.height);
    ExpectColourInAreaBlackBands(logo, area, colour, 0);
  }
}

// Large JPEGs are decoded at reduced scale for conversion; the picture is still
// placed by its full size (2563 x 641 decodes to 1282 x 321, whose own proportions
// would give the picture one row more).
TEST(ConvertToLogo, LargeJpegsKeepTheirProportionsAtReducedScale) {
  fixtures::ScratchFolder scratch;
  const Rgb colour{200, 60, 30};
  struct Case {
    int width, height;
  } cases[] = {{2563, 641}, {1301, 2603}, {2560, 3200}};
  for (const Case& test : cases) {
    SCOPED_TRACE(std::to_string(test.width) + " x " + std::to_string(test.height));
    const auto source = scratch / "picture.jpg";
    const auto destination = scratch / "LOGO.SYS";
    fixtures::WriteFile(source, fixtures::MakeJpeg(Solid(test.width, test.height, colour), 95));
    ASSERT_TRUE(ConvertToLogoWithReason(source, destination).ok);
    const Logo logo = ReadLogo(destination);
    ASSERT_EQ(logo.report.status, ImageStatus::Logo);
    const PictureArea area = BootScreenArea(test.width, test.height);
    ExpectColourInAreaBlackBands(logo, area, colour, 6);
  }
}

TEST(ConvertToLogo, LogoSizedColourMappedSourcesKeepIndicesPaletteAndAnimation) {
  fixtures::ScratchFolder scratch;
  const IndexedImage image = fixtures::Pattern(320, 400, 16);
  struct Case {
    const char* name;
    BmpOptions options;
    int tableEntries;
    std::uint32_t important;
    int animation;
  } cases[] = {
      {"RLE8 animated", Bits(8, Compression::Rle8), 256, 20, 20},
      {"8 bits animated", Bits(8), 256, 200, 200},
      {"8 bits short table, byte inside it", Bits(8), 16, 10, 10},
      {"8 bits short table, byte past it", Bits(8), 16, 20, 0},
      {"RLE4 short table", Bits(4, Compression::Rle4), 16, 16, 0},
      {"4 bits", Bits(4), 16, 5, 0},
      {"1 bit", Bits(1), 2, 0, 0},
  };
  for (Case test : cases) {
    SCOPED_TRACE(test.name);
    test.options.tableEntries = test.tableEntries;
    test.options.colorsImportant = test.important;
    IndexedImage source = image;
    if (test.options.bits == 1)
      for (auto& index : source.indices) index %= 2;
    const auto sourcePath = scratch / "source.sys";
    const auto destination = scratch / "LOGO.SYS";
    fixtures::WriteFile(sourcePath, fixtures::MakeBmp(source, test.options));
    ASSERT_TRUE(ConvertToLogoWithReason(sourcePath, destination).ok);
    const Logo logo = ReadLogo(destination);
    ASSERT_EQ(logo.report.status, ImageStatus::Logo);
    EXPECT_EQ(logo.report.animationStart, test.animation);
    EXPECT_EQ(logo.picture.indices, source.indices);
    for (std::size_t i = 0; i < 256; ++i) {
      const bool inTable = i < static_cast<std::size_t>(test.tableEntries) && i < source.palette.size();
      EXPECT_EQ(logo.picture.palette[i], inTable ? source.palette[i] : Rgb{}) << i;
    }
  }
}

TEST(ConvertToLogo, LogoSizedPicturesWithFewColoursKeepEveryColour) {
  fixtures::ScratchFolder scratch;
  const IndexedImage image = fixtures::Pattern(320, 400, 200);
  const std::vector<std::pair<const char*, fixtures::ByteVector>> sources = {
      {"24-bit bitmap", fixtures::MakeBmp(image, Bits(24))},
      {"GIF", fixtures::MakeGif(image)},
      {"PNG", fixtures::MakePng(image)},
  };
  for (const auto& [name, bytes] : sources) {
    SCOPED_TRACE(name);
    fixtures::WriteFile(scratch / "source", bytes);
    ASSERT_TRUE(ConvertToLogoWithReason(scratch / "source", scratch / "LOGO.SYS").ok);
    const Logo logo = ReadLogo(scratch / "LOGO.SYS");
    ASSERT_EQ(logo.report.status, ImageStatus::Logo);
    for (std::size_t i = 0; i < image.indices.size(); ++i)
      ASSERT_EQ(logo.picture.PixelAt(i), image.palette[image.indices[i]]) << i;
  }
}

TEST(ConvertToLogo, ReadersRecogniseTheRealFormatWhateverTheName) {
  fixtures::ScratchFolder scratch;
  const IndexedImage image = fixtures::Pattern(40, 30, 8);
  const std::vector<std::pair<std::string, fixtures::ByteVector>> sources = {
      {"photo.jpeg", fixtures::MakeJpeg(image)}, {"photo.JPG", fixtures::MakeJpeg(image)},
      {"PHOTO.GIF", fixtures::MakeBmp(image, Bits(8))}, {"photo.Gif", fixtures::MakeGif(image)},
      {"noextension", fixtures::MakeGif(image)},   {"photo.bmp", fixtures::MakePng(image)},
  };
  for (const auto& [name, bytes] : sources) {
    SCOPED_TRACE(name);
    fixtures::WriteFile(scratch / name, bytes);
    ConvertToLogo(scratch / name, scratch / "out.sys");
    EXPECT_EQ(ReadLogo(scratch / "out.sys").report.status, ImageStatus::Logo);
    std::filesystem::remove(scratch / "out.sys");
  }
  // Names beyond ASCII, extension included.
  const std::filesystem::path unusual = scratch.path() / std::filesystem::path(u8"f\u00f6to.g\u00eff");
  fixtures::WriteFile(unusual, fixtures::MakeJpeg(image));
  EXPECT_TRUE(ConvertToLogoWithReason(unusual, scratch.path() / std::filesystem::path(u8"l\u00f6go.sys")).ok);
}

TEST(ConvertToLogo, FailuresLeaveTheDestinationUntouched) {
  fixtures::ScratchFolder scratch;
  auto truncated = fixtures::MakeBmp(fixtures::Pattern(64, 64, 8), Bits(24));
  truncated.resize(truncated.size() / 2);
  auto huge = fixtures::MakeBmp(fixtures::Pattern(4, 4, 8), Bits(8));
  huge[18] = 0x00, huge[19] = 0x80;  // 32768 wide
  const std::vector<std::pair<const char*, fixtures::ByteVector>> sources = {
      {"text", {'h', 'e', 'l', 'l', 'o'}}, {"empty", {}}, {"truncated", truncated}, {"too wide", huge}};
  const fixtures::ByteVector old = {'o', 'l', 'd'};
  for (const auto& [name, bytes] : sources) {
    SCOPED_TRACE(name);
    fixtures::WriteFile(scratch / "source.bmp", bytes);
    fixtures::WriteFile(scratch / "LOGO.SYS", old);
    fixtures::WriteFile(scratch / "empty.tmp", {});
    const ConversionResult result = ConvertToLogoWithReason(scratch / "source.bmp", scratch / "LOGO.SYS");
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.reason.empty());
    EXPECT_EQ(fixtures::ReadFile(scratch / "LOGO.SYS"), old);
    ConvertToLogo(scratch / "source.bmp", scratch / "empty.tmp");
    EXPECT_TRUE(fixtures::ReadFile(scratch / "empty.tmp").empty());
  }
  EXPECT_FALSE(ConvertToLogoWithReason(scratch / "missing.bmp", scratch / "LOGO.SYS").ok);
  EXPECT_EQ(fixtures::ReadFile(scratch / "LOGO.SYS"), old);
}

// A photograph-like picture: many colours, reduced with dithering; a flat part stays
// one colour away from the edge where dithering meets it, and the result is close.
TEST(ConvertToLogo, ManyColoursAreReducedCleanly) {
  fixtures::ScratchFolder scratch;
  // Each pixel's colour; written straight into the rows of a 24-bit bitmap.
  std::vector<Rgb> colours;
  for (int y = 0; y < 400; ++y)
    for (int x = 0; x < 320; ++x)
      colours.push_back(x < 100 ? Rgb{90, 140, 190}
                                : Rgb{static_cast<std::uint8_t>(x * 255 / 319),
                                      static_cast<std::uint8_t>(y * 255 / 399),
                                      static_cast<std::uint8_t>((x + y) % 256)});
  fixtures::ByteVector file = fixtures::MakeBmp(Solid(320, 400, {}), Bits(24));
  for (int y = 0; y < 400; ++y)
    for (int x = 0; x < 320; ++x) {
      const Rgb c = colours[static_cast<std::size_t>(y) * 320 + x];
      const std::size_t at = 54 + static_cast<std::size_t>(399 - y) * 320 * 3 + x * 3;
      file[at] = c.b, file[at + 1] = c.g, file[at + 2] = c.r;
    }
  fixtures::WriteFile(scratch / "photo.bmp", file);
  ASSERT_TRUE(ConvertToLogoWithReason(scratch / "photo.bmp", scratch / "LOGO.SYS").ok);
  const Logo logo = ReadLogo(scratch / "LOGO.SYS");
  ASSERT_EQ(logo.report.status, ImageStatus::Logo);
  std::set<std::uint8_t> flat;
  double squared = 0;
  for (int y = 0; y < 400; ++y)
    for (int x = 0; x < 320; ++x) {
      const std::size_t at = static_cast<std::size_t>(y) * 320 + x;
      if (x < 80) flat.insert(logo.picture.indices[at]);
      const Rgb want = colours[at], got = logo.picture.PixelAt(at);
      squared += (want.r - got.r) * (want.r - got.r) + (want.g - got.g) * (want.g - got.g) +
                 (want.b - got.b) * (want.b - got.b);
    }
  EXPECT_EQ(flat.size(), 1u);
  const double psnr = 10 * std::log10(255.0 * 255.0 / (squared / (320.0 * 400 * 3)));
  EXPECT_GT(psnr, 30.0);
}

}  // namespace
