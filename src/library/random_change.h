// Choosing another logo set at random.
#pragma once

#include <cstdint>
#include <random>

namespace library {

// A position from 1 to count, each equally likely, never current (1-based; 0 when no
// entry is current, so that any may be chosen). 0 when there is nothing to choose.
template <typename Generator>
int PickRandomOther(int count, int current, Generator& generator) {
  if (count < 2) return 0;
  std::uniform_int_distribution<int> draw(1, count);
  int picked = 0;
  do picked = draw(generator);
  while (picked == current);
  return picked;
}

// A generator seeded from the time of day.
std::mt19937 TimeSeededGenerator();

}  // namespace library
