#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <numbers>
#include <string>
#include <vector>

#include "acquisition/ChannelLayout.h"
#include "view/EngineeringUnits.h"
#include "view/MarkValues.h"

namespace quelvar::test {

// Display data of one block of `rows` rows: analog channels with the given
// rate multipliers (DC channels "C0", "C1", ... in volts, A 0, B 1, 4
// decimals) and `switches` switch inputs, every word filled by `fill`(row,
// word). 1000 rows a second, 20 rows a cycle, VZero 2048, ADMax 4096 (2048
// codes are 5 V). A history record is shown: searches may use every point.
struct MarkData {
  LiveConfig config;
  TorqueTables torque;
  SampleLayout layout;
  DisplayDescriptor display;
  WaveViewState view;
  OscilToolSettings oscil;
  std::vector<uint16_t> words;
  int32_t ringWriteBlock = 0;
  double blockTime = 0.0;

  MarkData(std::initializer_list<int32_t> multipliers, int32_t rows, int32_t switches,
           const std::function<uint16_t(int32_t, int32_t)>& fill) {
    config.Analog_Num = static_cast<int32_t>(multipliers.size());
    config.SW_Num = switches;
    config.NumSamp = rows;
    config.ChannelRate = 1000.0f;
    config.SamplesPerCycle = 20;
    config.VZero = 2048.0f;
    config.ADMax = 4096.0f;
    config.EnvTemp = 20.0f;
    int32_t c = 0;
    for (int32_t m : multipliers) {
      AnalogChannel& channel = config.AnalogChannelTable[c];
      channel.ChnName = "C" + std::to_string(c++);
      channel.ChnUnits = "V";
      channel.MultiFreq = m;
      channel.ChnIDDC = kChannelDC;
      channel.ChnCoeA = 0.0f;
      channel.ChnCoeB = 1.0f;
      channel.ChnDigiPoint = 4;
    }
    ComputeChannelLayout(config, layout, 0, true, {});
    display.DispRowWords = config.NumChn;
    display.DispBlocks = 1;
    display.DispRows = rows;
    display.DispPoints = rows * layout.MaxMultiFreq;
    display.DispValid = 1;
    display.SelectFault = 1;
    for (int32_t row = 0; row < rows; ++row)
      for (int32_t word = 0; word < config.NumChn; ++word) words.push_back(fill(row, word));
    display.DispData = words.data();
  }

  // DispData points into `words`: never copied.
  MarkData(const MarkData&) = delete;
  MarkData& operator=(const MarkData&) = delete;

  MarkSource Source() { return {config, torque, display, layout, view, oscil, ringWriteBlock, blockTime}; }
  std::string Value(int64_t b, int32_t channel, int32_t kind, int32_t mark = 1) {
    MarkSource s = Source();
    return ChannelValueAtMark(s, b, channel, kind, mark);
  }
  std::string Switch(int64_t b, int32_t input, int32_t kind, int32_t mark = 1) {
    return SwitchValueAtMark(Source(), b, input, kind, mark);
  }
};

inline uint16_t Round(double x) { return static_cast<uint16_t>(std::lround(x)); }

// 50 Hz at `pointsPerCycle` points a cycle, 1024 codes (2.5 V) peak around
// VZero, phase 36 degrees at point 0.
inline uint16_t SineCode(int64_t q, int32_t pointsPerCycle) {
  return Round(2048.0 + 1024.0 * std::sin(2.0 * std::numbers::pi * static_cast<double>(q) / pointsPerCycle +
                                          36.0 * std::numbers::pi / 180.0));
}

inline MarkData Sine(int32_t rows) {
  return MarkData({1}, rows, 0, [](int32_t row, int32_t) { return SineCode(row, 20); });
}

}  // namespace quelvar::test
