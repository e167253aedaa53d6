#include "view/WaveTraces.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "common/ConfigBounds.h"
#include "view/DisplayReading.h"
#include "view/EngineeringUnits.h"
#include "view/LeftClipper.h"
#include "view/TraceWindow.h"

namespace quelvar {

namespace {

using traces::CeilDivision;
using traces::ExistingScreenPoints;
using traces::ScreenRange;
using traces::TraceWindow;
using traces::TraceWindowOf;

// Pixel coordinates are kept this far from the int limits: far outside any
// canvas, so a clipped line still leaves in the right direction, and the
// joins' integer arithmetic cannot overflow.
constexpr double kCoordLimit = 1 << 24;

int ToPixel(double value) {
  if (std::isnan(value)) return 0;
  return static_cast<int>(std::clamp(value, -kCoordLimit, kCoordLimit));  // truncates toward zero
}


// Where one trace's samples lie in the ring: row `row` of the matrix holds
// sub-samples row x rate .. row x rate + rate - 1 in words[0 .. rate - 1]
// (-1: a word outside the row, never read).
struct Source {
  const uint16_t* data = nullptr;
  int64_t rowWords = 0;
  int32_t rows = 0;
  int64_t firstRow = 0;  // DispFirstBlock x NumSamp
  int32_t rate = 1;
  std::vector<int32_t> words;

