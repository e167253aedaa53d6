#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/HistoryRecord.h"

namespace quelvar {

// Channel skew correction of a history record. A card that converts the
// words of a row one after the other takes word i of every row i x d
// microseconds after word 0; the correction resamples each analog base
// sample at the instant of word 0 by a parabola through three neighbouring
// rows. Switch words and the extra sub-samples of faster channels are not
// samples of that sequence and stay as they are.

// Caption of the correction's refusals and their texts.
inline constexpr std::string_view kSkewRefusalCaption = "不能进行同步化处理";

// What the command needs before it asks for the delay.
struct SkewPreconditions {
  bool historyShown = false;   // menuSelectFault checked and the display shows `record`'s samples
  int32_t runState = 0;        // 0 idle
};

// The refusal text, or nothing when the correction may run: no history
// record shown, an acquisition running (the record must not change under a
// run), already corrected, or a record whose rate or geometry gives no
// correction (rate not above 0, samples fewer than its geometry says).
std::optional<std::string> SkewRefusal(const SkewPreconditions& pre, const HistoryRecord& record);

// Row period T = 1e6 / FrqSamp microseconds and the offered delay T / NumChn.
double SkewRowPeriod(const HistoryRecord& record);
double DefaultSkewDelay(const HistoryRecord& record);
// The offered delay as the input box shows it: fixed, two decimals.
std::string SkewDelayText(double delay);
// The delay an answer gives: a real number, else the offered one.
double SkewDelayFromAnswer(std::string_view answer, double offered);

// Corrects words 1 .. min(AnalogCount, NumChn) - 1 of every row in place
// for a delay of `delay` microseconds between neighbouring words, then sets
// Synced. Every fit takes the uncorrected values of its three rows; the
// results are truncated toward zero and kept within 0..65535. A record of
// fewer than three rows is left as it is (and still marked corrected).
// Callers check SkewRefusal first; a record it refuses is not touched here
// either (false).
bool CorrectChannelSkew(HistoryRecord& record, double delay);

}  // namespace quelvar
