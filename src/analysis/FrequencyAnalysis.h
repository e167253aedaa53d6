#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/OscilToolSettings.h"
#include "common/WaveViewState.h"
#include "view/ChannelValues.h"

namespace quelvar {

// The spectrum analysis engine: the stretch of data the main waveform view
// shows turned into one of eleven frequency- or lag-domain analyses.

enum FftWindowKind : int32_t {
  kWindowRectangular = 0,
  kWindowHamming = 1,
  kWindowHann = 2,
  kWindowBlackman = 3,
  kWindowHarris = 4,
  kWindowTriangular = 5,
};

enum SpectrumKind : int32_t {
  kPowerSpectrum = 0,
  kPowerSpectrumWithPhase = 1,
  kCrossSpectrum = 2,
  kCoherence = 3,
  kTransferFunction = 4,
  kFftAutoCorrelation = 5,
  kFftCrossCorrelation = 6,
  kDirectAutoCorrelation = 7,
  kDirectCrossCorrelation = 8,
  kOctaveBands = 9,
  kAmplitudeDensity = 10,
};

inline constexpr int32_t kMaxFftLength = 32768;
inline constexpr int32_t kMaxSpectrumCurves = 8;
inline constexpr int32_t kSpectrumValues = 131080;  // 8 x 16385

// The panel's settings the engine reads.
struct FftSettings {
  int32_t FFTLength = 1024;   // a power of two, 128 .. 32768
  int32_t FFTWindowType = 0;  // FftWindowKind
  int32_t FFTResultType = 0;  // SpectrumKind; -1 when nothing is selected
  bool DataOverlap = false;
  bool RealtimeSpectrum = false;
  int32_t BandN = 3;  // 1 .. 10
};

struct SpectrumResult {
  int32_t Kind = 0;
  int32_t WindowKind = 0;
  int32_t FftLength = 0;
  int32_t NumCurves = 0;
  int32_t NumPoints = 0;
  int32_t GroupCount = 1;
  int32_t ChannelCount = 0;
  int32_t SwitchCount = 0;
  std::vector<int32_t> Channels;  // analog first, then the switches
  double XOrigin = 0.0;
  double DeltaX = 0.0;
  std::vector<double> Values;  // curve k at points k x NumPoints ..
  int32_t BinWidth = 1;
  double WindowPower = 0.0;  // sum of w[k]^2
  std::vector<double> Window;
  std::array<int32_t, kMaxSpectrumCurves> CurveChannel{};
  // Names and labels are kept whole: a long channel name or unit is not cut.
  std::array<std::string, kMaxSpectrumCurves> CurveNames;
  std::string XLabel;
  std::string Title;
  std::string YLabel;
  std::string Y2Label;
  int32_t Overlap = 0;
  std::string StatusText = "没有数据！";
  int32_t Valid = 0;
  int32_t RedrawPending = 0;
  int32_t Drawn = 0;
};

// The channels and samples the engine reads. Points are a channel's own
// sample indices (window points of the display data).
struct SpectrumSource {
  std::function<double(int64_t point, int32_t channel)> Value;    // engineering units
  std::function<uint16_t(int64_t point, int32_t channel)> Raw;    // raw AD word
  std::function<double(int32_t channel, double raw)> RawToEngineering;
  std::vector<int32_t> MultiFreqTable;  // per analog channel
  std::vector<std::string> ChnName;     // per analog channel
  std::vector<std::string> ChnUnits;    // per analog channel
  std::vector<double> ChnCoeB;          // per analog channel
  int32_t MaxMultiFreq = 1;
  int32_t DispRows = 0;
  double ChannelRate = 0.0;
  int32_t ADBit = 12;
  double ADMax = 4095.0;
  double VZero = 2048.0;
};

// One analysis request: what the main view shows and the channels selected.
struct SpectrumRequest {
  int32_t RunState = 0;
  int32_t MaxBlock = 1;
  bool TwoTrace = false;  // the two-trace oscilloscope is the source
  std::vector<int32_t> AnalogChannels;
  std::vector<int32_t> SwitchChannels;  // listed, never analysed
  // The colour key of each analog channel (the main view's key of the
  // channel); empty: the channel numbers are the keys.
  std::vector<int32_t> ColourKeys;
  int64_t XPosition = 0;
  int32_t DisplayWidth = 0;
};

// The channels of an analysis: with the two-trace oscilloscope as the
// source (DataSourceMode 2), each trace's channel that is in use and analog;
// otherwise the analog and switch channels the main view drew last.
struct SpectrumChannels {
  std::vector<int32_t> analog;
  std::vector<int32_t> switches;
  std::vector<int32_t> keys;  // the colour key of each analog channel
  bool twoTrace = false;
};
// The main view lists display keys in the order drawn, analog and switch
// rows mixed. With `displayOrder` (outside the page scope) an analog key is
// a display position and names the channel displayOrder[key]; without it the
// key is the channel number. Keys from analogNum on are switch inputs.
SpectrumChannels SelectSpectrumChannels(int32_t dataSourceMode, const OscilToolSettings& oscil,
                                        const WaveViewState& mainView, int32_t analogNum,
                                        const int32_t* displayOrder = nullptr);

// The samples of `channel` an analysis reads: its own sample indices from
// `start`, `count` of them (the shown range at the channel's rate).
struct SpectrumSampleRange {
  int64_t start = 0;
  int64_t count = 0;
};
SpectrumSampleRange SampleRangeOf(const SpectrumSource& source, int32_t channel, int64_t position, int32_t width);

// A measure of the work of an analysis (about one unit per multiply-add);
// 0 for a request the engine refuses before reading any sample.
double EstimateSpectrumWork(const FftSettings& settings, const SpectrumSource& source,
                            const SpectrumRequest& request);

// The analog channels an analysis reads: the first 16 (eight pairs) at most.
inline constexpr int32_t kMaxSpectrumInputs = 2 * kMaxSpectrumCurves;

// The engine's view of the display data through the value services. The
// source refers to `values`, which must outlive it.
SpectrumSource MakeSpectrumSource(ChannelValueSource& values);

// The window coefficients of `kind` for N points (rectangular for an
// unknown kind).
std::vector<double> SpectrumWindow(int32_t kind, int32_t n);

class SpectrumEngine {
 public:
  // All buffers sized once for the longest transform.
  SpectrumEngine();

