#pragma once

#include <cstdint>

#include "common/LiveConfig.h"
#include "common/SampleLayout.h"

namespace quelvar {

// The compressed tail of a fault record: each group of live.CompressRatio
// rows of an acquired block becomes one row of the ring.
//
// blockRows: the block's numSamp rows of layout.NumChn words (no sequence
// word). rowBefore: the row acquired just before the block's first row (the
// previous block's last row, kept in the history prefix), or nullptr when no
// prefix rows are kept; the edge modes of the first group compare with it,
// and without it that group's first row is its own predecessor, so no edge
// is seen at the group's start. ringBlock: one ring block of numSamp rows;
// the numSamp / CompressRatio compressed rows go to rows firstRow on.
//
// Analog channel c (its base word only) is reduced by
// AnalogChannelTable[c].ChnACompressType: 0 middle row, 1 RMS of the
// fundamental from twelve picks a twelfth of SamplesPerCycle apart plus
// VZero, 2 mean (truncated), 3 maximum, 4 minimum, anything else maximum on
// even groups and minimum on odd ones. Switch input s (bit s % 16 of word
// Analog_Num + s / 16) by SwitchChannelTable[s].SWBCompressType: 0 middle
// row, 1 AND, 2 OR, 3 a rising edge, 4 a falling edge, anything else OR on
// even groups and AND on odd ones. Group numbers count from the block's
// first row. Only those words and bits are written: the extra sub-sample
// words of multi-rate channels and the unused bits of the last switch word
// keep what the ring held.
//
// Reads never leave the block: the RMS picks that would fall past its last
// row (the last groups when the ratio is shorter than a cycle) read the last
// row instead of whatever followed the block.
//
// Returns false, touching nothing, rather than reading or writing outside
// the buffers, when a pointer is null, numSamp < 1, CompressRatio < 1,
// numSamp is not a multiple of CompressRatio, the rows would not fit in the
// ring block from firstRow on, the layout is inconsistent, or SW_Num names
// more inputs than the layout's switch words hold. The block and the ring
// block must not overlap.
bool CompressBlocksIntoRing(const uint16_t* blockRows, const uint16_t* rowBefore, int32_t numSamp,
                            const SampleLayout& layout, const LiveConfig& live, uint16_t* ringBlock,
                            int32_t firstRow);

}  // namespace quelvar
