#include "analysis/FftPanelSettings.h"

#include <algorithm>
#include <cmath>

#include "common/NumberFormat.h"
#include "platform/RegistryStore.h"
#include "setup/DialogNumbers.h"

namespace quelvar {

const char* const kWindowKindNames[kWindowKinds] = {"矩形窗", "Hamming窗", "Hann窗", "Blackman窗", "Harris窗", "三角窗"};
const char* const kAnalysisKindNames[kAnalysisKinds] = {
    "功率谱",     "功率谱+相位", "互功率谱",   "相干函数",  "传递函数",    "FFT自相关",
    "FFT互相关", "直接自相关",  "直接互相关", "1/N倍频带", "幅度概率密度"};

int32_t ClampFftLength(int64_t length) {
  int32_t n = kMinFftLength;
  while (n < kMaxFftLength && static_cast<int64_t>(n) * 2 <= length) n *= 2;
  return n;
}

int32_t FftLengthFromText(std::string_view text, int32_t previous) {
  const std::optional<int32_t> typed = ParseDialogInteger(text);
  return ClampFftLength(typed ? *typed : previous);
}

int32_t StepFftLength(int32_t length, bool up) {
  return ClampFftLength(up ? static_cast<int64_t>(length) * 2 : length / 2);
}

int32_t BandNFromText(std::string_view text) {
  return std::clamp(ParseDialogInteger(text).value_or(kDefaultBandN), 1, 10);
}

int32_t AnalysisKindFromList(int32_t index) { return index >= 0 && index < kAnalysisKinds ? index : -1; }

std::string FftPanelKey(const std::string& appKeyName) { return "\\SOFTWARE\\" + appKeyName + "\\RawFFT"; }

FftPanelSettings LoadFftPanelSettings(platform::RegistryStore& registry, const std::string& appKeyName) {
  const std::string key = FftPanelKey(appKeyName);
  FftPanelSettings s;
  const auto readInt = [&](const char* name, int32_t byDefault) {
    return registry.ReadInt32(key, name).value_or(byDefault);
  };
  const auto readBool = [&](const char* name, bool byDefault) { return readInt(name, byDefault ? 1 : 0) != 0; };
  s.Topmost = readBool("idTopmost", false);
  s.Engine.FFTLength = ClampFftLength(readInt("FFTLength", 1024));
  s.Engine.FFTWindowType = readInt("FFTWindowType", 0);
  s.Engine.FFTResultType = AnalysisKindFromList(readInt("FFTResultType", 0));
  s.MultiAxial = readBool("MultiAxial", false);
  s.Engine.DataOverlap = readBool("DataOverlap", false);
  s.LogAxial = readBool("LogAxial", false);
  s.Engine.RealtimeSpectrum = readBool("RealtimeSpectrum", false);
  s.XGridOn = readBool("XGridOn", true);
  s.YGridOn = readBool("YGridOn", true);
  s.InstValueOn = readBool("InstValueOn", true);
  s.InstTransparentOn = readBool("InstTransparentOn", true);
  s.WhiteBG = readBool("WhiteBG", true);
  s.XZoom = std::clamp(readInt("XZoomRawFFT", 1), 1, kMaxXZoom);
  s.YZoom = std::clamp(readInt("YZoomRawFFT", 1), 1, kMaxYZoom);
  s.XPoints = std::max(readInt("XPointRawFFT", 100), kMinXPoints);
  s.XPointMode = readInt("idXPointRawFFT", 0);
  s.Engine.BandN = std::clamp(readInt("BandN", kDefaultBandN), 1, 10);
  return s;
}

void SaveFftPanelSettings(platform::RegistryStore& registry, const std::string& appKeyName,
                          const FftPanelSettings& s) {
  const std::string key = FftPanelKey(appKeyName);
  const auto put = [&](const char* name, int32_t value) { registry.WriteInt32(key, name, value); };
  put("idTopmost", s.Topmost ? 1 : 0);
  put("FFTLength", s.Engine.FFTLength);
  put("FFTWindowType", s.Engine.FFTWindowType);
  put("FFTResultType", s.Engine.FFTResultType);
  put("XZoomRawFFT", s.XZoom);
  put("YZoomRawFFT", s.YZoom);
  put("XPointRawFFT", s.XPoints);
  put("idXPointRawFFT", s.XPointMode);
  put("MultiAxial", s.MultiAxial ? 1 : 0);
  put("DataOverlap", s.Engine.DataOverlap ? 1 : 0);
  put("LogAxial", s.LogAxial ? 1 : 0);
  put("RealtimeSpectrum", s.Engine.RealtimeSpectrum ? 1 : 0);
  put("XGridOn", s.XGridOn ? 1 : 0);
  put("YGridOn", s.YGridOn ? 1 : 0);
  put("InstValueOn", s.InstValueOn ? 1 : 0);
  put("InstTransparentOn", s.InstTransparentOn ? 1 : 0);
  put("WhiteBG", s.WhiteBG ? 1 : 0);
  put("BandN", s.Engine.BandN);
}

void CopyZoomToView(const FftPanelSettings& s, FrequencyPlotView& view) {
  view.XZoom = s.XZoom;
  view.XPointMode = s.XPointMode;
  view.XPoints = s.XPoints;
  view.YZoom = s.YZoom;
  view.MultiAxial = s.MultiAxial;
  view.XGrid = s.XGridOn;
  view.YGrid = s.YGridOn;
  view.InstValue = s.InstValueOn;
  view.TransparentInst = s.InstTransparentOn;
}

namespace {

// Within 10 .. numPoints (a result of fewer points shows them all).
int32_t PointsWithin(int32_t points, int32_t numPoints) {
  return std::min(std::max(points, kMinXPoints), std::max(numPoints, kMinXPoints));
}

}  // namespace

void ApplyXZoom(FftPanelSettings& s, int32_t factor, int32_t numPoints) {
  s.XZoom = std::clamp(factor, 1, kMaxXZoom);
  s.XPointMode = 0;
  s.XPoints = PointsWithin(numPoints / s.XZoom, numPoints);
}

void XZoomEnlarge(FftPanelSettings& s, int32_t numPoints) {
  if (s.XPointMode == 0) {
    ApplyXZoom(s, std::min(s.XZoom * 2, kMaxXZoom), numPoints);
  } else {
    s.XPoints = std::max(s.XPoints / 2, kMinXPoints);
  }
}

void XZoomCompress(FftPanelSettings& s, int32_t numPoints) {
  if (s.XPointMode == 0) {
    ApplyXZoom(s, std::max(s.XZoom / 2, 1), numPoints);
  } else {
    s.XPoints = PointsWithin(static_cast<int32_t>(std::min<int64_t>(static_cast<int64_t>(s.XPoints) * 2, INT32_MAX)),
                             numPoints);
  }
}

void XZoomShowPoints(FftPanelSettings& s, int32_t points, int32_t numPoints) {
  s.XPoints = PointsWithin(points, numPoints);
  s.XPointMode = 1;
}

void XZoomBetweenMarks(FftPanelSettings& s, FrequencyPlotState& plot, int32_t numPoints, int32_t& firstVisible) {
  const int32_t lower = std::min(plot.Mark1, plot.Mark2);
  s.XPoints = std::max(std::abs(plot.Mark1 - plot.Mark2) + 1, kMinXPoints);
  s.XPointMode = 1;
  const int32_t limit = std::max(numPoints - s.XPoints, 0);
  const int32_t first = std::clamp(firstVisible + lower, 0, std::max(limit, firstVisible));
  const int32_t shift = first - firstVisible;
  firstVisible = first;
  plot.Mark1 -= shift;
  plot.Mark2 -= shift;
}

void ApplyYZoom(FftPanelSettings& s, int32_t factor) { s.YZoom = std::clamp(factor, 1, kMaxYZoom); }

std::string XZoomAnyCaption(int32_t factor) { return "X向放大?倍(" + std::to_string(factor) + ")"; }
std::string XZoomAnyPointCaption(int32_t points) { return "X向显示?点(" + std::to_string(points) + ")"; }
std::string YZoomAnyCaption(int32_t factor) { return "Y向放大?倍(" + std::to_string(factor) + ")"; }

int32_t TableColumns(int32_t tableWidth, int32_t defaultColumnWidth) {
  return std::max(tableWidth / std::max(defaultColumnWidth, 1) - 1, 4);
}

int32_t TableFirstPoint(int32_t scroll, int32_t numPoints, int32_t columns) {
  return std::max(std::min(scroll, numPoints - columns), 0);
}

std::string TableHeader(const SpectrumResult& r, int32_t curve, bool log) {
  std::string name = r.CurveNames[static_cast<size_t>(curve)];
  if (log && curve < r.NumCurves / std::max(r.GroupCount, 1)) name += "(dB)";
  return name;
}

std::string TableCell(const SpectrumResult& r, int32_t row, int32_t point, bool log) {
  if (point < 0 || point >= r.NumPoints) return {};
  if (row == 0) return FormatGeneral(r.XOrigin + point * r.DeltaX, 6, 2);
  const int32_t curve = row - 1;
  const size_t i = static_cast<size_t>(curve) * static_cast<size_t>(r.NumPoints) + static_cast<size_t>(point);
  const double v = i < r.Values.size() ? r.Values[i] : 0.0;
  const bool inGroup1 = curve < r.NumCurves / std::max(r.GroupCount, 1);
  return FormatGeneral(log && inGroup1 ? 10.0 * std::log10(v) : v, 5, 3);
}

}  // namespace quelvar
