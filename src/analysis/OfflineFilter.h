#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace quelvar {

// Offline filtering of the shown data in place: a three-point running
// median, a first-order IIR low-pass (floating or fixed point) and a
// windowed-sinc FIR low-pass. Everything works on display rows: display row r
// (0 = the oldest) is buffer row (firstBlock x numSamp + r) modulo rows.

// The shown samples as the filter writes them.
struct FilterData {
  uint16_t* data = nullptr;
  int32_t rows = 0;       // DispRows
  int32_t rowWords = 0;   // DispRowWords
  int32_t firstBlock = 0; // DispFirstBlock
  int32_t numSamp = 0;    // rows per block
};

// Run state of one pass: analog channels (word positions) and the first and
// last display row, inclusive.
struct FilterRange {
  std::vector<int32_t> channels;
  int32_t firstRow = 0;
  int32_t lastRow = -1;
};

// The range a pass really works on: channels outside 0 .. min(analogCount,
// rowWords) - 1 are dropped, the rows are swapped into order and kept
// within the data. An empty row span has lastRow < firstRow.
FilterRange ClampFilterRange(const FilterRange& range, const FilterData& data, int32_t analogCount);

// The buffer word of channel `channel` at display row `row` (both valid).
uint16_t& FilterSample(const FilterData& data, int32_t row, int32_t channel);

// Copies the rows of `range` from its one channel to `target`; the range then
// names `target` alone, so the filter works on the copy. Refused (false,
// nothing copied) unless the range names exactly one channel and the target
// is another valid analog channel.
bool CopyChannelForFilter(const FilterData& data, FilterRange& range, int32_t target, int32_t analogCount);

// Three-point running median over the unfiltered codes of rows r - 2, r - 1
// and r, stored at row r; the first two rows of the range stay.
void ApplyMedianFilter(const FilterData& data, const FilterRange& range, int32_t analogCount);

// y[k] = y[k-1] a + x[k] (1 - a), restarted at the first row of the range
// for each channel. `a` is kept within 0..1; a value that is no number
// filters nothing (false).
bool ApplyIirLowPass(const FilterData& data, const FilterRange& range, int32_t analogCount, bool fixedPoint,
                     double a);

// FIR windows, in the order of the panel's window group.
enum class FirWindowType : int32_t { Rectangle = 0, Triangle = 1, Hanning = 2, Hamming = 3, Blackman = 4 };

inline constexpr int32_t kFirMaxTaps = 1024;
inline constexpr int32_t kFirMinTaps = 3;

struct FirDesign {
  int32_t taps = 0;        // odd; the centre tap is taps / 2
  double cutoff = 0.0;     // Hz, after clamping to half the rate
  double omegaC = 0.0;     // 2 pi cutoff / rate, radians per row
  std::vector<double> ideal;         // sinc taps
  std::vector<double> window;        // window values
  std::vector<double> coefficients;  // ideal x window, scaled to a DC gain of 1
};

// Designs the windowed-sinc low-pass. Orders above kFirMaxTaps become
// kFirMaxTaps; an even order takes one tap less so the taps are symmetric
// around a centre tap (no phase shift). Refused (nothing): fewer than
// kFirMinTaps taps, a cut-off that is not above 0 or no number, a rate that
// is not above 0. A cut-off above half the rate becomes half the rate.
std::optional<FirDesign> DesignFirLowPass(int32_t order, double cutoffHz, double rate, FirWindowType window);

// Output row r = sum over k of c[k] x[r + centre - k], with the unfiltered
// inputs; rows before the first or after the last data row read the edge
// sample. Results are rounded to the nearest code and kept within 0..adMax.
void ApplyFirLowPass(const FilterData& data, const FilterRange& range, int32_t analogCount,
                     const std::vector<double>& coefficients, int32_t adMax);

// Amplitude response of the taps for the plot: |H| at points evenly spaced
// from 0 to pi inclusive, half as many intervals as the smallest power of
// two not below the tap count (at least one).
std::vector<double> FirAmplitudeResponse(const std::vector<double>& coefficients);

}  // namespace quelvar
