#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "common/ConfigBounds.h"

namespace quelvar {

// The Y gains a waveform view offers, smallest first.
inline constexpr std::array<int32_t, 11> kYZoomPresets = {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000};

// Index of a preset in kYZoomPresets, or -1 when `gain` is not one.
int YZoomPresetIndex(int32_t gain);

// The preset one step smaller or larger than `gain`; `gain` itself at either
// end (1 and 2000), so a step there changes nothing.
int32_t NextSmallerYZoom(int32_t gain);
int32_t NextLargerYZoom(int32_t gain);

// Half the range of the Y offset bar at a gain: gain x 2.5 - 2 truncated,
// 1 at gain 1 (and at anything below it).
int32_t YOffsetHalfRange(int32_t gain);

// Where the offset bar goes when the gain changes from `oldGain` to
// `newGain`: position x new / old (integer division), which keeps the offset
// on the same place of the enlarged or reduced picture. An old gain that is
// not positive leaves the position as it is.
int32_t RescaledYOffsetPosition(int32_t position, int32_t newGain, int32_t oldGain);

// The graduation count a view takes from the user's answer: a whole number
// from kMinGraduations up to kMaxGraduations. Text that is no whole number,
// or one below the minimum, gives the default; a larger one than the maximum
// gives the maximum. (A cancelled input box answers its default text.)
int32_t GraduationCountAnswer(const std::string& text);

}  // namespace quelvar
