#include "auxwin/OscilTool.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/MemoryRegistry.h"

namespace quelvar {
namespace {

TEST(OscilPanel, TheStartCorrectsChannelsOffsetsGainsAndTheLevel) {
  struct Case {
    const char* what;
    int32_t analog, switches;
    OscilToolSettings in;
    std::function<void(const OscilToolSettings&, const OscilPanelView&)> check;
  };
  OscilToolSettings defaults;
  OscilToolSettings lastTwice = defaults;
  lastTwice.ChnAd1 = lastTwice.ChnAD2 = 5;
  OscilToolSettings outside = defaults;
  outside.ChnAd1 = 9;
  outside.ChnAD2 = -1;
  OscilToolSettings gains = defaults;
  gains.YZoom1 = 3;
  gains.YZoom2 = 1000;
  gains.YOffset1 = 3000;
  gains.YOffset2 = -2500;
  OscilToolSettings high = defaults;
  high.FixVolt = 5000;
  high.FixMode = 7;
  high.ACDC1 = 9;
  high.Neg2 = 1;
  OscilToolSettings bothOff = defaults;
  bothOff.UseChn1 = bothOff.UseChn2 = 0;
  bothOff.Interval = 0;
  OscilToolSettings lockOnOffTrace = defaults;
  lockOnOffTrace.UseChn2 = 0;
  lockOnOffTrace.FixChn = 2;
  OscilToolSettings strayLock = defaults;
  strayLock.FixChn = 7;
  const Case cases[] = {
      {"first start: traces on channels 0 and 1", 4, 2, defaults,
       [](const OscilToolSettings& s, const OscilPanelView& v) {
         EXPECT_EQ(s.ChnAd1, 0);
         EXPECT_EQ(s.ChnAD2, 1);
         EXPECT_TRUE(v.SecondTraceEnabled);
         EXPECT_EQ(v.ChannelMax, 5);
         EXPECT_EQ(v.Traces[0].CouplingCaption, "自动");
         EXPECT_EQ(v.Traces[0].ZoomLabel, "2.000");
         EXPECT_EQ(v.FixModeCaption, "无");
         EXPECT_EQ(v.FixChnCaption, "踪1");
         EXPECT_EQ(s.FixVolt, 0);
         EXPECT_EQ(v.FixVoltText, "-5.0024");  // level code 0
         EXPECT_EQ(s.ZoomStep1, 1);
         EXPECT_EQ(s.ZoomStep2, 1);
         EXPECT_EQ(s.YOffset1, 0);
         EXPECT_EQ(s.Interval, 150);
         EXPECT_EQ(v.Traces[0].ChannelText, "0");
         EXPECT_EQ(v.Traces[0].ChannelHint, "AD通道:Chn0");
         EXPECT_EQ(v.Traces[1].ChannelText, "1");
         EXPECT_EQ(v.Traces[0].OffsetHint, "Y偏移=0.000V");
         EXPECT_EQ(v.Traces[0].OffsetLargeStep, 1000);
       }},
      {"one analog channel", 1, 0, defaults,
       [](const OscilToolSettings& s, const OscilPanelView& v) {
         EXPECT_FALSE(v.SecondTraceEnabled);
         EXPECT_EQ(s.UseChn1, 1);
         EXPECT_EQ(s.UseChn2, 0);
         EXPECT_EQ(s.FixChn, 1);
         EXPECT_EQ(v.FixChnCaption, "踪1");
         EXPECT_EQ(s.ChnAD2, 0);  // one channel in all: back to 0
       }},
      {"both on the last channel", 4, 2, lastTwice,
       [](const OscilToolSettings& s, const OscilPanelView&) {
         EXPECT_EQ(s.ChnAd1, 5);
         EXPECT_EQ(s.ChnAD2, 4);
       }},
      {"channels outside the configuration", 4, 2, outside,
       [](const OscilToolSettings& s, const OscilPanelView&) {
         EXPECT_EQ(s.ChnAd1, 0);
         EXPECT_EQ(s.ChnAD2, 1);
       }},
      {"unlisted and largest gains, offsets", 4, 0, gains,
       [](const OscilToolSettings& s, const OscilPanelView& v) {
         // An unlisted gain used to be kept as gain 11; the step's gain is 2000.
         EXPECT_EQ(s.ZoomStep1, 11);
         EXPECT_EQ(s.YZoom1, 2000);
         EXPECT_EQ(v.Traces[0].ZoomLabel, "0.001");
         EXPECT_EQ(v.Traces[0].OffsetHint, "Y偏移=0.000V");
         EXPECT_EQ(s.YOffset1, 0);
         EXPECT_EQ(s.ZoomStep2, 10);
         EXPECT_EQ(v.Traces[1].OffsetLargeStep, 1);
         EXPECT_EQ(v.Traces[1].ZoomLabel, "0.002");
         EXPECT_EQ(s.YOffset2, -2500);
       }},
      {"level above full scale, stray codes", 4, 0, high,
       [](const OscilToolSettings& s, const OscilPanelView& v) {
         EXPECT_EQ(s.FixVolt, 2048);
         EXPECT_EQ(v.FixVoltText, "0.0000");
         EXPECT_EQ(v.FixVoltPosition, 4095 - 2048);
         EXPECT_EQ(v.FixVoltMax, 4095);
         EXPECT_EQ(v.FixVoltLargeStep, 204);
         EXPECT_EQ(v.FixModeCaption, "低于电平");
         EXPECT_EQ(v.Traces[0].CouplingCaption, "自动");
         EXPECT_EQ(v.Traces[1].SignCaption, "负");
         // The picture does what the panel shows.
         EXPECT_EQ(s.ACDC1, 3);
         EXPECT_EQ(s.FixMode, 4);
       }},
      {"no trace on and no refresh period in the registry", 4, 0, bothOff,
       [](const OscilToolSettings& s, const OscilPanelView&) {
         EXPECT_EQ(s.UseChn1, 1);
         EXPECT_EQ(s.UseChn2, 0);
         EXPECT_EQ(s.Interval, 20);
       }},
      {"the lock on a trace that is off", 4, 0, lockOnOffTrace,
       [](const OscilToolSettings& s, const OscilPanelView& v) {
         EXPECT_EQ(s.FixChn, 1);
         EXPECT_EQ(v.FixChnCaption, "踪1");
       }},
      {"a stray lock code is the trace its caption names", 4, 0, strayLock,
       [](const OscilToolSettings& s, const OscilPanelView& v) {
         EXPECT_EQ(s.FixChn, 2);
         EXPECT_EQ(v.FixChnCaption, "踪2");
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OscilToolSettings s = c.in;
    LiveConfig config;
    config.Analog_Num = c.analog;
    config.SW_Num = c.switches;
    config.ADMax = 4095.0f;
    config.VZero = 2048.0f;
    const OscilPanelView v = PrepareOscilPanel(s, config);
    c.check(s, v);
  }
}

TEST(OscilPanel, SettingsKeepTheirValueNamesInTheRegistryAndDefaultsWhenMissing) {
  platform::MemoryRegistry registry;
  OscilToolSettings s;
  LoadOscilToolSettings(registry, "QuelvarTorque", s);
  EXPECT_EQ(s.Interval, 150);
  EXPECT_EQ(s.ACDC2, 3);
  s.Interval = 40;
  s.ChnAd1 = 3;
  s.ChnAD2 = 7;
  s.FixVolt = 65000;
  s.LocalZoom = 1;  // never stored
  SaveOscilToolSettings(registry, "QuelvarTorque", s);
  EXPECT_EQ(registry.ReadInt32("\\SOFTWARE\\QuelvarTorque\\OscilTool", "ChnAd1"), 3);
  EXPECT_EQ(registry.ReadInt32("\\SOFTWARE\\QuelvarTorque\\OscilTool", "ChnAD2"), 7);
  EXPECT_EQ(registry.ReadInt32("\\SOFTWARE\\QuelvarTorque\\OscilTool", "FixVolt"), 65000);
  EXPECT_FALSE(registry.ReadInt32("\\SOFTWARE\\QuelvarTorque\\OscilTool", "LocalZoom").has_value());
  OscilToolSettings back;
  LoadOscilToolSettings(registry, "QuelvarTorque", back);
  EXPECT_EQ(back.Interval, 40);
  EXPECT_EQ(back.ChnAD2, 7);
  EXPECT_EQ(back.FixVolt, 65000);
  EXPECT_EQ(back.LocalZoom, 0);
}

}  // namespace
}  // namespace quelvar
