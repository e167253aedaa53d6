// The text grid's row order: typed positions, moves and the default order.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "view/GridRowOrder.h"

namespace {

using namespace quelvar;

// Positions of entries 0 .. n - 1 (the channel of entry i sits at order[i]).
std::vector<int16_t> Identity(int n) {
  std::vector<int16_t> order(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) order[static_cast<size_t>(i)] = static_cast<int16_t>(i);
  return order;
}

bool IsPermutation(const std::vector<int16_t>& order) {
  std::vector<int16_t> sorted = order;
  std::sort(sorted.begin(), sorted.end());
  return sorted == Identity(static_cast<int>(order.size()));
}

TEST(GridRowOrder, TypedTextGivesABoundedPosition) {
  struct Case {
    const char* text;
    int32_t position;
  };
  const Case cases[] = {{"3", 3},  {" 7 ", 7}, {"+4", 4}, {"19", 9}, {"-5", 0},
                        {"x", 0},  {"3a", 0},    {"", 0},   {"99999999999", 0}};
  for (const Case& c : cases) EXPECT_EQ(TypedGridPosition(c.text, 10), c.position) << c.text;
}

TEST(GridRowOrder, MovingUpShiftsTheRowsBetweenDown) {
  // The channel at position 5 goes to the first row; those at 0 to 4 move
  // one row down.
  std::vector<int16_t> order = {3, 5, 0, 1, 2, 4, 6};
  ASSERT_TRUE(MoveGridPosition(order, 7, 5, 0));
  EXPECT_EQ(order, (std::vector<int16_t>{4, 0, 1, 2, 3, 5, 6}));
}

TEST(GridRowOrder, MovingDownShiftsTheRowsBetweenUp) {
  std::vector<int16_t> order = Identity(6);
  ASSERT_TRUE(MoveGridPosition(order, 6, 1, 4));
  EXPECT_EQ(order, (std::vector<int16_t>{0, 4, 1, 2, 3, 5}));
}

TEST(GridRowOrder, EveryMoveKeepsAPermutationAndLeavesTheTailAlone) {
  for (int from = 0; from < 6; ++from) {
    for (int to = 0; to < 6; ++to) {
      std::vector<int16_t> order = {2, 0, 5, 1, 4, 3, 77};
      const bool moved = MoveGridPosition(order, 6, from, to);
      EXPECT_EQ(moved, from != to);
      EXPECT_EQ(order[6], 77);
      order.pop_back();
      EXPECT_TRUE(IsPermutation(order)) << from << "->" << to;
      // The entry that was at `from` is now at `to`.
      const std::vector<int16_t> before = {2, 0, 5, 1, 4, 3};
      const auto entry = std::find(before.begin(), before.end(), from) - before.begin();
      EXPECT_EQ(order[static_cast<size_t>(entry)], to);
    }
  }
}

TEST(GridRowOrder, MovesOutsideTheRowsDoNothing) {
  std::vector<int16_t> order = Identity(4);
  EXPECT_FALSE(MoveGridPosition(order, 4, 2, 4));
  EXPECT_FALSE(MoveGridPosition(order, 4, 4, 0));
  EXPECT_FALSE(MoveGridPosition(order, 4, -1, 0));
  EXPECT_FALSE(MoveGridPosition(order, 0, 0, 0));
  EXPECT_EQ(order, Identity(4));
}

TEST(GridRowOrder, DefaultOrderIsTheDisplayOrder) {
  std::vector<int16_t> order = {3, 1, 0, 2, 9};
  DefaultGridOrder(order, 4);
  EXPECT_EQ(order, (std::vector<int16_t>{0, 1, 2, 3, 9}));
}

}  // namespace
