#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "acquisition/AlgorithmPreparation.h"
#include "acquisition/ChannelLayout.h"
#include "acquisition/PrepareStart.h"

namespace {

using namespace quelvar;

// Eight analog channels at 1200 Hz on a 50 Hz system (24 samples a cycle),
// codes 0..4095 around 2048, each channel 1 unit per volt.
class AlgorithmPreparation : public ::testing::Test {
 protected:
  AppState s;
  std::vector<std::string> log;

  void SetUp() override {
    LiveConfig& c = s.config;
    c.Analog_Num = 8;
    c.Total_Line = 1;
    c.LineTable[0].APhaseNum = 8;
    c.SW_Num = 0;
    c.NumSamp = 240;
    c.ChannelRate = 1200.0f;
    c.ACFrq = 50.0f;
    c.VZero = 2048.0f;
    c.ADMax = 4095.0f;
    c.SamplesPerCycle = 24;
    s.acq.SamplesPerTwelfthCycle = 2;
    for (auto& ch : c.AnalogChannelTable) {
      ch.ChnCoeA = 0.0f;
      ch.ChnCoeB = 1.0f;
    }
  }
  AlgorithmConfig& Add(int32_t type, std::vector<int32_t> channels, std::vector<float> setPoints = {1.0f}) {
    AlgorithmConfig& a = s.config.AlgorithmTable[static_cast<size_t>(s.config.Algorithm_Num++)];
    a = AlgorithmConfig{};
    a.Type = type;
    a.UsedChn = static_cast<int32_t>(channels.size());
    for (size_t j = 0; j < channels.size(); ++j) a.Channel[j] = channels[j];
    a.SetPointNum = static_cast<int32_t>(setPoints.size());
    for (size_t j = 0; j < setPoints.size(); ++j) a.SetPoint[j] = setPoints[j];
    return a;
  }
  void Prepare() {
    PrepareTriggerAlgorithms(s, [this](const std::string& l) { log.push_back(l); });
  }
  // Codes per volt of the fixture: 2047 / 5.
  static double CodesPerUnit() { return 2047.0 / 5.0; }
};

TEST_F(AlgorithmPreparation, PeakAndValleySetPointsBecomeClampedCodes) {
  s.config.Analog_Num = 2;
  Add(2, {1}, {-100.0f});  // far below the codes: clamped to 0
  Add(5, {0});
  Add(1, {0}, {1000.0f});  // beyond full scale: clamped, never wrapped
  Add(1, {0}, {1.0f});
  Prepare();
  EXPECT_EQ(s.triggers.ThresholdCode[0], 0);
  EXPECT_EQ(s.triggers.ThresholdCode[2], 65535);
  EXPECT_EQ(s.triggers.ThresholdCode[3], 2457);  // 2048 + 409.4
  EXPECT_EQ(s.acq.ThresholdTriggerActive, 1);
  EXPECT_EQ(log.front(), "\r\n 提示:有峰值或谷值启动算法!");
  EXPECT_EQ(s.acq.AnalogTriggerActive, 1);  // the type-5 algorithm is planned too
  uint16_t raw = 0;
  std::memcpy(&raw, &s.config.AlgorithmTable[3].SetPoint[5], sizeof raw);
  EXPECT_EQ(raw, 2457);  // the code also travels in the record's spare slot
}

TEST_F(AlgorithmPreparation, AChannelOutsideTheTableEndsThePreparation) {
  struct Case {
    const char* what;
    int32_t type;
    int32_t usedChn;
    std::vector<int32_t> channels;
    std::string line;
  } cases[] = {
      {"second channel beyond the analog channels", 19, 2, {0, 8}, "\r\n 错误: 启动算法0,第2通道: 8 非法!"},
      {"negative channel", 3, 1, {-1}, "\r\n 错误: 启动算法0,第1通道: -1 非法!"},
      // The record says one channel; its type reads three.
      {"UsedChn short of the type's inputs", 8, 1, {0, 1, 99}, "\r\n 错误: 启动算法0,第3通道: 99 非法!"},
  };
  for (const Case& c : cases) {
    s = AppState{};
    SetUp();
    log.clear();
    AlgorithmConfig& a = Add(c.type, c.channels);
    a.UsedChn = c.usedChn;
    Prepare();
    ASSERT_FALSE(log.empty()) << c.what;
    EXPECT_EQ(log.back(), c.line) << c.what;
    EXPECT_EQ(s.acq.AnalogTriggerActive, 0) << c.what;
    EXPECT_EQ(s.acq.ThresholdTriggerActive, 0) << c.what;
  }
}

TEST_F(AlgorithmPreparation, EqualQuantitiesAreComputedOnceButCountedPerOperand) {
  Add(5, {2});
  Add(6, {2});
  Prepare();
  ASSERT_EQ(s.acq.AnalogTriggerActive, 1);
  EXPECT_EQ(s.plan.MeasurementList.size(), 1u);
  ASSERT_EQ(s.plan.OperandTable.size(), 2u);
  EXPECT_EQ(s.plan.OperandTable[0], s.plan.OperandTable[1]);
  EXPECT_EQ(s.plan.AlgorithmFirstOperand[1], 1);
  EXPECT_EQ(s.plan.SourceNodeCount[2], 1);
}

TEST_F(AlgorithmPreparation, NegativeSequenceRowsAreSharedBetweenTypes10And22) {
  Add(10, {3, 4, 5});
  Add(22, {0, 1, 2, 3, 4, 5});
  Prepare();
  ASSERT_EQ(s.acq.AnalogTriggerActive, 1);
  const auto& rows = s.plan.CompositeSourceTable;
  ASSERT_EQ(rows.size(), 4u);  // (3,4,5), (0,1,2), its increment, the increment of (3,4,5)
  EXPECT_EQ(rows[0].Kind, kNegativeSequence);
  EXPECT_EQ(rows[1].ChannelA, 0);
  EXPECT_EQ(rows[2].Kind, kIncrement);
  EXPECT_EQ(rows[2].ChannelA, 8 + 1);
  EXPECT_EQ(rows[3].ChannelA, 8 + 0);
  // Type 22's operands: the fundamentals of the two increments.
  const TriggerPlan& p = s.plan;
  EXPECT_EQ(p.MeasurementList[static_cast<size_t>(p.OperandTable[1])].Source, 8 + 2);
  EXPECT_EQ(p.MeasurementList[static_cast<size_t>(p.OperandTable[2])].Source, 8 + 3);
  EXPECT_EQ(p.HistoryRowsNeeded, 2 * (24 + 2));
}

TEST_F(AlgorithmPreparation, OnlyPeakAndValleyLeaveTheEnginePlanEmpty) {
  Add(1, {0});
  Add(2, {1});
  Add(0, {});
  Prepare();
  EXPECT_EQ(s.acq.ThresholdTriggerActive, 1);
  EXPECT_EQ(s.acq.AnalogTriggerActive, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"\r\n 提示:有峰值或谷值启动算法!", "\r\n 注:无有效的启动算法需处理!"}));
}

