// The library's entry points: the prepared copy of the shown data, its MATLAB
// data file and the seven analyses. Every entry holds one lock (the FFT
// planner and the copy are shared) and turns any failure, memory included,
// into a 0 result.

#include <fftw3.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <type_traits>

#include "AdMatrix.h"
#include "MatFile.h"
#include "Analyses.h"
#include "analysis/SignalLibraryAbi.h"

#define SIGLIB_EXPORT extern "C" __attribute__((visibility("default")))
// An entry must keep the type the program calls it through.
#define SIGLIB_CHECK_TYPE(entry, type) static_assert(std::is_same_v<decltype(&entry), type>)

namespace {

std::mutex g_lock;
siglib::AdMatrix g_ad;  // empty: nothing prepared

// FFTW keeps what its planner learnt for the process; the program loads and
// unloads this library, so that goes with it (no plan outlives an entry).
struct FftwCleanup {
  ~FftwCleanup() { fftw_cleanup(); }
} g_fftwCleanup;

bool ValidChannel(int32_t c) { return c >= 0 && static_cast<size_t>(c) < g_ad.channels; }
bool ValidNfft(int32_t nfft) { return nfft >= 2 && nfft <= kSignalLibMaxNfft; }

// Hands a curve out in two arrays of the library's allocator.
int32_t HandOut(const std::optional<siglib::Curve>& curve, double** y, double** x, int32_t* n) {
  if (!curve || curve->y.empty() || curve->y.size() != curve->x.size()) return 0;
  const size_t count = curve->y.size();
  if (count > static_cast<size_t>(INT32_MAX)) return 0;
  auto* ys = static_cast<double*>(std::malloc(count * sizeof(double)));
  auto* xs = static_cast<double*>(std::malloc(count * sizeof(double)));
  if (ys == nullptr || xs == nullptr) {
    std::free(ys);
    std::free(xs);
    return 0;
  }
  std::memcpy(ys, curve->y.data(), count * sizeof(double));
  std::memcpy(xs, curve->x.data(), count * sizeof(double));
  *y = ys;
  *x = xs;
  *n = static_cast<int32_t>(count);
  return 1;
}

template <typename Compute>
int32_t Calc(double** y, double** x, int32_t* n, Compute compute) {
  if (y == nullptr || x == nullptr || n == nullptr) return 0;
  try {
    std::lock_guard lock(g_lock);
    if (g_ad.points == 0) return 0;
    return HandOut(compute(), y, x, n);
  } catch (...) {
    return 0;
  }
}

}  // namespace

SIGLIB_EXPORT int32_t SendADToMatlabArray(const uint16_t* dispData, int32_t, int32_t, int32_t numSamp,
                                          int32_t dispRows, int32_t dispFirstBlock, int32_t numChn,
                                          int32_t analogNum, const float* chnCoeA, const float* chnCoeB,
                                          int32_t xPosition, int32_t displayWidth, float channelRate, float vZero,
                                          float adMax) {
  std::lock_guard lock(g_lock);
  siglib::DisplayBuffer b;
  b.data = dispData;
  b.numSamp = numSamp;
  b.rows = dispRows;
  b.firstBlock = dispFirstBlock;
  b.rowWords = numChn;
  b.analogNum = analogNum;
  b.coeA = chnCoeA;
  b.coeB = chnCoeB;
  b.xPosition = xPosition;
  b.displayWidth = displayWidth;
  b.channelRate = channelRate;
  b.vZero = vZero;
  b.adMax = adMax;
  try {
    return siglib::PrepareAdMatrix(b, g_ad) ? 1 : 0;
  } catch (...) {
    g_ad = siglib::AdMatrix{};
    return 0;
  }
}
SIGLIB_CHECK_TYPE(SendADToMatlabArray, SignalLibSendArrayFn);

