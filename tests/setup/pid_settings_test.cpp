#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "setup/PidSettings.h"

namespace {

using namespace quelvar;

PidEdits EditsOfDefaults() { return PidEditsOf(LiveConfig{}, 1.0f); }

TEST(PidSettings, OpeningShowsIntegersHexAndFourDecimals) {
  LiveConfig c;
  c.PIDMode = 1;
  c.IOBaseDA = 0x2F;
  c.DABit = 12;
  c.DANumChn = 2;
  c.ADiChn = 3;
  c.DAiChn = 1;
  c.SV = 2.5f;
  c.M = -0.125f;
  c.Kp = 10.0f;
  c.DAEnable = 1;
  c.PIDEnable = 0;
  const PidEdits e = PidEditsOf(c, 0.4f);
  EXPECT_EQ(e.PIDMode, "1");
  EXPECT_EQ(e.IOBaseDA, "02F");  // at least three digits
  EXPECT_EQ(e.DABit, "12");
  EXPECT_EQ(e.DANumChn, "2");
  EXPECT_EQ(e.ADiChn, "3");
  EXPECT_EQ(e.DAiChn, "1");
  EXPECT_EQ(e.SV, "2.5000");
  EXPECT_EQ(e.M, "-0.1250");
  EXPECT_EQ(e.Kp, "10.0000");
  EXPECT_EQ(e.T, "0.4000");
  EXPECT_TRUE(e.DAEnable);
  EXPECT_FALSE(e.PIDEnable);
  c.IOBaseDA = 0x1A00;
  EXPECT_EQ(PidEditsOf(c, 1.0f).IOBaseDA, "1A00");
}

TEST(PidSettings, OkReadsEachFieldWithItsFallbackAndClamp) {
  struct Case {
    const char* what;
    void (*edit)(PidEdits&);
    void (*check)(const LiveConfig&);
  };
  const Case cases[] = {
      {"DA channel beyond the count is the last one", [](PidEdits& e) { e.DAiChn = "5", e.DANumChn = "2"; },
       [](const LiveConfig& c) {
         EXPECT_EQ(c.DAiChn, 1);
         EXPECT_EQ(c.DANumChn, 2);
       }},
      {"no DA channels count as one", [](PidEdits& e) { e.DANumChn = "0", e.DAiChn = "3"; },
       [](const LiveConfig& c) {
         EXPECT_EQ(c.DANumChn, 1);
         EXPECT_EQ(c.DAiChn, 0);
       }},
      {"negative DA channel is 0", [](PidEdits& e) { e.DAiChn = "-4", e.DANumChn = "3"; },
       [](const LiveConfig& c) { EXPECT_EQ(c.DAiChn, 0); }},
      {"base address in hex", [](PidEdits& e) { e.IOBaseDA = "1A0"; },
       [](const LiveConfig& c) { EXPECT_EQ(c.IOBaseDA, 0x1A0); }},
      {"base address that is no hex", [](PidEdits& e) { e.IOBaseDA = "xyz"; },
       [](const LiveConfig& c) { EXPECT_EQ(c.IOBaseDA, 0x110); }},
      {"base address keeps its low 16 bits", [](PidEdits& e) { e.IOBaseDA = "12345"; },
       [](const LiveConfig& c) { EXPECT_EQ(c.IOBaseDA, 0x2345); }},
      {"bits keep their low 16 bits", [](PidEdits& e) { e.DABit = "65552"; },
       [](const LiveConfig& c) { EXPECT_EQ(c.DABit, 16); }},
      {"bits that are no number", [](PidEdits& e) { e.DABit = "twelve"; },
       [](const LiveConfig& c) { EXPECT_EQ(c.DABit, 8); }},
      {"empty initial output is 0", [](PidEdits& e) { e.M = ""; }, [](const LiveConfig& c) { EXPECT_EQ(c.M, 0.0f); }},
      {"mode stored as typed", [](PidEdits& e) { e.PIDMode = "7"; },
       [](const LiveConfig& c) { EXPECT_EQ(c.PIDMode, 7); }},
      {"mode that is no number is incremental", [](PidEdits& e) { e.PIDMode = "a"; },
       [](const LiveConfig& c) { EXPECT_EQ(c.PIDMode, 1); }},
      {"reals that are no number", [](PidEdits& e) { e.SV = e.Kp = e.Ti = e.Td = "?"; },
       [](const LiveConfig& c) {
         EXPECT_EQ(c.SV, 1.0f);
         EXPECT_EQ(c.Kp, 1.0f);
         EXPECT_EQ(c.Ti, 1.0f);
         EXPECT_EQ(c.Td, 1.0f);
       }},
      {"a real beyond a float is no number", [](PidEdits& e) { e.Kp = "1e300"; },
       [](const LiveConfig& c) { EXPECT_EQ(c.Kp, 1.0f); }},
      {"reals as typed", [](PidEdits& e) { e.SV = "2.25", e.Ti = "-3"; },
       [](const LiveConfig& c) {
         EXPECT_EQ(c.SV, 2.25f);
         EXPECT_EQ(c.Ti, -3.0f);
       }},
      {"the check marks", [](PidEdits& e) { e.DAEnable = true, e.PIDEnable = true; },
       [](const LiveConfig& c) {
         EXPECT_EQ(c.DAEnable, 1);
         EXPECT_EQ(c.PIDEnable, 1);
       }},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    PidEdits e = EditsOfDefaults();
    k.edit(e);
    LiveConfig c;
    c.Kp = 99.0f;  // must be overwritten
    ApplyPidEdits(e, c);
    k.check(c);
  }
}

TEST(PidSettings, TheSampleIntervalFollowsTheDriverRate) {
  LiveConfig c;
  c.Analog_Num = 8;
  c.DANumChn = 2;
  c.FrqSamp = 6000;
  // Without the driver entry: FrqSamp.
  EXPECT_FLOAT_EQ(PidPeriodMsOf(c, nullptr), 1000.0f / 6000.0f);
  // The driver's per-channel rate for the AD channels left (8 - 2).
  static int32_t askedChannels;
  const AdChannelFrqFn perChannel = [](int32_t analogNum, int32_t frqSamp) {
    askedChannels = analogNum;
    return static_cast<float>(frqSamp) / static_cast<float>(analogNum);
  };
  EXPECT_FLOAT_EQ(PidPeriodMsOf(c, perChannel), 1.0f);
  EXPECT_EQ(askedChannels, 6);
  c.OnlineResamp = 1;
  c.ResampNum = 4;
  EXPECT_FLOAT_EQ(PidPeriodMsOf(c, perChannel), 4.0f);
  // A rate that is negative, zero or no number counts as 1 per second.
  for (const AdChannelFrqFn bad :
       {AdChannelFrqFn([](int32_t, int32_t) { return -5.0f; }), AdChannelFrqFn([](int32_t, int32_t) { return 0.0f; }),
        AdChannelFrqFn([](int32_t, int32_t) { return std::nanf(""); })}) {
    EXPECT_FLOAT_EQ(PidPeriodMsOf(c, bad), 1000.0f);
  }
}

}  // namespace
