#pragma once

#include <cstdint>

namespace simcard {

// Calls whose arguments the card only records, each in the log file named
// by its SIMCARD_*_LOG variable.

// Echoes the sent bytes into the receive buffer, zero-filled beyond them.
int32_t IoCtl(int32_t sendCount, const uint8_t* send, int32_t receiveSize, uint8_t* receive);

int32_t SetMultiFreq(int32_t numVChn, const int32_t* multiFreqTable);

int32_t InitialDA(uint32_t ioBaseDA, int32_t daNumChn, uint32_t daBit, uint32_t ioBaseIO);
int32_t SetupPID(int32_t pidMode, int32_t daEnable, int32_t adiChn, int32_t daiChn, float sv, float m, float kp,
                 float periodMs, float ti, float td);
int32_t DisablePID();

}  // namespace simcard
