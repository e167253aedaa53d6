#include "analysis/FrequencyAnalysis.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "analysis/FftRoutine.h"
#include "view/EngineeringUnits.h"

namespace quelvar {

namespace {

constexpr int32_t kRingLength = 32768;
constexpr int32_t kMaxHalfPoints = kMaxFftLength / 2 + 1;
constexpr const char* kPrompt = "提示：";

struct KindTexts {
  const char* title;
  const char* xLabel;
  const char* yLabel;
  const char* suffix;
  bool pair;
};

constexpr KindTexts kKindTexts[] = {
    {"功率谱", "频率(Hz)", "谱", "谱", false},
    {"功率谱及相位", "频率(Hz)", "谱", "谱", false},
    {"互功率谱", "频率(Hz)", "谱", "互谱", true},
    {"相干函数", "频率(Hz)", "相干", "相干", true},
    {"传递函数", "频率(Hz)", "传递函数", "传递函数", true},
    {"FFT自相关函数", "延时(s)", "自相关", "相关", false},
    {"FFT互相关函数", "延时(s)", "互相关", "互相关", true},
    {"自相关函数", "延时(s)", "自相关", "相关", false},
    {"互相关函数", "延时(s)", "互相关", "互相关", true},
    {"", "频率(Hz)", "1/N倍频", "倍频", false},
    {"幅度概率密度曲线", "幅度-AD值(原始值)", "幅度谱", "幅度谱", false},
};

double Pi() { return 4.0 * std::atan(1.0); }

// A length the buffers hold: a power of two within 128 .. 32768 (a stored
// setting out of range is brought down to the nearest one).
int32_t UsableLength(int32_t n) {
  int32_t len = 128;
  while (len * 2 <= kMaxFftLength && len * 2 <= n) {
    len *= 2;
  }
  return len;
}

int32_t Multiplier(const SpectrumSource& source, int32_t channel) {
  if (channel < 0 || static_cast<size_t>(channel) >= source.MultiFreqTable.size()) {
    return 1;
  }
  return std::max(1, source.MultiFreqTable[static_cast<size_t>(channel)]);
}

// The colour key of the k-th analog channel of a request.
int32_t KeyOf(const SpectrumRequest& request, int32_t k) {
  const auto i = static_cast<size_t>(k);
  return i < request.ColourKeys.size() ? request.ColourKeys[i] : request.AnalogChannels[i];
}

std::string At(const std::vector<std::string>& names, int32_t channel) {
  if (channel < 0 || static_cast<size_t>(channel) >= names.size()) {
    return {};
  }
  return names[static_cast<size_t>(channel)];
}

}  // namespace

std::vector<double> SpectrumWindow(int32_t kind, int32_t n) {
  std::vector<double> w(static_cast<size_t>(std::max(n, 0)), 1.0);
  if (n < 2) {
    return w;
  }
  const double a = 2.0 * Pi() / (n - 1);
  for (int32_t k = 0; k < n; ++k) {
    const double x = a * k;
    double v = 1.0;
    switch (kind) {
      case kWindowHamming: v = 0.54 - 0.46 * std::cos(x); break;
      case kWindowHann: v = 0.5 - 0.5 * std::cos(x); break;
      case kWindowBlackman: v = 0.42 - 0.5 * std::cos(x) + 0.08 * std::cos(2 * x); break;
      case kWindowHarris:
        v = 0.35875 - 0.48829 * std::cos(x) + 0.14128 * std::cos(2 * x) - 0.01168 * std::cos(3 * x);
        break;
      case kWindowTriangular: {
        const double d = 2.0 / (n - 1);
        v = k <= (n - 1) / 2 ? k * d : 2.0 - k * d;
        break;
      }
      default: break;
    }
    w[static_cast<size_t>(k)] = v;
  }
  return w;
}

SpectrumChannels SelectSpectrumChannels(int32_t dataSourceMode, const OscilToolSettings& oscil,
                                        const WaveViewState& mainView, int32_t analogNum,
                                        const int32_t* displayOrder) {
  SpectrumChannels out;
  if (dataSourceMode == 2) {
    out.twoTrace = true;
    if (oscil.UseChn1 != 0 && oscil.ChnAd1 >= 0 && oscil.ChnAd1 < analogNum) {
      out.analog.push_back(oscil.ChnAd1);
      out.keys.push_back(0);
    }
    if (oscil.UseChn2 != 0 && oscil.ChnAD2 >= 0 && oscil.ChnAD2 < analogNum) {
      out.analog.push_back(oscil.ChnAD2);
      out.keys.push_back(1);
    }
    return out;
  }
  const auto limit = static_cast<int32_t>(mainView.DrawnChannels.size());
  const int32_t drawn =
      std::clamp(std::max(mainView.DrawnAnalogCount, 0) + std::max(mainView.DrawnSwitchCount, 0), 0, limit);
  // Rows of switch inputs may lie between analog rows: each key is taken by
  // what it names, not by its place in the list.
  for (int32_t k = 0; k < drawn; ++k) {
    const int32_t key = mainView.DrawnChannels[static_cast<size_t>(k)];
    if (key < 0) continue;
    if (key >= analogNum) {
      out.switches.push_back(key);
      continue;
    }
    const int32_t channel = displayOrder != nullptr ? displayOrder[key] : key;
    if (channel < 0 || channel >= analogNum) continue;
    out.analog.push_back(channel);
    out.keys.push_back(key);
  }
  return out;
}

SpectrumSampleRange SampleRangeOf(const SpectrumSource& source, int32_t channel, int64_t position, int32_t width) {
  const int64_t mc = Multiplier(source, channel);
  const int64_t maxMulti = std::max(1, source.MaxMultiFreq);
  SpectrumSampleRange r;
  r.start = std::max<int64_t>(position, 0) * mc / maxMulti;
  r.count = width > 0 ? (static_cast<int64_t>(width) * mc + maxMulti - 1) / maxMulti : 0;
  const int64_t rows = static_cast<int64_t>(std::max(0, source.DispRows)) * mc;
  if (r.start + r.count > rows) {
    r.count = rows - r.start;
  }
  r.count = std::max<int64_t>(r.count, 0);
  return r;
}

double EstimateSpectrumWork(const FftSettings& settings, const SpectrumSource& source,
                            const SpectrumRequest& request) {
  const auto count = static_cast<int32_t>(request.AnalogChannels.size());
  const int32_t kind = settings.FFTResultType;
  if ((request.RunState == 1 && request.MaxBlock > 1 && !settings.RealtimeSpectrum) || count == 0 ||
      kind < 0 || kind > kAmplitudeDensity) {
    return 0.0;
  }
  const int32_t m = Multiplier(source, request.AnalogChannels[0]);
  for (int32_t c : request.AnalogChannels) {
    if (Multiplier(source, c) != m) return 0.0;
  }
  const bool pair = kKindTexts[kind].pair;
  if (pair && count < 2) return 0.0;
  const double samples =
      static_cast<double>(SampleRangeOf(source, request.AnalogChannels[0], request.XPosition, request.DisplayWidth).count);
  const int32_t n = UsableLength(settings.FFTLength);
  const double curves = pair ? std::min(kMaxSpectrumCurves, count / 2) : std::min(kMaxSpectrumCurves, count);
  const double inputs = pair ? 2.0 * curves : curves;
  const double hop = settings.DataOverlap ? n / 2.0 : n;
  const double transforms = std::ceil(samples / hop);
  const double perTransform = n * std::log2(static_cast<double>(n)) + 4.0 * n;
  switch (kind) {
    case kPowerSpectrumWithPhase: return std::min(curves, 4.0) * perTransform;
    case kDirectAutoCorrelation:
    case kDirectCrossCorrelation: return curves * samples * std::min<double>(n / 2 + 1, samples);
    case kAmplitudeDensity: return curves * samples;
    default: return inputs * transforms * perTransform;
  }
}

SpectrumSource MakeSpectrumSource(ChannelValueSource& values) {
  SpectrumSource s;
  ChannelValueSource* v = &values;
  s.Value = [v](int64_t p, int32_t c) { return ValueAtPoint(*v, p, c); };
  s.Raw = [v](int64_t p, int32_t c) { return RawSampleAtPoint(*v, p, c); };
  s.RawToEngineering = [v](int32_t c, double raw) {
    if (c < 0 || static_cast<size_t>(c) >= v->config.AnalogChannelTable.size()) {
      return 0.0;
    }
    return RawToEngineering(v->config, v->torque, v->config.AnalogChannelTable[static_cast<size_t>(c)],
                            static_cast<float>(raw));
  };
  s.MultiFreqTable.assign(values.layout.MultiFreqTable.begin(), values.layout.MultiFreqTable.end());
  for (const AnalogChannel& a : values.config.AnalogChannelTable) {
    s.ChnName.push_back(a.ChnName);
    s.ChnUnits.push_back(a.ChnUnits);
    s.ChnCoeB.push_back(a.ChnCoeB);
  }
  s.MaxMultiFreq = values.layout.MaxMultiFreq;
  s.DispRows = values.display.DispRows;
  s.ChannelRate = values.config.ChannelRate;
  s.ADBit = values.config.ADBit;
  s.ADMax = values.config.ADMax;
  s.VZero = values.config.VZero;
  return s;
}

SpectrumEngine::SpectrumEngine()
    : reA_(kMaxFftLength), imA_(kMaxFftLength), reB_(kMaxFftLength), imB_(kMaxFftLength),
      aa_(kMaxFftLength), bb_(kMaxFftLength), abRe_(kMaxFftLength), abIm_(kMaxFftLength),
      power_(kMaxHalfPoints), ringA_(kRingLength) {}

std::string SpectrumEngine::Analyse(const FftSettings& settings, const SpectrumSource& source,
                                    const SpectrumRequest& request, SpectrumResult& result) {
  result.Valid = 0;
  result.Drawn = 0;
  cancelled_ = false;
  lastPercent_ = -1;
  const auto refuse = [&result](const char* text) {
    result.StatusText = text;
    return std::string(kPrompt) + text;
  };
  if (request.RunState == 1 && request.MaxBlock > 1 && !settings.RealtimeSpectrum) {
    return refuse("不要求实时频谱！");
  }
  if (result.Values.size() < static_cast<size_t>(kSpectrumValues)) {
    result.Values.assign(kSpectrumValues, 0.0);
  }
  const int32_t n = UsableLength(settings.FFTLength);
  const int32_t kind = settings.FFTResultType;
  const bool known = kind >= 0 && kind <= kAmplitudeDensity;
  result.Kind = kind;
  result.WindowKind = settings.FFTWindowType;
  result.FftLength = n;
  if (known) {
    result.NumPoints = n / 2 + 1;
  }

  result.Channels = request.AnalogChannels;
  result.Channels.insert(result.Channels.end(), request.SwitchChannels.begin(), request.SwitchChannels.end());
  result.ChannelCount = static_cast<int32_t>(request.AnalogChannels.size());
  result.SwitchCount = static_cast<int32_t>(request.SwitchChannels.size());
  const std::vector<int32_t>& chans = request.AnalogChannels;
  const int32_t count = result.ChannelCount;
  if (request.TwoTrace) {
    result.CurveChannel[0] = 0;
    result.CurveChannel[1] = 1;
  } else {
    for (int32_t k = 0; k < std::min(kMaxSpectrumCurves, count); ++k) {
      result.CurveChannel[static_cast<size_t>(k)] = KeyOf(request, k);
    }
  }
  if (count == 0) {
    return refuse("没有模拟通道！");
  }
  const int32_t m = Multiplier(source, chans[0]);
  for (int32_t c : chans) {
    if (Multiplier(source, c) != m) {
      return refuse("各通道频率不同！");
    }
  }
  source_ = &source;
  result_ = &result;
  bandN_ = std::clamp(settings.BandN, 1, 10);
  // With nothing to analyse in the shown range every curve would be empty
  // (and the averages divided by no segments).
  if (source.DispRows <= 0 || SampleRange(chans[0], request.XPosition, request.DisplayWidth).count <= 0) {
    return refuse("没有数据！");
  }

  result.Valid = 1;
  result.Overlap = settings.DataOverlap ? 1 : 0;
  // The coefficients are cached by the engine, not read back from the
  // result: a result may come from another engine (the worker's), with
  // another window in it.
  if (result.WindowKind != windowKind_ || n != windowLength_) {
    window_ = SpectrumWindow(result.WindowKind, n);
    windowPower_ = 0.0;
    windowSum_ = 0.0;
    for (double w : window_) {
      windowPower_ += w * w;
      windowSum_ += w;
    }
    windowKind_ = result.WindowKind;
    windowLength_ = n;
  }
  result.Window.assign(window_.begin(), window_.end());
  result.WindowPower = windowPower_;
  const std::string ok = std::string(kPrompt) + "频谱分析结果已显示!";
  if (!known) {
    return ok;
  }

  const KindTexts& texts = kKindTexts[kind];
  const int32_t pairs = count / 2;
  if (texts.pair && pairs == 0) {
    result.Valid = 0;
    return refuse("模拟通道太少！");
  }
  const double fs = source.ChannelRate * m;
  result.XOrigin = 0.0;
  result.DeltaX = kind >= kFftAutoCorrelation && kind <= kDirectCrossCorrelation ? (fs > 0 ? 1.0 / fs : 0.0)
                                                                                  : (fs / n);
  result.GroupCount = kind == kPowerSpectrumWithPhase ? 2 : 1;
  result.Title = kind == kOctaveBands ? "1/" + std::to_string(bandN_) + "倍频带" : texts.title;
  result.XLabel = texts.xLabel;
  result.YLabel = texts.yLabel;
  result.Y2Label = kind == kPowerSpectrumWithPhase ? "相位角" : "";

  if (kind == kAmplitudeDensity) {
    const int32_t bits = std::clamp(source.ADBit, 1, 30);
    result.NumPoints = bits <= 16 ? (1 << bits) : 65536;
    result.BinWidth = bits <= 16 ? 1 : (1 << (bits - 16));
    result.DeltaX = result.BinWidth;
  }
  const int32_t points = result.NumPoints;
  int32_t curves = 0;
  if (texts.pair) {
    curves = std::min(kMaxSpectrumCurves, pairs);
  } else if (kind == kPowerSpectrumWithPhase) {
    curves = 2 * std::min(kMaxSpectrumCurves / 2, count);
  } else {
    curves = std::min(kMaxSpectrumCurves, count);
    if (kind == kAmplitudeDensity) {
      curves = std::min(curves, kSpectrumValues / points);
    }
  }
  result.NumCurves = curves;

  const int64_t pos = request.XPosition;
  const int32_t width = request.DisplayWidth;
  const int32_t perChannel = kind == kPowerSpectrumWithPhase ? curves / 2 : curves;
  curves_ = std::max(perChannel, 1);
  for (int32_t k = 0; k < perChannel; ++k) {
    curve_ = k;
    if (Stopping()) return ok;
    double* out = result.Values.data() + static_cast<ptrdiff_t>(k) * points;
    const int32_t a = texts.pair ? chans[static_cast<size_t>(2 * k)] : chans[static_cast<size_t>(k)];
    const int32_t b = texts.pair ? chans[static_cast<size_t>(2 * k + 1)] : -1;
    const int32_t colour = request.TwoTrace ? (texts.pair ? 0 : k) : KeyOf(request, texts.pair ? 2 * k : k);
    const std::string nameA = At(source.ChnName, a);
    const std::string name = texts.pair ? nameA + "-" + At(source.ChnName, b) : nameA;
    result.CurveNames[static_cast<size_t>(k)] = name + texts.suffix;
    result.CurveChannel[static_cast<size_t>(k)] = colour;
    switch (kind) {
      case kPowerSpectrum: PowerSpectrum(out, points, a, n, pos, width); break;
      case kPowerSpectrumWithPhase: {
        const auto phaseCurve = static_cast<size_t>(k + perChannel);
        result.CurveNames[phaseCurve] = nameA + "相位";
        result.CurveChannel[phaseCurve] = colour;
        PowerSpectrumWithPhase(out, result.Values.data() + static_cast<ptrdiff_t>(phaseCurve) * points, points,
                               a, n, pos, width);
        break;
      }
      case kCrossSpectrum: CrossSpectrum(out, points, a, b, n, pos, width); break;
      case kCoherence: Coherence(out, points, a, b, n, pos, width); break;
      case kTransferFunction: TransferFunction(out, points, a, b, n, pos, width); break;
      case kFftAutoCorrelation: FftAutoCorrelation(out, points, a, n, pos, width); break;
      case kFftCrossCorrelation: FftCrossCorrelation(out, points, a, b, n, pos, width); break;
      case kDirectAutoCorrelation: DirectAutoCorrelation(out, points, a, n, pos, width); break;
      case kDirectCrossCorrelation: DirectCrossCorrelation(out, points, a, b, n, pos, width); break;
      case kOctaveBands: OctaveBands(out, points, a, n, pos, width); break;
      case kAmplitudeDensity: AmplitudeDensity(out, points, a, pos, width); break;
      default: break;
    }
  }
  if (Stopping()) return ok;
  if (kind == kAmplitudeDensity && curves == 1) {
    const int32_t c = chans[0];
    const double span = source.ADMax - source.VZero;
    // A configuration whose full scale equals its zero has no volts per
    // code; the axis then stays in AD codes.
    if (span != 0.0) {
      const double coeB =
          static_cast<size_t>(c) < source.ChnCoeB.size() ? source.ChnCoeB[static_cast<size_t>(c)] : 1.0;
      result.XLabel = "幅度(" + At(source.ChnUnits, c) + ")";
      result.XOrigin = source.RawToEngineering ? source.RawToEngineering(c, 0.0) : 0.0;
      result.DeltaX = 5.0 / span * result.BinWidth * coeB;
    }
  }
  return ok;
}

SpectrumEngine::Range SpectrumEngine::SampleRange(int channel, int64_t position, int32_t width) const {
  return SampleRangeOf(*source_, channel, position, width);
}

bool SpectrumEngine::Stopping() {
  if (!cancelled_ && cancel_ != nullptr && cancel_->load(std::memory_order_relaxed)) cancelled_ = true;
  return cancelled_;
}

void SpectrumEngine::Report(int64_t done, int64_t total) {
  if (!progress_ || total <= 0) return;
  const double fraction = (curve_ + static_cast<double>(done) / static_cast<double>(total)) / curves_;
  const auto percent = static_cast<int32_t>(fraction * 100.0);
  if (percent == lastPercent_) return;
  lastPercent_ = percent;
  progress_(fraction);
}

int64_t SpectrumEngine::SegmentCount(int64_t count, int n) const {
  const int64_t hop = result_->Overlap != 0 ? n / 2 : n;
  return (count + hop - 1) / hop;
}

void SpectrumEngine::TransformSegment(int channel, Range range, int64_t first, int n, float* re, float* im) {
  const std::vector<double>& w = window_;
  for (int i = 0; i < n; ++i) {
    const int64_t idx = first + i;
    const double v = idx < range.count ? source_->Value(range.start + idx, channel) : 0.0;
    re[i] = static_cast<float>(v * w[static_cast<size_t>(i)]);
    im[i] = 0.0F;
  }
  FFT842(re, im, n, 0);
}

int64_t SpectrumEngine::SumSegments(int a, int b, int n, int64_t position, int32_t width) {
  const auto bins = static_cast<size_t>(n);
  std::fill_n(aa_.begin(), bins, 0.0);
  std::fill_n(bb_.begin(), bins, 0.0);
  std::fill_n(abRe_.begin(), bins, 0.0);
  std::fill_n(abIm_.begin(), bins, 0.0);
  // Both channels of a pair are read over channel A's range.
  const Range range = SampleRange(a, position, width);
  const int64_t segments = SegmentCount(range.count, n);
  const int64_t hop = result_->Overlap != 0 ? n / 2 : n;
  for (int64_t s = 0; s < segments; ++s) {
    if (Stopping()) break;
    Report(s, segments);
    TransformSegment(a, range, s * hop, n, reA_.data(), imA_.data());
    if (b >= 0) {
      TransformSegment(b, range, s * hop, n, reB_.data(), imB_.data());
    }
    for (size_t k = 0; k < bins; ++k) {
      const double ar = reA_[k];
      const double ai = imA_[k];
      aa_[k] += ar * ar + ai * ai;
      if (b >= 0) {
        const double br = reB_[k];
        const double bi = imB_[k];
        bb_[k] += br * br + bi * bi;
        abRe_[k] += ar * br + ai * bi;  // conj(A) B
        abIm_[k] += ar * bi - ai * br;
      }
    }
  }
  return segments;
}

// Powers are divided by (sum of w)^2 rather than by (sum of w^2)^2: a sine
// then reads the same level under every window; for the rectangular window
// both are N^2.
double SpectrumEngine::PowerScale(int64_t segments) const {
  const double denom = windowSum_ * windowSum_ * static_cast<double>(segments);
  return denom > 0.0 ? 1.0 / denom : 0.0;
}

int SpectrumEngine::PowerSpectrum(double* out, int points, int channel, int n, int64_t position, int32_t width) {
  const int64_t segments = SumSegments(channel, -1, n, position, width);
  const double scale = PowerScale(segments);
  for (int k = 0; k < points; ++k) {
    out[k] = aa_[static_cast<size_t>(k)] * scale;
  }
  return 1;
}

int SpectrumEngine::PowerSpectrumWithPhase(double* power, double* phase, int points, int channel, int n,
                                           int64_t position, int32_t width) {
  Range range = SampleRange(channel, position, width);
  const double scale = PowerScale(range.count > 0 ? 1 : 0);
  TransformSegment(channel, range, 0, n, reA_.data(), imA_.data());
  const double toDegrees = 180.0 / Pi();
  for (int k = 0; k < points; ++k) {
    const double re = reA_[static_cast<size_t>(k)];
    const double im = imA_[static_cast<size_t>(k)];
    power[k] = (re * re + im * im) * scale;
    // atan2 keeps the quadrant, and gives +-90 degrees on the imaginary axis.
    phase[k] = std::atan2(im, re) * toDegrees;
  }
  return 1;
}

int SpectrumEngine::CrossSpectrum(double* out, int points, int a, int b, int n, int64_t position, int32_t width) {
  const double scale = PowerScale(SumSegments(a, b, n, position, width));
  for (int k = 0; k < points; ++k) {
    const auto i = static_cast<size_t>(k);
    out[k] = std::hypot(abRe_[i], abIm_[i]) * scale;
  }
  return 1;
}

int SpectrumEngine::Coherence(double* out, int points, int a, int b, int n, int64_t position, int32_t width) {
  SumSegments(a, b, n, position, width);
  for (int k = 0; k < points; ++k) {
    const auto i = static_cast<size_t>(k);
    const double denom = aa_[i] * bb_[i];
    out[k] = denom != 0.0 ? (abRe_[i] * abRe_[i] + abIm_[i] * abIm_[i]) / denom : 0.0;
  }
  return 1;
}

int SpectrumEngine::TransferFunction(double* out, int points, int a, int b, int n, int64_t position,
                                     int32_t width) {
  SumSegments(a, b, n, position, width);
  // Cross spectrum over input power; both carry the same scale. A bin with
  // no input power has no ratio and holds 0.
  for (int k = 0; k < points; ++k) {
    const auto i = static_cast<size_t>(k);
    out[k] = aa_[i] != 0.0 ? std::hypot(abRe_[i], abIm_[i]) / aa_[i] : 0.0;
  }
  return 1;
}

int SpectrumEngine::FftAutoCorrelation(double* out, int points, int channel, int n, int64_t position,
                                       int32_t width) {
  PowerSpectrum(power_.data(), n / 2 + 1, channel, n, position, width);
  const auto twoPi = static_cast<float>(2.0 * Pi());
  for (int k = 0; k <= n / 2; ++k) {
    reA_[static_cast<size_t>(k)] = twoPi * static_cast<float>(power_[static_cast<size_t>(k)]);
  }
  for (int k = n / 2 + 1; k < n; ++k) {
    reA_[static_cast<size_t>(k)] = reA_[static_cast<size_t>(n - k)];
  }
  std::fill_n(imA_.begin(), n, 0.0F);
  FFT842(reA_.data(), imA_.data(), n, 1);
  double r0 = reA_[0];
  if (r0 > -1e-10 && r0 < 1e-10) {
    r0 = 1e-10;
  }
  for (int k = 0; k < points; ++k) {
    out[k] = reA_[static_cast<size_t>(k)] / r0 * n / (n - k);
  }
  return 1;
}

int SpectrumEngine::FftCrossCorrelation(double* out, int points, int a, int b, int n, int64_t position,
                                        int32_t width) {
  const int64_t segments = SumSegments(a, b, n, position, width);
  const double scale = segments > 0 ? 2.0 * Pi() / static_cast<double>(segments) : 0.0;
  double sumA = 0.0;
  double sumB = 0.0;
  for (int k = 0; k < n; ++k) {
    const auto i = static_cast<size_t>(k);
    reA_[i] = static_cast<float>(abRe_[i] * scale);
    imA_[i] = static_cast<float>(abIm_[i] * scale);
    sumA += aa_[i];
    sumB += bb_[i];
  }
  FFT842(reA_.data(), imA_.data(), n, 1);
  // Normalised by the zero lags of both autocorrelations, so the curve is a
  // correlation coefficient (within -1..1) whatever the lag of best match;
  // the zero lag of the cross-correlation itself may be 0 or negative.
  const double rxx0 = sumA * scale / n;
  const double ryy0 = sumB * scale / n;
  double denom = std::sqrt(rxx0 * ryy0);
  if (denom < 1e-10) {
    denom = 1e-10;
  }
  for (int k = 0; k < points; ++k) {
    out[k] = reA_[static_cast<size_t>(k)] / denom * n / (n - k);
  }
  return 1;
}

int SpectrumEngine::DirectAutoCorrelation(double* out, int points, int channel, int /*n*/, int64_t position,
                                          int32_t width) {
  return DirectCorrelation(out, points, channel, -1, position, width);
}

int SpectrumEngine::DirectCrossCorrelation(double* out, int points, int a, int b, int /*n*/, int64_t position,
                                           int32_t width) {
  return DirectCorrelation(out, points, a, b, position, width);
}

int SpectrumEngine::DirectCorrelation(double* out, int points, int a, int b, int64_t position, int32_t width) {
  std::fill_n(out, points, 0.0);
  const Range range = SampleRange(a, position, width);
  const int64_t m = range.count;
  const int64_t lags = std::min<int64_t>(m - 5, points);
  if (lags <= 0) {
    return 1;
  }
  double* r = aa_.data();
  std::fill_n(r, lags, 0.0);
  double sxx = 0.0;
  double syy = 0.0;
  // Each sample is read once; the last `lags` values of A are kept in a
  // ring, and every lag ending at sample t is summed as t arrives.
  // A sample costs up to `lags` multiply-adds: the cancel flag is looked at
  // after about a million of them, whatever the number of lags.
  const int64_t checkEvery = std::clamp<int64_t>((int64_t{1} << 20) / lags, 1, 4096);
  for (int64_t t = 0; t < m; ++t) {
    if (t % checkEvery == 0) {
      if (Stopping()) return 1;
      Report(t, m);
    }
    const double xt = source_->Value(range.start + t, a);
    ringA_[static_cast<size_t>(t % kRingLength)] = xt;
    const double yt = b < 0 ? xt : source_->Value(range.start + t, b);
    sxx += xt * xt;
    syy += yt * yt;
    const int64_t top = std::min(lags - 1, t);
    for (int64_t j = 0; j <= top; ++j) {
      r[j] += ringA_[static_cast<size_t>((t - j) % kRingLength)] * yt;
    }
  }
  for (int64_t j = 0; j < lags; ++j) {
    r[j] /= static_cast<double>(m - j);
  }
  // sqrt(Rxx(0) Ryy(0)): for the autocorrelation this is R(0) itself.
  double denom = std::sqrt((sxx / static_cast<double>(m)) * (syy / static_cast<double>(m)));
  if (denom == 0.0) {
    denom = 1.0;
  }
  for (int64_t j = 0; j < lags; ++j) {
    out[j] = r[j] / denom;
  }
  return 1;
}

int SpectrumEngine::OctaveBands(double* out, int points, int channel, int n, int64_t position, int32_t width) {
  PowerSpectrum(power_.data(), points, channel, n, position, width);
  const double r = std::pow(2.0, 1.0 / (2.0 * bandN_));
  const double df = result_->DeltaX;
  int first = points / 10;
  if (df > 0.0 && 1.0 / df < first) {
    first = static_cast<int>(1.0 / df);
  }
  const int last = static_cast<int>((points - 1) / r);
  double smallest = 0.0;
  bool any = false;
  // The bands overlap and widen with j, so summing each one bin by bin
  // takes time quadratic in the length; sums over a tree of partial sums
  // take log time per band. They add only (a running total's differences
  // would lose the small bands beside large ones).
  size_t leaves = 1;
  while (leaves < static_cast<size_t>(points)) leaves *= 2;
  bandTree_.assign(2 * leaves, 0.0);
  std::copy_n(power_.begin(), points, bandTree_.begin() + static_cast<ptrdiff_t>(leaves));
  for (size_t i = leaves - 1; i >= 1; --i) bandTree_[i] = bandTree_[2 * i] + bandTree_[2 * i + 1];
  const auto bandSum = [&](size_t lo, size_t hi) {
    double sum = 0.0;
    for (lo += leaves, hi += leaves + 1; lo < hi; lo /= 2, hi /= 2) {
      if (lo % 2 == 1) sum += bandTree_[lo++];
      if (hi % 2 == 1) sum += bandTree_[--hi];
    }
    return sum;
  };
  for (int j = first; j <= last; ++j) {
    const int lo = static_cast<int>(j / r);
    const int hi = std::min(points - 1, static_cast<int>(j * r));
    out[j] = lo <= hi ? df * bandSum(static_cast<size_t>(lo), static_cast<size_t>(hi)) : 0.0;
    smallest = any ? std::min(smallest, out[j]) : out[j];
    any = true;
  }
  // A floor for the logarithmic plot outside the bands.
  const double floor = 0.1 * smallest;
  for (int j = 0; j < points; ++j) {
    if (j < first || j > last) {
      out[j] = floor;
    }
  }
  return 1;
}

int SpectrumEngine::AmplitudeDensity(double* out, int points, int channel, int64_t position, int32_t width) {
  std::fill_n(out, points, 0.0);
  const Range range = SampleRange(channel, position, width);
  const int32_t binWidth = std::max(1, result_->BinWidth);
  for (int64_t i = 0; i < range.count; ++i) {
    if (i % 65536 == 0 && Stopping()) return 1;
    const int64_t bin = source_->Raw(range.start + i, channel) / binWidth;
    // Words beyond the converter's range (a card or file of fewer bits)
    // have no bin.
    if (bin < points) {
      out[bin] += 1.0;
    }
  }
  return 1;
}

}  // namespace quelvar
