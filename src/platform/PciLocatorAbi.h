#pragma once

// The entry points of the PCI card locator library, as our Linux builds of
// such libraries export them: plain C functions named without the stdcall
// decoration ("_FinPCICard@4" is exported as "FinPCICard"). The card number
// is a 16-bit value passed zero-extended.

#include <stdint.h>

extern "C" {

// Writes the numbers of the cards found into `cardNumbers`; returns how many.
typedef int32_t (*PciFindCardsFn)(uint16_t* cardNumbers);
// Writes the card's I/O base address into `ioBase`; the result and `second`
// are the library's own.
typedef int32_t (*PciGetIOBaseFn)(uint32_t cardNo, uint16_t* ioBase, uint16_t* second);

}  // extern "C"
