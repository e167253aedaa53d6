#pragma once

#include <cstdint>
#include <functional>

#include "common/LiveConfig.h"
#include "common/AcquisitionState.h"
#include "common/SampleLayout.h"

namespace quelvar {

// VirtualCardState (common/AcquisitionState.h) says where the generated
// signals stand; it persists for the life of the process, so a new run
// continues where the last one stopped, and its counter is 64-bit so that a
// long run cannot overflow it.

// Fills numSamp rows (those after the sequence word) with the virtual
// card's signals: three-phase sines on analog channels 0 to 2, ramps on the
// other analog channels, switch words of alternate bits toggling every six
// rows, random spikes while live.SimulateRandom is on (rand32767 gives
// 0..32767), and on counter and raw-code channels (ChnIDDC 2 or 3) a ramp
// in the base word scaled by the channel's pre-amplifier. Values are
// truncated and held within 0..65535. Advances state.SampleCounter by
// numSamp. Reads VZero, ADMax, SamplesPerCycle, SimulateRandom and the
// analog channel table from live; the row layout only from layout.
// Returns false, touching nothing, when numSamp < 0 or the layout is
// inconsistent.
bool GenerateSimulatedBlock(uint16_t* rows, int32_t numSamp, const SampleLayout& layout, const LiveConfig& live,
                            VirtualCardState& state, const std::function<int()>& rand32767);

}  // namespace quelvar
