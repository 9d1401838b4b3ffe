// Bounds-checked little- and big-endian reads from a byte span.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace imaging {

using Bytes = std::span<const std::uint8_t>;

inline bool Fits(Bytes data, std::size_t offset, std::size_t count) {
  return offset <= data.size() && count <= data.size() - offset;
}
inline std::uint16_t Le16(Bytes data, std::size_t offset) {
  return static_cast<std::uint16_t>(data[offset] | (data[offset + 1] << 8));
}
inline std::uint32_t Le32(Bytes data, std::size_t offset) {
  return static_cast<std::uint32_t>(data[offset]) | (static_cast<std::uint32_t>(data[offset + 1]) << 8) |
         (static_cast<std::uint32_t>(data[offset + 2]) << 16) |
         (static_cast<std::uint32_t>(data[offset + 3]) << 24);
}
inline std::uint16_t Be16(Bytes data, std::size_t offset) {
  return static_cast<std::uint16_t>((data[offset] << 8) | data[offset + 1]);
}
inline std::uint32_t Be32(Bytes data, std::size_t offset) {
  return (static_cast<std::uint32_t>(Be16(data, offset)) << 16) | Be16(data, offset + 2);
}

}  // namespace imaging
