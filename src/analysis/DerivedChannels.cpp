#include "analysis/DerivedChannels.h"

#include <algorithm>
#include <limits>

#include "platform/GbkText.h"

namespace quelvar {

namespace {

constexpr int32_t kCounterType = 2;
constexpr int32_t kRawType = 3;

bool CounterOrRaw(const AnalogChannel& c) { return c.ChnIDDC == kCounterType || c.ChnIDDC == kRawType; }

// The span's codes of one channel read straight from the record; a channel
// the rows do not hold reads as nothing.
class SpanReader {
 public:
  SpanReader(const HistoryRecord& record, const DerivedSpan& span, int32_t channel)
      : record_(record), start_(int64_t{span.firstBlock} * span.numSamp), rows_(span.Rows()), channel_(channel) {
    if (channel < 0 || channel >= record.NumChn) rows_ = 0;
  }
  int64_t Rows() const { return rows_; }
  int64_t At(int64_t j) const {
    return record_.Samples[static_cast<size_t>((start_ + j) * record_.NumChn + channel_)];
  }

 private:
  const HistoryRecord& record_;
  int64_t start_;
  int64_t rows_;
  int32_t channel_;
};

uint16_t Clamped(int64_t code, CodeRange codes) {
  const int64_t top = std::clamp<int64_t>(codes.full, 0, std::numeric_limits<uint16_t>::max());
  return static_cast<uint16_t>(std::clamp<int64_t>(code, 0, top));
}

// S_j - S_j / (j + 1), or S_j, for every row: the sum of the codes about the
// zero code in 64 bits (65535 x 2^31 rows stays far below 2^63).
template <typename Each>
void RunningSums(const SpanReader& x, int32_t zero, Each each) {
  int64_t sum = 0;
  for (int64_t j = 0; j < x.Rows(); ++j) {
    sum += x.At(j) - zero;
    each(j, sum);
  }
}

}  // namespace

std::string DerivedText(std::string_view text) {
  // The record's name and unit fields are GBK: what counts is the bytes there.
  return platform::CutToGbkBytes(text, kDerivedTextBytes);
}

DerivedSpan ScreenSpan(const HistoryRecord& record, int32_t xPosition, int32_t displayWidth) {
  DerivedSpan span;
  span.numSamp = record.NumSamp;
  if (record.NumSamp <= 0 || record.BlockCount <= 0 || record.NumChn <= 0) return {};
  // Blocks the samples really hold, whatever the header says.
  const int64_t held = static_cast<int64_t>(record.Samples.size()) / record.NumChn / record.NumSamp;
  const auto blocks = static_cast<int32_t>(std::min<int64_t>(record.BlockCount, held));
  if (blocks <= 0) return {};
  const int64_t x0 = std::max(xPosition, 0);
  const int64_t x1 = x0 + std::max(displayWidth, 1) - 1;
  const auto first = static_cast<int32_t>(std::min<int64_t>(x0 / record.NumSamp, blocks - 1));
  const auto last = static_cast<int32_t>(std::min<int64_t>(x1 / record.NumSamp, blocks - 1));
  span.firstBlock = first;
  span.blocks = last - first + 1;
  return span;
}

int32_t ProposeDivisor(int64_t vmin, int64_t vmax, CodeRange codes) {
  const int64_t zero = codes.zero;
  const int64_t below = std::max<int64_t>(zero, 1);
  const int64_t above = std::max<int64_t>(int64_t{codes.full} - zero, 1);
  const int64_t d = std::max({(zero - vmin - 1) / below + 1, vmax / above + 1, int64_t{1}});
  return static_cast<int32_t>(std::min<int64_t>(d, std::numeric_limits<int32_t>::max()));
}

int32_t ProposeIntegralDivisor(const HistoryRecord& record, const DerivedSpan& span, int32_t channel,
                               CodeRange codes) {
  const SpanReader x(record, span, channel);
  if (x.Rows() == 0) return 1;
  int64_t vmin = std::numeric_limits<int64_t>::max();
  int64_t vmax = std::numeric_limits<int64_t>::min();
  RunningSums(x, codes.zero, [&](int64_t j, int64_t s) {
    const int64_t v = s - s / (j + 1);
    vmin = std::min(vmin, v);
    vmax = std::max(vmax, v);
  });
  return ProposeDivisor(vmin, vmax, codes);
}

int32_t ProposeDifferenceDivisor(const HistoryRecord& record, const DerivedSpan& span, int32_t channel, int32_t lag,
                                 CodeRange codes) {
  const SpanReader x(record, span, channel);
  lag = std::max(lag, 1);
  if (x.Rows() <= lag) return 1;
  int64_t vmin = std::numeric_limits<int64_t>::max();
  int64_t vmax = std::numeric_limits<int64_t>::min();
  for (int64_t j = lag; j < x.Rows(); ++j) {
    const int64_t d = x.At(j) - x.At(j - lag);
    vmin = std::min(vmin, d);
    vmax = std::max(vmax, d);
  }
  return ProposeDivisor(vmin, vmax, codes);
}

DerivedChannelDef DefaultDerivedDef(const HistoryRecord& record, const DerivedSpan& span, int32_t channel,
                                    const AnalogChannel& source, CodeRange codes) {
  DerivedChannelDef d;
  const bool plain = !CounterOrRaw(source);
  d.SourceUsed = plain ? 1 : 0;
  d.SourceName = DerivedText(source.ChnName);
  d.SourceUnit = DerivedText(source.ChnUnits);
  d.SourceA = source.ChnCoeA;
  d.SourceB = source.ChnCoeB;
  d.IntegralDivisor = plain ? ProposeIntegralDivisor(record, span, channel, codes) : 1;
  d.IntegralName = DerivedText("积分" + source.ChnName);
  d.IntegralUnit = d.SourceUnit;
  d.IntegralB = static_cast<float>(d.IntegralDivisor * double{source.ChnCoeB});
  d.DifferenceDivisor = plain ? ProposeDifferenceDivisor(record, span, channel, d.DifferenceOrder, codes) : 1;
  d.DifferenceName = DerivedText("差分" + source.ChnName);
  d.DifferenceUnit = d.SourceUnit;
  d.DifferenceB = static_cast<float>(d.DifferenceDivisor * double{source.ChnCoeB});
  return d;
}

std::vector<uint16_t> IntegralColumn(const HistoryRecord& record, const DerivedSpan& span, int32_t channel,
                                     int32_t divisor, bool removeMean, CodeRange codes) {
  const SpanReader x(record, span, channel);
  const int64_t div = std::max(divisor, 1);
  std::vector<uint16_t> out(static_cast<size_t>(std::max<int64_t>(span.Rows(), 0)), Clamped(codes.zero, codes));
  RunningSums(x, codes.zero, [&](int64_t j, int64_t s) {
    // "Remove mean" takes S_j / (j + 1) off the running sum, as the set has
    // always been built.
    const int64_t v = removeMean ? s - s / (j + 1) : s;
    out[static_cast<size_t>(j)] = Clamped(codes.zero + v / div, codes);
  });
  return out;
}

std::vector<uint16_t> DifferenceColumn(const HistoryRecord& record, const DerivedSpan& span, int32_t channel,
                                       int32_t lag, int32_t divisor, CodeRange codes) {
  const SpanReader x(record, span, channel);
  const int64_t div = std::max(divisor, 1);
  lag = std::max(lag, 1);
  std::vector<uint16_t> out(static_cast<size_t>(std::max<int64_t>(span.Rows(), 0)), Clamped(codes.zero, codes));
  for (int64_t j = lag; j < x.Rows(); ++j)
    out[static_cast<size_t>(j)] = Clamped(codes.zero + (x.At(j) - x.At(j - lag)) / div, codes);
  return out;
}

DerivedCounts CountDerivedOutputs(const std::vector<DerivedChannelDef>& defs) {
  DerivedCounts n;
  for (const DerivedChannelDef& d : defs) {
    const int32_t used = (d.SourceUsed != 0) + (d.IntegralUsed != 0) + (d.DifferenceUsed != 0);
    n.outputs += used;
    n.pages += used > 0 ? 1 : 0;
  }
  return n;
}

DerivedBuildResult BuildDerivedSet(const HistoryRecord& record, const DerivedSpan& span,
                                   const std::vector<DerivedChannelDef>& defs,
                                   const std::vector<AnalogChannel>& sources, CodeRange codes, DerivedSet& out) {
  const size_t channels = std::min({defs.size(), sources.size(),
                                    static_cast<size_t>(std::max(std::min(record.AnalogCount, record.NumChn), 0))});
  const std::vector<DerivedChannelDef> used(defs.begin(), defs.begin() + static_cast<std::ptrdiff_t>(channels));
  const DerivedCounts n = CountDerivedOutputs(used);
  if (n.outputs == 0) return DerivedBuildResult::NoOutputs;
  if (n.outputs > kDerivedMaxOutputs) return DerivedBuildResult::TooManyOutputs;

  const auto rows = static_cast<size_t>(std::max<int64_t>(span.Rows(), 0));
  const auto width = static_cast<size_t>(n.outputs);
  DerivedSet set;
  set.samples.assign(rows * width, 0);
  set.pages = n.pages;
  int32_t page = 0;
  for (size_t c = 0; c < channels; ++c) {
    const DerivedChannelDef& d = used[c];
    const auto ch = static_cast<int32_t>(c);
    auto add = [&](const std::string& name, const std::string& unit, float a, float b,
                   const std::vector<uint16_t>& column) {
      const size_t k = set.channels.size();
      AnalogChannel out = sources[c];
      out.ChnName = DerivedText(name);
      out.ChnUnits = DerivedText(unit);
      out.ChnCoeA = a;
      out.ChnCoeB = b;
      out.ChnGroupNo = static_cast<int32_t>(k);
      out.ChnPageNo = page;
      set.channels.push_back(std::move(out));
      for (size_t j = 0; j < rows; ++j) set.samples[j * width + k] = column[j];
    };
    if (d.SourceUsed != 0) {
      const SpanReader x(record, span, ch);
      std::vector<uint16_t> column(rows, 0);
      for (int64_t j = 0; j < x.Rows(); ++j) column[static_cast<size_t>(j)] = static_cast<uint16_t>(x.At(j));
      add(d.SourceName, d.SourceUnit, d.SourceA, d.SourceB, column);
    }
    if (d.IntegralUsed != 0)
      add(d.IntegralName, d.IntegralUnit, d.IntegralA, d.IntegralB,
          IntegralColumn(record, span, ch, d.IntegralDivisor, d.IntegralRemoveMean == 1, codes));
    if (d.DifferenceUsed != 0)
      add(d.DifferenceName, d.DifferenceUnit, d.DifferenceA, d.DifferenceB,
          DifferenceColumn(record, span, ch, d.DifferenceOrder, d.DifferenceDivisor, codes));
    if (d.SourceUsed != 0 || d.IntegralUsed != 0 || d.DifferenceUsed != 0) ++page;
  }
  out = std::move(set);
  return DerivedBuildResult::Built;
}

}  // namespace quelvar
