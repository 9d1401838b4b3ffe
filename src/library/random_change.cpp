#include "library/random_change.h"

#include <windows.h>

namespace library {

std::mt19937 TimeSeededGenerator() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  // Seconds since midnight, refined by the milliseconds so that two changes within one
  // second differ.
  const uint32_t seconds = now.wHour * 3600u + now.wMinute * 60u + now.wSecond;
  return std::mt19937(seconds * 1000u + now.wMilliseconds);
}

}  // namespace library
