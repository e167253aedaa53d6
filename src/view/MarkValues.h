#pragma once

#include <cstdint>
#include <string>

#include "common/DisplayData.h"
#include "common/LiveConfig.h"
#include "common/OscilToolSettings.h"
#include "common/SampleLayout.h"
#include "common/TorqueTables.h"
#include "common/WaveViewState.h"

namespace quelvar {

struct AppState;

// The value kinds a mark can show (MarkType1, MarkType2).
inline constexpr int32_t kMarkInstant = 0;
inline constexpr int32_t kMarkMean = 1;
inline constexpr int32_t kMarkRms = 2;
inline constexpr int32_t kMarkPhase = 3;
inline constexpr int32_t kMarkFrequency1 = 4;
inline constexpr int32_t kMarkFrequency2 = 5;
inline constexpr int32_t kMarkFrequency4 = 6;
inline constexpr int32_t kMarkHexCode = 7;
inline constexpr int32_t kMarkHarmonic = 12;
inline constexpr int32_t kMarkAlgorithmList = 13;
inline constexpr int32_t kMarkAlgorithmValue = 14;
inline constexpr int32_t kMarkRate = 15;
inline constexpr int32_t kMarkRelativeRate = 16;
inline constexpr int32_t kMarkPeriod = 17;
inline constexpr int32_t kMarkIncrement = 18;
inline constexpr int32_t kMarkSpeed = 19;
inline constexpr int32_t kMarkSumBetween = 20;
inline constexpr int32_t kMarkMeanBetween = 21;

// Everything the values at a mark and the mark labels are computed from. The
// marks' positions (Mark1X, Mark2X, XPosition), their value kinds with the
// kinds' parameters and the last paint's drawn channels come from the
// window's view. Computing a value refreshes
// config.ColdJunctionTemp from the room-temperature channel at the mark.
struct MarkSource {
  LiveConfig& config;
  const TorqueTables& torque;
  const DisplayDescriptor& display;  // DataSourceMode, SelectFault included
  const SampleLayout& layout;
  const WaveViewState& view;
  const OscilToolSettings& oscil;
  int32_t RingWriteBlock = 0;  // the live ring's oldest block (written next)
  double BlockTime = 0.0;      // day count the absolute label times count from
};

// The main window's marks over the application's state.
MarkSource MainWindowMarkSource(AppState& state);

// Buffer points count display points from the first row of DispData (see
// MarkPoints.h); `mark` is 1 for mark 1, anything else means mark 2.

// The value of analog channel `channel` at buffer point `bufferPoint` for
// `kind`, ready to follow a label line's "name: ". Empty for kinds 8..11, 13,
// 14 and above 21, for a channel outside the channels in use, and while no
// data are there. A cycle window, search or walk that the data cannot hold
// shows "未知" instead of reading past them.
std::string ChannelValueAtMark(MarkSource& source, int64_t bufferPoint, int32_t channel, int32_t kind, int32_t mark);

// The instantaneous value: engineering value (a torque-power channel the
// product of its factors) in the channel's decimals, then its units.
std::string InstantValueText(MarkSource& source, int64_t bufferPoint, int32_t channel);

// The value of switch input `input` at buffer point `bufferPoint`: its masked
// word in hexadecimal (kind 7), the rate of its rising edges (kinds 4, 5, 6
// and 19), else its level. Empty for an input outside the inputs in use.
std::string SwitchValueAtMark(const MarkSource& source, int64_t bufferPoint, int32_t input, int32_t kind,
                              int32_t mark);

}  // namespace quelvar
