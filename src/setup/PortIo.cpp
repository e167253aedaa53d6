#include "setup/PortIo.h"

namespace quelvar {

uint16_t PortInByte(const AdDriver& d, uint16_t port) { return d.inportb != nullptr ? d.inportb(port) : 0; }
uint16_t PortInWord(const AdDriver& d, uint16_t port) { return d.inport != nullptr ? d.inport(port) : 0; }
uint32_t PortInDword(const AdDriver& d, uint16_t port) { return d.inportdw != nullptr ? d.inportdw(port) : 0; }

void PortOutByte(const AdDriver& d, uint16_t port, uint8_t value) {
  if (d.outportb != nullptr) d.outportb(port, value);
}

void PortOutWord(const AdDriver& d, uint16_t port, uint16_t value) {
  if (d.outport != nullptr) d.outport(port, value);
}

void PortOutDword(const AdDriver& d, uint16_t port, uint32_t value) {
  if (d.outportdw != nullptr) d.outportdw(port, value);
}

}  // namespace quelvar
