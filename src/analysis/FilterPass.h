#pragma once

// One pass of the offline filter over the shown data: the command's
// refusals, the channels and rows a pass works on, the writable view of the
// shown samples and the pass itself (the numeric work is OfflineFilter's).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/FilterSettings.h"
#include "analysis/OfflineFilter.h"
#include "common/AppState.h"

namespace quelvar {

inline constexpr std::string_view kFilterNoData = "错误：没有波形数据或正在采集中!";
inline constexpr std::string_view kFilterMultiRate = "错误：数值滤波不支持多频率采集!";
inline constexpr std::string_view kFilterCopyRefused = "不能保存滤波结果到其它通道";
inline constexpr std::string_view kFilterCopyRefusedCaption = "警告";
inline constexpr std::string_view kFilterBadDesign = "错误：滤波器参数无效!";

// Why the filter command does not open its panel, or nothing.
std::optional<std::string> FilterCommandRefusal(const AppState& state);

// The analog channels behind the channels the main view drew last, in
// drawing order: a drawn position stands for AnalogDisplayOrder[position],
// on a page for the channel itself; switch inputs are left out.
std::vector<int32_t> CollectDisplayedChannels(const LiveConfig& config, const WaveViewState& view);

// The channels and rows a pass works on (before clamping): by the channel
// scope (all analog channels, the drawn ones or the oscilloscope's analog
// traces in use, or `oneChannel`) and the row scope (all rows, the screen,
// or between the two marks, the smaller first).
FilterRange CollectFilterChannelsAndRows(const AppState& state, const FilterSetting& s, int32_t oneChannel);

// The shown samples as the filter may write them: the history record's own
// copy or the recorder ring, whichever the display shows, and only while
// the display's rows lie inside that buffer. Nothing for anything else.
std::optional<FilterData> ShownFilterData(AppState& state);

// Why a pass with these settings would be refused before touching anything:
// a FIR low-pass whose design is refused (fewer than three taps, a cut-off of
// 0, a rate not above 0). Nothing for every other choice.
std::optional<std::string> FilterDesignRefusal(const FilterSetting& s, double rate);

// Runs the filter the settings choose over the range: the median, the IIR
// (fixed or floating point, coefficient IIRCoeA) or the FIR designed from
// the order, cut-off and window at `rate`. High-pass, band-pass and
// band-stop filter nothing, nor does a FIR whose design is refused (fewer
// than three taps, a cut-off of 0). True when samples were filtered.
bool RunFilterPass(const FilterData& data, const FilterRange& range, const FilterSetting& s, bool fixedPoint,
                   double rate, int32_t analogNum, int32_t adMax);

}  // namespace quelvar
