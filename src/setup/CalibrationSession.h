#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/AppState.h"
#include "platform/CellGrid.h"
#include "platform/UiHost.h"

namespace quelvar {

// The channel calibration's grid and sampling: a data row per analog channel
// under two heading rows, the snapshot sampling of a lower and an upper
// signal over the driver, the fit of columns 9 and 10 and their storing into
// the live channel table.

enum CalibrateGridCol : int {
  kCalColNumber = 0,
  kCalColName,
  kCalColUnits,
  kCalColType,
  kCalColPoints,
  kCalColLowerMeasured,
  kCalColLowerTarget,
  kCalColUpperMeasured,
  kCalColUpperTarget,
  kCalColCoeA,
  kCalColCoeB,
  kCalibrateGridCols
};
inline constexpr int kCalibrateHeadingRows = 2;

// CalibrateState: which signal is being sampled.
inline constexpr int32_t kCalibrateIdle = 0;
inline constexpr int32_t kCalibrateLower = 1;
inline constexpr int32_t kCalibrateUpper = 2;

// Averaged samples when a row's count is not a number or below 1.
inline constexpr int32_t kCalibrateDefaultPoints = 10;
// The largest snapshot buffer sampling asks for (256 MB): a larger count
// typed into the grid is refused as memory the card cannot be given.
inline constexpr int64_t kMaxCalibrateSnapshotWords = int64_t{1} << 27;

struct CalibrationState {
  CalibrationState();
  // The analog channel shown in each data row.
  std::array<int16_t, kMaxAnalogChannels> CalibrateGridOrder{};
  int32_t CalibrateState = kCalibrateIdle;
  // Rows of each snapshot block and words of each row, fixed when sampling
  // starts (the words after the channel layout was recomputed).
  int32_t CalibrateSnapshotRows = 0;
  int32_t CalibrateSnapshotWords = 0;
  // Sequence word, then the rows; kept between samplings.
  std::vector<uint16_t> CalibrateSnapshot;
  // 1 once a block has been taken since the dialog was shown.
  int32_t CalibrateSnapshotValid = 0;
  // The mean volts of each channel during the last lower sampling, by
  // channel number, so moving rows never hands one channel's offset to
  // another. A channel beyond the entries counts 0.
  std::vector<float> CalibrateDCMean;
};

// The grid as designed: 11 columns, the two heading rows, no data rows.
platform::CellGrid NewCalibrateGrid();

// The sampling buttons work only on the real card while nothing runs.
bool CalibrateSamplingAllowed(const LiveConfig& config, int32_t runState);

// The opener's fill: a row per analog channel in the order of
// CalibrateGridOrder (made a permutation first). The targets are emptied when
// idle; the measured values keep their texts.
void FillCalibrateGrid(platform::CellGrid& grid, CalibrationState& cal, const LiveConfig& config, bool idle);

// The sampling buttons' captions.
std::string CalibrateButtonCaption(int32_t signal, int32_t calibrateState);

// Sizes the buffer and starts the card in snapshot mode; false (after the
// message box) when memory, initialisation or start fail.
bool StartCalibrateSnapshot(CalibrationState& cal, const platform::CellGrid& grid, AppState& state,
                            platform::UiHost& ui);

// A press of the lower (1) or upper (2) sampling button: stops the sampling
// that runs, and starts the other signal's (or this one's when none ran).
// CalibrateState tells the caller whether its timer runs.
void PressCalibrateButton(CalibrationState& cal, int32_t signal, const platform::CellGrid& grid, AppState& state,
                          platform::UiHost& ui);

// Stops any sampling (the exit button).
void StopCalibrateSampling(CalibrationState& cal, const AdDriver& driver);

// One timer tick: takes a block and writes each row's reading into the
// column of the signal sampled; false when no block came.
bool CalibrateTick(CalibrationState& cal, platform::CellGrid& grid, const AppState& state);

// Columns 9 and 10 from the measured values and the targets. The cold
// junction is refreshed from the last snapshot first when EnvTemp names a
// channel. A row whose result is no number is reported and left alone.
void CalculateCalibration(const CalibrationState& cal, platform::CellGrid& grid, LiveConfig& config,
                          const TorqueTables& torque, platform::UiHost& ui);

// "系数=1": A 0 and B 1 in every row except torque-power channels.
void ResetCalibrateCoefficients(platform::CellGrid& grid, const CalibrationState& cal, const LiveConfig& config);

// Stores columns 9 and 10 as the channels' coefficients, then empties the
// targets. A coefficient whose text still reads as the opener showed it is
// left exactly as stored, so channels not calibrated keep their values; a
// changed text that is no number stores A 0 and B 1.
void StoreCalibrateCoefficients(platform::CellGrid& grid, const CalibrationState& cal, LiveConfig& config);

// The double click: a data row's type cell moves on along the type cycle.
bool CycleCalibrateTypeCell(platform::CellGrid& grid, int col, int row);

// A data row dragged from grid row `from` to `to` (the grid moved its cells
// already): the row order follows.
void MoveCalibrateRow(CalibrationState& cal, int from, int to, int32_t analogNum);

}  // namespace quelvar
