#include "view/TraceColumns.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

#include "view/DisplayReading.h"
#include "view/TraceWindow.h"
#include "view/WaveTraces.h"

namespace quelvar {

namespace {

using traces::CeilDivision;
using traces::ExistingScreenPoints;
using traces::ScreenRange;
using traces::TraceWindow;
using traces::TraceWindowOf;

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

// A large screen is gathered by a few threads, each its own columns: the
// reading of the window, not the sweep, then bounds the time. More threads
// would take cores from block intake. A thread is worth starting for about
// 0.1 ms of sweeping.
constexpr int64_t kMaxThreads = 4;
constexpr int64_t kValuesPerThread = int64_t{1} << 19;
// Columns handed to a thread at a time: small enough to share a screen of
// 1920 columns evenly, large enough that taking one is rare.
constexpr size_t kChunkColumns = 32;

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

// The AC display's sweep: half a block at a time, so that its minima,
// maxima and the 32-bit sums of its words (unpacked from the same loads)
// all stay in the sixteen vector registers.
using Sums4 = uint32_t __attribute__((vector_size(16)));
using Words8 = uint16_t __attribute__((vector_size(16)));

inline void AddWidened(Words8 v, Sums4& low, Sums4& high) {
  const Words8 zero{};
  Sums4 lo, hi;
  const Words8 l = __builtin_shufflevector(v, zero, 0, 8, 1, 9, 2, 10, 3, 11);
  const Words8 h = __builtin_shufflevector(v, zero, 4, 12, 5, 13, 6, 14, 7, 15);
  std::memcpy(&lo, &l, sizeof lo);
  std::memcpy(&hi, &h, sizeof hi);
  low += lo;
  high += hi;
}

void SweepCodesAndSums(const uint16_t* row, int64_t rowWords, int64_t rowCount, Accumulators& acc, int32_t c0) {
  Lanes8 lo[2], hi[2];
  std::memcpy(lo, acc.low + c0, sizeof lo);
  std::memcpy(hi, acc.high + c0, sizeof hi);
  Lanes8 lo0 = lo[0], lo1 = lo[1], hi0 = hi[0], hi1 = hi[1];
  Sums4 s0{}, s1{}, s2{}, s3{};
  row += c0;
  for (int64_t r = 0; r < rowCount; ++r, row += rowWords) {
    Words8 w0, w1;
    std::memcpy(&w0, row, sizeof w0);
    std::memcpy(&w1, row + 8, sizeof w1);
    AddWidened(w0, s0, s1);
    AddWidened(w1, s2, s3);
    Lanes8 v0, v1;
    std::memcpy(&v0, &w0, sizeof v0);
    std::memcpy(&v1, &w1, sizeof v1);
    v0 ^= static_cast<int16_t>(kSignFlip);
    v1 ^= static_cast<int16_t>(kSignFlip);
    lo0 = v0 < lo0 ? v0 : lo0;
    lo1 = v1 < lo1 ? v1 : lo1;
    hi0 = v0 > hi0 ? v0 : hi0;
    hi1 = v1 > hi1 ? v1 : hi1;
  }
  lo[0] = lo0, lo[1] = lo1, hi[0] = hi0, hi[1] = hi1;
  std::memcpy(acc.low + c0, lo, sizeof lo);
  std::memcpy(acc.high + c0, hi, sizeof hi);
  const Sums4 sums[4] = {s0, s1, s2, s3};
  uint32_t added[16];
  std::memcpy(added, sums, sizeof added);
  for (int32_t c = 0; c < 16; ++c) acc.sum[c0 + c] += added[c];
}
#endif

// `rowCount` rows from `row` on, lanes 0 .. lanes - 1 of each.
template <bool kCodes, bool kSums>
void SweepRows(const uint16_t* row, int64_t rowWords, int64_t rowCount, int32_t lanes, Accumulators& acc) {
#if defined(__GNUC__)
  if constexpr (kCodes) {
    if (lanes == kLanes) {
      if constexpr (kSums) {
        SweepCodesAndSums(row, rowWords, rowCount, acc, 0);
        SweepCodesAndSums(row, rowWords, rowCount, acc, kLanes / 2);
      } else {
        SweepCodes(row, rowWords, rowCount, acc);
      }
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

int TraceColumns::GatherThreads(int64_t values) {
  const auto cores = static_cast<int64_t>(std::max(std::thread::hardware_concurrency(), 1u));
  return static_cast<int>(std::clamp<int64_t>(values / kValuesPerThread, 1, std::min(cores, kMaxThreads)));
}

void TraceColumns::Gather(const TraceData& data, const WaveViewState& view, int width, int threads) {
  gathered_ = false;
  pixelColumn_.clear();
  if (data.Display == nullptr || data.Layout == nullptr || width <= 0) return;
  const DisplayDescriptor& display = *data.Display;
  const TraceWindow window = TraceWindowOf(data, view);
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
  // Left uninitialised: every value is written by the gathering, and the
  // pages are first touched by the thread that fills them.
  const size_t values = columns * static_cast<size_t>(words);
  if (values > valuesPerKind_) {
    values_ = std::make_unique_for_overwrite<uint16_t[]>(4 * values);
    valuesPerKind_ = values;
  }
  low_ = values_.get();
  high_ = low_ + values;
  first_ = high_ + values;
  last_ = first_ + values;

  // Each pixel column's first screen point; starts.back() ends the last.
  std::vector<int64_t> starts;
  starts.reserve(columns + 1);
  for (int64_t column = firstColumn, j = range.j0; j < range.j1; ++column) {
    const int64_t next = std::min(CeilDivision((column + 1) * divisor, n), range.j1);
    if (next <= j) continue;  // a column no screen point falls in
    pixelColumn_.push_back(static_cast<int32_t>(column));
    starts.push_back(j);
    j = next;
  }
  starts.push_back(range.j1);

  const size_t gathered = pixelColumn_.size();
  const size_t chunks = (gathered + kChunkColumns - 1) / kChunkColumns;
  const size_t threadCount =
      std::min<size_t>(static_cast<size_t>(threads > 0 ? threads : GatherThreads(count * words)), chunks);
  // Chunks of columns go to whichever thread is free, so one that the system
  // holds back delays the paint by a chunk, not by a share of the screen.
  // The sums are integers: the same whichever thread adds which columns.
  std::atomic<size_t> nextChunk{0};
  std::vector<std::vector<uint64_t>> threadSums(threadCount, std::vector<uint64_t>(static_cast<size_t>(words), 0));
  const auto gatherChunks = [&](size_t thread) {
    for (size_t chunk = nextChunk++; chunk < chunks; chunk = nextChunk++) {
      const size_t begin = chunk * kChunkColumns;
      GatherColumns(starts, begin, std::min(begin + kChunkColumns, gathered), threadSums[thread].data());
    }
  };
  {
    std::vector<std::jthread> workers;
    workers.reserve(threadCount - 1);
    for (size_t thread = 1; thread < threadCount; ++thread) {
      try {
        workers.emplace_back(gatherChunks, thread);
      } catch (const std::system_error&) {
        break;  // no more threads to be had: the ones running take every chunk
      }
    }
    gatherChunks(0);
  }  // the workers join here
  for (const std::vector<uint64_t>& part : threadSums) {
    for (size_t w = 0; w < sum_.size(); ++w) sum_[w] += part[w];
  }
  gathered_ = true;
}

void TraceColumns::GatherColumns(const std::vector<int64_t>& starts, size_t begin, size_t end, uint64_t* sums) {
  if (begin >= end) return;
  int32_t r = WrapDisplayRow(xPosition_ + starts[begin] + firstMatrixRow_, rows_);
  for (size_t k = begin; k < end; ++k) {
    const int64_t points = starts[k + 1] - starts[k];
    const auto at = static_cast<ptrdiff_t>(k * static_cast<size_t>(rowWords_));
    // The column's first and last point of every word, while their rows are
    // in the cache.
    const auto lastRow = static_cast<int32_t>((r + (points - 1)) % rows_);
    std::copy_n(matrix_ + r * static_cast<int64_t>(rowWords_), rowWords_, first_ + at);
    std::copy_n(matrix_ + lastRow * static_cast<int64_t>(rowWords_), rowWords_, last_ + at);
    // AND starts with every bit set, OR with none; the flipped codes' minimum
    // at the top code (0x7FFF), their maximum at the lowest (0x8000).
    std::fill_n(low_ + at, analogWords_, uint16_t{0x7FFF});
    std::fill_n(high_ + at, analogWords_, kSignFlip);
    std::fill_n(low_ + at + analogWords_, rowWords_ - analogWords_, uint16_t{0xFFFF});
    std::fill_n(high_ + at + analogWords_, rowWords_ - analogWords_, uint16_t{0});
    // The column's rows in runs short enough to stay in the nearest cache
    // while each block of words sweeps them, and not crossing the ring's end.
    for (int64_t remaining = points; remaining > 0;) {
      const int64_t run = std::min({remaining, static_cast<int64_t>(rows_) - r, kRunRows});
      const uint16_t* runStart = matrix_ + r * static_cast<int64_t>(rowWords_);
      for (int32_t c0 = 0; c0 < rowWords_; c0 += kLanes) {
        // A block holds analog words or switch words, never both.
        const bool codes = c0 < analogWords_;
        const int32_t lanes = std::min(kLanes, (codes ? analogWords_ : rowWords_) - c0);
        const auto block = at + c0;
        Accumulators acc;
        std::copy_n(low_ + block, lanes, acc.low);
        std::copy_n(high_ + block, lanes, acc.high);
        std::fill(std::begin(acc.sum), std::end(acc.sum), 0u);
        if (!codes) SweepRows<false, false>(runStart + c0, rowWords_, run, lanes, acc);
        else if (sums_) SweepRows<true, true>(runStart + c0, rowWords_, run, lanes, acc);
        else SweepRows<true, false>(runStart + c0, rowWords_, run, lanes, acc);
        std::copy_n(acc.low, lanes, low_ + block);
        std::copy_n(acc.high, lanes, high_ + block);
        if (codes && sums_) {
          for (int32_t c = 0; c < lanes; ++c) sums[c0 + c] += acc.sum[c];
        }
        if (codes && c0 + lanes == analogWords_) c0 = analogWords_ - kLanes;  // the switch words start here
      }
      remaining -= run;
      r = static_cast<int32_t>(r + run);
      if (r == rows_) r = 0;
    }
    for (int32_t c = 0; c < analogWords_; ++c) {
      low_[static_cast<size_t>(at + c)] ^= kSignFlip;
      high_[static_cast<size_t>(at + c)] ^= kSignFlip;
    }
  }
}

bool TraceColumns::Holds(const TraceData& data, const WaveViewState& view, int width, int32_t word,
                         bool switchWord) const {
  if (!gathered_ || data.Display == nullptr || data.Layout == nullptr) return false;
  const DisplayDescriptor& display = *data.Display;
  const TraceWindow window = TraceWindowOf(data, view);
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

}  // namespace quelvar
