#include "acquisition/AlgorithmEvaluation.h"

#include <algorithm>
#include <cstring>

#include "acquisition/AlgorithmCriteria.h"
#include "acquisition/TwelvePointPhasor.h"
#include "common/NumberFormat.h"

namespace quelvar {

namespace {

// Crossings kept from earlier blocks: 9 give the frequency over eight
// periods, 65 its rate of change over 64.
constexpr int32_t kShortHistory = 9;
constexpr int32_t kLongHistory = 65;
// Kept crossing rows older than this are dropped (as after a gap) instead of
// being shifted on until they overflow on a channel without crossings.
constexpr int32_t kOldestCrossingRow = -(1 << 30);

// The prefix rows and the block as one matrix; row -1 is the previous
// block's last row.
class BlockRows {
 public:
  explicit BlockRows(AppState& state)
      : base_(state.acq.BlockWithPrefix.data() + 1),
        words_(state.config.NumChn),
        prefix_(state.acq.HistoryPrefixRows) {}

  int32_t At(int32_t row, int32_t slot) const {
    return base_[static_cast<ptrdiff_t>(row + prefix_) * words_ + slot];
  }
  uint16_t Code(int32_t row, int32_t slot) const {
    return base_[static_cast<ptrdiff_t>(row + prefix_) * words_ + slot];
  }
  int32_t PrefixRows() const { return prefix_; }

 private:
  const uint16_t* base_;
  ptrdiff_t words_;
  int32_t prefix_;
};

void TrackFrequency(FrequencyRecord& record, const BlockRows& rows, int32_t numSamp, bool continuous,
                    uint16_t zero, int32_t holdOff) {
  int32_t* area = record.Crossings.data() + kCrossingHistorySlots;
  const int32_t capacity = static_cast<int32_t>(record.Crossings.size()) - kCrossingHistorySlots;
  const int32_t channel = record.Channel;
  uint16_t previous = 0;
  if (!continuous) {
    record.KeptCount = 0;
    previous = rows.Code(0, channel);
  } else {
    const int32_t keep =
        std::min(record.LongHistory ? kLongHistory : kShortHistory, record.KeptCount + record.CrossingCount);
    // The newest `keep` crossings move just below the current list.
    std::memmove(area - keep, area + record.CrossingCount - keep, static_cast<size_t>(keep) * sizeof(int32_t));
    for (int32_t k = 1; k <= keep; ++k) area[-k] -= numSamp;
    record.KeptCount = keep > 0 && area[-keep] < kOldestCrossingRow ? 0 : keep;
    previous = rows.Code(-1, channel);
  }
  record.CrossingCount = 0;
  int32_t i = 0;
  while (i < numSamp) {
    const uint16_t q = rows.Code(i, channel);
    if (previous < zero && zero <= q) {
      if (record.CrossingCount < capacity) area[record.CrossingCount++] = i;
      i += holdOff + 1;
      if (i < numSamp) previous = rows.Code(i - 1, channel);
    } else {
      ++i;
      previous = q;
    }
  }
}

// Crossing n of a record (negative: kept from earlier blocks).
int32_t Crossing(const FrequencyRecord& record, int32_t n) {
  return record.Crossings[static_cast<size_t>(kCrossingHistorySlots + n)];
}

// Current-block crossings at rows up to `row`.
int32_t CrossingsUpTo(const FrequencyRecord& record, int32_t row) {
  int32_t n = 0;
  while (n < record.CrossingCount && Crossing(record, n) <= row) ++n;
  return n;
}

void SetPhasor(MeasurementNode& node, const Phasor12& p, bool squared) {
  node.Value0 = p.Re;
  node.Value1 = p.Im;
  if (squared) node.Value2 = p.Squared();
}

void ComputeHarmonic(MeasurementNode& node, const TwelveSamples& x) {
  switch (node.Kind) {
    case kFundamental: SetPhasor(node, TwelvePointFundamental(x), true); break;
    case kSecondHarmonic: SetPhasor(node, TwelvePointSecondHarmonic(x), false); break;
    case kThirdHarmonic: SetPhasor(node, TwelvePointThirdHarmonic(x), true); break;
    default: break;
  }
}

class Engine {
 public:
  explicit Engine(AppState& state)
      : state_(state),
        c_(state.config),
        plan_(state.plan),
        rows_(state),
        spc_(std::max(state.config.SamplesPerCycle, 1)),
        t12_(state.acq.SamplesPerTwelfthCycle),
        valid_(state.acq.ValidHistorySamples) {}

