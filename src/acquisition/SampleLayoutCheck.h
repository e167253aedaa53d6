#pragma once

#include "common/SampleLayout.h"

namespace quelvar {

// True when every word the layout names lies inside a row of NumChn words:
// Analog_Num <= NumVChn <= NumChn, at most kMaxAnalogChannels analog
// channels and kMaxVirtualChannels virtual ones, multipliers of at least 1,
// and each multi-rate channel's MultiFreq - 1 extra words after the switch
// words, in channel order, not overlapping. The block routines refuse any
// other layout, so that a stale or damaged one cannot make them write
// outside the block.
bool SampleLayoutIsConsistent(const SampleLayout& layout);

}  // namespace quelvar
