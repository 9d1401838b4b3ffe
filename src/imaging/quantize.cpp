#include "imaging/quantize.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_map>
#include <vector>

namespace imaging {
namespace {

struct Point {
  float r = 0, g = 0, b = 0;
};

float Distance(const Point& a, const Point& b) {
  const float dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
  return dr * dr + dg * dg + db * db;
}

// Nearest palette colour, searching outwards in red order and stopping once the red
// difference alone exceeds the best distance.
class NearestColour {
 public:
  explicit NearestColour(const std::vector<Point>& colours) : colours_(colours) {
    order_.resize(colours.size());
    for (std::size_t i = 0; i < order_.size(); ++i) order_[i] = static_cast<int>(i);
    std::sort(order_.begin(), order_.end(), [&](int a, int b) { return colours_[a].r < colours_[b].r; });
    reds_.resize(order_.size());
    for (std::size_t i = 0; i < order_.size(); ++i) reds_[i] = colours_[order_[i]].r;
  }

  int Find(const Point& p) const {
    const std::ptrdiff_t start = std::lower_bound(reds_.begin(), reds_.end(), p.r) - reds_.begin();
    float best = std::numeric_limits<float>::max();
    int bestIndex = 0;
    const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(order_.size());
    bool up = true, down = true;
    for (std::ptrdiff_t step = 0; up || down; ++step) {
      if (up) {
        const std::ptrdiff_t i = start + step;
        if (i >= n || (reds_[i] - p.r) * (reds_[i] - p.r) >= best) {
          up = false;
        } else if (const float d = Distance(colours_[order_[i]], p); d < best) {
          best = d;
          bestIndex = order_[i];
        }
      }
      if (down) {
        const std::ptrdiff_t i = start - 1 - step;
        if (i < 0 || (reds_[i] - p.r) * (reds_[i] - p.r) >= best) {
          down = false;
        } else if (const float d = Distance(colours_[order_[i]], p); d < best) {
          best = d;
          bestIndex = order_[i];
        }
      }
    }
    return bestIndex;
  }

