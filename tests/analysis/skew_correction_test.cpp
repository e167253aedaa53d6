#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "analysis/SkewCorrection.h"

namespace {

using namespace quelvar;

// A record of `rows` rows (two blocks) at 1000 Hz, so a row period of
// 1000 us: analog words 0 .. analog - 1, then one switch word and one extra
// sub-sample slot of a faster channel. Each word is filled by its function
// of the row.
struct RecordBench {
  static constexpr int32_t kAnalog = 3;
  static constexpr int32_t kSwitchWord = 3;
  static constexpr int32_t kExtraSlot = 4;
  static constexpr int32_t kWords = 5;
  HistoryRecord h;

  explicit RecordBench(int32_t rows) {
    h.NumChn = kWords;
    h.AnalogCount = kAnalog;
    h.SwitchCount = 16;
    h.BlockCount = rows % 2 == 0 ? 2 : 1;
    h.NumSamp = rows / h.BlockCount;
    h.FrqSamp = 1000.0f;
    h.Valid = 1;
    h.Samples.assign(static_cast<size_t>(rows) * kWords + 1, 0);  // the one word more a history buffer has
  }
  int32_t Rows() const { return h.NumSamp * h.BlockCount; }
  void Fill(int32_t word, const std::function<uint16_t(int32_t)>& f) {
    for (int32_t j = 0; j < Rows(); ++j) At(j, word) = f(j);
  }
  uint16_t& At(int32_t row, int32_t word) { return h.Samples[static_cast<size_t>(row) * kWords + word]; }
};

uint16_t Ramp(int32_t j) { return static_cast<uint16_t>(100 + 8 * j); }
uint16_t SwitchPattern(int32_t j) { return j % 2 == 0 ? 0xA5A5 : 0x5A5A; }

TEST(SkewCorrection, OnARampOnlyTheAnalogBaseSamplesMoveBackByTheirDelay) {
  RecordBench b(8);
  for (int32_t w = 0; w < RecordBench::kWords; ++w) b.Fill(w, Ramp);
  b.Fill(RecordBench::kSwitchWord, SwitchPattern);
  const std::vector<uint16_t> before = b.h.Samples;

  // 250 us a word: word i was taken i/4 of a row late, so on a ramp of 8
  // codes a row its value at word 0's instant is 2 i codes lower.
  ASSERT_TRUE(CorrectChannelSkew(b.h, 250.0));
  EXPECT_EQ(b.h.Synced, 1);
  for (int32_t j = 0; j < b.Rows(); ++j) {
    EXPECT_EQ(b.At(j, 0), Ramp(j)) << "word 0 is the reference, row " << j;
    EXPECT_EQ(b.At(j, 1), Ramp(j) - 2) << "row " << j;
    EXPECT_EQ(b.At(j, 2), Ramp(j) - 4) << "row " << j;
    EXPECT_EQ(b.At(j, RecordBench::kSwitchWord), SwitchPattern(j)) << "switch word, row " << j;
    EXPECT_EQ(b.At(j, RecordBench::kExtraSlot), Ramp(j)) << "sub-sample slot, row " << j;
  }
  EXPECT_EQ(b.h.Samples.back(), before.back());
}

TEST(SkewCorrection, EveryFitUsesTheUncorrectedRowsSoAParabolaIsResampledExactly) {
  // y = 1000 + 4 j^2 taken a quarter row late: at word 0's instant it is
  // 1000 + 4 (j - 1/4)^2 = 1000 + 4 j^2 - 2 j + 1/4, truncated. A fit that
  // read a row already replaced would miss this.
  RecordBench b(10);
  b.Fill(1, [](int32_t j) { return static_cast<uint16_t>(1000 + 4 * j * j); });
  ASSERT_TRUE(CorrectChannelSkew(b.h, 250.0));
  for (int32_t j = 0; j < b.Rows(); ++j) EXPECT_EQ(b.At(j, 1), 1000 + 4 * j * j - 2 * j) << "row " << j;
}

TEST(SkewCorrection, MendedResultsOutsideTheCodeRangeAreClampedNotWrapped) {
  // Three rows, half a row of delay for word 1: the last row is
  // extrapolated to u = 1.5 of the parabola through the three rows.
  struct Case {
    const char* name;
    uint16_t y0, y1, y2;
    uint16_t row0, row1, row2;
  };
  const Case cases[] = {
      {"overshoot above 65535", 60000, 65535, 65535, 55156, 63459, 65535},
      {"undershoot below 0", 5535, 0, 0, 10378, 2075, 0},
  };
  for (const Case& c : cases) {
    RecordBench b(3);
    b.At(0, 1) = c.y0;
    b.At(1, 1) = c.y1;
    b.At(2, 1) = c.y2;
    ASSERT_TRUE(CorrectChannelSkew(b.h, 500.0)) << c.name;
    EXPECT_EQ(b.At(0, 1), c.row0) << c.name;
    EXPECT_EQ(b.At(1, 1), c.row1) << c.name;
    EXPECT_EQ(b.At(2, 1), c.row2) << c.name;
  }
}

TEST(SkewCorrection, MendedADelayBeyondARowPeriodExtrapolatesWithTheInstantKeptSigned) {
  // 1250 us for word 1 is more than a row: word 1 of row j stands for row
  // j - 1.25 of word 0's time line; on a ramp that is 10 codes lower.
  RecordBench b(6);
  b.Fill(1, Ramp);
  ASSERT_TRUE(CorrectChannelSkew(b.h, 1250.0));
  for (int32_t j = 0; j < b.Rows(); ++j) EXPECT_EQ(b.At(j, 1), Ramp(j) - 10) << "row " << j;
}

TEST(SkewCorrection, RecordsTooShortOrTooNarrowAreLeftAsTheyAreButMarked) {
  for (int32_t rows : {1, 2}) {
    RecordBench b(rows);
    b.Fill(1, Ramp);
    const std::vector<uint16_t> before = b.h.Samples;
    ASSERT_TRUE(CorrectChannelSkew(b.h, 250.0));
    EXPECT_EQ(b.h.Samples, before) << rows << " rows";
    EXPECT_EQ(b.h.Synced, 1);
  }
  RecordBench one(8);
  one.h.NumChn = 1;
  one.h.AnalogCount = 1;
  one.Fill(0, Ramp);
  const std::vector<uint16_t> before = one.h.Samples;
  ASSERT_TRUE(CorrectChannelSkew(one.h, 250.0));
  EXPECT_EQ(one.h.Samples, before);
}

TEST(SkewCorrection, RefusalsComeInTheirOrderAndASecondRunIsRefused) {
  RecordBench b(8);
  const SkewPreconditions shownIdle{true, 0};
  EXPECT_EQ(SkewRefusal(shownIdle, b.h), std::nullopt);
  EXPECT_EQ(SkewRefusal({false, 0}, b.h), "提示:未选中历史数据!");
  EXPECT_EQ(SkewRefusal({false, 1}, b.h), "提示:未选中历史数据!");
  EXPECT_EQ(SkewRefusal({true, 1}, b.h), "提示:采集过程中不能进行同步化处理!");
  EXPECT_EQ(SkewRefusal({true, 2}, b.h), "提示:采集过程中不能进行同步化处理!");
  ASSERT_TRUE(CorrectChannelSkew(b.h, 250.0));
  EXPECT_EQ(SkewRefusal(shownIdle, b.h), "提示:已进行过同步化处理!");
  // The next record shown clears the mark.
  b.h.Synced = 0;
  EXPECT_EQ(SkewRefusal(shownIdle, b.h), std::nullopt);
}

TEST(SkewCorrection, MendedARecordWhoseRateOrSizeGivesNoCorrectionIsRefusedUntouched) {
  const std::vector<std::pair<const char*, std::function<void(HistoryRecord&)>>> damages = {
      {"rate 0", [](HistoryRecord& h) { h.FrqSamp = 0.0f; }},
      {"negative rate", [](HistoryRecord& h) { h.FrqSamp = -1000.0f; }},
      {"samples fewer than the geometry", [](HistoryRecord& h) { h.Samples.resize(h.Samples.size() - 6); }},
      {"no record held", [](HistoryRecord& h) { h.Valid = 0; }},
  };
  for (const auto& [name, damage] : damages) {
    RecordBench b(8);
    b.Fill(1, Ramp);
    damage(b.h);
    const std::vector<uint16_t> before = b.h.Samples;
    EXPECT_EQ(SkewRefusal({true, 0}, b.h), "提示:历史数据无效!") << name;
    EXPECT_FALSE(CorrectChannelSkew(b.h, 250.0)) << name;
    EXPECT_EQ(b.h.Samples, before) << name;
    EXPECT_EQ(b.h.Synced, 0) << name;
  }
}

TEST(SkewCorrection, TheOfferedDelayIsTheRowPeriodOverTheWordsAndOtherTextKeepsIt) {
  HistoryRecord h;
  h.FrqSamp = 3000.0f;
  h.NumChn = 4;
  EXPECT_DOUBLE_EQ(SkewRowPeriod(h), 1e6 / 3000.0);
  const double offered = DefaultSkewDelay(h);
  EXPECT_DOUBLE_EQ(offered, 1e6 / 3000.0 / 4.0);
  EXPECT_EQ(SkewDelayText(offered), "83.33");
  EXPECT_EQ(SkewDelayFromAnswer("12.5", offered), 12.5);
  EXPECT_EQ(SkewDelayFromAnswer(" -3 ", offered), -3.0);
  EXPECT_EQ(SkewDelayFromAnswer("abc", offered), offered);
  EXPECT_EQ(SkewDelayFromAnswer("", offered), offered);
  EXPECT_EQ(SkewDelayFromAnswer("nan", offered), offered);
}

}  // namespace