  bool Usable() const {
    return data != nullptr && rows > 0 && rowWords > 0 &&
           std::any_of(words.begin(), words.end(), [](int32_t w) { return w >= 0; });
  }
  // Matrix row of display row `displayRow` (0 .. rows - 1).
  int32_t MatrixRow(int64_t displayRow) const { return WrapDisplayRow(displayRow + firstRow, rows); }
};

Source SourceOf(const TraceData& data, int32_t word, int32_t rate, const int32_t* extraFirst) {
  Source source;
  if (data.Display == nullptr) return source;
  const DisplayDescriptor& display = *data.Display;
  source.data = display.DispData;
  source.rowWords = display.DispRowWords;
  source.rows = display.DispRows;
  source.firstRow = static_cast<int64_t>(display.DispFirstBlock) * data.NumSamp;
  source.rate = std::clamp(rate, 1, kMaxMultiFreq);
  source.words.assign(static_cast<size_t>(source.rate), -1);
  for (int32_t k = 0; k < source.rate; ++k) {
    const int64_t w = k == 0 ? word : (extraFirst != nullptr ? static_cast<int64_t>(*extraFirst) + k - 1 : -1);
    if (w >= 0 && w < display.DispRowWords) source.words[static_cast<size_t>(k)] = static_cast<int32_t>(w);
  }
  return source;
}


// Screen point j's x: left + N x j / (DisplayWidth - 1), in 64 bits.
int ScreenX(const TraceRow& row, int64_t j, int64_t width) {
  const int64_t divisor = std::max<int64_t>(width - 1, 1);
  return ToPixel(static_cast<double>(row.Left + static_cast<int64_t>(row.N) * j / divisor));
}

// The sub-samples s0 .. s1 of a channel of rate m on screen, without those
// before the first row or after the last.
struct SubRange {
  int64_t s0 = 0;
  int64_t s1 = -1;
  int64_t Count() const { return std::max<int64_t>(s1 - s0 + 1, 0); }
};

SubRange SubSamplesOnScreen(const TraceWindow& window, int32_t rate, int32_t rows) {
  SubRange range;
  const int64_t m = rate, mf = window.maxMultiFreq;
  range.s0 = std::max<int64_t>(window.first * m / mf, 0);
  const int64_t lastPoint = std::min(window.first + window.width - 1, window.points - 1);
  if (lastPoint < 0) return {0, -1};
  range.s1 = std::min(CeilDivision(lastPoint * m, mf), static_cast<int64_t>(rows) * m - 1);
  return range;
}

// x of sub-sample s of a channel of rate m, as the single-rate x rule spread
// over the sub-samples, in floating point and truncated.
double SubSampleX(const TraceRow& row, const TraceWindow& window, int32_t rate, int64_t s) {
  const double m = rate, mf = window.maxMultiFreq, n = row.N;
  const double divisor = static_cast<double>(std::max<int64_t>(window.width - 1, 1));
  const int64_t b = (window.first / window.maxMultiFreq) * rate;
  return static_cast<double>(s - b) * n * mf / m / divisor + row.Left +
         n * (static_cast<double>(b) / m * mf - static_cast<double>(window.first)) / divisor;
}

// Visits the words of sub-samples s0 .. s1 (in matrix order, wrapping once),
// skipping those whose word lies outside the row.
template <typename Visit>
void ForEachSubSample(const Source& source, SubRange range, Visit&& visit) {
  if (!source.Usable() || range.Count() == 0) return;
  const int64_t rate = source.rate;
  int64_t displayRow = range.s0 / rate;
  int32_t k = static_cast<int32_t>(range.s0 % rate);
  int32_t row = source.MatrixRow(displayRow);
  for (int64_t s = range.s0; s <= range.s1; ++s) {
    const int32_t word = source.words[static_cast<size_t>(k)];
    if (word >= 0) visit(s, source.data[row * source.rowWords + word]);
    if (++k == rate) {
      k = 0;
      if (++row == source.rows) row = 0;
    }
  }
}

// Column extremes of a run of samples keyed by a monotonic key: the trace's
// y is a monotonic function of the key, so a column's y extremes are those of
// its lowest and highest key.
struct ColumnKeys {
  int x = 0;
  uint16_t first = 0;
  uint16_t last = 0;
  uint16_t low = 0;
  uint16_t high = 0;
};

// Single-rate samples j0 .. j1 - 1 of the screen gathered by pixel column:
// screen point j lies in column floor(N x j / (W - 1)), so column k holds
// j from ceil(k (W - 1) / N). Only used with N > 0.
template <typename Key>
std::vector<ColumnKeys> ColumnsFromRows(const Source& source, const TraceRow& row, const TraceWindow& window,
                                        int64_t j0, int64_t j1, Key&& key, uint64_t& keySum) {
  std::vector<ColumnKeys> columns;
  const int64_t divisor = std::max<int64_t>(window.width - 1, 1);
  const int64_t n = row.N;
  const uint16_t* base = source.data + source.words[0];
  int32_t matrixRow = source.MatrixRow(window.first + j0);
  int64_t column = n * j0 / divisor;
  int64_t j = j0;
  uint64_t sum = 0;
  while (j < j1) {
    const int64_t next = std::min(CeilDivision((column + 1) * divisor, n), j1);
    if (next <= j) {  // a column no screen point falls in
      ++column;
      continue;
    }
    ColumnKeys keys;
    keys.x = ToPixel(static_cast<double>(row.Left + column));
    keys.first = key(base[matrixRow * source.rowWords]);
    uint16_t low = keys.first, high = keys.first, last = keys.first;
    // The column's samples in runs that do not cross the ring's end.
    for (int64_t remaining = next - j; remaining > 0;) {
      const int64_t run = std::min<int64_t>(remaining, source.rows - matrixRow);
      const uint16_t* p = base + matrixRow * source.rowWords;
      for (int64_t i = 0; i < run; ++i, p += source.rowWords) {
        const uint16_t value = key(*p);
        low = std::min(low, value);
        high = std::max(high, value);
        sum += value;
        last = value;
      }
      remaining -= run;
      matrixRow += static_cast<int32_t>(run);
      if (matrixRow == source.rows) matrixRow = 0;
    }
    keys.last = last;
    keys.low = low;
    keys.high = high;
    columns.push_back(keys);
    j = next;
    ++column;
  }
  keySum = sum;
  return columns;
}

// The same columns taken from a screen's gathered extremes: a switch bit is
// low somewhere in a column when the AND of its words clears it, high
// somewhere when their OR sets it.
template <typename Key>
std::vector<ColumnKeys> ColumnsFromGathered(const TraceColumns& gathered, const Source& source, const TraceRow& row,
                                            int32_t switchBit, Key&& key, uint64_t& keySum) {
  const int32_t word = source.words[0];
  std::vector<ColumnKeys> columns(static_cast<size_t>(gathered.Columns()));
  for (int32_t k = 0; k < gathered.Columns(); ++k) {
    ColumnKeys& keys = columns[static_cast<size_t>(k)];
    keys.x = ToPixel(static_cast<double>(row.Left) + gathered.PixelColumn(k));
    const TraceColumns::Extremes e = gathered.At(k, word);
    keys.first = key(e.first);
    keys.last = key(e.last);
    if (switchBit < 0) {
      keys.low = e.low;
      keys.high = e.high;
    } else {
      keys.low = static_cast<uint16_t>((e.low >> switchBit) & 1u);
      keys.high = static_cast<uint16_t>((e.high >> switchBit) & 1u);
    }
  }
  keySum = switchBit < 0 ? gathered.Sum(word) : 0;
  return columns;
}

// Feeds the polyline one reduced column as the samples that matter: the
// first, the two extremes and the last, all on the column's x. The polyline
// draws exactly what it would from every sample of the column.
template <typename YOf>
void AddColumn(TracePolyline& line, const ColumnKeys& keys, YOf&& yOf) {
  line.AddColumn(keys.x, yOf(keys.first), yOf(keys.low), yOf(keys.high), yOf(keys.last));
}


// One trace of a source: `key` picks what decides y from a word (the code, or
// a switch bit); makeYOf, given the mean key of the samples on screen (the
// AC display's centre; only summed when `needsMean`), returns the key's y.
// `gathered`, when not null, holds this screen's columns.
template <typename Key, typename YOfFactory>
void DrawTrace(platform::Canvas& canvas, const Source& source, const TraceRow& row, const TraceWindow& window,
               Key&& key, YOfFactory&& makeYOf, bool needsMean, const TraceColumns* gathered,
               int32_t switchBit) {
  if (!source.Usable()) return;
  if (window.maxMultiFreq <= 1) {
    const ScreenRange range = ExistingScreenPoints(window);
    const int64_t count = range.j1 - range.j0;
    if (count <= 0) return;
    TracePolyline line(canvas, count, row.N);
    if (line.ReducesColumns() && row.N > 0) {
      uint64_t sum = 0;
      const std::vector<ColumnKeys> columns =
          gathered != nullptr ? ColumnsFromGathered(*gathered, source, row, switchBit, key, sum)
                              : ColumnsFromRows(source, row, window, range.j0, range.j1, key, sum);
      const auto yOf = makeYOf(static_cast<double>(sum) / static_cast<double>(count));
      for (const ColumnKeys& keys : columns) AddColumn(line, keys, yOf);
      return;
    }
    SubRange rows{window.first + range.j0, window.first + range.j1 - 1};
    uint64_t sum = 0;
    if (needsMean) ForEachSubSample(source, rows, [&](int64_t, uint16_t word) { sum += key(word); });
    const auto yOf = makeYOf(static_cast<double>(sum) / static_cast<double>(count));
    ForEachSubSample(source, rows, [&](int64_t p, uint16_t word) {
      line.Add(ScreenX(row, p - window.first, window.width), yOf(key(word)));
    });
    return;
  }
  const SubRange range = SubSamplesOnScreen(window, source.rate, source.rows);
  if (range.Count() == 0) return;
  double mean = 0.0;
  if (needsMean) {
    uint64_t sum = 0;
    int64_t read = 0;
    ForEachSubSample(source, range, [&](int64_t, uint16_t word) {
      sum += key(word);
      ++read;
    });
    if (read == 0) return;
    mean = static_cast<double>(sum) / static_cast<double>(read);
  }
  const auto yOf = makeYOf(mean);
  TracePolyline line(canvas, range.Count(), row.N);
  LeftClipper clipper(line, row.Left);
  ForEachSubSample(source, range, [&](int64_t s, uint16_t word) {
    clipper.Add(ToPixel(SubSampleX(row, window, source.rate, s)), yOf(key(word)));
  });
}

}  // namespace

double EffectivePreAmp(float chnPreAmp) {
  if (!std::isfinite(chnPreAmp) || chnPreAmp <= 0.0f) return 1.0;
  return chnPreAmp;
}

void DrawAnalogTrace(platform::Canvas& canvas, const TraceData& data, const TraceRow& row, const WaveViewState& view,
                     const AnalogChannel& channel, int32_t channelNumber, const TraceColumns* columns) {
  if (data.Display == nullptr || data.Layout == nullptr) return;
  if (channelNumber < 0 || channelNumber >= kMaxVirtualChannels) return;
  const SampleLayout& layout = *data.Layout;
  const TraceWindow window = TraceWindowOf(data, view);
  const int32_t rate = window.maxMultiFreq > 1 ? layout.MultiFreqTable[static_cast<size_t>(channelNumber)] : 1;
  const Source source = SourceOf(data, channelNumber, rate, &layout.ExtraSlotFirst[static_cast<size_t>(channelNumber)]);

  const double g = EffectivePreAmp(channel.ChnPreAmp);
  const double vZero = data.VZero;
  const double range = static_cast<double>(data.ADMax) - data.VZero;
  // A card whose full scale equals its zero has no scale: every code is 0 V.
  const auto fraction = [range](double codes) { return range != 0.0 ? codes / range : 0.0; };
  const double yZoom = std::max(view.YZoom, 1);
  const double halfHeight = row.Height / 2;
  const double centreY = row.CentreY;
  const bool dc = view.IDDC == 1;
  double dcCentre = 0.0;
  if (dc) {
    const double vc = view.YOffset * 2.0 / yZoom;
    const double az = channel.ChnAxialZero;
    if (channel.ChnIDDC == kChannelCounter || channel.ChnIDDC == kChannelRawCode) {
      dcCentre = fraction(az / g - vZero) * 5.0 + vc / g;
    } else {
      dcCentre = vc - fraction(vZero - az) * 5.0;
    }
  }
  const auto makeYOf = [&](double meanWord) {
    const double centre = dc ? dcCentre : fraction(meanWord - vZero) * 5.0;
    return [=](uint16_t word) {
      double y = centreY - g * (fraction(word - vZero) - 0.2 * centre) * halfHeight * yZoom;
      if (std::isnan(y)) y = centreY;
      return ToPixel(y);
    };
  };
  const TraceColumns* gathered =
      columns != nullptr && columns->Holds(data, view, row.N, channelNumber, false) ? columns : nullptr;
  DrawTrace(canvas, source, row, window, [](uint16_t word) { return word; }, makeYOf, !dc, gathered, -1);
}

void DrawSwitchTrace(platform::Canvas& canvas, const TraceData& data, const TraceRow& row, const WaveViewState& view,
                     int32_t switchInput, const TraceColumns* columns) {
  if (data.Display == nullptr || data.Layout == nullptr || switchInput < 0) return;
  const SwitchBit bit = SwitchBitOf(data.AnalogNum, switchInput);
  if (bit.word < 0) return;
  const TraceWindow window = TraceWindowOf(data, view);
  // One value per matrix row: spread over the row's points like a channel of rate 1.
  const Source source = SourceOf(data, bit.word, 1, nullptr);
  const int high = ToPixel(row.CentreY - 0.4 * row.Height);
  const int low = ToPixel(row.CentreY + 0.4 * row.Height);
  const int32_t shift = bit.bit;
  const auto makeYOf = [=](double) { return [=](uint16_t set) { return set != 0 ? high : low; }; };
  const TraceColumns* gathered =
      columns != nullptr && columns->Holds(data, view, row.N, bit.word, true) ? columns : nullptr;
  DrawTrace(canvas, source, row, window, [shift](uint16_t word) { return static_cast<uint16_t>((word >> shift) & 1u); },
            makeYOf, false, gathered, shift);
}


TracePolyline::TracePolyline(platform::Canvas& canvas, int64_t samples, int width)
    : canvas_(canvas), columns_(2 * static_cast<int64_t>(width) < samples) {}

void TracePolyline::Add(int x, int y) {
  if (!started_) {
    started_ = true;
    canvas_.MoveTo(x, y);
    x_ = x;
    lastY_ = low_ = high_ = y;
    return;
  }
  if (!columns_) {
    canvas_.LineTo(x, y);
    return;
  }
  if (x == x_) {
    low_ = std::min(low_, y);
    high_ = std::max(high_, y);
    lastY_ = y;
    columnOpen_ = true;
    return;
  }
  Finish();
  canvas_.LineTo(x, y);
  x_ = x;
  lastY_ = low_ = high_ = y;
}

void TracePolyline::AddColumn(int x, int firstY, int lowY, int highY, int lastY) {
  Add(x, firstY);
  if (!columns_) {
    Add(x, lowY);
    Add(x, highY);
    Add(x, lastY);
    return;
  }
  // The column at x is open now, whether this sample opened it or not.
  low_ = std::min({low_, lowY, highY, lastY});
  high_ = std::max({high_, lowY, highY, lastY});
  lastY_ = lastY;
  columnOpen_ = true;
}

void TracePolyline::Finish() {
  if (!columnOpen_) return;
  columnOpen_ = false;
  // The column's first sample is where the pen stands; a flat column has
  // nothing more to show. The vertical line paints both extremes (a line
  // leaves out its end point).
  if (low_ != high_) {
    canvas_.MoveTo(x_, low_);
    canvas_.LineTo(x_, high_ + 1);
    canvas_.MoveTo(x_, lastY_);
  }
}

TracePolyline::~TracePolyline() { Finish(); }

}  // namespace quelvar
