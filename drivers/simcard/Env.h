#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace simcard {

// The SIMCARD_* variables. A number that does not parse as a whole decimal
// number, or lies outside [lo, hi], counts as absent.
std::optional<int64_t> EnvInteger(const char* name, int64_t lo, int64_t hi);
int64_t EnvIntegerOr(const char* name, int64_t fallback, int64_t lo, int64_t hi);

// True when the variable is a non-zero number.
bool EnvFlag(const char* name);

// The variable's bytes as they are (an empty value stays empty), or `fallback`
// when it is not set.
std::string EnvText(const char* name, std::string_view fallback);

}  // namespace simcard
