#pragma once

// The definition grid of derived data sets: 11 columns (two fixed) and a
// heading row; channel k takes rows 4k + 1 (the channel), 4k + 2 (its
// integral) and 4k + 3 (its difference), row 4k + 4 stays empty.

#include <vector>

#include "analysis/DerivedChannels.h"
#include "platform/CellGrid.h"

namespace quelvar {

inline constexpr int kDerivedGridCols = 11;

// The grid of the definitions: flags as "是" / "否", divisors, the order,
// coefficients in general notation with up to seven digits, names, units.
void FillDerivedGrid(platform::CellGrid& grid, const std::vector<DerivedChannelDef>& defs);

// A double click on a flag cell (column 2 of a channel's three rows, or
// column 4 of an integral row) turns "是" into "否" and anything else into
// "是"; other cells do not change.
void DerivedGridDoubleClick(platform::CellGrid& grid, int col, int row);

// The definitions from the grid: a flag is set when its cell reads "是";
// divisors and the order not a whole number above 0 become 1, coefficient
// A not a number 0 and B 1; names and units cut to 15 bytes. Column 3 of a
// channel row is not read.
void ReadDerivedGrid(const platform::CellGrid& grid, std::vector<DerivedChannelDef>& defs);

}  // namespace quelvar
