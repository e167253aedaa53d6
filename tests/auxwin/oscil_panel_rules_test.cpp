#include "auxwin/OscilPanelRules.h"

#include <gtest/gtest.h>

namespace quelvar {
namespace {

constexpr float kADMax = 4095.0f;
constexpr float kVZero = 2048.0f;

TEST(OscilPanelRules, GainTableBothWaysWithLabelsAndDivisions) {
  struct Row {
    int32_t step, gain;
    const char* label;
    int32_t division;
  };
  const Row rows[] = {
      {1, 1, "2.000", 1000},   {2, 2, "1.000", 500},   {3, 5, "0.400", 200},   {4, 10, "0.200", 100},
      {5, 20, "0.100", 50},    {6, 50, "0.040", 20},   {7, 100, "0.020", 10},  {8, 200, "0.010", 5},
      {9, 500, "0.004", 2},    {10, 1000, "0.002", 1}, {11, 2000, "0.001", 1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.step);
    EXPECT_EQ(GainOfZoomStep(r.step), r.gain);
    EXPECT_EQ(ZoomStepOfGain(r.gain), r.step);
    EXPECT_EQ(ZoomLabelText(r.gain), r.label);
    EXPECT_EQ(OffsetDivision(r.gain), r.division);
  }
  for (int32_t stray : {0, -1, 12, 99}) EXPECT_EQ(GainOfZoomStep(stray), 2000) << stray;
  for (int32_t unlisted : {0, 3, 11, 4000, -10}) EXPECT_EQ(ZoomStepOfGain(unlisted), 11) << unlisted;
}

TEST(OscilPanelRules, GainStepControlIsReadUnlessThePainterPicksTheGain) {
  OscilToolSettings s;
  s.ACDC1 = 1;  // DC
  s.ZoomStep1 = 1;
  GainStepResult g = ApplyGainStep(s, 1, 7);
  EXPECT_EQ(s.ZoomStep1, 7);
  EXPECT_EQ(s.YZoom1, 100);
  EXPECT_EQ(g.Label, "0.020");
  EXPECT_EQ(g.OffsetLargeStep, 10);
  EXPECT_TRUE(g.Repaint);

  // Auto-scale: the step the painter set stays, whatever the control shows.
  s.ACDC2 = kCouplingAutoScale;
  s.ZoomStep2 = 4;
  s.YZoom2 = 1;
  g = ApplyGainStep(s, 2, 9);
  EXPECT_EQ(s.ZoomStep2, 4);
  EXPECT_EQ(s.YZoom2, 10);
  EXPECT_EQ(g.Label, "0.200");
  EXPECT_FALSE(g.Repaint);
  EXPECT_EQ(s.YZoom1, 100);  // the other trace untouched

  s.ZoomStep2 = 11;
  g = ApplyPainterGainStep(s, 2);
  EXPECT_EQ(s.YZoom2, 2000);
  EXPECT_EQ(g.Label, "0.001");
  EXPECT_FALSE(g.Repaint);
}

TEST(OscilPanelRules, OffsetMenuMovesWholeDivisionsTowardTheCentreWithinTheLimits) {
  struct Row {
    const char* what;
    int32_t position, gain, divisions, expected;
  };
  const Row rows[] = {
      {"上移一格 from between divisions", 250, 10, -1, 100},
      {"下移一格 from between divisions", -250, 10, 1, -100},
      {"上移二格 from the centre", 0, 10, -2, -200},
      {"下移八格 up to the limit", 2000, 10, 8, 2500},
      {"上移八格 down to the limit", -2000, 10, -8, -2500},
      {"下移四格 at gain 1", 0, 1, 4, 2500},
      {"one unit a division at gain 2000", 5, 2000, 1, 6},
      {"上移八格 at gain 2000", 5, 2000, -8, -3},
      {"下移二格 at gain 5", 130, 5, 2, 400},
      {"上移一格 from the top", 2500, 100, -1, 2490},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(OffsetMenuPosition(r.position, r.gain, r.divisions), r.expected) << r.what;
  }
}

TEST(OscilPanelRules, OffsetIsStoredWithItsVoltsHint) {
  OscilToolSettings s;
  const OffsetResult r = ApplyOffset(s, 2, 50);
  EXPECT_EQ(s.YOffset2, 50);
  EXPECT_EQ(s.YOffset1, 0);
  EXPECT_EQ(r.Hint, "Y偏移=0.100V");
  EXPECT_TRUE(r.Repaint);
  EXPECT_EQ(OffsetHintText(-2500), "Y偏移=-5.000V");
  EXPECT_EQ(OffsetHintText(0), "Y偏移=0.000V");
  EXPECT_EQ(OffsetHintText(1), "Y偏移=0.002V");
}

TEST(OscilPanelRules, ChannelNumberOutsideTheChannelsOrNoNumberIsChannelZero) {
  LiveConfig config;
  config.Analog_Num = 4;
  config.SW_Num = 2;
  config.AnalogChannelTable[0].ChnName = "Ua";
  config.AnalogChannelTable[3].ChnName = "Ic";
  config.SwitchChannelTable[0].SWName = "断路器";
  config.SwitchChannelTable[1].SWName = "刀闸";
  struct Row {
    const char* text;
    int32_t number;
    const char* hint;
  };
  const Row rows[] = {
      {"3", 3, "AD通道:Ic"},      {"4", 4, "SW通道:断路器"}, {"5", 5, "SW通道:刀闸"},
      {"6", 0, "AD通道:Ua"},      {"-1", 0, "AD通道:Ua"},     {"abc", 0, "AD通道:Ua"},
      {"", 0, "AD通道:Ua"},       {" 2 ", 2, "AD通道:Chn2"},      {"99999999999", 0, "AD通道:Ua"},
      {"1.5", 0, "AD通道:Ua"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    OscilToolSettings s;
    s.ChnAD2 = 1;
    const ChannelNumberResult c = ApplyChannelNumber(s, 2, r.text, config);
    EXPECT_EQ(c.Number, r.number);
    EXPECT_EQ(s.ChnAD2, r.number);
    EXPECT_EQ(s.ChnAd1, 0);
    EXPECT_EQ(c.Text, std::to_string(r.number));
    EXPECT_EQ(c.Hint, r.hint);
    EXPECT_TRUE(c.Repaint);
  }
}

TEST(OscilPanelRules, TraceUseKeepsOneTraceOnAndTheLockOnAUsedTrace) {
  // The boxes as the click left them; the stored fields as before the click.
  struct Row {
    const char* what;
    int trace;
    bool ticked, otherTicked;
    int32_t analog;
    int32_t use1, use2, fixChn;           // before
    int32_t use1After, use2After, fixChnAfter;
    bool shownTicked, lockRuleRan, repaint;
  };
  const Row rows[] = {
      {"trace 1 off, lock on it: moves to trace 2", 1, false, true, 4, 1, 1, 1, 0, 1, 2, false, true, true},
      {"trace 2 off, lock on trace 1: stays", 2, false, true, 4, 1, 1, 1, 1, 0, 1, false, true, true},
      {"trace 2 off, lock on it: moves to trace 1", 2, false, true, 4, 1, 1, 2, 1, 0, 1, false, true, true},
      {"the only trace on is ticked again", 1, false, false, 4, 1, 0, 1, 1, 0, 1, true, false, true},
      {"trace 2 ticked on", 2, true, true, 4, 1, 0, 1, 1, 1, 1, true, false, true},
      {"one analog channel refuses trace 2", 2, true, true, 1, 1, 0, 1, 1, 0, 1, false, false, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    OscilToolSettings s;
    s.UseChn1 = r.use1;
    s.UseChn2 = r.use2;
    s.FixChn = r.fixChn;
    const TraceUseResult u = ApplyTraceUse(s, r.trace, r.ticked, r.otherTicked, r.analog);
    EXPECT_EQ(s.UseChn1, r.use1After);
    EXPECT_EQ(s.UseChn2, r.use2After);
    EXPECT_EQ(s.FixChn, r.fixChnAfter);
    EXPECT_EQ(u.Ticked, r.shownTicked);
    EXPECT_EQ(u.FixChnCaption.has_value(), r.lockRuleRan);
    if (u.FixChnCaption) {
      EXPECT_EQ(*u.FixChnCaption, FixChnCaption(r.fixChnAfter));
    }
    EXPECT_EQ(u.Repaint, r.repaint);
  }
}

TEST(OscilPanelRules, PhaseLockTraceNeverMovesOntoATraceThatIsOff) {
  struct Row {
    int32_t fixChn, use1, use2, expected;
  };
  const Row rows[] = {
      {1, 1, 1, 2}, {2, 1, 1, 1},  // both on: toggles
      {1, 1, 0, 1}, {2, 1, 0, 1},  // only trace 1 on
      {1, 0, 1, 2}, {2, 0, 1, 2},  // only trace 2 on
      {7, 0, 1, 2}, {7, 1, 1, 1},  // a stray code counts as trace 2
  };
  for (const Row& r : rows) {
    OscilToolSettings s;
    s.FixChn = r.fixChn;
    s.UseChn1 = r.use1;
    s.UseChn2 = r.use2;
    const FixChnResult f = ApplyFixChnRule(s);
    EXPECT_EQ(s.FixChn, r.expected) << r.fixChn << r.use1 << r.use2;
    EXPECT_EQ(f.Caption, r.expected == 1 ? "踪1" : "踪2");
    EXPECT_TRUE(f.Repaint);
  }
}

TEST(OscilPanelRules, CouplingAndModeCyclesWithTheirCaptions) {
  struct Coupling {
    int32_t code, next;
    const char* caption;
    int32_t item;
  };
  const Coupling couplings[] = {{0, 1, "交流", 0}, {1, 2, "直流", 1}, {2, 3, "接地", 2},
                                {3, 0, "自动", 3}, {9, 0, "自动", 3}, {-1, 0, "自动", 3}};
  for (const Coupling& c : couplings) {
    EXPECT_EQ(NextCoupling(c.code), c.next) << c.code;
    EXPECT_EQ(CouplingCaption(c.code), c.caption) << c.code;
    EXPECT_EQ(CouplingMenuItem(c.code), c.item) << c.code;
  }
  struct Mode {
    int32_t code, next;
    const char* caption;
  };
  const Mode modes[] = {{0, 1, "无"},       {1, 2, "上顶点"},   {2, 3, "下顶点"}, {3, 4, "高于电平"},
                        {4, 0, "低于电平"}, {7, 0, "低于电平"}, {-2, 0, "低于电平"}};
  for (const Mode& m : modes) {
    EXPECT_EQ(NextFixMode(m.code), m.next) << m.code;
    EXPECT_EQ(FixModeCaption(m.code), m.caption) << m.code;
  }
}

TEST(OscilPanelRules, LevelTypedInVoltsIsTheLevelActuallyUsed) {
  struct Row {
    const char* text;
    uint16_t code;
    int32_t position;
    const char* shown;
  };
  const Row rows[] = {
      {"1.25", 2559, 4095 - 2559, "1.2482"}, {"7", 2048, 2047, "0.0000"},   {"abc", 2048, 2047, "0.0000"},
      {"", 2048, 2047, "0.0000"},            {"-5.0024", 0, 4095, "-5.0024"}, {"5", 4095, 0, "5.0000"},
      {"-1.25", 1536, 4095 - 1536, "-1.2506"}, {"-6", 2048, 2047, "0.0000"}, {"inf", 2048, 2047, "0.0000"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    OscilToolSettings s;
    const FixVoltResult f = ApplyFixVoltText(s, r.text, kADMax, kVZero);
    EXPECT_EQ(s.FixVolt, r.code);
    EXPECT_EQ(f.ScrollPosition, r.position);
    EXPECT_EQ(f.Text, r.shown);
    EXPECT_TRUE(f.Repaint);
  }
}

TEST(OscilPanelRules, LevelScrollBarRunsFromFullScaleAtTheTop) {
  struct Row {
    int32_t position;
    uint16_t code;
    const char* shown;
  };
  const Row rows[] = {{0, 4095, "5.0000"}, {2047, 2048, "0.0000"}, {4095, 0, "-5.0024"}, {5000, 2048, "0.0000"},
                      {-10, 2048, "0.0000"}};
  for (const Row& r : rows) {
    OscilToolSettings s;
    const FixVoltResult f = ApplyFixVoltPosition(s, r.position, kADMax, kVZero);
    EXPECT_EQ(s.FixVolt, r.code) << r.position;
    EXPECT_EQ(f.Text, r.shown) << r.position;
    EXPECT_TRUE(f.Repaint);
  }
  EXPECT_EQ(LevelVoltsText(100, 2048.0f, 2048.0f), "0.0000");  // a card without span
}

TEST(OscilPanelRules, RefreshPeriodThatIsNoPositiveNumberIsTwentyMilliseconds) {
  struct Row {
    const char* text;
    int32_t period;
  };
  const Row rows[] = {{"150", 150}, {" 40 ", 40}, {"1", 1}, {"0", 20}, {"-5", 20}, {"abc", 20},
                      {"", 20},     {"12ms", 20}, {"100000", 100000}};
  for (const Row& r : rows) EXPECT_EQ(RefreshPeriodOfText(r.text), r.period) << r.text;
}

}  // namespace
}  // namespace quelvar
