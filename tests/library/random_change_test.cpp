#include "library/random_change.h"

#include <gtest/gtest.h>

#include <map>

namespace {

std::map<int, int> Draw(int count, int current, int times) {
  std::mt19937 generator(12345);
  std::map<int, int> seen;
  for (int i = 0; i < times; ++i) ++seen[library::PickRandomOther(count, current, generator)];
  return seen;
}

TEST(RandomChange, NeverTheSelectedSetAndEveryOtherEquallyOften) {
  EXPECT_EQ(Draw(2, 1, 1000), (std::map<int, int>{{2, 1000}}));

  const auto three = Draw(3, 2, 10000);
  EXPECT_EQ(three.count(2), 0u);
  EXPECT_NEAR(three.at(1), 5000, 250);
  EXPECT_NEAR(three.at(3), 5000, 250);

  const auto five = Draw(5, 5, 20000);
  EXPECT_EQ(five.count(5), 0u);
  for (int i = 1; i <= 4; ++i) EXPECT_NEAR(five.at(i), 5000, 300) << i;
}

TEST(RandomChange, WithoutACurrentEntryAnyMayBeChosen) {
  const auto seen = Draw(3, 0, 9000);
  for (int i = 1; i <= 3; ++i) EXPECT_NEAR(seen.at(i), 3000, 250) << i;
}

TEST(RandomChange, NothingToChooseFromOneOrNoSet) {
  std::mt19937 generator(1);
  EXPECT_EQ(library::PickRandomOther(1, 1, generator), 0);
  EXPECT_EQ(library::PickRandomOther(0, 0, generator), 0);
}

}  // namespace
