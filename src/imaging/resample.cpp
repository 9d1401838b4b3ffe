#include "imaging/resample.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace imaging {
namespace {

constexpr double kLobes = 3.0;

double Lanczos(double x) {
  x = std::abs(x);
  if (x < 1e-8) return 1.0;
  if (x >= kLobes) return 0.0;
  const double px = std::numbers::pi * x;
  return kLobes * std::sin(px) * std::sin(px / kLobes) / (px * px);
}

// For each output position: the first input index and normalised weights.
struct Filter {
  std::vector<int> first;
  std::vector<int> count;
  std::vector<float> weights;  // `taps` per output position
  int taps = 0;
};

// Output pixel i covers source [i, i+1) * sourceSize / outSize; the input grid is the
// source averaged in blocks of `block` pixels (inputSize of them).
Filter MakeFilter(int sourceSize, int block, int inputSize, int outSize) {
  const double scale = static_cast<double>(sourceSize) / outSize / block;  // input pixels per output
  const double stretch = std::max(1.0, scale);
  const double support = kLobes * stretch;
  Filter filter;
  filter.taps = static_cast<int>(std::ceil(support * 2)) + 2;
  filter.first.resize(outSize);
  filter.count.resize(outSize);
  filter.weights.assign(static_cast<std::size_t>(outSize) * filter.taps, 0.0f);
  for (int i = 0; i < outSize; ++i) {
    const double centre = (i + 0.5) * scale;
    int lo = std::max(0, static_cast<int>(std::floor(centre - support)));
    int hi = std::min(inputSize - 1, static_cast<int>(std::ceil(centre + support)));
    hi = std::min(hi, lo + filter.taps - 1);
    double total = 0;
    float* w = &filter.weights[static_cast<std::size_t>(i) * filter.taps];
    for (int j = lo; j <= hi; ++j) {
      const double value = Lanczos((j + 0.5 - centre) / stretch);
      w[j - lo] = static_cast<float>(value);
      total += value;
    }
    if (std::abs(total) > 1e-12)
      for (int j = 0; j <= hi - lo; ++j) w[j] = static_cast<float>(w[j] / total);
    filter.first[i] = lo;
    filter.count[i] = hi - lo + 1;
  }
  return filter;
}

std::uint8_t ToByte(float value) {
  return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

}  // namespace

PictureArea BootScreenArea(int sourceWidth, int sourceHeight) {
  PictureArea area{0, 0, 320, 400};
  const std::int64_t w = sourceWidth, h = sourceHeight;
  if (w * 3 > h * 4) {
    // Full screen width; screen height 640 h / w, logo rows at 1.2 screen lines each.
    area.height = static_cast<int>(std::clamp<std::int64_t>((1600 * h + w * 3 / 2) / (3 * w), 1, 400));
    area.y = (400 - area.height) / 2;
  } else if (w * 3 < h * 4) {
    // Full screen height 480; screen width 480 w / h, 2 screen pixels per logo column.
    area.width = static_cast<int>(std::clamp<std::int64_t>((240 * w + h / 2) / h, 1, 320));
    area.x = (320 - area.width) / 2;
  }
  return area;
}

std::vector<std::uint8_t> ResampleLanczos(const Picture& source, int width, int height) {
  const int sw = source.width, sh = source.height;
  // Block averaging while the input stays at least twice the output size.
  const int bx = std::max(1, sw / (2 * width)), by = std::max(1, sh / (2 * height));
  const int iw = (sw + bx - 1) / bx, ih = (sh + by - 1) / by;
  const Filter horizontal = MakeFilter(sw, bx, iw, width);
  const Filter vertical = MakeFilter(sh, by, ih, height);

  // Pass 1, one block row at a time: average, then filter horizontally.
  std::vector<float> rows(static_cast<std::size_t>(width) * ih * 3);
  std::vector<float> line(static_cast<std::size_t>(iw) * 3);
  std::vector<float> counts(iw);
  for (int r = 0; r < ih; ++r) {
    std::fill(line.begin(), line.end(), 0.0f);
    std::fill(counts.begin(), counts.end(), 0.0f);
    for (int y = r * by; y < std::min(sh, (r + 1) * by); ++y) {
      const std::size_t rowStart = static_cast<std::size_t>(y) * sw;
      for (int x = 0; x < sw; ++x) {
        const Rgb c = source.PixelAt(rowStart + x);
        float* target = &line[static_cast<std::size_t>(x / bx) * 3];
        target[0] += c.r;
        target[1] += c.g;
        target[2] += c.b;
        counts[x / bx] += 1.0f;
      }
    }
    for (int i = 0; i < iw; ++i)
      for (int c = 0; c < 3; ++c) line[static_cast<std::size_t>(i) * 3 + c] /= counts[i];
    float* out = &rows[static_cast<std::size_t>(r) * width * 3];
    for (int i = 0; i < width; ++i) {
      const float* w = &horizontal.weights[static_cast<std::size_t>(i) * horizontal.taps];
      const float* in = &line[static_cast<std::size_t>(horizontal.first[i]) * 3];
      float sum[3] = {0, 0, 0};
      for (int k = 0; k < horizontal.count[i]; ++k)
        for (int c = 0; c < 3; ++c) sum[c] += w[k] * in[k * 3 + c];
      for (int c = 0; c < 3; ++c) out[i * 3 + c] = sum[c];
    }
  }
  // Pass 2: vertically.
  std::vector<std::uint8_t> result(static_cast<std::size_t>(width) * height * 3);
  for (int j = 0; j < height; ++j) {
    const float* w = &vertical.weights[static_cast<std::size_t>(j) * vertical.taps];
    std::uint8_t* out = &result[static_cast<std::size_t>(j) * width * 3];
    for (int i = 0; i < width * 3; ++i) {
      float sum = 0;
      for (int k = 0; k < vertical.count[j]; ++k)
        sum += w[k] * rows[(static_cast<std::size_t>(vertical.first[j]) + k) * width * 3 + i];
      out[i] = ToByte(sum);
    }
  }
  return result;
}

}  // namespace imaging
