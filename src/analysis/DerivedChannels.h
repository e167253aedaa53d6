#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/HistoryRecord.h"
#include "common/LiveConfig.h"

namespace quelvar {

// Derived data sets: from the blocks of a history record that the screen
// shows, each analog channel can give itself, its running sum (integral) and
// its lagged difference as channels of a new set, each with a divisor that
// keeps the codes within the AD range. Sums run in 64 bits, so long
// full-scale records do not wrap.

inline constexpr int32_t kDerivedMaxOutputs = 100;
inline constexpr size_t kDerivedTextBytes = 15;  // GBK bytes of names and units, without the terminator

inline constexpr std::string_view kDerivedNoOutputs = "警告:未选中有效通道";
inline constexpr std::string_view kDerivedTooManyOutputs = "警告:总通道数超过限值 100";
inline constexpr std::string_view kDerivedComment = "分析数据:数值积分和差分后的数据";

struct DerivedChannelDef {
  int32_t SourceUsed = 1;
  std::string SourceName;
  std::string SourceUnit;
  float SourceA = 0.0f;
  float SourceB = 1.0f;
  int32_t IntegralUsed = 0;
  int32_t IntegralDivisor = 1;
  int32_t IntegralRemoveMean = 1;
  std::string IntegralName;
  std::string IntegralUnit;
  float IntegralA = 0.0f;
  float IntegralB = 1.0f;
  int32_t DifferenceUsed = 0;
  int32_t DifferenceOrder = 1;
  int32_t DifferenceDivisor = 1;
  std::string DifferenceName;
  std::string DifferenceUnit;
  float DifferenceA = 0.0f;
  float DifferenceB = 1.0f;
};

// A text as a definition holds it: what fits kDerivedTextBytes bytes of GBK
// (the record's field), cut before a character that would not fit whole.
std::string DerivedText(std::string_view text);

// The whole blocks of a record that contain the screen: `blocks` blocks from
// block `firstBlock` on. Kept within the record's blocks and samples; a
// record without rows gives no blocks.
struct DerivedSpan {
  int32_t firstBlock = 0;
  int32_t blocks = 0;
  int32_t numSamp = 0;
  int64_t Rows() const { return int64_t{blocks} * numSamp; }
};
DerivedSpan ScreenSpan(const HistoryRecord& record, int32_t xPosition, int32_t displayWidth);

// Zero and full-scale codes of the AD range (VZero and ADMax as whole numbers).
struct CodeRange {
  int32_t zero = 2048;
  int32_t full = 4095;
};

// The smallest divisor the proposal rule gives for results from vmin to
// vmax about the zero code: the larger of (Z - vmin - 1) / Z + 1 and
// vmax / (F - Z) + 1, at least 1. A zero code of 0 or a full scale not above
// it counts as a span of one code, so the rule never divides by zero.
int32_t ProposeDivisor(int64_t vmin, int64_t vmax, CodeRange codes);

// Proposals from the span's codes of `channel`: the integral's over
// S_j - S_j / (j + 1), the difference's over x_j - x_{j-lag}.
int32_t ProposeIntegralDivisor(const HistoryRecord& record, const DerivedSpan& span, int32_t channel,
                               CodeRange codes);
int32_t ProposeDifferenceDivisor(const HistoryRecord& record, const DerivedSpan& span, int32_t channel, int32_t lag,
                                 CodeRange codes);

// The definition a channel starts with when the dialog opens. Counter and
// raw channels (types 2 and 3) are off and keep divisors of 1.
DerivedChannelDef DefaultDerivedDef(const HistoryRecord& record, const DerivedSpan& span, int32_t channel,
                                    const AnalogChannel& source, CodeRange codes);

// The codes of one output over the span.
std::vector<uint16_t> IntegralColumn(const HistoryRecord& record, const DerivedSpan& span, int32_t channel,
                                     int32_t divisor, bool removeMean, CodeRange codes);
std::vector<uint16_t> DifferenceColumn(const HistoryRecord& record, const DerivedSpan& span, int32_t channel,
                                       int32_t lag, int32_t divisor, CodeRange codes);

// Outputs in use (M) and channels with at least one (P).
struct DerivedCounts {
  int32_t outputs = 0;
  int32_t pages = 0;
};
DerivedCounts CountDerivedOutputs(const std::vector<DerivedChannelDef>& defs);

// A built set: the rows of the span with one word per output, and the
// channel record of each output.
struct DerivedSet {
  std::vector<uint16_t> samples;
  std::vector<AnalogChannel> channels;
  int32_t pages = 0;
};

enum class DerivedBuildResult { Built, NoOutputs, TooManyOutputs };

// Builds the set from definition k of channel k (as many as the record has
// analog channels and `sources` records). Outputs are numbered channel by
// channel (the channel, its integral, its difference); each takes the
// source's channel record with its own name, unit and coefficients, group
// k and the page of its channel. Refused with no outputs or more than
// kDerivedMaxOutputs.
DerivedBuildResult BuildDerivedSet(const HistoryRecord& record, const DerivedSpan& span,
                                   const std::vector<DerivedChannelDef>& defs,
                                   const std::vector<AnalogChannel>& sources, CodeRange codes, DerivedSet& out);

}  // namespace quelvar
