#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "LayoutForTest.h"
#include "acquisition/Compression.h"

namespace {

using namespace quelvar;
using quelvar::test::LayoutOf;
using quelvar::test::RandomLayout;

// A block and a ring block of exactly numSamp rows each, so that a read or
// write outside them shows in the sanitizer build.
struct Rig {
  SampleLayout layout;
  LiveConfig live;
  int32_t numSamp;
  std::vector<uint16_t> block, ring;

  Rig(const SampleLayout& l, int32_t rows, int32_t ratio, uint16_t ringFill = 0xBEEF)
      : layout(l),
        numSamp(rows),
        block(static_cast<size_t>(rows) * l.NumChn),
        ring(static_cast<size_t>(rows) * l.NumChn, ringFill) {
    live.CompressRatio = ratio;
    live.SW_Num = 16 * (l.NumVChn - l.Analog_Num);
    live.SamplesPerCycle = 12;
    live.VZero = 2048.0f;
  }
  uint16_t& In(int32_t row, int32_t word) { return block[static_cast<size_t>(row) * layout.NumChn + word]; }
  uint16_t Out(int32_t row, int32_t word) const { return ring[static_cast<size_t>(row) * layout.NumChn + word]; }
  bool Run(int32_t firstRow = 0, const uint16_t* rowBefore = nullptr) {
    return CompressBlocksIntoRing(block.data(), rowBefore, numSamp, layout, live, ring.data(), firstRow);
  }
};

// ---- Analog channels ----

TEST(CompressionAnalog, EachTypeReducesAGroupToOneCode) {
  // Ratio 4, two groups: 10 40 20 30 | 5 7 100 1.
  const std::vector<uint16_t> samples = {10, 40, 20, 30, 5, 7, 100, 1};
  struct Case {
    int32_t type;
    uint16_t group0, group1;
  } cases[] = {
      {0, 20, 100},  // row g x 4 + 2
      {2, 25, 28},   // 100 / 4, 113 / 4 truncated
      {3, 40, 100},
      {4, 10, 1},
      {5, 40, 1},    // outline: maximum on the even group, minimum on the odd one
      {6, 40, 1},    // unknown types are the outline
      {-1, 40, 1},
      {1000, 40, 1},
  };
  for (const Case& c : cases) {
    Rig rig(LayoutOf({1}, 0), 8, 4);
    rig.live.AnalogChannelTable[0].ChnACompressType = c.type;
    for (int32_t r = 0; r < 8; ++r) rig.In(r, 0) = samples[r];
    ASSERT_TRUE(rig.Run()) << c.type;
    EXPECT_EQ(rig.Out(0, 0), c.group0) << c.type;
    EXPECT_EQ(rig.Out(1, 0), c.group1) << c.type;
  }
}

TEST(CompressionAnalog, MeanAndExtremesSeeFullSixteenBitCodes) {
  // The sum of 40 codes near 65535 needs more than 16 bits; the mean still
  // comes out exact.
  Rig rig(LayoutOf({1, 1, 1}, 0), 40, 40);
  rig.live.AnalogChannelTable[0].ChnACompressType = 2;
  rig.live.AnalogChannelTable[1].ChnACompressType = 3;
  rig.live.AnalogChannelTable[2].ChnACompressType = 4;
  for (int32_t r = 0; r < 40; ++r)
    for (int32_t c = 0; c < 3; ++c) rig.In(r, c) = static_cast<uint16_t>(r % 2 ? 65535 : 65533);
  ASSERT_TRUE(rig.Run());
  EXPECT_EQ(rig.Out(0, 0), 65534);
  EXPECT_EQ(rig.Out(0, 1), 65535);
  EXPECT_EQ(rig.Out(0, 2), 65533);
}

TEST(CompressionAnalog, MaximumOfASmallGroup) {
  Rig rig(LayoutOf({1}, 0), 6, 3);
  rig.live.AnalogChannelTable[0].ChnACompressType = 3;
  const uint16_t samples[] = {2048, 2100, 2050, 2000, 1990, 2010};
  for (int32_t r = 0; r < 6; ++r) rig.In(r, 0) = samples[r];
  ASSERT_TRUE(rig.Run());
  EXPECT_EQ(rig.Out(0, 0), 2100);
  EXPECT_EQ(rig.Out(1, 0), 2010);
}

// Type 1 over twelve samples per cycle, ratio one cycle. Expected codes
// worked out by hand from the integer formula.
TEST(CompressionAnalog, RmsOfTheFundamental) {
  struct Case {
    const char* what;
    std::vector<uint16_t> cycle;
    float vZero;
    uint16_t expected;
  } cases[] = {
      // Sine of amplitude 1000: Re 0, Im 6004 div 6 = 1000; sqrt(500000) = 707.1.
      {"sine", {2048, 2548, 2914, 3048, 2914, 2548, 2048, 1548, 1182, 1048, 1182, 1548}, 2048.0f, 2755},
      // Cosine: Re 1000, Im 0.
      {"cosine", {3048, 2914, 2548, 2048, 1548, 1182, 1048, 1182, 1548, 2048, 2548, 2914}, 2048.0f, 2755},
      // VZero is added before truncation: 707.1 + 2047.5.
      {"half-code zero", {2048, 2548, 2914, 3048, 2914, 2548, 2048, 1548, 1182, 1048, 1182, 1548}, 2047.5f, 2754},
      // A flat line gives VZero, whatever its level.
      {"flat", std::vector<uint16_t>(12, 3000), 2048.0f, 2048},
      // One sample 100 up at k = 7: m = -100, m >> 3 = -13, m >> 7 = -1,
      // Re = -86 div 6 = -14; (-100) >> 1 = -50, Im = -50 div 6 = -8;
      // sqrt(260 x 0.5) = 11.4. Rounding the other way would give 2060.
      {"negative terms", {2048, 2048, 2048, 2048, 2048, 2048, 2048, 2148, 2048, 2048, 2048, 2048}, 2048.0f, 2059},
      // Codes never wrap: a negative VZero gives 0, a huge one 65535.
      {"below zero", std::vector<uint16_t>(12, 0), -500.0f, 0},
      {"above range", std::vector<uint16_t>(12, 0), 70000.0f, 65535},
  };
  for (const Case& c : cases) {
    Rig rig(LayoutOf({1}, 0), 12, 12);
    rig.live.AnalogChannelTable[0].ChnACompressType = 1;
    rig.live.VZero = c.vZero;
    for (int32_t r = 0; r < 12; ++r) rig.In(r, 0) = c.cycle[r];
    ASSERT_TRUE(rig.Run()) << c.what;
    EXPECT_EQ(rig.Out(0, 0), c.expected) << c.what;
  }
}

TEST(CompressionAnalog, RmsPicksATwelfthOfACycleApart) {
  // 24 samples per cycle: the picks are rows 0, 2, ..., 22; the odd rows
  // carry noise that must not count.
  const uint16_t sine[] = {2048, 2548, 2914, 3048, 2914, 2548, 2048, 1548, 1182, 1048, 1182, 1548};
  Rig rig(LayoutOf({1}, 0), 24, 24);
  rig.live.SamplesPerCycle = 24;
  rig.live.AnalogChannelTable[0].ChnACompressType = 1;
  for (int32_t r = 0; r < 24; ++r) rig.In(r, 0) = r % 2 ? uint16_t{60000} : sine[r / 2];
  ASSERT_TRUE(rig.Run());
  EXPECT_EQ(rig.Out(0, 0), 2755);
}

TEST(CompressionAnalog, RmsPicksPastTheBlockReadItsLastRow) {
  // Ratio 4, a cycle of 12: group 0 picks rows 0..11 and group 1 rows 4..15
  // of an 8-row block; the picks past row 7 read row 7 (2148, the rest 2048).
  // Group 0: Re 0, Im -373 div 6 = -62, sqrt(1922) = 43.8.
  // Group 1: Re -236 div 6 = -39, Im -136 div 6 = -22, sqrt(1002.5) = 31.7.
  Rig rig(LayoutOf({1}, 0), 8, 4);
  rig.live.AnalogChannelTable[0].ChnACompressType = 1;
  for (int32_t r = 0; r < 8; ++r) rig.In(r, 0) = r == 7 ? 2148 : 2048;
  ASSERT_TRUE(rig.Run());
  EXPECT_EQ(rig.Out(0, 0), 2091);
  EXPECT_EQ(rig.Out(1, 0), 2079);
}

TEST(CompressionAnalog, MultiRateChannelWritesItsBaseWordAndKeepsTheRingsExtraWords) {
  // Channels of multipliers 1 and 3, one switch word: words 0, 1 base,
  // 2 switch, 3..4 the extra sub-samples of channel 1.
  const SampleLayout layout = LayoutOf({1, 3}, 16);
  ASSERT_EQ(layout.ExtraSlotFirst[1], 3);
  ASSERT_EQ(layout.ExtraSlotLast[1], 5);
  Rig rig(layout, 6, 3, 0xDEAD);
  rig.live.AnalogChannelTable[0].ChnACompressType = 4;
  rig.live.AnalogChannelTable[1].ChnACompressType = 3;
  for (int32_t r = 0; r < 6; ++r)
    for (int32_t w = 0; w < layout.NumChn; ++w) rig.In(r, w) = static_cast<uint16_t>(100 * w + r);
  ASSERT_TRUE(rig.Run());
  EXPECT_EQ(rig.Out(0, 0), 0);
  EXPECT_EQ(rig.Out(1, 0), 3);
  EXPECT_EQ(rig.Out(0, 1), 102);
  EXPECT_EQ(rig.Out(1, 1), 105);
  for (int32_t r = 0; r < 6; ++r) {
    EXPECT_EQ(rig.Out(r, 3), 0xDEAD) << r;
    EXPECT_EQ(rig.Out(r, 4), 0xDEAD) << r;
  }
}

// ---- Switch inputs ----

struct SwitchCase {
  const char* what;
  std::vector<int> bits;  // ten rows, two groups of five
  int32_t mode;
  int group0, group1;
};

void RunSwitchCases(const std::vector<SwitchCase>& cases, const uint16_t* before) {
  for (const SwitchCase& c : cases) {
    Rig rig(LayoutOf({1}, 16), 10, 5, 0);
    rig.live.SW_Num = 1;
    rig.live.SwitchChannelTable[0].SWBCompressType = c.mode;
    for (int32_t r = 0; r < 10; ++r) rig.In(r, 1) = static_cast<uint16_t>(c.bits[r]);
    ASSERT_TRUE(rig.Run(0, before)) << c.what << " mode " << c.mode;
    EXPECT_EQ(rig.Out(0, 1), c.group0) << c.what << " mode " << c.mode;
    EXPECT_EQ(rig.Out(1, 1), c.group1) << c.what << " mode " << c.mode;
  }
}

TEST(CompressionSwitch, EachModeReducesAGroupToOneBit) {
  const std::vector<int> pulse = {0, 1, 0, 0, 0, 1, 1, 1, 1, 1};  // one high row in group 0
  const std::vector<int> mixed = {1, 1, 0, 1, 1, 0, 0, 0, 1, 0};
  const uint16_t low[] = {0, 0};
  RunSwitchCases(
      {
          {"pulse", pulse, 0, 0, 1},  // middle rows 2 and 7
          {"pulse", pulse, 1, 0, 1},
          {"pulse", pulse, 2, 1, 1},
          {"pulse", pulse, 3, 1, 1},  // group 1 rises from row 4 to row 5
          {"pulse", pulse, 4, 1, 0},
          {"pulse", pulse, 5, 1, 1},  // OR on group 0, AND on group 1
          {"mixed", mixed, 0, 0, 0},
          {"mixed", mixed, 1, 0, 0},
          {"mixed", mixed, 2, 1, 1},
          {"mixed", mixed, 3, 1, 1},  // group 0 rises from the row before the block
          {"mixed", mixed, 4, 1, 1},  // group 1 falls from row 4 to row 5
          {"mixed", mixed, 5, 1, 0},
          {"mixed", mixed, 6, 1, 0},  // unknown modes are the outline
          {"mixed", mixed, -2, 1, 0},
      },
      low);
}

TEST(CompressionSwitch, EdgesAcrossAGroupsStartCount) {
  const std::vector<int> up = {0, 0, 0, 0, 0, 1, 1, 1, 1, 1};
  const std::vector<int> down = {1, 1, 1, 1, 1, 0, 0, 0, 0, 0};
  const uint16_t low[] = {0, 0};
  RunSwitchCases({{"up", up, 3, 0, 1}, {"up", up, 4, 0, 0}, {"down", down, 3, 1, 0}, {"down", down, 4, 0, 1}},
                 low);
}

TEST(CompressionSwitch, FirstGroupComparesWithTheRowBeforeTheBlockWhenThereIsOne) {
  const std::vector<int> high = std::vector<int>(10, 1);
  const std::vector<int> low = std::vector<int>(10, 0);
  const uint16_t beforeLow[] = {0, 0};
  const uint16_t beforeHigh[] = {0, 1};
  RunSwitchCases({{"high after low", high, 3, 1, 0}, {"high after low", high, 4, 0, 0}}, beforeLow);
  RunSwitchCases({{"low after high", low, 3, 0, 0}, {"low after high", low, 4, 1, 0}}, beforeHigh);
  // Without a kept row the first group's first row stands for its predecessor.
  RunSwitchCases({{"high, nothing before", high, 3, 0, 0}, {"low, nothing before", low, 4, 0, 0}}, nullptr);
}

TEST(CompressionSwitch, InputsOfOneWordEachFollowTheirOwnMode) {
  // Input s has mode s % 6; all carry the same pulse in group 0.
  Rig rig(LayoutOf({}, 6), 10, 5, 0);
  rig.live.SW_Num = 6;
  for (int32_t s = 0; s < 6; ++s) rig.live.SwitchChannelTable[s].SWBCompressType = s;
  const int pulse[] = {0, 1, 0, 0, 0, 1, 1, 1, 1, 1};
  for (int32_t r = 0; r < 10; ++r) rig.In(r, 0) = static_cast<uint16_t>(pulse[r] ? 0x3F : 0);
  ASSERT_TRUE(rig.Run(0, rig.block.data()));
  // Bits 0..5: middle 0, AND 0, OR 1, rise 1, fall 1, outline 1; then 1 1 1 1 0 1.
  EXPECT_EQ(rig.Out(0, 0), 0b111100);
  EXPECT_EQ(rig.Out(1, 0), 0b101111);
}

TEST(CompressionSwitch, BitsBeyondTheInputsKeepWhatTheRingHeld) {
  // 20 inputs in two words: all of word 0 and bits 0..3 of word 1 are written.
  Rig rig(LayoutOf({1}, 20), 4, 2, 0xA5A5);
  for (int32_t s = 0; s < 20; ++s) rig.live.SwitchChannelTable[s].SWBCompressType = 2;
  rig.live.SW_Num = 20;
  std::fill(rig.block.begin(), rig.block.end(), uint16_t{0});
  ASSERT_TRUE(rig.Run());
  for (int32_t g = 0; g < 2; ++g) {
    EXPECT_EQ(rig.Out(g, 1), 0x0000) << g;
    EXPECT_EQ(rig.Out(g, 2), 0xA5A0) << g;
  }
  // One configured input: the other fifteen bits stay.
  Rig one(LayoutOf({}, 1), 4, 2, 0x1234);
  one.live.SW_Num = 1;
  one.live.SwitchChannelTable[0].SWBCompressType = 2;
  std::fill(one.block.begin(), one.block.end(), uint16_t{0xFFFF});
  ASSERT_TRUE(one.Run());
  EXPECT_EQ(one.Out(0, 0), 0x1235);
  EXPECT_EQ(one.Out(1, 0), 0x1235);
}

// ---- Placement in the ring ----

TEST(CompressionPlacement, TenBlocksFillOneRingBlockThirtyRowsEach) {
  // Ratio 10, 300 rows: block b goes to ring rows 30 b .. 30 b + 29.
  Rig rig(LayoutOf({1}, 0), 300, 10);
  rig.live.AnalogChannelTable[0].ChnACompressType = 2;
  for (int32_t b = 0; b < 10; ++b) {
    std::fill(rig.block.begin(), rig.block.end(), static_cast<uint16_t>(b));
    ASSERT_TRUE(rig.Run(30 * b)) << b;
    if (b == 0) {
      EXPECT_EQ(rig.Out(29, 0), 0);
      EXPECT_EQ(rig.Out(30, 0), 0xBEEF);  // the rows after the block's share are untouched
    }
  }
  for (int32_t r = 0; r < 300; ++r) EXPECT_EQ(rig.Out(r, 0), r / 30) << r;
}

TEST(CompressionPlacement, RatioOneCopiesTheRows) {
  Rig rig(LayoutOf({1, 1}, 3), 5, 1);
  std::mt19937 random(11);
  for (uint16_t& w : rig.block) w = static_cast<uint16_t>(random());
  for (int32_t c = 0; c < 2; ++c) rig.live.AnalogChannelTable[c].ChnACompressType = 1 + 4 * c;
  rig.live.SW_Num = 3;
  for (int32_t s = 0; s < 3; ++s) rig.live.SwitchChannelTable[s].SWBCompressType = 2 * s;
  ASSERT_TRUE(rig.Run());
  for (int32_t r = 0; r < 5; ++r) {
    EXPECT_EQ(rig.Out(r, 1), rig.In(r, 1)) << r;  // the outline of a single row
    EXPECT_EQ(rig.Out(r, 2) & 0b011, rig.In(r, 2) & 0b011) << r;  // middle row and OR of one row
  }
}

// ---- Refusals ----

TEST(CompressionRefusal, BadArgumentsLeaveTheRingAlone) {
  const SampleLayout good = LayoutOf({1, 2}, 16);
  SampleLayout narrow = good;
  narrow.NumChn = good.NumVChn;  // the extra word of channel 1 would lie past the row
  struct Case {
    const char* what;
    SampleLayout layout;
    int32_t numSamp, ratio, firstRow, switchInputs;
  } cases[] = {
      {"ratio 0", good, 20, 0, 0, 16},
      {"negative ratio", good, 20, -4, 0, 16},
      {"ratio not dividing the block", good, 20, 3, 0, 16},
      {"ratio longer than the block", good, 20, 40, 0, 16},
      {"rows past the ring block", good, 20, 4, 16, 16},
      {"negative first row", good, 20, 4, -1, 16},
      {"no rows", good, 0, 4, 0, 16},
      {"inconsistent layout", narrow, 20, 4, 0, 16},
      {"more inputs than switch words", good, 20, 4, 0, 17},
      {"negative input count", good, 20, 4, 0, -1},
  };
  for (const Case& c : cases) {
    Rig rig(c.layout, std::max(c.numSamp, 1), c.ratio);
    rig.numSamp = c.numSamp;
    rig.live.SW_Num = c.switchInputs;
    for (uint16_t& w : rig.block) w = 7;
    const std::vector<uint16_t> before = rig.ring;
    EXPECT_FALSE(rig.Run(c.firstRow)) << c.what;
    EXPECT_EQ(rig.ring, before) << c.what;
  }
  Rig rig(good, 20, 4);
  const std::vector<uint16_t> before = rig.ring;
  EXPECT_FALSE(CompressBlocksIntoRing(nullptr, nullptr, 20, good, rig.live, rig.ring.data(), 0));
  EXPECT_FALSE(CompressBlocksIntoRing(rig.block.data(), nullptr, 20, good, rig.live, nullptr, 0));
  EXPECT_EQ(rig.ring, before);
  // The last rows that fit are accepted.
  EXPECT_TRUE(rig.Run(15));
}

// ---- Against a plain reading of the rules ----

// One value at a time, straight from the rules, row indices clamped only
// where the RMS picks run past the block.
void ReferenceCompress(const std::vector<uint16_t>& block, const uint16_t* before, int32_t numSamp,
                       const SampleLayout& layout, const LiveConfig& live, std::vector<uint16_t>& ring,
                       int32_t firstRow) {
  const int32_t ratio = live.CompressRatio, width = layout.NumChn;
  auto at = [&](int64_t row, int32_t word) {
    row = std::clamp<int64_t>(row, 0, numSamp - 1);
    return static_cast<int64_t>(block[static_cast<size_t>(row * width + word)]);
  };
  for (int32_t g = 0; g < numSamp / ratio; ++g) {
    const int64_t first = int64_t{g} * ratio;
    uint16_t* out = ring.data() + static_cast<size_t>(firstRow + g) * width;
    for (int32_t c = 0; c < layout.Analog_Num; ++c) {
      int32_t type = live.AnalogChannelTable[c].ChnACompressType;
      if (type < 0 || type > 4) type = g % 2 == 0 ? 3 : 4;
      int64_t maxV = 0, minV = 65535, sum = 0;
      for (int64_t r = first; r < first + ratio; ++r) {
        maxV = std::max(maxV, at(r, c));
        minV = std::min(minV, at(r, c));
        sum += at(r, c);
      }
      int64_t v = 0;
      if (type == 0) v = at(first + ratio / 2, c);
      if (type == 2) v = sum / ratio;
      if (type == 3) v = maxV;
      if (type == 4) v = minV;
      if (type == 1) {
        int32_t x[12];
        for (int k = 0; k < 12; ++k)
          x[k] = static_cast<int32_t>(at(first + int64_t{k} * (live.SamplesPerCycle / 12), c));
        auto floorDiv = [](int32_t a, int32_t d) { return static_cast<int32_t>(std::floor(double(a) / d)); };
        const int32_t m = x[1] + x[11] - x[5] - x[7];
        const int32_t cm = m - floorDiv(m, 8) - floorDiv(m, 128);
        const int32_t re = static_cast<int32_t>(std::trunc(
            double((x[0] - x[6]) + floorDiv(x[2] + x[10] - x[4] - x[8], 2) + cm) / 6));
        const int32_t n = x[2] + x[4] - x[8] - x[10];
        const int32_t cn = n - floorDiv(n, 8) - floorDiv(n, 128);
        const int32_t im = static_cast<int32_t>(std::trunc(
            double((x[3] - x[9]) + floorDiv(x[1] + x[5] - x[7] - x[11], 2) + cn) / 6));
        const double value = std::sqrt((double(re) * re + double(im) * im) * 0.5) + double(live.VZero);
        v = static_cast<int64_t>(std::clamp(std::trunc(value), 0.0, 65535.0));
      }
      out[c] = static_cast<uint16_t>(v);
    }
    for (int32_t s = 0; s < live.SW_Num; ++s) {
      const int32_t word = layout.Analog_Num + s / 16, shift = s % 16;
      auto bit = [&](int64_t r) -> int {
        if (r >= 0) return (at(r, word) >> shift) & 1;
        return before ? (before[word] >> shift) & 1 : (at(0, word) >> shift) & 1;
      };
      int32_t mode = live.SwitchChannelTable[s].SWBCompressType;
      if (mode < 0 || mode > 4) mode = g % 2 == 0 ? 2 : 1;
      int v = 0;
      if (mode == 0) v = bit(first + ratio / 2);
      if (mode == 1) {
        v = 1;
        for (int64_t r = first; r < first + ratio; ++r) v &= bit(r);
      }
      if (mode == 2)
        for (int64_t r = first; r < first + ratio; ++r) v |= bit(r);
      if (mode == 3 || mode == 4)
        for (int64_t r = first; r < first + ratio; ++r) {
          const int from = bit(r - 1), to = bit(r);
          if (mode == 3 && from == 0 && to == 1) v = 1;
          if (mode == 4 && from == 1 && to == 0) v = 1;
        }
      out[word] = static_cast<uint16_t>((out[word] & ~(1u << shift)) | (unsigned(v) << shift));
    }
  }
}

TEST(CompressionReference, RandomBlocksMatchThePlainReading) {
  std::mt19937 random(2024);
  auto pick = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(random); };
  for (int trial = 0; trial < 400; ++trial) {
    const SampleLayout layout = RandomLayout(random, 6, 4);
    if (layout.NumChn == 0) continue;  // rows without words: nothing to compare
    const int32_t ratio = pick(1, 12);
    const int32_t groups = pick(1, 8);
    const int32_t numSamp = ratio * groups * pick(1, 3);
    Rig rig(layout, numSamp, ratio);
    rig.live.SW_Num = pick(0, 16 * (layout.NumVChn - layout.Analog_Num));
    rig.live.SamplesPerCycle = pick(0, 60);
    rig.live.VZero = static_cast<float>(pick(-100, 70000)) / 4.0f;
    for (int32_t c = 0; c < layout.Analog_Num; ++c) rig.live.AnalogChannelTable[c].ChnACompressType = pick(-1, 7);
    for (int32_t s = 0; s < rig.live.SW_Num; ++s) rig.live.SwitchChannelTable[s].SWBCompressType = pick(-1, 7);
    // Codes near the ends of the range, or anywhere; switch words often steady.
    const int32_t range = pick(0, 2);
    for (uint16_t& w : rig.block)
      w = static_cast<uint16_t>(range == 0 ? random() : range == 1 ? 4096 + pick(-3, 3) : 65535 - pick(0, 2));
    for (int32_t r = 0; r < numSamp; ++r)
      for (int32_t w = layout.Analog_Num; w < layout.NumVChn; ++w)
        if (pick(0, 3) != 0 && r > 0) rig.In(r, w) = rig.In(r - 1, w);
    for (uint16_t& w : rig.ring) w = static_cast<uint16_t>(random());
    std::vector<uint16_t> beforeRow(static_cast<size_t>(layout.NumChn));
    for (uint16_t& w : beforeRow) w = static_cast<uint16_t>(random());
    const uint16_t* before = pick(0, 1) ? beforeRow.data() : nullptr;
    const int32_t firstRow = pick(0, numSamp - numSamp / ratio);

    std::vector<uint16_t> expected = rig.ring;
    ReferenceCompress(rig.block, before, numSamp, layout, rig.live, expected, firstRow);
    ASSERT_TRUE(rig.Run(firstRow, before)) << trial;
    ASSERT_EQ(rig.ring, expected) << "trial " << trial << " ratio " << ratio << " rows " << numSamp;
  }
}

}  // namespace
