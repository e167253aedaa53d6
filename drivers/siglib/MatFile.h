#pragma once

#include <string>

#include "AdMatrix.h"

namespace siglib {

// Writes `ad` as a MATLAB level-5 data file at `path`: AD (points x channels,
// doubles) and Fs (1 x 1). Written to a temporary file beside the target and
// renamed over it, so a failed write leaves the target as it was and no
// temporary behind. False when nothing was written.
bool WriteAdMatFile(const std::string& path, const AdMatrix& ad);

}  // namespace siglib
