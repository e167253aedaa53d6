#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "platform/RecordingCanvas.h"
#include "view/OscilloscopeRenderer.h"
#include "view/PhaseLock.h"

namespace {

using namespace quelvar;

constexpr int kRows = 1000;
constexpr int kWords = 3;  // two analog channels and a switch word

// x(r) = 2048 + 1000 sin(2 pi r / 100): peaks at rows 25, 125, ..., troughs
// at 75, 175, ...; it rises through 2548 between rows 8 and 9 and falls
// through it between 41 and 42.
uint16_t Sine(int64_t r) {
  return static_cast<uint16_t>(std::lround(2048 + 1000 * std::sin(2 * std::numbers::pi * r / 100.0)));
}

class PhaseLock : public ::testing::Test {
 protected:
  PhaseLock() {
    layout.Analog_Num = 2;
    layout.NumChn = kWords;
    layout.MaxMultiFreq = 1;
    for (int c = 0; c < kWords; ++c) layout.MultiFreqTable[c] = 1;
    Resize(kRows);
    for (int r = 0; r < kRows; ++r) data[static_cast<size_t>(r) * kWords] = Sine(r);
    lock.Display = &display;
    lock.Layout = &layout;
    lock.NumSamp = kRows;
    lock.AnalogNum = 2;
  }
  // The matrix exactly `rows` rows long, so a read past it is caught.
  void Resize(int rows) {
    data.assign(static_cast<size_t>(rows) * kWords, 2048);
    display.DispData = data.data();
    display.DispBlocks = 1;
    display.DispRows = rows;
    display.DispPoints = rows * layout.MaxMultiFreq;
    display.DispRowWords = kWords;
    display.DispValid = 1;
    display.DataSourceMode = 2;
  }

