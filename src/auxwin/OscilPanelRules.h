#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/LiveConfig.h"
#include "common/OscilToolSettings.h"

namespace quelvar {

// What the oscilloscope control panel's controls do to the panel's settings.
// Each rule changes the settings, returns what the panel shows afterwards and
// whether the main view is to be repainted; the window only copies results
// into its widgets. Traces are numbered 1 and 2.

inline constexpr int32_t kOscilOffsetLimit = 2500;  // offset scroll range ±2500 (±5 V)
inline constexpr int32_t kZoomStepFirst = 1;
inline constexpr int32_t kZoomStepLast = 11;
inline constexpr int32_t kLargestGain = 2000;
inline constexpr int32_t kCouplingAutoScale = 3;
inline constexpr int32_t kDefaultRefreshPeriod = 20;  // ms, for a period that is no number or <= 0

// The fields of one trace.
struct OscilTraceFields {
  int32_t& Channel;
  int32_t& Use;
  int32_t& Coupling;
  int32_t& Offset;
  int32_t& Gain;
  int32_t& Negative;
  int32_t& ZoomStep;
};
OscilTraceFields TraceFields(OscilToolSettings& s, int trace);

// Gain table: steps 1..10 give 1, 2, 5 ... 1000; step 11 and any other 2000.
int32_t GainOfZoomStep(int32_t step);
// Read backwards: a gain not in the table gives step 11.
int32_t ZoomStepOfGain(int32_t gain);
// Volts per division, 2 / gain with 3 decimals ("2.000" .. "0.001").
std::string ZoomLabelText(int32_t gain);
// One division in offset scroll units: 1000 / gain, at least 1.
int32_t OffsetDivision(int32_t gain);

struct GainStepResult {
  std::string Label;
  int32_t OffsetLargeStep = 1;
  bool Repaint = false;
};
// The gain step control moved (or was set) to `shownStep`. With auto-scale
// coupling the control is not read: the step stays the one the painter chose.
GainStepResult ApplyGainStep(OscilToolSettings& s, int trace, int32_t shownStep);
// The same without a step to read, for the painter's own choice.
GainStepResult ApplyPainterGainStep(OscilToolSettings& s, int trace);

// "Y偏移=0.100V" at position 50.
std::string OffsetHintText(int32_t position);
struct OffsetResult {
  std::string Hint;
  bool Repaint = true;
};
// The offset scroll bar moved to `position`.
OffsetResult ApplyOffset(OscilToolSettings& s, int trace, int32_t position);
// Where an offset pop-up item puts the scroll bar: `divisions` whole
// divisions up (negative) or down (positive) of the trace's gain, the result
// pulled toward the centre onto a whole division and kept within ±2500.
int32_t OffsetMenuPosition(int32_t position, int32_t gain, int32_t divisions);

// "AD通道:" + the analog channel's name, or "SW通道:" + the switch input's.
std::string ChannelHintText(const LiveConfig& config, int32_t number);
struct ChannelNumberResult {
  int32_t Number = 0;
  std::string Text;  // what the edit shows
  std::string Hint;
  bool Repaint = true;
};
// The channel edit's text: a number of the configuration's channels, any
// other text channel 0.
ChannelNumberResult ApplyChannelNumber(OscilToolSettings& s, int trace, std::string_view text, const LiveConfig& config);
// The channel up-down steps to `number` (it wraps over the channels).
void ApplyChannelStep(OscilToolSettings& s, int trace, int32_t number);

// "踪1" / "踪2".
std::string FixChnCaption(int32_t fixChn);
struct FixChnResult {
  std::string Caption;
  bool Repaint = true;
};
// The phase lock moves off a trace that is off, and never onto one that is
// off while the other is on.
FixChnResult ApplyFixChnRule(OscilToolSettings& s);

struct TraceUseResult {
  bool Ticked = true;  // what the clicked box shows afterwards
  std::optional<std::string> FixChnCaption;  // when the phase-lock rule ran
  bool Repaint = true;
};
// A trace's "使用" box was clicked to `ticked`; `otherTicked` is the other
// trace's box. A one-channel card refuses trace 2, the last trace on stays on.
TraceUseResult ApplyTraceUse(OscilToolSettings& s, int trace, bool ticked, bool otherTicked, int32_t analogNum);

// Coupling: AC -> DC -> ground -> auto-scale -> AC; unknown codes go to AC.
int32_t NextCoupling(int32_t coupling);
// "交流", "直流", "接地", and "自动" for 3 and unknown codes.
std::string CouplingCaption(int32_t coupling);
// The ticked pop-up entry: 0..2, else 3 (auto-scale).
int32_t CouplingMenuItem(int32_t coupling);

// Phase-lock mode: none -> upper -> lower -> above -> below -> none.
int32_t NextFixMode(int32_t mode);
// "无" .. "高于电平"; codes above 3 and unknown codes "低于电平".
std::string FixModeCaption(int32_t mode);

// The phase-lock level's volts with 4 decimals.
std::string LevelVoltsText(int32_t code, float adMax, float vZero);
struct FixVoltResult {
  int32_t ScrollPosition = 0;
  std::string Text;
  bool Repaint = true;
};
// The level scroll bar (top = full scale) moved to `position`.
FixVoltResult ApplyFixVoltPosition(OscilToolSettings& s, int32_t position, float adMax, float vZero);
// The level typed in volts; what is not a number is 0 V, a level beyond the
// card's range the zero level.
FixVoltResult ApplyFixVoltText(OscilToolSettings& s, std::string_view text, float adMax, float vZero);

// The refresh period typed in ms: no number or <= 0 gives 20.
int32_t RefreshPeriodOfText(std::string_view text);

}  // namespace quelvar
