#include "imaging/jpeg_decoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <vector>

#include "imaging/jpeg_entropy.h"
#include "imaging/jpeg_idct.h"

namespace imaging {
namespace {

using jpeg::BitReader;
using jpeg::HuffmanTable;

// kZigZag[k]: the natural (row * 8 + column) position of the k-th coefficient coded.
constexpr std::array<std::uint8_t, 64> kZigZag = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// Coefficients of a well-formed 8-bit picture stay far inside this after
// dequantisation; clamping keeps hostile values from overflowing the transform.
constexpr std::int32_t kCoefficientLimit = 4095;

// Progressive pictures keep every block's coefficients until the last scan; beyond
// this the picture is refused rather than allowed to take the machine's memory.
constexpr std::uint64_t kMaxCoefficientBytes = 768ull << 20;

int CeilDiv(int value, int divisor) { return (value + divisor - 1) / divisor; }

// Which coefficients a block keeps when its inverse transform makes width x height
// samples: the lowest width horizontal and height vertical frequencies.
struct BlockShape {
  int width = 8, height = 8;
  int keptCount = 64;
  std::array<int, 64> keptIndex{};    // zig-zag position -> kept index, or -1
  std::array<int, 64> keptNatural{};  // kept index -> natural position

  BlockShape(int across, int down) : width(across), height(down), keptCount(across * down) {
    for (int k = 0; k < 64; ++k) {
      const int row = kZigZag[k] / 8, column = kZigZag[k] % 8;
      keptIndex[k] = row < height && column < width ? row * width + column : -1;
    }
    for (int i = 0; i < keptCount; ++i) keptNatural[i] = (i / width) * 8 + i % width;
  }
};

int Log2(int size) { return size == 8 ? 3 : size == 4 ? 2 : size == 2 ? 1 : 0; }

std::vector<BlockShape> AllShapes() {
  std::vector<BlockShape> shapes;
  for (int across = 1; across <= 8; across *= 2)
    for (int down = 1; down <= 8; down *= 2) shapes.emplace_back(across, down);
  return shapes;
}

struct Component {
  int id = 0, h = 1, v = 1, quantTable = 0;
  // Subsampled components transform to more samples per block where that saves
  // upsampling them later (4:2:0 at 1/2 scale: chroma blocks at full 8 x 8, 4:2:2
  // at 1/4: chroma blocks 4 wide and 2 high).
  const BlockShape* shape = nullptr;
  int dcTable = 0, acTable = 0;
  int blocksWide = 0, blocksHigh = 0;  // blocks that hold samples (a lone scan's extent)
  int storeWide = 0;                   // blocks across, in whole MCUs
  int dcPredictor = 0;
  // Per block: the kept coefficients in natural order and, for progressive
  // pictures, 64 bits telling which zig-zag positions are nonzero. Kept in chunks of
  // whole MCU rows (a single row when streaming), each released once output, so a
  // picture's coefficients and its pixels are never all in memory together.
  int blockStride = 0;    // int16 values per block
  int rowsPerChunk = 1;   // MCU rows
  std::vector<std::vector<std::int16_t>> chunks;
  std::vector<std::uint8_t> plane;         // samples of one MCU row
  int planeStride = 0;
  std::vector<int> columnOf;  // output column -> plane column
};

enum class Mode { Sequential, DcFirst, DcRefine, AcFirst, AcRefine };

// Fixed-point YCbCr to RGB, 16 fractional bits.
struct ColourTables {
  std::array<std::int32_t, 256> crToR{}, cbToB{}, crToG{}, cbToG{};
  ColourTables() {
    for (int i = 0; i < 256; ++i) {
      const std::int32_t x = i - 128;
      crToR[i] = (91881 * x + 32768) >> 16;   // 1.402
      cbToB[i] = (116130 * x + 32768) >> 16;  // 1.772
      crToG[i] = -46802 * x;                  // 0.71414
      cbToG[i] = -22554 * x + 32768;          // 0.34414, with the rounding
    }
  }
};

std::uint8_t Clamp255(std::int32_t value) {
  return static_cast<std::uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
}

class Decoder {
 public:
  Decoder(Bytes file, int divisor) : file_(file), divisor_(divisor), size_(8 / divisor) {}

