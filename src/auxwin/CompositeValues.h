#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "auxwin/CompositeDef.h"
#include "common/LiveConfig.h"
#include "common/SampleLayout.h"
#include "common/TorqueTables.h"
#include "platform/Canvas.h"

namespace quelvar {

// What the values of one block are computed from. `block` points at the
// block's sequence word; NumSamp rows of NumChn words follow it.
struct CompositeBlockInput {
  const LiveConfig& config;
  const SampleLayout& layout;
  const TorqueTables& torque;
  const uint16_t* block = nullptr;
};

// An analog channel's value over the block in engineering units by kind:
// the average of every sample (base and extra sub-samples), the maximum or
// minimum raw code (as unsigned 16-bit), or the latest sample (the last
// row's last sub-sample). A torque-power channel is the product of its two
// source channels' values. Only words inside a row are read; a block
// without rows, a channel outside the row, or a torque-power channel whose
// sources lead back to itself gives 0.
double CompositeBlockValue(const CompositeBlockInput& source, int32_t channel, int32_t kind);

// A switch input's state over the block: kind 1 the majority of the rows
// (a tie gives 1), 2 set in some row, 3 set in every row, any other the
// last row. 0 when its word lies outside the row or the block has no rows.
int CompositeSwitchState(const CompositeBlockInput& source, int32_t switchInput, int32_t kind);

// Whether the item's alarm holds for an analog value, bounds included.
bool CompositeAlarmHolds(int32_t alarm, double value, double value1, double value2);
// For a switch state: alarm 1 holds at 0, alarm 2 at 1, the others never.
bool CompositeSwitchAlarmHolds(int32_t alarm, int state);

struct CompositeCell {
  std::string Text;   // the value as shown; empty without a channel
  bool Alarm = false;
};

// One cell per item of the definition for the block. `cells` keeps its
// storage from block to block.
void ComputeCompositeCells(const CompositeDef& def, const CompositeBlockInput& source, std::vector<CompositeCell>& cells);

// The panel's two palettes: slot 0 background, 1 values, 2 to 6 the cell
// frame lines, 7 labels. `buttonFace` stands for the system's button colour.
platform::Color CompositePaletteColor(int32_t pal, int slot, platform::Color buttonFace);
inline constexpr platform::Color kCompositeAlarmColor{255, 0, 0};

// Cell size of a definition on a canvas (its font as the values use it).
struct CompositeCellSize {
  int64_t Width = 0;
  int64_t Height = 0;
  int64_t Rows = 0;
};
CompositeCellSize CompositeCellSizeOf(const CompositeDef& def, platform::Canvas& canvas);

// Draws the panel: background, bevelled frame, values (red while their
// alarm holds) and the labels above them.
void DrawCompositePanel(platform::Canvas& canvas, const CompositeDef& def, const std::vector<CompositeCell>& cells,
                        int32_t pal, platform::Color buttonFace);

// The panel's redraw pacing.
inline constexpr int32_t kCompositeDefaultInterval = 1000;  // ms
inline constexpr int32_t kCompositeMinInterval = 50;       // ms
// 0 stays 0 (every block drawn), other values below 50 become 50.
int32_t NormalizeCompositeInterval(int32_t ms);

}  // namespace quelvar
