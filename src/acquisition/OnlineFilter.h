#pragma once

#include <array>
#include <cstdint>

#include "common/LiveConfig.h"
#include "common/AcquisitionState.h"
#include "common/SampleLayout.h"

namespace quelvar {

// FilterState (common/AcquisitionState.h) keeps each analog channel's
// low-pass value from block to block and from run to run; every recorder
// start and stop sets its Reseed, so the next filtered block starts from its
// own first sample.

// First-order fixed-point low-pass over the analog words of rowCount rows
// of layout.NumChn words (the rows that follow a block's sequence word),
// in place. filterCoe is the weight of the old value in thousandths. Each
// channel's sub-samples are taken in time order: per row the base word,
// then its extra words. When reseed or state.Reseed is set, every channel
// is first seeded from row 0 (its first sample then passes unchanged), and
// state.Reseed is cleared. Switch words are left alone.
// Returns false, touching nothing, when rowCount < 0, filterCoe lies
// outside 0..1000 or the layout is inconsistent. With no rows it does
// nothing and a pending reseed waits for the next block.
bool ApplyOnlineFilter(uint16_t* rows, int32_t rowCount, const SampleLayout& layout, int32_t filterCoe,
                       bool reseed, FilterState& state);

// Reduces outputRows x resampNum delivered rows to their first outputRows
// rows, in place; the rows after them keep what they held. Analog channels
// work on their sub-sample sequence (a multi-rate channel's output
// sub-sample j goes to its own base or extra word): resampMode 1 keeps the
// last sub-sample of each group of resampNum, any other mode their mean
// (truncated). Switch words always keep the group's last row.
// Returns false, touching nothing, when outputRows < 0, resampNum < 1, the
// layout is inconsistent or the delivered rows exceed any address range.
bool ApplyOnlineResample(uint16_t* rows, int32_t outputRows, const SampleLayout& layout, int32_t resampNum,
                         int32_t resampMode);

}  // namespace quelvar