TEST_F(AlgorithmPreparation, DcTypesNeedFourRowsAndNoCycleSampling) {
  Add(3, {0});
  Add(4, {1});
  Add(9, {2});
  Prepare();
  EXPECT_EQ(s.acq.AnalogTriggerActive, 1);
  EXPECT_EQ(s.acq.NeedsCycleSampling, 0);
  EXPECT_EQ(s.plan.HistoryRowsNeeded, 4);
}

TEST_F(AlgorithmPreparation, FullTablesEndThePreparationWithTheirMessage) {
  // 41 distinct frequency channels, and 81 distinct composite rows.
  s.config.Analog_Num = 100;
  s.config.LineTable[0].APhaseNum = 100;
  for (int k = 0; k < 41; ++k) Add(15, {k}, {49.0f, 10.0f});
  Prepare();
  EXPECT_EQ(log.back(), "\r\n 提示:算法40: 求频率的通道数太多!");
  EXPECT_EQ(s.acq.AnalogTriggerActive, 0);
  EXPECT_EQ(s.acq.NeedsCycleSampling, 0);

  s = AppState{};
  SetUp();
  log.clear();
  s.config.Analog_Num = 100;
  for (int k = 0; k < 60; ++k) Add(10, {k, k + 1, k + 2});  // 60 rows still fit
  Prepare();
  EXPECT_EQ(s.acq.AnalogTriggerActive, 1);
  s = AppState{};
  SetUp();
  log.clear();
  s.config.Analog_Num = 100;
  for (int k = 0; k < 21; ++k) Add(22, {k, k + 1, k + 2, k + 50, k + 51, k + 52});  // 4 new rows each
  Prepare();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "\r\n 提示:算法20: 组合通道数超过80");
}

TEST_F(AlgorithmPreparation, RateOfChangeKeepsTheLongHistoryOfASharedChannel) {
  Add(15, {1}, {49.0f, 10.0f});
  Add(21, {1, 2, 3}, {0.5f, 10.0f});
  Add(16, {4}, {1.2f});
  Prepare();
  ASSERT_EQ(s.acq.AnalogTriggerActive, 1);
  ASSERT_EQ(s.plan.FrequencyRecords.size(), 2u);
  EXPECT_EQ(s.plan.FrequencyRecords[0].Channel, 1);
  EXPECT_EQ(s.plan.FrequencyRecords[0].LongHistory, 1);
  EXPECT_EQ(s.plan.FrequencyRecords[1].LongHistory, 0);
  // Room for every crossing a block can hold: 240 x 3 / 48 + 66 + 5 words of history.
  EXPECT_EQ(s.plan.FrequencyHistoryLength, 86);
  EXPECT_EQ(s.plan.HistoryRowsNeeded, 36);
}