  bool ReadsStayInside() const;
  void Run();

 private:
  void UpdateComposites(int32_t r);
  void ComputeChannelNodes(int32_t r);
  void ComputeCompositeNodes();
  void ComputeFrequencyNode(MeasurementNode& node, int32_t r) const;

  AppState& state_;
  const LiveConfig& c_;
  TriggerPlan& plan_;
  BlockRows rows_;
  int32_t spc_;
  int32_t t12_;
  int64_t valid_;
};

// Every read reaches back at most eleven twelfths of a cycle (phasors),
// seven twelfths (composites) or three rows (DC mean) before a point.
bool Engine::ReadsStayInside() const {
  const AcquisitionState& a = state_.acq;
  const int64_t needed = std::max(int64_t{11} * t12_, int64_t{3});
  const int64_t words = (int64_t{a.HistoryPrefixRows} + c_.NumSamp) * c_.NumChn + 1;
  return a.HistoryPrefixRows >= needed && c_.NumSamp > 0 && words <= static_cast<int64_t>(a.BlockWithPrefix.size()) &&
         static_cast<int64_t>(plan_.SourceNodeStart.size()) ==
             int64_t{c_.Analog_Num} + static_cast<int64_t>(plan_.CompositeSourceTable.size());
}

void Engine::UpdateComposites(int32_t r) {
  const int32_t d = 2 * t12_;
  auto& table = plan_.CompositeSourceTable;
  for (CompositeSource& row : table) {
    auto& s = row.Series;
    if (row.Kind == kNegativeSequence) {
      std::memmove(s.data(), s.data() + 6, 18 * sizeof(int32_t));
      for (int32_t k = 0; k < 6; ++k) {
        const int32_t q = r - k * t12_;
        s[static_cast<size_t>(23 - k)] = rows_.At(q, row.ChannelA) - rows_.At(q, row.ChannelB) +
                                         rows_.At(q - d, row.ChannelB) - rows_.At(q - d, row.ChannelC);
      }
    } else if (row.Kind == kPositiveSequence) {
      std::memmove(s.data() + 12, s.data() + 18, 6 * sizeof(int32_t));
      for (int32_t k = 0; k < 6; ++k) {
        const int32_t q = r - k * t12_;
        s[static_cast<size_t>(23 - k)] = rows_.At(q, row.ChannelA) - rows_.At(q - d, row.ChannelB) -
                                         rows_.At(q, row.ChannelC) + rows_.At(q - d, row.ChannelC);
      }
    } else if (row.Kind == kIncrement) {
      std::memmove(s.data() + 12, s.data() + 18, 6 * sizeof(int32_t));
      const auto& src = table[static_cast<size_t>(row.ChannelA - c_.Analog_Num)].Series;
      for (size_t k = 0; k < 6; ++k) s[23 - k] = src[23 - k] - src[11 - k];
    }
  }
}

void Engine::ComputeFrequencyNode(MeasurementNode& node, int32_t r) const {
  const FrequencyRecord& record = plan_.FrequencyRecords[static_cast<size_t>(node.Source)];
  const int32_t n = CrossingsUpTo(record, r);
  if (node.Kind == kFrequency) {
    node.Value0 = record.KeptCount + n < kShortHistory ? 8 * spc_
                                                       : Crossing(record, n - 1) - Crossing(record, n - kShortHistory);
    return;
  }
  if ((valid_ + r) % (int64_t{32} * spc_) != 0) return;
  if (record.KeptCount + n < kLongHistory) {
    node.RateValue = 0.0f;
    return;
  }
  const int64_t last64 = int64_t{Crossing(record, n - 1)} - Crossing(record, n - kLongHistory);
  int64_t smax = 0;
  int64_t smin = INT64_MAX;
  for (int32_t j = 0; j < 14; ++j) {
    const int64_t span = int64_t{Crossing(record, n - 1 - 4 * j)} - Crossing(record, n - 9 - 4 * j);
    smax = std::max(smax, span);
    smin = std::min(smin, span);
  }
  const double denominator = static_cast<double>(smax) * static_cast<double>(smin) * static_cast<double>(last64);
  node.RateValue = denominator > 0.0 ? static_cast<float>(static_cast<double>(smax - smin) / denominator) : 0.0f;
}

void Engine::ComputeChannelNodes(int32_t r) {
  const int32_t channels = c_.Analog_Num;
  for (int32_t s = 0; s < channels; ++s) {
    const int32_t count = plan_.SourceNodeCount[static_cast<size_t>(s)];
    if (count == 0) continue;
    const int32_t start = plan_.SourceNodeStart[static_cast<size_t>(s)];
    TwelveSamples x{};
    bool sampled = false;
    for (int32_t k = 0; k < count; ++k) {
      MeasurementNode& node = plan_.MeasurementList[static_cast<size_t>(plan_.SourceNodes[static_cast<size_t>(start + k)])];
      switch (node.Kind) {
        case kFundamental:
        case kSecondHarmonic:
        case kThirdHarmonic:
          if (!sampled) {
            for (int32_t m = 0; m < 12; ++m) x[static_cast<size_t>(m)] = rows_.At(r - m * t12_, s);
            sampled = true;
          }
          ComputeHarmonic(node, x);
          break;
        case kInstant:
          node.Value0 = rows_.At(r, s);
          break;
        case kDcMean:
          node.Value0 = (rows_.At(r, s) + rows_.At(r - 1, s) + rows_.At(r - 2, s) + rows_.At(r - 3, s)) >> 2;
          break;
        case kFrequency:
        case kFrequencyRate:
          ComputeFrequencyNode(node, r);
          break;
        default:
          break;
      }
    }
  }
}

void Engine::ComputeCompositeNodes() {
  const size_t rows = plan_.CompositeSourceTable.size();
  for (size_t j = 0; j < rows; ++j) {
    const size_t source = static_cast<size_t>(c_.Analog_Num) + j;
    const int32_t count = plan_.SourceNodeCount[source];
    if (count == 0) continue;
    const auto& series = plan_.CompositeSourceTable[j].Series;
    TwelveSamples x{};
    for (size_t k = 0; k < 12; ++k) x[k] = series[23 - k];
    for (int32_t k = 0; k < count; ++k) {
      const auto at = static_cast<size_t>(plan_.SourceNodeStart[source] + k);
      ComputeHarmonic(plan_.MeasurementList[static_cast<size_t>(plan_.SourceNodes[at])], x);
    }
  }
}

void Engine::Run() {
  const int32_t numSamp = c_.NumSamp;
  plan_.ConfirmDelayMs =
      static_cast<float>(int64_t{c_.ConfirmTriggerNum - 1} * spc_ * 1000) / (c_.ChannelRate * 2.0f);
  const auto zero = static_cast<uint16_t>(std::clamp(TruncToInt32(c_.VZero), 0, 65535));
  const int32_t holdOff = 2 * spc_ / 3;
  for (FrequencyRecord& record : plan_.FrequencyRecords) {
    TrackFrequency(record, rows_, numSamp, valid_ != 0, zero, holdOff);
  }
  const int32_t half = std::max(spc_ / 2, 1);
  const RecordState& rec = state_.record;
  for (int32_t r = 0; r < numSamp && (rec.Recording != 1 || c_.IDPreventSameAlgorithm); r += half) {
    UpdateComposites(r);
    ComputeChannelNodes(r);
    ComputeCompositeNodes();
    if (valid_ + r + 1 >= plan_.HistoryRowsNeeded) TestAlgorithmsAtPoint(state_, r);
  }
}

}  // namespace

void EvaluateTriggerAlgorithms(AppState& state) {
  Engine engine(state);
  // A plan and buffer that do not fit together (never after a proper start)
  // are not evaluated rather than read outside the block.
  if (!engine.ReadsStayInside()) return;
  engine.Run();
}

}  // namespace quelvar
