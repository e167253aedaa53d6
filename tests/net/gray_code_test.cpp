#include <gtest/gtest.h>

#include <bit>

#include "net/GrayCode.h"

namespace {

TEST(GrayCode, NeighboursDifferInOneBitAndTheInverseUndoesIt) {
  quelvar::GrayTables t;
  quelvar::InitGrayTables(t);
  for (unsigned i = 0; i < 256; ++i) {
    EXPECT_EQ(t.FromGray[t.ToGray[i]], i);
    const unsigned next = (i + 1) % 256;
    EXPECT_EQ(std::popcount(static_cast<unsigned>(t.ToGray[i] ^ t.ToGray[next])), 1) << i;
  }
  EXPECT_EQ(t.ToGray[0], 0);
  EXPECT_EQ(t.ToGray[2], 3);
  EXPECT_EQ(t.ToGray[255], 128);
}

}  // namespace
