#include "imaging/gif_decoder.h"

#include <cstring>
#include <new>

namespace imaging {
namespace {

// The most pixels a GIF can describe per byte of file (12-bit codes standing for
// strings of up to 4096 pixels), with a margin: a larger screen is a lie.
constexpr std::uint64_t kGifPixelsPerByte = 11000;

struct ColorTable {
  std::size_t offset = 0;
  int entries = 0;
};

// Where the first frame is and how to draw it, found by walking the file's blocks.
struct FirstFrame {
  std::size_t descriptor = 0;  // just after the 0x2C introducer
  ColorTable globalTable;
  int transparentIndex = -1;
};

// Skips data sub-blocks; false when the file ends first.
bool SkipSubBlocks(Bytes file, std::size_t& pos) {
  while (Fits(file, pos, 1)) {
    const std::size_t length = file[pos++];
    if (length == 0) return true;
    if (!Fits(file, pos, length)) return false;
    pos += length;
  }
  return false;
}

// A graphic control extension's transparent index, or -1.
int TransparentIndexOf(Bytes file, std::size_t label) {
  if (file[label] != 0xF9 || !Fits(file, label + 1, 5) || file[label + 1] < 4) return -1;
  return (file[label + 2] & 1) ? file[label + 5] : -1;
}

DecodeError WalkGif(Bytes file, PictureFacts& facts, FirstFrame& first) {
  if (!Fits(file, 0, 13) || (std::memcmp(file.data(), "GIF87a", 6) != 0 && std::memcmp(file.data(), "GIF89a", 6) != 0))
    return DecodeError::Unrecognised;
  facts = {};
  facts.format = PictureFormat::Gif;
  facts.compression = "LZW";
  facts.width = Le16(file, 6);
  facts.height = Le16(file, 8);
  const std::uint8_t screenFlags = file[10];
  if (facts.width == 0 || facts.height == 0) return DecodeError::Damaged;
  if (!SizeAllowed(facts.width, facts.height)) return DecodeError::TooLarge;
  const std::uint64_t pixels = static_cast<std::uint64_t>(facts.width) * facts.height;
  if (pixels > (file.size() + 64) * kGifPixelsPerByte) return DecodeError::Damaged;
  std::size_t pos = 13;
  if (screenFlags & 0x80) {
    first.globalTable = {pos, 2 << (screenFlags & 7)};
    pos += 3u * first.globalTable.entries;
    facts.bitsPerPixel = (screenFlags & 7) + 1;
  }
  int frames = 0, pendingTransparent = -1;
  while (Fits(file, pos, 1)) {
    const std::uint8_t introducer = file[pos++];
    if (introducer == 0x3B) break;  // trailer
    if (introducer == 0x21) {       // extension: label, then sub-blocks
      if (!Fits(file, pos, 1)) break;
      if (frames == 0) pendingTransparent = TransparentIndexOf(file, pos);
      ++pos;
      if (!SkipSubBlocks(file, pos)) break;
    } else if (introducer == 0x2C) {
      if (++frames == 2) break;
      first.descriptor = pos;
      first.transparentIndex = pendingTransparent;
      if (!Fits(file, pos, 9)) return DecodeError::Damaged;
      const std::uint8_t flags = file[pos + 8];
      pos += 9;
      if (flags & 0x80) {
        pos += 3u << ((flags & 7) + 1);
        facts.bitsPerPixel = (flags & 7) + 1;
      }
      if (!Fits(file, pos, 1)) return DecodeError::Damaged;
      ++pos;  // LZW minimum code size
      if (!SkipSubBlocks(file, pos)) return DecodeError::Damaged;
    } else {
      break;  // stray bytes after the first frame end the walk
    }
  }
  if (frames == 0) return DecodeError::Damaged;
  if (facts.bitsPerPixel == 0) facts.bitsPerPixel = 8;
  facts.moreFrames = frames >= 2;
  return DecodeError::None;
}

// The image data's bytes, gathered from their sub-blocks, read as LSB-first codes.
class CodeReader {
 public:
  CodeReader(Bytes file, std::size_t pos) : file_(file), pos_(pos) {}

  // False at the end of the data (a zero-length block, or the end of the file).
  bool Read(int width, unsigned& code) {
    while (bitCount_ < width) {
      if (blockLeft_ == 0) {
        if (!Fits(file_, pos_, 1) || file_[pos_] == 0) return false;
        blockLeft_ = file_[pos_++];
      }
      if (!Fits(file_, pos_, 1)) return false;
      bits_ |= static_cast<std::uint32_t>(file_[pos_++]) << bitCount_;
      bitCount_ += 8;
      --blockLeft_;
    }
    code = bits_ & ((1u << width) - 1);
    bits_ >>= width;
    bitCount_ -= width;
    return true;
  }

 private:
  Bytes file_;
  std::size_t pos_;
  std::size_t blockLeft_ = 0;
  std::uint32_t bits_ = 0;
  int bitCount_ = 0;
};

// Places the frame's pixels on the screen in the file's row order (interlaced in
// four passes, or top to bottom); pixels outside the screen are dropped.
class FramePainter {
 public:
  FramePainter(Picture& canvas, Bytes table, int transparent, int left, int top, int width, int height,
               bool interlaced)
      : canvas_(canvas), table_(table), transparent_(transparent), left_(left), top_(top),
        width_(width), height_(height), interlaced_(interlaced) {}