  SampleLayout layout;
  std::vector<uint16_t> data;
  DisplayDescriptor display;
  PhaseLockData lock;
};

TEST_F(PhaseLock, EachModeFindsItsFirstPointOnASine) {
  struct Case {
    PhaseLockMode mode;
    uint16_t level;
    int32_t point;
  } cases[] = {
      {PhaseLockMode::UpperVertex, 0, 25},
      {PhaseLockMode::LowerVertex, 0, 75},
      {PhaseLockMode::Rising, 2548, 9},
      {PhaseLockMode::Falling, 2548, 42},
      {PhaseLockMode::Rising, 4000, 0},   // the level above the maximum
      {PhaseLockMode::Falling, 100, 0},   // below the minimum
      {PhaseLockMode::None, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PhaseLockPoint(lock, 0, c.mode, c.level, 100), c.point) << static_cast<int>(c.mode);
  }
}

TEST_F(PhaseLock, AFlatSignalNeverMatches) {
  for (const PhaseLockMode mode : {PhaseLockMode::UpperVertex, PhaseLockMode::LowerVertex, PhaseLockMode::Rising,
                                   PhaseLockMode::Falling}) {
    EXPECT_EQ(PhaseLockPoint(lock, 1, mode, 2048, 100), 0) << static_cast<int>(mode);
  }
}

TEST_F(PhaseLock, TheViewFromTheMatchMustFitInTheData) {
  // Peaks at 25, 125, ...: with 900 points on screen only a match below 100 fits.
  EXPECT_EQ(PhaseLockPoint(lock, 0, PhaseLockMode::UpperVertex, 0, 900), 25);
  EXPECT_EQ(PhaseLockPoint(lock, 0, PhaseLockMode::UpperVertex, 0, 975), 0);
  // Peaks at rows 1, 101, ...: the first lies before the search's start,
  // the next past the limit.
  for (int r = 0; r < kRows; ++r) data[static_cast<size_t>(r) * kWords] = Sine(r + 24);
  EXPECT_EQ(PhaseLockPoint(lock, 0, PhaseLockMode::UpperVertex, 0, 900), 0);
}

TEST_F(PhaseLock, ASearchNeverReadsPastTheLastRow) {
  // Mended: a one-point screen let the search compare two rows past the
  // data. A ramp whose only vertex is the last row cannot match.
  Resize(50);
  for (int r = 0; r < 50; ++r) data[static_cast<size_t>(r) * kWords] = static_cast<uint16_t>(100 + r);
  EXPECT_EQ(PhaseLockPoint(lock, 0, PhaseLockMode::UpperVertex, 0, 1), 0);
  // The level modes need no look ahead: x(47) = 147 <= 148 <= x(48).
  EXPECT_EQ(PhaseLockPoint(lock, 0, PhaseLockMode::Rising, 148, 1), 48);
}

TEST_F(PhaseLock, MultiRateSearchWalksTheChannelsOwnSamplesInDisplayPoints) {
  // Mended: the search took rows for points. Channel 0 at half the fastest
  // rate (MaxMultiFreq 4, rate 2, second sub-sample in word 2): its channel
  // point q is display point 2q. A peak at channel point 25 sits in the
  // extra word of row 12, where the base words alone see no vertex.
  layout.MaxMultiFreq = 4;
  layout.MultiFreqTable[0] = 2;
  layout.ExtraSlotFirst[0] = 2;
  layout.ExtraSlotLast[0] = 3;
  Resize(kRows);
  for (int64_t q = 0; q < 2 * kRows; ++q) {
    data[static_cast<size_t>(q / 2) * kWords + (q % 2 == 0 ? 0 : 2)] = Sine(q);
  }
  EXPECT_EQ(PhaseLockPoint(lock, 0, PhaseLockMode::UpperVertex, 0, 100), 50);
  EXPECT_EQ(PhaseLockPoint(lock, 0, PhaseLockMode::Rising, 2548, 100), 18);
}

TEST_F(PhaseLock, ASwitchInputLeavesTheViewAlone) {
  WaveViewState view;
  view.XPosition = 77;
  view.DisplayWidth = 100;
  FindPhaseLockPoint(lock, 2, PhaseLockMode::UpperVertex, 0, view);
  EXPECT_EQ(view.XPosition, 77);
  FindPhaseLockPoint(lock, 0, PhaseLockMode::UpperVertex, 0, view);
  EXPECT_EQ(view.XPosition, 25);
}

TEST_F(PhaseLock, OnlyTheScreenOfARunningUnpausedOscilloscopeIsLocked) {
  LiveConfig config;
  config.Analog_Num = 2;
  config.NumSamp = kRows;
  WaveformPaintInput input;
  input.Config = &config;
  input.Layout = &layout;
  input.Display = &display;
  input.TextHeight = 18;
  OscilToolSettings settings;
  settings.ChnAd1 = 1;  // flat
  settings.ChnAD2 = 0;  // the sine
  settings.FixMode = 1;
  settings.FixChn = 2;
  WaveViewState view;
  view.DisplayWidth = 100;
  platform::RecordingCanvas canvas(405, 303);
  struct Case {
    bool running, paused;
    int32_t toPicture;
    int32_t useChn2;
    int32_t xPosition;
  } cases[] = {
      {true, false, 0, 1, 25},
      {true, true, 0, 1, 300},
      {false, false, 0, 1, 300},
      {true, false, 1, 1, 300},
      {true, false, 0, 0, 0},  // trace 2 off: trace 1's flat channel, no match
  };
  for (const Case& c : cases) {
    view.XPosition = 300;
    settings.UseChn2 = c.useChn2;
    input.ToPicture = c.toPicture;
    const OscilloscopePaintResult result = PaintOscilloscope(canvas, input, settings, view, {c.running, c.paused});
    EXPECT_EQ(view.XPosition, c.xPosition) << c.running << c.paused << c.toPicture << c.useChn2;
    EXPECT_EQ(result.XPosition, c.xPosition);
  }
  // A view past the end of the data is pulled back, and the scroll bar with it.
  settings.FixMode = 0;
  view.XPosition = 950;
  EXPECT_EQ(PaintOscilloscope(canvas, input, settings, view, {}).XPosition, 900);
}

}  // namespace
