// The image view under Wine: members per kind of file, reload, animation, clicks,
// automatic size, fitting.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "fixtures.h"
#include "support/message_pump.h"
#include "imaging/logo_format.h"
#include "ui/common/dpi.h"
#include "ui/common/image_view.h"

namespace {

using fixtures::BmpOptions;
using ui::ImageView;

std::vector<std::uint8_t> Logo(std::uint8_t animation) {
  std::array<std::uint8_t, imaging::kLogoPixelBytes> indices{};
  for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<std::uint8_t>(i % 256);
  std::array<imaging::Rgb, 256> palette{};
  for (int i = 0; i < 256; ++i) palette[i] = {static_cast<std::uint8_t>(i), 0, 0};
  return imaging::BuildLogoFile(indices, palette, animation);
}

// A plain parent window that records the view's notifications.
class Parent {
 public:
  Parent() {
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpfnWndProc = Procedure;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ImageViewTestParent";
    ::RegisterClassExW(&wc);
    window_ = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 600, 500, nullptr, nullptr,
                                wc.hInstance, nullptr);
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~Parent() { ::DestroyWindow(window_); }
  HWND hwnd() const { return window_; }
  std::vector<ui::ImageViewMouse> events;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
      auto* self = reinterpret_cast<Parent*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
      if (self) self->events.push_back(*reinterpret_cast<ui::ImageViewMouse*>(lParam));
      return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
  HWND window_ = nullptr;
};

class ImageViewTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(view.Create(parent.hwnd(), 7, 10, 10, 400, 300)); }
  std::wstring Put(const char* name, const std::vector<std::uint8_t>& bytes) {
    const auto path = scratch / name;
    fixtures::WriteFile(path, bytes);
    return path.wstring();
  }
  fixtures::ScratchFolder scratch;
  Parent parent;
  ImageView view;
};

TEST_F(ImageViewTest, MembersDescribeEachKindOfFile) {
  BmpOptions deep;
  deep.bits = 24;
  BmpOptions rle;
  rle.compression = fixtures::Compression::Rle8;
  rle.colorsImportant = 30;
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    int status, bits, width, height;
    bool animated;
  } cases[] = {
      {"LOGO.SYS", Logo(0), 2, 8, 320, 400, false},
      {"ANIM.SYS", Logo(40), 2, 8, 320, 400, true},
      {"rle.sys", fixtures::MakeBmp(fixtures::Pattern(320, 400, 8), rle), 1, 8, 320, 400, true},
      {"photo.bmp", fixtures::MakeBmp(fixtures::Pattern(30, 20, 8), deep), 1, 24, 30, 20, false},
      {"anim.gif", fixtures::MakeGif(fixtures::Pattern(12, 9, 8)), 1, 8, 12, 9, false},
      {"photo.jpg", fixtures::MakeJpeg(fixtures::Pattern(16, 8, 8)), 1, 24, 16, 8, false},
      {"named.jpg", fixtures::MakeBmp(fixtures::Pattern(30, 20, 8), deep), 1, 24, 30, 20, false},  // by content
      {"broken.bmp", {'B', 'M', 1, 2, 3}, 0, 0, 0, 0, false},
      {"notes.txt", {'h', 'i'}, 0, 0, 0, 0, false},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    const std::wstring path = Put(test.name, test.bytes);
    view.SetFileName(path);
    EXPECT_EQ(view.FileName(), path);
    EXPECT_EQ(view.ImageStatus(), test.status);
    EXPECT_EQ(view.ColorBits(), test.bits);
    EXPECT_EQ(view.ImageWidth(), test.width);
    EXPECT_EQ(view.ImageHeight(), test.height);
    EXPECT_EQ(view.IsAnimated(), test.animated);
  }
  view.SetFileName((scratch / "missing.sys").wstring());
  EXPECT_EQ(view.ImageStatus(), 0);
  view.SetFileName(L"");
  EXPECT_EQ(view.ImageStatus(), 0);
  EXPECT_EQ(view.FileName(), L"");
}

TEST_F(ImageViewTest, SettingEmptyThenTheSamePathReloadsFromDisk) {
  const std::wstring path = Put("LOGO.SYS", fixtures::MakeBmp(fixtures::Pattern(50, 40, 8), BmpOptions{}));
  view.SetFileName(path);
  EXPECT_EQ(view.ImageStatus(), 1);
  Put("LOGO.SYS", Logo(0));  // installed or saved meanwhile
  view.SetFileName(L"");
  view.SetFileName(path);
  EXPECT_EQ(view.ImageStatus(), 2);
  EXPECT_EQ(view.ImageWidth(), 320);
}

TEST_F(ImageViewTest, AnimationPlaysByDefaultAndStops) {
  view.SetFileName(Put("ANIM.SYS", Logo(100)));
  ASSERT_TRUE(view.IsAnimated());
  EXPECT_TRUE(view.AnimationRunning());
  EXPECT_TRUE(testing_support::PumpMessagesUntil([&] { return view.AnimationStep() >= 2; }, 3000));
  view.SetAnimate(false);
  EXPECT_FALSE(view.AnimationRunning());
  const int frozen = view.AnimationStep();
  testing_support::PumpMessagesUntil([] { return false; }, 200);
  EXPECT_EQ(view.AnimationStep(), frozen);
  view.SetAnimate(true);
  EXPECT_TRUE(view.AnimationRunning());
  view.SetFileName(Put("STILL.SYS", Logo(0)));
  EXPECT_FALSE(view.AnimationRunning());
}

