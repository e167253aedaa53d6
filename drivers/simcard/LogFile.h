#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace simcard {

// Appends `line` and a newline to the file named by the environment variable
// `envName`; nothing when it is unset or empty. A log that cannot be written
// is no reason to fail the call that is being logged.
void AppendLogLine(const char* envName, std::string_view line);

// "0a ff 10": two lower-case hex digits per byte, single spaces between.
std::string HexBytes(const uint8_t* bytes, size_t count);

}  // namespace simcard
