// The port-I/O library the program falls back to when the card's library
// has no port entries: the same in-memory port space, and nothing else.

#include "Export.h"
#include "PortSpace.h"
#include "platform/AdDriverAbi.h"

SIMCARD_EXPORT void outportb(uint32_t port, uint32_t value) { simcard::ThePortSpace().Out8(port, value); }
SIMCARD_EXPORT uint8_t inportb(uint32_t port) { return simcard::ThePortSpace().In8(port); }
SIMCARD_EXPORT void outport(uint32_t port, uint32_t value) { simcard::ThePortSpace().Out16(port, value); }
SIMCARD_EXPORT uint16_t inport(uint32_t port) { return simcard::ThePortSpace().In16(port); }
SIMCARD_EXPORT void outportdw(uint32_t port, uint32_t value) { simcard::ThePortSpace().Out32(port, value); }
SIMCARD_EXPORT uint32_t inportdw(uint32_t port) { return simcard::ThePortSpace().In32(port); }

SIMCARD_CHECK_TYPE(outportb, AdOutPortBFn);
SIMCARD_CHECK_TYPE(inportb, AdInPortBFn);
SIMCARD_CHECK_TYPE(outport, AdOutPortFn);
SIMCARD_CHECK_TYPE(inport, AdInPortFn);
SIMCARD_CHECK_TYPE(outportdw, AdOutPortDwFn);
SIMCARD_CHECK_TYPE(inportdw, AdInPortDwFn);
