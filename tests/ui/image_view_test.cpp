#include "ui/common/image_view.h"

#include <gtest/gtest.h>

#include <vector>

#include "../imaging/fixtures.h"
#include "imaging/logo_format.h"
#include "support/message_pump.h"

namespace {

using fixtures::IndexedImage;

std::vector<ui::ImageViewMouse> g_notified;

LRESULT CALLBACK ParentProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->code >= ui::kImageViewMouseUp && header->code <= ui::kImageViewMouseMove)
      g_notified.push_back(*reinterpret_cast<const ui::ImageViewMouse*>(lParam));
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

// A logo file: 320 x 400, the given animation start, colours 0..255 as a grey ramp.
fixtures::ByteVector Logo(uint8_t animationStart) {
  std::vector<uint8_t> indices(imaging::kLogoPixelBytes);
  for (size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<uint8_t>(i % 256);
  std::vector<imaging::Rgb> palette(256);
  for (int i = 0; i < 256; ++i)
    palette[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i)};
  return imaging::BuildLogoFile(std::span<const uint8_t, imaging::kLogoPixelBytes>(indices.data(),
                                                                                   indices.size()),
                                std::span<const imaging::Rgb, 256>(palette.data(), 256),
                                animationStart);
}

class ImageViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW wc{};
    wc.lpfnWndProc = ParentProcedure;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ImageViewTestParent";
    ::RegisterClassW(&wc);
    parent_ = ::CreateWindowExW(0, L"ImageViewTestParent", L"", WS_POPUP | WS_VISIBLE, 0, 0, 400,
                                400, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_TRUE(view_.Create(parent_, 7, 0, 0, 200, 200));
    g_notified.clear();
  }
  void TearDown() override { ::DestroyWindow(parent_); }
  std::wstring File(const std::string& name, const fixtures::ByteVector& bytes) {
    fixtures::WriteFile(scratch_ / name, bytes);
    return (scratch_ / name).wstring();
  }

  fixtures::ScratchFolder scratch_;
  HWND parent_ = nullptr;
  ui::ImageView view_;
};

TEST_F(ImageViewTest, StatusAndSizeOfEachKindOfFile) {
  const IndexedImage pattern = fixtures::Pattern(64, 48, 8);
  fixtures::BmpOptions rle;
  rle.compression = fixtures::Compression::Rle8;
  fixtures::BmpOptions deep;
  deep.bits = 24;
  struct Case {
    std::string name;
    fixtures::ByteVector bytes;
    int status, bits, width, height;
    bool animated;
  };
  const Case cases[] = {
      {"LOGO.SYS", Logo(0), 2, 8, 320, 400, false},
      {"animated.sys", Logo(200), 2, 8, 320, 400, true},
      {"rle.sys", fixtures::MakeBmp(fixtures::Pattern(320, 400, 200), rle), 1, 8, 320, 400, false},
      {"photo.bmp", fixtures::MakeBmp(pattern, deep), 1, 24, 64, 48, false},
      {"anim.gif", fixtures::MakeGif(pattern, 2), 1, 8, 64, 48, false},
      {"photo.jpg", fixtures::MakeJpeg(pattern), 1, 24, 64, 48, false},
      {"named.jpg", fixtures::MakeBmp(pattern, deep), 1, 24, 64, 48, false},  // by content
      {"broken.bmp", fixtures::ByteVector{'B', 'M', 1, 2, 3}, 0, 0, 0, 0, false},
  };
  for (const Case& c : cases) {
    view_.SetFileName(File(c.name, c.bytes));
    EXPECT_EQ(view_.ImageStatus(), c.status) << c.name;
    EXPECT_EQ(view_.ColorBits(), c.bits) << c.name;
    EXPECT_EQ(view_.ImageWidth(), c.width) << c.name;
    EXPECT_EQ(view_.ImageHeight(), c.height) << c.name;
    EXPECT_EQ(view_.IsAnimated(), c.animated) << c.name;
  }
  view_.SetFileName((scratch_ / "missing.bmp").wstring());
  EXPECT_EQ(view_.ImageStatus(), 0);
  view_.SetFileName(L"");
  EXPECT_EQ(view_.ImageStatus(), 0);
  EXPECT_EQ(view_.FileName(), L"");
}

