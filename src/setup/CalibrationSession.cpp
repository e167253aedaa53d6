#include "setup/CalibrationSession.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <optional>
#include <stdexcept>

#include "acquisition/ChannelLayout.h"
#include "common/ChannelVocabularies.h"
#include "common/NumberFormat.h"
#include "setup/CalibrationFit.h"
#include "setup/DialogNumbers.h"
#include "view/DisplayLayout.h"
#include "view/EngineeringUnits.h"

namespace quelvar {

namespace {

using platform::CellGrid;
using platform::MsgButtons;

struct CalibrateHeading {
  const char* top;
  const char* bottom;
  int width;
};
constexpr std::array<CalibrateHeading, kCalibrateGridCols> kHeadings = {{{"通道", "序号", 30},
                                                                         {"通道", "名称", 80},
                                                                         {"目标", "单位", 40},
                                                                         {"通道", "类型", 64},
                                                                         {"平均", "点数", 40},
                                                                         {"下限", "AD(V)", 72},
                                                                         {"", "目标值", 72},
                                                                         {"上限", "AD(V)", 72},
                                                                         {"", "目标值", 72},
                                                                         {"校准结果", "系数A", 80},
                                                                         {"", "系数B", 80}}};

int32_t DataRows(const CellGrid& grid) { return std::max(grid.RowCount() - kCalibrateHeadingRows, 0); }
int GridRow(int32_t dataRow) { return dataRow + kCalibrateHeadingRows; }

int32_t AnalogCount(const LiveConfig& config) { return std::clamp(config.Analog_Num, 0, kMaxAnalogChannels); }

// The channel of a data row; -1 beyond the order table.
int32_t ChannelOfRow(const CalibrationState& cal, int32_t dataRow) {
  return dataRow >= 0 && dataRow < kMaxAnalogChannels ? cal.CalibrateGridOrder[dataRow] : -1;
}

// Averaged points of a row.
int32_t RowPoints(const CellGrid& grid, int row) {
  const std::optional<int32_t> n = ParseDialogInteger(grid.Cell(kCalColPoints, row));
  return n && *n >= 1 ? *n : kCalibrateDefaultPoints;
}

// Measured and fitted values: 4 or 6 decimals, at most 7 significant digits.
std::string ReadingText(double value) { return FormatFixed(value, 7, 4); }
std::string CoefficientText(double value) { return FormatFixed(value, 7, 6); }
std::string StoredCoefficientText(float value) { return FormatGeneral(value, 6); }

// A cell read as a number, or the default written back into it.
double NumberOrDefault(CellGrid& grid, int col, int row, double fallback, const char* fallbackText) {
  if (const std::optional<double> v = ParseDialogReal(grid.Cell(col, row))) return *v;
  grid.SetCell(col, row, fallbackText);
  return fallback;
}

void Refuse(platform::UiHost& ui, const char* text, const char* caption) {
  ui.MessageBox(text, caption, MsgButtons::OkCancel);
}

void StopCard(CalibrationState& cal, const AdDriver& driver) {
  if (driver.StopIntr != nullptr) driver.StopIntr();
  cal.CalibrateState = kCalibrateIdle;
}

void RefreshColdJunction(const CalibrationState& cal, LiveConfig& config, const TorqueTables& torque) {
  if (config.EnvTemp > -100.0f || cal.CalibrateSnapshotValid != 1) return;
  const int32_t j = TruncToInt32(-static_cast<double>(config.EnvTemp) - 100.0);
  const int32_t rows = cal.CalibrateSnapshotRows;
  const int32_t words = cal.CalibrateSnapshotWords;
  if (j < 0 || j >= AnalogCount(config) || j >= words || rows <= 0) return;
  const int64_t at = 1 + int64_t{rows - 1} * words + j;
  if (at >= static_cast<int64_t>(cal.CalibrateSnapshot.size())) return;
  config.ColdJunctionTemp = static_cast<float>(
      RawToEngineering(config, torque, config.AnalogChannelTable[j], static_cast<float>(cal.CalibrateSnapshot[at])));
}

}  // namespace

CalibrationState::CalibrationState() {
  for (int i = 0; i < kMaxAnalogChannels; ++i) CalibrateGridOrder[i] = static_cast<int16_t>(i);
}

CellGrid NewCalibrateGrid() {
  CellGrid grid(kCalibrateGridCols, kCalibrateHeadingRows, 1, kCalibrateHeadingRows);
  for (int c = 0; c < kCalibrateGridCols; ++c) {
    grid.SetCell(c, 0, kHeadings[c].top);
    grid.SetCell(c, 1, kHeadings[c].bottom);
    grid.SetColWidth(c, kHeadings[c].width);
  }
  return grid;
}

bool CalibrateSamplingAllowed(const LiveConfig& config, int32_t runState) {
  return config.SimulateAD == 0 && runState == kRunIdle;
}

void FillCalibrateGrid(CellGrid& grid, CalibrationState& cal, const LiveConfig& config, bool idle) {
  const int32_t count = AnalogCount(config);
  grid.SetRowCount(count + kCalibrateHeadingRows);
  NormalizeDisplayOrder(cal.CalibrateGridOrder, count);
  const int32_t points =
      std::max(kCalibrateDefaultPoints, TruncToInt32(static_cast<double>(config.ChannelRate) / config.ACFrq));
  for (int32_t i = 0; i < count; ++i) {
    const int32_t c = cal.CalibrateGridOrder[i];
    const AnalogChannel& ch = config.AnalogChannelTable[c];
    const int row = GridRow(i);
    int32_t shownType = ch.ChnIDDC;
    // The opener offers the usual variant of these types.
    if (shownType == kChannelAC) shownType = kChannelDC;
    if (shownType == kChannelKType) shownType = kChannelKTypeCompensated;
    grid.SetCell(kCalColNumber, row, std::to_string(c));
    grid.SetCell(kCalColName, row, ch.ChnName);
    grid.SetCell(kCalColUnits, row, ch.ChnUnits);
    grid.SetCell(kCalColType, row, ChannelTypeText(shownType));
    grid.SetCell(kCalColPoints, row, std::to_string(points));
    if (idle) {
      grid.SetCell(kCalColLowerTarget, row, "");
      grid.SetCell(kCalColUpperTarget, row, "");
    }
    grid.SetCell(kCalColCoeA, row, StoredCoefficientText(ch.ChnCoeA));
    grid.SetCell(kCalColCoeB, row, StoredCoefficientText(ch.ChnCoeB));
  }
}

std::string CalibrateButtonCaption(int32_t signal, int32_t calibrateState) {
  const bool running = calibrateState == signal;
  if (signal == kCalibrateLower) return running ? "停下限信号" : "采下限信号";
  return running ? "停上限信号" : "采上限信号";
}

bool StartCalibrateSnapshot(CalibrationState& cal, const CellGrid& grid, AppState& state, platform::UiHost& ui) {
  LiveConfig& c = state.config;
  const AdDriver& d = state.driver.Entries;
  int32_t rows = 0;
  for (int32_t i = 0; i < DataRows(grid); ++i) {
    rows = std::max(rows, ParseDialogInteger(grid.Cell(kCalColPoints, GridRow(i))).value_or(0));
  }
  rows = std::max(rows, c.NumSamp);

  if (d.Initial == nullptr || d.Initial(c.IOBase, c.IRQNum, c.PhysAddr, 0) == 0) {
    Refuse(ui, "采集板参数设置错误或AD板不存在!", "初始化AD板错误");
    return false;
  }
  std::function<float(int32_t, int32_t)> channelFrq;
  if (AdChannelFrqFn f = d.ChannelFrq) channelFrq = [f](int32_t n, int32_t frq) { return f(n, frq); };
  ComputeChannelLayout(c, state.layout, state.driver.CardMaxSwitchChannels, state.configInForce.TempConfigActive == 1,
                       channelFrq);
  if (d.SetMultiFreq != nullptr) d.SetMultiFreq(c.NumVChn, state.layout.MultiFreqTable.data());

  // Sized only now: the layout just recomputed fixes the words of a row.
  const int64_t words = int64_t{std::max(c.NumChn, 0)} * std::max(rows, 0) + 3;
  bool allocated = words <= kMaxCalibrateSnapshotWords;
  if (allocated) {
    try {
      cal.CalibrateSnapshot.resize(static_cast<size_t>(words));
    } catch (const std::bad_alloc&) {
      allocated = false;
    } catch (const std::length_error&) {
      allocated = false;
    }
  }
  if (!allocated) {
    Refuse(ui, "分配内存失败!", "AD板不能采集数据!");
    return false;
  }
  cal.CalibrateSnapshotRows = rows;
  cal.CalibrateSnapshotWords = c.NumChn;

  const int32_t started =
      d.StartSnapshot != nullptr
          ? d.StartSnapshot(c.NumBuf, 4 * static_cast<uint32_t>(rows), static_cast<uint16_t>(c.BegChn),
                            static_cast<uint16_t>(c.NumChn), static_cast<uint32_t>(c.FrqSamp),
                            static_cast<uint32_t>(c.StartParam), c.AmpGain, 0)
          : 0;
  if (started == 0) {
    Refuse(ui, "采集板的采集参数设置错误!", "启动AD板错误");
    return false;
  }
  return true;
}

void PressCalibrateButton(CalibrationState& cal, int32_t signal, const CellGrid& grid, AppState& state,
                          platform::UiHost& ui) {
  const AdDriver& d = state.driver.Entries;
  if (cal.CalibrateState == signal) {
    StopCard(cal, d);
    return;
  }
  if (cal.CalibrateState != kCalibrateIdle) StopCard(cal, d);
  if (!StartCalibrateSnapshot(cal, grid, state, ui)) return;
  if (signal == kCalibrateLower) cal.CalibrateDCMean.resize(static_cast<size_t>(AnalogCount(state.config)), 0.0f);
  cal.CalibrateState = signal;
}

void StopCalibrateSampling(CalibrationState& cal, const AdDriver& driver) {
  if (cal.CalibrateState != kCalibrateIdle) StopCard(cal, driver);
}

bool CalibrateTick(CalibrationState& cal, CellGrid& grid, const AppState& state) {
  const int32_t signal = cal.CalibrateState;
  const AdDriver& d = state.driver.Entries;
  if (signal == kCalibrateIdle || d.GetSnapshot == nullptr) return false;
  const int32_t rows = cal.CalibrateSnapshotRows;
  const int32_t words = cal.CalibrateSnapshotWords;
  if (rows <= 0 || words <= 0 ||
      static_cast<int64_t>(cal.CalibrateSnapshot.size()) < 1 + int64_t{rows} * words) {
    return false;
  }
  int32_t count = 0;
  if (d.GetSnapshot(cal.CalibrateSnapshot.data(), static_cast<uint32_t>(rows), &count) != 1) return false;
  cal.CalibrateSnapshotValid = 1;
  const LiveConfig& c = state.config;
  const uint16_t* block = cal.CalibrateSnapshot.data() + 1;
  for (int32_t i = 0; i < DataRows(grid); ++i) {
    const int row = GridRow(i);
    const int32_t channel = ChannelOfRow(cal, i);
    const int32_t type = ChannelTypeCode(grid.Cell(kCalColType, row));
    const std::optional<SnapshotReading> r =
        ReadSnapshotChannel(block, rows, words, channel, RowPoints(grid, row), type, c);
    if (!r) continue;
    if (signal == kCalibrateLower) {
      if (type == kChannelAC && channel < static_cast<int32_t>(cal.CalibrateDCMean.size())) {
        cal.CalibrateDCMean[channel] = static_cast<float>(r->meanVolts);
      }
      grid.SetCell(kCalColLowerMeasured, row, ReadingText(r->value));
    } else {
      // An AC channel is calibrated from the lower signal alone.
      grid.SetCell(kCalColUpperMeasured, row, type == kChannelAC ? "" : ReadingText(r->value));
    }
  }
  return true;
}

void CalculateCalibration(const CalibrationState& cal, CellGrid& grid, LiveConfig& config, const TorqueTables& torque,
                          platform::UiHost& ui) {
  RefreshColdJunction(cal, config, torque);
  for (int32_t i = 0; i < DataRows(grid); ++i) {
    const int row = GridRow(i);
    const int32_t type = ChannelTypeCode(grid.Cell(kCalColType, row));
    if (type == kChannelTorquePower) continue;
    const double v1 = NumberOrDefault(grid, kCalColLowerMeasured, row, 0.0, "0.0");
    if (grid.Cell(kCalColLowerTarget, row).empty()) continue;
    const double t1 = NumberOrDefault(grid, kCalColLowerTarget, row, 0.0, "0.0");
    CalibrationCoefficients k;
    if (type == kChannelAC) {
      const int32_t channel = ChannelOfRow(cal, i);
      const double mean = channel >= 0 && channel < static_cast<int32_t>(cal.CalibrateDCMean.size())
                              ? cal.CalibrateDCMean[channel]
                              : 0.0;
      k = FitACChannel(v1, t1, mean);
    } else {
      const double v2 = NumberOrDefault(grid, kCalColUpperMeasured, row, 5.0, "5.0");
      if (grid.Cell(kCalColUpperTarget, row).empty()) continue;
      const double t2 = NumberOrDefault(grid, kCalColUpperTarget, row, 5.0, "5.0");
      k = FitTwoPointChannel(type, v1, t1, v2, t2, config.ColdJunctionTemp, torque);
    }
    if (!std::isfinite(k.A) || !std::isfinite(k.B)) {
      ui.MessageBox("问题发生第" + std::to_string(i) + "通道", "计算刻度系数失败", MsgButtons::OkCancel);
      continue;
    }
    grid.SetCell(kCalColCoeA, row, CoefficientText(k.A));
    grid.SetCell(kCalColCoeB, row, CoefficientText(k.B));
  }
}

void ResetCalibrateCoefficients(CellGrid& grid, const CalibrationState& cal, const LiveConfig& config) {
  for (int32_t i = 0; i < DataRows(grid); ++i) {
    const int32_t channel = ChannelOfRow(cal, i);
    if (channel < 0 || channel >= kMaxAnalogChannels) continue;
    if (config.AnalogChannelTable[channel].ChnIDDC == kChannelTorquePower) continue;
    grid.SetCell(kCalColCoeA, GridRow(i), "0.0");
    grid.SetCell(kCalColCoeB, GridRow(i), "1.0");
  }
}

void StoreCalibrateCoefficients(CellGrid& grid, const CalibrationState& cal, LiveConfig& config) {
  const int32_t count = std::min(DataRows(grid), AnalogCount(config));
  for (int32_t i = 0; i < count; ++i) {
    const int32_t channel = ChannelOfRow(cal, i);
    if (channel < 0 || channel >= kMaxAnalogChannels) continue;
    AnalogChannel& ch = config.AnalogChannelTable[channel];
    const std::string& textA = grid.Cell(kCalColCoeA, GridRow(i));
    const std::string& textB = grid.Cell(kCalColCoeB, GridRow(i));
    // The opener showed the stored values to 6 digits; reading those texts
    // back would round them.
    const bool changedA = textA != StoredCoefficientText(ch.ChnCoeA);
    const bool changedB = textB != StoredCoefficientText(ch.ChnCoeB);
    if (!changedA && !changedB) continue;
    const std::optional<double> a = changedA ? ParseDialogReal(textA) : std::optional<double>(ch.ChnCoeA);
    const std::optional<double> b = changedB ? ParseDialogReal(textB) : std::optional<double>(ch.ChnCoeB);
    if (!a || !b) {
      ch.ChnCoeA = 0.0f;
      ch.ChnCoeB = 1.0f;
      continue;
    }
    if (changedA) ch.ChnCoeA = static_cast<float>(*a);
    if (changedB) ch.ChnCoeB = static_cast<float>(*b);
  }
  for (int32_t i = 0; i < DataRows(grid); ++i) {
    grid.SetCell(kCalColLowerTarget, GridRow(i), "");
    grid.SetCell(kCalColUpperTarget, GridRow(i), "");
  }
}

bool CycleCalibrateTypeCell(CellGrid& grid, int col, int row) {
  if (col != kCalColType || row < kCalibrateHeadingRows || row >= grid.RowCount()) return false;
  grid.SetCell(col, row, NextChannelTypeText(grid.Cell(col, row)));
  return true;
}

void MoveCalibrateRow(CalibrationState& cal, int from, int to, int32_t analogNum) {
  if (from < kCalibrateHeadingRows || to < kCalibrateHeadingRows) return;
  const int32_t count = std::clamp(analogNum, 0, kMaxAnalogChannels);
  const int32_t f = from - kCalibrateHeadingRows;
  const int32_t t = std::clamp(to - kCalibrateHeadingRows, 0, std::max(count - 1, 0));
  if (f == t || f >= count) return;
  auto& order = cal.CalibrateGridOrder;
  const int16_t moved = order[f];
  if (f < t) {
    std::copy(order.begin() + f + 1, order.begin() + t + 1, order.begin() + f);
  } else {
    std::copy_backward(order.begin() + t, order.begin() + f, order.begin() + f + 1);
  }
  order[t] = moved;
  NormalizeDisplayOrder(order, count);
}

}  // namespace quelvar
