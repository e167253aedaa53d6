#include "acquisition/TriggerDetectors.h"

#include <algorithm>

#include "common/NumberFormat.h"

namespace quelvar {

namespace {

constexpr int32_t kLevelRows = 4;  // a level must hold four rows
constexpr int32_t kEdgeRows = 8;   // four rows before an edge and four after

// The switch level of input s in block row r (r < 0 reaches into the prefix).
class SwitchRows {
 public:
  explicit SwitchRows(AppState& state)
      : base_(state.acq.BlockWithPrefix.data() + 1),
        words_(state.config.NumChn),
        prefix_(state.acq.HistoryPrefixRows),
        analog_(state.config.Analog_Num) {}

  bool High(int32_t r, int32_t s) const {
    const int64_t index = int64_t{r + prefix_} * words_ + analog_ + s / 16;
    return ((base_[index] >> (s % 16)) & 1) != 0;
  }
  // Whether rows from..to (block rows) lie inside the buffer.
  bool Available(int32_t from) const { return from >= -prefix_; }

  // All rows from..to at the given level.
  bool Held(int32_t from, int32_t to, int32_t s, bool high) const {
    for (int32_t r = from; r <= to; ++r) {
      if (High(r, s) != high) return false;
    }
    return true;
  }

 private:
  const uint16_t* base_;
  int32_t words_;
  int32_t prefix_;
  int32_t analog_;
};

}  // namespace

int32_t SwitchLookBackRows(const LiveConfig& live) {
  int32_t rows = 0;
  for (int s = 0; s < std::clamp(live.SW_Num, 0, kMaxSwitchInputs); ++s) {
    const int32_t flag = live.SwitchChannelTable[s].SWStartID;
    if (flag == 1 || flag == 2) rows = std::max(rows, kLevelRows);
    if (flag >= 3 && flag <= 5) rows = std::max(rows, kEdgeRows);
  }
  return rows;
}

bool DetectSwitchTriggers(AppState& state) {
  const LiveConfig& c = state.config;
  RecordState& rec = state.record;
  auto& hold = state.triggers.SwitchConfirmState;
  const SwitchRows rows(state);
  const int32_t switches = std::clamp(c.SW_Num, 0, kMaxSwitchInputs);
  const bool history = state.acq.ValidHistorySamples != 0;
  bool fired = false;
  for (int32_t r = 0; r < c.NumSamp; ++r) {
    for (int32_t s = 0; s < switches; ++s) {
      const int32_t flag = c.SwitchChannelTable[s].SWStartID;
      bool fires = false;
      if (flag == 1 || flag == 2) {
        const bool high = flag == 1;
        if (c.IDPreventSameAlgorithm && hold[s] > 0) {
          hold[s] = rows.High(r, s) == high ? c.ConfirmTriggerNum : hold[s] - 1;
          continue;
        }
        // Rows before the buffer are never read: the prefix covers the look-back.
        const int32_t first = r - (kLevelRows - 1);
        fires = !rec.Recording && (history || r >= kLevelRows - 1) && rows.Available(first) &&
                rows.Held(first, r, s, high);
      } else if (flag >= 3 && flag <= 5) {
        const int32_t first = r - (kEdgeRows - 1);
        if (rec.Recording || !(history || r >= kEdgeRows - 1) || !rows.Available(first)) continue;
        const bool rising = rows.Held(first, r - 4, s, false) && rows.Held(r - 3, r, s, true);
        const bool falling = rows.Held(first, r - 4, s, true) && rows.Held(r - 3, r, s, false);
        fires = flag == 3 ? rising : flag == 4 ? falling : rising || falling;
      }
      if (!fires) continue;
      const SwitchChannel& input = c.SwitchChannelTable[s];
      rec.Recording = 1;
      rec.TriggerPoint = r;
      rec.TriggerKind = 1;
      rec.TriggerChannel = s;
      rec.TriggerEdge = flag;
      hold[s] = c.ConfirmTriggerNum;
      rec.RecordTime = input.SWRecordTime;
      // Three rows more: the trigger point moves back to the first row of the new state.
      // Summed in 64 bits: a typed time near the 32-bit limit must not wrap.
      rec.PreRecordTime = SaturateToInt32(int64_t{input.SWPreRecordTime} + TruncToInt32(3000.0 / c.ChannelRate));
      rec.CompressRecordTime = input.SWCompressRecordTime;
      fired = true;
    }
  }
  return fired;
}

bool DetectThresholdTriggers(AppState& state) {
  const LiveConfig& c = state.config;
  RecordState& rec = state.record;
  if (rec.Recording) return false;
  const SampleLayout& layout = state.layout;
  const uint16_t* block = state.acq.CurrentBlock() + 1;
  const int32_t maxMulti = std::max(layout.MaxMultiFreq, 1);
  const int64_t points = int64_t{c.NumSamp} * maxMulti;
  const int32_t algorithms = std::clamp(c.Algorithm_Num, 0, kMaxAlgorithms);
  for (int64_t p = 0; p < points; ++p) {
    for (int32_t k = 0; k < algorithms; ++k) {
      const AlgorithmConfig& a = c.AlgorithmTable[k];
      if (a.Type != 1 && a.Type != 2) continue;
      const int32_t ch = a.Channel[0];
      if (ch < 0 || ch >= layout.Analog_Num) continue;  // a channel that is not there is never tested
      const int32_t d = std::max(layout.MultiFreqTable[ch], 1);
      const int64_t row = p / maxMulti;
      const int64_t u = (p * d) / maxMulti % d;
      const int64_t word = u == 0 ? ch : layout.ExtraSlotFirst[ch] + u - 1;
      const uint16_t x = block[row * layout.NumChn + word];
      const uint16_t t0 = state.triggers.ThresholdCode[k];
      AlgorithmConfirm& confirm = state.triggers.AlgorithmConfirmState[k];
      const bool hit = a.Type == 1 ? x > t0 : x < t0;
      if (!hit) {
        confirm.HitCount = 0;
        continue;
      }
      confirm.HitCount += 1;
      if (confirm.HitCount < c.ConfirmTriggerNum) continue;
      rec.Recording = 1;
      rec.TriggerPoint = static_cast<int32_t>(p);
      rec.TriggerKind = 2;
      rec.TriggerChannel = ch;
      rec.TriggerAlgorithm = k;
      confirm.HoldCount = c.ConfirmTriggerNum;
      rec.TriggerEdge = a.Type;
      rec.RecordTime = a.RecordTime;
      rec.PreRecordTime = a.PreRecordTime;
      rec.CompressRecordTime = a.CompressRecordTime;
      return true;
    }
  }
  return false;
}

}  // namespace quelvar
