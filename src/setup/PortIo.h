#pragma once

#include <cstdint>

#include "common/AdDriver.h"

namespace quelvar {

// The PC's I/O ports, by byte, word and double word. They go through the
// port entries bound from the driver library (or the port-I/O library):
// this platform gives no direct port access. A missing entry reads 0 and
// writes nothing.
uint16_t PortInByte(const AdDriver& d, uint16_t port);  // callers keep the low 8 bits
uint16_t PortInWord(const AdDriver& d, uint16_t port);
uint32_t PortInDword(const AdDriver& d, uint16_t port);
void PortOutByte(const AdDriver& d, uint16_t port, uint8_t value);
void PortOutWord(const AdDriver& d, uint16_t port, uint16_t value);
void PortOutDword(const AdDriver& d, uint16_t port, uint32_t value);

// Port output is possible at all (the byte output entry is bound).
inline bool PortOutputBound(const AdDriver& d) { return d.outportb != nullptr; }

}  // namespace quelvar
