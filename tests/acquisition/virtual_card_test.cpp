#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "LayoutForTest.h"
#include "acquisition/VirtualCard.h"

namespace {

using namespace quelvar;
using quelvar::test::LayoutOf;

// Five analog channels, 1 and 4 at twice the rate, two switch words: words
// 0..4 base, 5..6 switch, 7 extra of channel 1, 8 extra of channel 4.
SampleLayout CardLayout() { return LayoutOf({1, 2, 1, 1, 2}, 32); }

// A = 2000 codes, 12 samples per cycle; with 20 rows the ramps have a
// period of 21 and move 100 codes a step (0.5 x 2000 / 10).
LiveConfig CardSettings() {
  LiveConfig live;
  live.VZero = 2048.0f;
  live.ADMax = 4048.0f;
  live.SamplesPerCycle = 12;
  return live;
}

std::vector<uint16_t> NextBlock(const SampleLayout& layout, const LiveConfig& live, VirtualCardState& state,
                                int32_t rows = 20, const std::function<int()>& rand = {}) {
  std::vector<uint16_t> words(static_cast<size_t>(rows) * layout.NumChn, 0xDEAD);
  EXPECT_TRUE(GenerateSimulatedBlock(words.data(), rows, layout, live, state, rand));
  return words;
}

struct At {
  int block, row, word;
  uint16_t value;
};

void ExpectValues(const SampleLayout& layout, const LiveConfig& live, const std::vector<At>& expected) {
  VirtualCardState state;
  std::vector<std::vector<uint16_t>> blocks;
  for (int b = 0; b < 2; ++b) blocks.push_back(NextBlock(layout, live, state));
  for (const At& at : expected)
    EXPECT_EQ(blocks[at.block][at.row * layout.NumChn + at.word], at.value)
        << "block " << at.block << " row " << at.row << " word " << at.word;
}

TEST(VirtualCard, ThreePhaseSinesThenRampsTwoSubSamplesApart) {
  ExpectValues(CardLayout(), CardSettings(),
               {
                   // Channel 0: 2048 + 100 sin(2 pi u / 12); the next block goes on from u = 20.
                   {0, 2, 0, 2134},  // 60 degrees
                   {0, 8, 0, 1961},  // 240
                   {1, 0, 0, 1961},  // u = 20: 240
                   // Channel 1, twice the rate: period 24 sub-samples, a third of it ahead.
                   {0, 0, 1, 2134},  // (8 + 0) / 24: 120 degrees
                   {0, 0, 7, 2118},  // extra word, 135
                   {0, 1, 7, 2073},  // sub-sample 3: 165
                   // Channel 2: two thirds ahead.
                   {0, 0, 2, 1961},  // 240
                   {0, 4, 2, 2048},  // 360
                   {0, 6, 2, 2134},  // 420
                   // Channel 3: 2048 + 100 x (((u + 6) mod 21) - 2).
                   {0, 0, 3, 2448},
                   {0, 14, 3, 3848},
                   {0, 15, 3, 1848},
                   {1, 1, 3, 2448},  // u = 21: one period on
                   // Channel 4, twice the rate: ((u + 8) mod 21) - 2 with u = 2 x row + k.
                   {0, 0, 4, 2648},
                   {0, 0, 8, 2748},
                   {0, 6, 4, 3848},
                   {0, 6, 8, 1848},
                   {1, 0, 4, 2448},  // u = 40
               });
}

TEST(VirtualCard, FewSamplesPerCycleGiveASinePeriodOfThreeAndTwentyRowsARampOfTwentyOne) {
  const SampleLayout layout = LayoutOf({1, 1, 1, 1}, 0);
  for (int32_t perCycle : {-4, 0, 1, 2, 3}) {
    LiveConfig live = CardSettings();
    live.SamplesPerCycle = perCycle;
    VirtualCardState state;
    std::vector<uint16_t> rows = NextBlock(layout, live, state);
    const std::vector<uint16_t> next = NextBlock(layout, live, state);
    rows.insert(rows.end(), next.begin(), next.end());
    const uint16_t phases[3] = {2048, 2134, 1961};  // 0, 120, 240 degrees
    for (int r = 0; r < 40; ++r)
      for (int j = 0; j < 3; ++j) ASSERT_EQ(rows[r * 4 + j], phases[(r + j) % 3]) << perCycle << " " << r << " " << j;
    // The ramp takes every step from -2 to 18 once per 21 rows, then starts over.
    std::vector<uint16_t> ramp;
    for (int r = 0; r < 21; ++r) ramp.push_back(rows[r * 4 + 3]);
    std::sort(ramp.begin(), ramp.end());
    for (int i = 0; i < 21; ++i) ASSERT_EQ(ramp[i], 1848 + 100 * i) << perCycle;
    for (int r = 21; r < 40; ++r) ASSERT_EQ(rows[r * 4 + 3], rows[(r - 21) * 4 + 3]) << perCycle << " " << r;
  }
}

TEST(VirtualCard, SwitchWordsAlternateTheirBitsAndToggleEverySixRowsAcrossBlocks) {
  const SampleLayout layout = CardLayout();
  const LiveConfig live = CardSettings();
  VirtualCardState state;
  std::vector<uint16_t> word5, word6;
  for (int b = 0; b < 4; ++b) {
    const std::vector<uint16_t> block = NextBlock(layout, live, state);
    for (int r = 0; r < 20; ++r) word5.push_back(block[r * 9 + 5]), word6.push_back(block[r * 9 + 6]);
  }
  // (w + row) div 6 odd: 0xAAAA; word 6 is word 5 one row ahead.
  EXPECT_EQ(word5[0], 0x5555);
  EXPECT_EQ(word5[1], 0xAAAA);
  EXPECT_EQ(word6[0], 0xAAAA);
  std::vector<int> runs = {1};
  for (size_t r = 1; r < word5.size(); ++r) {
    ASSERT_TRUE(word5[r] == 0xAAAA || word5[r] == 0x5555) << r;
    if (word5[r] == word5[r - 1]) ++runs.back();
    else runs.push_back(1);
  }
  EXPECT_EQ(runs.front(), 1);
  for (size_t i = 1; i + 1 < runs.size(); ++i) EXPECT_EQ(runs[i], 6) << i;
  for (size_t r = 0; r + 1 < word5.size(); ++r) ASSERT_EQ(word6[r], word5[r + 1]) << r;
}

TEST(VirtualCard, CounterAndRawChannelsRampTheirBaseWordByRowScaledByThePreAmplifier) {
  const SampleLayout layout = CardLayout();
  LiveConfig live = CardSettings();
  live.AnalogChannelTable[0].ChnIDDC = 3;  // a sine channel turned raw code
  live.AnalogChannelTable[0].ChnPreAmp = 4.0f;
  live.AnalogChannelTable[3].ChnIDDC = 2;
  live.AnalogChannelTable[3].ChnPreAmp = 2.0f;
  live.AnalogChannelTable[4].ChnIDDC = 2;
  live.AnalogChannelTable[4].ChnPreAmp = 0.0f;  // taken as 1
  live.AnalogChannelTable[2].ChnIDDC = 4;       // other kinds keep their signal
  ExpectValues(layout, live,
               {
                   // 512 + 25 x ((row mod 21) - 2)
                   {0, 0, 0, 462},
                   {0, 5, 0, 587},
                   // 1024 + 50 x (((row + 6) mod 21) - 2); the next block goes on
                   {0, 0, 3, 1224},
                   {0, 15, 3, 924},
                   {1, 0, 3, 1174},
                   // Base word by row, ((row + 8) mod 21) - 2; the extra word keeps its sub-sample ramp
                   {0, 0, 4, 2648},
                   {0, 1, 4, 2748},
                   {0, 0, 8, 2748},
                   {0, 1, 8, 2948},
                   {0, 0, 2, 1961},
               });
}

TEST(VirtualCard, SpikesLandWhereTheDrawsPutThemAndContinueInTheNextBlock) {
  const SampleLayout layout = CardLayout();
  LiveConfig live = CardSettings();
  live.SimulateRandom = 1;
  // Span max(5 x 12, 20 div 2) = 60 over 5 x 20 positions. Draws: a value,
  // then a step; value 2048 + draw x 1600 / 32767, step draw x 60 div 32767.
  const std::vector<int> draws = {8192, 16383, 16384, 20000, 30000, 32767, 4096, 32767, 24000, 32767};
  size_t next = 0;
  std::function<int()> rand = [&] { return draws.at(next++); };
  VirtualCardState state, plainState;
  LiveConfig plain = live;
  plain.SimulateRandom = 0;
  struct Spike {
    int block, row, channel;
    uint16_t value;
  };
  const Spike spikes[] = {
      {0, 0, 0, 2448},   // p 0
      {0, 9, 1, 2848},   // p 29
      {0, 5, 3, 3512},   // p 65, then 125: past the end, 25 carried over
      {1, 5, 1, 2248},   // p 25, then 85
      {1, 5, 4, 3219},   // p 85, then 145: 45 carried over
  };
  for (int b = 0; b < 2; ++b) {
    std::vector<uint16_t> block = NextBlock(layout, live, state, 20, rand);
    const std::vector<uint16_t> without = NextBlock(layout, plain, plainState);
    for (const Spike& s : spikes) {
      if (s.block != b) continue;
      EXPECT_EQ(block[s.row * 9 + s.channel], s.value) << b << " " << s.row << " " << s.channel;
      block[s.row * 9 + s.channel] = without[s.row * 9 + s.channel];
    }
    EXPECT_EQ(block, without) << "nothing but the spikes differs, block " << b;
  }
  EXPECT_EQ(next, draws.size());
  EXPECT_EQ(state.SpikePos, 45);
}

TEST(VirtualCard, DegenerateDrawsStillEndAndStayInTheBlock) {
  // Draws are held to 0..32767 and a step is at least one position, so a
  // generator stuck at 0 spikes every base word and the loop still ends.
  const SampleLayout layout = LayoutOf({1, 3}, 0);  // words 0, 1 base; 2, 3 extras of channel 1
  struct Case {
    int draw;
    uint16_t spike;
    bool everywhere;
  } cases[] = {
      {0, 2048, true},
      {-7, 2048, true},
      {1000000000, 3647, false},  // 2048 + 0.8 x 1999; then a step of 60 ends the block
  };
  for (const Case& c : cases) {
    LiveConfig live = CardSettings();
    live.ADMax = 4047.0f;
    live.SimulateRandom = 1;
    VirtualCardState state{0, -5};  // a position from nowhere starts at 0
    VirtualCardState plainState;
    LiveConfig plain = live;
    plain.SimulateRandom = 0;
    const std::vector<uint16_t> block = NextBlock(layout, live, state, 10, [&] { return c.draw; });
    const std::vector<uint16_t> without = NextBlock(layout, plain, plainState, 10);
    for (int r = 0; r < 10; ++r) {
      for (int w = 0; w < 2; ++w) {
        const bool spiked = c.everywhere || (r == 0 && w == 0);
        EXPECT_EQ(block[r * 4 + w], spiked ? c.spike : without[r * 4 + w]) << c.draw << " " << r << " " << w;
      }
      for (int w = 2; w < 4; ++w) EXPECT_EQ(block[r * 4 + w], without[r * 4 + w]) << "extra words carry no spikes";
    }
    EXPECT_EQ(state.SpikePos, 0) << c.draw;
  }
}

TEST(VirtualCard, ValuesAreTruncatedIntoTheWordRangeAndTinyBlocksDoNotDivideByZero) {
  const SampleLayout layout = LayoutOf({1, 1, 1, 1}, 0);
  struct Case {
    float vZero, adMax;
    int32_t rows, row;
    uint16_t ramp;  // channel 3
  } cases[] = {
      {3000, 63000, 20, 15, 0},          // 3000 - 30000 x 2 / 10
      {60000, 100000, 20, 14, 65535},    // 60000 + 20000 x 18 / 10
      {60000, 100000, 20, 15, 56000},
      {2048, 4048, 1, 0, 8048},          // period 17, 1 div 2 taken as 1: 2048 + 1000 x 6
      {60000, 65535, 1, 0, 65535},       // 60000 + 2767.5 x 6
  };
  for (const Case& c : cases) {
    LiveConfig live = CardSettings();
    live.VZero = c.vZero;
    live.ADMax = c.adMax;
    VirtualCardState state;
    const std::vector<uint16_t> block = NextBlock(layout, live, state, c.rows);
    EXPECT_EQ(block[c.row * 4 + 3], c.ramp) << c.vZero << " " << c.rows << " " << c.row;
    EXPECT_EQ(state.SampleCounter, c.rows);
  }
  VirtualCardState state{41, 0};
  uint16_t untouched = 0x4321;
  EXPECT_TRUE(GenerateSimulatedBlock(&untouched, 0, layout, CardSettings(), state, {}));
  EXPECT_EQ(untouched, 0x4321);
  EXPECT_EQ(state.SampleCounter, 41);
}

TEST(VirtualCard, TheSampleCounterRunsPastThirtyTwoBitsWithoutBreakingTheSignals) {
  // Every signal repeats after lcm(12, 21) = 84 rows, so a block far on
  // must equal the block at the same place within the first 84 rows.
  const SampleLayout layout = CardLayout();
  LiveConfig live = CardSettings();
  live.AnalogChannelTable[3].ChnIDDC = 2;
  for (int64_t far : {int64_t{INT32_MAX} - 9, int64_t{1} << 32, (int64_t{1} << 40) + 5}) {
    VirtualCardState farState{far, 0}, nearState{far % 84, 0};
    EXPECT_EQ(NextBlock(layout, live, farState), NextBlock(layout, live, nearState)) << far;
    EXPECT_EQ(farState.SampleCounter, far + 20);
  }
}

}  // namespace
