// The image view: shows a picture or a logo file, plays a logo's palette
// animation, and tells its parent about clicks. Every picture window uses it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/picture.h"
#include "ui/common/window_base.h"

namespace ui {

// WM_NOTIFY codes sent to the parent, with an ImageViewMouse.
inline constexpr UINT kImageViewMouseUp = 0x1001;
inline constexpr UINT kImageViewImageMouseUp = 0x1002;  // declared for callers; a click raises MouseUp only
inline constexpr UINT kImageViewMouseMove = 0x1003;

struct ImageViewMouse {
  NMHDR header;
  int button;  // 1 left, 2 right, 4 middle (for MouseMove: the buttons held)
  int shift;   // 1 Shift, 2 Ctrl, 4 Alt
  int x, y;    // client coordinates
};

// OLE colour: a COLORREF, or 0x800000nn for system colour nn.
inline constexpr std::uint32_t kSystemColour3DFace = 0x8000000F;

class ImageView : public WindowBase {
 public:
  static constexpr const wchar_t* kClassName = L"QuillaneImageView";
  static constexpr UINT kAnimationTimer = 1;
  static constexpr UINT kAnimationInterval = 66;  // about 15 steps a second

  // Creates the view as a child of `parent`. The view plays animations from the start.
  bool Create(HWND parent, int id, const RECT& rect);

  // "" clears the view; a path loads that file (every time, so a file changed on
  // disk is never shown stale).
  void SetFileName(const std::wstring& path);
  const std::wstring& FileName() const { return fileName_; }
  std::uint8_t ImageStatus() const { return status_; }
  int ColorBits() const { return colorBits_; }
  int ImageWidth() const { return width_; }
  int ImageHeight() const { return height_; }
  bool IsAnimated() const { return animationStart_ > 0; }
  void SetAnimate(bool animate);
  bool Animate() const { return animate_; }
  void SetAutoResize(bool autoResize);
  bool AutoResize() const { return autoResize_; }
  void SetBackColor(std::uint32_t oleColour);
  std::uint32_t BackColor() const { return backColour_; }

  // What a test can see of the animation.
  bool AnimationRunning() const { return timerRunning_; }
  int AnimationStep() const { return step_; }
  // The rectangle the picture is drawn into (client coordinates).
  RECT PictureRect() const;

  // Fits a picture into `bounds` without distortion; 320 x 400 pictures are shown
  // with the boot screen's pixels (5:3), others with square pixels.
  static RECT FitPicture(int width, int height, const RECT& bounds);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void OnPaint();
  void OnTimer();
  void OnMouseUp(int button, WPARAM keys, LPARAM position);
  void OnMouseMove(WPARAM keys, LPARAM position);
  void Clear();
  void Load();
  void RenderPixels();
  void UpdateTimer();
  void Notify(UINT code, int button, WPARAM keys, LPARAM position);

  std::wstring fileName_;
  std::uint8_t status_ = 0;
  int colorBits_ = 0;
  int width_ = 0, height_ = 0;
  int animationStart_ = 0;
  bool animate_ = true;
  bool autoResize_ = false;
  bool timerRunning_ = false;
  int step_ = 0;
  std::uint32_t backColour_ = kSystemColour3DFace;
  imaging::Picture picture_;
  std::vector<imaging::Rgb> palette_;   // indexed pictures: the table as now cycled
  std::vector<std::uint32_t> pixels_;   // 32-bit top-down rows for drawing
};

}  // namespace ui
