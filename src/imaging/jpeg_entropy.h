// The entropy-coded data of a JPEG scan: a bit reader that undoes byte stuffing and
// stops at markers, and Huffman tables with a lookup table for short codes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "imaging/byte_reader.h"

namespace imaging::jpeg {

class HuffmanTable {
 public:
  // counts[i]: how many codes are i + 1 bits long. False for a table no decoder can
  // use: more than 256 symbols, fewer symbols than counted, or more codes than the
  // lengths can hold.
  bool Build(const std::uint8_t* counts, Bytes symbols);
  bool defined() const { return defined_; }

 private:
  friend class BitReader;
  static constexpr int kFastBits = 9;
  bool defined_ = false;
  // (length << 8) | symbol for every kFastBits-bit prefix of a short code; 0 otherwise.
  std::array<std::uint16_t, 1 << kFastBits> fast_{};
  std::array<std::int32_t, 17> maxCode_{};    // largest code of each length, -1: none
  std::array<std::int32_t, 17> valueOffset_{};  // code + offset = index into symbols_
  std::array<std::uint8_t, 256> symbols_{};
};

class BitReader {
 public:
  BitReader(Bytes data, std::size_t position) : data_(data), position_(position) {}

  // The next symbol, or -1 for a code the table does not have.
  int DecodeSymbol(const HuffmanTable& table);
  // `count` raw bits (0 to 16).
  int Bits(int count);
  // A `count`-bit magnitude in the signed form of coefficient values.
  int Signed(int count);
  // Drops the rest of the interval and the restart marker that ends it; false when
  // no restart marker comes next (the scan's data ends).
  bool Restart();
  // True once more bits were taken than the data holds (a truncated or damaged scan).
  bool overrun() const { return overrun_; }
  // Where the next marker search should start.
  std::size_t position() const { return position_; }

 private:
  void Fill();
  void Consume(int count);

  Bytes data_;
  std::size_t position_;
  std::uint64_t buffer_ = 0;  // most significant bits first
  int count_ = 0;             // bits in buffer_
  int realBits_ = 0;          // of which came from the data (the rest is zero padding)
  bool atMarker_ = false;
  bool overrun_ = false;
};

}  // namespace imaging::jpeg
