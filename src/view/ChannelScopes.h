#pragma once

#include <cstdint>

#include "common/LiveConfig.h"
#include "common/UniversalPages.h"
#include "common/ViewOptions.h"

namespace quelvar {

// The arithmetic behind the channel scopes of a waveform view: where the
// channel scroll bar's position starts the view, and how the universal page
// travels between its slots and the page dialog's scratch record.

// Where the view starts for the channel scroll bar at `position` of
// `maximum`: in line scope with one channel a row the first channel of the
// position's line; in the 4-, 8- and 16-channel scopes at most maximum - 3,
// - 7 or - 15; in all-channel scope 0; otherwise the position; never below
// 0. The current line is the start itself when a line's phases share one
// axis, else the line of the start.
struct ChannelScrollStart {
  int32_t BegDispChannel = 0;
  int32_t CurrentLine = 0;
};
ChannelScrollStart ScrolledChannelStart(const LiveConfig& config, const ViewOptions& options, int32_t position,
                                        int32_t maximum);

// Stores the page in use (VPAnalog, VPBin, all of VP) in slot `oldSlot` and
// loads the page of slot `newSlot`; slots outside 0..4 are taken as the
// nearest one.
void SwitchUniversalPageSlot(UniversalPages& pages, int32_t oldSlot, int32_t newSlot);

// The page in use into the scratch record (both counts, all 292 entries).
void CopyUniversalPageToScratch(const UniversalPages& pages, UniversalPageRecord& scratch);
// The scratch record back: both counts and the entries they cover. Counts
// are taken within the record (none negative, 292 entries in all at most).
void TakeUniversalPageFromScratch(const UniversalPageRecord& scratch, UniversalPages& pages);

}  // namespace quelvar