  // A flag another thread may set to stop a running analysis; it is looked
  // at between segments, lags and curves. A stopped analysis leaves
  // `result` half written and Cancelled() true.
  void SetCancelFlag(const std::atomic<bool>* flag) { cancel_ = flag; }
  // Called with the finished fraction (0..1) as an analysis goes on, at
  // most once per hundredth.
  void SetProgress(std::function<void(double)> progress) { progress_ = std::move(progress); }
  bool Cancelled() const { return cancelled_; }

  // Runs one analysis into `result`; returns the status bar's text.
  std::string Analyse(const FftSettings& settings, const SpectrumSource& source, const SpectrumRequest& request,
                      SpectrumResult& result);

  // The kinds' routines, for the analysis set up by Analyse (window, source,
  // overlap); each returns 1.
  int PowerSpectrum(double* out, int points, int channel, int n, int64_t position, int32_t width);
  int PowerSpectrumWithPhase(double* power, double* phase, int points, int channel, int n, int64_t position,
                             int32_t width);
  int CrossSpectrum(double* out, int points, int a, int b, int n, int64_t position, int32_t width);
  int Coherence(double* out, int points, int a, int b, int n, int64_t position, int32_t width);
  int TransferFunction(double* out, int points, int a, int b, int n, int64_t position, int32_t width);
  int FftAutoCorrelation(double* out, int points, int channel, int n, int64_t position, int32_t width);
  int FftCrossCorrelation(double* out, int points, int a, int b, int n, int64_t position, int32_t width);
  int DirectAutoCorrelation(double* out, int points, int channel, int n, int64_t position, int32_t width);
  int DirectCrossCorrelation(double* out, int points, int a, int b, int n, int64_t position, int32_t width);
  int OctaveBands(double* out, int points, int channel, int n, int64_t position, int32_t width);
  int AmplitudeDensity(double* out, int points, int channel, int64_t position, int32_t width);

 private:
  using Range = SpectrumSampleRange;
  // True (and Cancelled()) once the cancel flag is set.
  bool Stopping();
  // Progress within the current curve: `done` of `total`.
  void Report(int64_t done, int64_t total);
  Range SampleRange(int channel, int64_t position, int32_t width) const;
  int64_t SegmentCount(int64_t count, int n) const;
  void TransformSegment(int channel, Range range, int64_t first, int n, float* re, float* im);
  // Sums over the segments: |A|^2 into aa, and with b >= 0 also |B|^2 into
  // bb and conj(A) B into abRe/abIm; every one of the N bins. Returns S.
  int64_t SumSegments(int a, int b, int n, int64_t position, int32_t width);
  double PowerScale(int64_t segments) const;
  int DirectCorrelation(double* out, int points, int a, int b, int64_t position, int32_t width);

  const std::atomic<bool>* cancel_ = nullptr;
  bool cancelled_ = false;
  std::function<void(double)> progress_;
  int32_t curve_ = 0;
  int32_t curves_ = 1;
  int32_t lastPercent_ = -1;
  const SpectrumSource* source_ = nullptr;
  const SpectrumResult* result_ = nullptr;
  int32_t bandN_ = 3;
  double windowSum_ = 0.0;
  double windowPower_ = 0.0;
  std::vector<double> window_;
  // The window is recomputed only when its kind or length changes.
  int32_t windowKind_ = -1;
  int32_t windowLength_ = 0;
  std::vector<float> reA_, imA_, reB_, imB_;
  std::vector<double> aa_, bb_, abRe_, abIm_, power_;
  std::vector<double> ringA_;
  std::vector<double> bandTree_;
};

}  // namespace quelvar
