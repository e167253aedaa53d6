// The edit rules of the analysis panels: FFT points, channel numbers and the
// oscilloscope traces that stand for the channels.

#include <gtest/gtest.h>

#include "analysis/AnalysisPanelEdits.h"

namespace quelvar {
namespace {

TEST(AnalysisPanelEdits, FftPointsRoundDownToAPowerOfTwoWithinTheRange) {
  struct Case {
    const char* text;
    int32_t unparsed;
    int32_t points;
  };
  const Case cases[] = {
      {"1000", 1024, 512},    {"70000", 1024, 65536}, {"65536", 32, 65536}, {"65535", 32, 32768},
      {"40", 1024, 32},       {"64", 32, 64},         {"63", 32, 32},       {"0", 1024, 32},
      {"-300", 1024, 32},     {" 256 ", 32, 256},     {"abc", 1024, 1024},  {"abc", 32, 32},
      {"", 1024, 1024},       {"12.5", 32, 32},       {"99999999999", 1024, 1024},
      {"2147483647", 32, 65536},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RoundFftPoints(c.text, c.unparsed), c.points) << "'" << c.text << "' default " << c.unparsed;
  }
}

TEST(AnalysisPanelEdits, FftOrderGivesItsPowerOfTwoWithinFiveToSixteen) {
  EXPECT_EQ(FftPointsOfOrder(8), 256);
  EXPECT_EQ(FftPointsOfOrder(5), 32);
  EXPECT_EQ(FftPointsOfOrder(16), 65536);
  EXPECT_EQ(FftPointsOfOrder(4), 32);
  EXPECT_EQ(FftPointsOfOrder(40), 65536);
}

TEST(AnalysisPanelEdits, ChannelNumbersWrapAroundTheAnalogChannels) {
  struct Case {
    const char* text;
    int32_t analogNum;
    int32_t channel;
  };
  const Case cases[] = {
      {"-1", 4, 3}, {"-7", 4, 3}, {"4", 4, 0}, {"9", 4, 0}, {"2", 4, 2}, {"0", 4, 0},
      {"x", 4, 0},  {"", 4, 0},   {"3", 1, 0}, {"-1", 1, 0}, {"-1", 0, 0}, {"5", 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WrapPanelChannel(c.text, c.analogNum), c.channel) << "'" << c.text << "' of " << c.analogNum;
  }
}

TEST(AnalysisPanelEdits, OscilloscopeTracesTakeTheChannelsPlace) {
  OscilToolSettings oscil;
  oscil.ChnAd1 = 2;
  oscil.ChnAD2 = 1;
  struct Case {
    int32_t edit;
    int32_t useChn1;
    int32_t useChn2;
    int32_t channel;
  };
  // Typed "3" in both edits; four analog channels.
  const Case cases[] = {
      {1, 1, 1, 2}, {1, 1, 0, 2}, {1, 0, 1, 1}, {1, 0, 0, 1},
      {2, 1, 1, 1}, {2, 1, 0, 3}, {2, 0, 1, 3}, {2, 0, 0, 3},
  };
  for (const Case& c : cases) {
    oscil.UseChn1 = c.useChn1;
    oscil.UseChn2 = c.useChn2;
    const PanelChannel got = ResolvePanelChannel(c.edit, "3", 4, 2, oscil);
    EXPECT_EQ(got.channel, c.channel) << "edit " << c.edit << " use " << c.useChn1 << c.useChn2;
    EXPECT_TRUE(got.analog);
  }
  // Outside the oscilloscope the typed numbers stand.
  oscil.UseChn1 = oscil.UseChn2 = 1;
  for (const int32_t mode : {0, 1}) {
    EXPECT_EQ(ResolvePanelChannel(1, "3", 4, mode, oscil).channel, 3);
    EXPECT_EQ(ResolvePanelChannel(2, "-1", 4, mode, oscil).channel, 3);
  }
}

TEST(AnalysisPanelEdits, SwitchInputTraceIsNotAnAnalogChannel) {
  OscilToolSettings oscil;
  oscil.ChnAd1 = 5;  // the second switch input behind four analog channels
  oscil.ChnAD2 = 4;
  const PanelChannel first = ResolvePanelChannel(1, "0", 4, 2, oscil);
  EXPECT_EQ(first.channel, 5);
  EXPECT_FALSE(first.analog);
  EXPECT_FALSE(ResolvePanelChannel(2, "0", 4, 2, oscil).analog);
  EXPECT_FALSE(ResolvePanelChannel(1, "0", 0, 0, oscil).analog);  // no analog channels at all
}

}  // namespace
}  // namespace quelvar
