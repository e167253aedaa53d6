#pragma once

#include <cstdint>

namespace quelvar {

// The main window's view values kept beside the configuration in the
// settings tree: its marks, zooms, display switches and menu check marks.
// The marks' value kinds and their parameters are not copied here: the
// settings tree reads and writes them in the window's WaveViewState.
// The window copies its menus and view into this before a save and applies
// it after a load. Values are as stored (1 = checked).
struct MainViewSettings {
  int32_t IDEnableRemote = 1;
  int32_t IDTrace = 1;
  int32_t IDPhase = 0;
  int32_t IDScope = 0;
  int32_t BegDispChannel = 0;
  int32_t IDTraceTrans = 1;
  int32_t AutoPlayInterval = 500;
  int32_t AutoPlayInc = 9;
  int32_t Mark1 = 5;
  int32_t Mark2 = 3000;
  int32_t Mark1_V = 10;
  int32_t Mark2_V = 3000;
  int32_t DispScale = 5;
  int32_t XAxialTime = 1;
  int32_t AbsoluteTime = 0;
  int32_t XZoom = 4;  // 1, 2, 4, 8, 16, or 32 for an arbitrary width
  int32_t DisplayWidth = 100;
  int32_t YZoom = 1;  // 1, 2, 5, ... 1000, or 2000
  int32_t IDDC = 0;
  int32_t IDMonitor = 1;
  int32_t IDViewXScale = 1;
  int32_t IDViewGridLine = 0;
  int32_t IDViewGridPoint = 0;
  int32_t IDViewYGrid = 0;
  int32_t IDViewScaleAlways = 0;
};

}  // namespace quelvar
