// The image view every window of the program shows pictures with: it loads a file,
// reports what it is (nothing, a picture, a logo), fits it into its rectangle without
// distortion (a 320 x 400 logo with the boot screen's wide pixels), plays the palette
// animation of animated logos, and tells its parent about mouse clicks.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/handles.h"
#include "imaging/logo_format.h"
#include "ui/common/window_base.h"

namespace ui {

// Notifications to the parent (WM_NOTIFY, NMHDR.code); lParam is an ImageViewMouse.
enum : UINT {
  kImageViewMouseUp = 0xA000,
  kImageViewImageMouseUp,  // raised by no click: a click is one MouseUp only
  kImageViewMouseMove,
};

struct ImageViewMouse {
  NMHDR header;
  int button;  // 1 left, 2 right, 4 middle
  int shift;   // 1 Shift, 2 Ctrl, 4 Alt
  int x, y;    // in the view's client coordinates
};

class ImageView final : public WindowBase {
 public:
  static constexpr wchar_t kClassName[] = L"QuillaneImageView";
  static constexpr UINT kAnimationStepMs = 66;  // about 15 steps a second

  ImageView() = default;
  ~ImageView() override;

  bool Create(HWND parent, int id, int x, int y, int width, int height);

  // A full path loads and shows that file (read from disk at every assignment);
  // "" clears the view.
  void SetFileName(const std::wstring& path);
  const std::wstring& FileName() const { return fileName_; }

  uint8_t ImageStatus() const { return static_cast<uint8_t>(status_); }
  int ColorBits() const { return colorBits_; }
  int ImageWidth() const { return width_; }
  int ImageHeight() const { return height_; }
  bool IsAnimated() const { return animationStart_ > 0; }

  void SetAnimate(bool on);
  bool Animate() const { return animate_; }
  // The view takes the picture's pixel size (the full-size viewer).
  void SetAutoResize(bool on);
  bool AutoResize() const { return autoResize_; }
  // A colour, or a system colour as 0x80000000 | COLOR_* (0x80000008 is the window colour).
  void SetBackColor(uint32_t colour);
  uint32_t BackColor() const { return backColor_; }

  // The design size in HIMETRIC, as forms store it: setting it sizes the view at the
  // screen's DPI; reading it gives the view's size now (after an autoresize too).
  void SetExtent(int extentX, int extentY);
  int ExtentX() const;
  int ExtentY() const;

  // The rectangle the picture is drawn into, in client coordinates.
  RECT PictureRect() const;
  // The colour table as it stands now (it turns while an animation plays).
  const std::vector<RGBQUAD>& Palette() const { return palette_; }
  int AnimationSteps() const { return steps_; }
  int AnimationStep() const { return steps_; }
  bool AnimationRunning() const { return timerRunning_; }
  // Where a picture of this size is drawn in bounds: as large as fits, centred,
  // a 320 x 400 picture with the boot screen's 5:3 pixels, others with square ones.
  static RECT FitPicture(int width, int height, RECT bounds);
  void StepAnimation();  // one step of the palette cycle

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Clear();
  void Load();
  void OnPaint();
  void OnMouse(UINT code, WPARAM keys, LPARAM point, int button);
  void UpdateTimer();
  void FitWindowToPicture();

  std::wstring fileName_;
  imaging::ImageStatus status_ = imaging::ImageStatus::None;
  int colorBits_ = 0;
  int width_ = 0;   // picture size in pixels
  int height_ = 0;
  int animationStart_ = 0;
  bool animate_ = true;
  bool autoResize_ = false;
  bool timerRunning_ = false;
  uint32_t backColor_ = 0x80000000 | COLOR_BTNFACE;
  int steps_ = 0;

  // What is drawn: rows bottom-up as a DIB, 8-bit with palette_ or 32-bit, at a size
  // no larger than needed for the view.
  std::vector<uint8_t> bits_;
  std::vector<RGBQUAD> palette_;
  int bitmapWidth_ = 0;
  int bitmapHeight_ = 0;
  int bitmapBits_ = 0;
};

}  // namespace ui
