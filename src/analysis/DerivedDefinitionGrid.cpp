#include "analysis/DerivedDefinitionGrid.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "common/NumberFormat.h"
#include "setup/DialogNumbers.h"

namespace quelvar {

namespace {

constexpr const char* kYes = "是";
constexpr const char* kNo = "否";

// Rows of channel k, and what a row is.
int ChannelRow(size_t k) { return static_cast<int>(4 * k + 1); }
enum class RowKind { Channel = 0, Integral = 1, Difference = 2, Gap = 3 };
RowKind KindOf(int row) { return static_cast<RowKind>((row - 1) % 4); }

std::string YesNo(int32_t flag) { return flag != 0 ? kYes : kNo; }
std::string Coefficient(float v) { return FormatGeneral(v, 7); }

int32_t Divisor(const std::string& text) {
  const int32_t v = ParseDialogInteger(text).value_or(1);
  return v <= 0 ? 1 : v;
}
float CoefficientOr(const std::string& text, float fallback) {
  const std::optional<double> v = ParseDialogReal(text);
  // Beyond a float's range is no number a channel can use either.
  if (!v || std::abs(*v) > 3.0e38) return fallback;
  return static_cast<float>(*v);
}

}  // namespace

void FillDerivedGrid(platform::CellGrid& grid, const std::vector<DerivedChannelDef>& defs) {
  const int rows = std::max(static_cast<int>(defs.size()) * 4, 2);
  grid = platform::CellGrid(kDerivedGridCols, rows, 2, 1);
  const char* headings[] = {"序号", "类型", "存在", "除以", "差分阶", "零点(A)", "系数(B)", "通道名称", "量纲"};
  for (int c = 0; c < 9; ++c) grid.SetCell(c, 0, headings[c]);
  for (size_t k = 0; k < defs.size(); ++k) {
    const DerivedChannelDef& d = defs[k];
    const int r = ChannelRow(k);
    grid.SetCell(0, r, std::to_string(k));
    grid.SetCell(1, r, "原通道");
    grid.SetCell(1, r + 1, "积分");
    grid.SetCell(1, r + 2, "差分");
    grid.SetCell(2, r, YesNo(d.SourceUsed));
    grid.SetCell(2, r + 1, YesNo(d.IntegralUsed));
    grid.SetCell(2, r + 2, YesNo(d.DifferenceUsed));
    grid.SetCell(3, r, "1");
    grid.SetCell(3, r + 1, std::to_string(d.IntegralDivisor));
    grid.SetCell(3, r + 2, std::to_string(d.DifferenceDivisor));
    grid.SetCell(4, r, "去均值");
    grid.SetCell(4, r + 1, YesNo(d.IntegralRemoveMean));
    grid.SetCell(4, r + 2, std::to_string(d.DifferenceOrder));
    grid.SetCell(5, r, Coefficient(d.SourceA));
    grid.SetCell(5, r + 1, Coefficient(d.IntegralA));
    grid.SetCell(5, r + 2, Coefficient(d.DifferenceA));
    grid.SetCell(6, r, Coefficient(d.SourceB));
    grid.SetCell(6, r + 1, Coefficient(d.IntegralB));
    grid.SetCell(6, r + 2, Coefficient(d.DifferenceB));
    grid.SetCell(7, r, d.SourceName);
    grid.SetCell(7, r + 1, d.IntegralName);
    grid.SetCell(7, r + 2, d.DifferenceName);
    grid.SetCell(8, r, d.SourceUnit);
    grid.SetCell(8, r + 1, d.IntegralUnit);
    grid.SetCell(8, r + 2, d.DifferenceUnit);
    // The fixed divisor, the caption above "remove mean" and the gap row
    // are not for typing.
    grid.SetReadOnly(3, r, true);
    grid.SetReadOnly(4, r, true);
    for (int c = 0; c < kDerivedGridCols; ++c) grid.SetReadOnly(c, r + 3, true);
  }
  grid.SetCurrent(2, 1);
}

void DerivedGridDoubleClick(platform::CellGrid& grid, int col, int row) {
  // Only the flag cells of a channel's three rows: the heading and the gap
  // rows hold no flag.
  if (row < 1 || !grid.Contains(col, row)) return;
  const RowKind kind = KindOf(row);
  const bool flag = (col == 2 && kind != RowKind::Gap) || (col == 4 && kind == RowKind::Integral);
  if (!flag) return;
  grid.SetCell(col, row, grid.Cell(col, row) == kYes ? kNo : kYes);
}

void ReadDerivedGrid(const platform::CellGrid& grid, std::vector<DerivedChannelDef>& defs) {
  for (size_t k = 0; k < defs.size(); ++k) {
    DerivedChannelDef& d = defs[k];
    const int r = ChannelRow(k);
    auto cell = [&](int c, int row) -> const std::string& { return grid.Cell(c, row); };
    d.SourceUsed = cell(2, r) == kYes ? 1 : 0;
    d.IntegralUsed = cell(2, r + 1) == kYes ? 1 : 0;
    d.DifferenceUsed = cell(2, r + 2) == kYes ? 1 : 0;
    d.IntegralRemoveMean = cell(4, r + 1) == kYes ? 1 : 0;
    d.IntegralDivisor = Divisor(cell(3, r + 1));
    d.DifferenceDivisor = Divisor(cell(3, r + 2));
    d.DifferenceOrder = Divisor(cell(4, r + 2));
    d.SourceA = CoefficientOr(cell(5, r), 0.0f);
    d.IntegralA = CoefficientOr(cell(5, r + 1), 0.0f);
    d.DifferenceA = CoefficientOr(cell(5, r + 2), 0.0f);
    d.SourceB = CoefficientOr(cell(6, r), 1.0f);
    d.IntegralB = CoefficientOr(cell(6, r + 1), 1.0f);
    d.DifferenceB = CoefficientOr(cell(6, r + 2), 1.0f);
    d.SourceName = DerivedText(cell(7, r));
    d.IntegralName = DerivedText(cell(7, r + 1));
    d.DifferenceName = DerivedText(cell(7, r + 2));
    d.SourceUnit = DerivedText(cell(8, r));
    d.IntegralUnit = DerivedText(cell(8, r + 1));
    d.DifferenceUnit = DerivedText(cell(8, r + 2));
  }
}

}  // namespace quelvar
