#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "LayoutForTest.h"
#include "acquisition/OnlineFilter.h"

namespace {

using namespace quelvar;
using quelvar::test::LayoutOf;
using quelvar::test::RandomLayout;

std::vector<uint16_t> RandomRows(std::mt19937& random, const SampleLayout& layout, int32_t rows) {
  std::vector<uint16_t> words(static_cast<size_t>(rows) * layout.NumChn);
  for (uint16_t& w : words) w = static_cast<uint16_t>(random());
  return words;
}

// Where each sub-sample of analog channel c lies, in time order: row by
// row, the base word and then the extra words.
std::vector<size_t> SubSampleWords(const SampleLayout& layout, int32_t c, int32_t rows) {
  std::vector<size_t> where;
  for (int32_t r = 0; r < rows; ++r) {
    where.push_back(static_cast<size_t>(r) * layout.NumChn + c);
    for (int32_t w = layout.ExtraSlotFirst[c]; w < layout.ExtraSlotLast[c]; ++w)
      where.push_back(static_cast<size_t>(r) * layout.NumChn + w);
  }
  return where;
}

// ---- Filter ----

// Channel by channel over a list of its sub-samples, as the recursion is written.
void ReferenceFilter(std::vector<uint16_t>& words, int32_t rows, const SampleLayout& layout, int64_t coe,
                     bool seed, std::array<int64_t, kMaxAnalogChannels>& state) {
  if (rows == 0) return;
  for (int32_t c = 0; c < layout.Analog_Num; ++c) {
    int64_t s = seed ? 1000 * int64_t{words[c]} : state[c];
    for (size_t i : SubSampleWords(layout, c, rows)) {
      s = (s * coe + 500) / 1000 + (1000 - coe) * words[i];
      words[i] = static_cast<uint16_t>((s + 500) / 1000);
    }
    state[c] = s;
  }
}

TEST(OnlineFilter, StepResponseKeepsThousandthsOfACodeBetweenSamples) {
  struct Case {
    int32_t coe;
    std::vector<uint16_t> in, out;
  } cases[] = {
      {950, {2048, 2048, 3048, 3048, 3048}, {2048, 2048, 2098, 2146, 2191}},
      {500, {1000, 2001, 2001, 0}, {1000, 1501, 1751, 875}},
      {0, {7, 65535, 0, 12}, {7, 65535, 0, 12}},          // no memory: the input passes
      {1000, {7, 65535, 0, 12}, {7, 7, 7, 7}},            // all memory: the seed stays
      {999, {65535, 65535, 65535, 0}, {65535, 65535, 65535, 65469}},
  };
  const SampleLayout layout = LayoutOf({1}, 0);
  for (const Case& c : cases) {
    std::vector<uint16_t> words = c.in;
    FilterState state;
    ASSERT_TRUE(ApplyOnlineFilter(words.data(), static_cast<int32_t>(words.size()), layout, c.coe, true, state));
    EXPECT_EQ(words, c.out) << c.coe;
  }
}

TEST(OnlineFilter, ReseedStartsFromTheBlocksFirstSampleOtherwiseTheStateGoesOn) {
  struct Case {
    bool reseedArgument, reseedPending;
    uint16_t firstOut;
  } cases[] = {
      {true, false, 3000},
      {false, true, 3000},
      {true, true, 3000},
      {false, false, 1100},  // (1000000 x 950 + 500) div 1000 + 50 x 3000 = 1100000
  };
  const SampleLayout layout = LayoutOf({1, 3}, 16);
  for (const Case& c : cases) {
    FilterState state;
    state.Values.fill(1000 * 1000);
    state.Reseed = c.reseedPending;
    std::vector<uint16_t> words(2 * layout.NumChn, 3000);
    ASSERT_TRUE(ApplyOnlineFilter(words.data(), 2, layout, 950, c.reseedArgument, state));
    EXPECT_EQ(words[0], c.firstOut) << c.reseedArgument << c.reseedPending;
    EXPECT_EQ(words[1], c.firstOut) << c.reseedArgument << c.reseedPending;
    EXPECT_FALSE(state.Reseed);
  }
  // A block without rows leaves a pending reseed for the next one.
  FilterState state;
  uint16_t none = 0;
  ASSERT_TRUE(ApplyOnlineFilter(&none, 0, layout, 950, false, state));
  EXPECT_TRUE(state.Reseed);
}

TEST(OnlineFilter, MultiRateChannelIsFilteredInTimeOrderAndSwitchWordsAreLeftAlone) {
  // Channel 0 at twice the rate: word 0 base, word 1 switch word, word 2 extra.
  const SampleLayout layout = LayoutOf({2}, 5);
  ASSERT_EQ(layout.NumChn, 3);
  std::vector<uint16_t> words = {2048, 0xFFFF, 3048, 3048, 0x1234, 3048};
  FilterState state;
  ASSERT_TRUE(ApplyOnlineFilter(words.data(), 2, layout, 950, true, state));
  EXPECT_EQ(words, (std::vector<uint16_t>{2048, 0xFFFF, 2098, 2146, 0x1234, 2191}));
  EXPECT_EQ(state.Values[0], 2190625);
}

TEST(OnlineFilter, MatchesThePlainRecursionOnRandomBlocksInAnyChunking) {
  std::mt19937 random(20240611);
  for (int trial = 0; trial < 200; ++trial) {
    const SampleLayout layout = RandomLayout(random, 8, 4);
    const int32_t coe = std::uniform_int_distribution<int32_t>(0, 1000)(random);
    std::array<int64_t, kMaxAnalogChannels> expectedState{};
    FilterState state;
    bool pending = true;
    for (int block = 0; block < 4; ++block) {
      const int32_t rows = std::uniform_int_distribution<int32_t>(0, 30)(random);
      const bool reseed = random() % 4 == 0;
      std::vector<uint16_t> words = RandomRows(random, layout, rows);
      std::vector<uint16_t> expected = words;
      ReferenceFilter(expected, rows, layout, coe, reseed || pending, expectedState);
      if (rows > 0) pending = false;
      ASSERT_TRUE(ApplyOnlineFilter(words.data(), rows, layout, coe, reseed, state));
      ASSERT_EQ(words, expected) << "trial " << trial << " block " << block;
      for (int32_t c = 0; c < layout.Analog_Num; ++c) ASSERT_EQ(state.Values[c], expectedState[c]) << c;
      EXPECT_EQ(state.Reseed, pending);
    }
  }
}

// ---- Resampling ----

// From a copy: each channel's sub-samples listed in time order, the
// outputs computed from that list and written over the first rows.
std::vector<uint16_t> ReferenceResample(const std::vector<uint16_t>& in, int32_t outputRows,
                                        const SampleLayout& layout, int32_t r, int32_t mode) {
  std::vector<uint16_t> out = in;
  const int32_t deliveredRows = outputRows * r;
  for (int32_t c = 0; c < layout.Analog_Num; ++c) {
    const std::vector<size_t> from = SubSampleWords(layout, c, deliveredRows);
    const std::vector<size_t> to = SubSampleWords(layout, c, outputRows);
    for (size_t j = 0; j < to.size(); ++j) {
      if (mode == 1) {
        out[to[j]] = in[from[(j + 1) * r - 1]];
      } else {
        int64_t sum = 0;
        for (size_t i = j * r; i < (j + 1) * r; ++i) sum += in[from[i]];
        out[to[j]] = static_cast<uint16_t>(sum / r);
      }
    }
  }
  for (int32_t q = 0; q < outputRows; ++q)
    for (int32_t w = layout.Analog_Num; w < layout.NumVChn; ++w)
      out[static_cast<size_t>(q) * layout.NumChn + w] = in[static_cast<size_t>((q + 1) * r - 1) * layout.NumChn + w];
  return out;
}

TEST(OnlineResample, KeepsTheGroupsLastRowOrItsTruncatedMeanSwitchWordsAlwaysTheLastRow) {
  // Three single-rate channels and two switch words; word w of row r holds
  // r x 100 + w, except channel 0, whose groups are 1, 2, 3, 5 (mean 2.75).
  const SampleLayout layout = LayoutOf({1, 1, 1}, 20);
  ASSERT_EQ(layout.NumChn, 5);
  auto delivered = [&] {
    std::vector<uint16_t> words(12 * 5);
    const uint16_t channel0[] = {1, 2, 3, 5};
    for (int r = 0; r < 12; ++r) {
      for (int w = 0; w < 5; ++w) words[r * 5 + w] = static_cast<uint16_t>(r * 100 + w);
      words[r * 5] = channel0[r % 4];
    }
    return words;
  };
  struct Case {
    int32_t mode;
    uint16_t channel0;
    int32_t analogRowTimes100;  // 100 x the row (or mean row) the analog outputs of row 0 come from
  } cases[] = {{1, 5, 300}, {0, 2, 150}, {2, 2, 150}, {-1, 2, 150}};
  for (const Case& c : cases) {
    std::vector<uint16_t> words = delivered();
    const std::vector<uint16_t> before = words;
    ASSERT_TRUE(ApplyOnlineResample(words.data(), 3, layout, 4, c.mode));
    for (int q = 0; q < 3; ++q) {
      EXPECT_EQ(words[q * 5], c.channel0) << c.mode;
      for (int w = 1; w < 3; ++w) EXPECT_EQ(words[q * 5 + w], q * 400 + c.analogRowTimes100 + w) << c.mode;
      for (int w = 3; w < 5; ++w) EXPECT_EQ(words[q * 5 + w], (4 * q + 3) * 100 + w) << c.mode;  // rows 3, 7, 11
    }
    EXPECT_TRUE(std::equal(words.begin() + 15, words.end(), before.begin() + 15)) << "rows after the output";
  }
}

TEST(OnlineResample, MultiRateChannelsResampleTheirSubSampleSequence) {
  // One channel (and a switch word); sub-sample u of the delivered block
  // holds 1000 + u. Expected: the output sub-samples, as offsets from 1000.
  struct Case {
    int32_t multiplier, r, mode;
    std::vector<int32_t> out;
  } cases[] = {
      {2, 2, 1, {1, 3, 5, 7, 9, 11}},  // all in the extra word, written to base and extra alternately
      {2, 2, 0, {0, 2, 4, 6, 8, 10}},  // (2j + 2j+1) / 2 truncated
      {2, 3, 1, {2, 5, 8, 11, 14, 17}},
      {3, 2, 1, {1, 3, 5, 7, 9, 11, 13, 15, 17}},
      {3, 4, 0, {1, 5, 9, 13, 17, 21, 25, 29, 33}},
      {4, 3, 1, {2, 5, 8, 11, 14, 17, 20, 23, 26, 29, 32, 35}},
  };
  for (const Case& c : cases) {
    const SampleLayout layout = LayoutOf({c.multiplier}, 1);
    const int32_t outputRows = 3;
    std::vector<uint16_t> words(static_cast<size_t>(outputRows) * c.r * layout.NumChn, 0x0F0F);
    const std::vector<size_t> delivered = SubSampleWords(layout, 0, outputRows * c.r);
    for (size_t u = 0; u < delivered.size(); ++u) words[delivered[u]] = static_cast<uint16_t>(1000 + u);
    ASSERT_TRUE(ApplyOnlineResample(words.data(), outputRows, layout, c.r, c.mode));
    std::vector<int32_t> out;
    for (size_t i : SubSampleWords(layout, 0, outputRows)) out.push_back(words[i] - 1000);
    EXPECT_EQ(out, c.out) << c.multiplier << " " << c.r << " " << c.mode;
  }
}

TEST(OnlineResample, InPlaceMatchesACopyBasedReferenceOnRandomLayouts) {
  std::mt19937 random(77);
  for (int trial = 0; trial < 400; ++trial) {
    const SampleLayout layout = RandomLayout(random, 8, 5);
    const int32_t r = std::uniform_int_distribution<int32_t>(1, 7)(random);
    const int32_t mode = static_cast<int32_t>(random() % 3);
    const int32_t outputRows = std::uniform_int_distribution<int32_t>(0, 12)(random);
    std::vector<uint16_t> words = RandomRows(random, layout, outputRows * r);
    const std::vector<uint16_t> expected = ReferenceResample(words, outputRows, layout, r, mode);
    ASSERT_TRUE(ApplyOnlineResample(words.data(), outputRows, layout, r, mode));
    ASSERT_EQ(words, expected) << "trial " << trial << " R " << r << " mode " << mode;
  }
}

}  // namespace
