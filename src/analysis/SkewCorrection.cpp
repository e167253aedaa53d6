#include "analysis/SkewCorrection.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "common/NumberFormat.h"
#include "setup/DialogNumbers.h"

namespace quelvar {

namespace {

constexpr int kDelayPrecision = 15;  // significant digits of the offered delay
constexpr double kMicrosecondsPerSecond = 1000000.0;

int64_t RowsOf(const HistoryRecord& r) { return int64_t{r.NumSamp} * r.BlockCount; }

// Rate, geometry and buffer agree: the correction reads exactly the rows the
// record claims and no word beyond them.
bool Correctable(const HistoryRecord& r) {
  if (r.Valid != 1) return false;
  if (!(std::isfinite(r.FrqSamp) && r.FrqSamp > 0.0f)) return false;
  if (r.NumChn < 1 || r.NumSamp < 0 || r.BlockCount < 0) return false;
  const int64_t words = RowsOf(r) * r.NumChn;  // each factor below 2^31
  return words <= static_cast<int64_t>(r.Samples.size());
}

// The word of the analog base sample stored back: truncated toward zero as
// the card's codes are whole, kept within the 16-bit code range.
uint16_t StoredCode(double value) {
  if (std::isnan(value)) return 0;
  return static_cast<uint16_t>(std::clamp(std::trunc(value), 0.0, 65535.0));
}

}  // namespace

std::optional<std::string> SkewRefusal(const SkewPreconditions& pre, const HistoryRecord& record) {
  if (!pre.historyShown) return std::string("提示:未选中历史数据!");
  if (pre.runState != 0) return std::string("提示:采集过程中不能进行同步化处理!");
  if (record.Synced == 1) return std::string("提示:已进行过同步化处理!");
  if (!Correctable(record)) return std::string("提示:历史数据无效!");
  return std::nullopt;
}

double SkewRowPeriod(const HistoryRecord& record) { return kMicrosecondsPerSecond / double{record.FrqSamp}; }

double DefaultSkewDelay(const HistoryRecord& record) {
  return SkewRowPeriod(record) / std::max(record.NumChn, 1);
}

std::string SkewDelayText(double delay) { return FormatFixed(delay, kDelayPrecision, 2); }

double SkewDelayFromAnswer(std::string_view answer, double offered) {
  return ParseDialogReal(answer).value_or(offered);
}

bool CorrectChannelSkew(HistoryRecord& record, double delay) {
  if (!Correctable(record) || !std::isfinite(delay)) return false;
  const int64_t rows = RowsOf(record);
  const int64_t width = record.NumChn;
  const int32_t analogWords = std::min(record.AnalogCount, record.NumChn);
  const double period = SkewRowPeriod(record);
  if (rows >= 3) {
    std::vector<double> y(static_cast<size_t>(rows));
    uint16_t* const samples = record.Samples.data();
    for (int32_t i = 1; i < analogWords; ++i) {
      for (int64_t j = 0; j < rows; ++j) y[static_cast<size_t>(j)] = samples[j * width + i];
      // The instants of word 0 relative to the fit's first row, as
      // fractions of the row period: the parabola through (0, y[j-1]),
      // (1, y[j]), (2, y[j+1]) is y[j-1] + u (c1 + u c2).
      const double lag = i * delay / period;
      const double uFirst = -lag, uMiddle = 1.0 - lag, uLast = 2.0 - lag;
      for (int64_t j = 1; j + 1 < rows; ++j) {
        const double y0 = y[static_cast<size_t>(j - 1)];
        const double d1 = y[static_cast<size_t>(j)] - y0;
        const double d2 = y[static_cast<size_t>(j + 1)] - y0;
        const double c1 = (4.0 * d1 - d2) / 2.0;
        const double c2 = (d2 - 2.0 * d1) / 2.0;
        auto at = [&](double u) { return StoredCode(y0 + u * (c1 + u * c2)); };
        if (j == 1) samples[i] = at(uFirst);
        samples[j * width + i] = at(uMiddle);
        if (j == rows - 2) samples[(rows - 1) * width + i] = at(uLast);
      }
    }
  }
  record.Synced = 1;
  return true;
}

}  // namespace quelvar
