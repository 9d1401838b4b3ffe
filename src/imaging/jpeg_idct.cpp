#include "imaging/jpeg_idct.h"

#include <array>
#include <cmath>

namespace imaging::jpeg {
namespace {

// basis[x][u] = 1/2 C(u) cos((2x + 1) u pi / 2N) in 12-bit fixed point, C(0) = 1/sqrt 2.
// With N < 8 this keeps the picture's average level: the reduced block is the
// N-point inverse transform of the lowest frequencies.
using Basis = std::array<std::array<std::int32_t, 8>, 8>;
constexpr int kBasisBits = 12;

Basis MakeBasis(int size) {
  Basis basis{};
  const double pi = std::acos(-1.0);
  for (int x = 0; x < size; ++x)
    for (int u = 0; u < size; ++u) {
      const double scale = u == 0 ? 0.5 / std::sqrt(2.0) : 0.5;
      basis[x][u] = static_cast<std::int32_t>(
          std::lround(scale * std::cos((2 * x + 1) * u * pi / (2 * size)) * (1 << kBasisBits)));
    }
  return basis;
}

const Basis kBases[4] = {MakeBasis(1), MakeBasis(2), MakeBasis(4), MakeBasis(8)};

constexpr int Log2(int size) { return size == 8 ? 3 : size == 4 ? 2 : size == 2 ? 1 : 0; }

std::uint8_t Clamp(std::int32_t value) {
  return static_cast<std::uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
}

// One shape, with its loops fixed at compile time.
template <int Width, int Height>
void Transform(const std::int32_t* coefficients, std::uint8_t* out, std::ptrdiff_t stride) {
  constexpr int count = Width * Height;
  bool acZero = true;
  for (int i = 1; i < count && acZero; ++i) acZero = coefficients[i] == 0;
  if (acZero) {  // flat block: the average, coefficient 0 / 8
    const std::uint8_t level = Clamp(((coefficients[0] + 4) >> 3) + 128);
    for (int y = 0; y < Height; ++y)
      for (int x = 0; x < Width; ++x) out[y * stride + x] = level;
    return;
  }
  const Basis& across = kBases[Log2(Width)];
  const Basis& down = kBases[Log2(Height)];
  // Rows of coefficients first (2 extra bits kept), then columns; zero rows skipped.
  std::int32_t rows[Height][Width];
  int used[Height];
  int usedCount = 0;
  for (int v = 0; v < Height; ++v) {
    const std::int32_t* row = coefficients + v * Width;
    bool zero = true;
    for (int u = 0; u < Width && zero; ++u) zero = row[u] == 0;
    if (zero) continue;
    used[usedCount++] = v;
    for (int x = 0; x < Width; ++x) {
      std::int32_t sum = 0;
      for (int u = 0; u < Width; ++u) sum += across[x][u] * row[u];
      rows[v][x] = (sum + (1 << (kBasisBits - 3))) >> (kBasisBits - 2);
    }
  }
  for (int y = 0; y < Height; ++y) {
    std::int32_t sums[Width] = {};
    for (int i = 0; i < usedCount; ++i) {
      const std::int32_t weight = down[y][used[i]];
      for (int x = 0; x < Width; ++x) sums[x] += weight * rows[used[i]][x];
    }
    for (int x = 0; x < Width; ++x)
      out[y * stride + x] = Clamp(((sums[x] + (1 << (kBasisBits + 1))) >> (kBasisBits + 2)) + 128);
  }
}

using TransformFunction = void (*)(const std::int32_t*, std::uint8_t*, std::ptrdiff_t);
template <int Width>
constexpr std::array<TransformFunction, 4> kColumn = {Transform<Width, 1>, Transform<Width, 2>,
                                                      Transform<Width, 4>, Transform<Width, 8>};
constexpr std::array<std::array<TransformFunction, 4>, 4> kTransforms = {kColumn<1>, kColumn<2>, kColumn<4>,
                                                                       kColumn<8>};

}  // namespace

void InverseDct(const std::int32_t* coefficients, int width, int height, std::uint8_t* out,
                std::ptrdiff_t stride) {
  kTransforms[static_cast<std::size_t>(Log2(width))][static_cast<std::size_t>(Log2(height))](coefficients, out,
                                                                                              stride);
}

}  // namespace imaging::jpeg
