#pragma once

#include <type_traits>

// Everything in the driver libraries is hidden except the entry points the
// program binds by name.
#define SIMCARD_EXPORT extern "C" __attribute__((visibility("default")))

// An entry must keep the type the program calls it through.
#define SIMCARD_CHECK_TYPE(entry, type) static_assert(std::is_same_v<decltype(&entry), type>)
