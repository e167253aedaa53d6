#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "common/LiveConfig.h"

namespace quelvar {

inline constexpr int kStoredUniversalPages = 5;

// The main window's universal page (analog channel numbers first, then
// switch-input indexes) and the five stored pages it can switch between.
struct UniversalPages {
  int32_t VPAnalog = 1;
  int32_t VPBin = 0;
  std::array<int32_t, kMaxDisplayPositions> VP{};
  std::array<int32_t, kStoredUniversalPages> VPAnalogPages{1, 1, 1, 1, 1};
  std::array<int32_t, kStoredUniversalPages> VPBinPages{};
  std::array<std::array<int32_t, kMaxDisplayPositions>, kStoredUniversalPages> VPPages{};
  int32_t VPageNum = 0;  // the selected stored page, 0..4
};

// A universal page as one record: the scratch page through which a waveform
// window and the page dialog exchange a page, and a page made valid for the
// card by ValidUniversalPage. Channels holds AnalogCount analog channel
// numbers followed by SwitchCount switch-input indexes (numbered within the
// switch inputs).
struct UniversalPageRecord {
  int32_t AnalogCount = 0;
  int32_t SwitchCount = 0;
  std::array<int32_t, kMaxDisplayPositions> Channels{};
};

// The one validating builder of a universal page, used wherever a page is
// taken into use (layout rebuild, page selection, slot switching, reading
// from the settings tree). It keeps every channel chosen, in its order:
// the analog count is limited to 0 .. analogNum and the switch count to
// 0 .. switchNum (each count taken within its table first); each analog
// number is clamped into 0 .. analogNum - 1 and each switch index into
// 0 .. switchNum - 1. The switch indexes are read where the page keeps them,
// right after its own `analogCount` analog numbers, so a page made on a card
// with more analog channels keeps its switch inputs; one whose place lies
// outside `channels` is left out. A page with no entry at all shows the
// first analog channel it names (at least one channel in all) when the card
// has one.
UniversalPageRecord ValidUniversalPage(int32_t analogCount, int32_t switchCount,
                                       std::span<const int32_t> channels, int32_t analogNum, int32_t switchNum);

}  // namespace quelvar
