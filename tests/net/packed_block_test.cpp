#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "net/GrayCode.h"
#include "net/PackedBlock.h"

namespace {

using namespace quelvar;

class PackedBlockTest : public ::testing::Test {
 protected:
  void SetUp() override { InitGrayTables(gray); }
  GrayTables gray;
};

TEST_F(PackedBlockTest, KnownBlockPacksToKnownBytesAndBack) {
  // Two columns (one analog), three rows, sequence word 0x0102.
  const std::vector<uint16_t> raw = {0x0102, 100, 0x0001, 98, 0x0003, 101, 0x0003};
  const std::vector<uint8_t> expected = {0x02, 0x01, 0x64, 0x81, 0x02, 0x00, 0x80, 0x00,
                                         0x01, 0x02, 0x00, 0x00, 0x00, 0x00};
  std::vector<uint8_t> packed(expected.size());
  ASSERT_TRUE(PackSampleBlock(raw, packed, 2, 1, 3, gray));
  EXPECT_EQ(packed, expected);
  std::vector<uint16_t> back(raw.size());
  ASSERT_TRUE(UnpackSampleBlock(back, packed, 2, 1, 3, gray));
  EXPECT_EQ(back, raw);
}

TEST_F(PackedBlockTest, ConstantColumnsPackToZeroDifferences) {
  constexpr int32_t kWords = 3;
  constexpr int32_t kRows = 50;
  const uint16_t constants[kWords] = {0x0ABC, 0xFFFF, 0x5A5A};  // two analog, one switch word
  std::vector<uint16_t> raw(1 + kWords * kRows);
  raw[0] = 7;
  for (int32_t j = 0; j < kRows; ++j)
    for (int32_t c = 0; c < kWords; ++c) raw[1 + j * kWords + c] = constants[c];
  std::vector<uint8_t> packed(2 + 2 * kWords * kRows, 0xEE);
  ASSERT_TRUE(PackSampleBlock(raw, packed, kWords, 2, kRows, gray));
  for (int32_t c = 0; c < kWords; ++c) {
    const uint8_t* low = packed.data() + 2 + 2 * c * kRows;
    const uint8_t* high = low + kRows;
    EXPECT_EQ(low[0], constants[c] & 0xFF) << c;
    EXPECT_EQ(high[0], constants[c] >> 8) << c;
    for (int32_t j = 1; j < kRows; ++j) {
      EXPECT_EQ(low[j], 0) << c << "," << j;
      EXPECT_EQ(high[j], 0) << c << "," << j;
    }
  }
}

TEST_F(PackedBlockTest, AnyBlockRoundTripsIncludingWrappingDifferences) {
  struct Shape {
    int32_t words, analog, rows;
  } shapes[] = {{1, 1, 1}, {5, 0, 40}, {5, 5, 40}, {7, 3, 200}, {112, 100, 30}, {4, 2, 0}, {0, 0, 5}};
  std::mt19937 random(3);
  for (const Shape& s : shapes) {
    std::vector<uint16_t> raw(1 + static_cast<size_t>(s.words * s.rows));
    for (uint16_t& w : raw) w = static_cast<uint16_t>(random());  // full range: jumps wrap past 0 and 65535
    if (raw.size() > 3) raw[1] = 0xFFFF, raw[1 + s.words] = 0x0000;
    std::vector<uint8_t> packed(2 + 2 * static_cast<size_t>(s.words * s.rows));
    ASSERT_TRUE(PackSampleBlock(raw, packed, s.words, s.analog, s.rows, gray));
    std::vector<uint16_t> back(raw.size(), 0xDEAD);
    ASSERT_TRUE(UnpackSampleBlock(back, packed, s.words, s.analog, s.rows, gray));
    EXPECT_EQ(back, raw) << s.words << "x" << s.rows;
  }
}

TEST_F(PackedBlockTest, LargerBuffersAreFineAndTheirTailIsLeftAlone) {
  const std::vector<uint16_t> raw = {0x0102, 100, 0x0001, 98, 0x0003, 101, 0x0003, 0x7777};
  std::vector<uint8_t> packed(20, 0xEE);
  ASSERT_TRUE(PackSampleBlock(raw, packed, 2, 1, 3, gray));
  EXPECT_EQ(packed[14], 0xEE);
  std::vector<uint16_t> back(10, 0x5555);
  ASSERT_TRUE(UnpackSampleBlock(back, packed, 2, 1, 3, gray));
  EXPECT_EQ(std::vector<uint16_t>(back.begin(), back.begin() + 7), std::vector<uint16_t>(raw.begin(), raw.begin() + 7));
  EXPECT_EQ(back[7], 0x5555);
}

TEST_F(PackedBlockTest, InconsistentCountsAreRefusedWithoutTouchingTheBuffers) {
  struct Case {
    const char* name;
    int32_t words, analog, rows;
    size_t rawWords, packedBytes;
  } cases[] = {
      {"raw one word short", 2, 1, 3, 6, 14},
      {"packed one byte short", 2, 1, 3, 7, 13},
      {"no room for the sequence word", 0, 0, 0, 0, 2},
      {"more analog columns than words", 2, 3, 3, 7, 14},
      {"negative words", -2, 0, 3, 7, 14},
      {"negative rows", 2, 1, -3, 7, 14},
      {"negative analog columns", 2, -1, 3, 7, 14},
      {"huge counts", 0x7FFFFFFF, 0, 0x7FFFFFFF, 7, 14},
  };
  for (const Case& c : cases) {
    std::vector<uint16_t> raw(c.rawWords, 0x1234);
    std::vector<uint8_t> packed(c.packedBytes, 0xAB);
    EXPECT_FALSE(PackSampleBlock(raw, packed, c.words, c.analog, c.rows, gray)) << c.name;
    EXPECT_EQ(packed, std::vector<uint8_t>(c.packedBytes, 0xAB)) << c.name;
    EXPECT_FALSE(UnpackSampleBlock(raw, packed, c.words, c.analog, c.rows, gray)) << c.name;
    EXPECT_EQ(raw, std::vector<uint16_t>(c.rawWords, 0x1234)) << c.name;
  }
}

}  // namespace
