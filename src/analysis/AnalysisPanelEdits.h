#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/OscilToolSettings.h"

namespace quelvar {

// The edit rules the two analysis panels (engine and library) share: the
// FFT point count, the channel numbers and, in two-trace oscilloscope mode,
// the traces that take the channels' place.

// The FFT point counts the panels offer: 2^5 .. 2^16.
inline constexpr int32_t kPanelFftMinOrder = 5;
inline constexpr int32_t kPanelFftMaxOrder = 16;
inline constexpr int32_t kPanelFftMinPoints = 1 << kPanelFftMinOrder;
inline constexpr int32_t kPanelFftMaxPoints = 1 << kPanelFftMaxOrder;

// The FFT point edit: the largest power of two not above the typed number,
// within 32 .. 65536; a text that is not a whole number gives `unparsed`
// (the engine panel uses 32, the library panel 1024).
int32_t RoundFftPoints(std::string_view text, int32_t unparsed);

// The FFT order edit: 2 to the power of the order, the order held to 5 .. 16.
int32_t FftPointsOfOrder(int32_t order);

// A typed channel number: a text that is not a whole number reads 0; below 0
// wraps to the last analog channel, `analogNum` or more to channel 0. Without
// analog channels the answer is 0 (the panels refuse to analyse then).
int32_t WrapPanelChannel(std::string_view text, int32_t analogNum);

// Which channel a channel edit stands for. In two-trace oscilloscope mode
// (`dataSourceMode` 2) the traces replace the typed numbers: the first edit
// takes trace 1's input when trace 1 is on, else trace 2's; the second edit
// takes trace 2's input when both traces are on, else its typed number. A
// trace may carry a switch input (a number at or above `analogNum`), which
// has no analog name and no column in the data: `analog` is false then.
struct PanelChannel {
  int32_t channel = 0;
  bool analog = true;
};
// `edit` is 1 for the first channel edit, 2 for the second.
PanelChannel ResolvePanelChannel(int32_t edit, std::string_view text, int32_t analogNum, int32_t dataSourceMode,
                                 const OscilToolSettings& oscil);

// The panels' status texts for channels they cannot analyse.
inline constexpr const char* kPanelSwitchChannelText = "错误：开关量通道不能进行谱分析！";
inline constexpr const char* kPanelNoAnalogText = "错误：没有模拟量通道！";
// Two channels sampled at different rates.
inline constexpr const char* kPanelRatesDifferText = "错误：两通道频率不同！";

}  // namespace quelvar
