#pragma once

#include <cstdint>
#include <string>

#include "common/AcquisitionState.h"
#include "common/LiveConfig.h"

namespace quelvar {

// Opens the record file the virtual AD card replays and positions it at its
// first block. It must be a record file of the layout in force (tag, AD
// bits, words per row, lines, channels, switch inputs, rows per block, rate
// multiplier) with a consistent length. On failure returns false with the
// status text to show, and nothing stays open.
bool OpenVirtualAdFile(const std::string& path, const LiveConfig& live, VirtualAdReplay& replay,
                       std::string& statusText);

// Reads the next block's rows (NumSamp x NumChn words, no sequence word);
// false after the header's last block, at the end of the file or on a read
// error, each of which also closes it.
bool ReadVirtualAdBlock(VirtualAdReplay& replay, uint16_t* rows, size_t words);

void CloseVirtualAdFile(VirtualAdReplay& replay);

}  // namespace quelvar