// A block of 2^31 rows at one sample a cycle once wrapped the crossing count
// negative and ended the program asking for more memory than exists.
TEST_F(AlgorithmPreparation, AFrequencyHistoryPast32BitsIsAnAllocationFailure) {
  s.config.NumSamp = INT32_MAX;
  s.config.SamplesPerCycle = 1;
  Add(15, {1}, {49.0f, 10.0f});
  Prepare();
  EXPECT_EQ(s.acq.AnalogTriggerActive, 0);
  EXPECT_TRUE(s.plan.FrequencyRecords.empty());
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "\r\n 警告:设置算法数据时分配内存失败!");
}

TEST_F(AlgorithmPreparation, SetPointsBecomeThresholdsInCodeUnits) {
  // Channel 1 has twice the scale of the others.
  s.config.AnalogChannelTable[1].ChnCoeB = 2.0f;
  s.config.AnalogChannelTable[3].ChnCoeA = 1.0f;
  const double k = CodesPerUnit();
  struct Case {
    int32_t type;
    std::vector<int32_t> channels;
    std::vector<float> setPoints;
    std::vector<int64_t> t;  // expected T0.. (integer thresholds)
  } cases[] = {
      {3, {0}, {2.0f}, {2048 + 818}},
      {4, {3}, {2.0f}, {2048 + 409}},           // A = 1: one unit above the offset
      {3, {0}, {1e9f}, {65535}},                // beyond full scale: clamped
      {5, {0}, {1.0f}, {static_cast<int64_t>(k * k * 2)}},
      {8, {0, 1, 2}, {1.0f}, {static_cast<int64_t>(k * k * 2), static_cast<int64_t>(k * k / 2), static_cast<int64_t>(k * k * 2)}},
      {10, {0, 1, 2}, {1.0f}, {static_cast<int64_t>(k * k * 18)}},
      {14, {0, 1, 2, 3}, {-5.0f}, {static_cast<int64_t>(-5.0 * 2 * k * k)}},
      {15, {0}, {48.0f, 1.0f}, {200, static_cast<int64_t>(k * k * 2)}},
      {17, {0, 1, 2, 3, 4, 5, 6}, {1.0f, 2.0f, -3.0f}, {static_cast<int64_t>(k * k * 2), 2048 + 409, static_cast<int64_t>(-3.0 * 2 * k * k)}},
      {19, {0, 1}, {1.0f, 1.0f}, {static_cast<int64_t>(k * k * 2), static_cast<int64_t>(k * k / 2)}},
      {22, {0, 1, 2, 3, 4, 5}, {1.0f, 1.0f, 1.0f}, {static_cast<int64_t>(k * k * 18), static_cast<int64_t>(k * k * 18), static_cast<int64_t>(k * k * 18)}},
  };
  for (const Case& c : cases) {
    s = AppState{};
    SetUp();
    s.config.AnalogChannelTable[1].ChnCoeB = 2.0f;
    s.config.AnalogChannelTable[3].ChnCoeA = 1.0f;
    Add(c.type, c.channels, c.setPoints);
    Prepare();
    ASSERT_EQ(s.acq.AnalogTriggerActive, 1) << "type " << c.type;
    for (size_t j = 0; j < c.t.size(); ++j) {
      EXPECT_NEAR(static_cast<double>(s.plan.Thresholds[0].T[j]), static_cast<double>(c.t[j]),
                  std::abs(static_cast<double>(c.t[j])) * 1e-6 + 1.0)
          << "type " << c.type << " T" << j;
    }
  }
}

