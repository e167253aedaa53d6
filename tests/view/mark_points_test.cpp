#include <gtest/gtest.h>

#include "view/MarkPoints.h"

namespace {

using namespace quelvar;

// 3 blocks of 4 rows at 2 points a row: 24 points.
DisplayDescriptor Ring(int32_t firstBlock) {
  DisplayDescriptor d;
  d.DispBlocks = 3;
  d.DispRows = 12;
  d.DispPoints = 24;
  d.DispFirstBlock = firstBlock;
  return d;
}

TEST(MapMarkPoint, BufferPointCountsFromTheOldestBlockAndWrapsRoundTheData) {
  struct Case {
    int32_t firstBlock;
    int64_t windowIndex;
    int64_t bufferPoint;
  } cases[] = {
      {0, 0, 0}, {0, 23, 23}, {2, 0, 16}, {2, 7, 23}, {2, 8, 0}, {2, 13, 5},
      // Indices more than one turn away (an inconsistent view) still name
      // a point of the data.
      {2, 24 * 5 + 8, 0}, {0, -1, 23}, {7, 0, 8},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MapMarkPoint(Ring(c.firstBlock), 4, 2, c.windowIndex).BufferPoint, c.bufferPoint)
        << "first block " << c.firstBlock << " index " << c.windowIndex;
  }
}

TEST(MapMarkPoint, NoPointsGiveBufferPointZero) {
  DisplayDescriptor d;
  EXPECT_EQ(MapMarkPoint(d, 4, 1, 17).BufferPoint, 0);
}

TEST(MapMarkPoint, CompressedPointsStandForTheMiddleOfTheirSamples) {
  // Compression ratio 10 from point 1000 (block 10 of 100 rows, single rate).
  DisplayDescriptor d;
  d.DispRows = 2000;
  d.DispPoints = 2000;
  d.DispCompressed = 1;
  d.DispCompressStart = 10;
  d.DispCompressRatio = 10;
  const MarkPoint before = MapMarkPoint(d, 100, 1, 999);
  EXPECT_EQ(before.TimeIndex, 999);
  EXPECT_FALSE(before.InCompressedPart);
  const MarkPoint inside = MapMarkPoint(d, 100, 1, 1005);
  EXPECT_EQ(inside.TimeIndex, 1055);
  EXPECT_TRUE(inside.InCompressedPart);
  EXPECT_EQ(inside.BufferPoint, 1005);
  d.DispCompressed = 0;
  EXPECT_EQ(MapMarkPoint(d, 100, 1, 1005).TimeIndex, 1005);
}

TEST(MapMarkPoint, OriginIsTheTriggerCountedFromTheOldestBlock) {
  DisplayDescriptor d = Ring(2);
  d.DispTriggerBlock = 0;
  d.DispTriggerPoint = 3;
  // Block 0 lies one block after the oldest (2) round the ring: 3 - 16 + 24.
  EXPECT_EQ(MapMarkPoint(d, 4, 2, 0).Origin, 11);
  d.DispTriggerBlock = 2;
  EXPECT_EQ(MapMarkPoint(d, 4, 2, 0).Origin, 3);
}

TEST(MarkSeconds, TimeFromTheOriginAtTheFastestRate) {
  MarkPoint p;
  p.TimeIndex = 0;
  p.Origin = 1500;
  EXPECT_DOUBLE_EQ(MarkSeconds(p, 1000.0f), -1.5);
  // No rate known: no time rather than a division by zero.
  EXPECT_EQ(MarkSeconds(p, 0.0f), 0.0);
}

}  // namespace