TEST_F(ImageViewTest, EachAnimationStepTurnsTheAnimatedEntries) {
  view.SetFileName(Put("ANIM.SYS", Logo(200)));
  view.SetAnimate(false);
  const std::vector<RGBQUAD> before = view.Palette();
  view.StepAnimation();
  const std::vector<RGBQUAD>& after = view.Palette();
  // Every animated entry takes the colour of the entry above it; the last wraps round.
  EXPECT_EQ(after[199].rgbRed, before[199].rgbRed) << "below the first animated index";
  EXPECT_EQ(after[200].rgbRed, before[201].rgbRed);
  EXPECT_EQ(after[254].rgbRed, before[255].rgbRed);
  EXPECT_EQ(after[255].rgbRed, before[200].rgbRed);
}

TEST_F(ImageViewTest, LogosKeepTheBootScreensShapeOtherPicturesTheirOwn) {
  view.SetFileName(Put("LOGO.SYS", Logo(0)));  // in a 400 x 300 view
  RECT rect = view.PictureRect();
  EXPECT_EQ(rect.right - rect.left, 400);
  EXPECT_EQ(rect.bottom - rect.top, 300) << "320 x 400 shows as 4:3";
  view.SetFileName(Put("tall.bmp", fixtures::MakeBmp(fixtures::Pattern(50, 100, 8), BmpOptions{})));
  rect = view.PictureRect();
  EXPECT_EQ(rect.right - rect.left, 150);
  EXPECT_EQ(rect.bottom - rect.top, 300);
  EXPECT_EQ(rect.left, 125) << "centred";
}

TEST_F(ImageViewTest, OneEventPerClickAndNoneWhileEmpty) {
  view.SetFileName(Put("LOGO.SYS", Logo(0)));
  const HWND window = view.hwnd();
  ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
  ::SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(5, 6));
  ::SendMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(7, 8));
  ::SendMessageW(window, WM_RBUTTONUP, MK_SHIFT, MAKELPARAM(7, 8));
  ASSERT_EQ(parent.events.size(), 2u);
  EXPECT_EQ(parent.events[0].header.code, ui::kImageViewMouseUp);
  EXPECT_EQ(parent.events[0].header.idFrom, 7u);
  EXPECT_EQ(parent.events[0].button, 1);
  EXPECT_EQ(parent.events[0].x, 5);
  EXPECT_EQ(parent.events[1].header.code, ui::kImageViewMouseUp);
  EXPECT_EQ(parent.events[1].button, 2);
  EXPECT_EQ(parent.events[1].shift, 1);
  ::SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(1, 1));
  ASSERT_EQ(parent.events.size(), 3u);
  EXPECT_EQ(parent.events[2].header.code, ui::kImageViewMouseMove);

  parent.events.clear();
  view.SetFileName(L"");
  ::SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(5, 6));
  ::SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(5, 6));
  EXPECT_TRUE(parent.events.empty());
}

TEST_F(ImageViewTest, AutoResizeTakesThePicturesPixelSize) {
  view.SetAutoResize(true);
  view.SetFileName(Put("photo.bmp", fixtures::MakeBmp(fixtures::Pattern(57, 33, 8), BmpOptions{})));
  RECT client{};
  ::GetClientRect(view.hwnd(), &client);
  EXPECT_EQ(client.right, 57);
  EXPECT_EQ(client.bottom, 33);
  ::UpdateWindow(view.hwnd());  // paints without trouble at any size
  const int dpi = ui::ScreenDpi();
  EXPECT_EQ(view.ExtentX(), ui::PixelsToHimetric(57, dpi));
  EXPECT_EQ(view.ExtentY(), ui::PixelsToHimetric(33, dpi));
}

TEST_F(ImageViewTest, DesignSizeInHimetricSizesTheView) {
  const int dpi = ui::ScreenDpi();
  view.SetExtent(8467, 10583);  // 320 x 400 pixels at 96 DPI
  RECT client{};
  ::GetClientRect(view.hwnd(), &client);
  EXPECT_EQ(client.right, ui::HimetricToPixels(8467, dpi));
  EXPECT_EQ(client.bottom, ui::HimetricToPixels(10583, dpi));
  EXPECT_EQ(ui::HimetricToPixels(view.ExtentX(), dpi), client.right);
  EXPECT_EQ(ui::HimetricToPixels(view.ExtentY(), dpi), client.bottom);
  view.SetExtent(-5, 100);  // nonsense leaves the size alone
  ::GetClientRect(view.hwnd(), &client);
  EXPECT_EQ(client.right, ui::HimetricToPixels(8467, dpi));
}

TEST(ImageViewFit, LogosShowWithBootScreenPixelsOthersSquare) {
  struct Case {
    int width, height;
    RECT bounds, expected;
  } cases[] = {
      {320, 400, {0, 0, 400, 300}, {0, 0, 400, 300}},    // a logo covers a 4:3 screen
      {320, 400, {0, 0, 400, 400}, {0, 50, 400, 350}},
      {100, 100, {0, 0, 400, 300}, {50, 0, 350, 300}},   // square pixels
      {640, 160, {0, 0, 400, 300}, {0, 100, 400, 200}},
      {320, 401, {0, 0, 400, 401}, {40, 0, 360, 401}},   // not logo-sized: square pixels
  };
  for (const Case& test : cases) {
    const RECT got = ImageView::FitPicture(test.width, test.height, test.bounds);
    EXPECT_EQ(got.left, test.expected.left);
    EXPECT_EQ(got.top, test.expected.top);
    EXPECT_EQ(got.right, test.expected.right);
    EXPECT_EQ(got.bottom, test.expected.bottom);
  }
}

}  // namespace
