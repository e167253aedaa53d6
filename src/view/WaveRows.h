#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/LiveConfig.h"
#include "common/WaveViewState.h"

namespace quelvar {

// Line (channel group) of display-order position `position`: the last line
// whose first position is not above it; 0 when there is none.
int32_t LineOfChannel(const LiveConfig& config, int32_t position);

// One horizontal strip of the waveform picture.
struct WaveRow {
  // Colour and drawing key of the first channel: a display-order position
  // (the channel number itself in the page scope), Analog_Num + s for switch
  // input s. A line row holds Count analog keys from Key on.
  int32_t Key = 0;
  int32_t Count = 1;
  bool IsSwitch = false;
  // The analog channel number whose units and coefficients label the row
  // (-1 for a switch row).
  int32_t Channel = -1;
  // Index into PageLayout.Entries of a page-scope row, else -1.
  int32_t Entry = -1;
  std::string Name;
  int32_t Share = 0;
};

// The rows the view shows for its scope, with the scope's corrections of
// BegDispChannel and CurrentLine written back into `view`. `scrollMax` is
// the channel scroll bar's maximum. Never more than kMaxDisplayPositions
// rows; a row whose channel, switch input, line or page entry lies outside
// the tables is left out, and a line row keeps only the positions that
// exist.
std::vector<WaveRow> BuildWaveRows(const LiveConfig& config, int32_t scrollMax, WaveViewState& view);

// Where a row lies in a plot of height M: centre Yr (from the plot's top,
// before truncation) and height Hr.
struct RowPlace {
  double Centre = 0.0;
  int Height = 0;
};

// Heights shared out by the rows' weights: writes RowShare, RowShareStart,
// RowShareTotal and DrawnRows of `view` and returns each row's place. A
// negative weight counts as 0; weights are capped so their sum fits 32 bits;
// rows whose weights all come to 0 share the height equally (each weight 1),
// so the total is above 0 whenever there is a row. With no rows it is 0 and
// DrawnRows 0: readers of the shares check DrawnRows before dividing. With
// `in1Axial` every row spans the whole plot. Either way a page-scope row
// (one with an entry) moves down by M x its entry's offset; an entry
// without an offset, or one not finite, leaves it in place.
std::vector<RowPlace> PlaceRows(const std::vector<WaveRow>& rows, int M, bool in1Axial, WaveViewState& view);

}  // namespace quelvar
