#pragma once

#include <cstdint>

#include "common/AdDriver.h"
#include "common/LiveConfig.h"

namespace quelvar {

// Loads the driver library by its name ("ADCard", "ADCtrl" in PID mode, the
// instance digit, ".DLL"), binds its entry points, decides whether the driver
// is usable, falls back to the port-I/O library for port access, and reads
// the card's limits (or takes the defaults). May clear `pidMode` when the
// library lacks the DA entry. Sets CardNameText, VZero and ADMax.
void BindDriver(DriverState& driver, int32_t& pidMode, int32_t instanceNumber, LiveConfig& live);

// Binds every entry point found in an already loaded library (no PID or
// port-library logic); exposed for tests.
void BindEntries(const platform::DynamicLibrary& library, AdDriver& entries);

}  // namespace quelvar
