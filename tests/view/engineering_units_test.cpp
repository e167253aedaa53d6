#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "view/EngineeringUnits.h"

namespace {

using namespace quelvar;

// A 12-bit card whose 0 V lies at half scale.
LiveConfig CardConfig() {
  LiveConfig config;
  config.VZero = 2048.0f;
  config.ADMax = 4096.0f;
  config.ChannelRate = 1000.0f;
  config.AmpGain = 0;
  config.ColdJunctionTemp = 20.0f;
  return config;
}

AnalogChannel ChannelOf(int32_t type, float a, float b) {
  AnalogChannel channel;
  channel.ChnIDDC = type;
  channel.ChnCoeA = a;
  channel.ChnCoeB = b;
  return channel;
}

struct RawCase {
  const char* what;
  int32_t type;
  float a, b;
  uint16_t ampGain;
  float raw;
  double expected;
  double tolerance;
};

TEST(RawToEngineering, ConvertsEachChannelType) {
  const RawCase cases[] = {
      {"DC at VZero is 0 V", kChannelDC, 0, 1, 0, 2048, 0.0, 1e-12},
      {"DC at ADMax is 5 V", kChannelDC, 0, 1, 0, 4096, 5.0, 1e-12},
      {"DC scaled", kChannelDC, 1, 2, 0, 3072, 6.0, 1e-12},
      {"AC like DC", kChannelAC, -1, 10, 0, 1024, -26.0, 1e-12},
      {"raw code itself", kChannelRawCode, 0, 1, 0, 1234, 1234.0, 0},
      {"raw scaled", kChannelRawCode, 3, 0.5f, 0, 100, 53.0, 1e-12},
      {"counter without divisor", kChannelCounter, 2, 3, 0, 5, 17.0, 1e-12},
      {"counter with divisor", kChannelCounter, 0, 1, 10, 5, 500.0, 1e-9},
      {"counter with signed divisor", kChannelCounter, 1, 1, 0xFFF6, 5, -499.0, 1e-9},
      {"period", kChannelPeriod, 0, 1, 0, 500, 0.5, 1e-12},
      {"period scaled", kChannelPeriod, 1, 1000, 0, 500, 501.0, 1e-9},
      {"compensated K at 0 V", kChannelKTypeCompensated, 0, 1, 0, 2048, 0.0, 1e-9},
      {"K at 0 V reads the cold junction", kChannelKType, 0, 1, 0, 2048, 20.0, 1e-6},
      {"compensated K above the table", kChannelKTypeCompensated, 0.06f, 1, 0, 2048, 1370.0, 1e-9},
      {"compensated K below the table", kChannelKTypeCompensated, -0.002f, 1, 0, 2048, -50.0, 1e-9},
      {"K of 0.2 mV plus the junction", kChannelKType, 0.0002f, 1, 0, 2048, 25.0, 1e-4},
      {"compensated J", kChannelJTypeCompensated, 0, 0.001f, 0, 3072, 75.0, 1e-4},
      {"J at 0 V reads the cold junction", kChannelJType, 0, 1, 0, 2048, 20.0, 1e-4},
      {"Pt at 100 ohms", kChannelPlatinum, 100, 1, 0, 2048, 0.0, 1e-9},
      {"Pt at 138.51 ohms", kChannelPlatinum, 138.51f, 1, 0, 2048, 100.0, 1e-4},
      {"Pt below the table", kChannelPlatinum, 50, 1, 0, 2048, -110.0, 1e-9},
      {"Pt from volts", kChannelPlatinum, 100, 38.51f, 0, 4096, 249.0, 1e-9},
      {"torque 1 identity at 3 V", kChannelTorque1, 0, 1, 0, 3276.8f, 3.0, 1e-5},
      {"torque 2 scaled after the curve", kChannelTorque2, 1, 2, 0, 3276.8f, 7.0, 1e-5},
      {"torque 3 at 0 V", kChannelTorque3, 0.5f, 1, 0, 2048, 0.5, 1e-9},
      {"torque power's own word", kChannelTorquePower, 1, 2, 0, 7, 15.0, 1e-12},
      {"unknown type 14", 14, 1, 2, 0, 7, 15.0, 1e-12},
      {"unknown type -1", -1, 1, 2, 0, 7, 15.0, 1e-12},
  };
  const TorqueTables torque;
  for (const RawCase& c : cases) {
    LiveConfig config = CardConfig();
    config.AmpGain = c.ampGain;
    EXPECT_NEAR(RawToEngineering(config, torque, ChannelOf(c.type, c.a, c.b), c.raw), c.expected, c.tolerance)
        << c.what;
  }
}

TEST(RawToEngineering, TorqueBeyondTheCurveIsExtendedNotClamped) {
  LiveConfig config = CardConfig();
  config.VZero = 0.0f;
  config.ADMax = 5000.0f;  // 1 mV a code
  const TorqueTables torque;
  EXPECT_NEAR(RawToEngineering(config, torque, ChannelOf(kChannelTorque1, 0, 1), 12000.0f), 12.0, 1e-9);
}

TEST(RawToEngineering, ThermocouplesCompensateWithTheCurrentColdJunction) {
  LiveConfig config = CardConfig();
  const TorqueTables torque;
  config.ColdJunctionTemp = 100.0f;
  EXPECT_NEAR(RawToEngineering(config, torque, ChannelOf(kChannelKType, 0, 1), 2048), 100.0, 1e-5);
  EXPECT_NEAR(RawToEngineering(config, torque, ChannelOf(kChannelJType, 0, 1), 2048), 100.0, 1e-4);
  EXPECT_NEAR(RawToEngineering(config, torque, ChannelOf(kChannelKTypeCompensated, 0, 1), 2048), 0.0, 1e-9);
}

TEST(VoltsToEngineering, ConvertsAVoltageByTheSameTable) {
  const RawCase cases[] = {
      {"DC", kChannelDC, 1, 2, 0, 2.5f, 6.0, 1e-12},
      {"raw type at 0 V is half of ADMax", kChannelRawCode, 0, 1, 0, 0, 2048.0, 1e-9},
      {"raw type at -5 V is 0", kChannelRawCode, 0, 1, 0, -5, 0.0, 1e-9},
      {"raw type at +5 V is ADMax", kChannelRawCode, 0, 1, 0, 5, 4096.0, 1e-9},
      {"counter from the code", kChannelCounter, 0, 1, 10, -5, 0.0, 1e-9},
      {"counter with divisor", kChannelCounter, 0, 1, 1024, 0, 2000.0, 1e-6},
      {"period from the code", kChannelPeriod, 0, 1, 0, 0, 2.048, 1e-9},
      {"unknown type from the code", 20, 1, 1, 0, 0, 2049.0, 1e-9},
      {"compensated K", kChannelKTypeCompensated, 0, 1, 0, 0.0008f, 20.0, 1e-4},
      {"Pt", kChannelPlatinum, 100, 1, 0, 38.51f, 100.0, 1e-4},
      {"torque extended", kChannelTorque1, 0, 1, 0, 12, 12.0, 1e-9},
  };
  const TorqueTables torque;
  for (const RawCase& c : cases) {
    LiveConfig config = CardConfig();
    config.AmpGain = c.ampGain;
    EXPECT_NEAR(VoltsToEngineering(config, torque, ChannelOf(c.type, c.a, c.b), c.raw), c.expected, c.tolerance)
        << c.what;
  }
}

TEST(VoltsToEngineering, CodeOfAVoltageIgnoresVZero) {
  LiveConfig config = CardConfig();
  config.VZero = 0.0f;
  config.ADMax = 4095.0f;
  EXPECT_NEAR(VoltsToEngineering(config, TorqueTables{}, ChannelOf(kChannelRawCode, 0, 1), 0.0), 2047.5, 1e-9);
}

TEST(VoltsToEngineering, AgreesWithRawToEngineeringWhenZeroIsHalfScale) {
  const TorqueTables torque;
  for (int32_t type = -1; type <= 14; ++type) {
    LiveConfig config = CardConfig();
    config.AmpGain = 7;
    const AnalogChannel channel = ChannelOf(type, type == kChannelPlatinum ? 120.0f : 0.001f, 1.5f);
    for (float raw : {0.0f, 1000.0f, 2048.0f, 2500.5f, 4096.0f}) {
      const double volts = VoltsOfRaw(raw, config.VZero, config.ADMax);
      EXPECT_NEAR(VoltsToEngineering(config, torque, channel, volts), RawToEngineering(config, torque, channel, raw),
                  1e-6)
          << "type " << type << " raw " << raw;
    }
  }
}

TEST(EngineeringUnits, ZeroDivisorsDropTheirTermInsteadOfDividingByZero) {
  const TorqueTables torque;
  LiveConfig config = CardConfig();
  config.VZero = 2048.0f;
  config.ADMax = 2048.0f;
  EXPECT_DOUBLE_EQ(RawToEngineering(config, torque, ChannelOf(kChannelDC, 1, 2), 3000), 1.0);
  config = CardConfig();
  config.ChannelRate = 0.0f;
  EXPECT_DOUBLE_EQ(RawToEngineering(config, torque, ChannelOf(kChannelPeriod, 4, 1), 500), 4.0);
  EXPECT_DOUBLE_EQ(VoltsToEngineering(config, torque, ChannelOf(kChannelPeriod, 4, 1), 1.0), 4.0);
}

TEST(EngineeringUnits, NaNPassesThroughWithoutHarm) {
  const TorqueTables torque;
  const float nan = std::numeric_limits<float>::quiet_NaN();
  LiveConfig config = CardConfig();
  for (int32_t type = 0; type <= 13; ++type)
    EXPECT_TRUE(std::isnan(RawToEngineering(config, torque, ChannelOf(type, 0, 1), nan))) << type;
  config.ColdJunctionTemp = nan;
  EXPECT_TRUE(std::isnan(RawToEngineering(config, torque, ChannelOf(kChannelKType, 0, 1), 2048)));
}

}  // namespace
