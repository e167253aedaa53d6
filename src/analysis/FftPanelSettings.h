#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/FrequencyAnalysis.h"
#include "analysis/FrequencyPlot.h"

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

// The FFT panel's stored settings (key "RawFFT" under the application key),
// their defaults, clamps and the rules of the controls that edit them.

struct FftPanelSettings {
  bool Topmost = false;
  FftSettings Engine;
  bool MultiAxial = false;
  bool LogAxial = false;
  bool XGridOn = true;
  bool YGridOn = true;
  bool InstValueOn = true;
  bool InstTransparentOn = true;
  bool WhiteBG = true;
  int32_t XZoom = 1;    // 1 .. 1000
  int32_t YZoom = 1;    // 1 .. 100
  int32_t XPoints = 100;  // at least 10
  int32_t XPointMode = 0;  // 0 factor, 1 point count
};

inline constexpr int32_t kMinFftLength = 128;
inline constexpr int32_t kMaxXZoom = 1000;
inline constexpr int32_t kMaxYZoom = 100;
inline constexpr int32_t kMinXPoints = 10;
inline constexpr int32_t kDefaultBandN = 3;
inline constexpr int32_t kWindowKinds = 6;
inline constexpr int32_t kAnalysisKinds = 11;

extern const char* const kWindowKindNames[kWindowKinds];
extern const char* const kAnalysisKindNames[kAnalysisKinds];

// The largest power of two not above `length`, within 128 .. 32768.
int32_t ClampFftLength(int64_t length);
// The typed FFT length: text that is not a number keeps `previous`.
int32_t FftLengthFromText(std::string_view text, int32_t previous);
// The up-down control: up doubles, down halves, then clamped.
int32_t StepFftLength(int32_t length, bool up);
// Band N from its edit: text that is not a number gives 3; 1 .. 10.
int32_t BandNFromText(std::string_view text);
// An analysis kind as the list reads it back: -1 outside 0 .. 10.
int32_t AnalysisKindFromList(int32_t index);

// Read at creation (a value that cannot be read takes its default, out of
// range ones are clamped) and written at destruction.
FftPanelSettings LoadFftPanelSettings(platform::RegistryStore& registry, const std::string& appKeyName);
void SaveFftPanelSettings(platform::RegistryStore& registry, const std::string& appKeyName,
                          const FftPanelSettings& settings);
std::string FftPanelKey(const std::string& appKeyName);

// The plot's view of the zoom settings.
void CopyZoomToView(const FftPanelSettings& settings, FrequencyPlotView& view);

// Zoom commands on the settings; numPoints is the result's point count.
// Factor mode with a factor (1 .. 1000); the point count follows it.
void ApplyXZoom(FftPanelSettings& s, int32_t factor, int32_t numPoints);
void XZoomEnlarge(FftPanelSettings& s, int32_t numPoints);
void XZoomCompress(FftPanelSettings& s, int32_t numPoints);
// Point mode with `points` (below 10 gives 10, above numPoints numPoints).
void XZoomShowPoints(FftPanelSettings& s, int32_t points, int32_t numPoints);
// The span between the two marks, the lower mark becoming the first point
// shown (no further than keeps the window in the data); the marks shift
// back by as much. `firstVisible` is the first point shown, updated.
void XZoomBetweenMarks(FftPanelSettings& s, FrequencyPlotState& plot, int32_t numPoints, int32_t& firstVisible);
void ApplyYZoom(FftPanelSettings& s, int32_t factor);

std::string XZoomAnyCaption(int32_t factor);
std::string XZoomAnyPointCaption(int32_t points);
std::string YZoomAnyCaption(int32_t factor);

// The table: value columns for a table `tableWidth` wide (at least 4) and
// the first point shown for a scroll position; a table wider than the data
// starts at point 0.
int32_t TableColumns(int32_t tableWidth, int32_t defaultColumnWidth);
int32_t TableFirstPoint(int32_t scroll, int32_t numPoints, int32_t columns);
// Texts of the table's cells: row 0 the X values, row k+1 curve k; an empty
// text where a column passes the data. `log` as the plot's log tick.
std::string TableHeader(const SpectrumResult& result, int32_t curve, bool log);
std::string TableCell(const SpectrumResult& result, int32_t row, int32_t point, bool log);

}  // namespace quelvar
