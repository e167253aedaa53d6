#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "acquisition/BlockProcessing.h"
#include "acquisition/ChannelLayout.h"
#include "acquisition/PrepareStart.h"

namespace quelvar::test {

inline constexpr double kPi = 3.14159265358979323846;

// A recording run fed with synthetic blocks through per-block processing, so
// the trigger algorithms run exactly as they do live. Analog channels carry
// codes around VZero 2048 (ADMax 4095: 409.4 codes per unit with B = 1);
// signal(channel, row) gives the code at an absolute row of the run.
class AlgorithmRun {
 public:
  using Signal = std::function<double(int32_t channel, int64_t row)>;

  AppState s;
  std::vector<std::string> log;
  std::vector<std::string> status;
  int records = 0;  // completed records
  // Absolute row (of the run) at which each record's trigger algorithm
  // completed its confirmation, and the algorithm.
  std::vector<int64_t> firedRows;
  std::vector<int32_t> firedAlgorithms;

  // analog channels at `rate` Hz on a 50-Hz system, `numSamp` rows a block.
  AlgorithmRun(int32_t analog, float rate, int32_t numSamp) {
    LiveConfig& c = s.config;
    c.Analog_Num = analog;
    c.Total_Line = 1;
    c.LineTable[0].APhaseNum = analog;
    c.SW_Num = 0;
    c.IDStartBin = 0;
    c.NumSamp = numSamp;
    c.ChannelRate = rate;
    c.ACFrq = 50.0f;
    c.VZero = 2048.0f;
    c.ADMax = 4095.0f;
    c.MaxBlock = 200;
    c.ConfirmTriggerNum = 1;
    c.IDPreventSameAlgorithm = 0;
    c.IDStartAnalog = 1;
    c.CompressRatio = 1;
    c.TriggerUpNum = 0;
    for (auto& ch : c.AnalogChannelTable) {
      ch.ChnCoeA = 0.0f;
      ch.ChnCoeB = 1.0f;
      ch.MultiFreq = 1;
    }
  }

  AlgorithmConfig& Add(int32_t type, const std::vector<int32_t>& channels, const std::vector<float>& setPoints) {
    AlgorithmConfig& a = s.config.AlgorithmTable[static_cast<size_t>(s.config.Algorithm_Num++)];
    a = AlgorithmConfig{};
    a.Type = type;
    a.UsedChn = static_cast<int32_t>(channels.size());
    for (size_t j = 0; j < channels.size(); ++j) a.Channel[j] = channels[j];
    a.SetPointNum = static_cast<int32_t>(setPoints.size());
    for (size_t j = 0; j < setPoints.size(); ++j) a.SetPoint[j] = setPoints[j];
    a.PreRecordTime = 120;
    a.RecordTime = 200;
    a.CompressRecordTime = 0;
    return a;
  }

  // Prepares the run as the recorder's start does; false when refused.
  bool Start() {
    LiveConfig& c = s.config;
    c.NumVChn = c.Analog_Num;
    c.NumChn = c.Analog_Num;
    ComputeChannelLayout(c, s.layout, 0, true, {});
    const StartReporter report{[this](const std::string& l) { log.push_back(l); },
                               [this](const std::string& t) { status.push_back(t); },
                               [](const std::string&, const std::string&) {}, [](int, const std::string&) {}};
    if (!PrepareStart(s, true, report)) return false;
    blockOfRing_.assign(static_cast<size_t>(s.acq.RingBlocks), 0);
    s.acq.CurrentBlock()[0] = 0xFFFF;
    s.RunState = kRunRecording;
    return true;
  }

  // Feeds `blocks` blocks of the signal.
  void Feed(const Signal& signal, int blocks) {
    const LiveConfig& c = s.config;
    for (int b = 0; b < blocks; ++b) {
      uint16_t* block = s.acq.CurrentBlock();
      block[0] = static_cast<uint16_t>(block[0] + 1);
      for (int32_t r = 0; r < c.NumSamp; ++r) {
        for (int32_t ch = 0; ch < c.Analog_Num; ++ch) {
          const double v = std::round(signal(ch, blocksFed_ * c.NumSamp + r));
          block[1 + r * c.NumChn + ch] = static_cast<uint16_t>(std::clamp(v, 0.0, 65535.0));
        }
      }
      blockOfRing_[static_cast<size_t>(s.acq.RingWriteBlock)] = blocksFed_;
      const int32_t wasRecording = s.record.Recording;
      ProcessBlock(s, 45000.0 + blocksFed_ * 1e-6, reporter_);
      if (!wasRecording && s.record.Recording && s.record.TriggerKind == 2) {
        // Undo the start's move of the trigger point back by the confirmation delay.
        const int64_t moved = blockOfRing_[static_cast<size_t>(s.record.TriggerBlock)] * c.NumSamp + s.record.TriggerPoint;
        firedRows.push_back(moved + (int64_t{c.ConfirmTriggerNum - 1} * c.SamplesPerCycle) / 2);
        firedAlgorithms.push_back(s.record.TriggerAlgorithm);
      }
      ++blocksFed_;
    }
  }

  int64_t BlocksFed() const { return blocksFed_; }

  // Codes of a sine of RMS value `rms` units (B = 1) at `hz`, phase in degrees.
  double Sine(double rms, double hz, double degrees, int64_t row) const {
    const double codesPerUnit = (s.config.ADMax - s.config.VZero) / 5.0;
    return s.config.VZero + rms * std::sqrt(2.0) * codesPerUnit *
                                std::cos(2.0 * kPi * hz * static_cast<double>(row) / s.config.ChannelRate +
                                         degrees * kPi / 180.0);
  }
  // Code of a DC value in units.
  double Dc(double units) const { return s.config.VZero + units * (s.config.ADMax - s.config.VZero) / 5.0; }

 private:
  int64_t blocksFed_ = 0;
  std::vector<int64_t> blockOfRing_;  // the run's block number held by each ring block
  BlockReporter reporter_{[this](const std::string& l) { log.push_back(l); }, [] { return size_t{0}; }, [] {},
                          [](const std::string&) {}, [](int, const std::string&) {}, [this] { ++records; }};
};

}  // namespace quelvar::test
