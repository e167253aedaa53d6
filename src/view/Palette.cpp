#include "view/Palette.h"

#include <algorithm>

namespace quelvar {

namespace {

constexpr int kDefaultSlots = 16;
static_assert(sizeof DefaultColorPalette[0] == kDefaultSlots * sizeof(uint32_t));
constexpr int kDefaultCurveSlots = kDefaultSlots - kSystemColorSlots;

int ValidRow(int row) { return row == kPaletteRowWhite ? kPaletteRowWhite : kPaletteRowBlack; }

}  // namespace

int32_t ClampColorNum(int32_t colorNum) { return std::clamp(colorNum, kMinColorNum, kMaxColorNum); }

int PaletteRow(int32_t whiteBG) { return whiteBG == 1 ? kPaletteRowWhite : kPaletteRowBlack; }

int ChannelColorSlot(int32_t colorNum, int32_t key) {
  const int64_t curveSlots = ClampColorNum(colorNum) - kSystemColorSlots;
  int64_t offset = static_cast<int64_t>(key) % curveSlots;
  if (offset < 0) offset += curveSlots;
  return kSystemColorSlots + static_cast<int>(offset);
}

uint32_t ChannelColor(const LiveConfig& config, int32_t key, int row) {
  return config.ColorPalette[static_cast<size_t>(ValidRow(row))]
                            [static_cast<size_t>(ChannelColorSlot(config.ColorNum, key))];
}

uint32_t DefaultSlotColor(int row, int slot) {
  const int s = std::clamp(slot, 0, kPaletteSlots - 1);
  const int tableSlot = s < kDefaultSlots ? s : kSystemColorSlots + (s - kSystemColorSlots) % kDefaultCurveSlots;
  return DefaultColorPalette[static_cast<size_t>(ValidRow(row))][static_cast<size_t>(tableSlot)];
}

void RestoreDefaultColors(PaletteRows& palette, int32_t colorNum) {
  const int used = std::clamp(colorNum, kSystemColorSlots, kMaxColorNum);
  for (int row = 0; row < 2; ++row) {
    for (int slot = 0; slot < used; ++slot) {
      palette[static_cast<size_t>(row)][static_cast<size_t>(slot)] = DefaultSlotColor(row, slot);
    }
  }
}

}  // namespace quelvar
