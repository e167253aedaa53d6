#pragma once

#include <cstdint>

namespace quelvar {

// The oscilloscope control panel's settings (kept in "\OscilTool"; the
// last five fields are never stored).
struct OscilToolSettings {
  int32_t Interval = 150;  // refresh period, ms
  int32_t Topmost = 1;
  int32_t ChnAd1 = 0;  // analog channels first, then switch inputs
  int32_t UseChn1 = 1;
  int32_t ACDC1 = 3;  // 0 AC, 1 DC, 2 ground, 3 automatic range
  int32_t YOffset1 = 0;  // -2500..2500, 0.002 V a step
  int32_t YZoom1 = 1;  // gain
  int32_t Neg1 = 0;
  int32_t ChnAD2 = 0;
  int32_t UseChn2 = 1;
  int32_t ACDC2 = 3;
  int32_t YOffset2 = 0;
  int32_t YZoom2 = 1;
  int32_t Neg2 = 0;
  int32_t FixChn = 1;  // phase lock on trace 1 or 2
  int32_t FixMode = 0;  // 0 none, 1 upper vertex, 2 lower vertex, 3 above, 4 below the level
  uint16_t FixVolt = 0;  // phase-lock level, AD code
  int32_t MeasTime = 1;
  int32_t MeasVolt = 1;
  int32_t LocalZoom = 0;
  int32_t AddTraces = 0;
  int32_t SubtractTraces = 0;
  int32_t ZoomStep1 = 0;
  int32_t ZoomStep2 = 0;
};

}  // namespace quelvar
