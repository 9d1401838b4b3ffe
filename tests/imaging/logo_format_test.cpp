// What counts as a logo (status 2), the animation byte, the writer's bytes.
#include <gtest/gtest.h>

#include <array>

#include "fixtures.h"
#include "imaging/atomic_file.h"
#include "imaging/logo_format.h"

namespace {

using namespace imaging;

std::vector<std::uint8_t> ValidLogo(std::uint8_t animation = 0) {
  std::array<std::uint8_t, kLogoPixelBytes> indices{};
  for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<std::uint8_t>(i % 251);
  std::array<Rgb, 256> palette{};
  for (int i = 0; i < 256; ++i) palette[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), 7};
  return BuildLogoFile(indices, palette, animation);
}

void Put32(std::vector<std::uint8_t>& file, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) file[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

TEST(LogoFormat, WriterProducesTheExactLayout) {
  const auto file = ValidLogo(42);
  ASSERT_EQ(file.size(), 1078u + 128000u);
  const std::uint8_t header[] = {'B', 'M', 0x36, 0xF8, 0x01, 0, 0, 0, 0, 0, 0x36, 0x04, 0, 0,
                                 40, 0, 0, 0, 0x40, 0x01, 0, 0, 0x90, 0x01, 0, 0, 1, 0, 8, 0,
                                 0, 0, 0, 0, 0x00, 0xF4, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                 0, 1, 0, 0, 42, 0, 0, 0};
  EXPECT_TRUE(std::equal(std::begin(header), std::end(header), file.begin()));
  // Colour table in blue, green, red, 0 order.
  EXPECT_EQ(file[54 + 4 * 10], 7);
  EXPECT_EQ(file[54 + 4 * 10 + 1], 245);
  EXPECT_EQ(file[54 + 4 * 10 + 2], 10);
  EXPECT_EQ(file[54 + 4 * 10 + 3], 0);
  // Bottom-up rows: the file's first row is the picture's last.
  EXPECT_EQ(file[1078], static_cast<std::uint8_t>((399 * 320) % 251));
  EXPECT_EQ(file[1078 + 399 * 320], 0);
  EXPECT_TRUE(IsLogoFile(file));
}

TEST(LogoFormat, OnlyTheExactLayoutIsStatusTwo) {
  struct Change {
    const char* name;
    std::size_t offset;
    std::uint32_t value;
    bool stillLogo;
  } changes[] = {
      {"colours used 0", 46, 0, true},
      {"colours used 255", 46, 255, false},
      {"height negative (top-down)", 22, static_cast<std::uint32_t>(-400), false},
      {"width 321", 18, 321, false},
      {"two planes", 26, 2 | (8 << 16), false},
      {"4 bits", 28, 4, false},
      {"RLE8", 30, 1, false},
      {"pixels at 1079", 10, 1079, false},
      {"v4 header size", 14, 108, false},
  };
  for (const Change& change : changes) {
    SCOPED_TRACE(change.name);
    auto file = ValidLogo();
    Put32(file, change.offset, change.value);
    EXPECT_EQ(IsLogoFile(file), change.stillLogo);
  }
  auto shortFile = ValidLogo();
  shortFile.pop_back();
  EXPECT_FALSE(IsLogoFile(shortFile));
  auto longer = ValidLogo();
  longer.push_back(0);
  EXPECT_TRUE(IsLogoFile(longer));
}

TEST(LogoFormat, StatusOfEachKindOfFile) {
  using fixtures::BmpOptions;
  using fixtures::Compression;
  const auto logoSized = fixtures::Pattern(320, 400, 8);
  BmpOptions rle;
  rle.compression = Compression::Rle8;
  rle.colorsImportant = 20;
  BmpOptions shortTable;
  shortTable.tableEntries = 16;
  BmpOptions deep;
  deep.bits = 24;
  BmpOptions fourBits;
  fourBits.bits = 4;
  fourBits.colorsImportant = 16;  // important colours, not animation
  struct Case {
    const char* name;
    std::vector<std::uint8_t> file;
    ImageStatus status;
    int animation;
  } cases[] = {
      {"written logo", ValidLogo(), ImageStatus::Logo, 0},
      {"animated logo", ValidLogo(100), ImageStatus::Logo, 100},
      {"RLE8 logo-sized", fixtures::MakeBmp(logoSized, rle), ImageStatus::Picture, 20},
      {"short table logo-sized", fixtures::MakeBmp(logoSized, shortTable), ImageStatus::Picture, 0},
      {"24 bits logo-sized", fixtures::MakeBmp(logoSized, deep), ImageStatus::Picture, 0},
      {"4 bits with 16 important", fixtures::MakeBmp(logoSized, fourBits), ImageStatus::Picture, 0},
      {"small 8-bit", fixtures::MakeBmp(fixtures::Pattern(10, 10, 8), BmpOptions{}), ImageStatus::Picture, 0},
      {"GIF", fixtures::MakeGif(fixtures::Pattern(10, 10, 8)), ImageStatus::Picture, 0},
      {"not a picture", {'x', 'y'}, ImageStatus::None, 0},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    const PictureReport report = InspectPicture(test.file);
    EXPECT_EQ(report.status, test.status);
    EXPECT_EQ(report.animationStart, test.animation);
  }
  // A logo whose important-colours field holds more than a byte's worth is not animated.
  auto odd = ValidLogo();
  Put32(odd, 50, 256);
  EXPECT_EQ(InspectPicture(odd).animationStart, 0);
}

TEST(AtomicWrite, ReplacesWholeOrLeavesTheDestination) {
  fixtures::ScratchFolder scratch;
  const auto destination = scratch / "LOGO.SYS";
  fixtures::WriteFile(destination, {1, 2, 3});
  const std::vector<std::uint8_t> content(5000, 9);
  ASSERT_TRUE(WriteFileAtomically(destination, content));
  EXPECT_EQ(fixtures::ReadFile(destination), content);

  // A folder in the way, or a missing folder: failure, nothing changed, no leftovers.
  const auto folder = scratch / "busy";
  std::filesystem::create_directory(folder);
  fixtures::WriteFile(folder / "inside", {7});
  EXPECT_FALSE(WriteFileAtomically(folder, content));
  EXPECT_EQ(fixtures::ReadFile(folder / "inside"), (std::vector<std::uint8_t>{7}));
  EXPECT_FALSE(WriteFileAtomically(scratch / "missing" / "LOGO.SYS", content));
  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(scratch.path())) ++entries;
  EXPECT_EQ(entries, 2u);  // LOGO.SYS and busy
}

}  // namespace
