#pragma once

#include <string>

namespace quelvar {

inline constexpr int kVersionMajor = 2;
inline constexpr int kVersionMinor = 5;

// "2.5": the version the about box and the run-log banner show.
std::string VersionText();

}  // namespace quelvar