  bool Done() const { return y_ >= height_; }

  void Put(std::uint8_t index) {
    const int x = left_ + x_, y = top_ + y_;
    if (x < canvas_.width && y < canvas_.height && index != transparent_ && index * 3u + 3 <= table_.size()) {
      std::uint8_t* pixel = canvas_.rgb.get() + (static_cast<std::size_t>(y) * canvas_.width + x) * 3;
      std::memcpy(pixel, table_.data() + index * 3u, 3);
    }
    if (++x_ == width_) NextRow();
  }

 private:
  void NextRow() {
    static constexpr int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
    x_ = 0;
    if (!interlaced_) {
      ++y_;
      return;
    }
    y_ += kStep[pass_];
    while (y_ >= height_ && pass_ < 3) y_ = kStart[++pass_];
  }

  Picture& canvas_;
  Bytes table_;
  int transparent_, left_, top_, width_, height_;
  bool interlaced_;
  int x_ = 0, y_ = 0, pass_ = 0;
};

// Decodes the LZW stream into the painter. Data that simply ends early keeps what
// was drawn (the rest stays black); a code that cannot occur is damage.
DecodeError DecodeLzw(CodeReader& codes, int minimumCodeSize, FramePainter& painter) {
  constexpr unsigned kTableSize = 4096;
  std::uint16_t prefix[kTableSize];
  std::uint8_t suffix[kTableSize], firstOf[kTableSize], stack[kTableSize];
  const unsigned clear = 1u << minimumCodeSize, end = clear + 1;
  for (unsigned i = 0; i < clear; ++i) suffix[i] = firstOf[i] = static_cast<std::uint8_t>(i);
  unsigned next = clear + 2, code = 0;
  int width = minimumCodeSize + 1;
  int previous = -1;
  while (!painter.Done() && codes.Read(width, code)) {
    if (code == clear) {
      next = clear + 2;
      width = minimumCodeSize + 1;
      previous = -1;
      continue;
    }
    if (code == end) break;
    if (previous < 0) {
      if (code >= clear) return DecodeError::Damaged;
      painter.Put(static_cast<std::uint8_t>(code));
      previous = static_cast<int>(code);
      continue;
    }
    if (code > next || (code == next && next == kTableSize)) return DecodeError::Damaged;
    if (next < kTableSize) {
      // The new entry is the previous string plus the first pixel of this one,
      // which for a code not yet in the table is the previous string's own first.
      prefix[next] = static_cast<std::uint16_t>(previous);
      const std::uint8_t firstPixel = code == next ? firstOf[previous] : firstOf[code];
      suffix[next] = firstPixel;
      firstOf[next] = firstOf[previous];
      if (++next == (1u << width) && width < 12) ++width;
    }
    unsigned depth = 0;
    for (unsigned at = code; ; at = prefix[at]) {
      stack[depth++] = suffix[at];
      if (at < clear) break;
    }
    while (depth > 0 && !painter.Done()) painter.Put(stack[--depth]);
    previous = static_cast<int>(code);
  }
  return DecodeError::None;
}

}  // namespace

DecodeError ReadGifFacts(Bytes file, PictureFacts& facts) {
  FirstFrame first;
  return WalkGif(file, facts, first);
}

DecodeError DecodeGif(Bytes file, Picture& picture, PictureFacts& facts) {
  FirstFrame first;
  if (const DecodeError error = WalkGif(file, facts, first); error != DecodeError::None) return error;
  std::size_t pos = first.descriptor;
  const int left = Le16(file, pos), top = Le16(file, pos + 2);
  const int width = Le16(file, pos + 4), height = Le16(file, pos + 6);
  const std::uint8_t flags = file[pos + 8];
  pos += 9;
  ColorTable table = first.globalTable;
  if (flags & 0x80) {
    table = {pos, 2 << (flags & 7)};
    pos += 3u * table.entries;
  }
  if (table.entries == 0 || !Fits(file, table.offset, 3u * table.entries)) return DecodeError::Damaged;
  const int minimumCodeSize = file[pos++];
  if (minimumCodeSize < 2 || minimumCodeSize > 8) return DecodeError::Damaged;

  const std::size_t bytes = static_cast<std::size_t>(facts.width) * static_cast<std::size_t>(facts.height) * 3;
  MallocBlock canvas(static_cast<std::uint8_t*>(std::calloc(bytes, 1)));
  if (!canvas) throw std::bad_alloc();
  picture = {};
  picture.width = facts.width;
  picture.height = facts.height;
  picture.rgb = std::move(canvas);
  if (width == 0 || height == 0) return DecodeError::None;  // nothing drawn: a black screen
  CodeReader codes(file, pos);
  FramePainter painter(picture, file.subspan(table.offset, 3u * table.entries), first.transparentIndex, left,
                       top, width, height, (flags & 0x40) != 0);
  const DecodeError error = DecodeLzw(codes, minimumCodeSize, painter);
  if (error != DecodeError::None) picture = {};
  return error;
}

}  // namespace imaging
