#pragma once

#include <array>
#include <cstdint>

#include "common/LiveConfig.h"

namespace quelvar {

// The drawing palette: two rows of kPaletteSlots colours (0x00BBGGRR), row 0
// for the black background, row 1 for the white one. Slots 0..3 are the
// system colours, the rest serve the curves.
using PaletteRows = std::array<std::array<uint32_t, kPaletteSlots>, 2>;

inline constexpr int kPaletteRowBlack = 0;
inline constexpr int kPaletteRowWhite = 1;
inline constexpr int kSlotScale = 0;       // scale lines, grid and plot frame
inline constexpr int kSlotText = 1;
inline constexpr int kSlotRedMark = 2;
inline constexpr int kSlotYellowMark = 3;
inline constexpr int kSystemColorSlots = 4;  // first curve slot
// Slots in use: at least the sixteen of the default table, at most all.
inline constexpr int32_t kMinColorNum = 16;
inline constexpr int32_t kMaxColorNum = kPaletteSlots;

int32_t ClampColorNum(int32_t colorNum);

// The row a white-background flag selects; anything but 1 counts as black.
int PaletteRow(int32_t whiteBG);

// The curve slot of a channel key (the renderer's key: display-order
// position of an analog channel, Analog_Num + s for switch input s). Keys
// repeat over the ColorNum - 4 curve slots, so a channel keeps its colour in
// every scope. A count outside 16..72 is taken clamped, a negative key
// wraps like the others, so the slot is always one of the table's.
int ChannelColorSlot(int32_t colorNum, int32_t key);
uint32_t ChannelColor(const LiveConfig& config, int32_t key, int row);

// The built-in colour of a slot: the default table for slots 0..15, beyond
// it the curve defaults repeat (slot i takes curve default 4 + (i - 4) mod 12).
uint32_t DefaultSlotColor(int row, int slot);
// Slots 0..3 and the curve slots below colorNum of both rows take their
// defaults; slots from colorNum on keep their colours.
void RestoreDefaultColors(PaletteRows& palette, int32_t colorNum);

}  // namespace quelvar