TEST_F(ImageViewTest, EmptyThenTheSamePathReadsTheFileAgain) {
  const std::wstring path = File("LOGO.SYS", Logo(0));
  view_.SetFileName(path);
  ASSERT_EQ(view_.ImageStatus(), 2);
  fixtures::BmpOptions deep;
  deep.bits = 24;
  File("LOGO.SYS", fixtures::MakeBmp(fixtures::Pattern(30, 20, 8), deep));
  view_.SetFileName(L"");
  view_.SetFileName(path);
  EXPECT_EQ(view_.FileName(), path);
  EXPECT_EQ(view_.ImageStatus(), 1);
  EXPECT_EQ(view_.ImageWidth(), 30);
}

TEST_F(ImageViewTest, LogosKeepTheBootScreensShapeOtherPicturesTheirOwn) {
  view_.SetFileName(File("LOGO.SYS", Logo(0)));
  RECT rect = view_.PictureRect();
  EXPECT_EQ(rect.right - rect.left, 200);
  EXPECT_EQ(rect.bottom - rect.top, 150) << "320 x 400 shows as 4:3";
  fixtures::BmpOptions deep;
  deep.bits = 24;
  view_.SetFileName(File("tall.bmp", fixtures::MakeBmp(fixtures::Pattern(50, 100, 8), deep)));
  rect = view_.PictureRect();
  EXPECT_EQ(rect.right - rect.left, 100);
  EXPECT_EQ(rect.bottom - rect.top, 200);
  EXPECT_EQ(rect.left, 50) << "centred";
}

TEST_F(ImageViewTest, AnimationPlaysByDefaultTurnsThePaletteAndStops) {
  view_.SetFileName(File("animated.sys", Logo(200)));
  ASSERT_TRUE(view_.IsAnimated());
  EXPECT_TRUE(view_.Animate()) << "a new view plays";
  const std::vector<RGBQUAD> before = view_.Palette();
  EXPECT_TRUE(testing_support::PumpMessagesUntil([&] { return view_.AnimationSteps() >= 2; }));

  view_.SetAnimate(false);
  const int frozen = view_.AnimationSteps();
  testing_support::PumpMessagesUntil([] { return false; }, 300);
  EXPECT_EQ(view_.AnimationSteps(), frozen);

  // One step: every animated entry takes the colour of the entry above it.
  view_.SetFileName(view_.FileName());
  view_.SetAnimate(false);
  view_.StepAnimation();
  const std::vector<RGBQUAD>& after = view_.Palette();
  EXPECT_EQ(after[199].rgbRed, before[199].rgbRed) << "below the first animated index";
  EXPECT_EQ(after[200].rgbRed, before[201].rgbRed);
  EXPECT_EQ(after[254].rgbRed, before[255].rgbRed);
  EXPECT_EQ(after[255].rgbRed, before[200].rgbRed);
}

TEST_F(ImageViewTest, OneMouseUpPerClickAndNothingWhileEmpty) {
  ::SendMessageW(view_.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 6));
  EXPECT_TRUE(g_notified.empty()) << "nothing shown, nothing raised";

  view_.SetFileName(File("LOGO.SYS", Logo(0)));
  ::SendMessageW(view_.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 6));
  ::SendMessageW(view_.hwnd(), WM_RBUTTONUP, 0, MAKELPARAM(7, 8));
  ASSERT_EQ(g_notified.size(), 2u);
  EXPECT_EQ(g_notified[0].header.code, UINT{ui::kImageViewMouseUp});
  EXPECT_EQ(g_notified[0].header.idFrom, 7u);
  EXPECT_EQ(g_notified[0].button, 1);
  EXPECT_EQ(g_notified[0].x, 5);
  EXPECT_EQ(g_notified[0].y, 6);
  EXPECT_EQ(g_notified[1].header.code, UINT{ui::kImageViewMouseUp});
  EXPECT_EQ(g_notified[1].button, 2);
}

TEST_F(ImageViewTest, AutoResizeTakesThePicturesPixelSize) {
  view_.SetAutoResize(true);
  view_.SetFileName(File("LOGO.SYS", Logo(0)));
  RECT client{};
  ::GetClientRect(view_.hwnd(), &client);
  EXPECT_EQ(client.right, 320);
  EXPECT_EQ(client.bottom, 400);
}

}  // namespace