 private:
  const std::vector<Point>& colours_;
  std::vector<int> order_;
  std::vector<float> reds_;
};

// A histogram cell: the mean colour of the pixels that fell into it, and their count.
struct Bin {
  Point mean;
  float weight = 0;
};

std::vector<Bin> Histogram(std::span<const std::uint8_t> rgb) {
  constexpr int kCells = 1 << 18;  // 6 bits a channel; each cell keeps its exact mean
  std::vector<int> cellOf(kCells, -1);
  std::vector<Bin> bins;
  std::vector<double> sums;
  for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) {
    const int cell = ((rgb[i] >> 2) << 12) | ((rgb[i + 1] >> 2) << 6) | (rgb[i + 2] >> 2);
    if (cellOf[cell] < 0) {
      cellOf[cell] = static_cast<int>(bins.size());
      bins.push_back({});
      sums.insert(sums.end(), {0, 0, 0});
    }
    const std::size_t b = static_cast<std::size_t>(cellOf[cell]);
    bins[b].weight += 1;
    sums[b * 3] += rgb[i];
    sums[b * 3 + 1] += rgb[i + 1];
    sums[b * 3 + 2] += rgb[i + 2];
  }
  for (std::size_t b = 0; b < bins.size(); ++b)
    bins[b].mean = {static_cast<float>(sums[b * 3] / bins[b].weight),
                    static_cast<float>(sums[b * 3 + 1] / bins[b].weight),
                    static_cast<float>(sums[b * 3 + 2] / bins[b].weight)};
  return bins;
}

float Channel(const Point& p, int channel) { return channel == 0 ? p.r : channel == 1 ? p.g : p.b; }

struct Box {
  std::size_t begin = 0, end = 0;
  double error = 0;  // weighted squared distance to the box mean
};

double BoxError(const std::vector<Bin>& bins, std::size_t begin, std::size_t end) {
  double w = 0, s[3] = {}, q = 0;
  for (std::size_t i = begin; i < end; ++i) {
    const Bin& bin = bins[i];
    w += bin.weight;
    for (int c = 0; c < 3; ++c) {
      const double v = Channel(bin.mean, c);
      s[c] += bin.weight * v;
      q += bin.weight * v * v;
    }
  }
  return w > 0 ? q - (s[0] * s[0] + s[1] * s[1] + s[2] * s[2]) / w : 0;
}

// Splits the box along its widest channel where the two halves' errors sum least.
std::size_t SplitBox(std::vector<Bin>& bins, const Box& box) {
  int channel = 0;
  float widest = -1;
  for (int c = 0; c < 3; ++c) {
    float lo = 256, hi = -1;
    for (std::size_t i = box.begin; i < box.end; ++i) {
      lo = std::min(lo, Channel(bins[i].mean, c));
      hi = std::max(hi, Channel(bins[i].mean, c));
    }
    if (hi - lo > widest) widest = hi - lo, channel = c;
  }
  std::sort(bins.begin() + static_cast<std::ptrdiff_t>(box.begin), bins.begin() + static_cast<std::ptrdiff_t>(box.end),
            [channel](const Bin& a, const Bin& b) { return Channel(a.mean, channel) < Channel(b.mean, channel); });
  const std::size_t n = box.end - box.begin;
  // Prefix sums give each candidate split's error in constant time.
  std::vector<double> w(n + 1), s0(n + 1), s1(n + 1), s2(n + 1), q(n + 1);
  for (std::size_t i = 0; i < n; ++i) {
    const Bin& bin = bins[box.begin + i];
    w[i + 1] = w[i] + bin.weight;
    s0[i + 1] = s0[i] + bin.weight * bin.mean.r;
    s1[i + 1] = s1[i] + bin.weight * bin.mean.g;
    s2[i + 1] = s2[i] + bin.weight * bin.mean.b;
    q[i + 1] = q[i] + bin.weight * (bin.mean.r * bin.mean.r + bin.mean.g * bin.mean.g + bin.mean.b * bin.mean.b);
  }
  auto error = [&](std::size_t a, std::size_t b) {
    const double weight = w[b] - w[a];
    if (weight <= 0) return 0.0;
    const double r = s0[b] - s0[a], g = s1[b] - s1[a], bl = s2[b] - s2[a];
    return (q[b] - q[a]) - (r * r + g * g + bl * bl) / weight;
  };
  std::size_t best = 1;
  double bestError = std::numeric_limits<double>::max();
  for (std::size_t k = 1; k < n; ++k) {
    const double e = error(0, k) + error(k, n);
    if (e < bestError) bestError = e, best = k;
  }
  return box.begin + best;
}

std::vector<Point> MedianCut(std::vector<Bin>& bins, int count) {
  std::vector<Box> boxes{{0, bins.size(), BoxError(bins, 0, bins.size())}};
  while (static_cast<int>(boxes.size()) < count) {
    auto worst = std::max_element(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) {
      const bool aSplittable = a.end - a.begin > 1, bSplittable = b.end - b.begin > 1;
      if (aSplittable != bSplittable) return !aSplittable;
      return a.error < b.error;
    });
    if (worst->end - worst->begin < 2) break;
    const Box box = *worst;
    const std::size_t middle = SplitBox(bins, box);
    *worst = {box.begin, middle, BoxError(bins, box.begin, middle)};
    boxes.push_back({middle, box.end, BoxError(bins, middle, box.end)});
  }
  std::vector<Point> colours;
  for (const Box& box : boxes) {
    double w = 0, s[3] = {};
    for (std::size_t i = box.begin; i < box.end; ++i) {
      w += bins[i].weight;
      for (int c = 0; c < 3; ++c) s[c] += bins[i].weight * Channel(bins[i].mean, c);
    }
    colours.push_back({static_cast<float>(s[0] / w), static_cast<float>(s[1] / w), static_cast<float>(s[2] / w)});
  }
  return colours;
}

// Moves each free colour to the mean of the bins nearest to it (fixed ones stay).
void RefineKMeans(const std::vector<Bin>& bins, std::vector<Point>& colours, std::size_t fixed, int rounds) {
  for (int round = 0; round < rounds; ++round) {
    const NearestColour nearest(colours);
    std::vector<double> sums(colours.size() * 4, 0.0);
    for (const Bin& bin : bins) {
      const std::size_t k = static_cast<std::size_t>(nearest.Find(bin.mean));
      sums[k * 4] += bin.weight * bin.mean.r;
      sums[k * 4 + 1] += bin.weight * bin.mean.g;
      sums[k * 4 + 2] += bin.weight * bin.mean.b;
      sums[k * 4 + 3] += bin.weight;
    }
    for (std::size_t k = fixed; k < colours.size(); ++k)
      if (sums[k * 4 + 3] > 0)
        colours[k] = {static_cast<float>(sums[k * 4] / sums[k * 4 + 3]),
                      static_cast<float>(sums[k * 4 + 1] / sums[k * 4 + 3]),
                      static_cast<float>(sums[k * 4 + 2] / sums[k * 4 + 3])};
  }
}