  DecodeError Run(Picture& picture);

 private:
  DecodeError ReadFrame(Bytes segment, bool progressive);
  DecodeError ReadQuantTables(Bytes segment);
  DecodeError ReadHuffmanTables(Bytes segment);
  DecodeError ReadScan(Bytes header, std::size_t& position);
  DecodeError Prepare(bool streaming);
  void DecodeScanData(const std::vector<Component*>& scan, Mode mode, std::size_t& position);
  bool DecodeBlock(Component& component, int blockRow, int blockColumn, Mode mode, BitReader& reader);
  bool DecodeSequential(Component& component, std::int16_t* kept, BitReader& reader);
  bool DecodeAcFirst(const Component& component, std::int16_t* kept, std::uint64_t& nonzero, BitReader& reader);
  bool DecodeAcRefine(const Component& component, std::int16_t* kept, std::uint64_t& nonzero, BitReader& reader);
  void ClearStore();
  // The block `blockRow` rows into MCU row `mcuRow` (0 when streaming), `blockColumn` across.
  static std::int16_t* BlockAt(Component& c, int mcuRow, int blockRow, int blockColumn) {
    const std::size_t row = static_cast<std::size_t>(mcuRow % c.rowsPerChunk) * static_cast<std::size_t>(c.v) +
                            static_cast<std::size_t>(blockRow);
    return c.chunks[static_cast<std::size_t>(mcuRow / c.rowsPerChunk)].data() +
           (row * static_cast<std::size_t>(c.storeWide) + static_cast<std::size_t>(blockColumn)) *
               static_cast<std::size_t>(c.blockStride);
  }
  void OutputMcuRow(int row);

  Bytes file_;
  int divisor_;
  int size_;  // samples a full-resolution block yields per side
  const std::vector<BlockShape> shapes_ = AllShapes();  // [Log2(width) * 4 + Log2(height)]