TEST_F(AlgorithmPreparation, FloatThresholdsOfRatioRateAndOverExcitation) {
  s.config.AnalogChannelTable[1].ChnCoeB = 2.0f;
  Add(13, {0, 1}, {10.0f, 0.2f, 1.5f});
  Add(21, {0, 2, 3}, {0.5f, 10.0f});
  Add(16, {0}, {1.1f});
  Prepare();
  ASSERT_EQ(s.acq.AnalogTriggerActive, 1);
  // The ratio of engineering values 1.5 is a code ratio of 1.5 x B1 / B0 = 3.
  EXPECT_FLOAT_EQ(s.plan.Thresholds[0].F, 9.0f);
  float raw = 0.0f;
  std::memcpy(&raw, &s.config.AlgorithmTable[0].SetPoint[9], sizeof raw);
  EXPECT_FLOAT_EQ(raw, 9.0f);
  EXPECT_FLOAT_EQ(s.plan.Thresholds[1].F, static_cast<float>(0.5 / (1200.0 * 1200.0 * 8.0)));
  const double ac = CodesPerUnit() * 1.1;
  const double expected = ac * 1200.0 * 8.0 * ac * 1200.0 * 8.0 * 2.0;
  EXPECT_NEAR(s.plan.Thresholds[2].D, expected, expected * 1e-6);  // 1.1 as a float
  double rawD = 0.0;
  std::memcpy(&rawD, &s.config.AlgorithmTable[2].SetPoint[5], sizeof rawD);
  EXPECT_EQ(rawD, s.plan.Thresholds[2].D);
}

TEST_F(AlgorithmPreparation, SetPointsThatWouldDivideByZeroAreRefused) {
  struct Case {
    int32_t type;
    std::vector<int32_t> channels;
    std::vector<float> setPoints;
    int32_t zeroScaleChannel;  // -1: none
    std::string line;
  } cases[] = {
      {15, {0}, {0.0f, 1.0f}, -1, "\r\n 错误: 启动算法0: 频率阈值为0,定值不能换算!"},
      {5, {2}, {1.0f}, 2, "\r\n 错误: 启动算法0,第1通道: 2 的系数B为0,定值不能换算!"},
      {14, {0, 1, 2, 3}, {1.0f}, 2, "\r\n 错误: 启动算法0,第3通道: 2 的系数B为0,定值不能换算!"},
  };
  for (const Case& c : cases) {
    s = AppState{};
    SetUp();
    log.clear();
    if (c.zeroScaleChannel >= 0) s.config.AnalogChannelTable[static_cast<size_t>(c.zeroScaleChannel)].ChnCoeB = 0.0f;
    Add(c.type, c.channels, c.setPoints);
    Prepare();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), c.line);
    EXPECT_EQ(s.acq.AnalogTriggerActive, 0);
  }
}

// The start preparation's side of the contract: the cycle layout the
// algorithms need, or a refusal.
class AlgorithmStart : public AlgorithmPreparation {
 protected:
  std::vector<std::string> status;
  bool Start() {
    s.config.NumChn = 8;
    s.config.NumVChn = 8;
    s.config.MaxBlock = 20;
    ComputeChannelLayout(s.config, s.layout, 0, true, {});
    const StartReporter report{[this](const std::string& l) { log.push_back(l); },
                               [this](const std::string& t) { status.push_back(t); },
                               [](const std::string&, const std::string&) {}, [](int, const std::string&) {}};
    return PrepareStart(s, true, report);
  }
};

TEST_F(AlgorithmStart, CycleQuantitiesNeedWholeTwelfthsAndHalfCycleBlocks) {
  struct Case {
    const char* what;
    float rate;
    int32_t numSamp;
    int32_t type;
    bool starts;
    std::string warning;
  } cases[] = {
      {"24 a cycle, 240 a block", 1200.0f, 240, 5, true, ""},
      {"20 a cycle", 1000.0f, 240, 5, false, "\r\n 警告：录波启动要求每周波采样点为12的整数倍!"},
      {"blocks of 250", 1200.0f, 250, 5, false, "\r\n 警告：交流量启动时每块采样数应为12的整数倍!"},
      {"a block shorter than two cycles", 1200.0f, 36, 5, false, "\r\n 警告：交流量启动时每块采样数应为12的整数倍!"},
      {"DC types whatever the cycle", 1000.0f, 250, 3, true, ""},
  };
  for (const Case& c : cases) {
    s = AppState{};
    SetUp();
    log.clear();
    status.clear();
    s.config.ChannelRate = c.rate;
    s.config.NumSamp = c.numSamp;
    Add(c.type, {0});
    EXPECT_EQ(Start(), c.starts) << c.what;
    EXPECT_EQ(s.acq.AnalogTriggerActive, c.starts ? 1 : 0) << c.what;
    if (!c.starts) {
      EXPECT_NE(std::find(log.begin(), log.end(), c.warning), log.end()) << c.what;
      EXPECT_EQ(status, std::vector<std::string>{"启动失败，由于采样块数与启动算法冲突。"}) << c.what;
    } else {
      // The prefix covers 1.5 cycles and never fewer than the DC mean's three rows.
      EXPECT_EQ(s.acq.HistoryPrefixRows, std::max(s.config.SamplesPerCycle * 3 / 2, 3)) << c.what;
    }
  }
}

}  // namespace
