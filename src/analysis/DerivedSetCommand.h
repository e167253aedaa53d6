#pragma once

// The derived data set command's work outside its windows: the refusals,
// the definitions the dialog starts with, the build of the set from the
// shown history record and putting a built set in force (temporary
// configuration, history record, display data).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/DerivedChannels.h"
#include "common/AppState.h"

namespace quelvar {

inline constexpr std::string_view kDerivedNoHistory = "错误：请先选中历史数据!";
inline constexpr std::string_view kDerivedMultiRate = "错误：数值积分不支持多频率采集!";
inline constexpr std::string_view kDerivedNoMemory = "错误：内存分配失败!";
inline constexpr std::string_view kDerivedTitleSuffix = "--数值积分差分分析数据";
inline constexpr std::string_view kDerivedCardName = "DIComboChn";

// Why the command does not open its dialog, or nothing. `historyShown` is
// the check mark of the history-open command; a record whose screen spans
// no whole block counts as none.
std::optional<std::string> DerivedCommandRefusal(const AppState& state, bool historyShown);

// The blocks of the shown record that hold the main view's screen.
DerivedSpan ShownDerivedSpan(const AppState& state);
// VZero and ADMax as whole numbers.
CodeRange DerivedCodeRange(const LiveConfig& config);

// One default definition per analog channel of the shown record.
std::vector<DerivedChannelDef> DefaultDerivedDefs(const AppState& state);

// Builds the set from the definitions over the shown span: nothing (and
// `out` untouched) with the status text of a refusal, no outputs, too many
// or no memory for the set.
std::optional<std::string> BuildShownDerivedSet(const AppState& state, const std::vector<DerivedChannelDef>& defs,
                                                DerivedSet& out);

// Puts a complete set in force: the own configuration kept aside (only
// when none is lent yet) and the set's configuration live, one channel per
// line, the record's samples replaced by the set's, the display pointed at
// them. The caller rebuilds the layout and the view.
void PutDerivedSetInForce(AppState& state, DerivedSet&& set, const DerivedSpan& span);

}  // namespace quelvar
