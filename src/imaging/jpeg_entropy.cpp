#include "imaging/jpeg_entropy.h"

namespace imaging::jpeg {

bool HuffmanTable::Build(const std::uint8_t* counts, Bytes symbols) {
  defined_ = false;
  std::size_t total = 0;
  for (int i = 0; i < 16; ++i) total += counts[i];
  if (total > symbols_.size() || total > symbols.size()) return false;
  fast_.fill(0);
  std::int32_t code = 0;
  std::int32_t index = 0;
  for (int length = 1; length <= 16; ++length) {
    valueOffset_[length] = index - code;
    for (int i = 0; i < counts[length - 1]; ++i) {
      if (code >= (1 << length)) return false;  // over-subscribed
      symbols_[index] = symbols[index];
      if (length <= kFastBits) {
        const int shift = kFastBits - length;
        for (int fill = 0; fill < (1 << shift); ++fill)
          fast_[(code << shift) | fill] = static_cast<std::uint16_t>((length << 8) | symbols[index]);
      }
      ++code;
      ++index;
    }
    maxCode_[length] = counts[length - 1] ? code - 1 : -1;
    code <<= 1;
  }
  defined_ = true;
  return true;
}

void BitReader::Fill() {
  while (count_ <= 56) {
    std::uint8_t byte = 0;
    bool real = false;
    if (!atMarker_ && position_ < data_.size()) {
      const std::uint8_t next = data_[position_];
      if (next != 0xFF) {
        byte = next;
        ++position_;
        real = true;
      } else if (position_ + 1 < data_.size() && data_[position_ + 1] == 0x00) {
        byte = 0xFF;  // a stuffed data byte
        position_ += 2;
        real = true;
      } else {
        atMarker_ = true;  // a marker ends the data; position_ stays on it
      }
    }
    // Past the end, zero bits pad the buffer; they always follow the real ones.
    buffer_ |= static_cast<std::uint64_t>(byte) << (56 - count_);
    count_ += 8;
    if (real) realBits_ += 8;
  }
}

void BitReader::Consume(int count) {
  if (count > realBits_) {
    overrun_ = true;
    realBits_ = 0;
  } else {
    realBits_ -= count;
  }
  buffer_ <<= count;
  count_ -= count;
}

int BitReader::DecodeSymbol(const HuffmanTable& table) {
  if (count_ < 16) Fill();
  const std::uint16_t entry = table.fast_[buffer_ >> (64 - HuffmanTable::kFastBits)];
  if (entry != 0) {
    Consume(entry >> 8);
    return entry & 0xFF;
  }
  const std::int32_t bits16 = static_cast<std::int32_t>(buffer_ >> 48);
  for (int length = HuffmanTable::kFastBits + 1; length <= 16; ++length) {
    const std::int32_t code = bits16 >> (16 - length);
    if (code <= table.maxCode_[length]) {
      const std::int32_t index = code + table.valueOffset_[length];
      if (index < 0 || index >= static_cast<std::int32_t>(table.symbols_.size())) return -1;
      Consume(length);
      return table.symbols_[static_cast<std::size_t>(index)];
    }
  }
  return -1;
}

int BitReader::Bits(int count) {
  if (count == 0) return 0;
  if (count_ < count) Fill();
  const int value = static_cast<int>(buffer_ >> (64 - count));
  Consume(count);
  return value;
}

int BitReader::Signed(int count) {
  if (count == 0) return 0;
  const int value = Bits(count);
  return value < (1 << (count - 1)) ? value - (1 << count) + 1 : value;
}

bool BitReader::Restart() {
  buffer_ = 0;
  count_ = 0;
  realBits_ = 0;
  // Whatever is left before the marker belongs to the finished interval.
  while (position_ + 1 < data_.size()) {
    if (data_[position_] == 0xFF && data_[position_ + 1] != 0x00 && data_[position_ + 1] != 0xFF) break;
    ++position_;
  }
  if (position_ + 1 < data_.size() && data_[position_ + 1] >= 0xD0 && data_[position_ + 1] <= 0xD7) {
    position_ += 2;
    atMarker_ = false;
    overrun_ = false;
    return true;
  }
  atMarker_ = true;  // another marker or the end: the scan's data ends here
  return false;
}

}  // namespace imaging::jpeg