  bool frame_ = false, progressive_ = false, prepared_ = false, streaming_ = false;
  int width_ = 0, height_ = 0, outWidth_ = 0, outHeight_ = 0;
  int hMax_ = 1, vMax_ = 1, mcusWide_ = 0, mcusHigh_ = 0;
  std::vector<Component> components_;
  std::array<std::array<std::uint16_t, 64>, 4> quant_{};  // natural order
  std::array<bool, 4> quantDefined_{};
  std::array<HuffmanTable, 4> dcTables_, acTables_;
  int restartInterval_ = 0;
  bool adobe_ = false;
  int adobeTransform_ = 1;
  // Scan parameters.
  int spectralStart_ = 0, spectralEnd_ = 63, approxLow_ = 0;
  int eobRun_ = 0;
  MallocBlock output_;
};

DecodeError Decoder::ReadFrame(Bytes segment, bool progressive) {
  if (frame_ || segment.size() < 6) return DecodeError::Damaged;
  if (segment[0] != 8) return DecodeError::Unsupported;  // 12-bit samples
  height_ = Be16(segment, 1);
  width_ = Be16(segment, 3);
  const int count = segment[5];
  if (width_ == 0 || height_ == 0 || count == 0) return DecodeError::Damaged;
  if (count != 1 && count != 3) return DecodeError::Unsupported;  // CMYK, YCCK and rarer
  if (segment.size() < 6 + 3u * count) return DecodeError::Damaged;
  components_.resize(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    Component& c = components_[static_cast<std::size_t>(i)];
    c.id = segment[6 + 3 * i];
    c.h = segment[7 + 3 * i] >> 4;
    c.v = segment[7 + 3 * i] & 15;
    c.quantTable = segment[8 + 3 * i];
    if (c.h < 1 || c.h > 4 || c.v < 1 || c.v > 4 || c.quantTable > 3) return DecodeError::Damaged;
    for (int j = 0; j < i; ++j)
      if (components_[static_cast<std::size_t>(j)].id == c.id) return DecodeError::Damaged;
  }
  if (count == 1) components_[0].h = components_[0].v = 1;  // a lone component's MCU is one block
  for (const Component& c : components_) {
    hMax_ = std::max(hMax_, c.h);
    vMax_ = std::max(vMax_, c.v);
  }
  mcusWide_ = CeilDiv(width_, 8 * hMax_);
  mcusHigh_ = CeilDiv(height_, 8 * vMax_);
  for (Component& c : components_) {
    c.blocksWide = CeilDiv(CeilDiv(width_ * c.h, hMax_), 8);
    c.blocksHigh = CeilDiv(CeilDiv(height_ * c.v, vMax_), 8);
    const int across = hMax_ % c.h == 0 ? hMax_ / c.h : 1, down = vMax_ % c.v == 0 ? vMax_ / c.v : 1;
    int shapeWidth = size_, shapeHeight = size_;
    while (shapeWidth < 8 && across % (2 * shapeWidth / size_) == 0) shapeWidth *= 2;
    while (shapeHeight < 8 && down % (2 * shapeHeight / size_) == 0) shapeHeight *= 2;
    c.shape = &shapes_[static_cast<std::size_t>(Log2(shapeWidth) * 4 + Log2(shapeHeight))];
  }
  outWidth_ = CeilDiv(width_, divisor_);
  outHeight_ = CeilDiv(height_, divisor_);
  if (!SizeAllowed(outWidth_, outHeight_)) return DecodeError::TooLarge;
  frame_ = true;
  progressive_ = progressive;
  return DecodeError::None;
}

DecodeError Decoder::ReadQuantTables(Bytes segment) {
  std::size_t at = 0;
  while (at < segment.size()) {
    const int precision = segment[at] >> 4, table = segment[at] & 15;
    if (precision > 1 || table > 3) return DecodeError::Damaged;
    const std::size_t bytes = precision ? 128 : 64;
    if (!Fits(segment, at + 1, bytes)) return DecodeError::Damaged;
    for (int k = 0; k < 64; ++k)
      quant_[static_cast<std::size_t>(table)][kZigZag[k]] =
          precision ? Be16(segment, at + 1 + 2 * static_cast<std::size_t>(k)) : segment[at + 1 + k];
    quantDefined_[static_cast<std::size_t>(table)] = true;
    at += 1 + bytes;
  }
  return DecodeError::None;
}

DecodeError Decoder::ReadHuffmanTables(Bytes segment) {
  std::size_t at = 0;
  while (at < segment.size()) {
    const int tableClass = segment[at] >> 4, table = segment[at] & 15;
    if (tableClass > 1 || table > 3 || !Fits(segment, at, 17)) return DecodeError::Damaged;
    const std::uint8_t* counts = segment.data() + at + 1;
    std::size_t symbols = 0;
    for (int i = 0; i < 16; ++i) symbols += counts[i];
    if (symbols > 256 || !Fits(segment, at + 17, symbols)) return DecodeError::Damaged;
    HuffmanTable& target = (tableClass ? acTables_ : dcTables_)[static_cast<std::size_t>(table)];
    if (!target.Build(counts, segment.subspan(at + 17, symbols))) return DecodeError::Damaged;
    at += 17 + symbols;
  }
  return DecodeError::None;
}

DecodeError Decoder::Prepare(bool streaming) {
  streaming_ = streaming;
  std::uint64_t coefficientBytes = 0;
  for (const Component& c : components_) {
    const std::uint64_t blocks = static_cast<std::uint64_t>(mcusWide_) * c.h *
                                 (streaming ? c.v : static_cast<std::uint64_t>(mcusHigh_) * c.v);
    coefficientBytes += blocks * (c.shape->keptCount * 2 + (progressive_ ? 8 : 0));
  }
  if (coefficientBytes > kMaxCoefficientBytes) return DecodeError::TooLarge;
  for (Component& c : components_) {
    c.storeWide = mcusWide_ * c.h;
    c.blockStride = c.shape->keptCount + (progressive_ ? 4 : 0);
    const std::size_t rowValues = static_cast<std::size_t>(c.storeWide) * c.v * c.blockStride;
    // Chunks of about a megabyte: large enough that freeing one returns its memory.
    c.rowsPerChunk = streaming ? 1 : std::clamp(static_cast<int>((1u << 19) / rowValues), 1, mcusHigh_);
    const int chunkCount = streaming ? 1 : CeilDiv(mcusHigh_, c.rowsPerChunk);
    c.chunks.resize(static_cast<std::size_t>(chunkCount));
    for (int i = 0; i < chunkCount; ++i) {
      const int rows = streaming ? 1 : std::min(c.rowsPerChunk, mcusHigh_ - i * c.rowsPerChunk);
      c.chunks[static_cast<std::size_t>(i)].assign(rowValues * static_cast<std::size_t>(rows), 0);
    }
    c.planeStride = c.storeWide * c.shape->width;
    c.plane.assign(static_cast<std::size_t>(c.planeStride) * static_cast<std::size_t>(c.v * c.shape->height), 128);
    c.columnOf.resize(static_cast<std::size_t>(outWidth_));
    for (int x = 0; x < outWidth_; ++x)
      c.columnOf[static_cast<std::size_t>(x)] =
          std::min(x * c.h * c.shape->width / (hMax_ * size_), c.planeStride - 1);
  }
  const std::size_t bytes = static_cast<std::size_t>(outWidth_) * static_cast<std::size_t>(outHeight_) * 3;
  output_.reset(static_cast<std::uint8_t*>(std::malloc(bytes)));
  if (!output_) throw std::bad_alloc();
  prepared_ = true;
  return DecodeError::None;
}

DecodeError Decoder::ReadScan(Bytes header, std::size_t& position) {
  if (!frame_ || header.empty()) return DecodeError::Damaged;
  const std::size_t count = header[0];
  if (count < 1 || count > 4 || header.size() < 4 + 2 * count) return DecodeError::Damaged;
  std::vector<Component*> scan;
  int blocksPerMcu = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const int id = header[1 + 2 * i], tables = header[2 + 2 * i];
    auto found = std::find_if(components_.begin(), components_.end(), [&](const Component& c) { return c.id == id; });
    if (found == components_.end() || std::find(scan.begin(), scan.end(), &*found) != scan.end())
      return DecodeError::Damaged;
    found->dcTable = tables >> 4;
    found->acTable = tables & 15;
    if (found->dcTable > 3 || found->acTable > 3 || !quantDefined_[static_cast<std::size_t>(found->quantTable)])
      return DecodeError::Damaged;
    blocksPerMcu += found->h * found->v;
    scan.push_back(&*found);
  }
  if (count > 1 && blocksPerMcu > 10) return DecodeError::Damaged;
  spectralStart_ = header[1 + 2 * count];
  spectralEnd_ = header[2 + 2 * count];
  const int approxHigh = header[3 + 2 * count] >> 4;
  approxLow_ = header[3 + 2 * count] & 15;
  Mode mode = Mode::Sequential;
  if (progressive_) {
    if (approxHigh > 13 || approxLow_ > 13) return DecodeError::Damaged;
    if (spectralStart_ == 0) {
      if (spectralEnd_ != 0) return DecodeError::Damaged;
      mode = approxHigh ? Mode::DcRefine : Mode::DcFirst;
    } else {
      if (count != 1 || spectralEnd_ < spectralStart_ || spectralEnd_ > 63) return DecodeError::Damaged;
      mode = approxHigh ? Mode::AcRefine : Mode::AcFirst;
    }
  }
  for (const Component* c : scan) {
    const bool needDc = mode == Mode::Sequential || mode == Mode::DcFirst;
    const bool needAc = mode == Mode::Sequential || mode == Mode::AcFirst || mode == Mode::AcRefine;
    if ((needDc && !dcTables_[static_cast<std::size_t>(c->dcTable)].defined()) ||
        (needAc && !acTables_[static_cast<std::size_t>(c->acTable)].defined()))
      return DecodeError::Damaged;
  }
  if (!prepared_) {
    const DecodeError error = Prepare(!progressive_ && count == components_.size());
    if (error != DecodeError::None) return error;
  }
  DecodeScanData(scan, mode, position);
  return DecodeError::None;
}

void Decoder::ClearStore() {
  for (Component& c : components_) std::fill(c.chunks[0].begin(), c.chunks[0].end(), 0);
}

void Decoder::DecodeScanData(const std::vector<Component*>& scan, Mode mode, std::size_t& position) {
  BitReader reader(file_, position);
  for (Component* c : scan) c->dcPredictor = 0;
  eobRun_ = 0;
  // Damaged data spoils the rest of its restart interval; the next marker resumes
  // decoding. Without restart markers, or when the data ends, the scan ends there.
  bool damaged = false, ended = false;
  int mcusDone = 0;
  auto startMcu = [&]() {
    if (ended) return false;
    if (restartInterval_ && mcusDone > 0 && mcusDone % restartInterval_ == 0) {
      if (!reader.Restart()) {
        ended = true;
        return false;
      }
      for (Component* c : scan) c->dcPredictor = 0;
      eobRun_ = 0;
      damaged = false;
    }
    ++mcusDone;
    return !damaged;
  };
  auto decode = [&](Component& c, int blockRow, int blockColumn) {
    if (damaged || ended) return;
    if (!DecodeBlock(c, blockRow, blockColumn, mode, reader) || reader.overrun())
      (restartInterval_ ? damaged : ended) = true;
  };
  if (scan.size() == 1) {
    Component& c = *scan[0];
    for (int by = 0; by < c.blocksHigh; ++by) {
      if (streaming_) ClearStore();
      for (int bx = 0; bx < c.blocksWide; ++bx)
        if (startMcu()) decode(c, by, bx);
      if (streaming_) OutputMcuRow(by);
    }
    if (streaming_)
      for (int row = c.blocksHigh; row < mcusHigh_; ++row) OutputMcuRow(row);
  } else {
    for (int my = 0; my < mcusHigh_; ++my) {
      if (streaming_) ClearStore();
      for (int mx = 0; mx < mcusWide_; ++mx) {
        if (!startMcu()) continue;
        for (Component* c : scan)
          for (int by = 0; by < c->v; ++by)
            for (int bx = 0; bx < c->h; ++bx) decode(*c, my * c->v + by, mx * c->h + bx);
      }
      if (streaming_) OutputMcuRow(my);
    }
  }
  position = reader.position();
}

bool Decoder::DecodeBlock(Component& c, int blockRow, int blockColumn, Mode mode, BitReader& reader) {
  std::int16_t* kept = BlockAt(c, streaming_ ? 0 : blockRow / c.v, blockRow % c.v, blockColumn);
  switch (mode) {
    case Mode::Sequential:
      return DecodeSequential(c, kept, reader);
    case Mode::DcFirst: {
      const int category = reader.DecodeSymbol(dcTables_[static_cast<std::size_t>(c.dcTable)]);
      if (category < 0 || category > 15) return false;
      c.dcPredictor = static_cast<std::int16_t>(c.dcPredictor + reader.Signed(category));
      kept[0] = static_cast<std::int16_t>(c.dcPredictor * (1 << approxLow_));
      return true;
    }
    case Mode::DcRefine:
      if (reader.Bits(1)) kept[0] = static_cast<std::int16_t>(kept[0] | (1 << approxLow_));
      return true;
    case Mode::AcFirst:
    case Mode::AcRefine: {
      std::uint64_t nonzero;
      std::memcpy(&nonzero, kept + c.shape->keptCount, sizeof nonzero);
      const bool sound = mode == Mode::AcFirst ? DecodeAcFirst(c, kept, nonzero, reader)
                                               : DecodeAcRefine(c, kept, nonzero, reader);
      std::memcpy(kept + c.shape->keptCount, &nonzero, sizeof nonzero);
      return sound;
    }
  }
  return false;
}

bool Decoder::DecodeSequential(Component& c, std::int16_t* kept, BitReader& reader) {
  const std::array<int, 64>& keptIndex = c.shape->keptIndex;
  std::fill(kept, kept + c.shape->keptCount, 0);
  const int category = reader.DecodeSymbol(dcTables_[static_cast<std::size_t>(c.dcTable)]);
  if (category < 0 || category > 15) return false;
  c.dcPredictor = static_cast<std::int16_t>(c.dcPredictor + reader.Signed(category));
  kept[0] = static_cast<std::int16_t>(c.dcPredictor);
  const HuffmanTable& ac = acTables_[static_cast<std::size_t>(c.acTable)];
  for (int k = 1; k < 64;) {
    const int symbol = reader.DecodeSymbol(ac);
    if (symbol < 0) return false;
    const int run = symbol >> 4, bits = symbol & 15;
    if (bits == 0) {
      if (run != 15) break;  // end of block
      k += 16;
      continue;
    }
    k += run;
    if (k > 63) return false;
    const int value = reader.Signed(bits);
    if (keptIndex[k] >= 0) kept[keptIndex[k]] = static_cast<std::int16_t>(value);
    ++k;
  }
  return true;
}

bool Decoder::DecodeAcFirst(const Component& c, std::int16_t* kept, std::uint64_t& nonzero,
                            BitReader& reader) {
  const HuffmanTable& ac = acTables_[static_cast<std::size_t>(c.acTable)];
  const std::array<int, 64>& keptIndex = c.shape->keptIndex;
  if (eobRun_ > 0) {
    --eobRun_;
    return true;
  }
  for (int k = spectralStart_; k <= spectralEnd_; ++k) {
    const int symbol = reader.DecodeSymbol(ac);
    if (symbol < 0) return false;
    const int run = symbol >> 4, bits = symbol & 15;
    if (bits == 0) {
      if (run < 15) {  // a run of blocks with nothing more in this band
        eobRun_ = (1 << run) - 1 + reader.Bits(run);
        break;
      }
      k += 15;
      continue;
    }
    k += run;
    if (k > spectralEnd_) return false;
    const int value = reader.Signed(bits) * (1 << approxLow_);
    if (keptIndex[k] >= 0) kept[keptIndex[k]] = static_cast<std::int16_t>(value);
    nonzero |= std::uint64_t{1} << k;
  }
  return true;
}

// Refinement adds one bit of precision to coefficients already nonzero and brings
// in new ones of magnitude 1. Coefficients the reduced scale does not keep still
// need their nonzero state, or the bit stream would be misread.
bool Decoder::DecodeAcRefine(const Component& c, std::int16_t* kept, std::uint64_t& nonzero,
                             BitReader& reader) {
  const HuffmanTable& ac = acTables_[static_cast<std::size_t>(c.acTable)];
  const std::array<int, 64>& keptIndex = c.shape->keptIndex;
  const int bit = 1 << approxLow_;
  auto refine = [&](int k) {
    if (reader.Bits(1) && keptIndex[k] >= 0) {
      std::int16_t& coefficient = kept[keptIndex[k]];
      if ((coefficient & bit) == 0)
        coefficient = static_cast<std::int16_t>(coefficient >= 0 ? coefficient + bit : coefficient - bit);
    }
  };
  int k = spectralStart_;
  if (eobRun_ == 0) {
    for (; k <= spectralEnd_; ++k) {
      const int symbol = reader.DecodeSymbol(ac);
      if (symbol < 0) return false;
      int run = symbol >> 4;
      const int bits = symbol & 15;
      int value = 0;
      if (bits != 0) {
        if (bits != 1) return false;
        value = reader.Bits(1) ? bit : -bit;
      } else if (run != 15) {
        eobRun_ = (1 << run) + reader.Bits(run);
        break;
      }
      while (k <= spectralEnd_) {
        if (nonzero >> k & 1) {
          refine(k);
        } else if (--run < 0) {
          break;
        }
        ++k;
      }
      if (value != 0) {
        if (k > spectralEnd_) return false;
        if (keptIndex[k] >= 0) kept[keptIndex[k]] = static_cast<std::int16_t>(value);
        nonzero |= std::uint64_t{1} << k;
      }
    }
  }
  if (eobRun_ > 0) {
    for (; k <= spectralEnd_; ++k)
      if (nonzero >> k & 1) refine(k);
    --eobRun_;
  }
  return true;
}

void Decoder::OutputMcuRow(int row) {
  const int rowsPerMcu = vMax_ * size_;
  const int top = row * rowsPerMcu;
  if (top >= outHeight_) return;
  const int bottom = std::min(outHeight_, top + rowsPerMcu);
  std::array<std::int32_t, 64> block{};
  for (Component& c : components_) {
    const auto& quant = quant_[static_cast<std::size_t>(c.quantTable)];
    const BlockShape& shape = *c.shape;
    const int mcuRow = streaming_ ? 0 : row;
    for (int by = 0; by < c.v; ++by) {
      for (int bx = 0; bx < c.storeWide; ++bx) {
        const std::int16_t* kept = BlockAt(c, mcuRow, by, bx);
        for (int i = 0; i < shape.keptCount; ++i) {
          const std::int32_t value =
              kept[i] * static_cast<std::int32_t>(quant[static_cast<std::size_t>(shape.keptNatural[i])]);
          block[static_cast<std::size_t>(i)] = std::clamp(value, -kCoefficientLimit, kCoefficientLimit);
        }
        jpeg::InverseDct(block.data(), shape.width, shape.height,
                         c.plane.data() + static_cast<std::size_t>(by * shape.height) * c.planeStride +
                             bx * shape.width,
                         c.planeStride);
      }
    }
    if (!streaming_ && (row % c.rowsPerChunk == c.rowsPerChunk - 1 || row == mcusHigh_ - 1))
      std::vector<std::int16_t>().swap(c.chunks[static_cast<std::size_t>(row / c.rowsPerChunk)]);
  }
  static const ColourTables tables;
  const bool grey = components_.size() == 1;
  const bool rgb = !grey && (adobe_ ? adobeTransform_ == 0
                                    : components_[0].id == 'R' && components_[1].id == 'G' &&
                                          components_[2].id == 'B');
  // Every component at the output's resolution: no column lookup needed.
  const bool columnsIdentical = std::all_of(components_.begin(), components_.end(), [&](const Component& c) {
    return c.h * c.shape->width == hMax_ * size_;
  });
  for (int y = top; y < bottom; ++y) {
    std::uint8_t* out = output_.get() + static_cast<std::size_t>(y) * outWidth_ * 3;
    const std::uint8_t* rows[3] = {};
    const int* columns[3] = {};
    for (std::size_t i = 0; i < components_.size(); ++i) {
      const Component& c = components_[i];
      rows[i] = c.plane.data() +
                static_cast<std::size_t>((y - top) * c.v * c.shape->height / (vMax_ * size_)) * c.planeStride;
      columns[i] = c.columnOf.data();
    }
    if (grey) {
      for (int x = 0; x < outWidth_; ++x) out[3 * x] = out[3 * x + 1] = out[3 * x + 2] = rows[0][columns[0][x]];
    } else if (rgb) {
      for (int x = 0; x < outWidth_; ++x)
        for (int i = 0; i < 3; ++i) out[3 * x + i] = rows[i][columns[i][x]];
    } else if (columnsIdentical) {
      for (int x = 0; x < outWidth_; ++x) {
        const std::int32_t luma = rows[0][x];
        const int cb = rows[1][x], cr = rows[2][x];
        out[3 * x] = Clamp255(luma + tables.crToR[cr]);
        out[3 * x + 1] = Clamp255(luma + ((tables.cbToG[cb] + tables.crToG[cr]) >> 16));
        out[3 * x + 2] = Clamp255(luma + tables.cbToB[cb]);
      }
    } else {
      for (int x = 0; x < outWidth_; ++x) {
        const std::int32_t luma = rows[0][columns[0][x]];
        const int cb = rows[1][columns[1][x]], cr = rows[2][columns[2][x]];
        out[3 * x] = Clamp255(luma + tables.crToR[cr]);
        out[3 * x + 1] = Clamp255(luma + ((tables.cbToG[cb] + tables.crToG[cr]) >> 16));
        out[3 * x + 2] = Clamp255(luma + tables.cbToB[cb]);
      }
    }
  }
}

DecodeError Decoder::Run(Picture& picture) {
  std::size_t position = 2;
  bool sawScan = false;
  while (true) {
    while (position < file_.size() && file_[position] != 0xFF) ++position;  // stray bytes
    while (position < file_.size() && file_[position] == 0xFF) ++position;  // fill bytes
    if (position >= file_.size()) break;
    const std::uint8_t marker = file_[position++];
    if (marker == 0xD9) break;  // end of image
    if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) continue;
    if (!Fits(file_, position, 2)) break;
    const std::size_t length = Be16(file_, position);
    if (length < 2 || !Fits(file_, position, length)) break;  // cut short
    const Bytes segment = file_.subspan(position + 2, length - 2);
    position += length;
    DecodeError error = DecodeError::None;
    switch (marker) {
      case 0xC0: case 0xC1: error = ReadFrame(segment, false); break;
      case 0xC2: error = ReadFrame(segment, true); break;
      case 0xC4: error = ReadHuffmanTables(segment); break;
      case 0xDB: error = ReadQuantTables(segment); break;
      case 0xDD:
        if (segment.size() < 2) return DecodeError::Damaged;
        restartInterval_ = Be16(segment, 0);
        break;
      case 0xEE:
        if (segment.size() >= 12 && std::equal(segment.begin(), segment.begin() + 5, "Adobe")) {
          adobe_ = true;
          adobeTransform_ = segment[11];
        }
        break;
      case 0xDA:
        error = ReadScan(segment, position);
        sawScan = true;
        break;
      default:
        // Lossless, hierarchical and arithmetic-coded frames.
        if (marker >= 0xC3 && marker <= 0xCF && marker != 0xC8 && marker != 0xCC) return DecodeError::Unsupported;
        break;
    }
    if (error != DecodeError::None) return error;
    if (streaming_ && sawScan) break;  // that one scan held the whole picture
  }
  if (!frame_) return DecodeError::Damaged;
  if (!sawScan || !prepared_) return DecodeError::Damaged;
  if (!streaming_)
    for (int row = 0; row < mcusHigh_; ++row) OutputMcuRow(row);
  picture = {};
  picture.width = outWidth_;
  picture.height = outHeight_;
  picture.rgb = std::move(output_);
  return DecodeError::None;
}

}  // namespace

int ChooseJpegDivisor(int width, int height, int neededWidth, int neededHeight) {
  if (neededWidth <= 0 || neededHeight <= 0) return 1;
  for (const int divisor : {8, 4, 2})
    if (CeilDiv(width, divisor) >= kJpegScaleMargin * neededWidth &&
        CeilDiv(height, divisor) >= kJpegScaleMargin * neededHeight)
      return divisor;
  return 1;
}

DecodeError DecodeJpeg(Bytes file, int divisor, Picture& picture) {
  if (divisor != 1 && divisor != 2 && divisor != 4 && divisor != 8) divisor = 1;
  if (file.size() < 4 || file[0] != 0xFF || file[1] != 0xD8) return DecodeError::Unrecognised;
  Decoder decoder(file, divisor);
  return decoder.Run(picture);
}

}  // namespace imaging