std::uint8_t Round(float v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }

// Serpentine Floyd-Steinberg with damped error; differences too small to see are not
// carried, so flat areas stay flat instead of speckling.
void Dither(std::span<const std::uint8_t> rgb, int width, int height, const std::vector<Point>& colours,
            std::span<std::uint8_t> indices) {
  constexpr float kDamping = 0.85f, kDeadZone = 2.0f;
  const NearestColour nearest(colours);
  std::vector<float> current(static_cast<std::size_t>(width + 2) * 3, 0.0f), next(current.size(), 0.0f);
  for (int y = 0; y < height; ++y) {
    const bool leftToRight = y % 2 == 0;
    std::fill(next.begin(), next.end(), 0.0f);
    for (int step = 0; step < width; ++step) {
      const int x = leftToRight ? step : width - 1 - step;
      const int dir = leftToRight ? 1 : -1;
      const std::size_t offset = static_cast<std::size_t>(y) * width + x;
      float* err = &current[static_cast<std::size_t>(x + 1) * 3];
      const Point wanted{std::clamp(rgb[offset * 3] + err[0] * kDamping, 0.0f, 255.0f),
                         std::clamp(rgb[offset * 3 + 1] + err[1] * kDamping, 0.0f, 255.0f),
                         std::clamp(rgb[offset * 3 + 2] + err[2] * kDamping, 0.0f, 255.0f)};
      const int k = nearest.Find(wanted);
      indices[offset] = static_cast<std::uint8_t>(k);
      const Point& got = colours[static_cast<std::size_t>(k)];
      float diff[3] = {wanted.r - got.r, wanted.g - got.g, wanted.b - got.b};
      for (int c = 0; c < 3; ++c) {
        if (std::abs(diff[c]) < kDeadZone) continue;
        current[static_cast<std::size_t>(x + 1 + dir) * 3 + c] += diff[c] * 7 / 16;
        next[static_cast<std::size_t>(x + 1 - dir) * 3 + c] += diff[c] * 3 / 16;
        next[static_cast<std::size_t>(x + 1) * 3 + c] += diff[c] * 5 / 16;
        next[static_cast<std::size_t>(x + 1 + dir) * 3 + c] += diff[c] * 1 / 16;
      }
    }
    std::swap(current, next);
  }
}

// When the picture has few enough colours, they are the palette, exactly.
bool ExactPalette(std::span<const std::uint8_t> rgb, bool blackFirst, std::array<Rgb, 256>& palette,
                  std::span<std::uint8_t> indices) {
  std::unordered_map<std::uint32_t, std::uint8_t> slots;
  std::size_t used = 0;
  if (blackFirst) slots.emplace(0u, static_cast<std::uint8_t>(used++));
  for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) {
    const std::uint32_t key = (static_cast<std::uint32_t>(rgb[i]) << 16) | (rgb[i + 1] << 8) | rgb[i + 2];
    auto found = slots.find(key);
    if (found == slots.end()) {
      if (used == 256) return false;
      found = slots.emplace(key, static_cast<std::uint8_t>(used++)).first;
    }
    indices[i / 3] = found->second;
  }
  palette.fill(Rgb{});
  for (const auto& [key, slot] : slots)
    palette[slot] = {static_cast<std::uint8_t>(key >> 16), static_cast<std::uint8_t>(key >> 8),
                     static_cast<std::uint8_t>(key)};
  return true;
}

}  // namespace

void QuantizePicture(std::span<const std::uint8_t> rgb, int width, int height, bool blackFirst,
                     std::array<Rgb, 256>& palette, std::span<std::uint8_t> indices) {
  if (ExactPalette(rgb, blackFirst, palette, indices)) return;
  std::vector<Bin> bins = Histogram(rgb);
  std::vector<Point> colours;
  if (blackFirst) colours.push_back({0, 0, 0});
  const std::vector<Point> cut = MedianCut(bins, 256 - static_cast<int>(colours.size()));
  colours.insert(colours.end(), cut.begin(), cut.end());
  RefineKMeans(bins, colours, blackFirst ? 1 : 0, 3);
  palette.fill(Rgb{});
  for (std::size_t k = 0; k < colours.size(); ++k) {
    palette[k] = {Round(colours[k].r), Round(colours[k].g), Round(colours[k].b)};
    colours[k] = {static_cast<float>(palette[k].r), static_cast<float>(palette[k].g), static_cast<float>(palette[k].b)};
  }
  Dither(rgb, width, height, colours, indices);
}

}  // namespace imaging
