#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/LiveConfig.h"
#include "common/ViewOptions.h"

namespace quelvar {

inline constexpr int kViewHistorySlots = 80;  // 40 (XPosition, DisplayWidth) pairs

// Which channels each page shows. Pages 0..TotalPages-1 are the predefined
// pages, page TotalPages the universal page, TotalPages+1 the trigger page.
// Entries are channel keys: an analog channel by its number, switch input s
// as Analog_Num + s; a page lists its analog entries before its switches.
struct PageTables {
  std::vector<int32_t> PageChannels;  // TotalPages + 2
  std::vector<int32_t> PageSwitches;  // TotalPages + 2
  std::vector<int32_t> PageFirst;     // TotalPages + 2: index into Entries
  std::vector<int32_t> Entries;       // (Analog_Num + SW_Num) x 3
  // Vertical offset of each entry's trace, a fraction of the plot height.
  std::vector<float> EntryOffset;     // (Analog_Num + SW_Num) x 3
};

// What one waveform window shows of the display data: the range on screen,
// zoom, channel rows, marks and its view history. The main window owns one;
// the second waveform window owns another over the same display data.
// Its universal page is kept in a UniversalPages record beside it (the main
// window's is AppState::pages, which the settings tree stores).
struct WaveViewState {
  int32_t YOffset = 0;
  int32_t XZoom = 4;  // 1, 2, 4, 8, 16; 32 = arbitrary width
  int32_t YZoom = 1;
  int32_t IDDC = 0;     // 1 DC display, 0 AC display
  int32_t WhiteBG = 0;  // colour scheme row; values other than 1 mean 0
  int32_t XPosition = 0;
  int32_t DisplayWidth = 100;
  int32_t DispScale = 5;
  int32_t BegDispChannel = 0;
  int32_t CurrentLine = 0;
  int32_t Mark1X = 5;
  int32_t Mark2X = 3000;
  int32_t Mark1Y = 10;
  int32_t Mark2Y = 3000;
  int8_t NearerMarkX = 0;
  int8_t NearerMarkY = 0;
  int32_t DragMode = 0;  // 0 none, 1 a mark, 2 a page channel
  int32_t DragChannel = 0;
  int32_t ViewHistoryIndex = 0;  // next free slot, even, 0..78
  int32_t IDTrace = 1;
  int32_t IDPhase = 0;
  int32_t IDScope = 0;
  // The value kind (a MarkKind) each mark's label shows, and the kinds'
  // parameters; the settings tree stores them under these names.
  int32_t MarkType1 = 0;
  int32_t MarkType2 = 0;
  int32_t MarkHarmonics1 = 2;  // harmonic order n >= 0
  int32_t MarkHarmonics2 = 2;
  int32_t MarkAlgorithm1 = 0;  // trigger algorithm m
  int32_t MarkAlgorithm2 = 0;
  int32_t MarkInc1 = 1;  // cycles n >= 1
  int32_t MarkInc2 = 2;
  int32_t MarkRatioN2 = 10;  // points n >= 2, mark 2 only
  int32_t MarkRatioRN2 = 10;
  int32_t MarkPeriodN2 = 10;
  // The analog-speed kind: pulse periods (analog channel) and sample points
  // (counter channel) a reading spans, per mark; the pulse's mid level (an
  // AD code), the factor from frequency to speed and the speed's unit, shared.
  int32_t MarkAnalSpeedNumP1 = 1;
  int32_t MarkAnalSpeedNumP2 = 1;
  int32_t MarkAnalSpeedNumS1 = 1;
  int32_t MarkAnalSpeedNumS2 = 1;
  int32_t MarkAnalSpeedThresholdV = 0;
  float MarkAnalSpeedScale = 1.0f;
  std::string MarkSpeedUnit = "r/min";
  // The check marks of the window's view menus, which the renderer reads.
  ViewOptions Options;
  std::array<int32_t, kViewHistorySlots> ViewHistory{};
  PageTables PageLayout;
  // Outputs of the last paint, read by the mark labels and measurements.
  int32_t DrawnRows = 0;
  int32_t DrawnAnalogCount = 0;
  int32_t DrawnSwitchCount = 0;
  std::array<int32_t, kMaxDisplayPositions> DrawnChannels{};
  std::array<int32_t, kMaxDisplayPositions> RowShare{};
  std::array<int32_t, kMaxDisplayPositions> RowShareStart{};
  int32_t RowShareTotal = 0;

  // The main window's instance only.
  int32_t ViewMode = 0;  // 0 waveform, 1 text grid, 2 run log
  int32_t RepaintRequested = 0;
  int32_t GridColumns = 4;
  int32_t GridFirstPoint = 0;
  double FirstTickTime = 0.0;
};

// Sizes of the scale labels, measured by every layout rebuild: text height
// and widest label on the screen and in pictures, in pixels.
struct ScaleLabelMetrics {
  int32_t ScreenTextHeight = 0;
  int32_t ScreenLabelWidth = 0;
  int32_t PictureTextHeight = 0;
  int32_t PictureLabelWidth = 0;
};

}  // namespace quelvar