SIGLIB_EXPORT int32_t SaveAD(const char* fileName) {
  if (fileName == nullptr) return 0;
  try {
    std::lock_guard lock(g_lock);
    return siglib::WriteAdMatFile(fileName, g_ad) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}
SIGLIB_CHECK_TYPE(SaveAD, SignalLibSaveADFn);

SIGLIB_EXPORT int32_t CalcPSD(double** y, double** x, int32_t* n, int32_t c1, int32_t nfft) {
  return Calc(y, x, n, [&]() -> std::optional<siglib::Curve> {
    if (!ValidChannel(c1) || !ValidNfft(nfft)) return std::nullopt;
    return siglib::WelchPsd(g_ad.Column(c1), g_ad.points, nfft, g_ad.fs);
  });
}
SIGLIB_CHECK_TYPE(CalcPSD, SignalLibCalcOneFn);

namespace {

int32_t CalcCross(double** y, double** x, int32_t* n, int32_t c1, int32_t c2, int32_t nfft, siglib::CrossKind kind) {
  return Calc(y, x, n, [&]() -> std::optional<siglib::Curve> {
    if (!ValidChannel(c1) || !ValidChannel(c2) || !ValidNfft(nfft)) return std::nullopt;
    return siglib::WelchCross(g_ad.Column(c1), g_ad.Column(c2), g_ad.points, nfft, g_ad.fs, kind);
  });
}

}  // namespace

SIGLIB_EXPORT int32_t CalcCPSD(double** y, double** x, int32_t* n, int32_t c1, int32_t c2, int32_t nfft) {
  return CalcCross(y, x, n, c1, c2, nfft, siglib::CrossKind::Cross);
}
SIGLIB_CHECK_TYPE(CalcCPSD, SignalLibCalcTwoFn);

SIGLIB_EXPORT int32_t CalcCohere(double** y, double** x, int32_t* n, int32_t c1, int32_t c2, int32_t nfft) {
  return CalcCross(y, x, n, c1, c2, nfft, siglib::CrossKind::Coherence);
}
SIGLIB_CHECK_TYPE(CalcCohere, SignalLibCalcTwoFn);

SIGLIB_EXPORT int32_t CalcTFE(double** y, double** x, int32_t* n, int32_t c1, int32_t c2, int32_t nfft) {
  return CalcCross(y, x, n, c1, c2, nfft, siglib::CrossKind::Transfer);
}
SIGLIB_CHECK_TYPE(CalcTFE, SignalLibCalcTwoFn);

SIGLIB_EXPORT int32_t CalcPBurg(double** y, double** x, int32_t* n, int32_t c1, int32_t order, int32_t nfft) {
  return Calc(y, x, n, [&]() -> std::optional<siglib::Curve> {
    if (!ValidChannel(c1) || !ValidNfft(nfft)) return std::nullopt;
    return siglib::BurgPsd(g_ad.Column(c1), g_ad.points, order, nfft, g_ad.fs);
  });
}
SIGLIB_CHECK_TYPE(CalcPBurg, SignalLibCalcBurgFn);

// The correlations span every lag, as xcorr does without a lag limit; NFFT
// is checked like everywhere else but sets nothing.
SIGLIB_EXPORT int32_t CalcAutoCorr(double** y, double** x, int32_t* n, int32_t c1, int32_t nfft) {
  return Calc(y, x, n, [&]() -> std::optional<siglib::Curve> {
    if (!ValidChannel(c1) || !ValidNfft(nfft)) return std::nullopt;
    return siglib::Correlation(g_ad.Column(c1), nullptr, g_ad.points, g_ad.fs);
  });
}
SIGLIB_CHECK_TYPE(CalcAutoCorr, SignalLibCalcOneFn);

SIGLIB_EXPORT int32_t CalcCorr(double** y, double** x, int32_t* n, int32_t c1, int32_t c2, int32_t nfft) {
  return Calc(y, x, n, [&]() -> std::optional<siglib::Curve> {
    if (!ValidChannel(c1) || !ValidChannel(c2) || !ValidNfft(nfft)) return std::nullopt;
    return siglib::Correlation(g_ad.Column(c1), g_ad.Column(c2), g_ad.points, g_ad.fs);
  });
}
SIGLIB_CHECK_TYPE(CalcCorr, SignalLibCalcTwoFn);

SIGLIB_EXPORT void FreeResult(double* array) { std::free(array); }
SIGLIB_CHECK_TYPE(FreeResult, SignalLibFreeResultFn);
