#include "view/WaveTraces.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "common/ConfigBounds.h"
#include "view/DisplayReading.h"
#include "view/EngineeringUnits.h"

namespace quelvar {

namespace {

// Pixel coordinates are kept this far from the int limits: far outside any
// canvas, so a clipped line still leaves in the right direction, and the
// joins' integer arithmetic cannot overflow.
constexpr double kCoordLimit = 1 << 24;

int ToPixel(double value) {
  if (std::isnan(value)) return 0;
  return static_cast<int>(std::clamp(value, -kCoordLimit, kCoordLimit));  // truncates toward zero
}

int64_t FloorDiv(int64_t a, int64_t b) {
  const int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

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

// The plot's view of the data: points XPosition .. XPosition + DisplayWidth - 1
// of which only 0 .. DispPoints - 1 exist.
struct Window {
  int64_t first = 0;  // XPosition
  int64_t width = 1;  // DisplayWidth, at least 1
  int32_t maxMultiFreq = 1;
  int64_t points = 0;  // display points that exist
};

Window WindowOf(const TraceData& data, const WaveViewState& view) {
  Window window;
  window.first = view.XPosition;
  window.width = std::max(view.DisplayWidth, 1);
  window.maxMultiFreq = data.Layout != nullptr ? std::clamp(data.Layout->MaxMultiFreq, 1, kMaxMultiFreq) : 1;
  if (data.Display != nullptr) {
    const int64_t rows = std::max(data.Display->DispRows, 0);
    window.points = std::clamp<int64_t>(data.Display->DispPoints, 0, rows * window.maxMultiFreq);
  }
  return window;
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

SubRange SubSamplesOnScreen(const Window& window, int32_t rate, int32_t rows) {
  SubRange range;
  const int64_t m = rate, mf = window.maxMultiFreq;
  range.s0 = std::max<int64_t>(window.first * m / mf, 0);
  const int64_t lastPoint = std::min(window.first + window.width - 1, window.points - 1);
  if (lastPoint < 0) return {0, -1};
  range.s1 = std::min(CeilDiv(lastPoint * m, mf), static_cast<int64_t>(rows) * m - 1);
  return range;
}

// x of sub-sample s of a channel of rate m, as the single-rate x rule spread
// over the sub-samples, in floating point and truncated.
double SubSampleX(const TraceRow& row, const Window& window, int32_t rate, int64_t s) {
  const double m = rate, mf = window.maxMultiFreq, n = row.N;
  const double divisor = static_cast<double>(std::max<int64_t>(window.width - 1, 1));
  const int64_t b = (window.first / window.maxMultiFreq) * rate;
  return static_cast<double>(s - b) * n * mf / m / divisor + row.Left +
         n * (static_cast<double>(b) / m * mf - static_cast<double>(window.first)) / divisor;
}

// Feeds the polyline with samples in order, moving a first sample that lies
// left of the plot onto the left edge along its segment to the next one.
class LeftClipper {
 public:
  LeftClipper(TracePolyline& line, int left) : line_(line), left_(left) {}
  void Add(int x, int y) {
    if (!seenInside_) {
      if (x < left_) {
        pending_ = true;
        px_ = x;
        py_ = y;
        return;
      }
      seenInside_ = true;
      if (pending_) {
        const int64_t yc = py_ + (static_cast<int64_t>(y) - py_) * (left_ - px_) / (static_cast<int64_t>(x) - px_);
        line_.Add(left_, static_cast<int>(yc));
      }
    }
    line_.Add(x, y);
  }

 private:
  TracePolyline& line_;
  int left_;
  bool seenInside_ = false;
  bool pending_ = false;
  int px_ = 0;
  int py_ = 0;
};

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
std::vector<ColumnKeys> GatherColumns(const Source& source, const TraceRow& row, const Window& window, int64_t j0,
                                      int64_t j1, Key&& key, uint64_t& keySum) {
  std::vector<ColumnKeys> columns;
  const int64_t divisor = std::max<int64_t>(window.width - 1, 1);
  const int64_t n = row.N;
  const uint16_t* base = source.data + source.words[0];
  int32_t matrixRow = source.MatrixRow(window.first + j0);
  int64_t column = n * j0 / divisor;
  int64_t j = j0;
  uint64_t sum = 0;
  while (j < j1) {
    const int64_t next = std::min(CeilDiv((column + 1) * divisor, n), j1);
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
std::vector<ColumnKeys> ColumnsOf(const TraceColumns& gathered, const Source& source, const TraceRow& row,
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
  line.Add(keys.x, yOf(keys.first));
  line.Add(keys.x, yOf(keys.low));
  line.Add(keys.x, yOf(keys.high));
  line.Add(keys.x, yOf(keys.last));
}

// The screen points j0 .. j1 - 1 that exist (0 <= XPosition + j < points).
struct ScreenRange {
  int64_t j0 = 0;
  int64_t j1 = 0;
};

ScreenRange ExistingScreenPoints(const Window& window) {
  ScreenRange range;
  range.j0 = std::clamp<int64_t>(-window.first, 0, window.width);
  range.j1 = std::clamp<int64_t>(window.points - window.first, range.j0, window.width);
  return range;
}

// One trace of a source: `key` picks what decides y from a word (the code, or
// a switch bit); makeYOf, given the mean key of the samples on screen (the
// AC display's centre), returns the key's y. `gathered`, when not null,
// holds this screen's columns.
template <typename Key, typename YOfFactory>
void DrawTrace(platform::Canvas& canvas, const Source& source, const TraceRow& row, const Window& window, Key&& key,
               YOfFactory&& makeYOf, const TraceColumns* gathered, int32_t switchBit) {
  if (!source.Usable()) return;
  if (window.maxMultiFreq <= 1) {
    const ScreenRange range = ExistingScreenPoints(window);
    const int64_t count = range.j1 - range.j0;
    if (count <= 0) return;
    TracePolyline line(canvas, count, row.N);
    if (line.ReducesColumns() && row.N > 0) {
      uint64_t sum = 0;
      const std::vector<ColumnKeys> columns =
          gathered != nullptr ? ColumnsOf(*gathered, source, row, switchBit, key, sum)
                              : GatherColumns(source, row, window, range.j0, range.j1, key, sum);
      const auto yOf = makeYOf(static_cast<double>(sum) / static_cast<double>(count));
      for (const ColumnKeys& keys : columns) AddColumn(line, keys, yOf);
      return;
    }
    SubRange rows{window.first + range.j0, window.first + range.j1 - 1};
    uint64_t sum = 0;
    ForEachSubSample(source, rows, [&](int64_t, uint16_t word) { sum += key(word); });
    const auto yOf = makeYOf(static_cast<double>(sum) / static_cast<double>(count));
    ForEachSubSample(source, rows, [&](int64_t p, uint16_t word) {
      line.Add(ScreenX(row, p - window.first, window.width), yOf(key(word)));
    });
    return;
  }
  const SubRange range = SubSamplesOnScreen(window, source.rate, source.rows);
  if (range.Count() == 0) return;
  uint64_t sum = 0;
  int64_t read = 0;
  ForEachSubSample(source, range, [&](int64_t, uint16_t word) {
    sum += key(word);
    ++read;
  });
  if (read == 0) return;
  const auto yOf = makeYOf(static_cast<double>(sum) / static_cast<double>(read));
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
  const Window window = WindowOf(data, view);
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
  DrawTrace(canvas, source, row, window, [](uint16_t word) { return word; }, makeYOf, gathered, -1);
}

void DrawSwitchTrace(platform::Canvas& canvas, const TraceData& data, const TraceRow& row, const WaveViewState& view,
                     int32_t switchInput, const TraceColumns* columns) {
  if (data.Display == nullptr || data.Layout == nullptr || switchInput < 0) return;
  const SwitchBit bit = SwitchBitOf(data.AnalogNum, switchInput);
  if (bit.word < 0) return;
  const Window window = WindowOf(data, view);
  // One value per matrix row: spread over the row's points like a channel of rate 1.
  const Source source = SourceOf(data, bit.word, 1, nullptr);
  const int high = ToPixel(row.CentreY - 0.4 * row.Height);
  const int low = ToPixel(row.CentreY + 0.4 * row.Height);
  const int32_t shift = bit.bit;
  const auto makeYOf = [=](double) { return [=](uint16_t set) { return set != 0 ? high : low; }; };
  const TraceColumns* gathered =
      columns != nullptr && columns->Holds(data, view, row.N, bit.word, true) ? columns : nullptr;
  DrawTrace(canvas, source, row, window, [shift](uint16_t word) { return static_cast<uint16_t>((word >> shift) & 1u); },
            makeYOf, gathered, shift);
}

namespace {

// Gathered values a screen may hold per kind (columns x words): far above a
// real screen's 1921 x 112, well below what a damaged row width would ask.
constexpr int64_t kMaxGatheredValues = int64_t{1} << 21;

// Words swept together: a few vector registers of 16-bit lanes per kind,
// kept in registers while the rows of a column go by. Fewer lanes sweep each
// row more times; more spill out of the registers.
constexpr int32_t kLanes = 32;

// Rows swept at a time by each block of words: few enough to stay in the
// first-level cache between the blocks (128 rows of 112 words: 28 KiB), and
// for the 32-bit partial sums of 65535 codes.
constexpr int64_t kRunRows = 128;

// One column's accumulators for a block of words: the lowest and highest
// code of analog words, the AND and OR of switch words. Codes are kept with
// their top bit flipped, as signed numbers, whose minimum and maximum every
// vector unit has.
struct Accumulators {
  uint16_t low[kLanes];
  uint16_t high[kLanes];
  uint32_t sum[kLanes];
};

constexpr uint16_t kSignFlip = 0x8000;

template <bool kCodes, bool kSums>
inline void Accumulate(Accumulators& a, int32_t c, uint16_t v) {
  if constexpr (kCodes) {
    const auto flipped = static_cast<int16_t>(v ^ kSignFlip);
    a.low[c] = static_cast<uint16_t>(std::min(static_cast<int16_t>(a.low[c]), flipped));
    a.high[c] = static_cast<uint16_t>(std::max(static_cast<int16_t>(a.high[c]), flipped));
  } else {
    a.low[c] = static_cast<uint16_t>(a.low[c] & v);   // set in every point
    a.high[c] = static_cast<uint16_t>(a.high[c] | v);  // set in any point
  }
  if constexpr (kSums) a.sum[c] += v;
}

#if defined(__GNUC__)
// The hot sweep of a full block of analog words, in vector registers the
// compiler cannot leave in memory: eight 16-bit lanes a vector, four vectors
// of minima and four of maxima.
using Lanes8 = int16_t __attribute__((vector_size(16)));
constexpr int32_t kVectors = kLanes / 8;
static_assert(kVectors == 4, "the sweep below names four vectors");

inline Lanes8 LoadFlipped(const uint16_t* words) {
  Lanes8 v;
  std::memcpy(&v, words, sizeof v);
  return v ^ static_cast<int16_t>(kSignFlip);
}

void SweepCodes(const uint16_t* row, int64_t rowWords, int64_t rowCount, Accumulators& acc) {
  Lanes8 lo[kVectors], hi[kVectors];
  std::memcpy(lo, acc.low, sizeof lo);
  std::memcpy(hi, acc.high, sizeof hi);
  Lanes8 lo0 = lo[0], lo1 = lo[1], lo2 = lo[2], lo3 = lo[3];
  Lanes8 hi0 = hi[0], hi1 = hi[1], hi2 = hi[2], hi3 = hi[3];
  for (int64_t r = 0; r < rowCount; ++r, row += rowWords) {
    const Lanes8 v0 = LoadFlipped(row), v1 = LoadFlipped(row + 8), v2 = LoadFlipped(row + 16),
                 v3 = LoadFlipped(row + 24);
    lo0 = v0 < lo0 ? v0 : lo0;
    lo1 = v1 < lo1 ? v1 : lo1;
    lo2 = v2 < lo2 ? v2 : lo2;
    lo3 = v3 < lo3 ? v3 : lo3;
    hi0 = v0 > hi0 ? v0 : hi0;
    hi1 = v1 > hi1 ? v1 : hi1;
    hi2 = v2 > hi2 ? v2 : hi2;
    hi3 = v3 > hi3 ? v3 : hi3;
  }
  lo[0] = lo0, lo[1] = lo1, lo[2] = lo2, lo[3] = lo3;
  hi[0] = hi0, hi[1] = hi1, hi[2] = hi2, hi[3] = hi3;
  std::memcpy(acc.low, lo, sizeof lo);
  std::memcpy(acc.high, hi, sizeof hi);
}

// The AC display's sums of the same block, in a second sweep of the rows
// that the first left in the cache: widened to 32 bits, four sums a vector.
using Words4 = uint16_t __attribute__((vector_size(8)));
using Sums4 = uint32_t __attribute__((vector_size(16)));

inline Sums4 LoadWidened(const uint16_t* words) {
  Words4 v;
  std::memcpy(&v, words, sizeof v);
  return __builtin_convertvector(v, Sums4);
}

void SumCodes(const uint16_t* row, int64_t rowWords, int64_t rowCount, Accumulators& acc) {
  constexpr int32_t kSumVectors = kLanes / 4;
  static_assert(kSumVectors == 8, "the sweep below names eight vectors");
  Sums4 s0{}, s1{}, s2{}, s3{}, s4{}, s5{}, s6{}, s7{};
  for (int64_t r = 0; r < rowCount; ++r, row += rowWords) {
    s0 += LoadWidened(row);
    s1 += LoadWidened(row + 4);
    s2 += LoadWidened(row + 8);
    s3 += LoadWidened(row + 12);
    s4 += LoadWidened(row + 16);
    s5 += LoadWidened(row + 20);
    s6 += LoadWidened(row + 24);
    s7 += LoadWidened(row + 28);
  }
  const Sums4 sums[kSumVectors] = {s0, s1, s2, s3, s4, s5, s6, s7};
  uint32_t added[kLanes];
  std::memcpy(added, sums, sizeof added);
  for (int32_t c = 0; c < kLanes; ++c) acc.sum[c] += added[c];
}
#endif

// `rowCount` rows from `row` on, lanes 0 .. lanes - 1 of each.
template <bool kCodes, bool kSums>
void SweepRows(const uint16_t* row, int64_t rowWords, int64_t rowCount, int32_t lanes, Accumulators& acc) {
#if defined(__GNUC__)
  if constexpr (kCodes) {
    if (lanes == kLanes) {
      SweepCodes(row, rowWords, rowCount, acc);
      if constexpr (kSums) SumCodes(row, rowWords, rowCount, acc);
      return;
    }
  }
#endif
  if (lanes == kLanes) {
    Accumulators a = acc;  // a local copy the compiler keeps in registers
    for (int64_t r = 0; r < rowCount; ++r, row += rowWords) {
      for (int32_t c = 0; c < kLanes; ++c) Accumulate<kCodes, kSums>(a, c, row[c]);
    }
    acc = a;
    return;
  }
  for (int64_t r = 0; r < rowCount; ++r, row += rowWords) {
    for (int32_t c = 0; c < lanes; ++c) Accumulate<kCodes, kSums>(acc, c, row[c]);
  }
}

}  // namespace

void TraceColumns::Gather(const TraceData& data, const WaveViewState& view, int width) {
  gathered_ = false;
  pixelColumn_.clear();
  if (data.Display == nullptr || data.Layout == nullptr || width <= 0) return;
  const DisplayDescriptor& display = *data.Display;
  const Window window = WindowOf(data, view);
  if (window.maxMultiFreq > 1) return;
  if (display.DispData == nullptr || display.DispRows <= 0 || display.DispRowWords <= 0) return;
  const ScreenRange range = ExistingScreenPoints(window);
  const int64_t count = range.j1 - range.j0;
  if (2 * static_cast<int64_t>(width) >= count) return;  // the traces join every point
  const int64_t words = display.DispRowWords;
  if ((static_cast<int64_t>(width) + 1) * words > kMaxGatheredValues) return;

  matrix_ = display.DispData;
  rows_ = display.DispRows;
  rowWords_ = display.DispRowWords;
  firstMatrixRow_ = static_cast<int64_t>(display.DispFirstBlock) * data.NumSamp;
  xPosition_ = view.XPosition;
  displayWidth_ = view.DisplayWidth;
  width_ = width;
  sums_ = view.IDDC != 1;
  analogWords_ = std::clamp(data.AnalogNum, 0, rowWords_);
  points_ = count;
  sum_.assign(static_cast<size_t>(words), 0);

  const int64_t divisor = std::max<int64_t>(window.width - 1, 1);
  const int64_t n = width;
  const int64_t firstColumn = n * range.j0 / divisor;
  const size_t columns = static_cast<size_t>(n * (range.j1 - 1) / divisor - firstColumn + 1);
  low_.resize(columns * static_cast<size_t>(words));
  high_.resize(low_.size());
  first_.resize(low_.size());
  last_.resize(low_.size());

  int32_t matrixRow = WrapDisplayRow(window.first + range.j0 + firstMatrixRow_, rows_);
  int64_t j = range.j0;
  for (int64_t column = firstColumn; j < range.j1; ++column) {
    const int64_t next = std::min(CeilDiv((column + 1) * divisor, n), range.j1);
    if (next <= j) continue;  // a column no screen point falls in
    const size_t slot = pixelColumn_.size() * static_cast<size_t>(words);
    pixelColumn_.push_back(static_cast<int32_t>(column));
    const int32_t startRow = matrixRow;
    // The column's first and last point of every word, while their rows are
    // in the cache.
    const auto lastRow = static_cast<int32_t>((startRow + (next - j - 1)) % rows_);
    const auto at = static_cast<ptrdiff_t>(slot);
    std::copy_n(matrix_ + startRow * static_cast<int64_t>(rowWords_), rowWords_, first_.begin() + at);
    std::copy_n(matrix_ + lastRow * static_cast<int64_t>(rowWords_), rowWords_, last_.begin() + at);
    // AND starts with every bit set, OR with none; the flipped codes' minimum
    // at the top code (0x7FFF), their maximum at the lowest (0x8000).
    std::fill_n(low_.begin() + at, analogWords_, uint16_t{0x7FFF});
    std::fill_n(high_.begin() + at, analogWords_, kSignFlip);
    std::fill_n(low_.begin() + at + analogWords_, rowWords_ - analogWords_, uint16_t{0xFFFF});
    std::fill_n(high_.begin() + at + analogWords_, rowWords_ - analogWords_, uint16_t{0});
    int32_t r = startRow;
    // The column's rows in runs short enough to stay in the nearest cache
    // while each block of words sweeps them, and not crossing the ring's end.
    for (int64_t remaining = next - j; remaining > 0;) {
      const int64_t run = std::min({remaining, static_cast<int64_t>(rows_) - r, kRunRows});
      const uint16_t* runStart = matrix_ + r * static_cast<int64_t>(rowWords_);
      for (int32_t c0 = 0; c0 < rowWords_; c0 += kLanes) {
        // A block holds analog words or switch words, never both.
        const bool codes = c0 < analogWords_;
        const int32_t lanes = std::min(kLanes, (codes ? analogWords_ : rowWords_) - c0);
        const auto block = at + c0;
        Accumulators acc;
        std::copy_n(low_.begin() + block, lanes, acc.low);
        std::copy_n(high_.begin() + block, lanes, acc.high);
        std::fill(std::begin(acc.sum), std::end(acc.sum), 0u);
        if (!codes) SweepRows<false, false>(runStart + c0, rowWords_, run, lanes, acc);
        else if (sums_) SweepRows<true, true>(runStart + c0, rowWords_, run, lanes, acc);
        else SweepRows<true, false>(runStart + c0, rowWords_, run, lanes, acc);
        std::copy_n(acc.low, lanes, low_.begin() + block);
        std::copy_n(acc.high, lanes, high_.begin() + block);
        if (codes && sums_) {
          for (int32_t c = 0; c < lanes; ++c) sum_[static_cast<size_t>(c0 + c)] += acc.sum[c];
        }
        if (codes && c0 + lanes == analogWords_) c0 = analogWords_ - kLanes;  // the switch words start here
      }
      remaining -= run;
      r = static_cast<int32_t>(r + run);
      if (r == rows_) r = 0;
    }
    matrixRow = r;
    for (int32_t c = 0; c < analogWords_; ++c) {
      low_[slot + static_cast<size_t>(c)] ^= kSignFlip;
      high_[slot + static_cast<size_t>(c)] ^= kSignFlip;
    }
    j = next;
  }
  gathered_ = true;
}

bool TraceColumns::Holds(const TraceData& data, const WaveViewState& view, int width, int32_t word,
                         bool switchWord) const {
  if (!gathered_ || data.Display == nullptr || data.Layout == nullptr) return false;
  const DisplayDescriptor& display = *data.Display;
  const Window window = WindowOf(data, view);
  const ScreenRange range = ExistingScreenPoints(window);
  const bool kindGathered = switchWord ? word >= analogWords_ : word < analogWords_;
  return word >= 0 && word < rowWords_ && kindGathered && display.DispData == matrix_ && display.DispRows == rows_ &&
         display.DispRowWords == rowWords_ &&
         static_cast<int64_t>(display.DispFirstBlock) * data.NumSamp == firstMatrixRow_ &&
         window.maxMultiFreq == 1 && view.XPosition == xPosition_ && view.DisplayWidth == displayWidth_ &&
         width == width_ && range.j1 - range.j0 == points_ && (sums_ || view.IDDC == 1);
}

TraceColumns::Extremes TraceColumns::At(int32_t column, int32_t word) const {
  const size_t at = static_cast<size_t>(column) * static_cast<size_t>(rowWords_) + static_cast<size_t>(word);
  return {low_[at], high_[at], first_[at], last_[at]};
}

uint64_t TraceColumns::Sum(int32_t word) const { return sum_[static_cast<size_t>(word)]; }

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
